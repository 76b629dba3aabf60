#pragma once

// The x87 80-bit extended type in software, so that every platform computes the digits x86-64
// computes with its hardware `long double`.
//
// What it does, bit for bit as the x87 does with a 64-bit significand and round-to-nearest-even
// (the state Linux starts the unit in):
//  - A value is the x87's ten bytes: a sign, a 15-bit exponent biased by 16383 and a 64-bit
//    significand whose top bit is the explicit integer bit. Exponent 0 holds zeros and denormals
//    (min normal 2^-16382, smallest denormal 2^-16445); exponent 0x7FFF holds infinities (significand
//    0x8000000000000000) and NaNs (bit 62 set for a quiet one). Unnormals and pseudo-denormals are
//    never produced and are not expected as operands.
//  - + - * / and sqrt round the exact result once to 64 bits. A result that rounds beyond the range
//    gives an infinity with overflow and inexact. Underflow is masked: a tiny result is denormalised
//    and rounded, and the underflow flag is raised only when it is also inexact. Tininess is decided
//    after rounding, as the x87 does it: a result just below 2^-16382 that rounds to 2^-16382 at 64
//    bits with an unbounded exponent is not tiny. Stores to double decide it the same way at 53 bits.
//  - An invalid operation (inf - inf, 0 * inf, 0 / 0, inf / inf, sqrt of a negative number) gives
//    the real indefinite, a quiet NaN with sign 1 and significand 0xC000000000000000. A NaN operand
//    gives that NaN quieted; of two NaNs, the one with the larger significand (a quiet NaN thus wins
//    over a signalling one), or the positive one when the significands are equal. A signalling NaN
//    raises invalid. A finite non-zero number divided by zero gives an infinity and raises
//    division-by-zero. x - x is +0, -0 + -0 is -0, sqrt(-0) is -0. Exact results raise nothing.
//  - == and != are the quiet comparisons (fucomi): only a signalling NaN raises invalid. < <= > >=
//    are the signalling ones (fcomi): any NaN raises invalid. Both are what GCC emits for long double.
//  - The five flags are sticky per thread and belong to this type alone: it never reads or changes
//    the hardware's floating-point state, and double arithmetic keeps the hardware flags.
//
// Worked examples (the tests pin them):
//  - Extended(1) / Extended(3): sign 0, exponent 0x3FFD, significand 0xAAAAAAAAAAAAAAAB (the
//    discarded bits 1010... are above half: rounded up), inexact.
//  - Extended(1e-320): the double is the denormal 2024 * 2^-1074, which the extended range holds as
//    a normal number: exponent 0x3BD7, significand 0xFD00000000000000, no flag.
//  - Extended(1) / Extended(0): +infinity (exponent 0x7FFF, significand 0x8000000000000000) and
//    division-by-zero.

#include <bit>
#include <concepts>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "invariant.h"

namespace numtext {

// The flags, at the bit positions of the x87 status word (which are also glibc's FE_* values on x86).
inline constexpr unsigned kExtInvalid = 0x01;
inline constexpr unsigned kExtDivByZero = 0x04;
inline constexpr unsigned kExtOverflow = 0x08;
inline constexpr unsigned kExtUnderflow = 0x10;
inline constexpr unsigned kExtInexact = 0x20;
inline constexpr unsigned kExtAllFlags =
    kExtInvalid | kExtDivByZero | kExtOverflow | kExtUnderflow | kExtInexact;

namespace detail {
// One word per thread; constant-initialised, so reaching it costs no guard.
inline thread_local unsigned tExtendedFlags = 0;
} // namespace detail

// The flag functions mirror fetestexcept, feclearexcept, feraiseexcept, fegetexceptflag and
// fesetexceptflag.
inline unsigned testExtendedFlags(unsigned mask) noexcept { return detail::tExtendedFlags & mask; }
inline void clearExtendedFlags(unsigned mask) noexcept { detail::tExtendedFlags &= ~mask; }
inline void raiseExtendedFlags(unsigned mask) noexcept { detail::tExtendedFlags |= mask & kExtAllFlags; }
inline unsigned saveExtendedFlags(unsigned mask) noexcept { return detail::tExtendedFlags & mask; }
inline void restoreExtendedFlags(unsigned saved, unsigned mask) noexcept {
    detail::tExtendedFlags = (detail::tExtendedFlags & ~mask) | (saved & mask & kExtAllFlags);
}

// The other integer types whose values all fit an int64_t, so that int, long long and the like
// convert without ambiguity.
template <class I>
concept ExactInteger = std::integral<I> && !std::same_as<I, bool> && !std::same_as<I, std::int64_t> &&
                       (std::is_signed_v<I> ? sizeof(I) <= 8 : sizeof(I) < 8);

class Extended {
public:
    static constexpr int kBias = 16383;
    static constexpr std::uint16_t kMaxExponent = 0x7FFF;
    static constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;
    static constexpr std::uint64_t kQuietBit = std::uint64_t{1} << 62;

