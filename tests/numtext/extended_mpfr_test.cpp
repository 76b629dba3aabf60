// The extended type held against MPFR, an independent model of the same arithmetic, on every
// platform: each result is worked out by MPFR, rounded once to the x87's 64 bits, range and
// denormals, and the flags follow from how that rounding went. The NaN rules, which MPFR does not
// model, are written out here as the x87 states them.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "extended_cases.h"
#include "numtext/big_float.h"

using namespace numtext;
using namespace numtext::cases;

namespace {

constexpr int kCases = 200'000;

constexpr std::uint64_t kQuiet = Extended::kQuietBit;

bool isNaN(Extended x) { return x.biasedExponent() == 0x7FFF && (x.significand() << 1) != 0; }
bool isSignalling(Extended x) { return isNaN(x) && (x.significand() & kQuiet) == 0; }

// An operation with a NaN operand: the NaN with the larger significand, the positive one of two
// with equal significands, made quiet; invalid when either is signalling.
Outcome withNaN(Extended a, Extended b) {
    Extended winner = isNaN(a) ? a : b;
    if (isNaN(a) && isNaN(b) &&
        (b.significand() > a.significand() || (b.significand() == a.significand() && a.signBit())))
        winner = b;
    return outcome(fields(winner.signBit(), 0x7FFF, winner.significand() | kQuiet),
                   isSignalling(a) || isSignalling(b) ? kExtInvalid : 0);
}

// Rounds what compute(r) works out into the format as the x87 does, and returns the flags that
// raises. Overflow and tininess are judged on the result rounded to the format's precision with an
// unbounded exponent; underflow is raised for a tiny result only when it is inexact too. An
// invalid operation leaves a NaN, a division by zero an infinity.
template <class Compute>
unsigned roundAsTheX87(const BinaryFormat& format, mpfr_ptr result, Compute compute) {
    BigFloat wide(format.precision);
    mpfr_clear_flags();
    compute(wide.get());
    if (mpfr_nanflag_p() != 0) {
        mpfr_set_nan(result);
        return kExtInvalid;
    }
    unsigned flags = mpfr_divby0_p() != 0 ? kExtDivByZero : 0;
    if (mpfr_regular_p(wide.get()) == 0) { // zeros and infinities come out exact
        mpfr_set(result, wide.get(), MPFR_RNDN);
        return flags;
    }
    const mpfr_exp_t e = mpfr_get_exp(wide.get()); // |wide| is in [2^(e-1), 2^e)
    if (e > format.emax) {
        mpfr_set_inf(result, mpfr_signbit(wide.get()) != 0 ? -1 : 1);
        return flags | kExtOverflow | kExtInexact;
    }
    const bool tiny = e < format.emin + format.precision - 1; // below the smallest normal
    if (roundInto(format, result, compute) != 0)
        flags |= kExtInexact | (tiny ? kExtUnderflow : 0);
    return flags;
}

using Binary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

Outcome modelled(Binary f, Extended a, Extended b) {
    if (isNaN(a) || isNaN(b))
        return withNaN(a, b);
    BigFloat x(64), y(64), r(64);
    setExact(x.get(), a);
    setExact(y.get(), b);
    const unsigned flags = roundAsTheX87(kExtendedFormat, r.get(),
                                         [&](mpfr_ptr v) { return f(v, x.get(), y.get(), MPFR_RNDN); });
    if (mpfr_nan_p(r.get()) != 0)
        return outcome(Extended::defaultNaN(), flags);
    return outcome(toExtendedExact(r.get()), flags);
}

int squareRoot(mpfr_ptr r, mpfr_srcptr x, mpfr_srcptr, mpfr_rnd_t rnd) { return mpfr_sqrt(r, x, rnd); }

Outcome storedAsDouble(Extended a) {
    if (isNaN(a)) { // the payload's top 52 bits, quiet
        const std::uint64_t fraction = (a.significand() >> 11) & ((std::uint64_t{1} << 52) - 1);
        const std::uint64_t bits = (std::uint64_t{a.signBit()} << 63) | (std::uint64_t{0x7FF} << 52) |
                                   (std::uint64_t{1} << 51) | fraction;
        return outcome(std::bit_cast<double>(bits), isSignalling(a) ? kExtInvalid : 0);
    }
    BigFloat x(64), r(53);
    setExact(x.get(), a);
    const unsigned flags =
        roundAsTheX87(kDoubleFormat, r.get(), [&](mpfr_ptr v) { return mpfr_set(v, x.get(), MPFR_RNDN); });
    return outcome(toDoubleExact(r.get()), flags);
}

Outcome widened(double d) {
    const auto bits = std::bit_cast<std::uint64_t>(d);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if ((bits >> 52 & 0x7FF) == 0x7FF && fraction != 0) // a NaN keeps its payload, made quiet
        return outcome(fields(bits >> 63 != 0, 0x7FFF, Extended::kIntegerBit | kQuiet | fraction << 11),
                       (fraction >> 51) == 0 ? kExtInvalid : 0);
    BigFloat x(53);
    mpfr_set_d(x.get(), d, MPFR_RNDN);
    return outcome(toExtendedExact(x.get()), 0);
}

Outcome truncated(Extended a) {
    if (a.biasedExponent() == 0x7FFF)
        return outcome(INT64_MIN, kExtInvalid);
    BigFloat x(64), t(64);
    setExact(x.get(), a);
    mpfr_trunc(t.get(), x.get());
    if (mpfr_fits_intmax_p(t.get(), MPFR_RNDZ) == 0)
        return outcome(INT64_MIN, kExtInvalid);
    return outcome(std::int64_t{mpfr_get_sj(t.get(), MPFR_RNDZ)},
                   mpfr_integer_p(x.get()) != 0 ? 0 : kExtInexact);
}

Outcome fromInteger(std::int64_t n) {
    BigFloat x(64);
    mpfr_set_sj(x.get(), n, MPFR_RNDN);
    return outcome(toExtendedExact(x.get()), 0);
}

Outcome fromMagnitude(bool negative, std::uint64_t m) {
    BigFloat x(64);
    mpfr_set_uj(x.get(), m, MPFR_RNDN);
    if (negative)
        mpfr_neg(x.get(), x.get(), MPFR_RNDN);
    return outcome(toExtendedExact(x.get()), 0);
}

// A drawn integer as a magnitude with a sign: its low bit is the sign (so that zero comes with
// both), the rest the magnitude (so that it reaches 2^64 - 2).
std::uint64_t magnitude(std::int64_t n) { return static_cast<std::uint64_t>(n) & ~std::uint64_t{1}; }

// == is the quiet comparison, < and <= the signalling ones.
Outcome compared(const Pair& p, int relation) {
    if (isNaN(p.a) || isNaN(p.b))
        return outcome(false, relation != 0 || isSignalling(p.a) || isSignalling(p.b) ? kExtInvalid : 0);
    BigFloat x(64), y(64);
    setExact(x.get(), p.a);
    setExact(y.get(), p.b);
    const int c = mpfr_cmp(x.get(), y.get());
    return outcome(relation == 0 ? c == 0 : relation < 0 ? c < 0 : c <= 0, 0u);
}

} // namespace

