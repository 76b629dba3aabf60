// The experiment tabs end to end, as a user drives them: the window shown, controls clicked and
// typed into, and what then stands in the fields, the charts, the memos, the viewer and the files.

#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QLabel>
#include <QLocale>
#include <QPointF>
#include <QPushButton>
#include <QRadioButton>
#include <QRegion>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpontaneKeyEvent>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTime>
#include <QTimer>
#include <QWheelEvent>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app_test_support.h"
#include "long_steps.h"
#include "program.h"
#include "ui/TApplication.h"
#include "ui/TSavePictureDialog.h"
#include "ui/screen_fit.h"

namespace {

// ---- Driving the window ----

// Replaces the whole text of a field by typing: everything selected, then the new text key by key,
// the first key replacing the selection.
void typeOver(QWidget* field, const QString& text) {
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, text);
}

void click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton); }

// Chooses a list item the way a user does: the list opened, the item clicked.
void choose(TComboBox* box, int index) {
    box->showPopup();
    QAbstractItemView* list = box->view();
    const QModelIndex item = list->model()->index(index, 0);
    list->scrollTo(item);
    const QPoint at = list->visualRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, at);
    ASSERT_FALSE(list->isVisible()) << "the list stayed open";
    ASSERT_EQ(box->itemIndex(), index);
}

// Installs an exception display for the length of a scope.
class DisplayScope {
public:
    explicit DisplayScope(TApplication::ExceptionDisplay display)
        : m_previous(TApplication::setExceptionDisplay(std::move(display))) {}
    ~DisplayScope() { TApplication::setExceptionDisplay(std::move(m_previous)); }
    DisplayScope(const DisplayScope&) = delete;
    DisplayScope& operator=(const DisplayScope&) = delete;

private:
    TApplication::ExceptionDisplay m_previous;
};

class Tabs : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        Form1->show();
        Form1->activateWindow();
        QApplication::setActiveWindow(Form1);
        QApplication::processEvents();
    }

    void showTab(const char* sheet) {
        find<TPageControl>("PageControl1")->setCurrentWidget(find<TTabSheet>(sheet));
        QApplication::processEvents();
    }

    std::string text(const char* name) const { return find<TEdit>(name)->ansiText(); }
    QColor color(const char* name) const { return find<TEdit>(name)->color(); }
    std::vector<std::string> lines(const char* memo) const { return find<TMemo>(memo)->lines(); }

    // The messages the exception display has shown since the test started.
    static std::vector<std::string> messages() {
        std::vector<std::string> shown;
        for (const ShownError& e : shownErrors())
            shown.push_back(e.message);
        return shown;
    }
};

using Texts = std::vector<std::string>;
using Points = std::vector<std::pair<double, double>>;

// The points a chart series was handed, compared exactly (QPointF compares with a tolerance).
Points handed(const TPointSeries* series) {
    Points points;
    for (const QPointF& p : series->handedPoints())
        points.emplace_back(p.x(), p.y());
    return points;
}

QCPAxis* axisOf(const TChart* chart, Qt::Orientation orientation) {
    return orientation == Qt::Vertical ? chart->leftAxis() : chart->bottomAxis();
}

// The labels a chart's axis shows, in the order of their values: the left axis's from the bottom up,
// the bottom axis's from the left. The axis titles are not labels.
Texts axisLabels(const TChart* chart, Qt::Orientation orientation) {
    for (int i = 0; i < 3; ++i) // the chart lays itself out and draws in posted events
        QApplication::processEvents();
    const QCPAxis* axis = axisOf(chart, orientation);
    if (!axis->visible() || !axis->tickLabels())
        return {};
    const QVector<QString> shown = axis->tickVectorLabels();
    Texts labels;
    for (const QString& label : shown)
        labels.push_back(label.toStdString());
    return labels;
}

// The pixels along the axis each label of a chart's axis covers, in the order of the labels.
std::vector<std::pair<double, double>> labelSpans(const TChart* chart, Qt::Orientation orientation) {
    const QCPAxis* axis = axisOf(chart, orientation);
    const QFontMetricsF metrics(axis->tickLabelFont());
    std::vector<std::pair<double, double>> spans;
    for (qsizetype i = 0; i < axis->tickVector().size(); ++i) {
        const double at = axis->coordToPixel(axis->tickVector()[i]);
        const double size = orientation == Qt::Horizontal
                                ? metrics.horizontalAdvance(axis->tickVectorLabels()[i])
                                : metrics.height();
        spans.emplace_back(at - size / 2, at + size / 2);
    }
    std::sort(spans.begin(), spans.end());
    return spans;
}

// Whether labels of an axis overlap one another.
bool labelsOverlap(const TChart* chart, Qt::Orientation orientation) {
    const auto spans = labelSpans(chart, orientation);
    for (std::size_t i = 1; i < spans.size(); ++i)
        if (spans[i].first < spans[i - 1].second)
            return true;
    return false;
}

const QColor kYellow(255, 255, 0);
const QColor kLime(0, 255, 0);

// ---- Tab "Rownanie 3-go stopnia": the cubic equation ----

class CubicTab : public Tabs {
protected:
    void SetUp() override {
        Tabs::SetUp();
        showTab("TabSheet4");
    }
    // D, p, q and the nine result cells, in reading order.
    Texts results() const {
        Texts r = {text("LabeledEdit14"), text("LabeledEdit15"), text("LabeledEdit16")};
        auto* eq3 = find<TStringGrid>("Eq3");
        for (int row = 1; row <= 3; ++row)
            for (int col = 1; col <= 3; ++col)
                r.push_back(eq3->cell(col, row));
        return r;
    }
    Texts coefficients() const {
        auto* dane = find<TStringGrid>("Dane");
        return {dane->cell(1, 0), dane->cell(1, 1), dane->cell(1, 2), dane->cell(1, 3)};
    }
    QRadioButton* item(int index) const { return find<TRadioGroup>("przypadekD")->button(index); }

    // Types into a coefficient cell as a user does: the cell chosen, the text typed, Enter.
    void typeCell(int row, const QString& text) {
        auto* dane = find<TStringGrid>("Dane");
        dane->setFocus();
        dane->setCurrentCell(row, 1); // Qt counts rows first
        QTest::keyClicks(dane, text.left(1));
        QWidget* editor = QApplication::focusWidget();
        ASSERT_NE(editor, nullptr);
        ASSERT_NE(editor, dane) << "typing did not open the cell's editor";
        QTest::keyClicks(editor, text.mid(1));
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the editor hands its text over through a queued call
        ASSERT_EQ(dane->cell(1, row), text.toStdString());
    }
};

// "D = 0" is the case where the extended intermediates matter: rounded to double at every step the
// discriminant would come out exactly 0.
TEST_F(CubicTab, ClickingDEqualsZeroSolvesAtOnce) {
    click(item(2));
    EXPECT_EQ(find<TRadioGroup>("przypadekD")->itemIndex(), 2);
    EXPECT_TRUE(item(2)->isChecked());
    EXPECT_EQ(coefficients(), (Texts{"1", "-13", "35", "49"}));
    EXPECT_EQ(text("LabeledEdit14"), "1,99562588676372E-14");
    EXPECT_TRUE(shownErrors().empty());
}

