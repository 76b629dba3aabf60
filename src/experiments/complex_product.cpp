#include "complex_product.h"

#include "numtext/fpenv.h"
#include "numtext/number_text.h"

namespace experiments {

void ComplexProduct::multiply(Controls& w, const numtext::FormatSettings& fs) {
    const char* const factors[4] = {"Edit6", "Edit7", "Edit8", "Edit9"};
    for (int k = 0; k < 4; ++k)
        m_liczby[k] = numtext::toDouble(numtext::StrToFloat(w.text(factors[k]), fs));
    m_iloczyn = iloczyn_zespolony(m_liczby[0], m_liczby[1], m_liczby[2], m_liczby[3]);
    w.setText("LabeledEdit12", numtext::FloatToStr(m_iloczyn.re, fs));
    w.setText("LabeledEdit13", numtext::FloatToStr(m_iloczyn.im, fs));
}

} // namespace experiments
