// The float texts the program writes, read back by the parser it reads them with. For any double
// and any extended value taken from the input (its first 8 and first 10 bytes, and the value of
// the input itself when it is a float text):
//  - under every locale, the general float text parses back with StrToFloat to a value whose own
//    general text is identical (a value read back as an extended denormal is written like zero),
//    and it is a text of the grammar; "INF", "-INF" and "NAN" are the only texts written for the
//    special values, and StrToFloat refuses them with the usual message;
//  - a double's general text also survives being stored into a double again (within the normal
//    double range), as happens whenever the program reads one of its own results;
//  - the general format with any precision 2..18 and the exponent format round-trip the same way:
//    18 digits never exceed what an extended value determines, so such a text is the decimal of
//    its length nearest to the value it parses to;
//  - so does the fixed format, with exactly the decimals asked for (0 to 18); the number format is
//    the fixed text with the thousands separator between groups of three integer digits.
// The last input byte chooses the precision, the digits and the locale of the explicit formats.

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "numtext/number_text.h"
#include "reference_float_text.h"

namespace {

using numtext::FormatSettings;
using numtext::TFloatFormat;

struct Knobs {
    int precision = 15;
    int exponentDigits = 0;
    int fixedDigits = 2;
    std::size_t locale = 0;
};

std::string describe(long double v) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "value %La (%.20Lg)", v, v);
    return buf;
}

// StrToFloat on a text the program wrote. Empty when the model says its value overflows (a
// short precision can round the largest values up beyond the range); then StrToFloat must refuse it.
std::optional<long double> readBack(const std::string& text, const FormatSettings& fs, long double original) {
    const auto broken = [&](const char* property) {
        fuzzing::fail(property, text, describe(original) + ", " + fuzzing::separatorOf(fs));
    };
    const fuzzing::FloatTextModel model = fuzzing::readFloatText(text, fs.decimalSeparator);
    if (!model.accepted)
        broken("a float text the program writes is a text of the grammar");
    const bool overflows = fuzzing::overflowsExtended(model);
    try {
        const long double y = fuzzing::toLongDouble(numtext::StrToFloat(text, fs));
        if (overflows)
            broken("a written text beyond the extended range fails to parse");
        return y;
    } catch (const numtext::EConvertError&) {
        if (!overflows)
            broken("a float text the program writes parses back");
    } catch (...) {
        broken("StrToFloat throws only EConvertError");
    }
    return std::nullopt;
}

void expectRefused(const std::string& text, const FormatSettings& fs, long double original) {
    const auto broken = [&](const char* property) {
        fuzzing::fail(property, text, describe(original) + ", " + fuzzing::separatorOf(fs));
    };
    try {
        fuzzing::toLongDouble(numtext::StrToFloat(text, fs));
    } catch (const numtext::EConvertError& e) {
        if (e.Message() != "'" + text + "' is not a valid floating point value")
            broken("the conversion error quotes the whole text");
        return;
    } catch (...) {
        broken("StrToFloat throws only EConvertError");
    }
    broken("the text of a special value does not parse");
}

// `format` writes a text; the value read back from it must be written as the same text. Returns
// the value read back.
std::optional<long double> expectRoundTrip(const char* property, long double x, const FormatSettings& fs,
                                           const std::function<std::string(long double)>& format) {
    const std::string text = format(x);
    const auto y = readBack(text, fs, x);
    if (y) {
        // Below the normal extended range the digits are dropped by rule: a text rounded down
        // past the smallest normal value reads back as a denormal, written like zero.
        const bool denormal = std::fpclassify(*y) == FP_SUBNORMAL;
        const std::string again = format(*y);
        if (again != (denormal ? format(0.0L) : text))
            fuzzing::fail(property, text,
                          describe(x) + " read back as " + describe(*y) + ", written as \"" +
                              fuzzing::printable(again) + "\"; " + fuzzing::separatorOf(fs));
    }
    return y;
}

// A fixed text with the thousands separator between groups of three integer digits.
std::string grouped(const std::string& fixed, const FormatSettings& fs) {
    const std::size_t first = fixed.starts_with("-") ? 1 : 0;
    const std::size_t end = std::min(fixed.find(fs.decimalSeparator), fixed.size());
    std::string out = fixed.substr(0, first);
    for (std::size_t i = first; i < end; ++i) {
        if (i > first && (end - i) % 3 == 0)
            out += fs.thousandSeparator;
        out += fixed[i];
    }
    return out + fixed.substr(end);
}

