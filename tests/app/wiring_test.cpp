// Every event the program answers reaches its handler, once, and no other event reaches any.

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QRadioButton>

#include <cfenv>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app_test_support.h"
#include "numtext/fpenv.h"
#include "window_controls.h"

namespace {

class Wiring : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        m_previous = TForm1::setHandlerObserver([this](std::string_view name) { m_ran.emplace_back(name); });
    }
    void TearDown() override {
        TForm1::setHandlerObserver(m_previous);
        FormTest::TearDown();
    }

    // The handlers that ran while `action` did, in order.
    std::vector<std::string> during(const std::function<void()>& action) {
        m_ran.clear();
        action();
        return m_ran;
    }

    std::vector<std::string> m_ran;
    TForm1::HandlerObserver m_previous;
};

void typeInto(QWidget* widget, Qt::Key key, const QString& text = QString()) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(widget, &release);
}

void clickAt(QWidget* widget, QPoint pos) {
    const QPointF local(pos);
    const QPointF global(widget->mapToGlobal(pos));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(widget, &release);
}

using Names = std::vector<std::string>;

} // namespace

// Each event a tab's home lists reaches its handler once, and no other handler runs with it.
TEST_F(Wiring, EveryEventOfEveryTabRunsItsHandlerOnce) {
    int rows = 0;
    for (const tabs::Tab& tab : Form1->tabHomes())
        for (const tabs::HandlerRow& row : tab.handlers) {
            EXPECT_EQ(during(row.send), Names{row.handler}) << row.sender->objectName().toStdString();
            ++rows;
        }
    EXPECT_GE(rows, 20);
}

TEST_F(Wiring, EveryChangeOfATrackBarRunsTheBitmapHandler) {
    for (const char* name : {"RedMax", "GreenMax", "BlueMax"}) {
        auto* bar = find<TTrackBar>(name);
        EXPECT_EQ(during([&] { bar->setPosition(bar->position() + 7); }), Names{"Button7Click"}) << name;
        EXPECT_EQ(during([&] { typeInto(bar, Qt::Key_Right); }), Names{"Button7Click"}) << name;
    }
}

TEST_F(Wiring, EveryChangeOfAYearFieldRunsTheEasterHandler) {
    for (const char* name : {"CSpinEdit1", "rok1", "rok2"}) {
        auto* spin = find<TCSpinEdit>(name);
        // A text the program wrote shows from its start, with the cursor there.
        EXPECT_EQ(during([&] { typeInto(spin, Qt::Key_End); }), Names{}) << name;
        EXPECT_EQ(during([&] { typeInto(spin, Qt::Key_Backspace); }), Names{"Button6Click"}) << name;
        EXPECT_EQ(during([&] { typeInto(spin, Qt::Key_5, QStringLiteral("5")); }), Names{"Button6Click"})
            << name;
        EXPECT_EQ(during([&] { typeInto(spin, Qt::Key_Up); }), Names{"Button6Click"}) << name;
        EXPECT_EQ(during([&] { spin->setAnsiText("1999"); }), Names{"Button6Click"}) << name;
    }
}

TEST_F(Wiring, TypingOrChoosingACountRunsTheConversions) {
    auto* cb2 = find<TComboBox>("CB2");
    EXPECT_EQ(during([&] { typeInto(cb2, Qt::Key_0, QStringLiteral("0")); }), Names{});
    EXPECT_EQ(during([&] { typeInto(cb2, Qt::Key_Return); }), Names{"CB2Change"});
    EXPECT_EQ(cb2->ansiText(), "1e+30");
    EXPECT_EQ(during([&] { typeInto(cb2, Qt::Key_Down); }), Names{"CB2Change"});
    EXPECT_EQ(during([&] { cb2->setItemIndex(4); }), Names{});
}

TEST_F(Wiring, ChoosingAnotherEquationSolvesIt) {
    auto* radio = find<TRadioGroup>("przypadekD");
    EXPECT_EQ(during([&] { radio->button(2)->click(); }), Names{"Rownanie3Click"});
    EXPECT_EQ(during([&] { radio->button(2)->click(); }), Names{});
    EXPECT_EQ(during([&] { radio->setItemIndex(3); }), Names{});
}

// The strip above the pages, the margins beside them and the band above the status bar are the
// window's own surface; a click there is a press of "< --- Caculate".
TEST_F(Wiring, AClickOnTheFreeSurfaceRunsTheRoundingHandler) {
    Form1->show();
    for (QPoint free : {QPoint(500, 10), QPoint(3, 300), QPoint(1107, 300), QPoint(500, 700)})
        EXPECT_EQ(during([&] { clickAt(Form1, free); }), Names{"Button1Click"})
            << free.x() << "," << free.y();
    auto* status = find<TStatusBar>("StatusBar1");
    EXPECT_EQ(during([&] { clickAt(status, QPoint(200, 12)); }), Names{});
    auto* sheet = find<TTabSheet>("TabSheet7");
    EXPECT_EQ(during([&] { clickAt(sheet, QPoint(400, 20)); }), Names{});
    auto* label = find<TLabel>("Label3");
    EXPECT_EQ(during([&] { clickAt(label, QPoint(5, 5)); }), Names{});
}

TEST_F(Wiring, ControlsWithoutHandlersRunNothing) {
    EXPECT_EQ(during([&] { find<TCheckBox>("CheckBox1")->click(); }), Names{});
    EXPECT_EQ(during([&] { find<TCheckBox>("CheckBox1")->setChecked(false); }), Names{});
    EXPECT_EQ(during([&] { typeInto(find<TComboBox>("ComboBox1"), Qt::Key_7, QStringLiteral("7")); }),
              Names{});
    EXPECT_EQ(during([&] { typeInto(find<TEdit>("Edit6"), Qt::Key_7, QStringLiteral("7")); }), Names{});
    EXPECT_EQ(during([&] { find<TStringGrid>("Dane")->setCell(1, 0, "2"); }), Names{});
}