TEST_F(CubicTab, ClickingTheSelectedItemAgainRunsNothing) {
    click(item(2));
    ASSERT_EQ(text("LabeledEdit14"), "1,99562588676372E-14");
    const Texts solved = results();

    // A run would write the preset's "1" back over the typed coefficient.
    typeCell(0, QStringLiteral("5"));
    std::vector<std::string> ran;
    const auto previous = TForm1::setHandlerObserver([&](std::string_view h) { ran.emplace_back(h); });
    click(item(2));
    TForm1::setHandlerObserver(previous);

    EXPECT_TRUE(ran.empty());
    EXPECT_EQ(coefficients(), (Texts{"5", "-13", "35", "49"}));
    EXPECT_EQ(results(), solved);
    EXPECT_EQ(find<TRadioGroup>("przypadekD")->itemIndex(), 2);

    // Choosing another item and coming back does solve again, with the preset restored.
    click(item(1));
    click(item(2));
    EXPECT_EQ(coefficients(), (Texts{"1", "-13", "35", "49"}));
    EXPECT_EQ(results(), solved);
}

TEST_F(CubicTab, AnUnreadableCoefficientIsReportedAndChangesNoResult) {
    click(find<TBitBtn>("Rownanie3"));
    const Texts tripleRoot = results();
    ASSERT_EQ(tripleRoot, (Texts{"0", "0", "0", "3", "0", "0,0000E+000", "3", "0", "0,0000E+000", "3", "0",
                                 "0,0000E+000"}));

    typeCell(2, QStringLiteral("x"));
    click(find<TBitBtn>("Rownanie3"));
    EXPECT_EQ(messages(), Texts{"'x' is not a valid floating point value."});
    EXPECT_EQ(results(), tripleRoot);
    EXPECT_EQ(coefficients(), (Texts{"1", "-9", "x", "-27"}));
    EXPECT_EQ(find<TRadioGroup>("przypadekD")->itemIndex(), 0);
}

// ---- The same tab: the date of Easter and its chart ----

class EasterTab : public CubicTab {
protected:
    TCSpinEdit* year() const { return find<TCSpinEdit>("CSpinEdit1"); }
};

TEST_F(EasterTab, TypingAYearShowsItsEasterAtOnce) {
    typeOver(year(), QStringLiteral("2008"));
    EXPECT_EQ(year()->ansiText(), "2008");
    EXPECT_EQ(text("Wielkanoc"), "dn. 23-go  miesiąca 3");

    // Two keys back and two new digits: 2010, in April, with a one-digit day.
    QTest::keyClick(year(), Qt::Key_Backspace);
    QTest::keyClick(year(), Qt::Key_Backspace);
    QTest::keyClicks(year(), QStringLiteral("10"));
    EXPECT_EQ(year()->ansiText(), "2010");
    EXPECT_EQ(text("Wielkanoc"), "dn. 4-go  miesiąca 4");

    // The arrow key steps the year and the date follows: 2011 is the 24th of April.
    QTest::keyClick(year(), Qt::Key_Up);
    EXPECT_EQ(year()->ansiText(), "2011");
    EXPECT_EQ(text("Wielkanoc"), "dn. 24-go  miesiąca 4");
    EXPECT_TRUE(shownErrors().empty());
}

