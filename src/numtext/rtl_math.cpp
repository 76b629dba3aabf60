#include "rtl_math.h"

#include "exceptions.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <limits>

namespace numtext {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
// Beyond this the processor's own sine and cosine cannot reduce the argument.
constexpr double kTwo63 = 9223372036854775808.0;

MathErrorDisplay& display() {
    static MathErrorDisplay d;
    return d;
}

bool isWhole(long double y) { return std::trunc(y) == y; }

template <class T>
T powChecked(const char* name, T x, T y) {
    if (std::isfinite(x) && std::isfinite(y)) {
        if (std::isless(x, T{0}) && !isWhole(y)) {
            mathError(name, MathErrorKind::DOMAIN);
            return std::numeric_limits<T>::quiet_NaN();
        }
        if (x == 0 && std::isless(y, T{0})) {
            mathError(name, MathErrorKind::SING);
            return std::numeric_limits<T>::infinity();
        }
    }
    T r;
    {
        const FlagGuard keepFlags;
        r = std::pow(x, y);
    }
    if (std::isinf(r) && std::isfinite(x) && std::isfinite(y))
        mathError(name, MathErrorKind::OVERFLOW);
    return r;
}

double trig(const char* name, double (*f)(double), double x) {
    if (std::isinf(x)) {
        mathError(name, MathErrorKind::DOMAIN);
        return kNaN;
    }
    if (std::fabs(x) >= kTwo63) {
        mathError(name, MathErrorKind::TLOSS);
        return kNaN;
    }
    const FlagGuard keepFlags;
    return f(x);
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
    case MathErrorKind::UNDERFLOW:
        return "UNDERFLOW";
    case MathErrorKind::TLOSS:
        return "TLOSS";
    case MathErrorKind::PLOSS:
        return "PLOSS";
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
    const bool range =
        kind == MathErrorKind::SING || kind == MathErrorKind::OVERFLOW || kind == MathErrorKind::UNDERFLOW;
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

double pow(double x, double y) { return powChecked<double>("pow", x, y); }

extended powl(extended x, extended y) { return powChecked<extended>("powl", x, y); }

double hypot(double x, double y) {
    if (std::isinf(x) || std::isinf(y))
        return kInf;
    const extended s = std::sqrt(static_cast<extended>(x) * x + static_cast<extended>(y) * y);
    if (std::isnan(s))
        return kNaN;
    if (std::isgreater(s, static_cast<extended>(std::numeric_limits<double>::max()))) {
        mathError("hypot", MathErrorKind::OVERFLOW);
        return kInf;
    }
    return toDouble(s);
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
    return std::log(x);
}

double exp(double x) {
    double r;
    {
        const FlagGuard keepFlags;
        r = std::exp(x);
    }
    if (std::isinf(r) && std::isfinite(x))
        mathError("exp", MathErrorKind::OVERFLOW);
    return r;
}

double atan2(double y, double x) {
    if (y == 0 && x == 0)
        mathError("atan2", MathErrorKind::DOMAIN);
    const FlagGuard keepFlags;
    return std::atan2(y, x);
}

double sin(double x) { return trig("sin", static_cast<double (*)(double)>(std::sin), x); }
double cos(double x) { return trig("cos", static_cast<double (*)(double)>(std::cos), x); }

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
