#include "dib_pixels.h"

#include <algorithm>
#include <bit>
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
// extended channel, whose product of 53 + 11 bits is exact. Worked out in integers, without a
// branch: with g = m * 2^(e - 1075) (m the significand with its hidden bit, e the biased
// exponent), m * limit < 2^64 is exact, and shifting it right by 1075 - e truncates it. The shift
// is taken in two steps, 52 and then the rest: after the first the product is below 2^12, so the
// second, clamped to 63 (no shift may be of 64 bits or more), still gives 0 wherever it must.
// The significand and shift depend on g alone and serve all three channels of a pixel.
struct ExactFactor {
    std::uint64_t significand = 0; // 0 for g = 0 and subnormal g, whose products are far below 1
    unsigned shift = 63;
};

inline ExactFactor exactFactor(double g) {
    const auto bits = std::bit_cast<std::uint64_t>(g);
    const auto exponent = static_cast<unsigned>(bits >> 52); // g >= 0: no sign bit
    ExactFactor f;
    if (exponent != 0) {
        f.significand = (bits & ((std::uint64_t{1} << 52) - 1)) | (std::uint64_t{1} << 52);
        f.shift = std::min(1023U - exponent, 63U); // g <= 1: exponent <= 1023
    }
    return f;
}

inline std::uint8_t exactChannel(const ExactFactor& f, std::int32_t limit) {
    const std::uint64_t product = f.significand * static_cast<std::uint64_t>(limit);
    return static_cast<std::uint8_t>((product >> 52) >> f.shift);
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
        const ExactFactor f = exactFactor(g);
        pixel.blue = exactChannel(f, b1);
        pixel.green = exactChannel(f, g1);
        pixel.red = exactChannel(f, r1);
    } else {
        const auto h = (extended(1.0) - extended(g)).toDouble();
        pixel.blue = extendedChannel(g, h, b1, b2);
        pixel.green = extendedChannel(g, h, g1, g2);
        pixel.red = extendedChannel(g, h, r1, r2);
    }
    return pixel;
}

// Legacy SSE instructions, which are all this code may use, run at half speed or worse on some
// processors while the upper halves of the AVX registers hold data: other code of the process
// (the library's memory copies, Qt's painting) may have left them so. VZEROUPPER clears that state;
// it is executed only where the processor has AVX.
inline void clearUpperVectorState() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    if (__builtin_cpu_supports("avx"))
        asm volatile("vzeroupper" ::: "memory");
#endif
}

// Flattened so that RampFactor and MixPixel, called once per pixel, are compiled into the loop.
[[gnu::flatten]] void fillDib(int width, int height, ColorLimits limits, const RowStart& rowStart) {
    clearUpperVectorState();
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

void drawRamp(Controls& w, const numtext::FormatSettings&) {
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
