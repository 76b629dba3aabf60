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

#include "numtext/extended.h"

using namespace numtext;

namespace {

Extended fields(bool negative, std::uint16_t exponent, std::uint64_t significand) {
    return Extended::fromFields(negative, exponent, significand);
}

// A result and its flags as raw bits, so that every type compares and prints alike.
struct Outcome {
    std::uint64_t low = 0;
    unsigned high = 0;
    unsigned flags = 0;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& o, std::ostream* out) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04X:%016" PRIX64 " flags %02X", o.high, o.low, o.flags);
    *out << buf;
}

Outcome outcome(Extended x, unsigned flags) {
    return {x.significand(), (x.signBit() ? 0x8000u : 0u) | x.biasedExponent(), flags};
}
Outcome outcome(double d, unsigned flags) { return {std::bit_cast<std::uint64_t>(d), 0, flags}; }
Outcome outcome(std::int64_t i, unsigned flags) { return {static_cast<std::uint64_t>(i), 0, flags}; }
Outcome outcome(bool b, unsigned flags) { return {b ? 1u : 0u, 0, flags}; }

// The result of f and the flags it raised from cleared ones.
template <class F>
Outcome soft(F f) {
    clearExtendedFlags(kExtAllFlags);
    const auto r = f();
    return outcome(r, testExtendedFlags(kExtAllFlags));
}

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

enum class Op { Add, Sub, Mul, Div };

// Operands weighted toward the cases where rounding, range and NaN rules decide.
class Operands {
public:
    explicit Operands(std::uint64_t seed) : m_gen(seed) {}

    Extended any() {
        // Exponent ranges: any, around 1, near overflow, near and below the smallest normal.
        static constexpr int kRanges[][2] = {{0, 0x8000}, {0, 0x8000}, {0x3FF0, 32}, {0x7FDF, 32}, {0, 80}};
        const int kind = below(7);
        if (kind == 5)
            return edge();
        if (kind == 6)
            return fields(coin(), 0, bits() >> 1 >> below(64)); // denormals of every size
        const int e = kRanges[kind][0] + below(kRanges[kind][1]);
        if (e == 0x7FFF) // keeps NaNs with random payloads among the uniform encodings
            return fields(coin(), 0x7FFF, bits() | Extended::kIntegerBit);
        return normal(e, kind == 0 ? bits() : maybeFew());
    }

    // A second operand related to the first in the way an operation makes interesting.
    Extended partner(Op op, Extended a) {
        const int ea = a.biasedExponent();
        switch (below(9)) {
        case 0: // close in value: cancellation, exact differences
            return normal(ea + below(3) - 1, a.significand() + bits() % 1000 - 500);
        case 1: // a distance where alignment shifts bits past the round position, ties among them
            return normal(ea - below(70), maybeFew());
        case 2: { // results near the bottom and the top of the range
            const int target = coin() ? below(70) - 64 : 0x7FFE - below(4);
            const int eb = op == Op::Mul   ? target - ea + Extended::kBias
                           : op == Op::Div ? ea - target + Extended::kBias
                                           : ea;
            return normal(eb, maybeFew());
        }
        case 3: // few significant bits: products and quotients that are exact or exact ties
            return normal(ea + below(9) - 4, fewBits());
        case 4: // the same magnitude: x - x, and NaNs with equal significands
            return coin() ? a : -a;
        default:
            return any();
        }
    }

    Extended edge() {
        const std::uint64_t payload = bits() >> below(64) >> 2;
        const std::uint64_t near = bits() % 4;
        const Extended choices[] = {
            Extended(),
            Extended::infinity(),
            fields(false, 0x7FFF, Extended::kIntegerBit | Extended::kQuietBit | payload),
            fields(false, 0x7FFF, Extended::kIntegerBit | payload | 1),
            fields(false, 0x7FFF, Extended::kIntegerBit | (coin() ? Extended::kQuietBit : 0) | 1), // ties
            Extended::defaultNaN(),
            fields(false, 0x7FFE, ~near),
            fields(false, 1, Extended::kIntegerBit + near),
            fields(false, 0, (~std::uint64_t{0} >> 1) - near),
            fields(false, 0, 1 + near),
        };
        const Extended x = choices[below(10)];
        return coin() ? -x : x;
    }

    // A valid encoding with exponent e, clamped to the finite range, and a random sign.
    Extended normal(int e, std::uint64_t m) {
        e = e < 0 ? 0 : e > 0x7FFF ? 0x7FFE : e;
        if (e == 0)
            return fields(coin(), 0, m & ~Extended::kIntegerBit);
        return fields(coin(), static_cast<std::uint16_t>(e), m | Extended::kIntegerBit);
    }

