#pragma once

// The product tab: the product of two complex numbers typed as four texts, each part formed in
// extended precision and rounded once.

#include "experiments/controls.h"
#include "lib/Unit_l_zespolone.h"
#include "numtext/format_settings.h"

namespace experiments {

// The tab remembers, from one press to the next, the four numbers it read last and the product it
// formed. Each number read replaces its predecessor at once, so a text that does not parse leaves
// the ones before it stored and the rest as they were; the product and the result fields change only
// when all four parse and the product fits a double.
class ComplexProduct {
public:
    // Reads "Edit6" to "Edit9" (re and im of the first factor, then of the second) and writes the
    // product's parts into "LabeledEdit12" and "LabeledEdit13".
    // Errors: EConvertError (a number), EOverflow (the product beyond double).
    // Examples: (2 + 3i)(-1 + 5i) -> "-17", "7"; 1e300 four times -> EOverflow, nothing written.
    void multiply(Controls& w, const numtext::FormatSettings& fs);

private:
    double m_liczby[4] = {0.0, 0.0, 0.0, 0.0};
    Zespolona m_iloczyn = {0.0, 0.0};
};

} // namespace experiments
