#include "dib_pixels.h"

#include <cmath>
#include <cstring>

#include "numtext/fpenv.h"

namespace experiments {

using numtext::extended;

namespace {

constexpr double kSixth = 0.16666666666666666;
constexpr double kTwoSixths = 2 * kSixth;  // exact: a power of two times s
constexpr double kFourSixths = 4 * kSixth; // exact
// 5s needs three more bits than a double has, so it is no double: for a double d, d < 5s exactly
// when d is at most the largest double below 5s.
constexpr double kBelowFiveSixths = 0x1.aaaaaaaaaaaaap-1;
static_assert(kBelowFiveSixths < 5.0L * kSixth && kBelowFiveSixths + 0x1p-53L > 5.0L * kSixth);

// A whole number below `limit` in magnitude. The quiet comparison keeps a NaN from raising the
// invalid-operation flag.
inline bool isWholeBelow(double v, double limit) {
    return std::isless(std::fabs(v), limit) && static_cast<double>(static_cast<std::int64_t>(v)) == v;
}

// The quotient as the definition forms it: in extended, then stored to double, with the store's
// checkpoint.
[[gnu::noinline]] double extendedQuotient(double x, double width) {
    return numtext::toDouble(static_cast<extended>(x) / width);
}

// The low eight bits of the extended channel g * first + h * second, truncated toward zero.
inline std::uint8_t extendedChannel(double g, double h, std::int32_t first, std::int32_t second) {
    const extended v = static_cast<extended>(g) * first + static_cast<extended>(h) * second;
    return static_cast<std::uint8_t>(numtext::truncToInt64(v));
}

// trunc(g * limit) of the exact product, for g in [0, 1] and a limit in [0, 2048): the same as the
// extended channel, whose product of 53 + 11 bits is exact. The double product p can only
// mislead when it is itself whole: a whole number strictly between the exact product and p would
// be nearer to the product than p. Then the sign of the rounding error decides; it is found
// exactly by splitting g into 42 high bits (times the limit: 53 bits, exact) and the rest.
inline std::uint8_t exactChannel(double g, std::int32_t limit) {
    const double r = limit;
    const double p = g * r;
    auto k = static_cast<std::int32_t>(p);
    if (k > 0 && static_cast<double>(k) == p) {
        const double c = g * 2049.0; // Veltkamp's split: 2^11 + 1
        const double high = c - (c - g);
        const double low = g - high;
        if ((high * r - p) + low * r < 0.0)
            --k;
    }
    return static_cast<std::uint8_t>(k);
}

inline bool inExactRange(std::int32_t limit) { return limit >= 0 && limit < 2048; }

} // namespace

double RampFactor(double x, double width) {
    // For whole operands with |width| < 2^11 the quotient of two doubles lies further than an
    // extended half-unit from every midpoint between doubles, so rounding it once (in double) or
    // twice (to extended, then to double) gives the same double. Anything else takes the long way.
    double d;
    if (width != 0.0 && isWholeBelow(width, 2048.0) && isWholeBelow(x, 0x1p53))
        d = std::fabs(x / width);
    else
        d = std::fabs(extendedQuotient(x, width));

    // Each difference below is exact in double (its operands are close, or its result fits in 53
    // bits), so forming it in extended and rounding it changes nothing. A NaN quotient fails every
    // comparison, quietly, and gives 0.
    double e = 0.0;
    if (std::isless(kSixth, d) && std::isless(d, kTwoSixths))
        e = d - kSixth;
    else if (std::isless(kTwoSixths, d) && std::isless(d, kFourSixths))
        e = kSixth;
    else if (std::isless(kFourSixths, d) && std::islessequal(d, kBelowFiveSixths))
        e = kSixth - (d - kFourSixths);
    return 6.0 * e; // 6e is exact in extended; this is its one rounding to double
}

Pixel24 MixPixel(Pixel24& pixel, std::int32_t r1, std::int32_t r2, std::int32_t g1, std::int32_t g2,
                 std::int32_t b1, std::int32_t b2, double x) {
    // Quiet comparisons: a NaN factor is simply not greater than 0, and raises nothing.
    double g;
    if (!std::isgreater(x, 0.0))
        g = 0.0;
    else if (std::isgreaterequal(x, 1.0))
        g = 1.0;
    else
        g = x;

    if (r2 == 0 && g2 == 0 && b2 == 0 && inExactRange(r1) && inExactRange(g1) && inExactRange(b1)) {
        // Mixing with black, as the bitmap always does: h * 0 adds nothing.
        pixel.blue = exactChannel(g, b1);
        pixel.green = exactChannel(g, g1);
        pixel.red = exactChannel(g, r1);
    } else {
        const auto h = static_cast<double>(1.0L - static_cast<extended>(g));
        pixel.blue = extendedChannel(g, h, b1, b2);
        pixel.green = extendedChannel(g, h, g1, g2);
        pixel.red = extendedChannel(g, h, r1, r2);
    }
    return pixel;
}

// Flattened so that RampFactor and MixPixel, called once per pixel, are compiled into the loop.
[[gnu::flatten]] void fillDib(int width, int height, ColorLimits limits, const RowStart& rowStart) {
    for (int i = 0; i < height; ++i) {
        std::uint8_t* row = rowStart(i);
        for (int j = 0; j < width; ++j) {
            const double t = RampFactor(j, width);
            Pixel24 pixel;
            pixel = MixPixel(pixel, limits.red, 0, limits.green, 0, limits.blue, 0, t);
            std::memcpy(row + 3 * static_cast<std::ptrdiff_t>(j), &pixel, sizeof pixel);
        }
    }
}

void Button7(Controls& w, const numtext::FormatSettings&) {
    Picture picture(kDibWidth, kDibHeight);
    const ColorLimits limits{w.position("RedMax"), w.position("GreenMax"), w.position("BlueMax")};
    fillDib(picture.width(), picture.height(), limits, [&picture](int row) { return picture.row(row); });
    w.showPicture(picture);

    if (w.checked("CheckBox1"))
        w.savePicture(picture, kSaveExtension);
    // Reached only when the save, if any, succeeded: a failed one leaves the request standing.
    if (w.checked("CheckBox1"))
        w.setChecked("CheckBox1", false);
}

} // namespace experiments
