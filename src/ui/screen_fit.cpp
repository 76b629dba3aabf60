#include "ui/screen_fit.h"

#include <QEvent>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace ui {

ScreenFit::ScreenFit(QWidget* window, Placement placement, int scrollBarWidth)
    : QObject(window), m_window(window), m_placement(placement), m_scrollBarWidth(scrollBarWidth) {
    window->installEventFilter(this);
}

bool ScreenFit::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_window && event->type() == QEvent::Show) {
        const bool first = !m_shownBefore;
        m_shownBefore = true;
        if (first || m_placement == Placement::WhereItIs)
            fit(first && m_placement == Placement::CentredOnFirstShow);
        m_frameUnknown = m_window->frameGeometry() == m_window->geometry();
        if (QWindow* handle = m_window->windowHandle(); handle && m_frameUnknown)
            handle->installEventFilter(this);
    } else if (watched == m_window->windowHandle() && event->type() == QEvent::Expose) {
        if (m_frameUnknown && m_window->frameGeometry() != m_window->geometry()) {
            m_frameUnknown = false;
            watched->removeEventFilter(this);
            fit(false);
        }
    }
    return QObject::eventFilter(watched, event);
}

void ScreenFit::fit(bool centre) {
    const QScreen* screen = m_window->screen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QSize frame = m_window->frameGeometry().size() - m_window->size();
    const QSize room = area.size() - frame;
    QSize size = m_window->size().boundedTo(room);
    if (size.height() < m_window->height())
        size.setWidth(std::min(size.width() + m_scrollBarWidth, room.width()));
    if (size != m_window->size())
        m_window->resize(size);
    QRect outer(m_window->pos(), size + frame);
    if (centre)
        outer.moveCenter(area.center());
    outer.moveLeft(std::max(area.left(), std::min(outer.left(), area.right() + 1 - outer.width())));
    outer.moveTop(std::max(area.top(), std::min(outer.top(), area.bottom() + 1 - outer.height())));
    if (outer.topLeft() != m_window->pos())
        m_window->move(outer.topLeft());
}

} // namespace ui
