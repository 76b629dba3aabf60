#pragma once

#include <cstdint>

// One row of the bitmap written the plain way, as a yardstick for fillDib.
void plainKernelRow(std::uint8_t* row, int width, int red, int green, int blue);