    constexpr Extended() = default; // +0
    // A double or an integer is an extended value, as with long double: the conversions are implicit.
    // cppcheck-suppress noExplicitConstructor
    Extended(double d) noexcept; // exact; a signalling NaN is quieted and raises invalid
    // cppcheck-suppress noExplicitConstructor
    Extended(std::int64_t i) noexcept;
    template <ExactInteger I>
    // cppcheck-suppress noExplicitConstructor
    Extended(I i) noexcept : Extended(static_cast<std::int64_t>(i)) {}

    // The integer `magnitude`, of any size below 2^64, with the given sign; exact.
    static Extended fromMagnitude(bool negative, std::uint64_t magnitude) noexcept;

    // Builds a value from its fields; the significand includes the integer bit, which is set exactly
    // when the exponent is not zero: the encodings the x87's arithmetic produces. Unnormals,
    // pseudo-zeros, pseudo-denormals, pseudo-infinities and pseudo-NaNs are refused where
    // invariants are checked.
    static constexpr Extended fromFields(bool negative, std::uint16_t biasedExponent,
                                         std::uint64_t significand) noexcept {
        NUMTEXT_ASSERT(biasedExponent <= kMaxExponent);
        NUMTEXT_ASSERT(((significand & kIntegerBit) != 0) == (biasedExponent != 0));
        Extended x;
        x.m_significand = significand;
        x.m_signExponent =
            static_cast<std::uint16_t>((negative ? 0x8000u : 0u) | (biasedExponent & kMaxExponent));
        return x;
    }
    static constexpr Extended infinity(bool negative = false) noexcept {
        return fromFields(negative, kMaxExponent, kIntegerBit);
    }
    // The real indefinite: what an invalid operation gives.
    static constexpr Extended defaultNaN() noexcept {
        return fromFields(true, kMaxExponent, kIntegerBit | kQuietBit);
    }

    constexpr bool signBit() const noexcept { return (m_signExponent & 0x8000u) != 0; }
    constexpr std::uint16_t biasedExponent() const noexcept {
        return static_cast<std::uint16_t>(m_signExponent & kMaxExponent);
    }
    constexpr std::uint64_t significand() const noexcept { return m_significand; }

    constexpr bool isNaN() const noexcept {
        return biasedExponent() == kMaxExponent && (m_significand << 1) != 0;
    }
    constexpr bool isSignalingNaN() const noexcept { return isNaN() && (m_significand & kQuietBit) == 0; }
    constexpr bool isInf() const noexcept {
        return biasedExponent() == kMaxExponent && (m_significand << 1) == 0;
    }
    constexpr bool isZero() const noexcept { return m_significand == 0 && biasedExponent() == 0; }

    // Rounds to the nearest double as a store to memory does: overflow gives an infinity with
    // overflow and inexact, a tiny inexact result raises underflow, a signalling NaN raises invalid.
    double toDouble() const noexcept;
    explicit operator double() const noexcept { return toDouble(); }

