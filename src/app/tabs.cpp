#include "tabs.h"

#include <QGuiApplication>
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
#include "ui/TPointSeries.h"
#include "ui_TabSheet1.h"
#include "ui_TabSheet2.h"
#include "ui_TabSheet3.h"
#include "ui_TabSheet4.h"
#include "ui_TabSheet5.h"
#include "ui_TabSheet6.h"
#include "ui_TabSheet7.h"
#include "ui_TabSheet8.h"

namespace tabs {

namespace {

using experiments::Controls;
using numtext::FormatSettings;

void nothing(Controls&, const FormatSettings&) {}

// Pointer sizes are half-widths: a pointer of size n is 2n + 1 pixels across, so that the sizes 1
// and 2 of the series still give markers one can see.
int pointerPixels(int size) { return 2 * size + 1; }

void makeSeries(TChart* chart, const char* name, const QString& title, const QColor& color,
                TPointSeries::PointerStyle style, int size, const QColor& fill, bool outline) {
    auto* series = new TPointSeries();
    series->setObjectName(QString::fromLatin1(name));
    series->setTitle(title);
    series->setColor(color);
    series->setPointerStyle(style);
    series->setPointerSize(pointerPixels(size));
    series->setPointerFill(fill);
    series->setPointerOutline(outline);
    series->setXValuesAscending(true);
    chart->addSeries(series);
}

Tab placeholders(TTabSheet* page) {
    Ui::TabSheet1 f;
    f.setupUi(page);
    return {
        page,
        // Both buttons are placeholders and do nothing.
        {row(f.Button3, &TButton::clicked, "Button3Click", nothing),
         row(f.Button8, &TButton::clicked, "Button3Click", nothing)},
        {f.Button3, f.Button8},
        {},
    };
}

Tab complexProduct(TTabSheet* page) {
    Ui::TabSheet2 f;
    f.setupUi(page);
    // The product remembers its numbers from one press to the next.
    auto product = std::make_shared<experiments::ComplexProduct>();
    const Experiment multiply = [product](Controls& w, const FormatSettings& fs) {
        product->multiply(w, fs);
    };
    return {
        page,
        {row(f.BitBtn3, &TBitBtn::clicked, "BitBtn3Click", multiply, true)},
        {f.Edit6, f.Edit7, f.Edit8, f.Edit9, f.BitBtn3, f.LabeledEdit12, f.LabeledEdit13},
        {
            {f.Edit6, "pierwsza liczba: część rzeczywista"},
            {f.Edit7, "pierwsza liczba: część urojona"},
            {f.Edit8, "druga liczba: część rzeczywista"},
            {f.Edit9, "druga liczba: część urojona"},
            {f.BitBtn3, "Click: pomnóż liczby"},
        },
    };
}

Tab roundingAndMatrices(TForm1& form, TTabSheet* page) {
    Ui::TabSheet3 f;
    f.setupUi(page);
    QPalette moneyGreen = f.LabeledEdit1->label()->palette();
    moneyGreen.setColor(QPalette::Window, QColor(192, 220, 192));
    f.LabeledEdit1->label()->setPalette(moneyGreen);
    f.LabeledEdit1->label()->setAutoFillBackground(true);
    return {
        page,
        {
            // A click on the window's own surface rounds as "< --- Caculate" does, whichever tab is
            // in front.
            row(&form, &TForm1::clicked, "Button1Click", experiments::roundChosenNumber),
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
            {f.BitBtn2, "BitBtn2: reszta z dzielenia i część całkowita ilorazu"},
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

Tab timing(TTabSheet* page) {
    Ui::TabSheet5 f;
    f.setupUi(page);
    QPalette yellow = f.Label2->palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 0));
    f.Label2->setPalette(yellow);
    QFont thirteen = f.Label2->font();
    thirteen.setPixelSize(13);
    f.Label2->setFont(thirteen);
    // A combo box that shows a text without selecting an item, which a form resource cannot say.
    f.CB2->setItemIndex(-1);
    f.CB2->setAnsiText("1e+3");
    // The caption beside the count names it, as a labelled edit's label does.
    f.Label1->setBuddy(f.CB2);
    // A pause in typing converts a number, never a text still on its way to one ("1e", or the box
    // emptied to type anew): that waits for Enter or for the focus to leave.
    f.CB2->setComplete([](const std::string& text) {
        return experiments::countIsNumber(text, TApplication::formatSettings());
    });

    const Experiment timeLoops = [](Controls& w, const FormatSettings& fs) {
        experiments::timeThreeLoops(w, fs, numtext::Time);
    };
    return {
        page,
        // The count's conversions first: the timing then runs with the count they show.
        {row(f.CB2, &TComboBox::changed, "CB2Change", experiments::convertCount, true),
         row(f.Button2, &TButton::clicked, "Button2Click", timeLoops, true)},
        {f.E2, f.E1, f.E3, f.LE22, f.LE21, f.LE23, f.CB2, f.Button2, f.LabeledE1, f.LabeledE2, f.LabeledE3},
        {
            {f.E2, "czas: przekazanie przez wartość"},
            {f.E1, "czas: przekazanie przez referencję"},
            {f.E3, "czas: przekazanie przez adres / wskaźnik"},
            // Three fields under one caption: each holds the time of the run above it, in days.
            {f.LE22, "wartosc DateTime.Val = czasu przekazania przez wartość"},
            {f.LE21, "wartosc DateTime.Val = czasu przekazania przez referencję"},
            {f.LE23, "wartosc DateTime.Val = czasu przekazania przez adres / wskaźnik"},
        },
    };
}

void writeGridHeadings(Ui::TabSheet4& f) {
    f.Dane->setCell(0, 0, " a =");
    f.Dane->setCell(0, 1, " b =");
    f.Dane->setCell(0, 2, " c = ");
    f.Dane->setCell(0, 3, " d =");
    f.Dane->setCell(1, 0, "1");
    f.Dane->setCell(1, 1, "-9");
    f.Dane->setCell(1, 2, "27");
    f.Dane->setCell(1, 3, "-27");
    f.Eq3->setCell(0, 0, "   root");
    f.Eq3->setCell(1, 0, "   realis");
    f.Eq3->setCell(2, 0, "   imaginalis");
    f.Eq3->setCell(3, 0, "   value for root /abs/");
    f.Eq3->setCell(0, 1, "   x1   =");
    f.Eq3->setCell(0, 2, "   x2   =");
    f.Eq3->setCell(0, 3, "   x3  =");
}

void setUpEasterChart(TChart* chart) {
    using Style = TPointSeries::PointerStyle;
    makeSeries(chart, "Series2", QStringLiteral("marzec"), Qt::red, Style::Square, 2, QColor(255, 255, 0),
               true);
    makeSeries(chart, "Series3", QStringLiteral("kwiecień"), QColor(0, 128, 0), Style::Square, 2,
               QColor(0, 255, 0), true);

    // Days of the month on a fixed scale, 0 to 31; the points of -1 fall below it. The ticks are
    // labelled down from 31, so that the last day of March can be read, as many as there is room
    // for, with a minor grid line on every day. Years on whole numbers, each once.
    QCPAxis* days = chart->leftAxis();
    days->setRange(0, 31);
    chart->setWholeTicks(days, TChart::WholeTicks::DownFromMaximum);
    chart->setWholeTicks(chart->bottomAxis(), TChart::WholeTicks::Multiples);
    days->setLabel(QStringLiteral("dzień miesiąca"));
    days->setLabelColor(QColor(0, 0, 255));
    QFont arial(QStringLiteral("Arial"));
    arial.setPixelSize(13);
    days->setLabelFont(arial);
}

Tab cubicAndEaster(TTabSheet* page) {
    Ui::TabSheet4 f;
    f.setupUi(page);
    writeGridHeadings(f);
    setUpEasterChart(f.Chart2);

    std::vector<QWidget*> order;
    // Of the radio group only the chosen item takes the focus; the arrows move between the items.
    for (int i = 0; i < f.przypadekD->items().size(); ++i)
        order.push_back(f.przypadekD->button(i));
    for (QWidget* w : std::initializer_list<QWidget*>{f.Dane, f.LabeledEdit14, f.Rownanie3, f.LabeledEdit15,
                                                      f.LabeledEdit16, f.Eq3, f.Button6, f.CSpinEdit1,
                                                      f.Wielkanoc, f.Chart2, f.rok1, f.rok2})
        order.push_back(w);
    return {
        page,
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

Tab bits(TTabSheet* page) {
    Ui::TabSheet6 f;
    f.setupUi(page);
    // The caption above the binary digits names their field.
    f.Label3->setBuddy(f.Edit14);
    return {
        page,
        {row(f.Button4, &TButton::clicked, "Button4Click", experiments::harmonicSumAndBits, true)},
        {f.Edit10, f.Button4, f.LabeledEdit18, f.Edit14, f.Memo3},
        {
            {f.Edit10, "wynik funkcji ksi"},
            {f.Memo3, "bity liczby"},
        },
    };
}

Tab curve(TTabSheet* page) {
    Ui::TabSheet7 f;
    f.setupUi(page);
    makeSeries(f.Chart1, "Series1", QStringLiteral("Series1"), Qt::red, TPointSeries::PointerStyle::Circle, 1,
               QColor(0, 128, 255), false);
    return {
        page,
        {row(f.Button5, &TButton::clicked, "Button5Click", experiments::traceCurveAndLoops, true)},
        {f.Button5, f.Chart1, f.Memo2},
        {
            {f.Chart1, "wykres parametryczny"},
            {f.Memo2, "ślady pętli"},
        },
    };
}

Tab bitmap(TTabSheet* page) {
    Ui::TabSheet8 f;
    f.setupUi(page);
    f.Edit11->setColor(QGuiApplication::palette().color(QPalette::Highlight));
    return {
        page,
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

std::vector<Home> homes(TForm1& form) {
    return {
        {"TabSheet1", "Wykres", false, placeholders},
        {"TabSheet2", "Liczby zespolone", false, complexProduct},
        {"TabSheet3", "Funkcje specjalne / Macierze", false,
         [&form](TTabSheet* page) { return roundingAndMatrices(form, page); }},
        {"TabSheet5", "Referencje/ wskaznik", false, timing},
        {"TabSheet4", "Rownanie 3-go stopnia", false, cubicAndEaster},
        {"TabSheet6", "Dzialanie Unit_Funkcje/dzialania na bitach", false, bits},
        {"TabSheet7", "Wykres parametryczny  / i++, ++i, i...pętle", true, curve},
        {"TabSheet8", "DIB bitmap", false, bitmap},
    };
}

void runMainActions(const Tab& tab) {
    for (const HandlerRow& r : tab.handlers)
        if (r.mainAction)
            r.send();
}

} // namespace tabs
