#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QWidget>
#include <functional>

#include "ui/TComboBox.h"
#include "ui/TRadioGroup.h"
#include "ui/TTrackBar.h"
#include "ui_test_support.h"

namespace {

struct ComboFixture : ::testing::Test {
    ComboFixture() {
        combo = new TComboBox(&window);
        combo->addItems({QStringLiteral("1,0"), QStringLiteral("1"), QStringLiteral("1,999999"), QString()});
        combo->setItemIndex(0);
        other = new QLineEdit(&window);
        other->move(0, 40);
        QObject::connect(combo, &TComboBox::changed, [this] { texts.push_back(combo->ansiText()); });
        uitest::showActive(window);
        combo->setFocus();
    }
    std::vector<std::string> texts; // the text at each changed(); outlives the controls
    QWidget window;
    TComboBox* combo = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(ComboFixture, SettingTheItemIndexShowsTheItemAndFiresNothing) {
    combo->setItemIndex(2);
    EXPECT_EQ(combo->itemIndex(), 2);
    EXPECT_EQ(combo->ansiText(), "1,999999");
    combo->setItemIndex(-1);
    EXPECT_EQ(combo->itemIndex(), -1);
    EXPECT_EQ(combo->ansiText(), "");
    EXPECT_TRUE(texts.empty());
}

TEST_F(ComboFixture, SettingTheSameIndexReplacesATypedTextThatThenNeverFires) {
    combo->setItemIndex(1);
    uitest::type(combo, QStringLiteral("7"));
    combo->setItemIndex(1);
    EXPECT_EQ(combo->ansiText(), "1");
    EXPECT_FALSE(combo->typingPending());
}

// Typing fires nothing in the middle of a word: one change, with the whole text, once the text has
// rested. The events the keys posted are all handled first with nothing fired: the change waits
// for the rest, not for the queue.
TEST_F(ComboFixture, TypingFiresOnceWhenTheTextHasRested) {
    combo->lineEdit()->selectAll();
    uitest::type(combo, QStringLiteral("1e+10"));
    QApplication::processEvents();
    EXPECT_TRUE(texts.empty());
    EXPECT_TRUE(combo->typingPending());
    // The deadline only keeps a rest that never ends from hanging the run.
    const QDeadlineTimer deadline(30000);
    while (texts.empty() && !deadline.hasExpired())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(texts, (std::vector<std::string>{"1e+10"}));
    EXPECT_FALSE(combo->typingPending());
    EXPECT_EQ(combo->itemIndex(), 0);
}

TEST_F(ComboFixture, EnterOrLeavingTheBoxFiresTheTypedTextAtOnce) {
    const std::function<void()> finishes[] = {[this] { uitest::key(combo, Qt::Key_Return); },
                                              [this] { uitest::key(combo, Qt::Key_Enter); },
                                              [this] { other->setFocus(Qt::TabFocusReason); }};
    for (const auto& finish : finishes) {
        texts.clear();
        combo->setFocus();
        combo->lineEdit()->selectAll();
        uitest::type(combo, QStringLiteral("-2,5e3"));
        finish();
        EXPECT_EQ(texts, (std::vector<std::string>{"-2,5e3"}));
        EXPECT_FALSE(combo->typingPending()) << "would fire a second time";
    }
}

TEST_F(ComboFixture, ChoosingAnItemWithTheKeysFiresAtOnceInsteadOfTheTyping) {
    uitest::type(combo, QStringLiteral("7"));
    uitest::key(combo, Qt::Key_Down);
    EXPECT_EQ(combo->itemIndex(), 1);
    EXPECT_EQ(texts, (std::vector<std::string>{"1"}));
    EXPECT_FALSE(combo->typingPending());
}

TEST_F(ComboFixture, ChoosingAnItemFromTheListFiresEvenForTheSameText) {
    combo->showPopup();
    QAbstractItemView* list = combo->view();
    list->setCurrentIndex(list->model()->index(2, 0));
    uitest::key(list, Qt::Key_Return);
    EXPECT_EQ(combo->itemIndex(), 2);
    EXPECT_EQ(texts, (std::vector<std::string>{"1,999999"}));

    combo->showPopup();
    list->setCurrentIndex(list->model()->index(2, 0));
    uitest::key(list, Qt::Key_Return);
    EXPECT_EQ(texts.size(), 2u);
}

TEST_F(ComboFixture, FinishingAnEditThatMatchesAnItemFiresOnce) {
    combo->lineEdit()->selectAll();
    uitest::type(combo, QStringLiteral("1"));
    uitest::key(combo, Qt::Key_Return);
    other->setFocus();
    QApplication::processEvents();
    EXPECT_EQ(texts, (std::vector<std::string>{"1"}));
    EXPECT_EQ(combo->count(), 4); // nothing inserted
}

struct RadioFixture : ::testing::Test {
    RadioFixture() {
        group = new TRadioGroup(&window);
        group->setGeometry(56, 24, 113, 145);
        group->setTitle(QStringLiteral("przypadek"));
        group->setItems({QStringLiteral("podaj dane ->"), QStringLiteral("D > 0"), QStringLiteral("D = 0"),
                         QStringLiteral("D < 0")});
        group->setItemIndex(0);
        QObject::connect(group, &TRadioGroup::clicked, [this] { selections.push_back(group->itemIndex()); });
        uitest::showActive(window);
    }
    std::vector<int> selections; // the item index at each clicked(); outlives the controls
    QWidget window;
    TRadioGroup* group = nullptr;
};

TEST_F(RadioFixture, ClickingAnotherItemFiresOnce) {
    uitest::click(group->button(2));
    EXPECT_EQ(group->itemIndex(), 2);
    EXPECT_TRUE(group->button(2)->isChecked());
    EXPECT_FALSE(group->button(0)->isChecked());
    EXPECT_EQ(selections, (std::vector<int>{2}));
}

TEST_F(RadioFixture, ClickingTheSelectedItemFiresNothing) {
    uitest::click(group->button(0));
    uitest::click(group->button(0));
    EXPECT_TRUE(selections.empty());
    EXPECT_EQ(group->itemIndex(), 0);
}

TEST_F(RadioFixture, ArrowKeysMoveTheSelectionAndFire) {
    group->button(0)->setFocus();
    uitest::key(group->button(0), Qt::Key_Down);
    EXPECT_EQ(group->itemIndex(), 1);
    EXPECT_EQ(selections, (std::vector<int>{1}));
}

// A screen reader's actions on an item (Qt's "Toggle", and "Press", which clicks after a moment)
// choose it as a click or the arrow keys do.
TEST_F(RadioFixture, AccessibleActionsOnAnItemFireAsAClickDoes) {
    QAccessibleActionInterface* third =
        QAccessible::queryAccessibleInterface(group->button(2))->actionInterface();
    ASSERT_NE(third, nullptr);
    third->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(group->itemIndex(), 2);
    EXPECT_EQ(selections, (std::vector<int>{2}));

    QAccessibleActionInterface* last =
        QAccessible::queryAccessibleInterface(group->button(3))->actionInterface();
    last->doAction(QAccessibleActionInterface::pressAction());
    const QDeadlineTimer deadline(5000);
    while (selections.size() < 2 && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    EXPECT_EQ(group->itemIndex(), 3);
    EXPECT_EQ(selections, (std::vector<int>{2, 3}));
}

TEST_F(RadioFixture, SettingTheIndexFiresNothing) {
    group->setItemIndex(3);
    EXPECT_TRUE(group->button(3)->isChecked());
    group->setItemIndex(-1);
    EXPECT_EQ(group->itemIndex(), -1);
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(group->button(i)->isChecked());
    EXPECT_TRUE(selections.empty());
}

TEST_F(RadioFixture, ColumnsAreFilledTopToBottom) {
    group->resize(240, 145);
    group->setColumns(2);
    QApplication::processEvents();
    // Items 0 and 1 in the first column, 2 and 3 in the second.
    EXPECT_EQ(group->button(1)->x(), group->button(0)->x());
    EXPECT_GT(group->button(1)->y(), group->button(0)->y());
    EXPECT_GT(group->button(2)->x(), group->button(0)->x());
    EXPECT_EQ(group->button(2)->y(), group->button(0)->y());
}

TEST(TrackBar, EveryChangeOfPositionFiresOnceProgramOrKeys) {
    QWidget window;
    auto* bar = new TTrackBar(&window);
    bar->setRange(0, 255);
    bar->setPosition(128);
    int changes = 0;
    QObject::connect(bar, &TTrackBar::changed, [&] { ++changes; });
    uitest::showActive(window);

    bar->setPosition(200);
    EXPECT_EQ(changes, 1);
    bar->setPosition(200);
    EXPECT_EQ(changes, 1);
    bar->setPosition(300); // beyond the maximum: the position stops at 255
    EXPECT_EQ(bar->position(), 255);
    EXPECT_EQ(changes, 2);
    bar->setFocus();
    uitest::key(bar, Qt::Key_Left);
    EXPECT_EQ(bar->position(), 254);
    EXPECT_EQ(changes, 3);
    EXPECT_EQ(bar->orientation(), Qt::Horizontal);
    EXPECT_EQ(bar->tickPosition(), QSlider::TicksBelow);
    EXPECT_EQ(bar->tickInterval(), 10);
}

} // namespace
