// What the user sees before touching anything: the windows, the tabs, every control with its
// start-up text, the grid headings.

#include <QFontDatabase>
#include <QLabel>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

#include <set>
#include <string>
#include <vector>

#include "app_test_support.h"
#include "program.h"
#include "ui/TSavePictureDialog.h"
#include "ui/screen_fit.h"

namespace {

std::vector<std::string> itemsOf(const QComboBox* box) {
    std::vector<std::string> items;
    for (int i = 0; i < box->count(); ++i)
        items.push_back(box->itemText(i).toStdString());
    return items;
}

} // namespace

using MainWindow = FormTest;

TEST_F(MainWindow, HasItsCaptionAndClientSize) {
    EXPECT_EQ(Form1->objectName(), "Form1");
    EXPECT_EQ(Form1->windowTitle(), "Kestrova");
    EXPECT_EQ(Form1->size(), QSize(1110, 746));
    // The desktop's sans serif at the form's 8 points.
    EXPECT_EQ(Form1->font().family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    EXPECT_EQ(Form1->font().pointSize(), 8);
    EXPECT_EQ(Form1->palette().color(QPalette::Window), Form1->palette().color(QPalette::Button));
    EXPECT_EQ(find<TPageControl>("PageControl1")->geometry(), QRect(8, 24, 1097, 649));
}

TEST_F(MainWindow, ShowsItsTabsInOrderWithTheParametricCurveInFront) {
    struct Tab {
        const char* sheet;
        const char* caption;
    };
    const Tab tabs[] = {
        {"TabSheet1", "Wykres"},
        {"TabSheet2", "Liczby zespolone"},
        {"TabSheet3", "Funkcje specjalne / Macierze"},
        {"TabSheet5", "Referencje/ wskaznik"},
        {"TabSheet4", "Rownanie 3-go stopnia"},
        {"TabSheet6", "Dzialanie Unit_Funkcje/dzialania na bitach"},
        {"TabSheet7", "Wykres parametryczny  / i++, ++i, i...pętle"},
        {"TabSheet8", "DIB bitmap"},
    };
    // The page control shows the pages of the tabs' homes, in their order; among them these eight,
    // in this order and with these captions.
    auto* pages = find<TPageControl>("PageControl1");
    const std::vector<tabs::Tab>& homes = Form1->tabHomes();
    ASSERT_EQ(pages->count(), static_cast<int>(homes.size()));
    int next = 0;
    for (int i = 0; i < pages->count(); ++i) {
        EXPECT_EQ(pages->widget(i), homes[static_cast<std::size_t>(i)].page) << i;
        EXPECT_NE(qobject_cast<TTabSheet*>(pages->widget(i)), nullptr) << i;
        if (next < std::ssize(tabs) && pages->widget(i)->objectName() == QLatin1String(tabs[next].sheet)) {
            EXPECT_EQ(pages->tabText(i).toStdString(), tabs[next].caption);
            ++next;
        }
    }
    EXPECT_EQ(next, std::ssize(tabs)) << "the sheet not found in its place: " << tabs[next].sheet;
    Form1->show();
    EXPECT_EQ(pages->currentWidget()->objectName(), "TabSheet7");
}

TEST_F(MainWindow, KeepsTheStatusBarDockedAtTheBottom) {
    auto* status = find<TStatusBar>("StatusBar1");
    EXPECT_EQ(status->geometry(), QRect(0, 722, 1110, 24));
    Form1->show();
    Form1->resize(1300, 800);
    EXPECT_EQ(status->geometry(), QRect(0, 800 - 24, 1300, 24));
    EXPECT_TRUE(status->currentMessage().isEmpty());
    ASSERT_EQ(status->panelCount(), 2);
    for (int i = 0; i < 2; ++i)
        EXPECT_TRUE(status->panel(i)->text().isEmpty()) << "panel " << i;
}

TEST_F(MainWindow, ConstructorWritesTheFifteenGridCellsAndNothingElse) {
    auto* dane = find<TStringGrid>("Dane");
    auto* eq3 = find<TStringGrid>("Eq3");
    const std::vector<std::vector<std::string>> daneRows = {
        {" a =", "1"}, {" b =", "-9"}, {" c = ", "27"}, {" d =", "-27"}};
    const std::vector<std::vector<std::string>> eq3Rows = {
        {"   root", "   realis", "   imaginalis", "   value for root /abs/"},
        {"   x1   =", "", "", ""},
        {"   x2   =", "", "", ""},
        {"   x3  =", "", "", ""}};
    ASSERT_EQ(dane->property("colCount").toInt(), 2);
    ASSERT_EQ(dane->property("rowCount").toInt(), 4);
    ASSERT_EQ(eq3->property("colCount").toInt(), 4);
    ASSERT_EQ(eq3->property("rowCount").toInt(), 4);
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 2; ++col)
            EXPECT_EQ(dane->cell(col, row), daneRows[row][col]) << "Dane (" << col << ", " << row << ")";
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col)
            EXPECT_EQ(eq3->cell(col, row), eq3Rows[row][col]) << "Eq3 (" << col << ", " << row << ")";
    EXPECT_EQ(dane->property("fixedCols").toInt(), 1);
    EXPECT_EQ(dane->property("fixedRows").toInt(), 0);
    EXPECT_TRUE(dane->property("editable").toBool());
    EXPECT_EQ(eq3->property("fixedCols").toInt(), 1);
    EXPECT_EQ(eq3->property("fixedRows").toInt(), 1);
    EXPECT_FALSE(eq3->property("editable").toBool());
    EXPECT_EQ(eq3->layoutDirection(), Qt::RightToLeft);
}

