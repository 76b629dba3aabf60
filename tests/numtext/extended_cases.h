#pragma once

// What the tests of the extended type against a reference share: results and flags as raw bits, the
// operands drawn toward the cases where rounding, range and NaN rules decide, and the loop that
// holds the type against a reference on them. Integers only, so that the draws are the same on every
// platform whatever its long double.

#include <gtest/gtest.h>

#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>

#include "numtext/extended.h"

namespace numtext::cases {

inline Extended fields(bool negative, std::uint16_t exponent, std::uint64_t significand) {
    return Extended::fromFields(negative, exponent, significand);
}

// A result and its flags as raw bits, so that every type compares and prints alike.
struct Outcome {
    std::uint64_t low = 0;
    unsigned high = 0;
    unsigned flags = 0;
    bool operator==(const Outcome&) const = default;
};

inline void PrintTo(const Outcome& o, std::ostream* out) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04X:%016" PRIX64 " flags %02X", o.high, o.low, o.flags);
    *out << buf;
}

inline Outcome outcome(Extended x, unsigned flags) {
    return {x.significand(), (x.signBit() ? 0x8000u : 0u) | x.biasedExponent(), flags};
}
inline Outcome outcome(double d, unsigned flags) { return {std::bit_cast<std::uint64_t>(d), 0, flags}; }
inline Outcome outcome(std::int64_t i, unsigned flags) { return {static_cast<std::uint64_t>(i), 0, flags}; }
inline Outcome outcome(bool b, unsigned flags) { return {b ? 1u : 0u, 0, flags}; }

// The result of f and the flags it raised from cleared ones.
template <class F>
Outcome soft(F f) {
    clearExtendedFlags(kExtAllFlags);
    const auto r = f();
    return outcome(r, testExtendedFlags(kExtAllFlags));
}

enum class Op { Add, Sub, Mul, Div };

// Operands weighted toward the cases where rounding, range and NaN rules decide. std::mt19937_64's
// sequence is fixed by the standard, and only its raw output is used.
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
        switch (below(11)) {
        case 0: // close in value: cancellation, exact differences
            return normal(ea + below(3) - 1, a.significand() + bits() % 1000 - 500);
        case 1: // a distance where alignment shifts bits past the round position, ties among them
            return normal(ea - below(70), maybeFew());
        case 2: { // results near the bottom and the top of the range
            const int target = coin() ? below(70) - 64 : 0x7FFE - below(4);
            return normal(partnerExponent(op, ea, target), maybeFew());
        }
        case 3: // few significant bits: products and quotients that are exact or exact ties
            return normal(ea + below(9) - 4, fewBits());
        case 4: // the same magnitude: x - x, and NaNs with equal significands
            return coin() ? a : -a;
        case 5: { // a power of two that puts the result at a threshold of the range, or half an
                  // ulp of the first: exact ties at the rounding point
            static constexpr int kTargets[] = {0x7FFF, 0x7FFE, 1, 0, -1, -62, -63, -64};
            const int eb = op == Op::Add || op == Op::Sub ? ea - 64 + below(3) - 1
                                                          : partnerExponent(op, ea, kTargets[below(8)]);
            return normal(eb, Extended::kIntegerBit);
        }
        case 6: { // one that brings the result to within an ulp of a threshold: the smallest
                  // normal, the largest finite value, a power of two (computed by the type itself,
                  // which is only a guide here)
            const Extended thresholds[] = {
                fields(coin(), 1, Extended::kIntegerBit), fields(coin(), 0x7FFE, ~0ULL),
                fields(coin(), static_cast<std::uint16_t>(1 + below(0x7FFE)), Extended::kIntegerBit)};
            const Extended t = thresholds[below(3)];
            const Extended b = op == Op::Mul ? t / a : op == Op::Div ? a / t : op == Op::Add ? t - a : a - t;
            return nextTo(b, below(3) - 1);
        }
        default:
            return any();
        }
    }

    // The encoding `steps` significand units away from x, staying a valid one.
    static Extended nextTo(Extended x, int steps) {
        const std::uint64_t m = x.significand() + static_cast<std::uint64_t>(steps);
        const bool integerBit = (m & Extended::kIntegerBit) != 0;
        if (x.biasedExponent() == 0x7FFF || integerBit != (x.biasedExponent() != 0))
            return x;
        return fields(x.signBit(), x.biasedExponent(), m);
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
    // The exponent of b that puts a * b or a / b at the biased exponent `target`.
    static int partnerExponent(Op op, int ea, int target) {
        return op == Op::Mul   ? target - ea + Extended::kBias
               : op == Op::Div ? ea - target + Extended::kBias
                               : ea;
    }

    std::mt19937_64 m_gen;
};

