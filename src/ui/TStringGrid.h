#pragma once

#include <QTableWidget>
#include <string>

// A table of text cells addressed as (column, row) from 0. The first fixedRows rows and fixedCols
// columns are ordinary cells shown in the button-face colour that the user can neither edit nor
// select; the program writes them like any other cell. Qt's own header sections are hidden.
// Texts are laid out left to right even when the grid itself runs right to left, so that "-1,5"
// reads "-1,5" and not "1,5-".
class TStringGrid : public QTableWidget {
    Q_OBJECT
    Q_PROPERTY(int colCount READ colCount WRITE setColCount)
    Q_PROPERTY(int rowCount READ rowCount WRITE setRowCount)
    Q_PROPERTY(int fixedCols READ fixedCols WRITE setFixedCols)
    Q_PROPERTY(int fixedRows READ fixedRows WRITE setFixedRows)
    Q_PROPERTY(int defaultColWidth READ defaultColWidth WRITE setDefaultColWidth)
    Q_PROPERTY(int defaultRowHeight READ defaultRowHeight WRITE setDefaultRowHeight)
    Q_PROPERTY(bool editable READ editable WRITE setEditable)

public:
    // 5 x 5 cells, one fixed row and column, 64 x 24 pixel cells, not editable.
    explicit TStringGrid(QWidget* parent = nullptr);

    int colCount() const;
    void setColCount(int count);

    int fixedCols() const;
    void setFixedCols(int count);
    int fixedRows() const;
    void setFixedRows(int count);
    bool isFixed(int col, int row) const;

    int defaultColWidth() const;
    void setDefaultColWidth(int width);
    int defaultRowHeight() const;
    void setDefaultRowHeight(int height);

    bool editable() const;
    void setEditable(bool editable);

    // The text of a cell; "" for a cell never written and for one outside the grid.
    std::string cell(int col, int row) const;
    // Writes a cell, fixed or not. A cell outside the grid is ignored. A cell of the last fixed row
    // or column is also the heading of its column or row for a screen reader, and a reader is told
    // of every cell written.
    void setCell(int col, int row, const std::string& text);

    // The font a cell's text is drawn in: the grid's, condensed when the text is wider than its
    // column (see caption_fit.h), so that a long number is shown whole rather than cut short by "…".
    QFont cellFont(int col, int row) const;
    // The width a column gives its texts: the column less the grid line and the margins.
    int cellTextRoom(int col) const;

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event) const override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    int m_fixedCols = 1;
    int m_fixedRows = 1;
    bool m_editable = false;
};
