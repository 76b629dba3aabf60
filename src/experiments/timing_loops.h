#pragma once

// The timing tab: one division and one multiplication per pass on a double reached three ways
// (through a reference, directly, through a pointer), and the count typed in the combo box shown
// after three conversions.
//
// Both handlers write the tab's controls in the exact order the user must see, so a failure part-way
// leaves on screen precisely what was written before it. The fields: "E1"/"LE21" hold the
// by-reference run, "E2"/"LE22" the by-value run, "E3"/"LE23" the by-address run, "LabeledE1".."3"
// the three conversions of the count typed in "CB2".

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "experiments/controls.h"
#include "numtext/exceptions.h"
#include "numtext/format_settings.h"
#include "numtext/time_text.h"

namespace experiments {

// The largest count the loops accept: 2^53. From there on adding 1.0 no longer changes the double
// pass counter, so a larger count would never end.
inline constexpr double kLargestCount = 9007199254740992.0;

// A count above kLargestCount, refused before anything on the tab changes. Message, for "1e+16":
// "'1e+16' to więcej niż 9007199254740992 działań, najwięcej, ile zliczy licznik przejść typu double".
class ECountTooLarge : public numtext::Exception {
public:
    explicit ECountTooLarge(std::string_view countText);
};

using Clock = std::function<numtext::TDateTime()>;

// The three timed loops. Each pass divides the variable by itself and then multiplies it by
// itself, storing each result back into the variable in memory; the pass counter is a double that
// starts at `from` and is raised by 1.0 while it is below `count`. Every access is volatile, so no
// pass can be skipped, merged with another, vectorised or kept in a register. Each returns the
// counter at its end (from 0: the number of passes made); after the first pass the variable holds
// 1.0.
double loopByReference(volatile double& target, double count, double from = 0.0);
double loopByValue(double count, double from = 0.0); // on a variable of its own, at 12.3 in each call
double loopByAddress(volatile double* target, double count, double from = 0.0);

// The passes one piece of a loop makes at most: about 10 ms on a current machine, so that a stop
// takes effect at once while asking between pieces costs nothing measurable.
inline constexpr double kPassesPerPiece = 1048576.0; // 2^20

// One of the loops above as `loop(count, from)`.
using PieceLoop = std::function<double(double count, double from)>;

// The loop up to `count`, made by calls of `loop` of at most kPassesPerPiece passes each, the
// counter going on from one call to the next, so that the passes are exactly those of one call
// up to `count`. Between two pieces `more` is asked with the passes made so far; once it says
// false no further piece runs. Returns the counter: `count` rounded up to whole passes (0 for a
// count of 0 or below), or less when stopped.
double loopInPieces(const PieceLoop& loop, double count, const KeepGoing& more);

// The conversions of the count in "CB2": LabeledE1 emptied, the text parsed, the low 32 bits (signed)
// of its truncation written and LabeledE1 repainted; then LabeledE2 the same with the whole signed
// 64-bit truncation (-9223372036854775808 outside its range); then LabeledE3 with the general float
// text of the parsed extended value.
// Errors: EConvertError (no number), right after LabeledE1 is emptied.
// Examples: "5e+9" -> "705032704", "5000000000", "5000000000";
// "1e+4900" -> "0", "-9223372036854775808", "1E4900".
void convertCount(Controls& w, const numtext::FormatSettings& fs);

// Whether convertCount takes the text as a number: the count box converts a text still being typed
// only then. The floating-point flags stay as they were.
bool countIsNumber(std::string_view text, const numtext::FormatSettings& fs);

// The timing button. The count in "CB2" is read first (a fractional count makes as many passes as
// the next whole number, one of 0 or below none); then for k = 1, 2, 3 LE2k and Ek to the window
// colour around conversion k as in convertCount; "calculating ..." into E1, E2, E3, LE21, LE22,
// LE23, each repainted at once; then the loops by reference, by value and by address as the long
// steps "Pętla 1 z 3: przez referencję", "Pętla 2 z 3: przez wartość" and "Pętla 3 z 3: przez adres"
// under the title "Czasy obliczeń", each timed by `clock`: Ek <- the long time text of its time,
// LE2k <- the general float text of that fraction of a day, each turned lime and repainted. A loop
// the user stops, and each one after it, shows "przerwano" in Ek and LE2k instead.
// Errors: EConvertError, EOverflow, ECountTooLarge, all before anything is written.
// Examples: loops timed 2 s, 1 s, 0 s -> E1 "00:00:02", LE21 "2,31481481481481E-5", ..., E3
// "00:00:00", LE23 "0"; "1e+16" -> ECountTooLarge, nothing written.
void timeThreeLoops(Controls& w, const numtext::FormatSettings& fs, const Clock& clock);

} // namespace experiments
