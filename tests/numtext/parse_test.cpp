#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <string>

#include "extended_literal.h"
#include "numtext/big_float.h"
#include "numtext/number_text.h"

using namespace numtext;

namespace {

const FormatSettings kComma = FormatSettings::comma();
const FormatSettings kStop = FormatSettings::fullStop();

std::string floatError(const std::string& text, const FormatSettings& fs = kComma) {
    try {
        StrToFloat(text, fs);
    } catch (const EConvertError& e) {
        return e.Message();
    }
    return "(parsed)";
}

} // namespace

TEST(StrToFloat, AcceptsTheGrammarUnderACommaLocale) {
    const struct {
        const char* text;
        long double value;
    } rows[] = {
        {"2,0", 2.0L},
        {" 1,5 ", 1.5L},
        {"-1,0", -1.0L},
        {"+7", 7.0L},
        {",", 0.0L},
        {"-,", 0.0L},
        {",5", 0.5L},
        {"5,", 5.0L},
        {"1e3", 1000.0L},
        {"1E-2", 0.01L},
        {"2,5e+1", 25.0L},
        {",e1", 0.0L},
        {"1e-0", 1.0L},
        {"   3", 3.0L},
        {"0000012", 12.0L},
        {"1,999999", 1.999999L},
        {"1e0000000000003", 1000.0L},
    };
    for (const auto& r : rows)
        EXPECT_EQ(StrToFloat(r.text, kComma), ld(r.value)) << '"' << r.text << '"';
}

TEST(StrToFloat, RejectsEverythingElseQuotingTheWholeText) {
    for (const char* text :
         {"",    " ",     "+",   "-",   "e5",      "E",   "1,5x", "2.0", "1,,5", "1 5", "$10", "0x10", "\t1",
          "1\t", "1e5,0", "- 1", "++1", "1e+5000", "inf", "nan",  "1e",  "1e+",  "1E-", "1e ", ",e"})
        EXPECT_EQ(floatError(text), "'" + std::string(text) + "' is not a valid floating point value");
    const std::string withNul("1\0"
                              "2",
                              3);
    EXPECT_EQ(floatError(withNul), "'" + withNul + "' is not a valid floating point value");
}

TEST(StrToFloat, ReadsExponentDigitsOnlyBelow500) {
    EXPECT_EQ(StrToFloat("1e+4900", kComma), ld(1e4900L));
    EXPECT_EQ(StrToFloat("1e499", kComma), ld(1e499L));
    EXPECT_EQ(floatError("1e+5000"), "'1e+5000' is not a valid floating point value");
    EXPECT_EQ(floatError("1e5000"), "'1e5000' is not a valid floating point value");
    // Beyond the extended range: the value itself overflows.
    EXPECT_EQ(floatError("1e4933"), "'1e4933' is not a valid floating point value");
    EXPECT_EQ(StrToFloat("1e-4999", kComma), ld(0.0L));
}

TEST(StrToFloat, UsesTheLocaleSeparatorOnly) {
    EXPECT_EQ(StrToFloat("2.0", kStop), ld(2.0L));
    EXPECT_EQ(floatError("2,0", kStop), "'2,0' is not a valid floating point value");
    FormatSettings arabic;
    arabic.decimalSeparator = "\u066B";
    EXPECT_EQ(StrToFloat("1\u066B25", arabic), ld(1.25L));
}

TEST(StrToFloat, RoundsCorrectlyToExtended) {
    // The double 1 + 2^-30 is exactly representable, as is its widening.
    EXPECT_EQ(static_cast<double>(StrToFloat("1,0000000009313226", kComma)), 1.0 + std::ldexp(1.0, -30));
    EXPECT_EQ(StrToFloat("0,1", kComma), ld(0.1L));
    EXPECT_EQ(StrToFloat("123456789012345678901234567890", kComma), ld(123456789012345678901234567890.0L));
    EXPECT_EQ(StrToFloat("1,18973149535723176502e+4932", kComma), kExtendedMax);
    EXPECT_EQ(StrToFloat("3,6451995318824746025e-4951", kComma), kExtendedDenormMin);
    // Around the denormals, by both ways (up to 19 significant digits as a number, more as digits),
    // worked out with exact fractions: the smallest denormal 2^-16445 = 3.6451995318824746025e-4951,
    // half of it 1.82259976594123730126e-4951, the largest denormal (2^63 - 1) x 2^-16445 =
    // 3.36210314311209350590e-4932, the smallest normal 2^-16382 = 3.36210314311209350626e-4932 and
    // halfway between those two 3.36210314311209350608e-4932.
    const struct {
        const char* text;
        unsigned signExponent;
        std::uint64_t significand;
    } rows[] = {
        {"3,6451995318824746e-4951", 0x0000, 1},
        {"1,8225997659412373e-4951", 0x0000, 0},
        {"-1,8225997659412373e-4951", 0x8000, 0},
        {"1,8225997659412374e-4951", 0x0000, 1},
        {"1,82259976594123730126e-4951", 0x0000, 0},
        {"1,82259976594123730127e-4951", 0x0000, 1},
        {"3,362103143112093506e-4932", 0x0000, 0x7FFFFFFFFFFFFFFF},
        {"3,3621031431120935059e-4932", 0x0000, 0x7FFFFFFFFFFFFFFF},
        {"3,3621031431120935061e-4932", 0x0001, 0x8000000000000000},
        {"3,362103143112093507e-4932", 0x0001, 0x8000000000000002}, // 2.02 denormal steps above
    };
    for (const auto& r : rows) {
        const Extended x = StrToFloat(r.text, kComma);
        EXPECT_EQ((x.signBit() ? 0x8000u : 0u) | x.biasedExponent(), r.signExponent) << r.text;
        EXPECT_EQ(x.significand(), r.significand) << r.text;
    }
}

