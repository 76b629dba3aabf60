#pragma once

#include <cstdint>

#include "numtext/fpenv.h"

// The harmonic sum 1 + 1/2 + ... + 1/n, by recursion n levels deep, each quotient and sum in
// extended precision. 0 for n <= 0. ksi(2) == 1.5, ksi(3) == 11/6 in extended.
numtext::extended ksi(std::int32_t n);
