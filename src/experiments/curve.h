#pragma once

// The curve tab: the closed parametric curve x = cos t, y = sin 3t, and the traces of four small
// loops appended to a memo.

#include <string>
#include <vector>

#include "experiments/controls.h"
#include "numtext/format_settings.h"

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

// Clears "Series1" (its points kept in ascending x), adds the curve's points in order, then appends
// the trace lines to "Memo2", which is never cleared: every press adds another 42 lines.
// Errors: none of its own.
// Example: one press gives 1001 points from (1, 0) and 42 lines from "Petla podwojna - jednoczena".
void traceCurveAndLoops(Controls& w, const numtext::FormatSettings& fs);

} // namespace experiments
