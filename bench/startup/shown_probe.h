#pragma once

// Tells the timing runner when the first window is on screen: at the first expose of a window,
// once Qt has painted it (widgets paint synchronously while the expose is handled), the probe
// writes "shown" to standard output and ends the process at once, so that tearing down costs
// neither time nor memory in the measurement.

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWindow>

#include <cstdio>
#include <cstdlib>

class ShownProbe : public QObject {
public:
    ShownProbe() { QCoreApplication::instance()->installEventFilter(this); }

protected:
    bool event(QEvent* event) override {
        if (event->type() != QEvent::User)
            return QObject::event(event);
        std::fputs("shown\n", stdout);
        std::fflush(stdout);
        std::_Exit(0);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_seen && event->type() == QEvent::Expose) {
            auto* window = qobject_cast<QWindow*>(watched);
            if (window != nullptr && window->isExposed()) {
                m_seen = true;
                // Delivered once the expose, and with it the first paint, has been handled, and
                // before anything of normal priority that the paint set going (the pages the
                // program builds after its first paint).
                QCoreApplication::postEvent(this, new QEvent(QEvent::User), Qt::HighEventPriority);
            }
        }
        return false;
    }

private:
    bool m_seen = false;
};
