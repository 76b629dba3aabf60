#pragma once

// The date of Easter Sunday in the Gregorian calendar, and the handler of its field and chart.

#include <cstdint>

#include "experiments/controls.h"
#include "numtext/format_settings.h"

// The Easter code N of a year (the anonymous Gregorian computus): the month is N / 31 and the day of
// the month N % 31 + 1, in signed 32-bit arithmetic truncating toward zero. For the years 0 to 5555
// N lies in 114 (22 March) .. 148 (25 April). dataWielkanocy(2011) == 147: 24 April.
std::int32_t dataWielkanocy(std::int32_t year);

namespace experiments {

// "Wielkanoc" <- the date of the year in "CSpinEdit1" (yellow for March, lime for April), then one
// point per year of "rok1".."rok2" in each of "Series2" (March) and "Series3" (April): the day in its
// month's series, -1 in the other. A typed year outside a field's limits is taken as the limit the
// field would bring it to on losing the focus; fields without limits (both equal) take it as it is.
// Errors: none (the spin edits read a bad text as their minimum).
// Examples: 2011 -> "dn. 24-go  miesiąca 4" on lime; 2008 -> "dn. 23-go  miesiąca 3" on yellow.
void showEaster(Controls& w, const numtext::FormatSettings& fs);

} // namespace experiments