// A text that is no year reads as the field's minimum, which the field then shows; showing it is a
// change of its own, so the date is computed again inside the first run.
TEST_F(EasterTab, ABadYearTextBecomesTheMinimumAndRunsTheHandlerNested) {
    std::vector<std::string> ran;
    const auto previous = TForm1::setHandlerObserver([&](std::string_view h) { ran.emplace_back(h); });
    QTest::keyClick(year(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(year(), QStringLiteral("a"));
    const std::vector<std::string> afterFirstKey = ran;
    QTest::keyClicks(year(), QStringLiteral("bc"));
    TForm1::setHandlerObserver(previous);

    EXPECT_EQ(afterFirstKey, (Texts{"Button6Click", "Button6Click"}));
    EXPECT_EQ(ran.size(), 6u); // "1000b" and "1000c" fall back the same way
    EXPECT_EQ(year()->ansiText(), "1000");
    EXPECT_TRUE(shownErrors().empty());
}

TEST_F(EasterTab, TheChartHoldsOnePointPerYearInEachMonthsSeries) {
    click(find<TButton>("Button6"));

    // What the chart itself was handed, not only what the series keeps.
    const Points march = handed(series("Series2"));
    const Points april = handed(series("Series3"));
    ASSERT_EQ(march.size(), 21u);
    ASSERT_EQ(april.size(), 21u);
    EXPECT_EQ(march[8], (std::pair{2008.0, 23.0}));
    EXPECT_EQ(april[11], (std::pair{2011.0, 24.0}));
    EXPECT_EQ(march[13], (std::pair{2013.0, 31.0}));
    EXPECT_EQ(march[16], (std::pair{2016.0, 27.0}));

    // A second run replaces the points rather than adding to them.
    click(find<TButton>("Button6"));
    EXPECT_EQ(handed(series("Series2")), march);
    EXPECT_EQ(handed(series("Series3")), april);
}

TEST_F(EasterTab, AReversedRangeDrawsTheSameYears) {
    click(find<TButton>("Button6"));
    const Points march = handed(series("Series2"));
    const Points april = handed(series("Series3"));
    ASSERT_EQ(march.size(), 21u);

    // Typed key by key, the range passes through 2..2000 on the way; the last text decides.
    typeOver(find<TCSpinEdit>("rok1"), QStringLiteral("2020"));
    typeOver(find<TCSpinEdit>("rok2"), QStringLiteral("2000"));
    EXPECT_EQ(handed(series("Series2")), march);
    EXPECT_EQ(handed(series("Series3")), april);
}

// Years are labelled on whole years, each once, whatever the range, also before the first run; the
// day axis labels its top, so that the 31st of March can be read.
TEST_F(EasterTab, TheAxesLabelWholeYearsEachOnceAndTheLastDay) {
    auto* chart = find<TChart>("Chart2");
    const auto wholeAndRising = [](const Texts& labels) {
        bool ok = labels.size() >= 2;
        for (std::size_t i = 0; ok && i < labels.size(); ++i) {
            std::size_t end = 0;
            ok = !labels[i].empty() && std::isdigit(static_cast<unsigned char>(labels[i][0])) &&
                 (std::stoi(labels[i], &end), end == labels[i].size()) &&
                 (i == 0 || std::stoi(labels[i - 1]) < std::stoi(labels[i]));
        }
        return ok;
    };
    EXPECT_TRUE(wholeAndRising(axisLabels(chart, Qt::Horizontal))) << "before any run";
    struct Range {
        int first, last;
    };
    for (const Range r : {Range{2000, 2020}, Range{2012, 2012}, Range{1999, 2001}, Range{0, 5555}}) {
        find<TCSpinEdit>("rok1")->setValue(r.first);
        find<TCSpinEdit>("rok2")->setValue(r.last);
        const Texts years = axisLabels(chart, Qt::Horizontal);
        EXPECT_TRUE(wholeAndRising(years))
            << r.first << ".." << r.last << ": " << testing::PrintToString(years);
        EXPECT_FALSE(labelsOverlap(chart, Qt::Horizontal)) << r.first << ".." << r.last;
    }
    const Texts days = axisLabels(chart, Qt::Vertical);
    EXPECT_TRUE(wholeAndRising(days)) << testing::PrintToString(days);
    EXPECT_FALSE(labelsOverlap(chart, Qt::Vertical));
    ASSERT_FALSE(days.empty());
    EXPECT_EQ(days.back(), "31");
    EXPECT_TRUE(shownErrors().empty());
}

// ---- Tab "Funkcje specjalne / Macierze" ----

class FunctionsTab : public Tabs {
protected:
    void SetUp() override {
        Tabs::SetUp();
        showTab("TabSheet3");
    }
    // floor, ceil, int, fabs, abs.
    Texts rounding() const {
        return {text("LabeledEdit1"), text("LabeledEdit2"), text("LabeledEdit20"), text("LabeledEdit6"),
                text("LabeledEdit7")};
    }
};

// The window's own surface is a second "< --- Caculate" button.
TEST_F(FunctionsTab, TheButtonAndAClickOnTheWindowsSurfaceRoundAlike) {
    const auto fieldsAfter = [&](const std::function<void()>& trigger) {
        for (const char* name : {"LabeledEdit1", "LabeledEdit2", "LabeledEdit20", "LabeledEdit6",
                                 "LabeledEdit7", "Edit1", "Edit2", "Edit3"})
            find<TEdit>(name)->setAnsiText("-");
        const int linesBefore = find<TMemo>("Memo1")->lineCount();
        trigger();
        Texts seen = rounding();
        for (const char* name : {"Edit1", "Edit2", "Edit3"})
            seen.push_back(text(name));
        const Texts memo = lines("Memo1");
        seen.insert(seen.end(), memo.begin() + linesBefore, memo.end());
        return seen;
    };
    const Texts expected = {"1", "2", "1", "1,999999", "1", "1", "3", "17", "1", "2", "3", "4"};
    EXPECT_EQ(fieldsAfter([&] { click(find<TButton>("Button1")); }), expected);
    EXPECT_EQ(fieldsAfter([&] { QTest::mouseClick(Form1, Qt::LeftButton, Qt::NoModifier, QPoint(500, 10)); }),
              expected);
    EXPECT_EQ(lines("Memo1"), (Texts{"Memo1", "1", "2", "3", "4", "1", "2", "3", "4"}));
    EXPECT_TRUE(shownErrors().empty());
}

TEST_F(FunctionsTab, RoundsTheChosenItemOrATypedValue) {
    auto* box = find<TComboBox>("ComboBox1");
    auto* calculate = find<TButton>("Button1");

    choose(box, 6);
    EXPECT_EQ(box->ansiText(), "-3,000001");

    choose(box, 14);
    // Typing keeps the item selected, so the typed text is what is rounded.
    typeOver(box, QStringLiteral("3000000000"));
    EXPECT_EQ(box->itemIndex(), 14);
    click(calculate);
    EXPECT_EQ(rounding(), (Texts{"-1294967296", "-1294967296", "-1294967296", "3000000000", "1294967296"}));
    EXPECT_TRUE(shownErrors().empty());

    // The empty last item cannot be read.
    choose(box, 16);
    click(calculate);
    EXPECT_EQ(messages(), Texts{"'' is not a valid floating point value."});
}

TEST_F(FunctionsTab, DivisionByZeroIsReportedAfterTheRemainderIsShown) {
    auto* remainder = find<TBitBtn>("BitBtn2");
    click(remainder);
    EXPECT_EQ(text("LabeledEdit10"), "3");
    EXPECT_EQ(text("LabeledEdit11"), "0");

    typeOver(find<TEdit>("LabeledEdit8"), QStringLiteral("5"));
    typeOver(find<TEdit>("LabeledEdit9"), QStringLiteral("0"));
    std::vector<std::pair<std::string, std::string>> shown; // the message, and the remainder field then
    {
        DisplayScope display([&](const std::string& message, const std::string&) {
            shown.emplace_back(message, text("LabeledEdit10"));
        });
        click(remainder);
    }
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].first, "Floating point division by zero.");
    EXPECT_EQ(shown[0].second, "0");
}

// The field's background is what the user sees: the commonest colour inside the painted field's
// frame, wherever its text lies.
QColor paintedBackground(QWidget* field) {
    const QImage image = field->grab().toImage();
    std::map<QRgb, int> count;
    for (int y = 3; y < image.height() - 3; ++y)
        for (int x = 3; x < image.width() - 3; ++x)
            ++count[image.pixel(x, y)];
    const auto commonest = std::max_element(count.begin(), count.end(),
                                            [](const auto& a, const auto& b) { return a.second < b.second; });
    return QColor::fromRgb(commonest->first);
}

TEST_F(FunctionsTab, TheMatrixOverrunTurnsEdit1YellowForGood) {
    auto* edit1 = find<TEdit>("Edit1");
    const QColor before = paintedBackground(edit1);
    ASSERT_NE(before, kYellow);

    click(find<TButton>("Macierze"));
    EXPECT_EQ(text("Edit1"), " Przekroczenie rozmiaru tablicy ! ");
    EXPECT_EQ(paintedBackground(edit1), kYellow);

    // Rounding writes its 1 into the same field, still on yellow.
    click(find<TButton>("Button1"));
    EXPECT_EQ(text("Edit1"), "1");
    EXPECT_EQ(paintedBackground(edit1), kYellow);
    EXPECT_TRUE(shownErrors().empty());
}

// ---- Tab "Dzialanie Unit_Funkcje/dzialania na bitach" ----

class BitsTab : public Tabs {
protected:
    void SetUp() override {
        Tabs::SetUp();
        showTab("TabSheet6");
    }
};

TEST_F(BitsTab, SplitsTheStartUpNumberIntoSixteenBits) {
    click(find<TButton>("Button4"));
    EXPECT_EQ(text("Edit14"), "0000000100001111");

    // A second press starts afresh rather than adding to the digits and lines.
    click(find<TButton>("Button4"));
    EXPECT_EQ(text("Edit14"), "0000000100001111");
    EXPECT_EQ(find<TMemo>("Memo3")->lineCount(), 20);
    EXPECT_TRUE(shownErrors().empty());
}

TEST_F(BitsTab, ATextThatIsNoIntegerIsReported) {
    typeOver(find<TEdit>("LabeledEdit18"), QStringLiteral("abc"));
    click(find<TButton>("Button4"));
    EXPECT_EQ(messages(), Texts{"'abc' is not a valid integer value."});
}

// ---- Tab "Referencje/ wskaznik": the count conversions and the timing ----

class TimingTab : public Tabs {
protected:
    void SetUp() override {
        Tabs::SetUp();
        showTab("TabSheet5");
    }
    static constexpr const char* kFields[6] = {"E1", "E2", "E3", "LE21", "LE22", "LE23"};

    Texts conversions() const { return {text("LabeledE1"), text("LabeledE2"), text("LabeledE3")}; }
};

