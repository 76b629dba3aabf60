#include "extended.h"

#include <array>
#include <cstddef>

namespace numtext::detail {

namespace {

// The NaN an operation with at least one NaN operand gives: the larger significand wins, the
// positive one on a tie, and the winner comes out quiet.
Extended propagateNaN(Extended a, Extended b) noexcept {
    if (a.isSignalingNaN() || b.isSignalingNaN())
        tExtendedFlags |= kExtInvalid;
    Extended winner = a;
    if (!a.isNaN()) {
        winner = b;
    } else if (b.isNaN()) {
        if (b.significand() > a.significand() || (b.significand() == a.significand() && !b.signBit()))
            winner = b;
    }
    return Extended::fromFields(winner.signBit(), Extended::kMaxExponent,
                                winner.significand() | Extended::kQuietBit);
}

Extended invalid() noexcept {
    tExtendedFlags |= kExtInvalid;
    return Extended::defaultNaN();
}

// floor(sqrt(x)) digit by digit; only for building the table below at compile time.
constexpr std::uint64_t slowRoot(std::uint64_t x) {
    std::uint64_t root = 0;
    for (int bit = 31; bit >= 0; --bit) {
        const std::uint64_t trial = root | (std::uint64_t{1} << bit);
        if (trial * trial <= x)
            root = trial;
    }
    return root;
}

// The roots of i * 2^56 for i from 64 to 256: the knots of a piecewise linear estimate of the root of
// a 64-bit value with its top bit or the next one set.
constexpr std::array<std::uint64_t, 193> rootKnots() {
    std::array<std::uint64_t, 193> knots{};
    for (std::size_t i = 0; i < knots.size(); ++i)
        knots[i] = i + 64 == 256 ? std::uint64_t{1} << 32 : slowRoot((i + 64) << 56);
    return knots;
}
constexpr std::array<std::uint64_t, 193> kRootKnots = rootKnots();

// The integer square root of n, for n in [2^126, 2^128): floor(sqrt(n)).
std::uint64_t squareRoot128(U128 n, std::uint64_t& remainderHi, std::uint64_t& remainderLo) noexcept {
    // The chord between two knots lies below the root, by a relative 2^-21 at most; one Newton step
    // from there lands on the root of the top 64 bits or one above it, never below.
    NUMTEXT_ASSERT((n >> 126) != 0);
    const auto top = static_cast<std::uint64_t>(n >> 64);
    const std::size_t knot = static_cast<std::size_t>(top >> 56) - 64;
    const std::uint64_t fraction = (top >> 24) & 0xFFFFFFFF;
    std::uint64_t r = kRootKnots[knot] + (((kRootKnots[knot + 1] - kRootKnots[knot]) * fraction) >> 32);
    r = (r + top / r) >> 1;
    // r is now within one of the root of top, a 32-bit value; one step in 128 bits finishes it.
    // Its division fits 64 bits as long as top is below the divisor; when top is all ones, the
    // root is 2^64 - 1/2 or more, so its integer part is already the largest.
    const std::uint64_t all = ~std::uint64_t{0};
    U128 s = all;
    if (top != all) {
        const std::uint64_t guess = r >= 0xFFFFFFFF ? all : (r + 1) << 32;
        std::uint64_t unused = 0;
        const std::uint64_t q = divide128(top, static_cast<std::uint64_t>(n), guess, unused);
        s = (static_cast<U128>(guess) + q) >> 1;
    }
    while (s * s > n)
        --s;
    while (s < all && (s + 1) * (s + 1) <= n)
        ++s;
    const U128 rem = n - s * s;
    remainderHi = static_cast<std::uint64_t>(rem >> 64);
    remainderLo = static_cast<std::uint64_t>(rem);
    return static_cast<std::uint64_t>(s);
}

} // namespace

Extended roundPackTiny(bool negative, int exponent, std::uint64_t hi, std::uint64_t lo) noexcept {
    NUMTEXT_ASSERT(exponent <= 0);
    // Tiny unless rounding to 64 bits with an unbounded exponent reaches 2^-16382: from all ones, a
    // tie rounds up too, to the even value.
    const bool tiny = !(exponent == 0 && hi == ~std::uint64_t{0} && lo >= kHalf);
    const int shift = 1 - exponent;
    U128 v = (static_cast<U128>(hi) << 64) | lo;
    if (shift >= 128) {
        v = v != 0 ? 1 : 0;
    } else {
        const bool lost = (v & ((static_cast<U128>(1) << shift) - 1)) != 0;
        v = (v >> shift) | (lost ? 1 : 0);
    }
    hi = static_cast<std::uint64_t>(v >> 64);
    lo = static_cast<std::uint64_t>(v);
    if (lo != 0) {
        tExtendedFlags |= kExtInexact | (tiny ? kExtUnderflow : 0);
        if (lo > kHalf || (lo == kHalf && (hi & 1) != 0))
            ++hi; // may carry into the integer bit: then it is the smallest normal
    }
    return Extended::fromFields(negative, (hi & Extended::kIntegerBit) != 0 ? 1 : 0, hi);
}

Extended addEdge(Extended a, Extended b, bool subtract) noexcept {
    if (a.isNaN() || b.isNaN())
        return propagateNaN(a, b);
    const bool signB = b.signBit() != subtract;
    if (a.isInf()) {
        if (b.isInf() && a.signBit() != signB)
            return invalid();
        return a;
    }
    return Extended::infinity(signB);
}

Extended mulEdge(Extended a, Extended b) noexcept {
    if (a.isNaN() || b.isNaN())
        return propagateNaN(a, b);
    const bool negative = a.signBit() != b.signBit();
    if (a.isInf() || b.isInf()) {
        if (a.isZero() || b.isZero())
            return invalid();
        return Extended::infinity(negative);
    }
    return Extended::fromFields(negative, 0, 0);
}

Extended divEdge(Extended a, Extended b) noexcept {
    if (a.isNaN() || b.isNaN())
        return propagateNaN(a, b);
    const bool negative = a.signBit() != b.signBit();
    if (a.isInf()) {
        if (b.isInf())
            return invalid();
        return Extended::infinity(negative);
    }
    if (b.isInf())
        return Extended::fromFields(negative, 0, 0);
    if (b.isZero()) {
        if (a.isZero())
            return invalid();
        tExtendedFlags |= kExtDivByZero;
        return Extended::infinity(negative);
    }
    return Extended::fromFields(negative, 0, 0); // a is zero
}

Extended sqrtImpl(Extended x) noexcept {
    if (x.isNaN())
        return propagateNaN(x, x);
    if (x.isZero())
        return x;
    if (x.signBit())
        return invalid();
    if (x.isInf())
        return x;
    std::uint64_t m = x.significand();
    const int e = normalise(x.biasedExponent(), m) - Extended::kBias;
    // The root of m * 2^(e-63) from an integer with an even power of two beside it.
    const bool odd = (e & 1) != 0;
    const U128 n = static_cast<U128>(m) << (odd ? 64 : 63);
    const int exponent = (odd ? (e - 1) / 2 : e / 2) + Extended::kBias;
    std::uint64_t remHi = 0;
    std::uint64_t remLo = 0;
    const std::uint64_t s = squareRoot128(n, remHi, remLo);
    // The root is never halfway between two integers: the remainder against s tells up from down.
    std::uint64_t lo = 0;
    if (remHi != 0 || remLo != 0)
        lo = (remHi != 0 || remLo > s) ? kHalf + 1 : 1;
    return roundPack(false, exponent, s, lo);
}

double toDoubleSlow(Extended x) noexcept {
    const std::uint64_t sign = static_cast<std::uint64_t>(x.signBit()) << 63;
    std::uint64_t m = x.significand();
    if (x.biasedExponent() == Extended::kMaxExponent) {
        if (x.isSignalingNaN())
            tExtendedFlags |= kExtInvalid;
        std::uint64_t bits = sign | (std::uint64_t{0x7FF} << 52);
        if (x.isNaN())
            bits |= (std::uint64_t{1} << 51) | ((m >> 11) & ((std::uint64_t{1} << 52) - 1));
        return std::bit_cast<double>(bits);
    }
    if (m == 0)
        return std::bit_cast<double>(sign);
    const int exponent = normalise(x.biasedExponent(), m) - Extended::kBias + 1023;
    if (exponent > 2046) {
        tExtendedFlags |= kExtOverflow | kExtInexact;
        return std::bit_cast<double>(sign | (std::uint64_t{0x7FF} << 52));
    }
    // A double denormal (or zero): stores decide tininess after rounding to 53 bits, ties to even.
    const bool tiny = !(exponent == 0 && (m >> 11) == (std::uint64_t{1} << 53) - 1 && (m & 0x7FF) >= 0x400);
    // Here the exponent is at most 0 (every normal double went the fast way), so the shift is at
    // least 12.
    const int shift = 11 + 1 - exponent;
    std::uint64_t mantissa = 0;
    std::uint64_t rest = m;
    std::uint64_t half = 0;
    if (shift > 0 && shift < 64) {
        mantissa = m >> shift;
        rest = m & ((std::uint64_t{1} << shift) - 1);
        half = std::uint64_t{1} << (shift - 1);
    } else if (shift == 64) {
        half = kHalf;
    }
    if (rest != 0) {
        tExtendedFlags |= kExtInexact | (tiny ? kExtUnderflow : 0);
        if (half != 0 && (rest > half || (rest == half && (mantissa & 1) != 0)))
            ++mantissa;
    }
    return std::bit_cast<double>(sign | mantissa);
}

} // namespace numtext::detail
