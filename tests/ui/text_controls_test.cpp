#include <gtest/gtest.h>

#include <QLabel>
#include <QWidget>

#include "ui/TEdit.h"
#include "ui/TLabeledEdit.h"
#include "ui/TMemo.h"
#include "ui/TStatusBar.h"
#include "ui_test_support.h"

namespace {

TEST(Edit, TextCrossesAsUtf8BytesBothWays) {
    TEdit edit;
    edit.setAnsiText("wyrożnik row. 3-go stopnia D =  ");
    EXPECT_EQ(edit.text(), QStringLiteral("wyrożnik row. 3-go stopnia D =  "));
    edit.setText(QStringLiteral("dzień miesiąca"));
    EXPECT_EQ(edit.ansiText(), "dzień miesiąca");
}

// A result wider than its field shows its first characters, the sign among them; what the user types
// still goes in where the cursor is and leaves the cursor after it.
TEST(Edit, AProgramWrittenTextShowsFromItsFirstCharacter) {
    QWidget window;
    auto* edit = new TEdit(&window);
    edit->setGeometry(10, 10, 60, 21);
    uitest::showActive(window);
    for (const char* text : {"-7,11111111111111", " Przekroczenie rozmiaru tablicy ! ", "-17"}) {
        edit->setAnsiText(text);
        EXPECT_EQ(edit->cursorPosition(), 0) << text;
    }
    edit->setFocus();
    edit->end(false);
    uitest::type(edit, QStringLiteral("5"));
    EXPECT_EQ(edit->ansiText(), "-175");
    EXPECT_EQ(edit->cursorPosition(), 4);
}

TEST(Edit, ColorIsWhatThePaintShows) {
    QWidget window;
    auto* edit = new TEdit(&window);
    edit->setGeometry(10, 10, 80, 21);
    edit->setColor(QColor(255, 255, 0));
    window.show();
    EXPECT_EQ(edit->color(), QColor(255, 255, 0));
    const QImage shot = edit->grab().toImage();
    EXPECT_EQ(shot.pixelColor(shot.width() / 2, shot.height() / 2), QColor(255, 255, 0));

    edit->setColor(QColor(0, 255, 0));
    const QImage again = edit->grab().toImage();
    EXPECT_EQ(again.pixelColor(again.width() / 2, again.height() / 2), QColor(0, 255, 0));
}

TEST(LabeledEdit, LabelSitsThreePixelsAboveAndFollowsTheEdit) {
    QWidget tab;
    tab.resize(400, 300);
    auto* edit = new TLabeledEdit(&tab);
    edit->setLabelText(QStringLiteral("iloczyn.re = "));
    tab.show();
    edit->setGeometry(24, 96, 89, 21);
    QLabel* label = edit->label();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->parentWidget(), &tab);
    EXPECT_EQ(label->buddy(), edit);
    EXPECT_EQ(label->text(), QStringLiteral("iloczyn.re = "));
    EXPECT_EQ(label->x(), 24);
    EXPECT_EQ(label->y() + label->height() + 3, 96);

    edit->move(144, 136);
    EXPECT_EQ(label->x(), 144);
    EXPECT_EQ(label->y() + label->height() + 3, 136);
    // A longer caption is shown whole.
    edit->setLabelText(QStringLiteral("wyrożnik row. 3-go stopnia D =  "));
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    EXPECT_EQ(label->y() + label->height() + 3, 136);
}

TEST(LabeledEdit, FormBuiltHiddenShowsTheLabelInPlace) {
    // A form places its controls before it is shown, when Qt holds their move events back.
    QWidget tab;
    auto* edit = new TLabeledEdit(&tab);
    edit->setLabelText(QStringLiteral("   p  ="));
    edit->setGeometry(560, 96, 113, 21);
    tab.resize(800, 300);
    tab.show();
    auto* label = tab.findChild<QLabel*>(); // not through label(), which places it on the way
    EXPECT_TRUE(label->isVisible());
    EXPECT_EQ(label->x(), 560);
    EXPECT_EQ(label->y() + label->height() + 3, 96);

    // A caption changed while its page is hidden is measured again when the page comes back.
    tab.hide();
    edit->setLabelText(QStringLiteral("wyrożnik row. 3-go stopnia D =  "));
    tab.show();
    EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()));
    EXPECT_EQ(label->y() + label->height() + 3, 96);
}