TEST_F(TimingTab, ChoosingACountShowsItsThreeConversions) {
    auto* count = find<TComboBox>("CB2");
    choose(count, 22);
    EXPECT_EQ(count->ansiText(), "1e+4900");

    // The last item overflows even the extended range.
    choose(count, 23);
    EXPECT_EQ(messages(), Texts{"'1e+5000' is not a valid floating point value."});

    // A typed count converts when it is finished, never half typed ("1e" of "1e+12"): a text that
    // is no number yet waits for Enter or for the focus to leave, however long the user pauses,
    // and a number converts once it has rested.
    const std::pair<const char*, Qt::Key> unfinished[] = {{"1e", Qt::Key_Return}, {"", Qt::Key_Tab}};
    for (const auto& [typed, finish] : unfinished) {
        shownErrors().clear();
        Form1->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
        count->setFocus();
        typeOver(count, QString::fromLatin1(typed));
        if (*typed == '\0')
            QTest::keyClick(count, Qt::Key_Backspace);
        QTest::qWait(3 * TComboBox::kTypingRestMs);
        EXPECT_TRUE(shownErrors().empty()) << shownErrors().front().message;
        QTest::keyClick(count, finish);
        EXPECT_EQ(messages(), Texts{"'" + std::string(typed) + "' is not a valid floating point value."});
    }
    shownErrors().clear();
    count->setFocus();
    typeOver(count, QStringLiteral("1e+12"));
    EXPECT_TRUE(QTest::qWaitFor([this] { return !text("LabeledE1").empty(); }, 30000));
    EXPECT_EQ(conversions(), (Texts{"-727379968", "1000000000000", "1000000000000"}));
    EXPECT_TRUE(shownErrors().empty());
}

// Records what each watched field showed every time it was painted.
class PaintLog : public QObject {
public:
    struct Paint {
        std::string field;
        std::string text;
        QColor color;
    };
    std::vector<Paint> paints;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            if (auto* edit = qobject_cast<TEdit*>(watched))
                paints.push_back({edit->objectName().toStdString(), edit->ansiText(), edit->color()});
        return false;
    }
};

TEST_F(TimingTab, TimesTheThreeLoopsAndTurnsEachColumnLime) {
    PaintLog log;
    for (const char* name : kFields)
        find<TEdit>(name)->installEventFilter(&log);
    click(find<TButton>("Button2"));
    for (const char* name : kFields)
        find<TEdit>(name)->removeEventFilter(&log);

    ASSERT_TRUE(shownErrors().empty()) << shownErrors().front().message;

    // Each time text is the fraction of a day beside it, written in the locale's long time format.
    const QString format = QString::fromStdString(TApplication::formatSettings().longTimeFormat);
    ASSERT_TRUE(format.contains(QStringLiteral("ss"))) << format.toStdString();
    for (int k = 0; k < 3; ++k) {
        SCOPED_TRACE(kFields[k]);
        EXPECT_EQ(color(kFields[k]), kLime);
        EXPECT_EQ(color(kFields[k + 3]), kLime);
        bool isNumber = false;
        const double days =
            QString::fromStdString(text(kFields[k + 3])).replace(',', '.').toDouble(&isNumber);
        ASSERT_TRUE(isNumber) << text(kFields[k + 3]);
        const auto ms = static_cast<int>(std::llabs(std::llround(days * 86400000.0)) % 86400000);
        EXPECT_EQ(text(kFields[k]), QTime::fromMSecsSinceStartOfDay(ms).toString(format).toStdString());
    }

    // "calculating ..." was on screen in every field before that field's result was.
    for (const char* name : kFields) {
        SCOPED_TRACE(name);
        int calculating = -1, result = -1;
        for (int i = 0; i < int(log.paints.size()); ++i) {
            const PaintLog::Paint& p = log.paints[i];
            if (p.field != name)
                continue;
            if (p.text == "calculating ..." && calculating < 0)
                calculating = i;
            if (p.text == text(name) && p.color == kLime)
                result = i;
        }
        EXPECT_GE(calculating, 0);
        EXPECT_GT(result, calculating);
    }
}

// A long timing keeps the window answering, shows a box once it has run for half a second, and
// stops from the box's button, from Esc in the box or anywhere in the window, and when the window
// closes. A click on the window does nothing but bring the box up with the keyboard. The stop comes
// once the first loop has ended and the box is up; the loops that ended keep their times, the rest
// say so.
TEST_F(TimingTab, ALongTimingKeepsTheWindowAnsweringAndStops) {
    enum class Stop { Button, Escape, EscapeInTheWindow, CloseWindow };
    const char* const loops[3] = {"przez referencję", "przez wartość", "przez adres"};
    for (const Stop how : {Stop::Button, Stop::Escape, Stop::EscapeInTheWindow, Stop::CloseWindow}) {
        SCOPED_TRACE(static_cast<int>(how));
        Form1->show();
        find<TComboBox>("CB2")->setAnsiText("1e+8");
        QString boxSaid; // its labels and button, while it was up
        bool boxOverTheWindow = false;
        bool clickBroughtUpTheBox = false;
        int handlersRunMeanwhile = 0;
        QTimer stopper;
        QObject::connect(&stopper, &QTimer::timeout, [&] {
            if (!boxSaid.isEmpty() || color("E1") != kLime)
                return;
            QWidget* box = visibleStepBox();
            if (box == nullptr)
                return;
            stopper.stop(); // once: the waits below run the event loop
            boxOverTheWindow = box->parentWidget() == Form1;
            // The window takes no input meanwhile: no other handler can start.
            const TForm1::HandlerObserver previous =
                TForm1::setHandlerObserver([&](std::string_view) { ++handlersRunMeanwhile; });
            QApplication::setActiveWindow(Form1);
            click(find<TButton>("Button2"));
            // The window system answers the activation in its own time.
            clickBroughtUpTheBox =
                QTest::qWaitFor([box] { return QApplication::activeWindow() == box; }, 2000);
            click(find<TButton>("Button1"));
            TForm1::setHandlerObserver(previous);
            for (const QLabel* label : box->findChildren<QLabel*>())
                boxSaid += label->text() + QLatin1Char('\n');
            boxSaid += box->findChild<QPushButton*>()->text();
            if (how == Stop::Button)
                click(box->findChild<QPushButton*>());
            else if (how == Stop::Escape)
                QTest::keyClick(box, Qt::Key_Escape);
            else if (how == Stop::EscapeInTheWindow)
                QTest::keyClick(find<TComboBox>("CB2"), Qt::Key_Escape);
            else
                Form1->close();
        });
        stopper.start(10);
        const EventLoopPauses pauses;
        click(find<TButton>("Button2"));
        // Under an emulator of another processor everything runs some ten times slower.
        constexpr bool kEmulated = sizeof(KESTROVA_EMULATOR) > 1;
        EXPECT_LT(pauses.longestMs(), kEmulated ? 1000 : 100);
        ASSERT_FALSE(boxSaid.isEmpty()) << "no box while the timing ran";
        EXPECT_EQ(visibleStepBox(), nullptr) << "the box outlived the timing";
        EXPECT_TRUE(boxOverTheWindow);
        EXPECT_TRUE(clickBroughtUpTheBox);
        EXPECT_EQ(handlersRunMeanwhile, 0);
        EXPECT_EQ(Form1->isVisible(), how != Stop::CloseWindow);
        ASSERT_TRUE(shownErrors().empty()) << shownErrors().front().message;
        // The columns in the order of the runs: those that ended, then those stopped or never run.
        int ended = 0;
        while (ended < 3 && color(kFields[ended]) == kLime)
            ++ended;
        ASSERT_GE(ended, 1);
        ASSERT_LT(ended, 3) << "the stop came too late";
        EXPECT_TRUE(boxSaid.contains(QString::fromUtf8(loops[ended]))) << boxSaid.toStdString();
        EXPECT_TRUE(boxSaid.contains(QStringLiteral("z 100\u00A0000\u00A0000"))) << boxSaid.toStdString();
        EXPECT_TRUE(boxSaid.endsWith(QStringLiteral("Przerwij"))) << boxSaid.toStdString();
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(kFields[k]);
            for (const char* field : {kFields[k], kFields[k + 3]}) {
                if (k < ended) {
                    EXPECT_EQ(color(field), kLime);
                    EXPECT_NE(text(field), "przerwano");
                    EXPECT_NE(text(field), "calculating ...");
                } else {
                    EXPECT_NE(color(field), kLime);
                    EXPECT_EQ(text(field), "przerwano");
                }
            }
        }
    }
}

