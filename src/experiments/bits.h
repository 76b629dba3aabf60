#pragma once

// The tab "Dzialanie Unit_Funkcje/dzialania na bitach": the harmonic sum ksi(2), and the lowest 16
// bits of a typed integer found one by one by two methods, a bitwise AND and an exclusive OR.

#include "experiments/controls.h"
#include "numtext/format_settings.h"

namespace experiments {

// "Edit10" <- ksi(2) stored as a double; the integer in "LabeledEdit18", its 32 bits taken as
// unsigned; "Edit14" and "Memo3" emptied; "Memo3" <- " liczba ukryta = <n>" and " liczba bitow = 16";
// for each of the 16 lowest bits, lowest first, the AND method's digit put in front of what "Edit14"
// holds and the XOR method's bit added to "Memo3"; last the number each method rebuilt (n mod 65536).
// Errors: EConvertError (no integer), after "Edit10".
// Examples ("Edit14", rebuilt): "271" -> "0000000100001111", 271; "-1" -> sixteen "1", 65535;
// "70000" -> "0001000101110000", 4464.
void harmonicSumAndBits(Controls& w, const numtext::FormatSettings& fs);

} // namespace experiments
