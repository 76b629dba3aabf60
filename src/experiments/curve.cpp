#include "curve.h"

#include <cstdint>

#include "numtext/fpenv.h"
#include "numtext/number_text.h"
#include "numtext/rtl_math.h"

namespace experiments {

using numtext::extended;

std::vector<CurvePoint> parametricCurve() {
    std::vector<CurvePoint> points;
    points.reserve(kCurveSteps + 1);
    const double step = numtext::toDouble(static_cast<extended>(kCurveEnd) / kCurveSteps);
    double t = 0.0;
    // The step is added, not multiplied by an index: the point count depends on the rounding of
    // each running sum.
    while (t <= kCurveEnd) {
        const double threeT = numtext::toDouble(extended(3.0) * t);
        points.push_back({numtext::cos(t), numtext::sin(threeT)});
        t = numtext::toDouble(static_cast<extended>(step) + t);
    }
    return points;
}

std::vector<std::string> loopTraceLines() {
    using numtext::IntToStr;
    std::vector<std::string> lines;
    const auto pair = [](std::int32_t i, std::int32_t j) {
        return "i = " + IntToStr(i) + "     j = " + IntToStr(j);
    };

    // Two counters running towards each other; the bound on j ends it first.
    lines.emplace_back("Petla podwojna - jednoczena");
    for (std::int32_t i = 20, j = 4; i > j && j <= 7; --i, ++j)
        lines.push_back(pair(i, j));

    lines.emplace_back("Dwie pętle pojedyncze ");
    for (std::int32_t j = 4; j <= 7; ++j) {
        lines.emplace_back(" zmiana j ...");
        for (std::int32_t i = 0; i < j; ++i)
            lines.push_back(pair(i, j));
    }

    lines.emplace_back("Pętla while: i++ .. kod ");
    std::int32_t i = 0;
    while (i < 4) {
        ++i;
        lines.push_back("i = " + IntToStr(i));
    }

    lines.emplace_back("Pętla while: kod    i++ ");
    i = 0;
    while (i < 4) {
        lines.push_back("i = " + IntToStr(i));
        ++i;
    }
    return lines;
}

void traceCurveAndLoops(Controls& w, const numtext::FormatSettings&) {
    w.clearSeries("Series1");
    for (const CurvePoint& p : parametricCurve())
        w.addPoint("Series1", p.x, p.y);
    for (const std::string& line : loopTraceLines())
        w.addLine("Memo2", line);
}

} // namespace experiments
