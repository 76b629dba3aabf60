#pragma once

// The decimal digits of an extended value, the step shared by every float-to-text form.

#include <cstdint>

#include "fpenv.h"

namespace numtext {

struct DecimalDigits {
    enum class Kind { Finite, Infinity, NaN };
    Kind kind = Kind::Finite;
    bool negative = false;
    // value = 0.d1 d2 ... d18 x 10^exponent. Zero and denormals have no digits and exponent 0.
    int exponent = 0;
    int count = 0;
    char digits[19] = {};
};

// The 18 significant digits of |value|: the decimal exponent E is estimated from the binary exponent
// (times 0x4D10, shifted right by 16, plus 1), |value| x 10^(18-E) is rounded to an integer, ties to
// even; an integer that reaches 10^18 is divided by ten (E + 1), and one below 10^17 (the estimate
// was one too large) is formed again with E - 1. Exact for every extended value.
DecimalDigits decimalDigits(extended value) noexcept;

// Keeps `decimals` digits after the decimal point but no more than `precision` digits in all,
// rounding half up on the next digit (carries may give the single digit 1 and E + 1), then drops
// trailing zeros. A negative count makes the value zero.
void roundDigits(DecimalDigits& d, int precision, int decimals) noexcept;

} // namespace numtext
