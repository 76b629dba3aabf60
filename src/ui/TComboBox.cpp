#include "ui/TComboBox.h"

#include <QKeyEvent>
#include <QLineEdit>

#include "numtext/fpenv.h"

using numtext::FlagGuard;

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {
    FlagGuard guard;
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

std::string TComboBox::ansiText() const {
    FlagGuard guard;
    return currentText().toStdString();
}

void TComboBox::setAnsiText(const std::string& text) {
    FlagGuard guard;
    setEditText(QString::fromStdString(text));
}

int TComboBox::itemIndex() const { return currentIndex(); }

void TComboBox::setItemIndex(int i) {
    FlagGuard guard;
    if (i < -1 || i >= count())
        i = -1;
    setCurrentIndex(i);
    // An editable combo keeps its typed text when the index does not change; the selected item's
    // text is what must show.
    setEditText(i >= 0 ? itemText(i) : QString());
}

void TComboBox::keyPressEvent(QKeyEvent* event) {
    FlagGuard guard;
    const bool finishes = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    m_finishingEdit = finishes;
    QComboBox::keyPressEvent(event);
    m_finishingEdit = false;
}

void TComboBox::focusOutEvent(QFocusEvent* event) {
    FlagGuard guard;
    m_finishingEdit = true;
    QComboBox::focusOutEvent(event);
    m_finishingEdit = false;
}
