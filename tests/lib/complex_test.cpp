#include <gtest/gtest.h>

#include <cmath>

#include "lib/Unit_l_zespolone.h"
#include "numtext/number_text.h"

using numtext::FloatToStr;

namespace {
const numtext::FormatSettings kComma = numtext::FormatSettings::comma();
volatile double gBig = 1e200;
} // namespace

TEST(ComplexProduct, FormsEachPartInExtendedAndRoundsOnce) {
    const Zespolona p = iloczyn_zespolony(2.0, 3.0, -1.0, 5.0);
    EXPECT_EQ(p.re, -17.0);
    EXPECT_EQ(p.im, 7.0);

    const double a = 1.0 + std::ldexp(1.0, -30);
    const Zespolona q = iloczyn_zespolony(a, 1.0, a, 1.0);
    EXPECT_EQ(FloatToStr(q.re, kComma), "1,86264515009832E-9");
    EXPECT_EQ(FloatToStr(q.im, kComma), "2,00000000186265");
    // Rounding each product to double first loses the 2^-60 term.
    const double aa = a * a;
    EXPECT_EQ(FloatToStr(aa - 1.0, kComma), "1,86264514923096E-9");
}

TEST(ComplexProduct, OverflowsWhenAPartIsStored) {
    numtext::clearFpFlags();
    EXPECT_THROW(iloczyn_zespolony(gBig, 0.0, gBig, 0.0), numtext::EOverflow);
    EXPECT_NO_THROW(numtext::checkpoint());
}

TEST(StandardComplex, OperationsGiveTheTabledParts) {
    using cplx::Complex;
    const Complex i(0.0, 1.0);
    const Complex ii = i * i;
    EXPECT_EQ(ii.re, -1.0);
    EXPECT_EQ(ii.im, 0.0);

    const Complex z(1.5, -2.0);
    const Complex w(0.25, 4.0);
    EXPECT_EQ((z + w).re, 1.75);
    EXPECT_EQ((z + w).im, 2.0);
    EXPECT_EQ((z + 1.0).re, 2.5);
    EXPECT_EQ((z + 1.0).im, -2.0);
    EXPECT_EQ((1.0 + z).re, 2.5);
    EXPECT_EQ((z - 1.0).re, 0.5);
    const Complex d = 1.0 - z;
    EXPECT_EQ(d.re, -0.5);
    EXPECT_EQ(d.im, 2.0);
    EXPECT_EQ((z * 2.0).im, -4.0);
    EXPECT_EQ((2.0 * z).re, 3.0);
    EXPECT_EQ(cplx::abs(Complex(3.0, 4.0)), 5.0);
}

TEST(StandardComplex, ProductPartsAreRoundedOnce) {
    using cplx::Complex;
    const double a = 1.0 + std::ldexp(1.0, -30);
    // a*a - 1 is 2^-29 + 2^-60, exact in double; rounding a*a first would lose the 2^-60.
    const Complex q = Complex(a, 1.0) * Complex(a, 1.0);
    EXPECT_EQ(q.re, std::ldexp(1.0, -29) + std::ldexp(1.0, -60));
}

TEST(StandardComplex, PowerIsThePrincipalValue) {
    const cplx::Complex r = cplx::pow(cplx::Complex(-1.0, 0.0), 1.0 / 3.0);
    EXPECT_EQ(FloatToStr(r.re, kComma), "0,5");
    EXPECT_EQ(FloatToStr(r.im, kComma), "0,866025403784439");
    const cplx::Complex c = cplx::pow(cplx::Complex(8.0, 0.0), 1.0 / 3.0);
    EXPECT_NEAR(c.re, 2.0, 1e-15);
    EXPECT_EQ(c.im, 0.0);
    // theta = atan2(-0.0, -1) is -pi: the lower branch.
    const cplx::Complex lower = cplx::pow(cplx::Complex(-1.0, -0.0), 0.5);
    EXPECT_LT(lower.im, 0.0);
}
