#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QWidget>
#include <string>
#include <vector>

#include "ui/TCSpinEdit.h"
#include "ui_test_support.h"

namespace {

// The year field of the Easter experiment: limits 1000..2200, text "2011".
struct SpinFixture : ::testing::Test {
    SpinFixture() {
        spin = new TCSpinEdit(&window);
        spin->setGeometry(304, 368, 49, 22);
        spin->setMinValue(1000);
        spin->setMaxValue(2200);
        spin->setAnsiText("2011");
        other = new QLineEdit(&window);
        other->setGeometry(0, 0, 50, 20);
        QObject::connect(spin, &TCSpinEdit::changed, [this] { texts.push_back(spin->ansiText()); });
        uitest::showActive(window);
    }

    QPoint arrow(QStyle::SubControl which) const {
        QStyleOptionSpinBox option;
        option.initFrom(spin);
        option.subControls = QStyle::SC_All;
        option.buttonSymbols = spin->buttonSymbols();
        option.frame = spin->hasFrame();
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        return spin->style()->subControlRect(QStyle::CC_SpinBox, &option, which, spin).center();
    }

    std::vector<std::string> texts; // the text at each changed(); outlives the controls
    QWidget window;
    TCSpinEdit* spin = nullptr;
    QLineEdit* other = nullptr;
};

TEST_F(SpinFixture, HoldsAnyTextAndReportsEveryChange) {
    spin->setAnsiText("abc");
    EXPECT_EQ(spin->ansiText(), "abc");
    spin->setAnsiText("abc"); // the same text: no change
    spin->setFocus();
    spin->selectAll();
    uitest::type(spin, QStringLiteral("9x"));
    EXPECT_EQ(spin->ansiText(), "9x");
    EXPECT_EQ(texts, (std::vector<std::string>{"abc", "9", "9x"}));
}

TEST_F(SpinFixture, ValueIsTheParsedTextWithoutLimits) {
    spin->setAnsiText("9999");
    EXPECT_EQ(spin->value(), 9999);
    spin->setAnsiText(" 12");
    EXPECT_EQ(spin->value(), 12);
    spin->setAnsiText("$10");
    EXPECT_EQ(spin->value(), 16);
    EXPECT_EQ(spin->ansiText(), "$10"); // reading changes nothing
}

TEST_F(SpinFixture, ValueOfABadTextFallsBackToTheMinimumAndWritesIt) {
    for (const char* bad : {"", "20 11", "abc", "-", "2147483648"}) {
        spin->setAnsiText(bad);
        texts.clear();
        EXPECT_EQ(spin->value(), 1000) << bad;
        EXPECT_EQ(spin->ansiText(), "1000") << bad;
        EXPECT_EQ(texts, (std::vector<std::string>{"1000"})) << bad;
    }
}

TEST_F(SpinFixture, FallbackFiresTheHandlerNestedBeforeValueReturns) {
    std::vector<std::string> events;
    int depth = 0;
    QObject::connect(spin, &TCSpinEdit::changed, [&] {
        events.push_back("change " + spin->ansiText() + " at depth " + std::to_string(depth));
        if (depth == 0) {
            ++depth;
            events.push_back("nested read " + std::to_string(spin->value()));
            --depth;
        }
    });
    spin->setAnsiText("rok");
    EXPECT_EQ(events, (std::vector<std::string>{"change rok at depth 0", "change 1000 at depth 1",
                                                "nested read 1000"}));
}

TEST_F(SpinFixture, SetValueLimitsThenWritesTheText) {
    spin->setValue(3000);
    EXPECT_EQ(spin->ansiText(), "2200");
    spin->setValue(-5);
    EXPECT_EQ(spin->ansiText(), "1000");
    spin->setValue(1500);
    spin->setValue(1500); // the same text: no change
    EXPECT_EQ(texts, (std::vector<std::string>{"2200", "1000", "1500"}));
}

TEST(SpinEdit, EqualLimitsMeanNoLimit) {
    TCSpinEdit spin;
    EXPECT_EQ(spin.ansiText(), "0");
    spin.setValue(-123456);
    EXPECT_EQ(spin.ansiText(), "-123456");
    spin.setMinValue(7);
    spin.setMaxValue(7);
    spin.setValue(9);
    EXPECT_EQ(spin.ansiText(), "9");
}

TEST_F(SpinFixture, ArrowKeysStepByTheIncrement) {
    spin->setFocus();
    uitest::key(spin, Qt::Key_Up);
    EXPECT_EQ(spin->ansiText(), "2012");
    spin->setIncrement(5);
    uitest::key(spin, Qt::Key_Down);
    EXPECT_EQ(spin->ansiText(), "2007");
    spin->setAnsiText("2200");
    texts.clear();
    uitest::key(spin, Qt::Key_Up); // at the maximum nothing changes
    EXPECT_EQ(spin->ansiText(), "2200");
    EXPECT_TRUE(texts.empty());
}

TEST_F(SpinFixture, ArrowButtonsStepFromTheValueWithItsFallback) {
    spin->setAnsiText("x");
    texts.clear();
    uitest::click(spin, arrow(QStyle::SC_SpinBoxUp));
    // The bad text reads as the minimum (one change), and the step goes on from there.
    EXPECT_EQ(texts, (std::vector<std::string>{"1000", "1001"}));
    uitest::click(spin, arrow(QStyle::SC_SpinBoxDown));
    EXPECT_EQ(spin->ansiText(), "1000");
}

TEST_F(SpinFixture, LosingFocusBringsTheTextIntoTheLimits) {
    spin->setFocus();
    spin->setAnsiText("5555");
    other->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(spin->hasFocus());
    EXPECT_EQ(spin->ansiText(), "2200");

    spin->setFocus();
    spin->setAnsiText("abc");
    other->setFocus();
    EXPECT_EQ(spin->ansiText(), "1000");

    // A value within the limits keeps its text as typed.
    spin->setFocus();
    spin->setAnsiText(" 2011");
    other->setFocus();
    EXPECT_EQ(spin->ansiText(), " 2011");
}

TEST_F(SpinFixture, WindowLosingActivationIsNotAnExit) {
    spin->setFocus();
    spin->setAnsiText("abc");
    texts.clear();
    window.hide(); // closing the window, or another one becoming active
    QApplication::processEvents();
    EXPECT_EQ(spin->ansiText(), "abc");
    EXPECT_TRUE(texts.empty());
}

TEST_F(SpinFixture, SizeHintFitsTheLimitsAndTheArrows) {
    const QSize hint = spin->sizeHint();
    EXPECT_GT(hint.width(), spin->fontMetrics().horizontalAdvance(QStringLiteral("2200")) + 8);
    EXPECT_GE(hint.height(), spin->fontMetrics().height());
}

} // namespace
