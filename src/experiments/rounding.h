#pragma once

// The rounding, remainder and Pi experiments of the tab "Funkcje specjalne / Macierze". Each writes
// its controls in the order the user sees them appear; a failure propagates at the step where it
// happens, so what was written before it stays and nothing after it is written.

#include <cstdint>

#include "experiments/controls.h"
#include "numtext/format_settings.h"
#include "numtext/fpenv.h"

namespace experiments {

// Writes "1" and "3" into "Edit1" and "Edit2" and the lines "1".."4" into "Memo1"; selects item 2
// of "ComboBox1" when it has none; then floor, ceiling and truncation of the combo box's number,
// each through the truncating conversion to 32 bits, into "LabeledEdit1", "LabeledEdit2" and
// "LabeledEdit20"; "17" (StrToIntDef("-a172", 17) as currency) into "Edit3"; |x| and |t| (t the
// truncated number, taken as a real) into "LabeledEdit6" and "LabeledEdit7".
// Errors: EConvertError (no number), EOverflow (beyond double), both after "Memo1".
// Examples (floor, ceiling, truncation, |x|, |t|): "-0,5" -> "-1 0 0 0,5 0";
// "3000000000" -> "-1294967296 -1294967296 -1294967296 3000000000 1294967296"; "1e19" -> "0 0 0 1E19 0".
void roundChosenNumber(Controls& w, const numtext::FormatSettings& fs);

// x and y from "LabeledEdit8" and "LabeledEdit9", both read before anything is written;
// "LabeledEdit10" <- fmod(x, y) (exact, the sign of x, 0 for y = 0); "LabeledEdit11" <- the floor of
// x / y formed in extended and stored as a double.
// Errors: EConvertError, EOverflow (reading); EZeroDivide, EInvalidOp, EOverflow (quotient).
// Examples: (7,5; 2) -> "1,5", "3"; (0,3; 0,1) -> "0,1", "2"; (5; 0) -> "0", then EZeroDivide.
void divideWithRemainder(Controls& w, const numtext::FormatSettings& fs);

// Pi declared four ways. The extended one holds the double widened, not the extended value nearest
// to Pi: its significand is 0xC90FDAA22168C000 rather than 0xC90FDAA22168C235.
inline constexpr std::int32_t kPiInteger = 3;
inline constexpr double kPiDouble = 3.141592653589793115997963468544185161590576171875;
inline const numtext::extended kPiExtended{kPiDouble};

// "LabeledEdit3" <- "3"; "LabeledEdit4", "LabeledEdit5" and "LabeledEdit17" <- the local double,
// the static double and the static extended constant, which agree at 15 digits.
// Errors: none.
// Example: "3", "3,14159265358979" three times.
void showPiDeclarations(Controls& w, const numtext::FormatSettings& fs);

} // namespace experiments
