#include "ui/TCSpinEdit.h"

#include <QAccessible>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <algorithm>
#include <climits>

#include "numtext/exceptions.h"
#include "numtext/number_text.h"
#include "ui/caption_fit.h"

// QAbstractSpinBox without a value type of its own never interprets or rewrites the text of its line
// edit (it does that only for QSpinBox and the like), so the text stays exactly as typed or set.
TCSpinEdit::TCSpinEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    lineEdit()->setText(QStringLiteral("0"));
    connect(lineEdit(), &QLineEdit::textChanged, this, [this] {
        if (QAccessible::isActive()) {
            QAccessibleValueChangeEvent event(this, shownValue());
            QAccessible::updateAccessibility(&event);
        }
        emit changed();
    });
}

std::string TCSpinEdit::ansiText() const { return lineEdit()->text().toStdString(); }

void TCSpinEdit::setAnsiText(const std::string& text) { setText(QString::fromStdString(text)); }

// A text the program writes is shown from its first digit, as TEdit's is, unless the user is typing
// here (an arrow step): QLineEdit leaves the cursor at the end, and a text wider than the field then
// hides its first digit.
void TCSpinEdit::setText(const QString& text) {
    ui::condenseEditTextToFit(lineEdit(), text);
    lineEdit()->setText(text);
    if (!hasFocus())
        lineEdit()->setCursorPosition(0);
}

int TCSpinEdit::value() {
    const std::string text = ansiText();
    try {
        return numtext::StrToInt(text);
    } catch (const numtext::EConvertError&) {
        setAnsiText(numtext::IntToStr(m_minValue));
        return m_minValue;
    }
}

int TCSpinEdit::shownValue() const {
    try {
        return numtext::StrToInt(ansiText());
    } catch (const numtext::EConvertError&) {
        return m_minValue;
    }
}

void TCSpinEdit::setValue(int value) { setAnsiText(numtext::IntToStr(limited(value))); }

int TCSpinEdit::limited(long long value) const {
    if (m_minValue != m_maxValue)
        value = std::clamp<long long>(value, m_minValue, m_maxValue);
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

int TCSpinEdit::minValue() const { return m_minValue; }

void TCSpinEdit::setMinValue(int value) {
    m_minValue = value;
    updateGeometry();
}

int TCSpinEdit::maxValue() const { return m_maxValue; }

void TCSpinEdit::setMaxValue(int value) {
    m_maxValue = value;
    updateGeometry();
}

int TCSpinEdit::increment() const { return m_increment; }

void TCSpinEdit::setIncrement(int increment) { m_increment = increment; }

void TCSpinEdit::stepBy(int steps) {
    // The current value is read first: a text that does not parse becomes the minimum (one change)
    // before the step is taken from there (a second change).
    const long long current = value();
    setAnsiText(numtext::IntToStr(limited(current + static_cast<long long>(steps) * m_increment)));
}

QValidator::State TCSpinEdit::validate(QString&, int&) const { return QValidator::Acceptable; }

void TCSpinEdit::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled TCSpinEdit::stepEnabled() const {
    // The arrows always work; at a limit the step leaves the text as it is.
    return StepUpEnabled | StepDownEnabled;
}

void TCSpinEdit::focusOutEvent(QFocusEvent* event) {
    QAbstractSpinBox::focusOutEvent(event);
    // Only the focus moving on to another control is an exit. The window losing its activation
    // (another program, a modal box, the window closing or being destroyed) or a popup menu is not:
    // the spin edit stays the window's focused control.
    if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
        return;
    const int v = value();
    if (limited(v) != v)
        setValue(v);
}

QSize TCSpinEdit::sizeHint() const {
    ensurePolished();
    const QFontMetrics fm = fontMetrics();
    int width = std::max({fm.horizontalAdvance(QString::number(m_minValue)),
                          fm.horizontalAdvance(QString::number(m_maxValue)),
                          fm.horizontalAdvance(lineEdit()->text())});
    width += 2; // the cursor
    const int height = lineEdit()->sizeHint().height();
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, QSize(width, height), this);
}

QSize TCSpinEdit::minimumSizeHint() const { return sizeHint(); }
