#include "announcer.h"

#include <QAccessible>

namespace ui {

Announcer::Announcer(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
    hide();
}

void Announcer::announce(const QString& text) {
    if (!QAccessible::isActive() || text.isEmpty())
        return;
    // Hidden first, so that it becomes visible again even when the same text comes twice.
    hide();
    setAccessibleName(text);
    show();
}

} // namespace ui
