#include "rtl_math.h"

#include "big_float.h"
#include "exceptions.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>
#include <type_traits>

namespace numtext {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// Beyond this the x87's own sine and cosine give up reducing the argument; the program reports
// TLOSS there, as it always has, though MPFR could go on.
constexpr double kTwo63 = 9223372036854775808.0;

MathErrorDisplay& display() {
    static MathErrorDisplay d;
    return d;
}

using Unary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_rnd_t);
using Binary = int (*)(mpfr_ptr, mpfr_srcptr, mpfr_srcptr, mpfr_rnd_t);

// f(x, y) of MPFR, correctly rounded into `format`.
// MPFR works some steps out in hardware doubles (reading a double operand scales it, for one), so
// the flags are put back as they were.
template <class T>
T correctlyRounded(const BinaryFormat& format, Binary f, T x, T y) {
    const FlagGuard keepFlags;
    BigFloat a(format.precision), b(format.precision), r(format.precision);
    setExact(a.get(), x);
    setExact(b.get(), y);
    roundInto(format, r.get(), [&](mpfr_ptr result) { return f(result, a.get(), b.get(), MPFR_RNDN); });
    if constexpr (std::is_same_v<T, double>)
        return toDoubleExact(r.get());
    else
        return toExtendedExact(r.get());
}

double correctlyRounded(Unary f, double x) {
    const FlagGuard keepFlags;
    BigFloat a(kDoubleFormat.precision), r(kDoubleFormat.precision);
    setExact(a.get(), x);
    roundInto(kDoubleFormat, r.get(), [&](mpfr_ptr result) { return f(result, a.get(), MPFR_RNDN); });
    return toDoubleExact(r.get());
}

bool isWhole(double y) { return std::trunc(y) == y; }

bool isWhole(Extended y) {
    BigFloat v(kExtendedFormat.precision);
    setExact(v.get(), y);
    return mpfr_integer_p(v.get()) != 0;
}

bool isFinite(double x) { return std::isfinite(x); }
bool isFinite(Extended x) { return !x.isNaN() && !x.isInf(); }
bool isBelowZero(double x) { return std::isless(x, 0.0); }
bool isBelowZero(Extended x) { return x.signBit() && !x.isZero() && !x.isNaN(); }
bool isZero(double x) { return x == 0; }
bool isZero(Extended x) { return x.isZero(); }
bool isInfinite(double x) { return std::isinf(x); }
bool isInfinite(Extended x) { return x.isInf(); }

template <class T>
T quietNaN() {
    if constexpr (std::is_same_v<T, double>)
        return kNaN;
    else
        return Extended::fromFields(false, Extended::kMaxExponent,
                                    Extended::kIntegerBit | Extended::kQuietBit);
}

// pow's own errors are found before the power is formed, its overflow after.
template <class T>
T powChecked(const char* name, const BinaryFormat& format, T x, T y) {
    const bool finite = isFinite(x) && isFinite(y);
    if (finite && isBelowZero(x) && !isWhole(y)) {
        mathError(name, MathErrorKind::DOMAIN);
        return quietNaN<T>();
    }
    if (finite && isZero(x) && isBelowZero(y)) {
        mathError(name, MathErrorKind::SING);
        return T(kInf);
    }
    const T power = correctlyRounded<T>(format, mpfr_pow, x, y);
    if (finite && isInfinite(power))
        mathError(name, MathErrorKind::OVERFLOW);
    return power;
}

double trig(const char* name, Unary f, double x) {
    if (std::isinf(x)) {
        mathError(name, MathErrorKind::DOMAIN);
        return kNaN;
    }
    if (std::fabs(x) >= kTwo63) {
        mathError(name, MathErrorKind::TLOSS);
        return kNaN;
    }
    return correctlyRounded(f, x);
}

} // namespace

const char* mathErrorKindName(MathErrorKind kind) noexcept {
    switch (kind) {
    case MathErrorKind::DOMAIN:
        return "DOMAIN";
    case MathErrorKind::SING:
        return "SING";
    case MathErrorKind::OVERFLOW:
        return "OVERFLOW";
    case MathErrorKind::TLOSS:
        return "TLOSS";
    }
    return "DOMAIN";
}

MathErrorDisplay setMathErrorDisplay(MathErrorDisplay d) {
    MathErrorDisplay previous = std::move(display());
    display() = std::move(d);
    return previous;
}

void mathError(const char* function, MathErrorKind kind) {
    const std::string text = fill(forms::kMathError, {function, mathErrorKindName(kind)});
    const bool range = kind == MathErrorKind::SING || kind == MathErrorKind::OVERFLOW;
    errno = range ? 34 : 33;
    if (display())
        display()(text);
    else
        std::fprintf(stderr, "%s\n", text.c_str());
}

double sqrt(double x) {
    if (std::isless(x, 0.0)) {
        mathError("sqrt", MathErrorKind::DOMAIN);
        return kNaN;
    }
    return std::sqrt(x);
}

double pow(double x, double y) { return powChecked<double>("pow", kDoubleFormat, x, y); }

extended powl(extended x, extended y) { return powChecked<extended>("powl", kExtendedFormat, x, y); }

double hypot(double x, double y) {
    const double r = correctlyRounded<double>(kDoubleFormat, mpfr_hypot, x, y);
    if (std::isinf(r) && std::isfinite(x) && std::isfinite(y))
        mathError("hypot", MathErrorKind::OVERFLOW);
    return r;
}

double log(double x) {
    if (std::isless(x, 0.0)) {
        mathError("log", MathErrorKind::DOMAIN);
        return kNaN;
    }
    if (x == 0) {
        mathError("log", MathErrorKind::SING);
        return -kInf;
    }
    return correctlyRounded(mpfr_log, x);
}

double exp(double x) {
    const double r = correctlyRounded(mpfr_exp, x);
    if (std::isinf(r) && std::isfinite(x))
        mathError("exp", MathErrorKind::OVERFLOW);
    return r;
}

double atan2(double y, double x) {
    if (y == 0 && x == 0)
        mathError("atan2", MathErrorKind::DOMAIN);
    return correctlyRounded<double>(kDoubleFormat, mpfr_atan2, y, x);
}

double sin(double x) { return trig("sin", mpfr_sin, x); }
double cos(double x) { return trig("cos", mpfr_cos, x); }

double floor(double x) { return std::floor(x); }
double ceil(double x) { return std::ceil(x); }

double fmod(double x, double y) {
    if (y == 0)
        return 0.0;
    if (std::isinf(x)) {
        mathError("fmod", MathErrorKind::DOMAIN);
        return kNaN;
    }
    const FlagGuard keepFlags;
    return std::fmod(x, y);
}

double fabs(double x) { return std::fabs(x); }

} // namespace numtext
