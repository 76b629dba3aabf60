#pragma once

// The growable-array experiment of the group "Macierz": std::vector of doubles and a matrix made of
// them, their sizes after erasing and inserting, a copy, and the recovery from a bounds-checked
// access past the end.

#include "experiments/controls.h"
#include "numtext/format_settings.h"

namespace experiments {

// Shown in "Edit1" when the store past the end is refused: 34 characters, one space before and one
// after the words.
inline constexpr const char* kOutOfRangeMessage = " Przekroczenie rozmiaru tablicy ! ";

// Reads no input and writes the same on every run, in this order (comma locale):
// "LabeledEdit19" "0,1234567" (a local read through a pointer); "Edit1" "10" (a vector of 10);
// "Edit2" "5" (after erasing [3, 8)); "Edit3" "11" (after inserting 6 elements before index 3),
// then "Edit3" "False" (the empty vector's data pointer is null); "Edit4" "1,7654321" (an element
// of a copy); "Edit1" yellow, then "Edit1" kOutOfRangeMessage (the bounds-checked store at index
// 222 throws std::out_of_range, caught around that store only); "Edit5" "22,11" (the element
// appended to row 1 of a 3 x 5 matrix, read through bounds-checked accesses). Anything else
// thrown, by the arrays or by the controls, propagates. The yellow is never taken back.
void Macierze(Controls& w, const numtext::FormatSettings& fs);

} // namespace experiments
