#include "ui/TComboBox.h"

#include <QKeyEvent>
#include <QLineEdit>

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // The typed text is the program's input: no item is added on Enter and no completion
    // replaces what was typed.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { emit changed(); });
    connect(this, &QComboBox::activated, this, [this] {
        if (!m_finishingEdit)
            emit changed();
    });
}

std::string TComboBox::ansiText() const { return currentText().toStdString(); }

void TComboBox::setAnsiText(const std::string& text) { setEditText(QString::fromStdString(text)); }

int TComboBox::itemIndex() const { return currentIndex(); }

void TComboBox::setItemIndex(int i) {
    if (i < -1 || i >= count())
        i = -1;
    setCurrentIndex(i);
    // An editable combo keeps its typed text when the index does not change; the selected item's
    // text is what must show.
    setEditText(i >= 0 ? itemText(i) : QString());
}

void TComboBox::keyPressEvent(QKeyEvent* event) {
    const bool finishes = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    m_finishingEdit = finishes;
    QComboBox::keyPressEvent(event);
    m_finishingEdit = false;
}

void TComboBox::focusOutEvent(QFocusEvent* event) {
    m_finishingEdit = true;
    QComboBox::focusOutEvent(event);
    m_finishingEdit = false;
}
