#include <gtest/gtest.h>

#include <QAccessible>
#include <QHeaderView>
#include <QImage>
#include <QWidget>

#include "ui/TStringGrid.h"
#include "ui_test_support.h"

namespace {

// The coefficient grid of the cubic experiment: 2 x 4 cells, one fixed column, no fixed row.
struct GridFixture : ::testing::Test {
    GridFixture() {
        grid = new TStringGrid(&window);
        grid->setGeometry(208, 48, 132, 119);
        grid->setColCount(2);
        grid->setRowCount(4);
        grid->setFixedCols(1);
        grid->setFixedRows(0);
        grid->setDefaultRowHeight(28);
        grid->setEditable(true);
        window.resize(600, 300);
        uitest::showActive(window);
    }
    QWidget window;
    TStringGrid* grid = nullptr;
};

TEST_F(GridFixture, CellsAreAddressedByColumnThenRowFixedOnesIncluded) {
    grid->setCell(0, 2, " c = ");
    grid->setCell(1, 2, "27");
    EXPECT_EQ(grid->cell(0, 2), " c = ");
    EXPECT_EQ(grid->cell(1, 2), "27");
    EXPECT_EQ(grid->item(2, 1)->text(), QStringLiteral("27")); // Qt counts rows first
    EXPECT_EQ(grid->cell(1, 3), "");                           // never written
    EXPECT_EQ(grid->cell(5, 0), "");                           // outside the grid
    grid->setCell(5, 0, "x");
    EXPECT_EQ(grid->colCount(), 2);
}

TEST_F(GridFixture, SizesFollowTheDefaultsAndQtHeadersAreHidden) {
    EXPECT_FALSE(grid->horizontalHeader()->isVisible());
    EXPECT_FALSE(grid->verticalHeader()->isVisible());
    for (int r = 0; r < 4; ++r)
        EXPECT_EQ(grid->rowHeight(r), 28);
    grid->setDefaultColWidth(120);
    EXPECT_EQ(grid->columnWidth(0), 120);
    EXPECT_EQ(grid->columnWidth(1), 120);
    grid->setColCount(4);
    EXPECT_EQ(grid->columnWidth(3), 120);
}

TEST_F(GridFixture, TypingEditsOrdinaryCellsButNotFixedOnes) {
    grid->setCell(0, 1, " b =");
    grid->setFocus();
    grid->setCurrentCell(1, 1);
    uitest::type(grid, QStringLiteral("4"));
    QWidget* editor = QApplication::focusWidget();
    ASSERT_NE(editor, nullptr);
    ASSERT_NE(editor, grid);
    uitest::key(editor, Qt::Key_Return);
    QApplication::processEvents(); // the delegate commits through a queued call
    EXPECT_EQ(grid->cell(1, 1), "4");

    grid->setCurrentCell(1, 0); // row 1 of the fixed column
    uitest::type(grid, QStringLiteral("9"));
    EXPECT_EQ(QApplication::focusWidget(), grid);
    EXPECT_EQ(grid->cell(0, 1), " b =");
}

TEST_F(GridFixture, NotEditableGridIgnoresTyping) {
    grid->setEditable(false);
    grid->setFocus();
    grid->setCurrentCell(1, 1);
    uitest::type(grid, QStringLiteral("4"));
    EXPECT_EQ(grid->cell(1, 1), "");
}

TEST_F(GridFixture, FixedCellsHaveTheButtonFaceColor) {
    const QImage shot = grid->grab().toImage();
    const QRect fixedCell = grid->visualRect(grid->model()->index(3, 0));
    const QRect ordinaryCell = grid->visualRect(grid->model()->index(3, 1));
    const QPoint offset = grid->viewport()->pos();
    EXPECT_EQ(shot.pixelColor(fixedCell.center() + offset), grid->palette().color(QPalette::Button));
    EXPECT_EQ(shot.pixelColor(ordinaryCell.center() + offset), grid->palette().color(QPalette::Base));
}

// Mean x of the dark pixels of `image` inside `area`, over the rows [top, bottom) of the ink.
double inkCentre(const QImage& image, const QRect& area, double fromTop, double toTop) {
    int minY = area.bottom(), maxY = area.top();
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
    const double h = maxY - minY + 1;
    double sum = 0;
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const double rel = (y - minY) / h;
        if (rel < fromTop || rel >= toTop)
            continue;
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                sum += x;
                ++n;
            }
    }
    return n ? sum / n : -1;
}

// For a screen reader the fixed cells nearest the data are the headers of their rows and columns.
TEST(Grid, FixedCellsNearestTheDataAreTheHeadersOfTheirRowsAndColumns) {
    QWidget window;
    auto* grid = new TStringGrid(&window);
    grid->setColCount(3);
    grid->setRowCount(3);
    grid->setCell(0, 0, "   root");
    grid->setCell(1, 0, "   x1   =");
    grid->setCell(0, 1, "   realis");
    window.show();
    QAccessibleTableInterface* table = QAccessible::queryAccessibleInterface(grid)->tableInterface();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->columnDescription(1).toStdString(), "x1 =");
    EXPECT_EQ(table->rowDescription(1).toStdString(), "realis");
    auto* cell = dynamic_cast<QAccessibleTableCellInterface*>(table->cellAt(1, 1));
    ASSERT_NE(cell, nullptr);
    const QList<QAccessibleInterface*> heading = cell->columnHeaderCells();
    ASSERT_EQ(heading.size(), 1);
    EXPECT_EQ(heading.at(0)->text(QAccessible::Name).toStdString(), "x1 =");
    // Qt makes the heading's interface for the asker, who gives it back.
    for (QAccessibleInterface* h : heading)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(h));
}

TEST(Grid, RightToLeftGridStillShowsTheSignInFront) {
    QWidget window;
    auto* grid = new TStringGrid(&window);
    grid->setGeometry(0, 0, 300, 80);
    grid->setColCount(2);
    grid->setRowCount(2);
    grid->setFixedCols(0);
    grid->setFixedRows(0);
    grid->setDefaultColWidth(120);
    grid->setDefaultRowHeight(40);
    QFont font = grid->font();
    font.setPixelSize(24);
    grid->setFont(font);
    grid->setLayoutDirection(Qt::RightToLeft);
    grid->setCell(0, 0, "-1");
    uitest::showActive(window);

    const QImage shot = grid->grab().toImage();
    QRect cell = grid->visualRect(grid->model()->index(0, 0)).adjusted(3, 3, -3, -3);
    cell.translate(grid->viewport()->pos());
    // The first column stands on the right in a right-to-left grid.
    EXPECT_GT(cell.left(), 120);
    // The top of the "1" is right of the whole text's centre: the minus comes first.
    const double digitTop = inkCentre(shot, cell, 0.0, 0.25);
    const double whole = inkCentre(shot, cell, 0.0, 1.01);
    ASSERT_GT(digitTop, 0);
    EXPECT_GT(digitTop, whole);
}

} // namespace
