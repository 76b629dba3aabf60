#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "experiments/cardano.h"
#include "fake_controls.h"
#include "numtext/fpenv.h"

using namespace experiments;

namespace {

const numtext::FormatSettings kComma = numtext::FormatSettings::comma();

// A window as the program starts: the default coefficients and item 0.
FakeControls startWindow() {
    FakeControls w;
    const char* dane[4] = {"1", "-9", "27", "-27"};
    for (int row = 0; row < 4; ++row)
        w.cells[{"Dane", {1, row}}] = dane[row];
    w.indices["przypadekD"] = 0;
    return w;
}

struct Shown {
    std::string D, p, q, re[3], im[3], check[3];
};

Shown shown(FakeControls& w) {
    Shown s{w.text("LabeledEdit14"), w.text("LabeledEdit15"), w.text("LabeledEdit16"), {}, {}, {}};
    for (int r = 0; r < 3; ++r) {
        s.re[r] = w.cell("Eq3", 1, r + 1);
        s.im[r] = w.cell("Eq3", 2, r + 1);
        s.check[r] = w.cell("Eq3", 3, r + 1);
    }
    return s;
}

double parsed(const std::string& text) { return static_cast<double>(numtext::StrToFloat(text, kComma)); }

std::string errorOf(FakeControls& w) {
    numtext::clearFpFlags();
    try {
        solveCubic(w, kComma);
    } catch (const numtext::Exception& e) {
        return e.Message();
    }
    return "";
}

} // namespace

TEST(CubicSolver, TripleRootAtStartShowsZerosAndThrees) {
    FakeControls w = startWindow();
    solveCubic(w, kComma);
    const Shown s = shown(w);
    EXPECT_EQ(s.D, "0");
    EXPECT_EQ(s.p, "0");
    EXPECT_EQ(s.q, "0");
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(s.re[r], "3");
        EXPECT_EQ(s.im[r], "0");
        EXPECT_EQ(s.check[r], "0,0000E+000");
    }
    EXPECT_EQ(w.indices["przypadekD"], 0);
}

TEST(CubicSolver, PositiveDiscriminantGivesOneRealAndTwoConjugateRoots) {
    FakeControls w = startWindow();
    w.indices["przypadekD"] = 1;
    solveCubic(w, kComma);
    EXPECT_EQ(w.cell("Dane", 1, 0), "1");
    EXPECT_EQ(w.cell("Dane", 1, 1), "4");
    EXPECT_EQ(w.cell("Dane", 1, 2), "4");
    EXPECT_EQ(w.cell("Dane", 1, 3), "3");
    const Shown s = shown(w);
    EXPECT_EQ(s.D, "1,36111111111111");
    EXPECT_EQ(s.p, "-0,444444444444444");
    EXPECT_EQ(s.q, "1,2037037037037");
    EXPECT_EQ(s.re[0], "-3");
    EXPECT_EQ(s.im[0], "0");
    EXPECT_EQ(s.re[1], "-0,5");
    EXPECT_EQ(s.im[1], "0,866025403784439");
    EXPECT_EQ(s.re[2], "-0,5");
    EXPECT_EQ(s.im[2], "-0,866025403784439");
    for (const auto& c : s.check)
        EXPECT_LT(parsed(c), 1e-14) << c;
}

TEST(CubicSolver, ZeroDiscriminantPresetShowsTheExtendedRoundingResidue) {
    FakeControls w = startWindow();
    w.indices["przypadekD"] = 2;
    solveCubic(w, kComma);
    const Shown s = shown(w);
    EXPECT_EQ(s.D, "1,99562588676372E-14");
    EXPECT_EQ(s.p, "-7,11111111111111");
    EXPECT_EQ(s.q, "18,962962962963");
    EXPECT_NEAR(parsed(s.re[0]), -1.0, 1e-7);
    EXPECT_EQ(s.im[0], "0");
    EXPECT_NEAR(parsed(s.re[1]), 7.0, 1e-6);
    EXPECT_NEAR(parsed(s.re[2]), 7.0, 1e-6);
    EXPECT_EQ(s.re[1], s.re[2]);
    const double im2 = parsed(s.im[1]);
    EXPECT_NEAR(im2, 1.147e-8, 0.001e-8);
    EXPECT_EQ(s.im[2], "-" + s.im[1]);
}

