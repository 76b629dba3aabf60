#include "decimal_digits.h"

#include <algorithm>
#include <cstring>

namespace numtext {
namespace {

__extension__ using u128 = unsigned __int128; // GCC and Clang on 64-bit targets

constexpr std::uint64_t kTen17 = 100000000000000000ULL;
constexpr std::uint64_t kTen18 = 1000000000000000000ULL;

constexpr std::uint64_t pow5(int k) {
    std::uint64_t p = 1;
    for (int i = 0; i < k; ++i)
        p *= 5;
    return p;
}

int bitLength(u128 v) {
    int n = 0;
    while (v) {
        v >>= 1;
        ++n;
    }
    return n;
}

// Rounds num / den to an integer, ties to even.
std::uint64_t roundQuotient(u128 num, u128 den) {
    u128 q = num / den;
    const u128 r = num % den;
    const u128 twice = r * 2; // r < den < 2^127
    if (twice > den || (twice == den && (q & 1)))
        ++q;
    return static_cast<std::uint64_t>(q);
}

// A non-negative integer of up to kWords 32-bit words, enough for m x 2^16384 and for 5^4970 x 2^4970.
class BigNat {
public:
    static constexpr int kWords = 560;

    explicit BigNat(std::uint64_t v) {
        m_w[0] = static_cast<std::uint32_t>(v);
        m_w[1] = static_cast<std::uint32_t>(v >> 32);
        m_n = m_w[1] ? 2 : (m_w[0] ? 1 : 0);
    }

    void mulSmall(std::uint32_t f) {
        std::uint64_t carry = 0;
        for (int i = 0; i < m_n; ++i) {
            const std::uint64_t t = std::uint64_t{m_w[i]} * f + carry;
            m_w[i] = static_cast<std::uint32_t>(t);
            carry = t >> 32;
        }
        if (carry)
            m_w[m_n++] = static_cast<std::uint32_t>(carry);
    }

    void mulPow5(int k) {
        constexpr std::uint32_t kPow5_13 = 1220703125; // 5^13, the largest power of five below 2^32
        for (; k >= 13; k -= 13)
            mulSmall(kPow5_13);
        if (k > 0)
            mulSmall(static_cast<std::uint32_t>(pow5(k)));
    }

    void shiftLeft(int bits) {
        if (m_n == 0 || bits == 0)
            return;
        const int words = bits / 32;
        const int rest = bits % 32;
        if (rest) {
            std::uint32_t carry = 0;
            for (int i = 0; i < m_n; ++i) {
                const std::uint32_t w = m_w[i];
                m_w[i] = (w << rest) | carry;
                carry = w >> (32 - rest);
            }
            if (carry)
                m_w[m_n++] = carry;
        }
        if (words) {
            std::memmove(m_w + words, m_w, sizeof(std::uint32_t) * static_cast<std::size_t>(m_n));
            std::memset(m_w, 0, sizeof(std::uint32_t) * static_cast<std::size_t>(words));
            m_n += words;
        }
    }

    void shiftRight1() {
        for (int i = 0; i < m_n; ++i) {
            m_w[i] >>= 1;
            if (i + 1 < m_n)
                m_w[i] |= m_w[i + 1] << 31;
        }
        trim();
    }

    int compare(const BigNat& o) const {
        if (m_n != o.m_n)
            return m_n < o.m_n ? -1 : 1;
        for (int i = m_n - 1; i >= 0; --i)
            if (m_w[i] != o.m_w[i])
                return m_w[i] < o.m_w[i] ? -1 : 1;
        return 0;
    }

    // *this -= o, where o <= *this.
    void subtract(const BigNat& o) {
        std::int64_t borrow = 0;
        for (int i = 0; i < m_n; ++i) {
            std::int64_t t = std::int64_t{m_w[i]} - borrow - (i < o.m_n ? std::int64_t{o.m_w[i]} : 0);
            borrow = t < 0;
            if (t < 0)
                t += std::int64_t{1} << 32;
            m_w[i] = static_cast<std::uint32_t>(t);
        }
        trim();
    }

private:
    void trim() {
        while (m_n > 0 && m_w[m_n - 1] == 0)
            --m_n;
    }

    std::uint32_t m_w[kWords] = {};
    int m_n = 0;
};

// round(num / den), ties to even, for a quotient below 2^64: shift and subtract, bit by bit.
std::uint64_t roundBigQuotient(BigNat& num, BigNat den) {
    den.shiftLeft(64);
    std::uint64_t q = 0;
    for (int bit = 64; bit >= 0; --bit) {
        // Invariant: den holds the original denominator times 2^bit.
        if (num.compare(den) >= 0) {
            num.subtract(den);
            if (bit < 64)
                q |= std::uint64_t{1} << bit;
        }
        if (bit > 0)
            den.shiftRight1();
    }
    // num is now the remainder r and den the original denominator: compare 2r with it.
    num.shiftLeft(1);
    const int c = num.compare(den);
    if (c > 0 || (c == 0 && (q & 1)))
        ++q;
    return q;
}

// round(m x 2^q x 10^k), ties to even, for results below 2^64.
std::uint64_t scaledRound(std::uint64_t m, int q, int k) {
    const int shift = q + k; // the power of two once 10^k is split into 5^k x 2^k
    if (k >= 0 && k <= 27) {
        const u128 p = u128{m} * pow5(k);
        if (shift >= 0)
            return static_cast<std::uint64_t>(p << shift);
        if (-shift < 127)
            return roundQuotient(p, u128{1} << -shift);
    } else if (k < 0 && k >= -27) {
        const u128 den = pow5(-k);
        if (shift >= 0 && shift <= 63)
            return roundQuotient(u128{m} << shift, den);
        if (shift < 0 && bitLength(den) - shift <= 126)
            return roundQuotient(u128{m}, den << -shift);
    }
    BigNat num(m);
    BigNat den(1);
    if (k >= 0)
        num.mulPow5(k);
    else
        den.mulPow5(-k);
    if (shift >= 0)
        num.shiftLeft(shift);
    else
        den.shiftLeft(-shift);
    return roundBigQuotient(num, den);
}

} // namespace

DecimalDigits decimalDigits(extended value) noexcept {
    DecimalDigits d;
    const std::uint64_t mantissa = value.significand();
    const bool negative = value.signBit();
    const int biased = value.biasedExponent();

    if (biased == 0x7FFF) {
        if ((mantissa << 1) == 0) {
            d.kind = DecimalDigits::Kind::Infinity;
            d.negative = negative;
        } else {
            d.kind = DecimalDigits::Kind::NaN;
        }
        return d;
    }
    if (biased == 0 || mantissa == 0)
        return d; // zero and denormals: no digits, no sign
    if ((mantissa >> 63) == 0) {
        // An unnormal: the processor refuses it as an operand, so it is shown as NaN too.
        d.kind = DecimalDigits::Kind::NaN;
        return d;
    }

    d.negative = negative;
    const int binaryExponent = biased - 16383;
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
