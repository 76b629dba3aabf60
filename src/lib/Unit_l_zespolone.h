#pragma once

// The program's complex numbers: the record of the product tab, and the arithmetic of the cubic
// solver on the same record.
//
// Precision rule: every part of every result is formed from the double operands in extended
// precision and rounded to double once, when it is stored. So (a+bi)(c+di) has the real part
// a*c - b*d as two extended products and one extended difference, then one rounding. A part beyond
// the double range raises EOverflow at that store.

#include "numtext/fpenv.h"

// A plain record, copied and returned by value. A real number is a complex one, as with
// std::complex.
struct Zespolona {
    double re = 0.0;
    double im = 0.0;
    constexpr Zespolona() = default;
    // cppcheck-suppress noExplicitConstructor
    constexpr Zespolona(double r, double i = 0.0) : re(r), im(i) {}
};

// (a + b i)(c + d i), the one complex product. iloczyn_zespolony(2, 3, -1, 5) == {-17, 7}.
Zespolona iloczyn_zespolony(double a, double b, double c, double d);

// Exactly the operations the cubic solver needs, beside the record so that they are found for it.
Zespolona operator+(Zespolona z, Zespolona w);
Zespolona operator+(Zespolona z, double x);
Zespolona operator+(double x, Zespolona z);
Zespolona operator-(Zespolona z, double x);
Zespolona operator-(double x, Zespolona z);    // (x - z.re, -z.im)
Zespolona operator*(Zespolona z, Zespolona w); // iloczyn_zespolony of the parts
Zespolona operator*(Zespolona z, double x);
Zespolona operator*(double x, Zespolona z);

namespace cplx {

// The name the cubic solver knows the record by.
using Complex = Zespolona;

// hypot(z.re, z.im) rounded once: abs({3, 4}) == 5.
double abs(Complex z);

// The principal power: r = hypot, L = ln r, theta = atan2(im, re) in (-pi, pi], m = exp(y L),
// t = y theta, each rounded to double; then (m cos t, m sin t), each product rounded once.
// pow({-1, 0}, 1.0/3) is about {0.5, 0.866025403784439}.
Complex pow(Complex z, double y);

} // namespace cplx