struct Pair {
    Extended a;
    Extended b;
};

inline auto pairsFor(Op op) {
    return [op](Operands& g) {
        const Extended a = g.any();
        return Pair{a, g.partner(op, a)};
    };
}

inline Extended mostlyWithARoot(Operands& g) { return g.below(4) != 0 ? fabs(g.any()) : g.any(); }

inline double doubles(Operands& g) {
    std::uint64_t bits = g.bits();
    if (g.coin()) // denormals, zeros, infinities and NaNs
        bits = (bits & 0x800FFFFFFFFFFFFF) | (g.coin() ? 0 : 0x7FF0000000000000);
    if (g.below(8) == 0)
        bits &= 0xFFF0000000000003;
    return std::bit_cast<double>(bits);
}

inline std::int64_t integers(Operands& g) {
    if (g.below(8) == 0) { // the extremes, and where the integers stop being exact in double
        constexpr std::int64_t kEdges[] = {
            INT64_MIN, INT64_MIN + 1, INT64_MAX, INT64_MAX - 1, 0, 1, -1, (std::int64_t{1} << 53) + 1};
        const std::int64_t e = kEdges[g.below(8)];
        return g.coin() || e == INT64_MIN ? e : -e;
    }
    return static_cast<std::int64_t>(g.bits() >> g.below(64));
}

inline Extended nearTheDoubleRange(Operands& g) {
    if (g.coin()) // the double range's edges, at the extended bias
        return g.normal(g.coin() ? 0x3C00 - g.below(60) : 0x43FE + g.below(3),
                        g.coin() ? g.bits() : (~std::uint64_t{0} << g.below(12)) ^ g.bits() % 3);
    return g.any();
}

inline Extended nearTheIntegerRange(Operands& g) {
    return g.coin() ? g.normal(0x3FFE + g.below(67), g.maybeFew()) : g.any();
}

inline std::string describe(std::int64_t i) {
    char buf[24];
    std::snprintf(buf, sizeof buf, "%016" PRIX64, static_cast<std::uint64_t>(i));
    return buf;
}
inline std::string describe(double d) { return describe(std::bit_cast<std::int64_t>(d)); }
inline std::string describe(Extended x) {
    return ::testing::PrintToString(outcome(x, 0)).substr(0, 21); // the bits without the flags
}
inline std::string describe(const Pair& p) { return describe(p.a) + " " + describe(p.b); }

// Runs `count` drawn inputs through the type and the reference and reports the first disagreement
// in hex.
template <class Draw, class Soft, class Reference>
void holdAgainst(std::uint64_t seed, int count, Draw draw, Soft softOp, Reference reference) {
    Operands gen(seed);
    for (int i = 0; i < count; ++i) {
        const auto input = draw(gen);
        const Outcome s = soft([&] { return softOp(input); });
        const Outcome r = reference(input);
        if (!(s == r)) {
            ADD_FAILURE() << "case " << i << " " << describe(input) << ": software "
                          << ::testing::PrintToString(s) << ", reference " << ::testing::PrintToString(r);
            return;
        }
    }
}

} // namespace numtext::cases
