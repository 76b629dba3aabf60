#include "tabs.h"

#include <QRadioButton>

#include <initializer_list>
#include <memory>

#include "Unit_proby.h"
#include "experiments/bits.h"
#include "experiments/cardano.h"
#include "experiments/complex_product.h"
#include "experiments/curve.h"
#include "experiments/dib_pixels.h"
#include "experiments/easter.h"
#include "experiments/matrices.h"
#include "experiments/rounding.h"
#include "experiments/timing_loops.h"
#include "numtext/time_text.h"

namespace tabs {

namespace {

using experiments::Controls;
using numtext::FormatSettings;

void nothing(Controls&, const FormatSettings&) {}

Tab placeholders(TForm1& f) {
    return {
        f.TabSheet1,
        // Both buttons are placeholders and do nothing.
        {row(f.Button3, &TButton::clicked, "Button3Click", nothing),
         row(f.Button8, &TButton::clicked, "Button3Click", nothing)},
        {f.Button3, f.Button8},
        {},
    };
}

Tab complexProduct(TForm1& f) {
    // The product remembers its numbers from one press to the next.
    auto product = std::make_shared<experiments::ComplexProduct>();
    const Experiment multiply = [product](Controls& w, const FormatSettings& fs) {
        product->multiply(w, fs);
    };
    return {
        f.TabSheet2,
        {row(f.BitBtn3, &TBitBtn::clicked, "BitBtn3Click", multiply, true)},
        {f.Edit6, f.Edit7, f.Edit8, f.Edit9, f.BitBtn3, f.LabeledEdit12, f.LabeledEdit13},
        {
            {f.Edit6, "pierwsza liczba: część rzeczywista"},
            {f.Edit7, "pierwsza liczba: część urojona"},
            {f.Edit8, "druga liczba: część rzeczywista"},
            {f.Edit9, "druga liczba: część urojona"},
        },
    };
}

Tab roundingAndMatrices(TForm1& f) {
    return {
        f.TabSheet3,
        {
            // A click on the window's own surface rounds as "< --- Caculate" does, whichever tab is
            // in front.
            row(&f, &TForm1::clicked, "Button1Click", experiments::roundChosenNumber),
            row(f.Button1, &TButton::clicked, "Button1Click", experiments::roundChosenNumber, true),
            row(f.BitBtn2, &TBitBtn::clicked, "BitBtn2Click", experiments::divideWithRemainder, true),
            row(f.BitBtn1, &TBitBtn::clicked, "BitBtn1Click", experiments::showPiDeclarations, true),
            row(f.Macierze, &TButton::clicked, "MacierzeClick", experiments::fillArraysAndMatrix, true),
        },
        {f.LabeledEdit8,  f.LabeledEdit9, f.LabeledEdit10, f.LabeledEdit11, f.BitBtn2, //
         f.ComboBox1,     f.LabeledEdit1, f.LabeledEdit2,  f.LabeledEdit20, f.Button1, //
         f.LabeledEdit6,  f.LabeledEdit7, f.Memo1,                                     //
         f.LabeledEdit3,  f.LabeledEdit4, f.LabeledEdit5,  f.LabeledEdit17, f.BitBtn1, //
         f.LabeledEdit19, f.Edit2,        f.Edit3,         f.Edit1,         f.Edit4,   f.Edit5, f.Macierze},
        {
            {f.ComboBox1, "liczba dla floor / ceil / int ( )"},
            {f.Memo1, "wyniki pętli"},
            {f.Edit1, "wektor: rozmiar początkowy"},
            {f.Edit2, "wektor: rozmiar po usunięciu"},
            {f.Edit3, "wektor: rozmiar po wstawieniu"},
            {f.Edit4, "kopia wektora: element 3"},
            {f.Edit5, "macierz: element [1][5]"},
        },
    };
}

Tab timing(TForm1& f) {
    const Experiment timeLoops = [](Controls& w, const FormatSettings& fs) {
        experiments::timeThreeLoops(w, fs, numtext::Time);
    };
    return {
        f.TabSheet5,
        // The count's conversions first: the timing then runs with the count they show.
        {row(f.CB2, &TComboBox::changed, "CB2Change", experiments::convertCount, true),
         row(f.Button2, &TButton::clicked, "Button2Click", timeLoops, true)},
        {f.E2, f.E1, f.E3, f.LE22, f.LE21, f.LE23, f.CB2, f.Button2, f.LabeledE1, f.LabeledE2, f.LabeledE3},
        {
            {f.E2, "czas: przekazanie przez wartość"},
            {f.E1, "czas: przekazanie przez referencję"},
            {f.E3, "czas: przekazanie przez adres / wskaźnik"},
        },
    };
}

Tab cubicAndEaster(TForm1& f) {
    std::vector<QWidget*> order;
    // Of the radio group only the chosen item takes the focus; the arrows move between the items.
    for (int i = 0; i < f.przypadekD->items().size(); ++i)
        order.push_back(f.przypadekD->button(i));
    for (QWidget* w : std::initializer_list<QWidget*>{f.Dane, f.LabeledEdit14, f.Rownanie3, f.LabeledEdit15,
                                                      f.LabeledEdit16, f.Eq3, f.Button6, f.CSpinEdit1,
                                                      f.Wielkanoc, f.Chart2, f.rok1, f.rok2})
        order.push_back(w);
    return {
        f.TabSheet4,
        {
            row(f.Rownanie3, &TBitBtn::clicked, "Rownanie3Click", experiments::solveCubic, true),
            row(f.przypadekD, &TRadioGroup::clicked, "Rownanie3Click", experiments::solveCubic),
            row(f.Button6, &TButton::clicked, "Button6Click", experiments::showEaster, true),
            row(f.CSpinEdit1, &TCSpinEdit::changed, "Button6Click", experiments::showEaster),
            row(f.rok1, &TCSpinEdit::changed, "Button6Click", experiments::showEaster),
            row(f.rok2, &TCSpinEdit::changed, "Button6Click", experiments::showEaster),
        },
        order,
        {
            {f.Dane, "współczynniki równania a, b, c, d"},
            {f.Eq3, "pierwiastki równania"},
            {f.CSpinEdit1, "rok Niedzieli Wielkanocnej"},
            {f.Chart2, "wykres: data Niedzieli Wielkanocnej"},
            {f.rok1, "wykres od roku"},
            {f.rok2, "wykres do roku"},
        },
    };
}

Tab bits(TForm1& f) {
    return {
        f.TabSheet6,
        {row(f.Button4, &TButton::clicked, "Button4Click", experiments::harmonicSumAndBits, true)},
        {f.Edit10, f.Button4, f.LabeledEdit18, f.Edit14, f.Memo3},
        {
            {f.Edit10, "wynik funkcji ksi"},
            {f.Memo3, "bity liczby"},
        },
    };
}

Tab curve(TForm1& f) {
    return {
        f.TabSheet7,
        {row(f.Button5, &TButton::clicked, "Button5Click", experiments::traceCurveAndLoops, true)},
        {f.Button5, f.Chart1, f.Memo2},
        {
            {f.Chart1, "wykres parametryczny"},
            {f.Memo2, "ślady pętli"},
        },
    };
}

Tab bitmap(TForm1& f) {
    return {
        f.TabSheet8,
        {row(f.Button7, &TButton::clicked, "Button7Click", experiments::drawRamp, true),
         row(f.RedMax, &TTrackBar::changed, "Button7Click", experiments::drawRamp),
         row(f.GreenMax, &TTrackBar::changed, "Button7Click", experiments::drawRamp),
         row(f.BlueMax, &TTrackBar::changed, "Button7Click", experiments::drawRamp)},
        // Each colour's name above its track bar, then the save choice and the button that uses them.
        {f.Edit13, f.RedMax, f.Edit12, f.GreenMax, f.Edit11, f.BlueMax, f.CheckBox1, f.Button7},
        {
            {f.Edit13, "RED"},
            {f.Edit12, "GREEN"},
            {f.Edit11, "BLUE"},
            {f.RedMax, "red color max"},
            {f.GreenMax, "green color max"},
            {f.BlueMax, "blue color max"},
        },
    };
}

} // namespace

std::vector<Tab> homes(TForm1& form) {
    return {placeholders(form), complexProduct(form), roundingAndMatrices(form),
            timing(form),       cubicAndEaster(form), bits(form),
            curve(form),        bitmap(form)};
}

void runMainActions(const Tab& tab) {
    for (const HandlerRow& r : tab.handlers)
        if (r.mainAction)
            r.send();
}

} // namespace tabs
