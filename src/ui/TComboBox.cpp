#include "ui/TComboBox.h"

#include <QKeyEvent>
#include <QLineEdit>

#include <utility>

TComboBox::TComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // The typed text is the program's input: no item is added on Enter and no completion
    // replaces what was typed.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    m_typingRest.setSingleShot(true);
    m_typingRest.setInterval(kTypingRestMs);
    connect(&m_typingRest, &QTimer::timeout, this, [this] {
        if (!m_complete || m_complete(ansiText()))
            finishTyping();
    });
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        m_typed = true;
        m_typingRest.start();
    });
    connect(this, &QComboBox::activated, this, [this] {
        if (m_finishingEdit)
            return;
        dropTyping();
        emit changed();
    });
}

std::string TComboBox::ansiText() const { return currentText().toStdString(); }

void TComboBox::setAnsiText(const std::string& text) {
    dropTyping();
    setEditText(QString::fromStdString(text));
}

int TComboBox::itemIndex() const { return currentIndex(); }

void TComboBox::setItemIndex(int i) {
    dropTyping();
    if (i < -1 || i >= count())
        i = -1;
    setCurrentIndex(i);
    // An editable combo keeps its typed text when the index does not change; the selected item's
    // text is what must show.
    setEditText(i >= 0 ? itemText(i) : QString());
}

bool TComboBox::typingPending() const { return m_typed; }

void TComboBox::setComplete(Complete complete) { m_complete = std::move(complete); }

void TComboBox::finishTyping() {
    if (!m_typed)
        return;
    dropTyping();
    emit changed();
}

void TComboBox::dropTyping() {
    m_typed = false;
    m_typingRest.stop();
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
    // Nor is a turn to another window: the user comes back to the box as they left it.
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        finishTyping();
    m_finishingEdit = true;
    QComboBox::focusOutEvent(event);
    m_finishingEdit = false;
}