void checkValue(long double x, bool isDouble, const Knobs& k) {
    for (const FormatSettings& fs : fuzzing::localesUnderTest()) {
        if (!std::isfinite(x)) {
            const std::string text = numtext::FloatToStr(fuzzing::toExtended(x), fs);
            const char* expected = std::isnan(x) ? "NAN" : (x < 0 ? "-INF" : "INF");
            if (text != expected)
                fuzzing::fail("a special value is written as INF, -INF or NAN", text, describe(x));
            expectRefused(text, fs, x);
            continue;
        }

        const auto y =
            expectRoundTrip("the general text reads back to a value with the same text", x, fs,
                            [&](long double v) { return numtext::FloatToStr(fuzzing::toExtended(v), fs); });
        if (isDouble && y && std::fabs(*y) >= DBL_MIN && std::fabs(*y) <= DBL_MAX) {
            const double stored = static_cast<double>(*y);
            const std::string general = numtext::FloatToStr(fuzzing::toExtended(x), fs);
            const std::string again = numtext::FloatToStr(fuzzing::toExtended(stored), fs);
            if (again != general)
                fuzzing::fail("a double's general text survives being stored into a double", general,
                              describe(x) + ", stored as " + describe(stored) + ", written as \"" + again +
                                  "\"");
        }
    }
    if (!std::isfinite(x))
        return;

    // The explicit formats only under the locale the input chose: the digits of a value with a
    // large exponent cost far more than the separator, and every locale is reached across inputs.
    const FormatSettings& fs = fuzzing::localesUnderTest()[k.locale];
    expectRoundTrip("the general format of any precision round-trips", x, fs, [&](long double v) {
        return numtext::FloatToStrF(fuzzing::toExtended(v), TFloatFormat::ffGeneral, k.precision,
                                    k.exponentDigits, fs);
    });
    expectRoundTrip("the exponent format round-trips", x, fs, [&](long double v) {
        return numtext::FloatToStrF(fuzzing::toExtended(v), TFloatFormat::ffExponent, k.precision,
                                    k.exponentDigits, fs);
    });
    const auto fixedText = [&](long double v) {
        return numtext::FloatToStrF(fuzzing::toExtended(v), TFloatFormat::ffFixed, k.precision, k.fixedDigits,
                                    fs);
    };
    expectRoundTrip("the fixed format round-trips", x, fs, fixedText);
    const std::string fixed = fixedText(x);
    const std::string number =
        numtext::FloatToStrF(fuzzing::toExtended(x), TFloatFormat::ffNumber, k.precision, k.fixedDigits, fs);
    if (fixed.find('E') != std::string::npos) {
        if (number != fixed)
            fuzzing::fail("where the fixed format falls back to the general one, so does the number format",
                          number, describe(x) + "; fixed: \"" + fixed + "\"");
        return;
    }
    const std::size_t point = fixed.find(fs.decimalSeparator);
    const std::size_t decimals =
        point == std::string::npos ? 0 : fixed.size() - point - fs.decimalSeparator.size();
    const int wanted = std::clamp(k.fixedDigits, 0, 18);
    if (decimals != static_cast<std::size_t>(wanted))
        fuzzing::fail("the fixed format writes exactly the digits asked for, 0 to 18", fixed,
                      describe(x) + "; digits " + std::to_string(k.fixedDigits));
    if (number != grouped(fixed, fs))
        fuzzing::fail("the number format is the fixed format with its integer digits grouped by threes",
                      number, describe(x) + "; fixed: \"" + fuzzing::printable(fixed) + "\"");
}

long double extendedFromBytes(const std::uint8_t* bytes) {
    // Only the encodings arithmetic can produce: the explicit integer bit is set exactly when the
    // exponent is not zero (no unnormals, pseudo-denormals or pseudo-infinities).
    std::uint64_t significand = 0;
    std::uint16_t signAndExponent = 0;
    std::memcpy(&significand, bytes, 8);
    std::memcpy(&signAndExponent, bytes + 8, 2);
    constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;
    if ((signAndExponent & 0x7FFF) == 0)
        significand &= ~kIntegerBit;
    else
        significand |= kIntegerBit;
    long double x = 0;
    std::memcpy(&x, &significand, 8);
    std::memcpy(reinterpret_cast<unsigned char*>(&x) + 8, &signAndExponent, 2);
    return x;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Knobs k;
    if (size > 0) {
        const int knob = data[size - 1];
        k.precision = 2 + knob % 17;
        k.exponentDigits = knob / 17 % 5;
        k.fixedDigits = knob % 23 - 2; // -2..20: beyond both ends of the allowed 0..18
        k.locale = static_cast<std::size_t>(knob) % fuzzing::localesUnderTest().size();
    }

    if (size >= 8) {
        double d = 0;
        std::memcpy(&d, data, 8);
        checkValue(d, true, k);
    }
    if (size >= 10) {
        const long double x = extendedFromBytes(data);
        checkValue(x, false, k);
        if (std::isfinite(x) && std::fabs(x) <= DBL_MAX)
            checkValue(static_cast<double>(x), true, k);
    }

    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const fuzzing::FloatTextModel model =
        fuzzing::readFloatText(text, FormatSettings::comma().decimalSeparator);
    if (model.accepted && !fuzzing::overflowsExtended(model)) {
        const long double x = fuzzing::roundedValue(model);
        checkValue(x, false, k);
        if (std::fabs(x) <= DBL_MAX)
            checkValue(static_cast<double>(x), true, k);
    }
    return 0;
}
