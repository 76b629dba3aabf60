#pragma once

#include <QAbstractSpinBox>
#include <string>

// An integer edit with up and down arrows whose text is free: any text can be typed or set, and the
// integer is read from it only when asked.
//
// - changed() fires synchronously on every change of the text: typing, the arrows and the up and down
//   keys, and the program's own writes (setAnsiText, setValue, and value() falling back to the
//   minimum). A handler connected to it therefore runs nested inside the call that changed the text.
//   Writing the text it already has changes nothing and fires nothing.
// - value() reads the text with the integer parser, without limiting it. A text that does not parse
//   is replaced by the minimum's decimal text (firing changed()) and the minimum is returned.
// - setValue() limits the value to [minValue, maxValue] (no limit when the two are equal) and writes
//   its decimal text: setValue(3000) with limits 1000..2200 shows "2200".
// - An arrow or key step is setValue(value() +/- increment). Losing the focus with a value outside the
//   limits sets the value again, which brings the text into the limits. Deactivating the window
//   (which also happens when it closes) is not losing the focus.
// - For assistive technology (Qt's spin box interface reads the properties value, minimum and
//   maximum) the value is the one the text shows, read without ever writing the text: the minimum
//   while the text is not a number. Every change of the text is announced as a change of value.
class TCSpinEdit : public QAbstractSpinBox {
    Q_OBJECT
    Q_PROPERTY(int minValue READ minValue WRITE setMinValue)
    Q_PROPERTY(int maxValue READ maxValue WRITE setMaxValue)
    Q_PROPERTY(int increment READ increment WRITE setIncrement)
    Q_PROPERTY(QString text READ text WRITE setText)
    Q_PROPERTY(int value READ shownValue WRITE setValue)
    Q_PROPERTY(int minimum READ minValue)
    Q_PROPERTY(int maximum READ maxValue)

public:
    // Text "0", no limits, increment 1.
    explicit TCSpinEdit(QWidget* parent = nullptr);

    std::string ansiText() const;
    void setAnsiText(const std::string& text);
    void setText(const QString& text);

    int value();
    // The integer of the text, or the minimum when it is not one; changes nothing.
    int shownValue() const;
    void setValue(int value);

    int minValue() const;
    void setMinValue(int value);
    int maxValue() const;
    void setMaxValue(int value);
    int increment() const;
    void setIncrement(int increment);

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void changed();

protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int limited(long long value) const;

    int m_minValue = 0;
    int m_maxValue = 0;
    int m_increment = 1;
};