TEST(CubicSolver, NegativeDiscriminantGivesThreeRealRoots) {
    FakeControls w = startWindow();
    w.indices["przypadekD"] = 3;
    solveCubic(w, kComma);
    const Shown s = shown(w);
    EXPECT_EQ(s.D, "-8,33333333333333");
    EXPECT_EQ(s.p, "-2,11111111111111");
    EXPECT_EQ(s.q, "1,03703703703704");
    const double expected[3] = {3, -2, 1};
    for (int r = 0; r < 3; ++r) {
        EXPECT_NEAR(parsed(s.re[r]), expected[r], 1e-13) << r;
        EXPECT_EQ(s.im[r], "0") << r;
    }
}

TEST(CubicSolver, APresetOverwritesTypedCoefficients) {
    FakeControls w = startWindow();
    w.indices["przypadekD"] = 3;
    w.cells[{"Dane", {1, 0}}] = "5";
    solveCubic(w, kComma);
    EXPECT_EQ(w.cell("Dane", 1, 0), "1");
    EXPECT_EQ(w.text("LabeledEdit14"), "-8,33333333333333");
}

TEST(CubicSolver, RootsKeepTheirExactConjugateStructure) {
    // Random coefficients in both branches: x1 real, im x3 == -im x2; for D < 0 all real.
    std::uint64_t state = 7;
    auto next = [&] {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(static_cast<std::int64_t>(state >> 11) % 2001 - 1000) / 37.0;
    };
    for (int n = 0; n < 2000; ++n) {
        const double a = next(), b = next(), c = next(), d = next();
        if (a == 0)
            continue;
        CubicSolution sol;
        numtext::clearFpFlags();
        cubicParameters(a, b, c, d, sol);
        cubicRoots(a, b, sol);
        EXPECT_EQ(sol.x1.im, 0.0);
        EXPECT_EQ(sol.x3.im, -sol.x2.im);
        if (sol.D < 0) {
            EXPECT_EQ(sol.x2.im, 0.0);
        } else {
            EXPECT_EQ(sol.x2.re, sol.x3.re);
        }
    }
}

TEST(CubicSolver, FailuresLeaveEveryResultAsItWas) {
    FakeControls w = startWindow();
    w.indices["przypadekD"] = 1;
    solveCubic(w, kComma);
    const Shown before = shown(w);
    w.indices["przypadekD"] = 0;

    w.cells[{"Dane", {1, 0}}] = "0";
    EXPECT_EQ(errorOf(w), "Floating point division by zero");
    w.cells[{"Dane", {1, 1}}] = "0";
    EXPECT_EQ(errorOf(w), "Invalid floating point operation");
    w.cells[{"Dane", {1, 0}}] = "1";
    w.cells[{"Dane", {1, 2}}] = "x";
    EXPECT_EQ(errorOf(w), "'x' is not a valid floating point value");
    w.cells[{"Dane", {1, 2}}] = "1e400"; // parses in extended, overflows when stored as a double
    EXPECT_EQ(errorOf(w), "Floating point overflow");
    w.cells[{"Dane", {1, 2}}] = "1e300"; // p overflows: 3ac is fine in extended, p is not a double
    EXPECT_EQ(errorOf(w), "Floating point overflow");

    const Shown after = shown(w);
    EXPECT_EQ(after.D, before.D);
    for (int r = 0; r < 3; ++r) {
        EXPECT_EQ(after.re[r], before.re[r]);
        EXPECT_EQ(after.check[r], before.check[r]);
    }
}

TEST(CubicSolver, ConstantsAreTheNearestExtendedThirdAndTwentySeventh) {
    const numtext::extended third = numtext::extended(1.0) / numtext::extended(3.0);
    const numtext::extended t27 = numtext::extended(1.0) / numtext::extended(27.0);
    EXPECT_EQ(third.significand(), 0xAAAAAAAAAAAAAAABULL);
    EXPECT_EQ(t27.significand(), 0x97B425ED097B425FULL);
}
