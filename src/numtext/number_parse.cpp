#include <array>
#include <cstdint>
#include <string>

#include "big_float.h"
#include "number_text.h"

namespace numtext {
namespace {

[[noreturn]] void invalidFloat(std::string_view text) {
    throw EConvertError(fill(forms::kNotAFloat, {text}));
}

[[noreturn]] void invalidInteger(std::string_view text) {
    throw EConvertError(fill(forms::kNotAnInteger, {text}));
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Powers of ten that the extended type holds exactly: 10^27 = 2^27 * 5^27 and 5^27 < 2^64.
constexpr int kExactPowers = 27;

const extended& exactPowerOfTen(int k) {
    static const auto powers = [] {
        std::array<extended, kExactPowers + 1> p{};
        p[0] = extended(1);
        for (std::size_t i = 1; i < p.size(); ++i)
            p[i] = p[i - 1] * extended(10); // exact: no flag
        return p;
    }();
    return powers[static_cast<std::size_t>(k)];
}

// The digits of a float text: the integer run [intBegin, intEnd) and the fraction run
// [fracBegin, fracEnd) of the text, times 10^exponent.
struct DecimalText {
    std::string_view text;
    std::size_t intBegin = 0, intEnd = 0, fracBegin = 0, fracEnd = 0;
    long long exponent = 0;
};

// The value correctly rounded to extended.
extended parsedValue(const DecimalText& t) {
    // Up to 19 significant digits fit an unsigned 64-bit integer, exact in extended, and with a
    // power of ten that is exact too, one multiplication or division rounds once.
    unsigned long long m = 0;
    int significant = 0;
    long long scale = t.exponent - static_cast<long long>(t.fracEnd - t.fracBegin);
    bool exact = true;
    auto take = [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end && exact; ++i) {
            const unsigned d = static_cast<unsigned>(t.text[i] - '0');
            if (significant == 0 && d == 0)
                continue;
            if (significant == 19)
                exact = false;
            else {
                m = m * 10 + d;
                ++significant;
            }
        }
    };
    take(t.intBegin, t.intEnd);
    take(t.fracBegin, t.fracEnd);
    if (exact) {
        if (m == 0)
            return extended();
        if (scale >= -kExactPowers && scale <= kExactPowers) {
            const extended x = extended::fromMagnitude(false, m);
            return scale >= 0 ? x * exactPowerOfTen(static_cast<int>(scale))
                              : x / exactPowerOfTen(static_cast<int>(-scale));
        }
        return numtext::decimalToExtended(m, scale);
    }
    // Anything else is rounded by MPFR, with the significant digits only (no leading or trailing
    // zeros), so the exponent stays within the text's length.
    std::string digits;
    digits.append(t.text.substr(t.intBegin, t.intEnd - t.intBegin));
    digits.append(t.text.substr(t.fracBegin, t.fracEnd - t.fracBegin));
    const std::size_t first = digits.find_first_not_of('0');
    if (first == std::string::npos)
        return extended();
    const std::size_t last = digits.find_last_not_of('0');
    scale += static_cast<long long>(digits.size() - 1 - last);
    digits.resize(last + 1);
    digits.erase(0, first);
    return numtext::decimalToExtended(digits, scale);
}

} // namespace

extended StrToFloat(std::string_view text, const FormatSettings& fs) {
    const std::string_view sep =
        fs.decimalSeparator.empty() ? std::string_view(".") : std::string_view(fs.decimalSeparator);
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t afterSign = i;

    DecimalText dt{text};
    dt.intBegin = i;
    while (i < n && isDigit(text[i]))
        ++i;
    dt.intEnd = i;
    dt.fracBegin = dt.fracEnd = i;
    if (text.substr(i, sep.size()) == sep) {
        i += sep.size();
        dt.fracBegin = i;
        while (i < n && isDigit(text[i]))
            ++i;
        dt.fracEnd = i;
    }
    if (i == afterSign)
        invalidFloat(text);

    if (i < n && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            ++i;
        }
        // An exponent needs a digit: a half-typed "1e" is not a number yet.
        if (i == n || !isDigit(text[i]))
            invalidFloat(text);
        // Digits are read only while the exponent so far is below 500, so it stays below 5000.
        int exponent = 0;
        while (i < n && isDigit(text[i]) && exponent < 500) {
            exponent = exponent * 10 + (text[i] - '0');
            ++i;
        }
        dt.exponent = negativeExponent ? -exponent : exponent;
    }
    while (i < n && text[i] == ' ')
        ++i;
    if (i != n)
        invalidFloat(text);

    extended value;
    {
        const FlagGuard keepFlags; // an overflow here is a conversion error, not EOverflow later
        value = parsedValue(dt);
    }
    if (value.isInf() || value.isNaN())
        invalidFloat(text);
    return negative ? -value : value;
}

namespace {

// Parses the integer grammar; false when the text does not form a signed 32-bit integer.
bool parseInt(std::string_view text, std::int32_t& result) noexcept {
    const std::size_t n = text.size();
    std::size_t i = 0;
    while (i < n && text[i] == ' ')
        ++i;
    bool negative = false;
    bool signSeen = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        signSeen = true;
        ++i;
    }
    bool hex = false;
    if (!signSeen && i < n) {
        if (text[i] == '$' || text[i] == 'x' || text[i] == 'X') {
            hex = true;
            ++i;
        } else if (text[i] == '0' && i + 1 < n && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
            hex = true;
            i += 2;
        }
    }
    const unsigned base = hex ? 16 : 10;
    constexpr std::uint64_t kCap = std::uint64_t{1} << 32; // anything beyond is out of range anyway
    std::uint64_t value = 0;
    const std::size_t firstDigit = i;
    for (; i < n; ++i) {
        const char c = text[i];
        unsigned d;
        if (c >= '0' && c <= '9')
            d = static_cast<unsigned>(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            break;
        value = value * base + d;
        if (value > kCap)
            value = kCap;
    }
    if (i == firstDigit || i != n)
        return false;
    const std::uint64_t limit = negative ? std::uint64_t{1} << 31 : (std::uint64_t{1} << 31) - 1;
    if (value > limit)
        return false;
    result = negative ? static_cast<std::int32_t>(-static_cast<std::int64_t>(value))
                      : static_cast<std::int32_t>(value);
    return true;
}

} // namespace

std::int32_t StrToInt(std::string_view text) {
    std::int32_t v = 0;
    if (!parseInt(text, v))
        invalidInteger(text);
    return v;
}

std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback) noexcept {
    std::int32_t v = 0;
    return parseInt(text, v) ? v : fallback;
}

} // namespace numtext
