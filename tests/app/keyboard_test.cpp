// The main window without a mouse: Tab through each tab's controls, Enter and Space on buttons,
// Ctrl+Tab between tabs. Keys go in as the window system delivers them, shortcuts included.

#include <QApplication>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "app_test_support.h"

namespace {

// The control a focused widget belongs to, by its name in the form; the tab strip is "tabs" and a
// radio button its caption. A spin edit's or combo box's inner edit counts as the control itself.
std::string controlName(const QWidget* w) {
    for (; w != nullptr; w = w->parentWidget()) {
        if (const auto* radio = qobject_cast<const QRadioButton*>(w))
            return "radio " + radio->text().toStdString();
        if (qobject_cast<const QTabBar*>(w))
            return "tabs";
        const QString name = w->objectName();
        if (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")))
            return name.toStdString();
    }
    return "(nothing)";
}

std::string focused() { return controlName(QApplication::focusWidget()); }

void activate(QWidget* window) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* target = QApplication::focusWidget();
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, key, modifiers);
}

// Brings the tab that holds `control` to the front.
void showTabOf(TPageControl* pages, const QWidget* control) {
    for (int i = 0; i < pages->count(); ++i)
        if (pages->widget(i)->isAncestorOf(control))
            pages->setCurrentIndex(i);
}

// The controls Tab visits from the tab strip until it comes back to it (at most `limit` steps).
std::vector<std::string> walk(Qt::Key key, int limit = 60) {
    std::vector<std::string> visited;
    for (int i = 0; i < limit; ++i) {
        press(key, key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        const std::string now = focused();
        if (now == "tabs")
            break;
        visited.push_back(now);
    }
    return visited;
}

// Each tab's controls in the order its home gives; of a radio group only the chosen item takes the
// focus.
std::vector<std::string> expectedOrder(const tabs::Tab& tab) {
    std::vector<std::string> names;
    for (const QWidget* w : tab.tabOrder)
        if (const auto* radio = qobject_cast<const QRadioButton*>(w); radio == nullptr || radio->isChecked())
            names.push_back(controlName(w));
    return names;
}

// Every control on a page that takes the focus by Tab, found without the form's own list.
std::set<std::string> focusableOn(const QWidget* page) {
    std::set<std::string> names;
    for (const QWidget* w : page->findChildren<QWidget*>()) {
        if (w->isVisible() && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus &&
            w->focusProxy() == nullptr) {
            // Of a radio group only the chosen item takes the focus; the arrows move between items.
            if (const auto* radio = qobject_cast<const QRadioButton*>(w); radio && !radio->isChecked())
                continue;
            names.insert(controlName(w));
        }
    }
    return names;
}

} // namespace

using Keyboard = FormTest;

TEST_F(Keyboard, TabVisitsEveryControlOfEachTabInReadingOrderAndShiftTabGoesBack) {
    activate(Form1);
    auto* pages = find<TPageControl>("PageControl1");
    const std::vector<tabs::Tab>& tabs = Form1->tabHomes();
    ASSERT_EQ(pages->count(), static_cast<int>(tabs.size()));
    for (int i = 0; i < pages->count(); ++i) {
        SCOPED_TRACE(pages->widget(i)->objectName().toStdString());
        pages->setCurrentIndex(i);
        pages->tabBar()->setFocus(Qt::TabFocusReason);
        ASSERT_EQ(focused(), "tabs");

        const std::vector<std::string> forward = walk(Qt::Key_Tab);
        EXPECT_EQ(forward, expectedOrder(tabs[i]));
        EXPECT_EQ(std::set<std::string>(forward.begin(), forward.end()), focusableOn(pages->widget(i)));

        ASSERT_EQ(focused(), "tabs");
        std::vector<std::string> backward = walk(Qt::Key_Backtab);
        std::reverse(backward.begin(), backward.end());
        EXPECT_EQ(backward, expectedOrder(tabs[i]));
        // Tab never changed the tab in front.
        EXPECT_EQ(pages->currentIndex(), i);
    }
}

