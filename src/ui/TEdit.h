#pragma once

#include <QColor>
#include <QLineEdit>
#include <string>

// A one-line edit field. Its text crosses into the program as UTF-8 bytes; its background colour is
// the palette's Base role, so a colour set here is what the next paint shows.
class TEdit : public QLineEdit {
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)

public:
    explicit TEdit(QWidget* parent = nullptr);

    std::string ansiText() const;
    // Replaces the text and shows it from its first character, as edit fields on every desktop do
    // with a text the program writes: QLineEdit leaves the cursor at the end, and a text wider than
    // the field would then show its end and hide a leading minus sign. textChanged() follows only
    // when the text really differs. A text wider than the field is drawn condensed as far as it
    // needs to show whole (see ui::condenseEditTextToFit). What the user types is left to QLineEdit.
    void setAnsiText(const std::string& text);

    QColor color() const;
    void setColor(const QColor& color);
};