// The time left, against a clock the test moves: a run at a steady pace, whether of seconds, hours or
// (2^53 passes) months, is estimated within a fifth once a tenth of its step has run, and not at all
// in its first half second or before any pass is done. The steps still to come count too.
TEST(TimeLeft, IsWithinAFifthOnceATenthOfASteadyRunIsDone) {
    const struct {
        double total;
        double later;
        double perSecond;
    } rows[] = {{10.0, 0.0, 1.0},
                {1e8, 0.0, 3e7},
                {3.6e12, 0.0, 1e9},
                {9007199254740992.0, 0.0, 3e8},
                {1e12, 2e12, 6e7}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.total);
        double now = 1000.0;
        TimeLeft left([&now] { return now; });
        left.start(row.total, row.later);
        const double length = row.total / row.perSecond;
        EXPECT_FALSE(left.seconds(0.0));
        now += std::min(0.4, length / 10);
        EXPECT_FALSE(left.seconds((now - 1000.0) * row.perSecond)) << "in the first half second";
        now = 1000.0 + std::max(0.5, length / 10);
        const std::optional<double> estimate = left.seconds((now - 1000.0) * row.perSecond);
        ASSERT_TRUE(estimate);
        const double truth = 1000.0 + length - now + row.later / row.perSecond;
        EXPECT_NEAR(*estimate, truth, truth / 5);
    }
}