    std::uint64_t bits() { return m_gen(); }
    int below(int n) { return static_cast<int>(m_gen() % static_cast<std::uint64_t>(n)); }
    bool coin() { return (m_gen() & 1) != 0; }

    // A significand with at most 33 significant bits at the top, or all ones near the bottom.
    std::uint64_t fewBits() {
        if (below(4) == 0)
            return ~std::uint64_t{0} - bits() % 4;
        return (bits() | Extended::kIntegerBit) & ~(~std::uint64_t{0} >> below(34));
    }
    std::uint64_t maybeFew() { return coin() ? bits() : fewBits(); }

private:
    std::mt19937_64 m_gen;
};

// The ten bytes of a long double, in memory order.
struct X87Bytes {
    std::uint64_t significand;
    std::uint16_t signExponent;
};

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

struct Pair {
    Extended a;
    Extended b;
};

std::string describe(std::int64_t i) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%016" PRIX64, static_cast<std::uint64_t>(i));
    return buf;
}
std::string describe(double d) { return describe(std::bit_cast<std::int64_t>(d)); }
std::string describe(Extended x) {
    return ::testing::PrintToString(outcome(x, 0)).substr(0, 21); // the bits without the flags
}
std::string describe(const Pair& p) { return describe(p.a) + " " + describe(p.b); }

void load(Extended x) { gA = toHardware(x); }
void load(const Pair& p) {
    gA = toHardware(p.a);
    gB = toHardware(p.b);
}
void load(double d) { gD = d; }
void load(std::int64_t i) { gI = i; }

// Runs kCases operands through both and reports the first disagreement in hex.
template <class Draw, class Soft, class T>
void holdAgainstX87(std::uint64_t seed, Draw draw, Soft softOp, volatile T& result, void (*x87)()) {
    Operands gen(seed);
    for (int i = 0; i < kCases; ++i) {
        const auto input = draw(gen);
        const Outcome s = soft([&] { return softOp(input); });
        load(input);
        const Outcome h = hard(result, x87);
        if (!(s == h)) {
            ADD_FAILURE() << "case " << i << " " << describe(input) << ": software "
                          << ::testing::PrintToString(s) << ", x87 " << ::testing::PrintToString(h);
            return;
        }
    }
}

auto pairsFor(Op op) {
    return [op](Operands& g) {
        const Extended a = g.any();
        return Pair{a, g.partner(op, a)};
    };
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
    const auto mostlyWithARoot = [](Operands& g) { return g.below(4) != 0 ? fabs(g.any()) : g.any(); };
    holdAgainstX87(
        5, mostlyWithARoot, [](Extended a) { return sqrt(a); }, gR,
        [] {
            long double r = gA;
            asm volatile("fsqrt" : "+t"(r));
            gR = r;
        });
}

TEST(ExtendedAgainstX87, FromDouble) {
    const auto doubles = [](Operands& g) {
        std::uint64_t bits = g.bits();
        if (g.coin()) // denormals, zeros, infinities and NaNs
            bits = (bits & 0x800FFFFFFFFFFFFF) | (g.coin() ? 0 : 0x7FF0000000000000);
        if (g.below(8) == 0)
            bits &= 0xFFF0000000000003;
        return std::bit_cast<double>(bits);
    };
    holdAgainstX87(
        6, doubles, [](double d) { return Extended(d); }, gR, [] { gR = gD; });
}

TEST(ExtendedAgainstX87, FromInt64) {
    const auto integers = [](Operands& g) { return static_cast<std::int64_t>(g.bits() >> g.below(64)); };
    holdAgainstX87(
        7, integers, [](std::int64_t n) { return Extended(n); }, gR,
        [] { gR = static_cast<long double>(gI); });
}

TEST(ExtendedAgainstX87, ToDouble) {
    const auto nearTheDoubleRange = [](Operands& g) {
        if (g.coin()) // the double range's edges, at the extended bias
            return g.normal(g.coin() ? 0x3C00 - g.below(60) : 0x43FE + g.below(3),
                            g.coin() ? g.bits() : (~std::uint64_t{0} << g.below(12)) ^ g.bits() % 3);
        return g.any();
    };
    holdAgainstX87(
        8, nearTheDoubleRange, [](Extended a) { return a.toDouble(); }, gD,
        [] { gD = static_cast<double>(gA); });
}

TEST(ExtendedAgainstX87, Truncation) {
    const auto nearTheIntegerRange = [](Operands& g) {
        return g.coin() ? g.normal(0x3FFE + g.below(67), g.maybeFew()) : g.any();
    };
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
