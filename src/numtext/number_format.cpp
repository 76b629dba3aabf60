#include <algorithm>
#include <charconv>
#include <cstdlib>

#include "decimal_digits.h"
#include "number_text.h"

namespace numtext {
namespace {

constexpr int kMaxPrecision = 18;

void appendUnsigned(std::string& out, unsigned long long v, int minDigits = 1) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, v);
    const int len = static_cast<int>(res.ptr - buf);
    if (len < minDigits)
        out.append(static_cast<std::size_t>(minDigits - len), '0');
    out.append(buf, res.ptr);
}

// "E", a "-" for a negative exponent (a "+" too when asked), and at least minDigits digits.
void appendExponent(std::string& out, int exponent, bool plusSign, int minDigits) {
    out += 'E';
    if (exponent < 0)
        out += '-';
    else if (plusSign)
        out += '+';
    appendUnsigned(out, static_cast<unsigned>(std::abs(exponent)), minDigits);
}

std::string specialText(const DecimalDigits& d) {
    if (d.kind == DecimalDigits::Kind::NaN)
        return "NAN";
    return d.negative ? "-INF" : "INF";
}

std::string generalText(DecimalDigits d, int precision, int digits, const FormatSettings& fs) {
    roundDigits(d, precision, 9999);
    std::string out;
    if (d.negative)
        out += '-';
    const int e = d.exponent;
    if (e >= -3 && e <= precision) {
        if (e > 0) {
            for (int i = 0; i < e; ++i)
                out += i < d.count ? d.digits[i] : '0';
            if (d.count > e) {
                out += fs.decimalSeparator;
                out.append(d.digits + e, d.digits + d.count);
            }
        } else {
            out += '0';
            if (d.count > 0) {
                out += fs.decimalSeparator;
                out.append(static_cast<std::size_t>(-e), '0');
                out.append(d.digits, d.digits + d.count);
            }
        }
        return out;
    }
    out += d.digits[0];
    if (d.count > 1) {
        out += fs.decimalSeparator;
        out.append(d.digits + 1, d.digits + d.count);
    }
    appendExponent(out, e - 1, false, std::max(digits, 1));
    return out;
}

std::string exponentText(DecimalDigits d, int precision, int digits, const FormatSettings& fs) {
    roundDigits(d, precision, 9999);
    std::string out;
    if (d.negative)
        out += '-';
    out += d.count > 0 ? d.digits[0] : '0';
    out += fs.decimalSeparator;
    for (int i = 1; i < precision; ++i)
        out += i < d.count ? d.digits[i] : '0';
    const int minDigits = digits >= 4 ? 1 : std::max(digits, 1);
    appendExponent(out, d.count > 0 ? d.exponent - 1 : 0, true, minDigits);
    return out;
}

std::string fixedText(DecimalDigits d, int precision, int digits, bool grouped, const FormatSettings& fs) {
    const DecimalDigits unrounded = d;
    digits = std::clamp(digits, 0, kMaxPrecision);
    roundDigits(d, precision, digits);
    if (d.exponent > precision)
        return generalText(unrounded, precision, digits, fs);
    std::string out;
    if (d.negative)
        out += '-';
    const int e = d.exponent;
    if (e <= 0) {
        out += '0';
    } else {
        for (int i = 0; i < e; ++i) {
            if (grouped && i > 0 && (e - i) % 3 == 0)
                out += fs.thousandSeparator;
            out += i < d.count ? d.digits[i] : '0';
        }
    }
    if (digits > 0) {
        out += fs.decimalSeparator;
        for (int j = 0; j < digits; ++j) {
            const int i = e + j;
            out += (i >= 0 && i < d.count) ? d.digits[i] : '0';
        }
    }
    return out;
}

} // namespace

std::string FloatToStrF(extended value, TFloatFormat format, int precision, int digits,
                        const FormatSettings& fs) {
    const DecimalDigits d = decimalDigits(value);
    if (d.kind != DecimalDigits::Kind::Finite)
        return specialText(d);
    precision = std::clamp(precision, 2, kMaxPrecision);
    switch (format) {
    case TFloatFormat::ffExponent:
        return exponentText(d, precision, digits, fs);
    case TFloatFormat::ffFixed:
        return fixedText(d, precision, digits, false, fs);
    case TFloatFormat::ffNumber:
        return fixedText(d, precision, digits, true, fs);
    case TFloatFormat::ffGeneral:
        break;
    }
    return generalText(d, precision, digits, fs);
}

std::string FloatToStr(extended value, const FormatSettings& fs) {
    return FloatToStrF(value, TFloatFormat::ffGeneral, 15, 0, fs);
}

std::string CurrToStr(Currency value, const FormatSettings& fs) {
    std::string out;
    unsigned long long units = static_cast<unsigned long long>(value.units);
    if (value.units < 0) {
        out += '-';
        units = 0 - units; // also right for INT64_MIN
    }
    appendUnsigned(out, units / 10000);
    unsigned fraction = static_cast<unsigned>(units % 10000);
    if (fraction != 0) {
        int width = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --width;
        }
        out += fs.decimalSeparator;
        appendUnsigned(out, fraction, width);
    }
    return out;
}

std::string IntToStr(std::int32_t value) { return IntToStr(static_cast<std::int64_t>(value)); }

std::string IntToStr(std::int64_t value) {
    char buf[24];
    const auto res = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, res.ptr);
}

std::string BoolToStr(bool value, bool useWords) {
    if (useWords)
        return value ? "True" : "False";
    return value ? "-1" : "0";
}

} // namespace numtext
