#include "experiments/cardano.h"

#include "numtext/number_text.h"
#include "numtext/rtl_math.h"

namespace experiments {

using cplx::Complex;
using numtext::extended;
using numtext::toDouble;

namespace {

// The nearest extended values to one third and one twenty-seventh; the cube roots use the double
// nearest one third, which is not an exact third either.
const extended kThird = extended(1.0) / extended(3.0);
const extended kTwentySeventh = extended(1.0) / extended(27.0);
constexpr double kCubeRootExponent = 1.0 / 3.0;

extended ext(double x) { return static_cast<extended>(x); }

// The real cube root as the formula takes it: powl of the extended w when it is not negative,
// otherwise minus powl of |w| after w has been stored as a double.
double realCubeRoot(extended w) {
    if (!(w < 0))
        return toDouble(numtext::powl(w, kCubeRootExponent));
    const double stored = toDouble(w);
    return toDouble(-numtext::powl(numtext::fabs(stored), kCubeRootExponent));
}

} // namespace

const char* const kCubicPresets[4][4] = {
    {nullptr, nullptr, nullptr, nullptr},
    {"1", "4", "4", "3"},
    {"1", "-13", "35", "49"},
    {"1", "-2", "-5", "+6"},
};

void cubicParameters(double a, double b, double c, double d, CubicSolution& out) {
    out.p = toDouble((extended(3.0) * a * c - ext(b) * b) / (extended(3.0) * a * a) * kThird);
    const extended first = extended(2.0) * b * b * b * kTwentySeventh / a / a / a;
    const extended second = ext(b) * c * kThird / a / a;
    out.q = toDouble((first - second + ext(d) / a) * extended(0.5));
    out.D = toDouble(ext(out.q) * out.q + ext(out.p) * out.p * out.p);
}

void cubicRoots(double a, double b, CubicSolution& out) {
    const double q = out.q;
    const double D = out.D;
    Complex u(0.0, 0.0);
    Complex v(0.0, 0.0);
    const Complex i(0.0, 1.0);
    const double s = numtext::pow(numtext::fabs(D), 0.5);
    if (!(D < 0)) { // a zero, negative or not, takes the real branch
        u = realCubeRoot(-ext(q) + s);
        v = realCubeRoot(-ext(q) - s);
    } else {
        const Complex is = i * s;
        u = cplx::pow(-q + is, kCubeRootExponent);
        v = cplx::pow(-q - is, kCubeRootExponent);
    }
    const double root3 = numtext::sqrt(3.0);
    const Complex e1 = 0.5 * (-1.0 + i * root3);
    const Complex e2 = 0.5 * (-1.0 - i * root3);
    const double h = toDouble(ext(b) / a * kThird);
    out.x1 = (u + v) - h;
    out.x2 = (u * e1 + v * e2) - h;
    out.x3 = (u * e2 + v * e1) - h;
}

double cubicResidual(double a, double b, double c, double d, Complex x) {
    const Complex linear = c * x;
    const Complex quadratic = (b * x) * x;
    const Complex cubic = ((a * x) * x) * x;
    return cplx::abs(((cubic + quadratic) + linear) + d);
}

void solveCubic(Controls& w, const numtext::FormatSettings& fs) {
    const int preset = w.itemIndex("przypadekD");
    if (preset >= 1 && preset <= 3)
        for (int row = 0; row < 4; ++row)
            w.setCell("Dane", 1, row, kCubicPresets[preset][row]);

    double k[4];
    for (int row = 0; row < 4; ++row)
        k[row] = toDouble(numtext::StrToFloat(w.cell("Dane", 1, row), fs));
    const double a = k[0], b = k[1], c = k[2], d = k[3];

    CubicSolution sol;
    cubicParameters(a, b, c, d, sol);
    w.setText("LabeledEdit14", numtext::FloatToStr(sol.D, fs));
    w.setText("LabeledEdit15", numtext::FloatToStr(sol.p, fs));
    w.setText("LabeledEdit16", numtext::FloatToStr(sol.q, fs));

    cubicRoots(a, b, sol);
    const Complex roots[3] = {sol.x1, sol.x2, sol.x3};
    for (int r = 0; r < 3; ++r)
        w.setCell("Eq3", 1, r + 1, numtext::FloatToStr(roots[r].re, fs));
    for (int r = 0; r < 3; ++r)
        w.setCell("Eq3", 2, r + 1, numtext::FloatToStr(roots[r].im, fs));

    double residual[3];
    for (int r = 0; r < 3; ++r)
        residual[r] = cubicResidual(a, b, c, d, roots[r]);
    for (int r = 0; r < 3; ++r)
        w.setCell("Eq3", 3, r + 1,
                  numtext::FloatToStrF(residual[r], numtext::TFloatFormat::ffExponent, 5, 3, fs));
}

} // namespace experiments
