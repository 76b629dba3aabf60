#include "decimal_digits.h"

#include <algorithm>

#include "big_float.h"

namespace numtext {
namespace {

using detail::countLeadingZeros128;
using detail::U128;

constexpr std::uint64_t kTen17 = 100000000000000000ULL;
constexpr std::uint64_t kTen18 = 1000000000000000000ULL;
// 5^27 is the largest power of five below 2^64.
constexpr int kSmallPowers = 27;

constexpr std::uint64_t pow5(int k) {
    std::uint64_t p = 1;
    for (int i = 0; i < k; ++i)
        p *= 5;
    return p;
}

// Rounds num / den to an integer, ties to even.
std::uint64_t roundQuotient(U128 num, U128 den) {
    U128 q = num / den;
    const U128 r = num % den;
    const U128 twice = r * 2; // r < den < 2^127
    if (twice > den || (twice == den && (q & 1)))
        ++q;
    return static_cast<std::uint64_t>(q);
}

// round(m x 2^q x 10^k), ties to even, for results below 2^64: in 128-bit integers where 5^|k| and
// the shift fit them, which covers the values of everyday size, else by MPFR.
std::uint64_t scaledRound(std::uint64_t m, int q, int k) {
    const int shift = q + k; // the power of two once 10^k is split into 5^k x 2^k
    if (k >= 0 && k <= kSmallPowers) {
        const U128 p = U128{m} * pow5(k);
        if (shift >= 0)
            return static_cast<std::uint64_t>(p << shift);
        if (-shift < 127)
            return roundQuotient(p, U128{1} << -shift);
    } else if (k < 0 && k >= -kSmallPowers) {
        const U128 den = pow5(-k);
        if (shift >= 0 && shift <= 63)
            return roundQuotient(U128{m} << shift, den);
        if (shift < 0 && 128 - countLeadingZeros128(den) - shift <= 126)
            return roundQuotient(U128{m}, den << -shift);
    }
    return roundScaled(m, q, k);
}

} // namespace

DecimalDigits decimalDigits(extended value) noexcept {
    DecimalDigits d;
    const std::uint64_t mantissa = value.significand();
    const bool negative = value.signBit();
    const int biased = value.biasedExponent();

    if (biased == Extended::kMaxExponent) {
        if ((mantissa << 1) == 0) {
            d.kind = DecimalDigits::Kind::Infinity;
            d.negative = negative;
        } else {
            d.kind = DecimalDigits::Kind::NaN;
        }
        return d;
    }
    if (biased == 0)
        return d; // zero and denormals: no digits, no sign

    d.negative = negative;
    const int binaryExponent = biased - Extended::kBias;
    int e = ((binaryExponent * 0x4D10) >> 16) + 1;
    const int q = binaryExponent - 63;
    std::uint64_t n = scaledRound(mantissa, q, 18 - e);
    if (n < kTen17) {
        // The estimate was one too large (tiny values): one more digit, E one smaller.
        --e;
        n = scaledRound(mantissa, q, 18 - e);
    }
    if (n >= kTen18) {
        n /= 10;
        ++e;
    }
    // The estimate of E is never more than one away.
    NUMTEXT_ASSERT(n >= kTen17 && n < kTen18);
    d.exponent = e;
    d.count = 18;
    for (int i = 17; i >= 0; --i) {
        d.digits[i] = static_cast<char>('0' + n % 10);
        n /= 10;
    }
    return d;
}

void roundDigits(DecimalDigits& d, int precision, int decimals) noexcept {
    if (d.kind != DecimalDigits::Kind::Finite || d.count == 0)
        return;
    const int keep = std::min(d.exponent + decimals, precision);
    if (keep < 0) {
        d.count = 0;
        d.exponent = 0;
        d.negative = false;
        return;
    }
    if (keep < d.count) {
        const bool up = d.digits[keep] >= '5';
        d.count = keep;
        if (up) {
            int i = keep - 1;
            while (i >= 0 && d.digits[i] == '9')
                --i;
            if (i < 0) {
                d.digits[0] = '1';
                d.count = 1;
                ++d.exponent;
            } else {
                ++d.digits[i];
                d.count = i + 1;
            }
        }
    }
    while (d.count > 0 && d.digits[d.count - 1] == '0')
        --d.count;
    if (d.count == 0) {
        d.exponent = 0;
        d.negative = false;
    }
}

} // namespace numtext
