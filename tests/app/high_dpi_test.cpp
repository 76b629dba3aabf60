// Whole captions and a window that scales. CTest runs these tests twice: at 96 dots per inch, and
// again with QT_SCALE_FACTOR=2 (192 dots per inch), where Qt lays the form out in the same
// device-independent pixels and draws every text, chart and picture with twice the pixels.

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "app_test_support.h"

namespace {

double scaleFactor() {
    bool ok = false;
    const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&ok);
    return ok ? factor : 1.0;
}

void settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

struct Cut {
    std::string control;
    std::string text;
    int needed;
    int room;
};

std::string describe(const std::vector<Cut>& cuts) {
    std::ostringstream out;
    for (const Cut& c : cuts)
        out << "\n  " << c.control << " \"" << c.text << "\": needs " << c.needed << " px, has " << c.room;
    return out.str();
}

std::string nameOf(const QWidget* w) {
    if (!w->objectName().isEmpty())
        return w->objectName().toStdString();
    std::string name = w->metaObject()->className();
    if (const QWidget* parent = w->parentWidget())
        name += " in " + nameOf(parent);
    return name;
}

// The room each kind of control gives its caption, as the style draws it.
int buttonTextRoom(const QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    QStyle::SubElement element = QStyle::SE_PushButtonContents;
    if (const auto* push = qobject_cast<const QPushButton*>(button)) {
        if (push->autoDefault())
            option.features |= QStyleOptionButton::AutoDefaultButton;
    } else {
        element = qobject_cast<const QCheckBox*>(button) ? QStyle::SE_CheckBoxContents
                                                         : QStyle::SE_RadioButtonContents;
    }
    return button->style()->subElementRect(element, &option, button).width();
}

int groupTitleRoom(const QGroupBox* box) {
    QStyleOptionGroupBox option;
    option.initFrom(box);
    option.text = box->title();
    option.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
    const QRect title =
        box->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, box);
    return box->width() - title.left();
}

// Every caption of the visible controls under `root` that is wider than its room.
std::vector<Cut> cutCaptions(const QWidget* root) {
    std::vector<Cut> cuts;
    const auto check = [&cuts](const QWidget* w, const QString& text, int room) {
        const int needed = w->fontMetrics().size(Qt::TextShowMnemonic, text).width();
        if (!text.isEmpty() && needed > room)
            cuts.push_back({nameOf(w), text.toStdString(), needed, room});
    };
    for (const QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisible())
            continue;
        if (const auto* label = qobject_cast<const QLabel*>(w))
            check(label, label->text(), label->contentsRect().width());
        else if (const auto* button = qobject_cast<const QAbstractButton*>(w);
                 button && (qobject_cast<const QPushButton*>(w) || qobject_cast<const QCheckBox*>(w) ||
                            qobject_cast<const QRadioButton*>(w)))
            check(button, button->text(), buttonTextRoom(button));
        else if (const auto* box = qobject_cast<const QGroupBox*>(w))
            check(box, box->title(), groupTitleRoom(box));
    }
    return cuts;
}

// Cells whose text is wider than the column leaves for it in the font it is drawn in.
std::vector<Cut> cutCells(const TStringGrid* grid) {
    std::vector<Cut> cuts;
    const int margin = grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, grid) + 1;
    for (int col = 0; col < grid->colCount(); ++col)
        for (int row = 0; row < grid->rowCount(); ++row) {
            const QString text = QString::fromStdString(grid->cell(col, row));
            const int needed = QFontMetrics(grid->cellFont(col, row)).horizontalAdvance(text);
            const int room = grid->columnWidth(col) - 1 - 2 * margin;
            if (needed > room)
                cuts.push_back({grid->objectName().toStdString() + " (" + std::to_string(col) + ", " +
                                    std::to_string(row) + ")",
                                text.toStdString(), needed, room});
        }
    return cuts;
}

