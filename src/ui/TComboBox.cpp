#include "ui/TComboBox.h"

#include <QKeyEvent>
#include <QLineEdit>

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // The typed text is the program's input: no item is added on Enter and no completion
    // replaces what was typed.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    m_typingRest.setSingleShot(true);
    m_typingRest.setInterval(kTypingRestMs);
    connect(&m_typingRest, &QTimer::timeout, this, [this] { emit changed(); });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { m_typingRest.start(); });
    connect(this, &QComboBox::activated, this, [this] {
        if (m_finishingEdit)
            return;
        m_typingRest.stop();
        emit changed();
    });
}

std::string TComboBox::ansiText() const { return currentText().toStdString(); }

void TComboBox::setAnsiText(const std::string& text) {
    m_typingRest.stop();
    setEditText(QString::fromStdString(text));
}

int TComboBox::itemIndex() const { return currentIndex(); }

void TComboBox::setItemIndex(int i) {
    m_typingRest.stop();
    if (i < -1 || i >= count())
        i = -1;
    setCurrentIndex(i);
    // An editable combo keeps its typed text when the index does not change; the selected item's
    // text is what must show.
    setEditText(i >= 0 ? itemText(i) : QString());
}

bool TComboBox::typingPending() const { return m_typingRest.isActive(); }

void TComboBox::finishTyping() {
    if (!m_typingRest.isActive())
        return;
    m_typingRest.stop();
    emit changed();
}

void TComboBox::keyPressEvent(QKeyEvent* event) {
    const bool finishes = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (finishes)
        finishTyping();
    m_finishingEdit = finishes;
    QComboBox::keyPressEvent(event);
    m_finishingEdit = false;
}

void TComboBox::focusOutEvent(QFocusEvent* event) {
    // The box's own list taking the focus is no leaving: a choice from it replaces the typed text.
    if (event->reason() != Qt::PopupFocusReason)
        finishTyping();
    m_finishingEdit = true;
    QComboBox::focusOutEvent(event);
    m_finishingEdit = false;
}