TEST_F(Keyboard, MemosAndGridsPassTabOn) {
    activate(Form1);
    auto* pages = find<TPageControl>("PageControl1");
    pages->setCurrentWidget(find<TTabSheet>("TabSheet4"));
    find<TStringGrid>("Dane")->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Tab);
    EXPECT_EQ(focused(), "LabeledEdit14");

    pages->setCurrentWidget(find<TTabSheet>("TabSheet6"));
    auto* memo = find<TMemo>("Memo3");
    const std::vector<std::string> before = memo->lines();
    memo->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(focused(), "Edit14");
    memo->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Tab);
    EXPECT_EQ(focused(), "tabs");
    EXPECT_EQ(memo->lines(), before);
}

TEST_F(Keyboard, EnterReturnAndSpacePressTheFocusedButton) {
    std::vector<std::string> ran;
    const auto previous =
        TForm1::setHandlerObserver([&ran](std::string_view name) { ran.emplace_back(name); });
    auto* pages = find<TPageControl>("PageControl1");
    for (const tabs::Tab& tab : Form1->tabHomes())
        for (const tabs::HandlerRow& row : tab.handlers) {
            auto* button = qobject_cast<QPushButton*>(row.sender);
            if (button == nullptr)
                continue;
            SCOPED_TRACE(button->objectName().toStdString());
            for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space}) {
                // QTest::toString hands over a string allocated with new[].
                const std::unique_ptr<char[]> keyName(QTest::toString(key));
                SCOPED_TRACE(keyName.get());
                // The bitmap button brings the viewer to the front; the main window is made active again.
                activate(Form1);
                showTabOf(pages, button);
                button->setFocus(Qt::TabFocusReason);
                ASSERT_EQ(focused(), button->objectName().toStdString());
                ran.clear();
                press(key, key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
                EXPECT_EQ(ran, std::vector<std::string>{row.handler});
            }
        }
    TForm1::setHandlerObserver(previous);
    EXPECT_TRUE(shownErrors().empty());
}

TEST_F(Keyboard, CtrlTabAndCtrlShiftTabBringTheNextAndPreviousTabToTheFront) {
    activate(Form1);
    auto* pages = find<TPageControl>("PageControl1");
    const int count = pages->count();
    // From controls that take keys of their own, and from the tab strip; the first and last tabs
    // wrap around.
    for (const char* name : {"Button3", "Edit6", "ComboBox1", "Memo1", "CB2", "Dane", "CSpinEdit1", "Chart2",
                             "Memo3", "Memo2", "Chart1", "RedMax", "CheckBox1", "PageControl1"}) {
        SCOPED_TRACE(name);
        QWidget* control = find<QWidget>(name);
        showTabOf(pages, control);
        const int tab = pages->currentIndex();
        for (const auto& [key, modifiers, step] :
             {std::tuple{Qt::Key_Tab, Qt::KeyboardModifiers(Qt::ControlModifier), 1},
              std::tuple{Qt::Key_Backtab, Qt::KeyboardModifiers(Qt::ControlModifier | Qt::ShiftModifier),
                         -1}}) {
            pages->setCurrentIndex(tab);
            control->setFocus(Qt::TabFocusReason);
            ASSERT_NE(focused(), "(nothing)");
            press(key, modifiers);
            EXPECT_EQ(pages->currentIndex(), (tab + step + count) % count) << "step " << step;
        }
    }
}

TEST_F(Keyboard, AfterCtrlTabTheFocusIsOnTheNewTab) {
    activate(Form1);
    auto* pages = find<TPageControl>("PageControl1");
    pages->setCurrentWidget(find<TTabSheet>("TabSheet1"));
    find<TButton>("Button8")->setFocus(Qt::TabFocusReason);
    press(Qt::Key_Tab, Qt::ControlModifier);
    ASSERT_EQ(pages->currentWidget()->objectName(), "TabSheet2");
    EXPECT_EQ(focused(), "Edit6");
}
