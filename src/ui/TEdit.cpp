#include "ui/TEdit.h"

#include <QPalette>

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

std::string TEdit::ansiText() const { return text().toStdString(); }

void TEdit::setAnsiText(const std::string& text) {
    setText(QString::fromStdString(text));
    setCursorPosition(0);
}

QColor TEdit::color() const { return palette().color(QPalette::Base); }

void TEdit::setColor(const QColor& color) {
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}
