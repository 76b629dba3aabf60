#pragma once

// A model of the float text, written from the grammar stated with StrToFloat and nothing else, to
// judge the parser against. It is meant to be obviously right rather than fast: it keeps every
// digit and decides the range with exact decimal arithmetic.

#include <cerrno>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <locale.h>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"

namespace fuzzing {

// What a text denotes when the grammar accepts it: (-1)^negative x digits x 10^scale, with the
// digits free of leading and trailing zeros (empty for zero).
struct FloatTextModel {
    bool accepted = false;
    bool negative = false;
    std::string digits;
    long long scale = 0;
};

class Cursor {
public:
    explicit Cursor(std::string_view text) : m_rest(text) {}

    bool take(std::string_view token) {
        if (token.empty() || !m_rest.starts_with(token))
            return false;
        m_rest.remove_prefix(token.size());
        return true;
    }
    bool takeDigit(int& digit) {
        if (m_rest.empty() || m_rest[0] < '0' || m_rest[0] > '9')
            return false;
        digit = m_rest[0] - '0';
        m_rest.remove_prefix(1);
        return true;
    }
    std::string takeDigits() {
        std::string run;
        for (int d; takeDigit(d);)
            run += static_cast<char>('0' + d);
        return run;
    }
    void skipSpaces() {
        while (take(" ")) {
        }
    }
    std::size_t left() const { return m_rest.size(); }

private:
    std::string_view m_rest;
};

inline FloatTextModel readFloatText(std::string_view text, std::string_view separator) {
    FloatTextModel m;
    Cursor c(text);
    c.skipSpaces();
    if (c.take("-"))
        m.negative = true;
    else
        c.take("+");

    const std::size_t leftAfterSign = c.left();
    const std::string whole = c.takeDigits();
    std::string fraction;
    if (c.take(separator))
        fraction = c.takeDigits();
    if (c.left() == leftAfterSign)
        return m; // nothing after the sign

    long long exponent = 0;
    if (c.take("e") || c.take("E")) {
        bool negativeExponent = false;
        if (c.take("-"))
            negativeExponent = true;
        else
            c.take("+");
        // At least one digit; a further one is read only while the exponent so far is below 500.
        const std::size_t leftBeforeDigits = c.left();
        for (int d; exponent < 500 && c.takeDigit(d);)
            exponent = exponent * 10 + d;
        if (c.left() == leftBeforeDigits)
            return m;
        if (negativeExponent)
            exponent = -exponent;
    }
    c.skipSpaces();
    if (c.left() != 0)
        return m;

    m.accepted = true;
    std::string all = whole + fraction;
    const std::size_t first = all.find_first_not_of('0');
    if (first == std::string::npos)
        return m; // zero: no digits
    const std::size_t last = all.find_last_not_of('0');
    m.digits = all.substr(first, last + 1 - first);
    m.scale =
        exponent - static_cast<long long>(fraction.size()) + static_cast<long long>(all.size() - 1 - last);
    return m;
}

// 2^16384 - 2^16319 in decimal: half a unit in the last place above the largest extended value.
// Under rounding to nearest (ties to even) a magnitude from here on rounds to infinity.
inline const std::string& extendedOverflowThreshold() {
    static const std::string threshold = [] {
        constexpr std::uint64_t kBase = 1'000'000'000;
        // 2^65 - 1 = 36893488147419103231 in base 10^9, least significant limb first.
        std::vector<std::uint64_t> limbs{419103231, 893488147, 36};
        const auto timesPowerOfTwo = [&](int bits) {
            std::uint64_t carry = 0;
            for (auto& limb : limbs) {
                const std::uint64_t t = (limb << bits) + carry; // limb < 10^9, bits <= 30: fits
                limb = t % kBase;
                carry = t / kBase;
            }
            for (; carry; carry /= kBase)
                limbs.push_back(carry % kBase);
        };
        for (int bits = 16319; bits > 0; bits -= 30)
            timesPowerOfTwo(bits < 30 ? bits : 30);
        std::string text = std::to_string(limbs.back());
        for (auto it = limbs.rbegin() + 1; it != limbs.rend(); ++it) {
            const std::string part = std::to_string(*it);
            text += std::string(9 - part.size(), '0') + part;
        }
        // The largest extended value is 1.18973149535723176502e4932: the threshold lies just above.
        if (text.size() != 4933 || !text.starts_with("118973149535723176"))
            fail("the overflow threshold of the model", text);
        return text;
    }();
    return threshold;
}

// True when the model's magnitude rounds beyond the extended range.
inline bool overflowsExtended(const FloatTextModel& m) {
    if (m.digits.empty())
        return false;
    const std::string& t = extendedOverflowThreshold();
    const long long integerDigits = static_cast<long long>(m.digits.size()) + m.scale;
    const auto thresholdDigits = static_cast<long long>(t.size());
    if (integerDigits != thresholdDigits)
        return integerDigits > thresholdDigits;
    // Same number of integer digits: compare digit by digit, the model padded with zeros.
    for (std::size_t i = 0; i < t.size(); ++i) {
        const char d = i < m.digits.size() ? m.digits[i] : '0';
        if (d != t[i])
            return d > t[i];
    }
    return true; // equal to the threshold, or above it by digits beyond its length
}

// The model's value correctly rounded to extended, from the C library's conversion of a plain
// "digitsEscale" text (glibc's strtold rounds correctly). Only for values that do not overflow.
inline long double roundedValue(const FloatTextModel& m) {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    if (m.digits.empty())
        return m.negative ? -0.0L : 0.0L;
    const std::string text = m.digits + "e" + std::to_string(m.scale);
    const int savedErrno = errno;
    const long double magnitude = strtold_l(text.c_str(), nullptr, cLocale);
    errno = savedErrno;
    return m.negative ? -magnitude : magnitude;
}

} // namespace fuzzing