// The texts a chart writes that are not whole inside it, counting in `texts` the texts it writes:
// the title and the legend's entries in their cells; the axis labels, centred on their ticks, along
// the axis inside the chart, and the left axis's across it left of the plot area.
std::vector<Cut> cutChartTexts(const TChart* chart, int& texts) {
    std::vector<Cut> cuts;
    const std::string name = chart->objectName().toStdString();
    const auto check = [&](const char* what, const QString& text, double needed, double room) {
        ++texts;
        if (needed > room)
            cuts.push_back({name + " " + what, text.toStdString(), static_cast<int>(std::ceil(needed)),
                            static_cast<int>(std::floor(room))});
    };
    for (const QCPLayoutElement* element : chart->plotLayout()->elements(true))
        if (const auto* title = qobject_cast<const QCPTextElement*>(element))
            check("title", title->text(), QFontMetricsF(title->font()).horizontalAdvance(title->text()),
                  title->rect().intersected(chart->rect()).width());
    for (int i = 0; chart->legendVisible() && i < chart->legend->itemCount(); ++i) {
        auto* entry = qobject_cast<QCPPlottableLegendItem*>(chart->legend->item(i));
        if (entry == nullptr)
            continue;
        const QString text = entry->plottable()->name();
        check("legend", text,
              chart->legend->iconSize().width() + chart->legend->iconTextPadding() +
                  QFontMetricsF(entry->font()).horizontalAdvance(text),
              entry->rect().intersected(chart->rect()).width());
    }
    for (const QCPAxis* axis : {chart->bottomAxis(), chart->leftAxis()}) {
        const QFontMetricsF metrics(axis->tickLabelFont());
        const bool horizontal = axis->orientation() == Qt::Horizontal;
        for (qsizetype i = 0; i < axis->tickVector().size(); ++i) {
            const QString label = axis->tickVectorLabels()[i];
            const double at = axis->coordToPixel(axis->tickVector()[i]);
            const double along = horizontal ? metrics.horizontalAdvance(label) : metrics.height();
            check("axis label", label, along / 2,
                  std::min(at, (horizontal ? chart->width() : chart->height()) - at));
            if (!horizontal)
                check("axis label", label, metrics.horizontalAdvance(label),
                      axis->axisRect()->left() - axis->tickLabelPadding());
        }
    }
    return cuts;
}

} // namespace

using HighDpi = FormTest;

TEST_F(HighDpi, KeepsTheFormGeometryInDeviceIndependentPixels) {
    Form1->show();
    settle();
    EXPECT_DOUBLE_EQ(Form1->devicePixelRatioF(), scaleFactor());
    EXPECT_EQ(Form1->size(), QSize(1110, 746));
    EXPECT_EQ(find<TPageControl>("PageControl1")->geometry(), QRect(8, 24, 1097, 649));
    EXPECT_EQ(find<TButton>("Button8")->geometry(), QRect(8, 216, 1065, 177));
    EXPECT_EQ(find<TLabel>("Label1")->geometry(), QRect(16, 104, 133, 13));
    // Drawn with as many more pixels as the scale says.
    const QPixmap picture = Form1->grab();
    EXPECT_EQ(picture.size(), QSize(1110, 746) * scaleFactor());
    EXPECT_EQ(find<TChart>("Chart1")->grab().size(), QSize(689, 361) * scaleFactor());
}

// Scroll bars only where the controls do not fit: a window a few pixels short of the form, as a
// window manager's frame on a screen 768 pixels high or a fractional scale leaves it, shows them all
// without one.
TEST_F(HighDpi, ScrollsOnlyWhereTheControlsDoNotFit) {
    Form1->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form1));
    auto* scroll = Form1->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    const auto scrolls = [scroll] {
        settle();
        return scroll->verticalScrollBar()->isVisible() || scroll->horizontalScrollBar()->isVisible();
    };
    EXPECT_FALSE(scrolls()) << "as it opened, " << testing::PrintToString(Form1->size());
    for (const QSize size : {QSize(1110, 743), QSize(1109, 745)}) {
        Form1->resize(size);
        EXPECT_FALSE(scrolls()) << testing::PrintToString(size);
    }
}

TEST_F(HighDpi, NoCaptionIsCutOffOnAnyTab) {
    Form1->show();
    auto* pages = find<TPageControl>("PageControl1");
    std::vector<Cut> cuts;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        settle();
        const std::vector<Cut> onTab = cutCaptions(pages->widget(i));
        cuts.insert(cuts.end(), onTab.begin(), onTab.end());
    }
    EXPECT_TRUE(cuts.empty()) << "cut off at scale factor " << scaleFactor() << ":" << describe(cuts);
}

