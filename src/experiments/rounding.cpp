#include "experiments/rounding.h"

#include "numtext/number_text.h"
#include "numtext/rtl_math.h"

namespace experiments {

using numtext::extended;

void roundChosenNumber(Controls& w, const numtext::FormatSettings& fs) {
    w.setText("Edit1", numtext::IntToStr(std::int32_t{1}));
    w.setText("Edit2", numtext::IntToStr(std::int32_t{3}));
    for (std::int32_t i = 1; i <= 4; ++i)
        w.addLine("Memo1", numtext::IntToStr(i));

    // A text typed into the combo box is used only while it still reports a selected item.
    if (w.itemIndex("ComboBox1") == -1)
        w.setItemIndex("ComboBox1", 2);
    const double x = numtext::toDouble(numtext::StrToFloat(w.text("ComboBox1"), fs));

    const std::int32_t f = numtext::truncToInt32(numtext::floor(x));
    const std::int32_t c = numtext::truncToInt32(numtext::ceil(x));
    const std::int32_t t = numtext::truncToInt32(x);
    w.setText("LabeledEdit1", numtext::IntToStr(f));
    w.setText("LabeledEdit2", numtext::IntToStr(c));
    w.setText("LabeledEdit20", numtext::IntToStr(t));

    const auto money = numtext::Currency::fromInt(numtext::StrToIntDef("-a172", 17));
    w.setText("Edit3", numtext::CurrToStr(money, fs));

    w.setText("LabeledEdit6", numtext::FloatToStr(numtext::fabs(x), fs));
    // As a real, so that the magnitude of -2^31 does not wrap back to a negative integer.
    w.setText("LabeledEdit7", numtext::FloatToStr(numtext::fabs(static_cast<double>(t)), fs));
}

void divideWithRemainder(Controls& w, const numtext::FormatSettings& fs) {
    const double x = numtext::toDouble(numtext::StrToFloat(w.text("LabeledEdit8"), fs));
    const double y = numtext::toDouble(numtext::StrToFloat(w.text("LabeledEdit9"), fs));

    w.setText("LabeledEdit10", numtext::FloatToStr(numtext::fmod(x, y), fs));

    // Dividing two doubles in extended cannot overflow: a quotient beyond the double range fails
    // at its store, while a zero divisor fails at the division itself.
    const double q = numtext::toDouble(static_cast<extended>(x) / y);
    w.setText("LabeledEdit11", numtext::FloatToStr(numtext::floor(q), fs));
}

void showPiDeclarations(Controls& w, const numtext::FormatSettings& fs) {
    const double localPi = kPiDouble;
    w.setText("LabeledEdit3", numtext::FloatToStr(static_cast<extended>(kPiInteger), fs));
    w.setText("LabeledEdit4", numtext::FloatToStr(localPi, fs));
    w.setText("LabeledEdit5", numtext::FloatToStr(kPiDouble, fs));
    w.setText("LabeledEdit17", numtext::FloatToStr(kPiExtended, fs));
}

} // namespace experiments
