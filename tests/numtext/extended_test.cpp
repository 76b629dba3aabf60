#include <gtest/gtest.h>

#include <cfenv>
#include <cinttypes>
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

std::string hex(Extended x) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%c%04X:%016" PRIX64, x.signBit() ? '-' : '+', x.biasedExponent(),
                  x.significand());
    return buf;
}

bool sameBits(Extended a, Extended b) {
    return a.signBit() == b.signBit() && a.biasedExponent() == b.biasedExponent() &&
           a.significand() == b.significand();
}

// Runs an operation on cleared flags and returns the flags it raised.
template <class Op>
unsigned flagsOf(Op op) {
    clearExtendedFlags(kExtAllFlags);
    op();
    return testExtendedFlags(kExtAllFlags);
}

enum class Op { Add, Sub, Mul, Div, Sqrt };

Extended apply(Op op, Extended a, Extended b) {
    switch (op) {
    case Op::Add:
        return a + b;
    case Op::Sub:
        return a - b;
    case Op::Mul:
        return a * b;
    case Op::Div:
        return a / b;
    case Op::Sqrt:
        return sqrt(a);
    }
    return {};
}

const Extended kOne = fields(false, 0x3FFF, Extended::kIntegerBit);
const Extended kMinNormal = fields(false, 1, Extended::kIntegerBit);
const Extended kMax = fields(false, 0x7FFE, ~std::uint64_t{0});
const Extended kInf = Extended::infinity();
const Extended kQuiet = fields(false, 0x7FFF, 0xC000000000000001);
const Extended kSignaling = fields(true, 0x7FFF, 0x8000000000000005);

struct EdgeCase {
    const char* name;
    Op op;
    Extended a;
    Extended b;
    Extended expected;
    unsigned flags;
};

// The header's worked examples first, then the rules it states.
const EdgeCase kEdgeCases[] = {
    {"one third", Op::Div, Extended(1), Extended(3), fields(false, 0x3FFD, 0xAAAAAAAAAAAAAAAB), kExtInexact},
    {"double denormal", Op::Add, Extended(1e-320), Extended(), fields(false, 0x3BD7, 0xFD00000000000000), 0},
    {"one over zero", Op::Div, Extended(1), Extended(), kInf, kExtDivByZero},
    {"x - x", Op::Sub, Extended(2.5), Extended(2.5), Extended(), 0},
    {"-0 + -0", Op::Add, -Extended(), -Extended(), -Extended(), 0},
    {"sqrt -0", Op::Sqrt, -Extended(), Extended(), -Extended(), 0},
    {"sqrt -1", Op::Sqrt, Extended(-1), Extended(), Extended::defaultNaN(), kExtInvalid},
    {"inf - inf", Op::Sub, kInf, kInf, Extended::defaultNaN(), kExtInvalid},
    {"0 * inf", Op::Mul, Extended(), kInf, Extended::defaultNaN(), kExtInvalid},
    {"0 / 0", Op::Div, Extended(), Extended(), Extended::defaultNaN(), kExtInvalid},
    {"inf / 0", Op::Div, kInf, Extended(), kInf, 0},
    {"overflow", Op::Mul, kMax, Extended(2), kInf, kExtOverflow | kExtInexact},
    {"exact denormal", Op::Div, kMinNormal, Extended(4), fields(false, 0, 0x2000000000000000), 0},
    {"tiny when exact at 64 bits, even if the denormal rounds up", Op::Mul, kMinNormal,
     fields(false, 0x3FFE, ~std::uint64_t{0}), kMinNormal, kExtUnderflow | kExtInexact},
    {"not tiny when the 64-bit tie rounds up", Op::Mul, fields(false, 1, 0xF800000000000000),
     fields(false, 0x3FFE, 0x8421084210842108), kMinNormal, kExtInexact},
    {"quiet NaN wins over a signalling one", Op::Add, kSignaling, kQuiet, kQuiet, kExtInvalid},
    {"larger significand wins", Op::Mul, kQuiet, fields(true, 0x7FFF, 0xC000000000000002),
     fields(true, 0x7FFF, 0xC000000000000002), 0},
    {"equal significands give the positive one", Op::Sub, -kQuiet, kQuiet, kQuiet, 0},
    {"signalling NaN is quieted", Op::Sqrt, kSignaling, Extended(), fields(true, 0x7FFF, 0xC000000000000005),
     kExtInvalid},
};

