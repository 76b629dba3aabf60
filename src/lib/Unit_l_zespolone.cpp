#include "lib/Unit_l_zespolone.h"

#include "numtext/rtl_math.h"

using numtext::extended;
using numtext::toDouble;

Zespolona iloczyn_zespolony(double a, double b, double c, double d) {
    Zespolona z;
    z.re = toDouble(static_cast<extended>(a) * c - static_cast<extended>(b) * d);
    z.im = toDouble(static_cast<extended>(a) * d + static_cast<extended>(b) * c);
    return z;
}

namespace cplx {

namespace {
extended ext(double x) { return static_cast<extended>(x); }
} // namespace

Complex operator+(Complex z, Complex w) { return {toDouble(ext(z.re) + w.re), toDouble(ext(z.im) + w.im)}; }

Complex operator+(Complex z, double x) { return {toDouble(ext(z.re) + x), z.im}; }

Complex operator+(double x, Complex z) { return {toDouble(ext(x) + z.re), z.im}; }

Complex operator-(Complex z, double x) { return {toDouble(ext(z.re) - x), z.im}; }

Complex operator-(double x, Complex z) { return {toDouble(ext(x) - z.re), -z.im}; }

Complex operator*(Complex z, Complex w) {
    return {toDouble(ext(z.re) * w.re - ext(z.im) * w.im), toDouble(ext(z.re) * w.im + ext(z.im) * w.re)};
}

Complex operator*(Complex z, double x) { return {toDouble(ext(z.re) * x), toDouble(ext(z.im) * x)}; }

Complex operator*(double x, Complex z) { return {toDouble(ext(x) * z.re), toDouble(ext(x) * z.im)}; }

double abs(Complex z) { return numtext::hypot(z.re, z.im); }

Complex pow(Complex z, double y) {
    const double r = numtext::hypot(z.re, z.im);
    const double logR = numtext::log(r);
    const double theta = numtext::atan2(z.im, z.re);
    const double m = numtext::exp(toDouble(ext(y) * logR));
    const double t = toDouble(ext(y) * theta);
    return {toDouble(ext(m) * numtext::cos(t)), toDouble(ext(m) * numtext::sin(t))};
}

} // namespace cplx
