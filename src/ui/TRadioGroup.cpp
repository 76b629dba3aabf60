#include "ui/TRadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>
#include <algorithm>

TRadioGroup::TRadioGroup(QWidget* parent) : QGroupBox(parent) {
    m_group = new QButtonGroup(this);
    m_group->setExclusive(true);
    // An item is chosen when its button becomes checked, however that happens: a click, the arrow
    // keys, or a screen reader's toggle action, which checks it without a click.
    connect(m_group, &QButtonGroup::idToggled, this, [this](int id, bool checked) {
        if (checked)
            onButtonChecked(id);
    });
    m_layout = new QGridLayout(this);
    m_layout->setContentsMargins(8, 4, 8, 4);
    m_layout->setSpacing(0);
}

QStringList TRadioGroup::items() const { return m_items; }

void TRadioGroup::setItems(const QStringList& items) {
    m_items = items;
    if (m_itemIndex >= m_items.size())
        m_itemIndex = -1;
    rebuild();
}

int TRadioGroup::itemIndex() const { return m_itemIndex; }

void TRadioGroup::setItemIndex(int index) {
    if (index < -1 || index >= m_items.size())
        index = -1;
    m_itemIndex = index;
    if (index >= 0) {
        m_group->button(index)->setChecked(true);
    } else if (QAbstractButton* checked = m_group->checkedButton()) {
        // An exclusive group refuses to uncheck its last checked button.
        m_group->setExclusive(false);
        checked->setChecked(false);
        m_group->setExclusive(true);
    }
}

int TRadioGroup::columns() const { return m_columns; }

void TRadioGroup::setColumns(int columns) {
    m_columns = std::max(1, columns);
    layOut();
}

QRadioButton* TRadioGroup::button(int index) const {
    return qobject_cast<QRadioButton*>(m_group->button(index));
}

void TRadioGroup::rebuild() {
    const QList<QAbstractButton*> old = m_group->buttons();
    for (QAbstractButton* b : old) {
        m_group->removeButton(b);
        delete b;
    }
    for (int i = 0; i < m_items.size(); ++i) {
        auto* b = new QRadioButton(m_items.at(i), this);
        m_group->addButton(b, i);
    }
    if (m_itemIndex >= 0)
        m_group->button(m_itemIndex)->setChecked(true);
    layOut();
}

void TRadioGroup::layOut() {
    const QList<QAbstractButton*> buttons = m_group->buttons();
    for (QAbstractButton* b : buttons)
        m_layout->removeWidget(b);
    const int n = static_cast<int>(m_items.size());
    const int rows = std::max(1, (n + m_columns - 1) / m_columns);
    // Columns are filled top to bottom; equal stretch spreads the items over the whole group.
    for (int i = 0; i < n; ++i)
        m_layout->addWidget(m_group->button(i), i % rows, i / rows);
    for (int r = 0; r < rows; ++r)
        m_layout->setRowStretch(r, 1);
    for (int c = 0; c < m_columns; ++c)
        m_layout->setColumnStretch(c, 1);
}

void TRadioGroup::onButtonChecked(int id) {
    if (id == m_itemIndex)
        return;
    m_itemIndex = id;
    emit clicked();
}
