#pragma once

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>
#include <string>
#include <vector>

#include "ui/TApplication.h"

namespace uitest {

inline void key(QWidget* target, int k, const QString& text = {},
                Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, k, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, k, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// Types text as key presses, one character at a time.
inline void type(QWidget* target, const QString& text) {
    for (const QChar c : text)
        key(target, c.unicode() >= 'a' && c.unicode() <= 'z' ? c.toUpper().unicode() : c.unicode(),
            QString(c));
}

inline void click(QWidget* target, QPoint pos) {
    const QPointF global = target->mapToGlobal(QPointF(pos));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

inline void click(QWidget* target) { click(target, target->rect().center()); }

// Shows a top-level window and makes it the active one, so that focus changes are real.
inline void showActive(QWidget& window) {
    window.show();
    window.activateWindow();
    QApplication::setActiveWindow(&window);
    QApplication::processEvents();
}

// Collects what the exception display would show, for the length of a test.
class CapturedDisplay {
public:
    struct Shown {
        std::string message;
        std::string title;
    };

    CapturedDisplay() {
        m_previous =
            TApplication::setExceptionDisplay([this](const std::string& message, const std::string& title) {
                shown.push_back({message, title});
            });
    }
    ~CapturedDisplay() { TApplication::setExceptionDisplay(std::move(m_previous)); }
    CapturedDisplay(const CapturedDisplay&) = delete;
    CapturedDisplay& operator=(const CapturedDisplay&) = delete;

    std::vector<Shown> shown;

private:
    TApplication::ExceptionDisplay m_previous;
};

} // namespace uitest