// Every control the handlers reach, under its name and with its class, on its tab.
TEST_F(MainWindow, HasEveryControlOnItsTab) {
    struct Placement {
        const char* sheet;
        std::vector<const char*> names;
    };
    const std::vector<Placement> placements = {
        {"TabSheet1", {"Button3", "Button8"}},
        {"TabSheet2",
         {"GroupBox6", "Edit6", "Edit7", "Edit8", "Edit9", "LabeledEdit12", "LabeledEdit13", "BitBtn3"}},
        {"TabSheet3",
         {"GroupBox5",    "LabeledEdit8",  "LabeledEdit9", "LabeledEdit10", "LabeledEdit11", "BitBtn2",
          "GroupBox4",    "ComboBox1",     "LabeledEdit1", "LabeledEdit2",  "LabeledEdit20", "GroupBox2",
          "LabeledEdit6", "LabeledEdit7",  "Button1",      "GroupBox1",     "LabeledEdit3",  "LabeledEdit4",
          "LabeledEdit5", "LabeledEdit17", "BitBtn1",      "Memo1",         "GroupBox7",     "LabeledEdit19",
          "Edit1",        "Edit2",         "Edit3",        "Edit4",         "Edit5",         "Macierze"}},
        {"TabSheet5",
         {"Label2", "GroupBox3", "E1", "E2", "E3", "LE21", "LE22", "LE23", "Label1", "CB2", "Button2",
          "LabeledE1", "LabeledE2", "LabeledE3"}},
        {"TabSheet4",
         {"przypadekD", "Dane", "LabeledEdit14", "Rownanie3", "LabeledEdit15", "LabeledEdit16", "Eq3",
          "Button6", "CSpinEdit1", "Wielkanoc", "Chart2", "rok1", "rok2"}},
        {"TabSheet6", {"Edit10", "Button4", "LabeledEdit18", "Label3", "Edit14", "Memo3"}},
        {"TabSheet7", {"Button5", "Chart1", "Memo2"}},
        {"TabSheet8",
         {"Button7", "RedMax", "GreenMax", "BlueMax", "Edit11", "Edit12", "Edit13", "CheckBox1"}},
    };
    for (const Placement& p : placements) {
        auto* sheet = find<TTabSheet>(p.sheet);
        for (const char* name : p.names) {
            auto* widget = find<QWidget>(name);
            EXPECT_TRUE(sheet->isAncestorOf(widget)) << name << " is not on " << p.sheet;
            EXPECT_EQ(Form1->findChildren<QWidget*>(QString::fromLatin1(name)).size(), 1) << name;
        }
    }
    // The class of each control decides the operations the handlers use on it.
    for (const char* name : {"Edit1", "Edit6", "Edit10", "Edit14", "E1", "Edit11"})
        EXPECT_NE(qobject_cast<TEdit*>(find<QWidget>(name)), nullptr) << name;
    for (const char* name :
         {"LabeledEdit1", "LabeledEdit20", "LE21", "LabeledE3", "Wielkanoc", "LabeledEdit18"})
        EXPECT_NE(qobject_cast<TLabeledEdit*>(find<QWidget>(name)), nullptr) << name;
    for (const char* name : {"BitBtn1", "BitBtn2", "BitBtn3", "Rownanie3"})
        EXPECT_NE(qobject_cast<TBitBtn*>(find<QWidget>(name)), nullptr) << name;
    for (const char* name : {"Memo1", "Memo2", "Memo3"})
        EXPECT_NE(qobject_cast<TMemo*>(find<QWidget>(name)), nullptr) << name;
    for (const char* name : {"CSpinEdit1", "rok1", "rok2"})
        EXPECT_NE(qobject_cast<TCSpinEdit*>(find<QWidget>(name)), nullptr) << name;
    for (const char* name : {"RedMax", "GreenMax", "BlueMax"})
        EXPECT_NE(qobject_cast<TTrackBar*>(find<QWidget>(name)), nullptr) << name;
    EXPECT_NE(control<TSavePictureDialog>(Form1, "SavePictureDialog1"), nullptr);
}

