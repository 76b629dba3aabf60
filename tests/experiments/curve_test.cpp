#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "experiments/curve.h"
#include "fake_controls.h"
#include "numtext/rtl_math.h"

using namespace experiments;

namespace {

// The lines of one press, as the memo must show them.
const std::vector<std::string> kTraceLines = {
    "Petla podwojna - jednoczena",
    "i = 20     j = 4",
    "i = 19     j = 5",
    "i = 18     j = 6",
    "i = 17     j = 7",
    "Dwie pętle pojedyncze ",
    " zmiana j ...",
    "i = 0     j = 4",
    "i = 1     j = 4",
    "i = 2     j = 4",
    "i = 3     j = 4",
    " zmiana j ...",
    "i = 0     j = 5",
    "i = 1     j = 5",
    "i = 2     j = 5",
    "i = 3     j = 5",
    "i = 4     j = 5",
    " zmiana j ...",
    "i = 0     j = 6",
    "i = 1     j = 6",
    "i = 2     j = 6",
    "i = 3     j = 6",
    "i = 4     j = 6",
    "i = 5     j = 6",
    " zmiana j ...",
    "i = 0     j = 7",
    "i = 1     j = 7",
    "i = 2     j = 7",
    "i = 3     j = 7",
    "i = 4     j = 7",
    "i = 5     j = 7",
    "i = 6     j = 7",
    "Pętla while: i++ .. kod ",
    "i = 1",
    "i = 2",
    "i = 3",
    "i = 4",
    "Pętla while: kod    i++ ",
    "i = 0",
    "i = 1",
    "i = 2",
    "i = 3",
};

} // namespace

TEST(ParametricCurve, AddsAThousandAndOnePointsClosingTheCurve) {
    const std::vector<CurvePoint> points = parametricCurve();
    ASSERT_EQ(points.size(), 1001u);
    EXPECT_EQ(points[0].x, 1.0);
    EXPECT_EQ(points[0].y, 0.0);
    // The step is 2 pi / 1000 rounded to double; 3t is rounded before its sine.
    EXPECT_EQ(points[1].x, std::cos(0.006283185307179587));
    EXPECT_EQ(points[1].y, std::sin(0.01884955592153876));
    EXPECT_NEAR(points[1000].x, 1.0, 1e-12);
    EXPECT_NEAR(points[1000].y, 0.0, 1e-12);
    EXPECT_NE(points[1000].y, 0.0) << "the last t must be the thousandth sum, just below 2 pi";
    for (const CurvePoint& p : points) {
        EXPECT_LE(std::fabs(p.x), 1.0);
        EXPECT_LE(std::fabs(p.y), 1.0);
    }
}

TEST(ParametricCurve, AdvancesTByAddingTheRoundedStep) {
    // A t taken as the index times the step would round differently and end the curve elsewhere.
    const std::vector<CurvePoint> points = parametricCurve();
    const double step = 0.006283185307179587;
    double t = 0.0;
    for (std::size_t i = 0; i < points.size(); ++i, t = step + t) {
        ASSERT_EQ(points[i].x, numtext::cos(t)) << "point " << i;
        ASSERT_EQ(points[i].y, numtext::sin(3 * t)) << "point " << i;
    }
    EXPECT_GT(t, 6.283185307179586) << "the loop stopped early";
}

TEST(ParametricCurve, PointAddedFiveHundredAndFirstIsTheLeftmost) {
    const std::vector<CurvePoint> points = parametricCurve();
    ASSERT_EQ(points.size(), 1001u);
    EXPECT_EQ(points[500].x, -1.0);
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (i != 500) {
            EXPECT_GT(points[i].x, -1.0) << "point " << i;
        }
    }
}

TEST(LoopTraces, AreTheFortyTwoLinesOfOnePress) { EXPECT_EQ(loopTraceLines(), kTraceLines); }

// The series is cleared on every press, the memo never: it grows by the 42 lines each time.
TEST(CurveButton, ClearsTheSeriesButAppendsToTheMemoOnEveryPress) {
    experiments::FakeControls w;
    w.series["Series1"] = {{5, 5}};
    experiments::traceCurveAndLoops(w, numtext::FormatSettings{});
    ASSERT_EQ(w.log.size(), 1u + kTraceLines.size());
    EXPECT_EQ(w.log.front(), "clearSeries Series1");
    EXPECT_EQ(w.log.back(), "addLine Memo2=i = 3");
    const std::vector<CurvePoint> curve = parametricCurve();
    ASSERT_EQ(w.series["Series1"].size(), curve.size());
    for (std::size_t i = 0; i < curve.size(); ++i)
        ASSERT_EQ(w.series["Series1"][i], (experiments::FakeControls::Point{curve[i].x, curve[i].y})) << i;
    EXPECT_EQ(w.memos["Memo2"], kTraceLines);

    experiments::traceCurveAndLoops(w, numtext::FormatSettings{});
    EXPECT_EQ(w.series["Series1"].size(), 1001u);
    ASSERT_EQ(w.memos["Memo2"].size(), 84u);
    EXPECT_EQ(std::vector<std::string>(w.memos["Memo2"].begin() + 42, w.memos["Memo2"].end()), kTraceLines);
}
