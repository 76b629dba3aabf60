#pragma once

// The number texts every experiment reads and writes. Each function takes the locale as a value.
//
// Parsing accepts any byte string (empty, very long, with NUL bytes or multibyte UTF-8) and either
// returns a value or throws EConvertError whose message quotes the whole text.

#include <cstdint>
#include <string>
#include <string_view>

#include "format_settings.h"
#include "fpenv.h"

namespace numtext {

// The locale float parser. Grammar: spaces; an optional "+" or "-"; digits; optionally the decimal
// separator and digits; then, provided something followed the sign, optionally "E" or "e", an
// optional sign and at least one digit; spaces; nothing else. Only ' ' is a blank. The mantissa's
// digit runs may be empty: "," and "-," give 0, "5," gives 5; "", "-", "e5", "1e", "1e+" fail.
// Exponent digits are read only while the exponent read so far is below 500, so "1e+4900" parses
// and "1e+5000" fails. The result is the text's value correctly rounded to extended; one beyond the
// extended range fails.
// StrToFloat("2,0", comma) == 2; StrToFloat("2.0", comma) throws "'2.0' is not a valid floating point value".
extended StrToFloat(std::string_view text, const FormatSettings& fs);

// The integer parser: spaces; then either one optional sign and decimal digits, or (with no sign)
// a "$", "x", "X", "0x" or "0X" prefix and hexadecimal digits; nothing after the digits. The value
// must fit a signed 32-bit integer. Failure: "'%s' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);

// As StrToInt, returning `fallback` instead of throwing.
std::int32_t StrToIntDef(std::string_view text, std::int32_t fallback) noexcept;

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber };

// The general float text: 15 significant digits, fixed notation while the decimal exponent E
// (value = 0.d1d2... x 10^E) lies in -3..15, scientific otherwise. Negative zero is "0"; the special
// values are "INF", "-INF" and "NAN".
// 1/3 -> "0,333333333333333", 1e15 -> "1E15", 1e-5 -> "1E-5", 0.0001 -> "0,0001".
std::string FloatToStr(extended value, const FormatSettings& fs);

// Explicit formats. General: as FloatToStr with `precision` (clamped to 2..18) significant digits
// and an exponent of at least `digits` digits. Exponent: d,ddddE+xxx with precision-1 decimals and
// at least `digits` exponent digits (4 or more count as none). Fixed and number: exactly `digits`
// decimals (at most 18), the number format grouping the integer digits by threes with the thousands
// separator; a value with more than `precision` integer digits is written in the general format.
// FloatToStrF(2.8421709430404E-14, ffExponent, 5, 3, comma) == "2,8422E-014".
std::string FloatToStrF(extended value, TFloatFormat format, int precision, int digits,
                        const FormatSettings& fs);

// A currency value: a signed 64-bit count of ten-thousandths.
struct Currency {
    std::int64_t units = 0;
    static Currency fromInt(std::int64_t whole) { return Currency{whole * 10000}; }
};

// The currency text: at most four decimals, trailing zeros removed, no grouping. 17 -> "17",
// 1.5 -> "1,5", -0.0001 -> "-0,0001".
std::string CurrToStr(Currency value, const FormatSettings& fs);

// Decimal integer texts: a "-" for negatives only, no grouping, no leading zeros.
std::string IntToStr(std::int32_t value);
std::string IntToStr(std::int64_t value);

// The truth text: "-1"/"0", or "True"/"False" with words.
std::string BoolToStr(bool value, bool useWords = false);

} // namespace numtext