// Each labelled edit's caption is a label 3 pixels above it that names the edit as its buddy.
TEST_F(MainWindow, PutsEveryLabelThreePixelsAboveItsEdit) {
    const QList<TLabeledEdit*> edits = Form1->findChildren<TLabeledEdit*>();
    EXPECT_EQ(edits.size(), 27);
    for (TLabeledEdit* edit : edits) {
        SCOPED_TRACE(edit->objectName().toStdString());
        QLabel* label = edit->label();
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->buddy(), edit);
        EXPECT_EQ(label->parentWidget(), edit->parentWidget());
        EXPECT_EQ(label->x(), edit->x());
        EXPECT_EQ(label->y() + label->height() + 3, edit->y());
    }
}

TEST_F(MainWindow, ShowsTheStartUpTextsOfEveryTab) {
    struct Text {
        const char* name;
        std::string text;
    };
    const Text editTexts[] = {
        {"Edit6", "2,0"},
        {"Edit7", "3,0"},
        {"Edit8", "-1,0"},
        {"Edit9", "5,0"},
        {"LabeledEdit12", ""},
        {"LabeledEdit13", ""},
        {"LabeledEdit8", "3"},
        {"LabeledEdit9", "4"},
        {"LabeledEdit10", ""},
        {"LabeledEdit1", "floor"},
        {"LabeledEdit2", "ceil"},
        {"LabeledEdit20", "int ( )"},
        {"LabeledEdit7", "abs"},
        {"LabeledEdit17", "static const long double"},
        {"LabeledEdit19", ""},
        {"Edit1", "Edit3"},
        {"Edit2", "Edit1"},
        {"Edit3", "qqq"},
        {"Edit5", "Edit5"},
        {"E2", "E2"},
        {"E1", "E1"},
        {"E3", "E3"},
        {"LE22", ""},
        {"LabeledE2", ""},
        {"LabeledEdit14", ""},
        {"Wielkanoc", ""},
        {"Edit10", "wynik dzialania funkcji zdefiniowanej w Unit_Funkcje"},
        {"LabeledEdit18", "271"},
        {"Edit14", "metoda I ( & = and)"},
        {"Edit13", "RED"},
        {"Edit12", "GREEN"},
        {"Edit11", "BLUE"},
    };
    for (const Text& t : editTexts)
        EXPECT_EQ(find<TEdit>(t.name)->ansiText(), t.text) << t.name;

    const Text labels[] = {
        {"LabeledEdit12", "iloczyn.re = "},
        {"LabeledEdit13", "iloczyn.im ="},
        {"LabeledEdit11", "floor (x/y) = "},
        {"LabeledEdit2", "celi ="},
        {"LabeledEdit19", "macierz przez wskaźnik"},
        {"LE22", "wartosc  DateTime.Val   ="},
        {"LE23", "wartosc  DateTime.Val ="},
        {"LabeledE1", "Liczba dzialan po konwersji:  unsigned __int 32"},
        {"LabeledEdit14", "wyrożnik row. 3-go stopnia D =  "},
        {"LabeledEdit15", "   p  ="},
        {"Wielkanoc", "data Niedzieli Wielkanocnej  ="},
        {"LabeledEdit18", "liczba zamieniana na binarną = "},
    };
    for (const Text& t : labels)
        EXPECT_EQ(find<TLabeledEdit>(t.name)->label()->text().toStdString(), t.text) << t.name;

    const Text captions[] = {
        {"Button3",
         "Pokaz / ukryj wykres   (Nie dziala gdy Options >> Packages >> Build with runtime packages - "
         "odznaczono np. dla kompilacji do pelnego zbioru *.exe ) oraz chartfx uniemozliwia dzialanie "
         "*.exe !"},
        {"BitBtn3", "Click"},
        {"BitBtn2", "BitBtn2"},
        {"Button1", "< --- Caculate"},
        {"BitBtn1", "pokaz wartosc Pi"},
        {"Macierze", "< --- Macierze"},
        {"Button2", "pokaz czasy obliczen dla trzech wariantow deklaracji zmiennej  "},
        {"Rownanie3", "Oblicz pierwiastki"},
        {"Button6", "Podaj datę Niedzieli Wielkanocnej w roku  ="},
        {"Button4", "wykorzystaj funkcje ksi /  dzialanie  na bitach"},
        {"Button5", "Wykres parametryczny / pętle "},
        {"Button7", "Bitmap DIB Device Independent Bitmap"},
        {"CheckBox1", "zapisz bitmape DIB"},
    };
    for (const Text& t : captions)
        EXPECT_EQ(find<QAbstractButton>(t.name)->text().toStdString(), t.text) << t.name;

    EXPECT_EQ(find<TLabel>("Label3")->text().toStdString(), "postac  binarna  liczby  = ");
    EXPECT_EQ(find<TLabel>("Label1")->text().toStdString(), "podaj  liczbę dzialań * oraz /");
    EXPECT_EQ(find<TGroupBox>("GroupBox4")->title().toStdString(), "floor / ceil  / int ( )");
    EXPECT_EQ(find<TGroupBox>("GroupBox2")->title().toStdString(), "fabs  / abs  functions results");
    EXPECT_EQ(find<TGroupBox>("GroupBox3")->title().toStdString(),
              "  przekazanie przez: wartosc   ---------------------------     przez   referencje     "
              "----------------------------    przez adres / wskaznik  ");
    EXPECT_EQ(find<TMemo>("Memo1")->lines(), std::vector<std::string>{"Memo1"});
    EXPECT_EQ(find<TMemo>("Memo2")->lineCount(), 0);
    EXPECT_EQ(find<TMemo>("Memo3")->lines(),
              (std::vector<std::string>{"metoda I ( & = and)", "", "oraz ", "", "metoda II (^ = xor):"}));
    EXPECT_EQ(find<TButton>("Macierze")->toolTip(), "operacje na macierzach");
}