    // The x87's conversion with truncation (fisttp): toward zero into a signed 64-bit integer.
    // NaN, infinities and values outside [-2^63, 2^63) give INT64_MIN and raise invalid; a
    // discarded fraction raises inexact. A caller that wants no flags saves and restores them.
    std::int64_t truncateToInt64() const noexcept;

    Extended operator-() const noexcept { return fromFields(!signBit(), biasedExponent(), m_significand); }
    Extended& operator+=(Extended b) noexcept;
    Extended& operator-=(Extended b) noexcept;
    Extended& operator*=(Extended b) noexcept;
    Extended& operator/=(Extended b) noexcept;

    friend Extended operator+(Extended a, Extended b) noexcept;
    friend Extended operator-(Extended a, Extended b) noexcept;
    friend Extended operator*(Extended a, Extended b) noexcept;
    friend Extended operator/(Extended a, Extended b) noexcept;
    friend Extended sqrt(Extended x) noexcept;
    friend Extended fabs(Extended x) noexcept {
        return fromFields(false, x.biasedExponent(), x.m_significand);
    }

    friend bool operator==(Extended a, Extended b) noexcept;
    friend bool operator<(Extended a, Extended b) noexcept;
    friend bool operator<=(Extended a, Extended b) noexcept;
    friend bool operator>(Extended a, Extended b) noexcept { return b < a; }
    friend bool operator>=(Extended a, Extended b) noexcept { return b <= a; }

private:
    std::uint64_t m_significand = 0;
    std::uint16_t m_signExponent = 0;
};

namespace detail {

__extension__ using U128 = unsigned __int128;

// The common paths are inline; the rare cases (NaN, infinities, zero factors, tiny results) and sqrt
// are in extended.cpp.
Extended addEdge(Extended a, Extended b, bool subtract) noexcept;
Extended mulEdge(Extended a, Extended b) noexcept;
Extended divEdge(Extended a, Extended b) noexcept;
Extended roundPackTiny(bool negative, int exponent, std::uint64_t hi, std::uint64_t lo) noexcept;
Extended sqrtImpl(Extended x) noexcept;
double toDoubleSlow(Extended x) noexcept;

inline constexpr std::uint64_t kHalf = std::uint64_t{1} << 63;

// Rounds hi:lo (hi normalised, lo the bits below it) with the exponent `exponent` of hi's top bit to
// the nearest 64-bit value, ties to even, and packs it.
inline Extended roundPack(bool negative, int exponent, std::uint64_t hi, std::uint64_t lo) noexcept {
    NUMTEXT_ASSERT((hi & Extended::kIntegerBit) != 0);
    if (exponent <= 0) [[unlikely]]
        return roundPackTiny(negative, exponent, hi, lo);
    if (lo != 0) {
        tExtendedFlags |= kExtInexact;
        if (lo > kHalf || (lo == kHalf && (hi & 1) != 0)) {
            // cppcheck-suppress knownConditionTrueFalse ; hi may be all ones
            if (++hi == 0) {
                hi = Extended::kIntegerBit;
                ++exponent;
            }
        }
    }
    if (exponent >= Extended::kMaxExponent) [[unlikely]] {
        tExtendedFlags |= kExtOverflow | kExtInexact;
        return Extended::infinity(negative);
    }
    return Extended::fromFields(negative, static_cast<std::uint16_t>(exponent), hi);
}

inline int countLeadingZeros128(U128 v) noexcept {
    const auto hi = static_cast<std::uint64_t>(v >> 64);
    return hi != 0 ? std::countl_zero(hi) : 64 + std::countl_zero(static_cast<std::uint64_t>(v));
}

// The sum of a and b with the given signs: the common path of + and -, for finite operands.
inline Extended addFinite(Extended a, bool signA, Extended b, bool signB) noexcept {
    std::uint64_t ma = a.significand();
    std::uint64_t mb = b.significand();
    if (ma == 0 || mb == 0) [[unlikely]] {
        if (mb != 0)
            return Extended::fromFields(signB, b.biasedExponent(), mb);
        if (ma != 0)
            return Extended::fromFields(signA, a.biasedExponent(), ma);
        return Extended::fromFields(signA && signB, 0, 0);
    }
    // A denormal has the scale of the smallest normal exponent.
    int ea = a.biasedExponent() != 0 ? a.biasedExponent() : 1;
    int eb = b.biasedExponent() != 0 ? b.biasedExponent() : 1;
    if (ea < eb || (ea == eb && ma < mb)) { // the larger magnitude first
        std::swap(ma, mb);
        std::swap(ea, eb);
        std::swap(signA, signB);
    }
    const int d = ea - eb;
    const U128 wa = static_cast<U128>(ma) << 64;
    U128 wb = 0;
    std::uint64_t sticky = 0;
    if (d < 128) {
        wb = (static_cast<U128>(mb) << 64) >> d;
        if (d > 64)
            sticky = (mb << (128 - d)) != 0 ? 1 : 0;
    } else {
        sticky = 1;
    }
    if (signA == signB) {
        U128 s = wa + wb;
        int e = ea;
        if (s < wa) {
            // Carried out of 128 bits: the top bit comes back in from the carry.
            s = (s >> 1) | (s & 1) | (static_cast<U128>(1) << 127);
            ++e;
        }
        auto hi = static_cast<std::uint64_t>(s >> 64);
        auto lo = static_cast<std::uint64_t>(s) | sticky;
        if ((hi & Extended::kIntegerBit) == 0) // two denormals whose sum stays denormal: exact
            return Extended::fromFields(signA, 0, hi);
        return roundPack(signA, e, hi, lo);
    }
    U128 s = wa - wb - sticky;
    if (s == 0) // exact cancellation gives +0 when rounding to nearest
        return Extended();
    const int shift = countLeadingZeros128(s);
    s <<= shift;
    return roundPack(signA, ea - shift, static_cast<std::uint64_t>(s >> 64),
                     static_cast<std::uint64_t>(s) | sticky);
}

inline bool isInfOrNaN(Extended x) noexcept { return x.biasedExponent() == Extended::kMaxExponent; }

// Brings a denormal's integer bit to the top and returns the exponent that goes with it.
inline int normalise(std::uint16_t biased, std::uint64_t& m) noexcept {
    if (biased != 0)
        return biased;
    const int shift = std::countl_zero(m);
    m <<= shift;
    return 1 - shift;
}

// hi:lo / d for hi < d: the quotient and the remainder.
inline std::uint64_t divide128(std::uint64_t hi, std::uint64_t lo, std::uint64_t d,
                               std::uint64_t& rem) noexcept {
    NUMTEXT_ASSERT(hi < d); // else the quotient does not fit, and divq traps
#if defined(__x86_64__)
    std::uint64_t q;
    asm("divq %4" : "=a"(q), "=d"(rem) : "a"(lo), "d"(hi), "rm"(d) : "cc");
    return q;
#else
    const U128 n = (static_cast<U128>(hi) << 64) | lo;
    rem = static_cast<std::uint64_t>(n % d);
    return static_cast<std::uint64_t>(n / d);
#endif
}

} // namespace detail

inline Extended operator+(Extended a, Extended b) noexcept {
    if (detail::isInfOrNaN(a) || detail::isInfOrNaN(b)) [[unlikely]]
        return detail::addEdge(a, b, false);
    return detail::addFinite(a, a.signBit(), b, b.signBit());
}

inline Extended operator-(Extended a, Extended b) noexcept {
    if (detail::isInfOrNaN(a) || detail::isInfOrNaN(b)) [[unlikely]]
        return detail::addEdge(a, b, true);
    return detail::addFinite(a, a.signBit(), b, !b.signBit());
}

inline Extended operator*(Extended a, Extended b) noexcept {
    if (detail::isInfOrNaN(a) || detail::isInfOrNaN(b) || a.m_significand == 0 || b.m_significand == 0)
        [[unlikely]]
        return detail::mulEdge(a, b);
    const bool negative = a.signBit() != b.signBit();
    std::uint64_t ma = a.m_significand;
    std::uint64_t mb = b.m_significand;
    const int ea = detail::normalise(a.biasedExponent(), ma);
    const int eb = detail::normalise(b.biasedExponent(), mb);
    detail::U128 p = static_cast<detail::U128>(ma) * mb;
    int e = ea + eb - Extended::kBias + 1;
    if ((p >> 127) == 0) {
        p <<= 1;
        --e;
    }
    return detail::roundPack(negative, e, static_cast<std::uint64_t>(p >> 64), static_cast<std::uint64_t>(p));
}

inline Extended operator/(Extended a, Extended b) noexcept {
    if (detail::isInfOrNaN(a) || detail::isInfOrNaN(b) || a.m_significand == 0 || b.m_significand == 0)
        [[unlikely]]
        return detail::divEdge(a, b);
    const bool negative = a.signBit() != b.signBit();
    std::uint64_t ma = a.m_significand;
    std::uint64_t mb = b.m_significand;
    const int ea = detail::normalise(a.biasedExponent(), ma);
    const int eb = detail::normalise(b.biasedExponent(), mb);
    int e = ea - eb + Extended::kBias;
    std::uint64_t rem = 0;
    std::uint64_t q = 0;
    if (ma < mb) {
        q = detail::divide128(ma, 0, mb, rem);
        --e;
    } else {
        q = detail::divide128(ma >> 1, ma << 63, mb, rem);
    }
    // Only how the remainder compares with half the divisor matters, and whether it is zero.
    std::uint64_t lo = 0;
    if (rem != 0) {
        const std::uint64_t other = mb - rem;
        lo = rem < other ? 1 : rem == other ? detail::kHalf : detail::kHalf + 1;
    }
    return detail::roundPack(negative, e, q, lo);
}

inline Extended& Extended::operator+=(Extended b) noexcept { return *this = *this + b; }
inline Extended& Extended::operator-=(Extended b) noexcept { return *this = *this - b; }
inline Extended& Extended::operator*=(Extended b) noexcept { return *this = *this * b; }
inline Extended& Extended::operator/=(Extended b) noexcept { return *this = *this / b; }

inline Extended sqrt(Extended x) noexcept { return detail::sqrtImpl(x); }

inline Extended::Extended(double d) noexcept {
    const auto bits = std::bit_cast<std::uint64_t>(d);
    const bool negative = (bits >> 63) != 0;
    const auto exponent = static_cast<unsigned>((bits >> 52) & 0x7FF);
    const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
    if (exponent - 1 < 0x7FE) [[likely]] { // 1 to 2046, a normal double; 0 wraps around
        *this = fromFields(negative, static_cast<std::uint16_t>(exponent - 1023 + kBias),
                           kIntegerBit | (fraction << 11));
    } else if (exponent == 0x7FF) {
        if (fraction != 0 && (fraction & (std::uint64_t{1} << 51)) == 0)
            detail::tExtendedFlags |= kExtInvalid;
        *this = fromFields(negative, kMaxExponent,
                           kIntegerBit | (fraction << 11) | (fraction != 0 ? kQuietBit : 0));
    } else if (fraction == 0) {
        *this = fromFields(negative, 0, 0);
    } else {
        // A double denormal is fraction * 2^-1074: normal in the extended range.
        const int shift = std::countl_zero(fraction);
        *this =
            fromFields(negative, static_cast<std::uint16_t>(kBias + 63 - 1074 - shift), fraction << shift);
    }
}

inline Extended Extended::fromMagnitude(bool negative, std::uint64_t magnitude) noexcept {
    if (magnitude == 0)
        return fromFields(negative, 0, 0);
    const int shift = std::countl_zero(magnitude);
    return fromFields(negative, static_cast<std::uint16_t>(kBias + 63 - shift), magnitude << shift);
}

inline Extended::Extended(std::int64_t i) noexcept {
    if (i == 0)
        return;
    const bool negative = i < 0;
    *this =
        fromMagnitude(negative, negative ? 0 - static_cast<std::uint64_t>(i) : static_cast<std::uint64_t>(i));
}

inline double Extended::toDouble() const noexcept {
    const int exponent = static_cast<int>(biasedExponent()) - kBias + 1023;
    const std::uint64_t sign = static_cast<std::uint64_t>(signBit()) << 63;
    if (exponent >= 1 && exponent <= 2046 && (m_significand & kIntegerBit) != 0) [[likely]] {
        std::uint64_t mantissa = m_significand >> 11;
        const std::uint64_t rest = m_significand & 0x7FF;
        if (rest != 0) {
            detail::tExtendedFlags |= kExtInexact;
            if (rest > 0x400 || (rest == 0x400 && (mantissa & 1) != 0))
                ++mantissa; // a carry into the exponent field is the right result, infinity included
            if ((mantissa >> 53) != 0 && exponent == 2046)
                detail::tExtendedFlags |= kExtOverflow;
        }
        // The exponent is at most 2046, 11 bits: shifted by 52 it fits. The analyser cannot see the bound.
        // NOLINTNEXTLINE(clang-analyzer-core.UndefinedBinaryOperatorResult)
        const std::uint64_t exponentField = static_cast<std::uint64_t>(exponent) << 52;
        return std::bit_cast<double>(sign | (exponentField + (mantissa - (std::uint64_t{1} << 52))));
    }
    return detail::toDoubleSlow(*this);
}

inline std::int64_t Extended::truncateToInt64() const noexcept {
    const int exponent = static_cast<int>(biasedExponent()) - kBias;
    if (exponent < 0) {
        if (m_significand != 0)
            detail::tExtendedFlags |= kExtInexact;
        return 0;
    }
    if (exponent > 62) {
        if (exponent == 63 && signBit() && m_significand == kIntegerBit)
            return INT64_MIN;
        detail::tExtendedFlags |= kExtInvalid; // infinities and NaNs land here too
        return INT64_MIN;
    }
    const std::uint64_t magnitude = m_significand >> (63 - exponent);
    if ((m_significand << (exponent + 1)) != 0)
        detail::tExtendedFlags |= kExtInexact;
    return signBit() ? static_cast<std::int64_t>(0 - magnitude) : static_cast<std::int64_t>(magnitude);
}

namespace detail {
// -1, 0 or 1: how a compares with b, neither being a NaN.
inline int compareOrdered(Extended a, Extended b) noexcept {
    const U128 ka = (static_cast<U128>(a.biasedExponent()) << 64) | a.significand();
    const U128 kb = (static_cast<U128>(b.biasedExponent()) << 64) | b.significand();
    if (a.signBit() != b.signBit()) {
        if (ka == 0 && kb == 0)
            return 0;
        return a.signBit() ? -1 : 1;
    }
    const int c = ka < kb ? -1 : ka == kb ? 0 : 1;
    return a.signBit() ? -c : c;
}
} // namespace detail

inline bool operator==(Extended a, Extended b) noexcept {
    if (a.isNaN() || b.isNaN()) [[unlikely]] {
        if (a.isSignalingNaN() || b.isSignalingNaN())
            detail::tExtendedFlags |= kExtInvalid;
        return false;
    }
    return detail::compareOrdered(a, b) == 0;
}

inline bool operator<(Extended a, Extended b) noexcept {
    if (a.isNaN() || b.isNaN()) [[unlikely]] {
        detail::tExtendedFlags |= kExtInvalid;
        return false;
    }
    return detail::compareOrdered(a, b) < 0;
}

inline bool operator<=(Extended a, Extended b) noexcept {
    if (a.isNaN() || b.isNaN()) [[unlikely]] {
        detail::tExtendedFlags |= kExtInvalid;
        return false;
    }
    return detail::compareOrdered(a, b) <= 0;
}

} // namespace numtext
