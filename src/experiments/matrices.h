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

// Reads no input and writes the same on every run, in this order: "LabeledEdit19" (a local read
// through a pointer), "Edit1" (a vector of 10), "Edit2" (after erasing [3, 8)), "Edit3" (after
// inserting 6 before index 3), "Edit3" again (whether the empty vector's data pointer is set), "Edit4"
// (an element of a copy), "Edit1" yellow with kOutOfRangeMessage (the store at index 222, refused),
// "Edit5" (the element appended to row 1 of a 3 x 5 matrix). The yellow is never taken back.
// Errors: none of its own; anything else thrown propagates.
// Example (comma locale): "0,1234567", "10", "5", "11", "False", "1,7654321", kOutOfRangeMessage, "22,11".
void fillArraysAndMatrix(Controls& w, const numtext::FormatSettings& fs);

} // namespace experiments