TEST_F(MainWindow, StartsTheListsWithTheirItemsAndSelections) {
    auto* combo1 = find<TComboBox>("ComboBox1");
    EXPECT_EQ(itemsOf(combo1),
              (std::vector<std::string>{"1,0", "1", "1,999999", "2", "2,000000", "2,000001", "-3,000001",
                                        "-3,000000", "-3", "-2,999999", "1,49999999", "1,50000000",
                                        "1,50000001", "-1,49999999", "-1,50000000", "-1,50000001", ""}));
    EXPECT_EQ(combo1->itemIndex(), 2);
    EXPECT_EQ(combo1->ansiText(), "1,999999");

    auto* cb2 = find<TComboBox>("CB2");
    const std::vector<std::string> counts = itemsOf(cb2);
    ASSERT_EQ(counts.size(), 24u);
    EXPECT_EQ(counts.front(), "1e+3");
    EXPECT_EQ(counts[6], "5e+9");
    EXPECT_EQ(counts[22], "1e+4900");
    EXPECT_EQ(counts.back(), "1e+5000");
    EXPECT_EQ(cb2->itemIndex(), -1);
    EXPECT_EQ(cb2->ansiText(), "1e+3");

    auto* radio = find<TRadioGroup>("przypadekD");
    EXPECT_EQ(radio->title(), "przypadek");
    EXPECT_EQ(radio->property("items").toStringList(),
              (QStringList{"podaj dane ->", "D > 0", "D = 0", "D < 0"}));
    EXPECT_EQ(radio->itemIndex(), 0);
}

