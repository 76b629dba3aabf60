#include "lib/Unit_l_zespolone.h"

#include "numtext/rtl_math.h"

using numtext::extended;
using numtext::toDouble;

namespace {
extended ext(double x) { return static_cast<extended>(x); }
} // namespace

Zespolona iloczyn_zespolony(double a, double b, double c, double d) {
    return {toDouble(ext(a) * c - ext(b) * d), toDouble(ext(a) * d + ext(b) * c)};
}

Zespolona operator+(Zespolona z, Zespolona w) {
    return {toDouble(ext(z.re) + w.re), toDouble(ext(z.im) + w.im)};
}

Zespolona operator+(Zespolona z, double x) { return {toDouble(ext(z.re) + x), z.im}; }

Zespolona operator+(double x, Zespolona z) { return {toDouble(ext(x) + z.re), z.im}; }

Zespolona operator-(Zespolona z, double x) { return {toDouble(ext(z.re) - x), z.im}; }

Zespolona operator-(double x, Zespolona z) { return {toDouble(ext(x) - z.re), -z.im}; }

Zespolona operator*(Zespolona z, Zespolona w) { return iloczyn_zespolony(z.re, z.im, w.re, w.im); }

Zespolona operator*(Zespolona z, double x) { return {toDouble(ext(z.re) * x), toDouble(ext(z.im) * x)}; }

Zespolona operator*(double x, Zespolona z) { return {toDouble(ext(x) * z.re), toDouble(ext(x) * z.im)}; }

namespace cplx {

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
