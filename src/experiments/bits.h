#pragma once

// The tab "Dzialanie Unit_Funkcje/dzialania na bitach": the harmonic sum ksi(2), and the lowest 16
// bits of a typed integer found one by one by two methods, a bitwise AND and an exclusive OR.

#include "experiments/controls.h"
#include "numtext/format_settings.h"

namespace experiments {

// In order:
//  1. "Edit10" <- ksi(2) stored as a double, as general float text: "1,5";
//  2. the text of "LabeledEdit18" through the integer parser (EConvertError ends the run here, with
//     "Edit14" and "Memo3" untouched); its 32 bits are taken as unsigned;
//  3. "Edit14" <- "" and "Memo3" is cleared;
//  4. "Memo3" gains " liczba ukryta = <the value typed>" and " liczba bitow = 16";
//  5. for each of the 16 lowest bits, lowest first: the AND method's digit is put in front of the
//     text "Edit14" holds at that moment (read back from the control), and the XOR method's bit is
//     added to "Memo3" as a line "0" or "1";
//  6. "Memo3" gains " liczba odtworzona metoda I = <n>" and " liczba odtworzona metoda II = <n>",
//     each n rebuilt from its method's bits: the value typed modulo 65536.
// "271" gives "Edit14" "0000000100001111" and both rebuilt numbers 271; "-1" gives sixteen "1"
// digits and 65535; "70000" gives "0001000101110000" and 4464.
void Button4(Controls& w, const numtext::FormatSettings& fs);

} // namespace experiments
