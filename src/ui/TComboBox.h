#pragma once

#include <QComboBox>
#include <QTimer>
#include <functional>
#include <string>

// An editable combo box. changed() fires on every change of the text made by the user:
// - a choice of an item from the list, by mouse, keys or wheel, fires at once, even when the chosen
//   item has the text already shown;
// - typing fires once the text has rested for kTypingRestMs (half a second), or on Enter, or when
//   the box loses the focus, whichever comes first, and then only once for all the keys typed since.
//   A handler that reads the text therefore never sees a word half typed ("1e" of "1e+10"), and a
//   message box it raises never takes the keys still being typed. A box told which texts are
//   complete (setComplete) fires after the rest only for those: "1e", or an emptied box, waits
//   for Enter or for the focus to leave, however long the user thinks.
// Nothing the program does fires it, in particular not setItemIndex() nor setAnsiText(); a choice or
// a program's write drops a typed change that has not fired yet, since its text is gone.
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

    static constexpr int kTypingRestMs = 500;
    // Whether a typed change waits to fire.
    bool typingPending() const;

    // Which texts the rest fires for; every text unless set.
    using Complete = std::function<bool(const std::string& text)>;
    void setComplete(Complete complete);

signals:
    void changed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Fires the typed change that waits, if any.
    void finishTyping();
    // Forgets a typed change that has not fired.
    void dropTyping();

    // QComboBox reports a typed text that matches an item as an activation when editing finishes;
    // the text did not change then, so such an activation must not count as a choice.
    bool m_finishingEdit = false;
    // Typed and not fired yet; a rest that ends on an incomplete text leaves it so.
    bool m_typed = false;
    QTimer m_typingRest;
    Complete m_complete;
};