TEST_F(MainWindow, StartsTheYearFieldsAndTrackBarsAtTheirValues) {
    struct Spin {
        const char* name;
        std::string text;
        int min, max;
    };
    for (const Spin& s : {Spin{"CSpinEdit1", "2011", 1000, 2200}, Spin{"rok1", "2000", 0, 5555},
                          Spin{"rok2", "2020", 0, 5555}}) {
        auto* spin = find<TCSpinEdit>(s.name);
        EXPECT_EQ(spin->ansiText(), s.text) << s.name;
        EXPECT_EQ(spin->property("minValue").toInt(), s.min) << s.name;
        EXPECT_EQ(spin->property("maxValue").toInt(), s.max) << s.name;
    }
    struct Track {
        const char* name;
        int position;
        const char* tip;
    };
    for (const Track& t : {Track{"RedMax", 128, "red color max"}, Track{"GreenMax", 0, "green color max"},
                           Track{"BlueMax", 0, "blue color max"}}) {
        auto* bar = find<TTrackBar>(t.name);
        EXPECT_EQ(bar->position(), t.position) << t.name;
        EXPECT_EQ(bar->minimum(), 0);
        EXPECT_EQ(bar->maximum(), 255);
        EXPECT_EQ(bar->tickInterval(), 10);
        EXPECT_EQ(bar->tickPosition(), QSlider::TicksBelow);
        EXPECT_EQ(bar->toolTip(), t.tip);
    }
    EXPECT_FALSE(find<TCheckBox>("CheckBox1")->isChecked());
}

TEST_F(MainWindow, ColorsTheLabelsOfTheBitmapTab) {
    EXPECT_EQ(find<TEdit>("Edit13")->color(), QColor(255, 0, 0));
    EXPECT_EQ(find<TEdit>("Edit12")->color(), QColor(0, 255, 0));
    for (const char* name : {"Edit11", "Edit12", "Edit13"})
        EXPECT_TRUE(find<TEdit>(name)->isReadOnly()) << name;
    EXPECT_FALSE(find<TEdit>("Edit6")->isReadOnly());
    EXPECT_EQ(find<TLabel>("Label2")->palette().color(QPalette::Window), QColor(255, 255, 0));
    EXPECT_EQ(find<TLabel>("Label2")->font().pixelSize(), 13);
    EXPECT_EQ(find<TButton>("Button8")->font().pointSize(), 12);
    EXPECT_EQ(find<TButton>("Button8")->font().family(), Form1->font().family());
}

TEST_F(MainWindow, GivesTheChartsTheirSeriesInFormOrder) {
    auto* chart1 = find<TChart>("Chart1");
    auto* chart2 = find<TChart>("Chart2");
    ASSERT_EQ(chart1->seriesCount(), 1);
    EXPECT_EQ(chart1->series(0), series("Series1"));
    ASSERT_EQ(chart2->seriesCount(), 2);
    EXPECT_EQ(chart2->series(0), series("Series2"));
    EXPECT_EQ(chart2->series(1), series("Series3"));
    EXPECT_EQ(chart1->title(), "TChart");
    EXPECT_EQ(chart2->title(), "data Niedzieli Wielkanocnej");
    EXPECT_EQ(series("Series2")->plottable()->name(), "marzec");
    EXPECT_EQ(series("Series3")->plottable()->name(), "kwiecień");
    for (TPointSeries* s : {series("Series1"), series("Series2"), series("Series3")}) {
        EXPECT_TRUE(s->property("xValuesAscending").toBool());
        EXPECT_EQ(s->count(), 0);
    }
}

TEST_F(MainWindow, FixesTheDayAxisOfTheEasterChart) {
    Form1->show();
    find<TPageControl>("PageControl1")->setCurrentWidget(find<TTabSheet>("TabSheet4"));
    auto* chart2 = find<TChart>("Chart2");
    // One vertical axis shown: the days, on the left.
    QCPAxis* days = chart2->leftAxis();
    EXPECT_EQ(chart2->axisRect()->axes(QCPAxis::atLeft), QList<QCPAxis*>{days});
    EXPECT_FALSE(chart2->axisRect()->axis(QCPAxis::atRight)->visible());
    EXPECT_TRUE(days->visible());
    EXPECT_TRUE(chart2->bottomAxis()->visible());
    EXPECT_EQ(days->range().lower, 0.0);
    EXPECT_EQ(days->range().upper, 31.0);
    EXPECT_EQ(chart2->wholeTicks(days), TChart::WholeTicks::DownFromMaximum);
    EXPECT_EQ(chart2->wholeTicks(chart2->bottomAxis()), TChart::WholeTicks::Multiples);
    EXPECT_EQ(days->label(), "dzień miesiąca");
    EXPECT_EQ(days->labelColor(), QColor(Qt::blue));
    EXPECT_EQ(days->labelFont().pixelSize(), 13);
}