// Pressing either button of the first tab leaves every text of the window as it was.
TEST_F(Wiring, TheFirstTabsButtonsChangeNothing) {
    const auto snapshot = [] {
        std::vector<std::string> texts;
        for (TEdit* edit : Form1->findChildren<TEdit*>())
            texts.push_back(edit->objectName().toStdString() + "=" + edit->ansiText());
        for (TMemo* memo : Form1->findChildren<TMemo*>())
            for (const std::string& line : memo->lines())
                texts.push_back(memo->objectName().toStdString() + ":" + line);
        return texts;
    };
    const auto before = snapshot();
    find<TButton>("Button3")->click();
    find<TButton>("Button8")->click();
    EXPECT_EQ(snapshot(), before);
    EXPECT_TRUE(shownErrors().empty());
}

// Every handler starts from clear floating-point flags: one raised before it, by whatever ran
// earlier, is never reported as the handler's failure.
TEST_F(Wiring, AFlagRaisedBeforeAHandlerIsNotItsFailure) {
    for (const tabs::Tab& tab : Form1->tabHomes())
        for (const tabs::HandlerRow& row : tab.handlers) {
            const std::string name = row.sender->objectName().toStdString();
            std::feraiseexcept(FE_DIVBYZERO | FE_OVERFLOW | FE_INVALID);
            EXPECT_EQ(during(row.send).size(), 1u) << name;
            EXPECT_TRUE(shownErrors().empty()) << name << ": " << shownErrors().front().message;
            shownErrors().clear();
        }
    std::feclearexcept(FE_ALL_EXCEPT);
}

// The window is the experiments' one way to Qt: whatever Qt computes in an operation, the flags an
// experiment sees are the ones it left. Here every event Qt delivers meanwhile divides by zero, and
// each operation still leaves no flag raised where there was none, and a raised one raised.
TEST_F(Wiring, EveryOperationOnTheWindowKeepsTheFloatingPointFlags) {
    struct DividesByZero : QObject {
        bool eventFilter(QObject*, QEvent*) override {
            volatile double zero = 0.0;
            volatile double r = 1.0 / zero;
            (void)r;
            return false;
        }
    } qtArithmetic;
    QApplication::instance()->installEventFilter(&qtArithmetic);
    WindowControls w(Form1, *Form2);
    experiments::Picture picture(700, 500);
    const std::vector<std::pair<const char*, std::function<void()>>> operations = {
        {"setText", [&] { w.setText("Edit6", "-7,25"); }},
        {"setText of a spin edit, nested handler", [&] { w.setText("CSpinEdit1", "1999"); }},
        {"setColor", [&] { w.setColor("E1", experiments::kLime); }},
        {"setWindowColor", [&] { w.setWindowColor("E1"); }},
        {"repaint", [&] { w.repaint("Edit6"); }},
        {"addLine", [&] { w.addLine("Memo1", "0,5"); }},
        {"setCell", [&] { w.setCell("Eq3", 1, 1, "2,5"); }},
        {"setItemIndex", [&] { w.setItemIndex("przypadekD", 2); }},
        {"setChecked", [&] { w.setChecked("CheckBox1", true); }},
        {"points handed over",
         [&] { w.runHandler(numtext::FormatSettings::comma(), [&] { w.addPoint("Series1", 0.1, 1e300); }); }},
        {"showPicture", [&] { w.showPicture(picture); }},
    };
    for (const auto& [name, operation] : operations) {
        SCOPED_TRACE(name);
        std::feclearexcept(FE_ALL_EXCEPT);
        operation();
        EXPECT_EQ(std::fetestexcept(numtext::kCheckedFlags), 0);
        std::feraiseexcept(FE_OVERFLOW);
        operation();
        EXPECT_EQ(std::fetestexcept(numtext::kCheckedFlags), FE_OVERFLOW);
    }
    QApplication::instance()->removeEventFilter(&qtArithmetic);
    std::feclearexcept(FE_ALL_EXCEPT);
}

// Each hand-over makes the chart lay out and draw again: the points of a handler, and of the
// handlers it sets off, reach the chart once, when the outermost one returns.
TEST_F(Wiring, AHandlersPointsReachTheChartOnceWhenTheOutermostReturns) {
    WindowControls w(Form1, *Form2);
    int handOvers = 0;
    QObject::connect(series("Series1"), &TPointSeries::handedOver, [&] { ++handOvers; });
    w.runHandler(numtext::FormatSettings::comma(), [&] {
        w.clearSeries("Series1");
        w.addPoint("Series1", 1, 1);
        w.runHandler(numtext::FormatSettings::comma(), [&] { w.addPoint("Series1", 2, 2); });
        EXPECT_EQ(handOvers, 0);
        w.addPoint("Series1", 3, 3);
    });
    EXPECT_EQ(handOvers, 1);
    EXPECT_EQ(series("Series1")->handedPoints().size(), 3u);
    EXPECT_THROW(w.runHandler(numtext::FormatSettings::comma(),
                              [&] {
                                  w.addPoint("Series1", 4, 4);
                                  throw numtext::Exception("failed");
                              }),
                 numtext::Exception);
    EXPECT_EQ(handOvers, 2);
    EXPECT_EQ(series("Series1")->handedPoints().size(), 4u);
}