TEST(Extended, EdgeCasesGiveTheX87Results) {
    for (const EdgeCase& c : kEdgeCases) {
        Extended r;
        const unsigned flags = flagsOf([&] { r = apply(c.op, c.a, c.b); });
        EXPECT_TRUE(sameBits(r, c.expected)) << c.name << ": " << hex(r) << " expected " << hex(c.expected);
        EXPECT_EQ(flags, c.flags) << c.name;
    }
}

TEST(Extended, ConversionsFollowTheStoreAndTheTruncation) {
    std::int64_t i = 0;
    EXPECT_EQ(flagsOf([&] { i = Extended(-3.99).truncateToInt64(); }), kExtInexact);
    EXPECT_EQ(i, -3);
    EXPECT_EQ(flagsOf([&] { i = Extended(1e19).truncateToInt64(); }), kExtInvalid);
    EXPECT_EQ(i, INT64_MIN);
    EXPECT_EQ(flagsOf([&] { i = Extended(INT64_MIN).truncateToInt64(); }), 0u);
    EXPECT_EQ(i, INT64_MIN);
    double d = 0;
    EXPECT_EQ(flagsOf([&] { d = (Extended(1) / Extended(3)).toDouble(); }), kExtInexact);
    EXPECT_EQ(d, 1.0 / 3.0);
    EXPECT_EQ(flagsOf([&] { d = (Extended(1e300) * Extended(1e300)).toDouble(); }),
              kExtOverflow | kExtInexact);
    EXPECT_EQ(flagsOf([&] { d = (Extended(1e-300) * Extended(1e-300)).toDouble(); }),
              kExtUnderflow | kExtInexact);
    EXPECT_EQ(d, 0.0);
}