TEST(LabeledEdit, LabelIsShownAndHiddenWithTheEdit) {
    QWidget tab;
    auto* edit = new TLabeledEdit(&tab);
    edit->setLabelText(QStringLiteral("p ="));
    tab.show();
    EXPECT_TRUE(edit->label()->isVisible());
    edit->hide();
    EXPECT_FALSE(edit->label()->isVisible());
    edit->show();
    EXPECT_TRUE(edit->label()->isVisible());
    // Hiding the whole tab hides both, and showing it again brings both back.
    tab.hide();
    tab.show();
    EXPECT_TRUE(edit->label()->isVisible());
}

TEST(LabeledEdit, LabelMovesToTheEditsNewParent) {
    QWidget first;
    QWidget second;
    auto* edit = new TLabeledEdit;
    edit->setLabelText(QStringLiteral("q ="));
    edit->setParent(&first);
    edit->move(10, 50);
    EXPECT_EQ(edit->label()->parentWidget(), &first);
    edit->setParent(&second);
    EXPECT_EQ(edit->label()->parentWidget(), &second);
    EXPECT_EQ(edit->label()->y() + edit->label()->height() + 3, 50);
}

TEST(Memo, LinesAreAppendedAfterTheExistingOnes) {
    TMemo memo;
    memo.setLines({QStringLiteral("Memo1")});
    for (const char* line : {"1", "2", "3", "4"})
        memo.addLine(line);
    EXPECT_EQ(memo.lines(), (std::vector<std::string>{"Memo1", "1", "2", "3", "4"}));
    EXPECT_EQ(memo.lineCount(), 5);
    EXPECT_EQ(memo.line(0), "Memo1");
    EXPECT_EQ(memo.line(4), "4");
    EXPECT_EQ(memo.line(5), "");
    EXPECT_EQ(memo.toPlainText(), QStringLiteral("Memo1\n1\n2\n3\n4"));
}

TEST(Memo, EmptyLinesCountAsLines) {
    TMemo memo;
    EXPECT_EQ(memo.lineCount(), 0);
    memo.addLine("");
    EXPECT_EQ(memo.lineCount(), 1);
    memo.addLine(" liczba ukryta = 271");
    EXPECT_EQ(memo.lines(), (std::vector<std::string>{"", " liczba ukryta = 271"}));

    memo.setLines({QStringLiteral("metoda I ( & = and)"), QString(), QStringLiteral("oraz "), QString(),
                   QStringLiteral("metoda II (^ = xor):")});
    EXPECT_EQ(memo.lineCount(), 5);
    EXPECT_EQ(memo.line(1), "");
    EXPECT_EQ(memo.line(2), "oraz ");
    EXPECT_EQ(memo.lineList().size(), 5);
}

TEST(Memo, ClearRemovesEveryLine) {
    TMemo memo;
    memo.addLine("");
    memo.clearLines();
    EXPECT_EQ(memo.lineCount(), 0);
    EXPECT_TRUE(memo.lines().empty());
    memo.addLine("a");
    memo.addLine("b");
    memo.clearLines();
    EXPECT_EQ(memo.lineCount(), 0);
    memo.addLine("c");
    EXPECT_EQ(memo.lines(), (std::vector<std::string>{"c"}));
}

TEST(StatusBar, ShowsTwoEmptyPanelsOfFiftyPixels) {
    QWidget window;
    auto* bar = new TStatusBar(&window);
    bar->setGeometry(0, 722, 1110, 24);
    window.resize(1110, 746);
    window.show();
    QApplication::processEvents();
    ASSERT_EQ(bar->panelCount(), 2);
    for (int i = 0; i < 2; ++i) {
        ASSERT_NE(bar->panel(i), nullptr);
        EXPECT_TRUE(bar->panel(i)->isVisible());
        EXPECT_EQ(bar->panel(i)->width(), 50);
        EXPECT_TRUE(bar->panel(i)->text().isEmpty());
    }
    EXPECT_GE(bar->panel(1)->x(), bar->panel(0)->x() + 50);
}

} // namespace
