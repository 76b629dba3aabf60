#pragma once

// The curve tab: the closed parametric curve x = cos t, y = sin 3t, and the traces of four small
// loops appended to a memo.

#include <string>

#include "experiments/controls.h"
#include <vector>

namespace experiments {

struct CurvePoint {
    double x = 0.0;
    double y = 0.0;
};

// The end of the parameter range, 2 pi as a double, and the number of steps it is cut into.
inline constexpr double kCurveEnd = 6.283185307179586;
inline constexpr int kCurveSteps = 1000;

// The points in the order they are added: t starts at 0 and is advanced by adding the step
// kCurveEnd / kCurveSteps (rounded to double, 0.006283185307179587) to the running t, each sum
// rounded to double, while t <= kCurveEnd. That gives 1001 points: the first is (1, 0), the second
// (cos 0.006283185307179587, sin 0.01884955592153876), and the last lies within 1e-12 of (1, 0)
// because the thousandth sum stays just below 2 pi. 3t is rounded to double before its sine.
std::vector<CurvePoint> parametricCurve();

// The 42 lines one press appends, in order: a loop with two counters ("i = 20     j = 4" to
// "i = 17     j = 7"), two nested loops, and two while loops raising i before and after the body.
std::vector<std::string> loopTraceLines();

// What the curve tab does to its chart series and memo.
class CurveView {
public:
    virtual ~CurveView() = default;
    virtual void clearSeries() = 0;
    // The series keeps its points in ascending x; the point is given with an empty label and the
    // series' own colour.
    virtual void addPoint(double x, double y) = 0;
    virtual void addLine(const std::string& line) = 0;
};

// The button: clears the series, adds the curve's points in order, then appends the trace lines
// (the memo is never cleared, so every press adds another 42 lines).
void drawCurveAndTraces(CurveView& view);

// The tab's handler over the window's controls: "Series1" and "Memo2".
void Button5(Controls& w);

} // namespace experiments
