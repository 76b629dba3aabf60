#pragma once

#include <QString>
#include <QWidget>

namespace ui {

// Tells a screen reader what the program has just written where the keyboard is not: a handler's
// results and its messages in fields the user is not in. Qt 6.4's AT-SPI bridge passes on neither
// an alert event nor live-region attributes, and a change of an unfocused field's text is read by no
// screen reader; what it does pass on is an object of the notification role becoming visible, which
// Orca speaks (its name) as a notification, whatever has the keyboard. So this widget, of that role,
// is shown again with the text as its name. It has no size, paints nothing, never takes the keyboard
// and does nothing while no assistive technology listens.
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);

    void announce(const QString& text);
};

} // namespace ui