// A significand of up to 19 digits with an exponent beyond the powers of ten the extended type holds
// is rounded in one product or quotient with the exact power, as its digits would be: at the edges
// of the table of powers and of the clamp, over the whole range of exponents, denormals and overflow
// included.
TEST(DecimalToExtended, ShortSignificandsWithLargeExponentsRoundAsTheirDigitsDo) {
    std::mt19937_64 draw(2026);
    const auto same = [](Extended a, Extended b) {
        return a.signBit() == b.signBit() && a.biasedExponent() == b.biasedExponent() &&
               a.significand() == b.significand();
    };
    const std::uint64_t edges[] = {1, 5, 7450580596923828125ULL /* 5^27 */, 9999999999999999999ULL};
    const long long exponents[] = {-5101, -5100, -4951, -4950, -351, -350, -28, -27,
                                   27,    28,    350,   351,   4932, 5100, 5101};
    for (const std::uint64_t m : edges)
        for (const long long k : exponents)
            EXPECT_TRUE(same(decimalToExtended(m, k), decimalToExtended(std::to_string(m), k)))
                << m << "e" << k;
    for (int i = 0; i < 20000; ++i) {
        const std::uint64_t m = draw() % 10000000000000000000ULL + 1;
        const long long k = static_cast<long long>(draw() % 10203) - 5101;
        ASSERT_TRUE(same(decimalToExtended(m, k), decimalToExtended(std::to_string(m), k))) << m << "e" << k;
    }
}

TEST(StrToFloat, HandlesHugeAndOddTexts) {
    const std::string manyDigits(400, '7');
    EXPECT_GT(StrToFloat(manyDigits, kComma), ld(7.7e399L));
    EXPECT_EQ(StrToFloat("0," + std::string(1'000'000, '0') + "1", kComma), ld(0.0L));
    const std::string megaOne = "1" + std::string(1'000'000, '0');
    EXPECT_EQ(floatError(megaOne), "'" + megaOne + "' is not a valid floating point value");
    EXPECT_EQ(floatError("za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87"),
              "'za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87' is not a valid floating point value");
}

TEST(StrToFloat, LeavesNoFlagBehindOnOverflow) {
    clearFpFlags();
    EXPECT_THROW(StrToFloat("9e4999", kComma), EConvertError);
    EXPECT_NO_THROW(checkpoint());
}

TEST(StrToInt, AcceptsDecimalAndHexadecimal) {
    const struct {
        const char* text;
        std::int32_t value;
    } rows[] = {
        {"0", 0},
        {"17", 17},
        {"-17", -17},
        {"+17", 17},
        {"  42", 42},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"$10", 16},
        {"x1f", 31},
        {"X1F", 31},
        {"0x7fffffff", INT32_MAX},
        {"0X10", 16},
        {"000000000000000000000000012", 12},
    };
    for (const auto& r : rows)
        EXPECT_EQ(StrToInt(r.text), r.value) << '"' << r.text << '"';
}

TEST(StrToInt, RejectsOtherTextsWithTheIntegerMessage) {
    for (const char* text : {"", "+", "-", "$", "0x", "x", "12 ", "1,0", "2147483648", "-2147483649", "-$10",
                             "+0x10", "$80000000", "1e3", "abc", "--1", "99999999999999999999"}) {
        try {
            StrToInt(text);
            ADD_FAILURE() << "parsed: " << text;
        } catch (const EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid integer value");
        }
    }
}

TEST(StrToIntDef, ReturnsTheDefaultInsteadOfFailing) {
    EXPECT_EQ(StrToIntDef("-a172", 17), 17);
    EXPECT_EQ(StrToIntDef("-172", 17), -172);
    EXPECT_EQ(StrToIntDef(std::string(1'000'000, '9'), 5), 5);
    EXPECT_EQ(StrToIntDef(std::string("1\0", 2), 5), 5);
}
