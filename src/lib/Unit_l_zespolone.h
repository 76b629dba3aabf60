#pragma once

// The complex record of the product tab, and the complex arithmetic of the cubic solver.
//
// Precision rule: every part of every result is formed from the double operands in extended
// precision and rounded to double once, when it is stored. So (a+bi)(c+di) has the real part
// a*c - b*d as two extended products and one extended difference, then one rounding. A part beyond
// the double range raises EOverflow at that store.

#include "numtext/fpenv.h"

// A plain record, copied and returned by value.
struct Zespolona {
    double re;
    double im;
};

// (a + b i)(c + d i). iloczyn_zespolony(2, 3, -1, 5) == {-17, 7}.
Zespolona iloczyn_zespolony(double a, double b, double c, double d);

namespace cplx {

// The complex type of the cubic solver: double parts, and exactly the operations it needs.
struct Complex {
    double re = 0.0;
    double im = 0.0;
    constexpr Complex() = default;
    // cppcheck-suppress noExplicitConstructor ; a real number is a complex one, as with std::complex
    constexpr Complex(double r, double i = 0.0) : re(r), im(i) {}
};

Complex operator+(Complex z, Complex w);
Complex operator+(Complex z, double x);
Complex operator+(double x, Complex z);
Complex operator-(Complex z, double x);
Complex operator-(double x, Complex z); // (x - z.re, -z.im)
Complex operator*(Complex z, Complex w);
Complex operator*(Complex z, double x);
Complex operator*(double x, Complex z);

// hypot(z.re, z.im) rounded once: abs({3, 4}) == 5.
double abs(Complex z);

// The principal power: r = hypot, L = ln r, theta = atan2(im, re) in (-pi, pi], m = exp(y L),
// t = y theta, each rounded to double; then (m cos t, m sin t), each product rounded once.
// pow({-1, 0}, 1.0/3) is about {0.5, 0.866025403784439}.
Complex pow(Complex z, double y);

} // namespace cplx