TEST(ExtendedAgainstMpfr, Addition) {
    holdAgainst(
        101, kCases, pairsFor(Op::Add), [](Pair p) { return p.a + p.b; },
        [](Pair p) { return modelled(mpfr_add, p.a, p.b); });
}

TEST(ExtendedAgainstMpfr, Subtraction) {
    holdAgainst(
        102, kCases, pairsFor(Op::Sub), [](Pair p) { return p.a - p.b; },
        [](Pair p) { return modelled(mpfr_sub, p.a, p.b); });
}

TEST(ExtendedAgainstMpfr, Multiplication) {
    holdAgainst(
        103, kCases, pairsFor(Op::Mul), [](Pair p) { return p.a * p.b; },
        [](Pair p) { return modelled(mpfr_mul, p.a, p.b); });
}

TEST(ExtendedAgainstMpfr, Division) {
    holdAgainst(
        104, kCases, pairsFor(Op::Div), [](Pair p) { return p.a / p.b; },
        [](Pair p) { return modelled(mpfr_div, p.a, p.b); });
}

TEST(ExtendedAgainstMpfr, SquareRoot) {
    holdAgainst(
        105, kCases, mostlyWithARoot, [](Extended a) { return sqrt(a); },
        [](Extended a) { return modelled(squareRoot, a, a); });
}

TEST(ExtendedAgainstMpfr, Conversions) {
    holdAgainst(
        106, kCases, doubles, [](double d) { return Extended(d); }, widened);
    holdAgainst(
        107, kCases, nearTheDoubleRange, [](Extended a) { return a.toDouble(); }, storedAsDouble);
    holdAgainst(
        108, kCases, integers, [](std::int64_t n) { return Extended(n); }, fromInteger);
    holdAgainst(
        109, kCases, integers,
        [](std::int64_t n) { return Extended::fromMagnitude((n & 1) != 0, magnitude(n)); },
        [](std::int64_t n) { return fromMagnitude((n & 1) != 0, magnitude(n)); });
    holdAgainst(
        110, kCases, nearTheIntegerRange, [](Extended a) { return a.truncateToInt64(); }, truncated);
}

TEST(ExtendedAgainstMpfr, Comparisons) {
    holdAgainst(
        111, kCases, pairsFor(Op::Sub), [](Pair p) { return p.a == p.b; },
        [](Pair p) { return compared(p, 0); });
    holdAgainst(
        112, kCases, pairsFor(Op::Sub), [](Pair p) { return p.a < p.b; },
        [](Pair p) { return compared(p, -1); });
    holdAgainst(
        113, kCases, pairsFor(Op::Sub), [](Pair p) { return p.a <= p.b; },
        [](Pair p) { return compared(p, 1); });
}

