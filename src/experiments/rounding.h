#pragma once

// The rounding, remainder and Pi experiments of the tab "Funkcje specjalne / Macierze".
//
// Each runs its steps against the window's controls in the order the user sees them appear. A
// failure (a text that does not convert, a floating-point exception) propagates out at the step
// where it happens, so whatever was written before that step stays and nothing after it is
// written. Each starts by clearing the floating-point flags, so a failure left pending elsewhere
// cannot surface here.

#include <cstdint>

#include "experiments/controls.h"
#include "numtext/format_settings.h"
#include "numtext/fpenv.h"

namespace experiments {

// Rounds the value of "ComboBox1" down, up and toward zero. In order:
//  1. "Edit1" <- "1", "Edit2" <- "3";
//  2. "Memo1" gains the lines "1", "2", "3", "4";
//  3. if the combo box reports no selected item, item 2 is selected (its text becomes "1,999999");
//  4. x <- the combo box text, parsed and stored as a double (EConvertError, or EOverflow beyond
//     the double range, end the run here);
//  5. "LabeledEdit1", "LabeledEdit2", "LabeledEdit20" <- floor(x), ceil(x) and x, each through the
//     truncating conversion to 32 bits: -0,5 gives -1, 0, 0; 3000000000 gives -1294967296;
//     5000000000 gives 705032704; any magnitude of 2^63 or more gives 0;
//  6. "Edit3" <- the currency text of StrToIntDef("-a172", 17): "17";
//  7. "LabeledEdit6" <- |x|, "LabeledEdit7" <- |t| (t the truncated integer), as general float
//     texts. |t| is taken as a real, so a truncated -2147483648 shows 2147483648.
void Button1(Controls& w, const numtext::FormatSettings& fs);

// x <- "LabeledEdit8", y <- "LabeledEdit9", each parsed and stored as a double before anything is
// written. "LabeledEdit10" <- fmod(x, y): exact, with the sign of x, and 0 for y = 0. Then the
// quotient is formed in extended and stored as a double, and "LabeledEdit11" <- its floor. So
// (7,5; 2) gives "1,5" and "3"; (0,3; 0,1) gives "0,1" and "2". A zero y fails after the remainder
// is written: EZeroDivide, or EInvalidOp for 0/0; a quotient beyond the double range
// (1e300 / 1e-300) fails with EOverflow.
void BitBtn2(Controls& w, const numtext::FormatSettings& fs);

// Pi declared four ways. The extended one holds the double widened, not the extended value nearest
// to Pi: its significand is 0xC90FDAA22168C000 rather than 0xC90FDAA22168C235.
inline constexpr std::int32_t kPiInteger = 3;
inline constexpr double kPiDouble = 3.141592653589793115997963468544185161590576171875;
inline constexpr numtext::extended kPiExtended = kPiDouble;

// "LabeledEdit3" <- "3"; "LabeledEdit4", "LabeledEdit5" and "LabeledEdit17" <- the local double,
// the static double and the static extended constant, which agree at 15 digits:
// "3,14159265358979". Never fails.
void BitBtn1(Controls& w, const numtext::FormatSettings& fs);

} // namespace experiments
