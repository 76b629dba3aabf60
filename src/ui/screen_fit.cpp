#include "ui/screen_fit.h"

#include <QEvent>
#include <QRect>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <limits>

namespace ui {

ScreenFit::ScreenFit(QWidget* window, Placement placement, const QScrollArea* content)
    : QObject(window), m_window(window), m_placement(placement), m_content(content) {
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
    if (m_content != nullptr && size.height() < m_window->height() &&
        size.height() < m_content->widget()->minimumHeight())
        size.setWidth(
            std::min(size.width() + m_content->verticalScrollBar()->sizeHint().width(), room.width()));
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

// Only the edges matter: the best place has each of its sides at an edge of the area or of `keep`,
// or where it was preferred.
QPoint placeAside(QSize outer, QRect keep, QRect area, QPoint preferred) {
    const auto within = [](int at, int length, int first, int end) {
        return std::max(first, std::min(at, end - length));
    };
    const auto candidates = [&](int length, int keepFirst, int keepEnd, int areaFirst, int areaEnd,
                                int wanted) {
        std::array<int, 5> at = {areaFirst, keepFirst - length, keepEnd, areaEnd - length, wanted};
        for (int& a : at)
            a = within(a, length, areaFirst, areaEnd);
        return at;
    };
    const auto xs = candidates(outer.width(), keep.left(), keep.right() + 1, area.left(), area.right() + 1,
                               preferred.x());
    const auto ys = candidates(outer.height(), keep.top(), keep.bottom() + 1, area.top(), area.bottom() + 1,
                               preferred.y());
    QPoint best = preferred;
    long long leastCovered = std::numeric_limits<long long>::max();
    long long leastDistance = 0;
    for (const int x : xs) {
        for (const int y : ys) {
            const QRect covered = QRect(QPoint(x, y), outer).intersected(keep);
            const long long coveredArea = covered.isEmpty() ? 0 : 1LL * covered.width() * covered.height();
            const long long distance = std::abs(x - preferred.x()) + std::abs(y - preferred.y());
            if (coveredArea < leastCovered || (coveredArea == leastCovered && distance < leastDistance)) {
                best = QPoint(x, y);
                leastCovered = coveredArea;
                leastDistance = distance;
            }
        }
    }
    return best;
}

} // namespace ui
