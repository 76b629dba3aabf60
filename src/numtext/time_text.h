#pragma once

#include <string>

#include "format_settings.h"

namespace numtext {

// A date-time value: days as a double, the fraction being the time of day.
using TDateTime = double;

// The long time text. The value becomes a count of milliseconds (times 86,400,000, rounded to the
// nearest integer, ties to even), a negative count its absolute value, and the time of day that
// count modulo one day. NaN and values beyond the 64-bit count give "00:00:00" in the format.
// TimeToStr(0.5, comma) == "12:00:00".
std::string TimeToStr(TDateTime value, const FormatSettings& fs);

// The current local time of day as a fraction of a day, to the millisecond, with no date part.
TDateTime Time();

} // namespace numtext
