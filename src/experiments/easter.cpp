#include "experiments/easter.h"

#include <algorithm>
#include <string>
#include <utility>

#include "numtext/number_text.h"

std::int32_t dataWielkanocy(std::int32_t Y) {
    const std::int32_t a = Y % 19;
    const std::int32_t b = Y / 100;
    const std::int32_t c = Y % 100;
    const std::int32_t d = b / 4;
    const std::int32_t e = b % 4;
    const std::int32_t f = (b + 8) / 25;
    const std::int32_t g = (b - f + 1) / 3;
    const std::int32_t h = (19 * a + b - d - g + 15) % 30;
    const std::int32_t i = c / 4;
    const std::int32_t k = c % 4;
    const std::int32_t l = (2 * e + 2 * i + 32 - h - k) % 7;
    const std::int32_t m = (11 * h + a + 22 * l) / 451;
    return h + l - 7 * m + 114;
}

namespace experiments {
namespace {

// A value brought into a spin edit's limits, as the field does on losing the focus; equal limits
// mean none.
std::int32_t withinLimits(std::int32_t v, std::pair<std::int32_t, std::int32_t> limits) {
    if (limits.first == limits.second)
        return v;
    return std::clamp(v, limits.first, limits.second);
}

} // namespace

void showEaster(Controls& w, const numtext::FormatSettings&) {
    const std::int32_t year = w.spinValue("CSpinEdit1");
    const std::int32_t code = dataWielkanocy(year);
    const std::int32_t month = code / 31;
    const std::int32_t day = code % 31 + 1;
    w.setColor("Wielkanoc", month < 4 ? kYellow : kLime);
    w.setText("Wielkanoc",
              "dn. " + numtext::IntToStr(day) + "-go  miesi\u0105ca " + numtext::IntToStr(month));

    w.repaint("rok1");
    std::int32_t lo = w.spinValue("rok1");
    w.repaint("rok2");
    std::int32_t hi = w.spinValue("rok2");
    // Typed years are read as they are; one far outside the fields' limits would hold the window
    // for minutes, and one at the largest year would never end the loop.
    lo = withinLimits(lo, w.spinRange("rok1"));
    hi = withinLimits(hi, w.spinRange("rok2"));
    if (lo > hi)
        std::swap(lo, hi);

    w.clearSeries("Series2");
    w.clearSeries("Series3");
    for (std::int32_t y = lo;; ++y) {
        const std::int32_t n = dataWielkanocy(y);
        const double x = y;
        if (n / 31 < 4) {
            w.addPoint("Series2", x, n % 31 + 1);
            w.addPoint("Series3", x, -1);
        } else {
            w.addPoint("Series3", x, n % 31 + 1);
            w.addPoint("Series2", x, -1);
        }
        if (y == hi)
            break;
    }
}

} // namespace experiments
