#include <gtest/gtest.h>

#include <bit>
#include <cfenv>
#include <cinttypes>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>

#include "extended_cases.h"

using namespace numtext;
using namespace numtext::cases;

namespace {

Extended add(Extended a, Extended b) { return a + b; }
Extended sub(Extended a, Extended b) { return a - b; }
Extended mul(Extended a, Extended b) { return a * b; }
Extended div(Extended a, Extended b) { return a / b; }
Extended root(Extended a, Extended) { return sqrt(a); }

const Extended kMinNormal = fields(false, 1, Extended::kIntegerBit);
const Extended kMax = fields(false, 0x7FFE, ~std::uint64_t{0});
const Extended kInf = Extended::infinity();
const Extended kNaN = Extended::defaultNaN();
const Extended kQuiet = fields(false, 0x7FFF, 0xC000000000000001);
const Extended kSignaling = fields(true, 0x7FFF, 0x8000000000000005);

struct EdgeCase {
    const char* name;
    Extended (*op)(Extended, Extended);
    Extended a;
    Extended b;
    Extended expected;
    unsigned flags;
};

// The header's worked examples first, then the rules it states.
const EdgeCase kEdgeCases[] = {
    {"one third", div, Extended(1), Extended(3), fields(false, 0x3FFD, 0xAAAAAAAAAAAAAAAB), kExtInexact},
    {"double denormal", add, Extended(1e-320), Extended(), fields(false, 0x3BD7, 0xFD00000000000000), 0},
    {"one over zero", div, Extended(1), Extended(), kInf, kExtDivByZero},
    {"x - x", sub, Extended(2.5), Extended(2.5), Extended(), 0},
    {"-0 + -0", add, -Extended(), -Extended(), -Extended(), 0},
    {"sqrt -0", root, -Extended(), Extended(), -Extended(), 0},
    {"sqrt -1", root, Extended(-1), Extended(), kNaN, kExtInvalid},
    {"inf - inf", sub, kInf, kInf, kNaN, kExtInvalid},
    {"0 * inf", mul, Extended(), kInf, kNaN, kExtInvalid},
    {"0 / 0", div, Extended(), Extended(), kNaN, kExtInvalid},
    {"inf / 0", div, kInf, Extended(), kInf, 0},
    {"overflow", mul, kMax, Extended(2), kInf, kExtOverflow | kExtInexact},
    {"exact denormal", div, kMinNormal, Extended(4), fields(false, 0, 0x2000000000000000), 0},
    {"tiny when exact at 64 bits, even if the denormal rounds up", mul, kMinNormal,
     fields(false, 0x3FFE, ~std::uint64_t{0}), kMinNormal, kExtUnderflow | kExtInexact},
    {"not tiny when the 64-bit tie rounds up", mul, fields(false, 1, 0xF800000000000000),
     fields(false, 0x3FFE, 0x8421084210842108), kMinNormal, kExtInexact},
    {"quiet NaN wins over a signalling one", add, kSignaling, kQuiet, kQuiet, kExtInvalid},
    {"larger significand wins", mul, kNaN, kQuiet, kQuiet, 0},
    {"equal significands give the positive one", sub, -kQuiet, kQuiet, kQuiet, 0},
    {"signalling NaN is quieted", root, kSignaling, Extended(), fields(true, 0x7FFF, 0xC000000000000005),
     kExtInvalid},
};

TEST(Extended, EdgeCasesGiveTheX87Results) {
    for (const EdgeCase& c : kEdgeCases)
        EXPECT_EQ(soft([&] { return c.op(c.a, c.b); }), outcome(c.expected, c.flags)) << c.name;
}

TEST(Extended, ConversionsFollowTheStoreAndTheTruncation) {
    const auto truncated = [](Extended x) { return soft([&] { return x.truncateToInt64(); }); };
    EXPECT_EQ(truncated(Extended(-3.99)), outcome(std::int64_t{-3}, kExtInexact));
    EXPECT_EQ(truncated(Extended(1e19)), outcome(INT64_MIN, kExtInvalid));
    EXPECT_EQ(truncated(Extended(INT64_MIN)), outcome(INT64_MIN, 0));
    EXPECT_EQ(soft([] { return Extended(-7LL) + Extended(2u) + Extended(short{5}); }),
              outcome(Extended(), 0));
    const auto stored = [](Extended x) { return soft([&] { return x.toDouble(); }); };
    EXPECT_EQ(stored(Extended(1) / Extended(3)), outcome(1.0 / 3.0, kExtInexact));
    EXPECT_EQ(stored(Extended(1e300) * Extended(1e300)), outcome(HUGE_VAL, kExtOverflow | kExtInexact));
    EXPECT_EQ(stored(Extended(-1e-300) * Extended(1e-300)), outcome(-0.0, kExtUnderflow | kExtInexact));
}

// Encodings the x87's arithmetic never produces, which the type promises never to build either.
TEST(ExtendedDeathTest, BuildsOnlyEncodingsTheX87Produces) {
#if NUMTEXT_ASSERTS
    const struct {
        const char* name;
        std::uint16_t exponent;
        std::uint64_t significand;
    } rows[] = {
        {"unnormal", 0x3FFF, 0x4000000000000000},        {"pseudo-zero", 0x0001, 0},
        {"pseudo-denormal", 0x0000, 0x8000000000000001}, {"pseudo-infinity", 0x7FFF, 0},
        {"pseudo-NaN", 0x7FFF, 0x4000000000000000},
    };
    for (const auto& r : rows)
        EXPECT_DEATH((void)fields(false, r.exponent, r.significand), "numtext invariant broken") << r.name;
#else
    GTEST_SKIP() << "invariants are checked in debug builds and with KESTROVA_ASSERTS";
#endif
}

TEST(Extended, ComparisonsRaiseInvalidAsTheirInstructions) {
    EXPECT_EQ(soft([] { return kQuiet == kQuiet; }), outcome(false, 0));
    EXPECT_EQ(soft([] { return kQuiet != Extended(1); }), outcome(true, 0));
    EXPECT_EQ(soft([] { return kSignaling == Extended(1); }), outcome(false, kExtInvalid));
    EXPECT_EQ(soft([] { return kQuiet < Extended(1); }), outcome(false, kExtInvalid));
    EXPECT_EQ(soft([] { return -Extended() == Extended(); }), outcome(true, 0));
    EXPECT_EQ(soft([] { return Extended(-1) < fields(false, 0, 1); }), outcome(true, 0));
    EXPECT_EQ(soft([] { return kInf >= kMax; }), outcome(true, 0));
}

TEST(Extended, FlagsAreSavedRestoredAndKeptPerThread) {
    clearExtendedFlags(kExtAllFlags);
    raiseExtendedFlags(kExtOverflow | kExtInexact);
    const unsigned saved = saveExtendedFlags(kExtAllFlags);
    clearExtendedFlags(kExtInexact);
    EXPECT_EQ(testExtendedFlags(kExtAllFlags), kExtOverflow);
    unsigned other = kExtAllFlags;
    std::thread([&] {
        (void)(Extended(1) / Extended());
        other = testExtendedFlags(kExtAllFlags);
    }).join();
    EXPECT_EQ(other, kExtDivByZero);
    EXPECT_EQ(testExtendedFlags(kExtAllFlags), kExtOverflow);
    restoreExtendedFlags(saved, kExtInexact);
    EXPECT_EQ(testExtendedFlags(kExtAllFlags), kExtOverflow | kExtInexact);
}

#if defined(__x86_64__)

static_assert(kExtInvalid == FE_INVALID && kExtDivByZero == FE_DIVBYZERO && kExtOverflow == FE_OVERFLOW &&
              kExtUnderflow == FE_UNDERFLOW && kExtInexact == FE_INEXACT);

#if defined(__SANITIZE_ADDRESS__)
constexpr int kCases = 200'000;
#else
constexpr int kCases = 1'000'000;
#endif

// The ten bytes of a long double, in memory order.
struct X87Bytes {
    std::uint64_t significand;
    std::uint16_t signExponent;
};

using cases::outcome;
Outcome outcome(long double h, unsigned flags) {
    X87Bytes b{};
    std::memcpy(&b, &h, 10);
    return {b.significand, b.signExponent, flags};
}

long double toHardware(Extended x) {
    const X87Bytes b{x.significand(), static_cast<std::uint16_t>(outcome(x, 0).high)};
    long double h = 0;
    std::memcpy(&h, &b, 10);
    return h;
}

// The x87 works on volatile operands into a volatile result, so the compiler can neither fold the
// operation nor move it out from between clearing and reading the flags.
volatile long double gA;
volatile long double gB;
volatile long double gR;
volatile double gD;
volatile std::int64_t gI;
volatile bool gBool;

template <class T>
Outcome hard(volatile T& result, void (*op)()) {
    std::feclearexcept(FE_ALL_EXCEPT);
    asm volatile("" ::: "memory");
    op();
    asm volatile("" ::: "memory");
    const auto flags = static_cast<unsigned>(std::fetestexcept(FE_ALL_EXCEPT)) & kExtAllFlags;
    return outcome(static_cast<T>(result), flags);
}

void load(Extended x) { gA = toHardware(x); }
void load(const Pair& p) {
    gA = toHardware(p.a);
    gB = toHardware(p.b);
}
void load(double d) { gD = d; }
void load(std::int64_t i) { gI = i; }

// Runs kCases operands through both.
template <class Draw, class Soft, class T>
void holdAgainstX87(std::uint64_t seed, Draw draw, Soft softOp, volatile T& result, void (*x87)()) {
    holdAgainst(seed, kCases, draw, softOp, [&](const auto& input) {
        load(input);
        return hard(result, x87);
    });
}

TEST(ExtendedAgainstX87, Addition) {
    holdAgainstX87(
        1, pairsFor(Op::Add), [](Pair p) { return p.a + p.b; }, gR, [] { gR = gA + gB; });
}
TEST(ExtendedAgainstX87, Subtraction) {
    holdAgainstX87(
        2, pairsFor(Op::Sub), [](Pair p) { return p.a - p.b; }, gR, [] { gR = gA - gB; });
}
TEST(ExtendedAgainstX87, Multiplication) {
    holdAgainstX87(
        3, pairsFor(Op::Mul), [](Pair p) { return p.a * p.b; }, gR, [] { gR = gA * gB; });
}
TEST(ExtendedAgainstX87, Division) {
    holdAgainstX87(
        4, pairsFor(Op::Div), [](Pair p) { return p.a / p.b; }, gR, [] { gR = gA / gB; });
}

TEST(ExtendedAgainstX87, SquareRoot) {
    holdAgainstX87(
        5, mostlyWithARoot, [](Extended a) { return sqrt(a); }, gR,
        [] {
            long double r = gA;
            asm volatile("fsqrt" : "+t"(r));
            gR = r;
        });
}

TEST(ExtendedAgainstX87, FromDouble) {
    holdAgainstX87(
        6, doubles, [](double d) { return Extended(d); }, gR, [] { gR = gD; });
}

TEST(ExtendedAgainstX87, FromInt64) {
    holdAgainstX87(
        7, integers, [](std::int64_t n) { return Extended(n); }, gR,
        [] { gR = static_cast<long double>(gI); });
}

TEST(ExtendedAgainstX87, ToDouble) {
    holdAgainstX87(
        8, nearTheDoubleRange, [](Extended a) { return a.toDouble(); }, gD,
        [] { gD = static_cast<double>(gA); });
}

TEST(ExtendedAgainstX87, Truncation) {
    holdAgainstX87(
        9, nearTheIntegerRange, [](Extended a) { return a.truncateToInt64(); }, gI,
        [] { gI = static_cast<std::int64_t>(gA); });
}

// The x87's comparison of gA with gB by the instruction GCC emits for each operator: fucomi for == and
// !=, fcomi for the others. Other compilers may choose otherwise, so the test names the instruction.
struct X87Order {
    unsigned char carry = 0;
    unsigned char zero = 0;
    unsigned char parity = 0; // unordered
    bool less() const { return carry && !parity; }
    bool lessEqual() const { return (carry || zero) && !parity; }
    bool equal() const { return zero && !parity; }
    bool greater() const { return !carry && !zero && !parity; }
    bool greaterEqual() const { return !carry && !parity; }
};

template <bool kSignaling>
X87Order x87Compare() {
    const long double a = gA;
    const long double b = gB;
    X87Order o;
    // The flags are read inside the asm: Clang 14 read them wrongly through flag-output operands here.
    if constexpr (kSignaling)
        asm volatile("fcomi %%st(1), %%st\n\tsetb %0\n\tsete %1\n\tsetp %2"
                     : "=q"(o.carry), "=q"(o.zero), "=q"(o.parity)
                     : "t"(a), "u"(b));
    else
        asm volatile("fucomi %%st(1), %%st\n\tsetb %0\n\tsete %1\n\tsetp %2"
                     : "=q"(o.carry), "=q"(o.zero), "=q"(o.parity)
                     : "t"(a), "u"(b));
    return o;
}

struct Comparison {
    bool (*soft)(Pair);
    void (*x87)();
};

const Comparison kComparisons[] = {
    {[](Pair p) { return p.a == p.b; }, [] { gBool = x87Compare<false>().equal(); }},
    {[](Pair p) { return p.a != p.b; }, [] { gBool = !x87Compare<false>().equal(); }},
    {[](Pair p) { return p.a < p.b; }, [] { gBool = x87Compare<true>().less(); }},
    {[](Pair p) { return p.a <= p.b; }, [] { gBool = x87Compare<true>().lessEqual(); }},
    {[](Pair p) { return p.a > p.b; }, [] { gBool = x87Compare<true>().greater(); }},
    {[](Pair p) { return p.a >= p.b; }, [] { gBool = x87Compare<true>().greaterEqual(); }},
};

TEST(ExtendedAgainstX87, Comparisons) {
    for (const Comparison& c : kComparisons)
        holdAgainstX87(10, pairsFor(Op::Sub), c.soft, gBool, c.x87);
}

TEST(ExtendedAgainstX87, LeavesTheHardwareFlagsAlone) {
    std::feclearexcept(FE_ALL_EXCEPT);
    asm volatile("" ::: "memory");
    for (const EdgeCase& c : kEdgeCases)
        (void)c.op(c.a, c.b);
    (void)Extended(1e300).toDouble();
    asm volatile("" ::: "memory");
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
}

#endif

} // namespace