TEST(TimeLeft, IsWrittenRoundedUpInTheUnitsThatFit) {
    const struct {
        double seconds;
        const char* text;
    } rows[] = {
        {0.2, "pozostało około 1 s"},
        {41.2, "pozostało około 42 s"},
        {59.5, "pozostało około 1 min 00 s"},
        {185.0, "pozostało około 3 min 05 s"},
        {3599.5, "pozostało około 1 h 00 min"},
        {7619.0, "pozostało około 2 h 07 min"},
        {28123200.0, "pozostało około 7\u00A0812 h 00 min"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(timeLeftText(row.seconds, TApplication::formatSettings()), row.text) << row.seconds;
}

// The pass counter is a double, so a count beyond 2^53 would never be reached.
TEST_F(TimingTab, RefusesACountNoDoubleCounterCanReach) {
    auto* count = find<TComboBox>("CB2");
    choose(count, 13);
    ASSERT_EQ(count->ansiText(), "1e+16");

    click(find<TButton>("Button2"));
    ASSERT_EQ(shownErrors().size(), 1u);
    const std::string& message = shownErrors().front().message;
    EXPECT_NE(message.find("1e+16"), std::string::npos) << message;
    EXPECT_NE(message.find(std::to_string(std::int64_t{1} << 53)), std::string::npos) << message;
}

// ---- Tab "Wykres parametryczny  / i++, ++i, i...pętle" ----

class CurveTab : public Tabs {
protected:
    void SetUp() override {
        Tabs::SetUp();
        showTab("TabSheet7");
    }
};

TEST_F(CurveTab, DrawsTheClosedCurveInAscendingX) {
    click(find<TButton>("Button5"));
    const std::vector<QPointF>& points = series("Series1")->handedPoints();
    ASSERT_EQ(points.size(), 1001u);
    for (std::size_t i = 1; i < points.size(); ++i)
        EXPECT_LE(points[i - 1].x(), points[i].x()) << i;
}

TEST_F(CurveTab, AppendsTheLoopTracesOnEveryPress) {
    click(find<TButton>("Button5"));
    const Texts once = lines("Memo2");
    ASSERT_EQ(once.size(), 42u);
    EXPECT_EQ(once[5], "Dwie pętle pojedyncze ");

    click(find<TButton>("Button5"));
    ASSERT_EQ(lines("Memo2").size(), 84u);
    // The memo shows the last line the press added.
    auto* memo = find<TMemo>("Memo2");
    EXPECT_TRUE(
        memo->viewport()->rect().contains(memo->cursorRect(QTextCursor(memo->document()->lastBlock()))));
}

// The wheel over the memo scrolls the memo alone, also past either end: the form, which scrolls in a
// window smaller than itself, stays where it is.
TEST_F(CurveTab, TheWheelPastTheMemosEndsLeavesTheFormWhereItIs) {
    Form1->resize(1130, 500);
    QScrollBar* form = Form1->findChild<QScrollArea*>()->verticalScrollBar();
    QWidget* memo = find<TMemo>("Memo2")->viewport();
    for (const int delta : {-120, 120}) {
        form->setValue(100);
        const QPointF at(10, 200);
        QWheelEvent wheel(at, memo->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        // As the window system delivers it: Qt passes only such a wheel on to the parents.
        QSpontaneKeyEvent::setSpontaneous(&wheel);
        QApplication::instance()->notify(memo, &wheel);
        EXPECT_EQ(form->value(), 100) << delta;
    }
}

// Nothing on a chart scrolls: the wheel over it scrolls the form, in a window smaller than the form.
TEST_F(CurveTab, TheWheelOverTheChartScrollsTheForm) {
    Form1->resize(1130, 500);
    QScrollBar* form = Form1->findChild<QScrollArea*>()->verticalScrollBar();
    form->setValue(100);
    QWidget* chart = find<TChart>("Chart1");
    const QPointF at(10, 200);
    QWheelEvent wheel(at, chart->mapToGlobal(at), {}, {0, -120}, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QApplication::instance()->notify(chart, &wheel);
    EXPECT_GT(form->value(), 100);
}

// The curve's axes write their numbers as the fields do, with the decimal comma of the Polish locale
// the tests run under, and go on doing so after the system announces a change of locale.
TEST_F(CurveTab, TheChartWritesItsNumbersInTheUsersLocale) {
    click(find<TButton>("Button5"));
    auto* chart = find<TChart>("Chart1");
    const Texts expected = {"-1,00", "-0,50", "0,00", "0,50", "1,00"};
    EXPECT_EQ(axisLabels(chart, Qt::Horizontal), expected);
    EXPECT_EQ(axisLabels(chart, Qt::Vertical), expected);

    chart->setNumberLocale(QLocale::c());
    ASSERT_NE(axisLabels(chart, Qt::Horizontal), expected);
    QEvent change(QEvent::LocaleChange);
    QCoreApplication::sendEvent(QCoreApplication::instance(), &change);
    EXPECT_EQ(axisLabels(chart, Qt::Horizontal), expected);
}

// ---- Tab "DIB bitmap": the picture, the viewer and the file ----

// Installs a save dialog runner for one test and counts its runs.
class DialogScope {
public:
    explicit DialogScope(std::function<int(QFileDialog&)> answer)
        : m_previous(TSavePictureDialog::setRunner([this, answer](QFileDialog& dialog) {
              ++runs;
              folders.push_back(dialog.directory().absolutePath());
              titles.push_back(dialog.windowTitle());
              return answer(dialog);
          })) {}
    ~DialogScope() { TSavePictureDialog::setRunner(std::move(m_previous)); }
    DialogScope(const DialogScope&) = delete;
    DialogScope& operator=(const DialogScope&) = delete;

    int runs = 0;
    QStringList folders; // the folder it opened in
    QStringList titles;

private:
    TSavePictureDialog::Runner m_previous;
};

struct Rgb {
    int red, green, blue;
    friend bool operator==(const Rgb&, const Rgb&) = default;
    friend void PrintTo(const Rgb& c, std::ostream* os) {
        *os << "(" << c.red << ", " << c.green << ", " << c.blue << ")";
    }
};

Rgb rgbOf(const QColor& c) { return {c.red(), c.green(), c.blue()}; }

// A 24-bit Windows BMP file read back byte by byte, as an image viewer would.
class BmpFile {
public:
    explicit BmpFile(const QString& path) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            m_bytes = file.readAll();
    }
    qsizetype size() const { return m_bytes.size(); }
    std::string magic() const { return m_bytes.left(2).toStdString(); }
    std::uint32_t u32(int at) const { return u16(at) | (std::uint32_t(u16(at + 2)) << 16); }
    std::int32_t i32(int at) const { return static_cast<std::int32_t>(u32(at)); }
    std::uint16_t u16(int at) const { return static_cast<std::uint16_t>(byte(at) | (byte(at + 1) << 8)); }
    // Pixel (x, y) with y = 0 the top row of the picture; the file stores the bottom row first, each
    // row padded to four bytes, each pixel as blue, green, red.
    Rgb pixel(int x, int y) const {
        const int width = i32(18), height = i32(22);
        const int stride = (width * 3 + 3) / 4 * 4;
        const int at = int(u32(10)) + (height - 1 - y) * stride + 3 * x;
        return {byte(at + 2), byte(at + 1), byte(at)};
    }

private:
    int byte(int at) const { return static_cast<std::uint8_t>(m_bytes.at(at)); }
    QByteArray m_bytes;
};

class BitmapTab : public Tabs {
protected:
    void SetUp() override {
        Tabs::SetUp();
        showTab("TabSheet8");
        ASSERT_TRUE(m_dir.isValid());
    }
    QString path(const char* name) const { return m_dir.filePath(QString::fromLatin1(name)); }
    QStringList filesWritten() const {
        return QDir(m_dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    }
    TCheckBox* saveBox() const { return find<TCheckBox>("CheckBox1"); }
    void pressBuild() { click(find<TButton>("Button7")); }

    // What the viewer shows on screen, and the picture it keeps.
    static Rgb onScreen(int x, int y) { return rgbOf(Form2->grab().toImage().pixelColor(x, y)); }
    static Rgb kept(int x, int y) { return rgbOf(Form2->picture().pixelColor(x, y)); }

    QTemporaryDir m_dir;
};

// The profile of one row with the start-up limits, red 128, green and blue 0: black up to column
// 117, a rise to full red, a plateau, a fall that is not quite the rise's mirror, black again.
const std::vector<std::pair<int, Rgb>> kStartUpRow = {
    {0, {0, 0, 0}},     {117, {0, 0, 0}},   {118, {1, 0, 0}},  {175, {64, 0, 0}}, {234, {128, 0, 0}},
    {350, {128, 0, 0}}, {466, {128, 0, 0}}, {525, {63, 0, 0}}, {583, {0, 0, 0}},  {699, {0, 0, 0}},
};

TEST_F(BitmapTab, TheButtonShowsTheViewerWithThePicture) {
    ASSERT_FALSE(Form2->isVisible());
    pressBuild();
    EXPECT_TRUE(Form2->isVisible());
    for (const auto& [column, color] : kStartUpRow)
        EXPECT_EQ(onScreen(column, 250), color) << column;
    EXPECT_FALSE(saveBox()->isChecked());
    EXPECT_TRUE(shownErrors().empty());
}

// Each run shows the viewer and brings it to the front, yet the keyboard stays where it was: a track
// bar driven with the arrow keys takes every key, and the main window stays the active one.
TEST_F(BitmapTab, ATrackBarDrivenByKeysKeepsTheKeyboard) {
    // Qt's offscreen platform activates every window it shows, whatever the window asks; there the
    // viewer is put on screen first, as any earlier run leaves it. On X11 the keys show it.
    if (QGuiApplication::platformName() == QLatin1String("offscreen"))
        pressBuild();
    Form1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
    auto* bar = find<TTrackBar>("RedMax");
    bar->setFocus();
    for (int i = 0; i < 5; ++i) {
        QWidget* focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr) << "key " << i;
        QTest::keyClick(focused, Qt::Key_Right);
        QTest::qWait(50); // what the window system makes of the viewer's showing
    }
    EXPECT_EQ(bar->position(), 133);
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_EQ(QApplication::activeWindow(), Form1);
    EXPECT_EQ(QApplication::focusWidget(), bar);
    EXPECT_EQ(onScreen(350, 250), (Rgb{133, 0, 0}));

    // A minimised viewer is restored, and the window manager's giving it the keyboard is undone.
    Form2->showMinimized();
    QTest::qWait(200);
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::qWait(200);
    EXPECT_FALSE(Form2->isMinimized());
    EXPECT_TRUE(QTest::qWaitForWindowActive(Form1));
    EXPECT_EQ(QApplication::focusWidget(), bar);
}

// The three bars lie 6 pixels over each other, yet each thumb shows whole at every position and a
// press on it moves its own bar: at either end of each bar, and at the seam of red and green, where
// red at 255 meets green at 0.
TEST_F(BitmapTab, EachBarsThumbIsItsOwnAtEveryPosition) {
    const char* const names[3] = {"RedMax", "GreenMax", "BlueMax"};
    TTrackBar* bars[3] = {};
    for (int k = 0; k < 3; ++k)
        bars[k] = find<TTrackBar>(names[k]);
    QWidget* tab = bars[0]->parentWidget();
    const auto drag = [](QWidget* target, QPoint from, int dx) {
        const auto send = [target](QEvent::Type type, QPoint at, Qt::MouseButtons held) {
            QMouseEvent event(type, QPointF(at), target->mapToGlobal(QPointF(at)), Qt::LeftButton, held,
                              Qt::NoModifier);
            QApplication::sendEvent(target, &event);
        };
        send(QEvent::MouseButtonPress, from, Qt::LeftButton);
        send(QEvent::MouseMove, from + QPoint(dx, 0), Qt::LeftButton);
        send(QEvent::MouseButtonRelease, from + QPoint(dx, 0), Qt::NoButton);
    };
    for (const int end : {0, 255}) {
        for (int k = 0; k < 3; ++k) {
            SCOPED_TRACE(std::string(names[k]) + " at " + std::to_string(end));
            // The neighbours at the other end: red at 255 beside green at 0 is the seam.
            for (int j = 0; j < 3; ++j)
                bars[j]->setPosition(j == k ? end : 255 - end);
            const QRect thumb(bars[k]->mapTo(tab, bars[k]->thumbRect().topLeft()),
                              bars[k]->thumbRect().size());
            for (int j = 0; j < 3; ++j) {
                const QRect other(bars[j]->mapTo(tab, QPoint(0, 0)), bars[j]->size());
                if (j != k) {
                    EXPECT_FALSE(thumb.intersects(other)) << names[j] << " covers part of it";
                }
            }
            const QPoint centre = thumb.center();
            auto* pressed = qobject_cast<TTrackBar*>(tab->childAt(centre));
            ASSERT_EQ(pressed, bars[k]) << "the press lands on another control";
            drag(pressed, pressed->mapFrom(tab, centre), end == 0 ? 30 : -30);
            EXPECT_NE(bars[k]->position(), end);
            for (int j = 0; j < 3; ++j) {
                if (j != k) {
                    EXPECT_EQ(bars[j]->position(), 255 - end) << names[j] << " moved";
                }
            }
        }
    }
}

TEST_F(BitmapTab, TheTrackBarsSetTheColorOfThePlateau) {
    for (const char* name : {"RedMax", "GreenMax", "BlueMax"}) {
        auto* bar = find<TTrackBar>(name);
        bar->setFocus();
        QTest::keyClick(bar, Qt::Key_End);
        ASSERT_EQ(bar->position(), 255) << name;
    }
    EXPECT_EQ(onScreen(175, 100), (Rgb{127, 127, 127}));
    EXPECT_EQ(onScreen(233, 100), (Rgb{254, 254, 254}));
    EXPECT_EQ(onScreen(300, 100), (Rgb{255, 255, 255}));
    EXPECT_EQ(onScreen(467, 100), (Rgb{254, 254, 254}));
    EXPECT_EQ(onScreen(600, 100), (Rgb{0, 0, 0}));
}

TEST_F(BitmapTab, ATickedBoxSavesOneBmpFile) {
    const QString target = path("obraz.bmp");
    DialogScope dialog([&](QFileDialog& d) {
        d.selectFile(target);
        return int(QDialog::Accepted);
    });
    click(saveBox());
    ASSERT_TRUE(saveBox()->isChecked());
    pressBuild();

    EXPECT_EQ(dialog.runs, 1);
    EXPECT_FALSE(saveBox()->isChecked());
    EXPECT_EQ(filesWritten(), QStringList{QStringLiteral("obraz.bmp")});
    const BmpFile bmp(target);
    ASSERT_EQ(bmp.size(), 1050054);
    EXPECT_EQ(bmp.magic(), "BM");
    EXPECT_EQ(bmp.u32(2), 1050054u); // the file's size
    EXPECT_EQ(bmp.u32(10), 54u);     // where the pixels start
    EXPECT_EQ(bmp.u32(14), 40u);     // the information header's size
    EXPECT_EQ(bmp.i32(18), 700);
    EXPECT_EQ(bmp.i32(22), 500); // positive: the bottom row comes first
    EXPECT_EQ(bmp.u16(26), 1);   // planes
    EXPECT_EQ(bmp.u16(28), 24);  // bits per pixel
    EXPECT_EQ(bmp.u32(30), 0u);  // no compression

    for (int row : {0, 1, 250, 498, 499})
        for (const auto& [column, color] : kStartUpRow)
            EXPECT_EQ(bmp.pixel(column, row), color) << column << ", " << row;
    // Every pixel of the file is the pixel of the picture on the viewer.
    int differing = 0;
    for (int y = 0; y < 500; y += 7)
        for (int x = 0; x < 700; ++x)
            differing += bmp.pixel(x, y) == kept(x, y) ? 0 : 1;
    EXPECT_EQ(differing, 0);

    // The tick was used up: the next run asks nothing and writes nothing.
    pressBuild();
    EXPECT_EQ(dialog.runs, 1);
    EXPECT_TRUE(shownErrors().empty());

    // The next request opens where this file went.
    DialogScope next([](QFileDialog&) { return int(QDialog::Rejected); });
    click(saveBox());
    pressBuild();
    ASSERT_EQ(next.runs, 1);
    EXPECT_EQ(next.folders.last(), QDir(m_dir.path()).absolutePath());
}

TEST_F(BitmapTab, ATrackBarMoveUsesTheTickAsTheButtonDoes) {
    const QString target = path("obraz.wmf");
    DialogScope dialog([&](QFileDialog& d) {
        d.selectFile(target);
        return int(QDialog::Accepted);
    });
    click(saveBox());
    auto* red = find<TTrackBar>("RedMax");
    red->setFocus();
    QTest::keyClick(red, Qt::Key_Right);
    ASSERT_EQ(red->position(), 129);

    EXPECT_EQ(dialog.runs, 1);
    EXPECT_FALSE(saveBox()->isChecked());
    // Whatever the name says, the file is a bitmap, with the limit the bar moved to.
    const BmpFile bmp(target);
    ASSERT_EQ(bmp.size(), 1050054);
    EXPECT_EQ(bmp.magic(), "BM");
    EXPECT_EQ(bmp.pixel(350, 250), (Rgb{129, 0, 0}));

    // Dragging on sets off one run per position, and none of them asks again.
    QTest::keyClick(red, Qt::Key_Right);
    QTest::keyClick(red, Qt::Key_Right);
    EXPECT_EQ(red->position(), 131);
    EXPECT_EQ(dialog.runs, 1);
    EXPECT_EQ(BmpFile(target).pixel(350, 250), (Rgb{129, 0, 0}));
    EXPECT_EQ(kept(350, 250), (Rgb{131, 0, 0}));
}

TEST_F(BitmapTab, CancellingWritesNothingAndUnticks) {
    DialogScope dialog([&](QFileDialog& d) {
        d.selectFile(path("obraz.bmp"));
        return int(QDialog::Rejected);
    });
    click(saveBox());
    pressBuild();
    EXPECT_EQ(dialog.runs, 1);
    EXPECT_TRUE(filesWritten().isEmpty());
    EXPECT_FALSE(saveBox()->isChecked());
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_TRUE(shownErrors().empty());

    // A save request, even a cancelled one, gives the dialog its default extension from then on.
    EXPECT_EQ(find<TSavePictureDialog>("SavePictureDialog1")->defaultExt(), "*.wmf");
    click(saveBox());
    pressBuild();
    // Qt's own texts speak the user's language.
    EXPECT_EQ(dialog.titles.first().toStdString(), "Zachowaj jako");
}

TEST_F(BitmapTab, AFileThatCannotBeCreatedIsReportedAndTheBoxStaysTicked) {
    // The chosen name is taken by a folder, which no file can replace.
    const QString target = path("obraz.bmp");
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("obraz.bmp")));
    DialogScope dialog([&](QFileDialog& d) {
        d.selectFile(target);
        return int(QDialog::Accepted);
    });
    click(saveBox());
    pressBuild();
    EXPECT_EQ(messages(), Texts{"Cannot create file " + target.toStdString() + "."});
    EXPECT_TRUE(saveBox()->isChecked());
    // Nothing written beside it either, not even a part of the file.
    EXPECT_EQ(filesWritten(), QStringList{QStringLiteral("obraz.bmp")});
    EXPECT_TRUE(QFileInfo(target).isDir());
    EXPECT_TRUE(QDir(target).isEmpty());
    // The picture was drawn before the save failed.
    EXPECT_TRUE(Form2->isVisible());
    EXPECT_EQ(onScreen(350, 250), (Rgb{128, 0, 0}));

    // Still ticked, so the next run asks again, and not in the folder where the save failed: that
    // may be one like /proc, whose files block the dialog when it reads them.
    pressBuild();
    ASSERT_EQ(dialog.runs, 2);
    EXPECT_NE(dialog.folders.last(), QDir(m_dir.path()).absolutePath());
}

// The screens a window may be on: the desktop's and the netbook's of the offscreen tests, else (on
// X11) the one the window is on.
std::vector<QScreen*> screensToTry() {
    std::vector<QScreen*> screens;
    for (const char* name : {"desktop", "netbook"})
        for (QScreen* screen : QGuiApplication::screens())
            if (screen->name() == QLatin1String(name))
                screens.push_back(screen);
    if (screens.empty())
        screens.push_back(Form1->screen());
    return screens;
}

// What the screen shows of a control of the main window.
QRect inSight(const QWidget* control) {
    return control->visibleRegion().boundingRect().translated(control->mapToGlobal(QPoint(0, 0)));
}

// The save dialog belongs to the viewer, not to the main window, which a window manager would bring
// to the front with the dialog, over the picture. The dialog covers none of the picture where the
// screen has room; on X11, with a window manager, the screen itself shows the picture beside it, and
// never its middle third, where the colour is at full strength.
TEST_F(BitmapTab, TheSaveDialogLeavesThePictureInSight) {
    const bool onX11 = QGuiApplication::platformName() == QLatin1String("xcb");
    QWidget* owner = nullptr;
    QRect dialogOnScreen;
    QRect picture;
    int sampled = 0;
    int shown = 0;
    DialogScope dialog([&](QFileDialog& d) {
        owner = d.parentWidget() == nullptr ? nullptr : d.parentWidget()->window();
        // Run as the program runs it, modal, and looked at once it is on screen.
        QTimer::singleShot(0, &d, [&] {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));
            // As much of it as the viewer shows.
            picture =
                QRect(Form2->mapToGlobal(QPoint(0, 0)), Form2->picture().size().boundedTo(Form2->size()));
            if (onX11) {
                // The window manager's frame and stacking come a little later.
                QTest::qWait(500);
                const QImage screen = d.screen()->grabWindow(0).toImage();
                for (int y = 0; y < picture.height(); y += 20) {
                    for (int x = 0; x < picture.width(); x += 20) {
                        const QPoint at = picture.topLeft() + QPoint(x, y);
                        if (ui::outerGeometry(&d).contains(at))
                            continue;
                        ++sampled;
                        shown += rgbOf(screen.pixelColor(at)) == kept(x, y) ? 1 : 0;
                    }
                }
            }
            dialogOnScreen = ui::outerGeometry(&d);
            d.reject();
        });
        return d.exec();
    });
    click(saveBox());
    pressBuild();
    ASSERT_EQ(dialog.runs, 1);
    EXPECT_EQ(owner, Form2);
    if (onX11) {
        // On a screen of 1366 x 768 the dialog cannot miss the picture, but it covers under a quarter.
        EXPECT_GT(sampled, (picture.width() + 19) / 20 * ((picture.height() + 19) / 20) * 3 / 4);
        const QRect middle(picture.topLeft() + QPoint(picture.width(), picture.height()) / 3,
                           picture.size() / 3);
        EXPECT_FALSE(dialogOnScreen.intersects(middle));
        EXPECT_EQ(shown, sampled);
        EXPECT_TRUE(QTest::qWaitForWindowActive(Form1)) << "the keyboard is back in the main window";
    } else {
        EXPECT_FALSE(dialogOnScreen.intersects(picture)) << "the screen has room beside it";
    }
}

