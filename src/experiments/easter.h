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

// Writes the date of the year in "CSpinEdit1" into "Wielkanoc" (yellow for March, lime for April),
// then one point per year of the range "rok1".."rok2" in each of "Series2" (March) and "Series3"
// (April): the day in the series of its month, -1 in the other. A typed year outside a field's
// limits is drawn as the limit the field would take on losing the focus, so the range stays
// within what the fields allow.
void Button6(Controls& w, const numtext::FormatSettings& fs);

} // namespace experiments
