#pragma once

// The cubic equation a x^3 + b x^2 + c x + d = 0 by Cardano's formulas.

#include "experiments/controls.h"
#include "lib/Unit_l_zespolone.h"
#include "numtext/format_settings.h"

namespace experiments {

struct CubicSolution {
    double p = 0, q = 0, D = 0;
    cplx::Complex x1, x2, x3;
};

// The coefficient texts the presets of "przypadekD" write into column 1 of "Dane": item 1 "D > 0",
// item 2 "D = 0", item 3 "D < 0". Item 0 uses what the grid holds.
extern const char* const kCubicPresets[4][4];

// The reduced equation's p and q and the discriminant D = q^2 + p^3, each intermediate formed in
// extended precision and rounded to double where it is stored. Throws EZeroDivide or EInvalidOp for
// a == 0 and EOverflow at the store that leaves the double range.
void cubicParameters(double a, double b, double c, double d, CubicSolution& out);

// The three roots from p, q and D: real cube roots (powl) unless D < 0, complex principal cube roots
// otherwise, combined with the cube roots of unity. x1 is real; x3 is the exact conjugate of x2.
void cubicRoots(double a, double b, CubicSolution& out);

// |a x^3 + b x^2 + c x + d| at x, formed with the complex operations.
double cubicResidual(double a, double b, double c, double d, cplx::Complex x);

// The tab's handler: the preset of "przypadekD" into "Dane", the coefficients read, D, p and q, the
// roots into "Eq3", then each root's check, each written as soon as it is known.
// Errors: EConvertError (a coefficient), EZeroDivide or EInvalidOp (a = 0), EOverflow (a store).
// Examples: 1, -9, 27, -27 -> D "0", every root "3", every check "0,0000E+000";
// the "D = 0" preset -> D "1,99562588676372E-14".
void solveCubic(Controls& w, const numtext::FormatSettings& fs);

} // namespace experiments
