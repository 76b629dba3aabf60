#pragma once

#include <cstdint>

// The bitmap's pixels written the plain way, as the yardstick for fillDib and for a whole run: one
// loop over a row, the ramp and the mix written from their definitions and inlined, the channel
// products in long double and truncated, built at -O2. It gives exactly fillDib's bytes.
void plainKernelRow(std::uint8_t* row, int width, int red, int green, int blue);

// The same kernel with every long double replaced by double (different bytes in a few columns).
// The reference is sound only while it takes at most three times as long as this twin: a build
// that makes long double pathologically slow shows as a larger ratio.
void plainKernelRowInDouble(std::uint8_t* row, int width, int red, int green, int blue);

// The largest ratio of the two kernels above at which the reference is taken as sound.
inline constexpr double kSoundReferenceRatio = 3.0;
