#pragma once

// The mathematical functions the experiments call. pow, powl, hypot, log, exp, atan2, sin and cos
// are correctly rounded by MPFR (big_float.h), so that no C library and no CPU feature changes a
// digit; sqrt, floor, ceil, fmod and fabs are exact and come from the C library.
//
// Each wrapper detects its own errors before or after computing and reports them through the one
// math-error routine instead of leaving a floating-point flag to stand for them, so a domain error
// never becomes EInvalidOp. The routine shows "%s: %s error" (for example "sqrt: DOMAIN error"), sets
// errno to 34 for SING and OVERFLOW and to 33 otherwise, and the wrapper then returns the function's
// default result, so the handler goes on and usually shows "NAN", "INF" or "-INF".

#include <cstdlib>
#include <functional>
#include <string>

#include "fpenv.h"

namespace numtext {

enum class MathErrorKind { DOMAIN, SING, OVERFLOW, TLOSS };

const char* mathErrorKindName(MathErrorKind kind) noexcept;

// Shows the text of a math error. The program shows a message box; tests capture the text. The
// default display writes to standard error.
using MathErrorDisplay = std::function<void(const std::string& text)>;

// Installs a display and returns the previous one. An empty function restores the default.
MathErrorDisplay setMathErrorDisplay(MathErrorDisplay display);

// The routine itself: builds the text, sets errno, calls the display.
void mathError(const char* function, MathErrorKind kind);

double sqrt(double x);          // x < 0: DOMAIN, NaN
double pow(double x, double y); // x < 0 with y not whole: DOMAIN, NaN; 0 to y < 0: SING, INF; OVERFLOW, +-INF
extended powl(extended x, extended y); // as pow, in extended
double hypot(double x, double y);      // sqrt(x*x + y*y) rounded once, no overflow inside; OVERFLOW, INF
double log(double x);                  // x < 0: DOMAIN, NaN; x == 0: SING, -INF
double exp(double x);                  // OVERFLOW, INF; a tiny result is a denormal or 0, silently
double atan2(double y, double x);      // both zero: DOMAIN, and the result (+-0 or +-pi) as default
double sin(double x);                  // infinite: DOMAIN, NaN; |x| >= 2^63: TLOSS, NaN
double cos(double x);                  // as sin
double floor(double x);
double ceil(double x);
double fmod(double x, double y); // y == 0: 0; infinite x: DOMAIN, NaN
double fabs(double x);

} // namespace numtext
