#include "ui/TEdit.h"

#include <QPalette>

#include "numtext/fpenv.h"

using numtext::FlagGuard;

TEdit::TEdit(QWidget* parent) : QLineEdit(parent) {}

std::string TEdit::ansiText() const {
    FlagGuard guard;
    return text().toStdString();
}

void TEdit::setAnsiText(const std::string& text) {
    FlagGuard guard;
    setText(QString::fromStdString(text));
    setCursorPosition(0);
}

void TEdit::clearText() {
    FlagGuard guard;
    clear();
}

QColor TEdit::color() const {
    FlagGuard guard;
    return palette().color(QPalette::Base);
}

void TEdit::setColor(const QColor& color) {
    FlagGuard guard;
    QPalette p = palette();
    p.setColor(QPalette::Base, color);
    setPalette(p);
}