// A run shows the viewer over none of the main window's controls in sight (the control that started
// it, the others, the tab strip) on a desktop's screen with room beside the window, on a netbook's,
// and on X11 on a laptop's 1366 x 768 under the window manager's frames. It shows the picture's whole
// width and at least half its rows, which are all alike.
TEST_F(BitmapTab, TheViewerGoesWhereItCoversNoneOfTheControls) {
    const bool onX11 = QGuiApplication::platformName() == QLatin1String("xcb");
    for (QScreen* screen : screensToTry()) {
        SCOPED_TRACE(screen->name().toStdString());
        // Both windows on that screen, the viewer at its first place there.
        destroyForms();
        createForms();
        Form1->move(screen->availableGeometry().topLeft());
        Form2->move(screen->availableGeometry().topLeft() + QPoint(428, 9));
        Form1->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
        showTab("TabSheet8");
        for (const char* starter : {"Button7", "RedMax"}) {
            SCOPED_TRACE(starter);
            auto* control = find<QWidget>(starter);
            if (starter == std::string("Button7")) {
                click(control);
            } else {
                control->setFocus();
                QTest::keyClick(control, Qt::Key_Right);
            }
            if (onX11)
                QTest::qWait(500); // the window manager's frame and placing
            const QRect viewer = ui::outerGeometry(Form2);
            QRegion controls = inSight(find<TPageControl>("PageControl1")->tabBar());
            for (const QWidget* c :
                 find<TTabSheet>("TabSheet8")->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                controls += inSight(c);
            EXPECT_FALSE(controls.intersects(viewer)) << testing::PrintToString(viewer);
            EXPECT_TRUE(screen->availableGeometry().contains(viewer)) << testing::PrintToString(viewer);
            EXPECT_GE(Form2->width(), 700);
            EXPECT_GE(Form2->height(), 250);
        }
        // Another page in front: the viewer leaves its controls too, where the screen has room.
        if (screen->availableGeometry().width() <
            ui::outerGeometry(Form1).width() + ui::outerGeometry(Form2).width())
            continue;
        for (const char* sheet : {"TabSheet2", "TabSheet3"}) {
            SCOPED_TRACE(sheet);
            showTab(sheet);
            if (onX11)
                QTest::qWait(500);
            QRegion controls;
            for (const QWidget* c :
                 find<TTabSheet>(sheet)->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                controls += inSight(c);
            EXPECT_FALSE(controls.intersects(ui::outerGeometry(Form2)))
                << testing::PrintToString(ui::outerGeometry(Form2));
        }
    }
}

TEST_F(BitmapTab, TheViewerKeepsItsPictureWhenHiddenAndShownAgain) {
    pressBuild();
    ASSERT_EQ(onScreen(350, 250), (Rgb{128, 0, 0}));
    Form2->hide();
    QApplication::processEvents();
    Form2->show();
    QApplication::processEvents();
    for (const auto& [column, color] : kStartUpRow)
        EXPECT_EQ(onScreen(column, 250), color) << column;
    // Outside the picture the window shows its own surface.
    EXPECT_NE(onScreen(750, 250), (Rgb{0, 0, 0}));
}

} // namespace