// Rounding into each format around its smallest normal, the results worked out by hand: the smallest
// denormal is 2^-1074 for double and 2^-16445 for extended; a tie goes to the even neighbour, so
// half the smallest denormal goes to zero. The decimal texts lie just off the halfway points
// (2^-1075 = 2.4703282292062327209e-324; between the largest double denormal and the smallest
// normal, 2.2250738585072011361e-308). Each result converts back exactly.
TEST(RoundInto, GivesTheKnownBitsAroundTheSmallestNormal) {
    const struct {
        const char* text;
        bool extended;
        Outcome bits; // the double's bits, or the extended's sign and exponent with its significand
        int ternary;  // the sign of the result's error
    } rows[] = {
        {"0x1p-1074", false, {0x0000000000000001}, 0},
        {"0x1p-1075", false, {0}, -1},
        {"-0x1p-1075", false, {0x8000000000000000}, 1},
        {"0x1.000001p-1075", false, {0x0000000000000001}, 1},
        {"0x3p-1076", false, {0x0000000000000001}, 1},
        {"0x3p-1075", false, {0x0000000000000002}, 1},
        {"0x5p-1075", false, {0x0000000000000002}, -1},
        {"0xfffffffffffffp-1074", false, {0x000FFFFFFFFFFFFF}, 0},
        {"0x1fffffffffffffp-1075", false, {0x0010000000000000}, 1},
        {"0x1p-1022", false, {0x0010000000000000}, 0},
        {"2.4703282292062327e-324", false, {0}, -1},
        {"2.4703282292062328e-324", false, {0x0000000000000001}, 1},
        {"2.2250738585072011e-308", false, {0x000FFFFFFFFFFFFF}, -1},
        {"2.2250738585072012e-308", false, {0x0010000000000000}, 1},
        {"0x3fffffffffffffp970", false, {0x7FF0000000000000}, 1}, // max + half an ulp: a tie, to infinity
        {"0x1p-16445", true, {0x0000000000000001, 0x0000}, 0},
        {"0x1p-16446", true, {0, 0x0000}, -1},
        {"0x3p-16447", true, {0x0000000000000001, 0x0000}, 1},
        {"0x3p-16446", true, {0x0000000000000002, 0x0000}, 1},
        {"-0x5p-16446", true, {0x0000000000000002, 0x8000}, 1},
        {"0x7fffffffffffffffp-16445", true, {0x7FFFFFFFFFFFFFFF, 0x0000}, 0},
        {"0xffffffffffffffffp-16446", true, {0x8000000000000000, 0x0001}, 1},
        {"0x1p-16382", true, {0x8000000000000000, 0x0001}, 0},
        {"0x1ffffffffffffffffp16319", true, {0x8000000000000000, 0x7FFF}, 1},
    };
    for (const auto& r : rows) {
        const BinaryFormat& format = r.extended ? kExtendedFormat : kDoubleFormat;
        BigFloat value(format.precision);
        const int ternary = roundInto(
            format, value.get(), [&](mpfr_ptr v) { return mpfr_strtofr(v, r.text, nullptr, 0, MPFR_RNDN); });
        BigFloat back(format.precision);
        if (r.extended) {
            EXPECT_EQ(outcome(toExtendedExact(value.get()), 0), r.bits) << r.text;
            setExact(back.get(), toExtendedExact(value.get()));
        } else {
            EXPECT_EQ(outcome(toDoubleExact(value.get()), 0), r.bits) << r.text;
            setExact(back.get(), toDoubleExact(value.get()));
        }
        EXPECT_EQ((ternary > 0) - (ternary < 0), r.ternary) << r.text;
        EXPECT_TRUE(mpfr_equal_p(back.get(), value.get()) != 0 &&
                    mpfr_signbit(back.get()) == mpfr_signbit(value.get()))
            << r.text;
    }
}

// m x 2^q x 10^k to the nearest integer, worked out with exact fractions: ties, which a value's
// digits never meet, and the ends of the extended range, far beyond the table of powers.
TEST(RoundScaled, GivesTheNearestIntegerTiesToEven) {
    const struct {
        std::uint64_t m;
        int q, k;
        std::uint64_t expected;
    } rows[] = {
        {5, -1, 1, 25},
        {1, -1, 0, 0},                     // 0.5
        {3, -1, 0, 2},                     // 1.5
        {5, -1, 0, 2},                     // 2.5
        {3, -2, 0, 1},                     // 0.75
        {1, 0, 19, 10000000000000000000u}, // beyond int64, within 64 bits
        {0xAAAAAAAAAAAAAAAB, -65, 18, 333333333333333333},
        {~std::uint64_t{0}, 16320, -4914, 1189731495357231765},     // the largest extended, ...0213 dropped
        {std::uint64_t{1} << 63, -16445, 4949, 336210314311209351}, // the smallest normal, ...0.626
        {1, -16445, 4968, 364519953188247460},                      // the smallest denormal, ...0.253
    };
    for (const auto& r : rows)
        EXPECT_EQ(roundScaled(r.m, r.q, r.k), r.expected) << r.m << " x 2^" << r.q << " x 10^" << r.k;
}
