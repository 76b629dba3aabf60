#pragma once

#include <QComboBox>
#include <string>

// An editable combo box. changed() fires on every change of the text made by the user: each typed
// edit, and each choice of an item from the list, by mouse, keys or wheel, even when the chosen item
// has the text already shown. Nothing the program does fires it, in particular not setItemIndex().
class TComboBox : public QComboBox {
    Q_OBJECT

public:
    explicit TComboBox(QWidget* parent = nullptr);

    std::string ansiText() const;
    // Replaces the text without selecting an item and without firing changed().
    void setAnsiText(const std::string& text);

    // The selected item, -1 for none. Typing keeps the item selected that was selected before.
    int itemIndex() const;
    // Selects item i (-1: none) and shows its text; fires nothing.
    void setItemIndex(int i);

signals:
    void changed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // QComboBox reports a typed text that matches an item as an activation when editing finishes;
    // the text did not change then, so such an activation must not count as a choice.
    bool m_finishingEdit = false;
};
