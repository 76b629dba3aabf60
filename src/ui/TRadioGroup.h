#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

// A captioned group of mutually exclusive radio buttons, one per item, laid out in `columns` columns
// filled top to bottom. clicked() fires when the user changes the selection (a click on another
// item, the arrow keys, or a screen reader's press or toggle action on an item); a click on the
// item already selected and setItemIndex() fire nothing.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems)
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex)
    Q_PROPERTY(int columns READ columns WRITE setColumns)

public:
    explicit TRadioGroup(QWidget* parent = nullptr);

    QStringList items() const;
    // Rebuilds the buttons; the selection is kept when its index still exists, otherwise none.
    void setItems(const QStringList& items);

    // The selected item, -1 for none.
    int itemIndex() const;
    void setItemIndex(int index);

    int columns() const;
    void setColumns(int columns);

    QRadioButton* button(int index) const;

signals:
    // Hides QGroupBox::clicked(bool), which only a checkable group box emits.
    void clicked();

private:
    void rebuild();
    void layOut();
    void onButtonChecked(int id);

    QStringList m_items;
    int m_itemIndex = -1;
    int m_columns = 1;
    QButtonGroup* m_group = nullptr;
    QGridLayout* m_layout = nullptr;
};
