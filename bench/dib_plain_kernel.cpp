#include "dib_plain_kernel.h"

#include <cmath>

// The ramp and the mix written straightforwardly from their definitions, in long double with
// truncating conversions, and inlined: what a careful first version would be.

namespace {

inline double ramp(double x, double width) {
    const double d = std::fabs(static_cast<double>(static_cast<long double>(x) / width));
    const long double s = 0.16666666666666666;
    double e = 0.0;
    if (s < d && d < 2 * s)
        e = static_cast<double>(d - s);
    else if (2 * s < d && d < 4 * s)
        e = static_cast<double>(s);
    else if (4 * s < d && d < 5 * s)
        e = static_cast<double>(s - (d - 4 * s));
    return static_cast<double>(6 * static_cast<long double>(e));
}

inline std::uint8_t channel(double g, double h, int first, int second) {
    return static_cast<std::uint8_t>(
        static_cast<long long>(static_cast<long double>(g) * first + static_cast<long double>(h) * second));
}

} // namespace

void plainKernelRow(std::uint8_t* row, int width, int red, int green, int blue) {
    for (int j = 0; j < width; ++j) {
        const double x = ramp(j, width);
        const double g = !(x > 0) ? 0.0 : x >= 1 ? 1.0 : x;
        const auto h = static_cast<double>(1.0L - g);
        row[3 * j] = channel(g, h, blue, 0);
        row[3 * j + 1] = channel(g, h, green, 0);
        row[3 * j + 2] = channel(g, h, red, 0);
    }
}
