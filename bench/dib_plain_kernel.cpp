#include "dib_plain_kernel.h"

#include <cmath>

namespace {

// A channel product truncated toward zero, for products in [0, 2^31). Converted to int through
// double, since a direct conversion of a long double rewrites the x87 control word twice per value,
// which some processors (and virtual machines) make fifty times slower than the arithmetic. Rounding
// to double can carry the value up to the next whole number, never further, and the comparison
// undoes exactly that.
template <class Real>
inline int truncated(Real product) {
    int whole = static_cast<int>(static_cast<double>(product));
    if (static_cast<Real>(whole) > product)
        --whole;
    return whole;
}

template <class Real>
inline double ramp(double x, double width) {
    const double d = std::fabs(static_cast<double>(static_cast<Real>(x) / width));
    const Real s = 0.16666666666666666;
    double e = 0.0;
    if (s < d && d < 2 * s)
        e = static_cast<double>(d - s);
    else if (2 * s < d && d < 4 * s)
        e = static_cast<double>(s);
    else if (4 * s < d && d < 5 * s)
        e = static_cast<double>(s - (d - 4 * s));
    return static_cast<double>(6 * static_cast<Real>(e));
}

template <class Real>
inline void kernelRow(std::uint8_t* row, int width, int red, int green, int blue) {
    for (int j = 0; j < width; ++j) {
        const double x = ramp<Real>(j, width);
        const double g = !(x > 0) ? 0.0 : x >= 1 ? 1.0 : x;
        const auto h = static_cast<double>(Real(1) - g);
        // The second colour is black: h times 0 adds nothing, but the definition forms it.
        row[3 * j] =
            static_cast<std::uint8_t>(truncated(static_cast<Real>(g) * blue + static_cast<Real>(h) * 0));
        row[3 * j + 1] =
            static_cast<std::uint8_t>(truncated(static_cast<Real>(g) * green + static_cast<Real>(h) * 0));
        row[3 * j + 2] =
            static_cast<std::uint8_t>(truncated(static_cast<Real>(g) * red + static_cast<Real>(h) * 0));
    }
}

} // namespace

void plainKernelRow(std::uint8_t* row, int width, int red, int green, int blue) {
    kernelRow<long double>(row, width, red, green, blue);
}

void plainKernelRowInDouble(std::uint8_t* row, int width, int red, int green, int blue) {
    kernelRow<double>(row, width, red, green, blue);
}
