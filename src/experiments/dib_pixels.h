#pragma once

// The bitmap tab: a 700 x 500 picture, 24 bits per pixel, whose every row is the same profile of
// one colour (red, green, blue = the three track bar limits): black at both ends, a linear rise, a
// plateau at full strength and a linear fall.

#include <cstdint>
#include <functional>

#include "experiments/controls.h"
#include "numtext/format_settings.h"

namespace experiments {

// One pixel of a 24-bit device-independent bitmap, in memory order.
struct Pixel24 {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;
};
static_assert(sizeof(Pixel24) == 3, "a row of 24-bit pixels has no padding between pixels");

// The brightness factor of position x across width, in 0..1. With d = |x / width| rounded to
// double and s = 0.16666666666666666 (the double nearest 1/6), compared strictly and with 2s, 4s
// and 5s unrounded: d - s on (s, 2s), s on (2s, 4s), s - (d - 4s) on (4s, 5s), 0 elsewhere
// (including d equal to s, 2s, 4s or 5s); the result is 6 times that, rounded to double.
// Across 700 columns: 0 up to column 116; 0.002857142857142947 at 117, 0.5 at 175,
// 0.9971428571428571 at 233; 1.0 from 234 to 466; 0.9971428571428569 at 467,
// 0.4999999999999997 at 525, 0.002857142857142614 at 583; 0 from 584.
// A width of 0 throws EZeroDivide (EInvalidOp for 0 / 0), a quotient beyond the double range
// EOverflow, as a store of the quotient to double would; a NaN argument gives 0.
double RampFactor(double x, double width);

// Fills `pixel` with the mix of the first colour (r1, g1, b1) and the second (r2, g2, b2) and
// returns it. The factor is clamped: g = 0 unless x > 0 (so NaN gives 0), g = 1 for x >= 1, else x;
// h = 1 - g rounded to double. Each channel is g * first + h * second formed in extended precision,
// truncated toward zero, its low eight bits kept. The product is never rounded to double first:
// with the factor of column 150 (0.2857142857142857, just below 2/7) and a limit of 7 the channel
// is 1, not 2.
Pixel24 MixPixel(Pixel24& pixel, std::int32_t r1, std::int32_t r2, std::int32_t g1, std::int32_t g2,
                 std::int32_t b1, std::int32_t b2, double x);

inline constexpr int kDibWidth = 700;
inline constexpr int kDibHeight = 500;

// The positions of the three track bars, 0..255.
struct ColorLimits {
    std::int32_t red = 0;
    std::int32_t green = 0;
    std::int32_t blue = 0;
};

// The address of the first byte of pixel row `row`, row 0 at the top.
using RowStart = std::function<std::uint8_t*(int row)>;

// Writes a width x height picture of 24-bit pixels (blue, green, red at byte 3j of each row)
// through the row starts: for every pixel one RampFactor(j, width) and one MixPixel of the limits
// with black. Nothing is kept from one call to the next.
void fillDib(int width, int height, ColorLimits limits, const RowStart& rowStart);

// The default extension the save dialog gets at every save request.
inline constexpr const char* kSaveExtension = "*.wmf";

// A 700 x 500 picture filled with the positions of "RedMax", "GreenMax" and "BlueMax", shown on the
// viewer; if "CheckBox1" is ticked, saved (the dialog gets kSaveExtension each time) and then
// unticked. The picture lives for the run only.
// Errors: numtext::Exception "Cannot create file <name>" from the save, before the untick.
// Examples: limits 255, 255, 255 -> row pixels 0 up to column 116, 255 from 234 to 466.
void drawRamp(Controls& w, const numtext::FormatSettings& fs);

} // namespace experiments