TEST(Extended, ComparisonsRaiseInvalidAsTheirInstructions) {
    const Extended nan = kQuiet;
    bool r = true;
    EXPECT_EQ(flagsOf([&] { r = nan == nan; }), 0u);
    EXPECT_FALSE(r);
    EXPECT_EQ(flagsOf([&] { r = nan != Extended(1); }), 0u);
    EXPECT_TRUE(r);
    EXPECT_EQ(flagsOf([&] { r = kSignaling == Extended(1); }), kExtInvalid);
    EXPECT_EQ(flagsOf([&] { r = nan < Extended(1); }), kExtInvalid);
    EXPECT_FALSE(r);
    EXPECT_EQ(flagsOf([&] { r = -Extended() == Extended(); }), 0u);
    EXPECT_TRUE(r);
    EXPECT_TRUE(Extended(-1) < fields(false, 0, 1));
    EXPECT_TRUE(kInf >= kMax);
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

long double toHardware(Extended x) {
    long double h = 0;
    const std::uint16_t se = static_cast<std::uint16_t>((x.signBit() ? 0x8000u : 0u) | x.biasedExponent());
    const std::uint64_t m = x.significand();
    std::memcpy(&h, &m, 8);
    std::memcpy(reinterpret_cast<unsigned char*>(&h) + 8, &se, 2);
    return h;
}

Extended fromHardware(long double h) {
    std::uint64_t m = 0;
    std::uint16_t se = 0;
    std::memcpy(&m, &h, 8);
    std::memcpy(&se, reinterpret_cast<const unsigned char*>(&h) + 8, 2);
    return fields((se & 0x8000) != 0, static_cast<std::uint16_t>(se & 0x7FFF), m);
}

// The hardware's flags around one operation on volatile operands, so the compiler can neither fold
// it nor move it out from between the two calls.
volatile long double gA;
volatile long double gB;
volatile long double gR;
volatile double gD;
volatile std::int64_t gI;
volatile bool gBool;

template <class Op>
unsigned hardwareFlags(Op op) {
    std::feclearexcept(FE_ALL_EXCEPT);
    asm volatile("" ::: "memory");
    op();
    asm volatile("" ::: "memory");
    return static_cast<unsigned>(std::fetestexcept(FE_ALL_EXCEPT)) & kExtAllFlags;
}

// Operands weighted toward the cases where rounding, range and NaN rules decide.
class Operands {
public:
    explicit Operands(std::uint64_t seed) : m_gen(seed) {}

    Extended any() {
        switch (below(12)) {
        case 0:
            return uniform();
        case 1:
            return special();
        case 2:
            return normal(static_cast<std::uint16_t>(0x3FF0 + below(32)), bits());
        case 3:
            return normal(static_cast<std::uint16_t>(0x7FDF + below(32)), bits()); // near overflow
        case 4:
            return tiny();
        case 5:
            return normal(static_cast<std::uint16_t>(1 + below(0x7FFE)), fewBits());
        case 6:
            return normal(static_cast<std::uint16_t>(0x3FF0 + below(32)), fewBits());
        default:
            return uniform();
        }
    }

    // A second operand related to the first in the way an operation makes interesting.
    Extended partner(Op op, Extended a) {
        const int ea = a.biasedExponent();
        switch (below(9)) {
        case 0: // close in value: cancellation, exact differences
            return normal(clampExponent(ea + static_cast<int>(below(3)) - 1),
                          a.significand() + below(1000) - 500, coin());
        case 1: // a distance where alignment shifts bits past the round position, ties among them
            return normal(clampExponent(ea - static_cast<int>(below(70))), coin() ? bits() : fewBits(),
                          coin());
        case 2: { // results near the top and bottom of the range
            const int target =
                coin() ? static_cast<int>(below(70)) - 64 : 0x7FFE - static_cast<int>(below(4));
            int eb = ea;
            if (op == Op::Mul)
                eb = target - ea + Extended::kBias;
            else if (op == Op::Div)
                eb = ea - target + Extended::kBias;
            return normal(clampExponent(eb), coin() ? fewBits() : bits(), coin());
        }
        case 3: // few significant bits: products and quotients that are exact or exact ties
            return normal(clampExponent(ea + static_cast<int>(below(9)) - 4), fewBits(), coin());
        case 4: // the same magnitude: x - x, and NaNs with equal significands
            return coin() ? a : -a;
        default:
            return any();
        }
    }

    Extended uniform() {
        const auto e = static_cast<std::uint16_t>(below(0x8000));
        std::uint64_t m = bits();
        if (e == 0)
            m &= ~Extended::kIntegerBit;
        else
            m |= Extended::kIntegerBit;
        if (e == 0x7FFF && coin())
            m = Extended::kIntegerBit;
        return fields(coin(), e, m);
    }

    Extended special() {
        const bool s = coin();
        switch (below(10)) {
        case 0:
            return fields(s, 0, 0);
        case 1:
            return Extended::infinity(s);
        case 2:
            return fields(s, 0x7FFF,
                          Extended::kIntegerBit | Extended::kQuietBit | (bits() >> below(64) >> 2));
        case 3:
            return fields(s, 0x7FFF, Extended::kIntegerBit | ((bits() >> below(64) >> 2) | 1));
        case 4: // NaNs sharing a payload, to meet the tie rule
            return fields(s, 0x7FFF, Extended::kIntegerBit | (coin() ? Extended::kQuietBit : 0) | 1);
        case 5:
            return Extended::defaultNaN();
        case 6:
            return fields(s, 0x7FFE, ~below(4));
        case 7:
            return fields(s, 1, Extended::kIntegerBit + below(4));
        case 8:
            return fields(s, 0, (~std::uint64_t{0} >> 1) - below(4));
        default:
            return fields(s, 0, 1 + below(4));
        }
    }

    Extended tiny() {
        const auto e = static_cast<std::uint16_t>(below(80));
        if (e == 0)
            return fields(coin(), 0, (bits() >> below(64)) & ~Extended::kIntegerBit);
        return normal(e, coin() ? bits() : fewBits());
    }

    Extended normal(std::uint16_t e, std::uint64_t m, bool negative) {
        if (e == 0)
            return fields(negative, 0, m & ~Extended::kIntegerBit);
        return fields(negative, e, m | Extended::kIntegerBit);
    }
    Extended normal(std::uint16_t e, std::uint64_t m) { return normal(e, m, coin()); }

    std::uint64_t bits() { return m_gen(); }
    std::uint64_t below(std::uint64_t n) { return m_gen() % n; }
    bool coin() { return (m_gen() & 1) != 0; }

    // A significand with at most 33 significant bits at the top, or all ones near the bottom.
    std::uint64_t fewBits() {
        if (below(4) == 0)
            return ~std::uint64_t{0} - below(4);
        return (bits() | Extended::kIntegerBit) & ~(~std::uint64_t{0} >> below(34));
    }

private:
    static std::uint16_t clampExponent(int e) {
        return static_cast<std::uint16_t>(e < 0 ? 0 : e > 0x7FFE ? 0x7FFE : e);
    }

    std::mt19937_64 m_gen;
};

// Reports the first disagreement with the hardware and stops.
#define EXPECT_SAME_AS_X87(soft, hard, softFlags, hardFlags, operands)                                       \
    if (!sameBits(soft, hard) || (softFlags) != (hardFlags)) {                                               \
        ADD_FAILURE() << "case " << i << " " << operands << ": software " << hex(soft) << " flags "          \
                      << (softFlags) << ", x87 " << hex(hard) << " flags " << (hardFlags);                   \
        return;                                                                                              \
    }

void checkBinary(Op op, std::uint64_t seed) {
    Operands gen(seed);
    for (int i = 0; i < kCases; ++i) {
        const Extended a = gen.any();
        const Extended b = gen.partner(op, a);
        Extended soft;
        const unsigned softFlags = flagsOf([&] { soft = apply(op, a, b); });
        gA = toHardware(a);
        gB = toHardware(b);
        const unsigned hardFlags = hardwareFlags([op] {
            switch (op) {
            case Op::Add:
                gR = gA + gB;
                break;
            case Op::Sub:
                gR = gA - gB;
                break;
            case Op::Mul:
                gR = gA * gB;
                break;
            case Op::Div:
                gR = gA / gB;
                break;
            case Op::Sqrt:
                break;
            }
        });
        const Extended hard = fromHardware(gR);
        EXPECT_SAME_AS_X87(soft, hard, softFlags, hardFlags, hex(a) << " " << hex(b));
    }
}

TEST(ExtendedAgainstX87, Addition) { checkBinary(Op::Add, 1); }
TEST(ExtendedAgainstX87, Subtraction) { checkBinary(Op::Sub, 2); }
TEST(ExtendedAgainstX87, Multiplication) { checkBinary(Op::Mul, 3); }
TEST(ExtendedAgainstX87, Division) { checkBinary(Op::Div, 4); }

TEST(ExtendedAgainstX87, SquareRoot) {
    Operands gen(5);
    for (int i = 0; i < kCases; ++i) {
        Extended a = gen.any();
        if (gen.below(4) != 0) // mostly the operands that have a root
            a = fabs(a);
        Extended soft;
        const unsigned softFlags = flagsOf([&] { soft = sqrt(a); });
        long double h = toHardware(a);
        const unsigned hardFlags = hardwareFlags([&] { asm volatile("fsqrt" : "+t"(h)); });
        EXPECT_SAME_AS_X87(soft, fromHardware(h), softFlags, hardFlags, hex(a));
    }
}

TEST(ExtendedAgainstX87, FromDouble) {
    Operands gen(6);
    for (int i = 0; i < kCases; ++i) {
        std::uint64_t bits = gen.bits();
        if (gen.coin()) // denormals, zeros, infinities and NaNs
            bits = (bits & 0x800FFFFFFFFFFFFF) | (gen.coin() ? 0 : 0x7FF0000000000000);
        if (gen.below(8) == 0)
            bits &= 0xFFF0000000000000 | gen.below(4);
        const double d = std::bit_cast<double>(bits);
        Extended soft;
        const unsigned softFlags = flagsOf([&] { soft = Extended(d); });
        gD = d;
        const unsigned hardFlags = hardwareFlags([] { gR = gD; });
        EXPECT_SAME_AS_X87(soft, fromHardware(gR), softFlags, hardFlags, std::hex << bits);
    }
}

TEST(ExtendedAgainstX87, FromInt64) {
    Operands gen(7);
    for (int i = 0; i < kCases; ++i) {
        const auto v = static_cast<std::int64_t>(gen.bits() >> gen.below(64));
        const std::int64_t n = gen.coin() ? v : -v;
        Extended soft;
        const unsigned softFlags = flagsOf([&] { soft = Extended(n); });
        gI = n;
        const unsigned hardFlags = hardwareFlags([] { gR = static_cast<long double>(gI); });
        EXPECT_SAME_AS_X87(soft, fromHardware(gR), softFlags, hardFlags, n);
    }
}

TEST(ExtendedAgainstX87, ToDouble) {
    Operands gen(8);
    for (int i = 0; i < kCases; ++i) {
        Extended a = gen.any();
        if (gen.coin()) { // the double range's edges: exponents 15360 and 17406 in the extended bias
            const int e = gen.coin() ? 0x3C00 - static_cast<int>(gen.below(60))
                                     : 0x43FE + static_cast<int>(gen.below(3));
            const std::uint64_t m =
                gen.coin() ? gen.bits() : (~std::uint64_t{0} << gen.below(12)) ^ gen.below(3);
            a = gen.normal(static_cast<std::uint16_t>(e), m);
        }
        double soft = 0;
        const unsigned softFlags = flagsOf([&] { soft = a.toDouble(); });
        gA = toHardware(a);
        const unsigned hardFlags = hardwareFlags([] { gD = static_cast<double>(gA); });
        const double hard = gD;
        const auto softBits = std::bit_cast<std::uint64_t>(soft);
        const auto hardBits = std::bit_cast<std::uint64_t>(hard);
        if (softBits != hardBits || softFlags != hardFlags) {
            ADD_FAILURE() << "case " << i << " " << hex(a) << ": software " << std::hex << softBits
                          << " flags " << softFlags << ", x87 " << hardBits << " flags " << hardFlags;
            return;
        }
    }
}

TEST(ExtendedAgainstX87, Truncation) {
    Operands gen(9);
    for (int i = 0; i < kCases; ++i) {
        Extended a = gen.any();
        if (gen.coin())
            a = gen.normal(static_cast<std::uint16_t>(0x3FFE + gen.below(67)),
                           gen.coin() ? gen.bits() : gen.fewBits());
        std::int64_t soft = 0;
        const unsigned softFlags = flagsOf([&] { soft = a.truncateToInt64(); });
        gA = toHardware(a);
        const unsigned hardFlags = hardwareFlags([] { gI = static_cast<std::int64_t>(gA); });
        const std::int64_t hard = gI;
        if (soft != hard || softFlags != hardFlags) {
            ADD_FAILURE() << "case " << i << " " << hex(a) << ": software " << soft << " flags " << softFlags
                          << ", x87 " << hard << " flags " << hardFlags;
            return;
        }
    }
}

TEST(ExtendedAgainstX87, Comparisons) {
    Operands gen(10);
    for (int i = 0; i < kCases; ++i) {
        const Extended a = gen.any();
        const Extended b = gen.coin() ? a : gen.partner(Op::Sub, a);
        gA = toHardware(a);
        gB = toHardware(b);
        const int which = static_cast<int>(gen.below(6));
        bool soft = false;
        unsigned softOne = 0;
        switch (which) {
        case 0:
            softOne = flagsOf([&] { soft = a == b; });
            break;
        case 1:
            softOne = flagsOf([&] { soft = a != b; });
            break;
        case 2:
            softOne = flagsOf([&] { soft = a < b; });
            break;
        case 3:
            softOne = flagsOf([&] { soft = a <= b; });
            break;
        case 4:
            softOne = flagsOf([&] { soft = a > b; });
            break;
        default:
            softOne = flagsOf([&] { soft = a >= b; });
            break;
        }
        const unsigned hardFlags = hardwareFlags([which] {
            switch (which) {
            case 0:
                gBool = gA == gB;
                break;
            case 1:
                gBool = gA != gB;
                break;
            case 2:
                gBool = gA < gB;
                break;
            case 3:
                gBool = gA <= gB;
                break;
            case 4:
                gBool = gA > gB;
                break;
            default:
                gBool = gA >= gB;
                break;
            }
        });
        const bool hard = gBool;
        if (soft != hard || softOne != hardFlags) {
            ADD_FAILURE() << "case " << i << " op " << which << " " << hex(a) << " " << hex(b)
                          << ": software " << soft << " flags " << softOne << ", x87 " << hard << " flags "
                          << hardFlags;
            return;
        }
    }
}

TEST(ExtendedAgainstX87, LeavesTheHardwareFlagsAlone) {
    std::feclearexcept(FE_ALL_EXCEPT);
    asm volatile("" ::: "memory");
    for (const EdgeCase& c : kEdgeCases)
        (void)apply(c.op, c.a, c.b);
    (void)Extended(1e300).toDouble();
    asm volatile("" ::: "memory");
    EXPECT_EQ(std::fetestexcept(FE_ALL_EXCEPT), 0);
}

#endif

} // namespace
