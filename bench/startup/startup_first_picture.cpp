// A second reference: Kestrova's first picture and nothing more, in plain Qt and QCustomPlot. The window has
// the form's size and shows what the program shows at start-up (the eight tab captions, the curve tab's
// button, an empty chart with its two axes and title, a memo, a status bar), but none of the other
// controls, none of their texts and no caption fitting (its tab bar scrolls instead). Whatever start-up costs
// beyond this is the program's own; what this costs beyond the minimal window is the price of the picture
// itself: the font system's first use, text shaping, the chart's layout and drawing.

#include <QApplication>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <qcustomplot.h>

#include "shown_probe.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ShownProbe probe;
    // The program's font: the desktop's sans serif at 8 points.
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    QApplication::setFont(font);
    QWidget window;
    window.resize(1110, 746);

    auto* pages = new QTabWidget(&window);
    pages->setGeometry(8, 24, 1097, 649);
    for (const char* caption :
         {"Wykres", "Liczby zespolone", "Funkcje specjalne / Macierze", "Referencje/ wskaznik",
          "Rownanie 3-go stopnia", "Dzialanie Unit_Funkcje/dzialania na bitach",
          "Wykres parametryczny  / i++, ++i, i...p\u0119tle", "DIB bitmap"}) {
        pages->addTab(new QWidget, QString::fromUtf8(caption));
    }
    pages->setCurrentIndex(6);
    QWidget* curve = pages->widget(6);

    (new QPushButton(QString::fromUtf8("Wykres parametryczny / p\u0119tle "), curve))
        ->setGeometry(24, 40, 225, 33);
    auto* chart = new QCustomPlot(curve);
    chart->setGeometry(24, 112, 689, 361);
    chart->plotLayout()->insertRow(0);
    chart->plotLayout()->addElement(0, 0, new QCPTextElement(chart, QStringLiteral("TChart")));
    auto* memo = new QPlainTextEdit(curve);
    memo->setGeometry(856, 16, 193, 593);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    (new QStatusBar(&window))->setGeometry(0, 722, 1110, 24);

    window.show();
    return QApplication::exec();
}
