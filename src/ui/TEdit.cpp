#include "ui/TEdit.h"

#include <QPalette>

#include "ui/caption_fit.h"

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

std::string TEdit::ansiText() const { return text().toStdString(); }

void TEdit::setAnsiText(const std::string& text) {
    const QString shown = QString::fromStdString(text);
    ui::condenseEditTextToFit(this, shown);
    setText(shown);
    setCursorPosition(0);
}

QColor TEdit::color() const { return palette().color(QPalette::Base); }

void TEdit::setColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}
