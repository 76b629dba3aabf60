#include "ui/TStringGrid.h"

#include <QAccessible>
#include <QHeaderView>
#include <QPalette>
#include <QStyle>
#include <QStyledItemDelegate>
#include <algorithm>

#include "ui/caption_fit.h"

namespace {

// Paints fixed cells in the button-face colour, and lays texts out left to right in every cell: in a
// right-to-left grid the columns are mirrored and the texts right-aligned, but a number keeps its
// sign in front.
class GridDelegate : public QStyledItemDelegate {
public:
    explicit GridDelegate(TStringGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (m_grid->isFixed(index.column(), index.row())) {
            option->backgroundBrush = m_grid->palette().brush(QPalette::Button);
            option->palette.setColor(QPalette::Text, m_grid->palette().color(QPalette::ButtonText));
        }
        if (index.isValid())
            option->font =
                ui::condensedToFit(option->font, option->text, m_grid->cellTextRoom(index.column()));
        if (option->direction == Qt::RightToLeft) {
            option->direction = Qt::LeftToRight;
            option->displayAlignment =
                (option->displayAlignment & ~Qt::AlignHorizontal_Mask) | Qt::AlignRight;
        }
    }

private:
    TStringGrid* m_grid;
};

} // namespace

TStringGrid::TStringGrid(QWidget* parent) : QTableWidget(parent) {
    horizontalHeader()->hide();
    verticalHeader()->hide();
    horizontalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setMinimumSectionSize(1);
    setItemDelegate(new GridDelegate(this));
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setColumnCount(5);
    setRowCount(5);
    setDefaultColWidth(64);
    setDefaultRowHeight(24);
    setEditable(false);
}

int TStringGrid::colCount() const { return columnCount(); }

void TStringGrid::setColCount(int count) { setColumnCount(count); }

int TStringGrid::fixedCols() const { return m_fixedCols; }

void TStringGrid::setFixedCols(int count) {
    m_fixedCols = std::max(0, count);
    viewport()->update();
}

int TStringGrid::fixedRows() const { return m_fixedRows; }

void TStringGrid::setFixedRows(int count) {
    m_fixedRows = std::max(0, count);
    viewport()->update();
}

bool TStringGrid::isFixed(int col, int row) const { return col < m_fixedCols || row < m_fixedRows; }

int TStringGrid::defaultColWidth() const { return horizontalHeader()->defaultSectionSize(); }

void TStringGrid::setDefaultColWidth(int width) {
    horizontalHeader()->setDefaultSectionSize(width);
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, width);
}

int TStringGrid::defaultRowHeight() const { return verticalHeader()->defaultSectionSize(); }

void TStringGrid::setDefaultRowHeight(int height) {
    verticalHeader()->setDefaultSectionSize(height);
    for (int r = 0; r < rowCount(); ++r)
        setRowHeight(r, height);
}

bool TStringGrid::editable() const { return m_editable; }

void TStringGrid::setEditable(bool editable) {
    m_editable = editable;
    setEditTriggers(editable ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                                   QAbstractItemView::AnyKeyPressed
                             : QAbstractItemView::NoEditTriggers);
}

std::string TStringGrid::cell(int col, int row) const {
    const QTableWidgetItem* it = item(row, col);
    return it ? it->text().toStdString() : std::string();
}

void TStringGrid::setCell(int col, int row, const std::string& text) {
    if (col < 0 || row < 0 || col >= columnCount() || row >= rowCount())
        return;
    QTableWidgetItem* it = item(row, col);
    if (!it) {
        it = new QTableWidgetItem;
        setItem(row, col, it);
    }
    it->setText(QString::fromStdString(text));
    // The fixed cells nearest the data head their rows and columns for a screen reader, through Qt's
    // hidden headers.
    const QString heading = it->text().simplified();
    if (row == m_fixedRows - 1)
        setHorizontalHeaderItem(col, new QTableWidgetItem(heading));
    if (col == m_fixedCols - 1)
        setVerticalHeaderItem(row, new QTableWidgetItem(heading));
    // Qt tells a screen reader of a change of the table's data only as a whole, which Linux's bridge
    // ignores: the cell itself says its text changed.
    if (QAccessible::isActive())
        if (QAccessibleTableInterface* table =
                QAccessible::queryAccessibleInterface(this)->tableInterface()) {
            QAccessibleEvent changed(table->cellAt(row, col), QAccessible::NameChanged);
            QAccessible::updateAccessibility(&changed);
        }
}

QFont TStringGrid::cellFont(int col, int row) const {
    const QTableWidgetItem* it = item(row, col);
    if (!it)
        return font();
    const QVariant own = it->data(Qt::FontRole);
    const QFont base = own.isValid() ? own.value<QFont>().resolve(font()) : font();
    return ui::condensedToFit(base, it->text(), cellTextRoom(col));
}

int TStringGrid::cellTextRoom(int col) const {
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    return columnWidth(col) - (showGrid() ? 1 : 0) - 2 * margin;
}

bool TStringGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
    if (!m_editable || (index.isValid() && isFixed(index.column(), index.row())))
        return false;
    return QTableWidget::edit(index, trigger, event);
}

QItemSelectionModel::SelectionFlags TStringGrid::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    if (index.isValid() && isFixed(index.column(), index.row()))
        return QItemSelectionModel::NoUpdate;
    return QTableWidget::selectionCommand(index, event);
}

QModelIndex TStringGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) {
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (!next.isValid() || !isFixed(next.column(), next.row()))
        return next;
    // The cursor stops at the first non-fixed cell instead of entering the fixed band.
    const int row = std::max(next.row(), m_fixedRows);
    const int col = std::max(next.column(), m_fixedCols);
    if (row >= rowCount() || col >= columnCount())
        return currentIndex();
    return model()->index(row, col, rootIndex());
}