// Where the screen has room, the window opens at the form's size without scroll bars. On a screen
// with less room (here a netbook's 1024 x 600) it opens within the screen's available area and its
// content scrolls, every control at its place, the status bar reachable; the viewer stays within
// the area too.
TEST_F(MainWindow, OpensWithinTheScreenAndScrollsWhereItHasNoRoom) {
    for (const char* name : {"desktop", "netbook"}) {
        SCOPED_TRACE(name);
        QScreen* screen = nullptr;
        for (QScreen* s : QGuiApplication::screens())
            if (s->name() == QLatin1String(name))
                screen = s;
        if (screen == nullptr)
            GTEST_SKIP() << "needs the screens of tests/app/offscreen_screens.json";
        destroyForms();
        createForms();
        // A window belongs to the screen its place is on; the viewer keeps its place on that screen.
        Form1->move(screen->geometry().topLeft());
        Form2->move(screen->geometry().topLeft() + QPoint(428, 9));
        Form1->show();
        find<TButton>("Button7")->click();
        QApplication::processEvents();

        const QRect area = screen->availableGeometry();
        for (const QWidget* window : {static_cast<QWidget*>(Form1), static_cast<QWidget*>(Form2)})
            EXPECT_TRUE(area.contains(ui::outerGeometry(window)))
                << testing::PrintToString(ui::outerGeometry(window)) << " in "
                << testing::PrintToString(area);
        auto* scroll = Form1->findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        const bool roomy = area.height() > 800;
        EXPECT_EQ(Form1->size() == QSize(1110, 746), roomy);
        EXPECT_EQ(scroll->verticalScrollBar()->isVisible(), !roomy);
        EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible() && roomy);
        EXPECT_EQ(find<TPageControl>("PageControl1")->geometry(), QRect(8, 24, 1097, 649));

        auto* status = find<TStatusBar>("StatusBar1");
        EXPECT_EQ(status->geometry(), QRect(0, 722, 1110, 24));
        scroll->verticalScrollBar()->setValue(scroll->verticalScrollBar()->maximum());
        const QRect shown(status->mapTo(scroll->viewport(), QPoint(0, 0)), status->size());
        EXPECT_TRUE(scroll->viewport()->rect().contains(QRect(shown.topLeft(), QSize(1, shown.height()))))
            << testing::PrintToString(shown);
    }
}

TEST_F(MainWindow, CreatesTheViewerHiddenAtItsPlace) {
    EXPECT_EQ(Form2->objectName(), "Form2");
    EXPECT_EQ(Form2->windowTitle(), "DIB Device Independent Bitmap");
    EXPECT_FALSE(Form2->isVisible());
    EXPECT_EQ(Form2->pos(), QPoint(428, 9));
    EXPECT_TRUE(Form2->findChildren<QWidget*>().isEmpty());
    Form1->show();
    EXPECT_FALSE(Form2->isVisible());
}

namespace {

// Every object of the main window by name and class.
std::set<std::string> namedObjects() {
    std::set<std::string> names;
    for (const QObject* o : Form1->findChildren<QObject*>())
        if (!o->objectName().isEmpty() && !o->objectName().startsWith(QLatin1String("qt_")))
            names.insert(o->objectName().toStdString() + " " + o->metaObject()->className());
    return names;
}

} // namespace

// Started as the program starts, the window builds the page in front only; the other pages follow
// right after the first paint, or before the first input if that comes sooner, and are then the
// same as those of a window that built them all at once.
TEST_F(MainWindow, BuildsThePagesNotInFrontAfterTheFirstPaintOrBeforeTheFirstInput) {
    const std::set<std::string> allAtOnce = namedObjects();
    const auto restart = [] {
        destroyForms();
        createForms(TForm1::Pages::FrontFirst);
        EXPECT_FALSE(Form1->allPagesBuilt());
        EXPECT_NE(Form1->findChild<QWidget*>(QStringLiteral("Button5")), nullptr);
        EXPECT_EQ(Form1->findChild<QWidget*>(QStringLiteral("Edit6")), nullptr);
    };

    restart();
    Form1->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
    QApplication::processEvents();
    EXPECT_TRUE(Form1->allPagesBuilt());
    EXPECT_EQ(namedObjects(), allAtOnce);

    // Ctrl+Tab before the window is ever shown: the next tab's page is there when the keys arrive.
    restart();
    QTest::keyClick(find<TPageControl>("PageControl1")->tabBar(), Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_TRUE(Form1->allPagesBuilt());
    EXPECT_EQ(find<TPageControl>("PageControl1")->currentWidget()->objectName(), "TabSheet8");
    EXPECT_EQ(namedObjects(), allAtOnce);
    find<TButton>("Button7")->click();
    EXPECT_TRUE(shownErrors().empty());
}