// What the handlers write into edit fields, each tab's buttons pressed once, and a year that the
// Easter year box corrects when it is left, all shown whole; the year from its first digit.
TEST_F(HighDpi, EveryTextTheProgramWritesShowsWholeFromItsStart) {
    Form1->show();
    Form1->activateWindow();
    QApplication::setActiveWindow(Form1);
    settle();
    auto* pages = find<TPageControl>("PageControl1");
    auto* year = find<TCSpinEdit>("CSpinEdit1");
    pages->setCurrentWidget(year->parentWidget());
    settle();
    year->setFocus();
    year->setAnsiText("99999");
    ASSERT_TRUE(year->hasFocus());
    find<TCSpinEdit>("rok1")->setFocus(Qt::TabFocusReason);
    ASSERT_FALSE(year->hasFocus());
    ASSERT_EQ(year->ansiText(), "2200");
    EXPECT_EQ(year->findChild<QLineEdit*>()->cursorPosition(), 0);
    std::vector<Cut> cuts;
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        settle();
        for (QPushButton* button : pages->widget(i)->findChildren<QPushButton*>())
            if (button->objectName() != QLatin1String("Button2")) // the timing, tested on its own tab
                button->click();
        settle();
        for (QLineEdit* edit : pages->widget(i)->findChildren<QLineEdit*>()) {
            const bool written =
                qobject_cast<TEdit*>(edit) || qobject_cast<TCSpinEdit*>(edit->parentWidget());
            if (!written || !edit->isVisible() || edit->hasFocus())
                continue;
            QStyleOptionFrame option;
            option.initFrom(edit);
            option.lineWidth =
                edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
            const int room =
                edit->style()->subElementRect(QStyle::SE_LineEditContents, &option, edit).width() - 4;
            const int needed = edit->fontMetrics().horizontalAdvance(edit->text()) + 1;
            if (needed > room)
                cuts.push_back({nameOf(edit), edit->text().toStdString(), needed, room});
        }
    }
    EXPECT_TRUE(cuts.empty()) << "cut off at scale factor " << scaleFactor() << ":" << describe(cuts);
}

TEST_F(HighDpi, EveryTabCaptionIsInViewWithoutScrolling) {
    Form1->show();
    settle();
    const QTabBar* bar = find<TPageControl>("PageControl1")->tabBar();
    for (int i = 0; i < bar->count(); ++i) {
        SCOPED_TRACE(bar->tabText(i).toStdString());
        const QRect tab = bar->tabRect(i);
        EXPECT_GE(tab.left(), 0);
        EXPECT_LE(tab.right(), bar->width() - 1);
        EXPECT_GT(tab.width(), bar->fontMetrics().horizontalAdvance(bar->tabText(i)));
    }
}

TEST_F(HighDpi, GridCellsShowTheirNumbersWhole) {
    Form1->show();
    auto* preset = find<TRadioGroup>("przypadekD");
    auto* eq3 = find<TStringGrid>("Eq3");
    std::vector<Cut> cuts = cutCells(find<TStringGrid>("Dane"));
    // Every preset, so the long roots and residues of each case are measured.
    for (int item = 1; item < 4; ++item) {
        preset->button(item)->click();
        settle();
        const std::vector<Cut> inCase = cutCells(eq3);
        cuts.insert(cuts.end(), inCase.begin(), inCase.end());
    }
    EXPECT_TRUE(shownErrors().empty());
    EXPECT_TRUE(cuts.empty()) << "cut off at scale factor " << scaleFactor() << ":" << describe(cuts);
}

TEST_F(HighDpi, ChartTextsAreNotShortened) {
    Form1->show();
    find<TButton>("Button5")->click();
    find<TButton>("Button6")->click();
    auto* pages = find<TPageControl>("PageControl1");
    for (const char* sheet : {"TabSheet7", "TabSheet4"}) {
        pages->setCurrentWidget(find<TTabSheet>(sheet));
        settle();
    }
    for (const char* name : {"Chart1", "Chart2"}) {
        int texts = 0;
        const std::vector<Cut> cuts = cutChartTexts(find<TChart>(name), texts);
        EXPECT_TRUE(cuts.empty()) << "cut off at scale factor " << scaleFactor() << ":" << describe(cuts);
        // The title and the axis labels at least.
        EXPECT_GT(texts, 3) << name;
    }
}
