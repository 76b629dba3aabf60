#include "ui/screen_fit.h"

#include <QEvent>
#include <QRect>
#include <QRegion>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdlib>
#include <utility>
#include <vector>

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
        m_frameUnknown = outerGeometry(m_window) == m_window->geometry();
        if (QWindow* handle = m_window->windowHandle(); handle && m_frameUnknown)
            handle->installEventFilter(this);
    } else if (watched == m_window->windowHandle() && event->type() == QEvent::Expose) {
        if (m_frameUnknown && outerGeometry(m_window) != m_window->geometry()) {
            m_frameUnknown = false;
            watched->removeEventFilter(this);
            fit(false);
        }
    }
    return QObject::eventFilter(watched, event);
}

QRect outerGeometry(const QWidget* window) {
    const QRect outer = window->frameGeometry();
    return outer.contains(window->geometry()) ? outer : window->geometry();
}

void ScreenFit::fit(bool centre) {
    const QScreen* screen = m_window->screen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QSize frame = outerGeometry(m_window).size() - m_window->size();
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

namespace {

// Where a side of the window may go along one axis: at the area's edges, where it was preferred, and
// where either side of the window meets either side of a rectangle to keep, each kept within the area.
std::vector<int> sidesAlong(int length, const std::vector<std::pair<int, int>>& keep, int areaFirst,
                            int areaEnd, int preferred) {
    std::vector<int> at = {areaFirst, areaEnd - length, preferred};
    for (const auto& [first, end] : keep)
        at.insert(at.end(), {first, end, first - length, end - length});
    for (int& a : at)
        a = std::max(areaFirst, std::min(a, areaEnd - length));
    std::sort(at.begin(), at.end());
    at.erase(std::unique(at.begin(), at.end()), at.end());
    return at;
}

long long coveredArea(const QRect& window, const QRegion& keep) {
    long long covered = 0;
    for (const QRect& part : keep.intersected(window))
        covered += 1LL * part.width() * part.height();
    return covered;
}

} // namespace

// Only the edges matter: what a window covers of a rectangle changes linearly between the places
// where one of its sides meets a side of that rectangle, so the best place has each of its sides at
// such a meeting, at an edge of the area, or where it was preferred.
QRect placeAside(const std::vector<QSize>& sizes, const std::vector<QRegion>& keep, std::size_t shrinkFor,
                 QRect area, QPoint preferred) {
    std::vector<std::pair<int, int>> columns;
    std::vector<std::pair<int, int>> rows;
    for (const QRegion& region : keep)
        for (const QRect& r : region) {
            columns.emplace_back(r.left(), r.right() + 1);
            rows.emplace_back(r.top(), r.bottom() + 1);
        }
    // In the order of importance: what the window covers of each region, the first `shrinkFor` of them
    // coming before the size it takes; then how far it is from where it was preferred.
    using Cost = std::vector<long long>;
    QRect best(preferred, sizes.empty() ? QSize() : sizes.front());
    Cost leastCost;
    for (std::size_t s = 0; s < sizes.size(); ++s) {
        const QSize outer = sizes[s];
        const std::vector<int> xs =
            sidesAlong(outer.width(), columns, area.left(), area.right() + 1, preferred.x());
        const std::vector<int> ys =
            sidesAlong(outer.height(), rows, area.top(), area.bottom() + 1, preferred.y());
        for (const int x : xs) {
            for (const int y : ys) {
                const QRect window(QPoint(x, y), outer);
                Cost cost;
                for (std::size_t k = 0; k < keep.size(); ++k) {
                    if (k == shrinkFor)
                        cost.push_back(static_cast<long long>(s));
                    cost.push_back(coveredArea(window, keep[k]));
                }
                if (shrinkFor >= keep.size())
                    cost.push_back(static_cast<long long>(s));
                cost.push_back(std::abs(x - preferred.x()) + std::abs(y - preferred.y()));
                if (leastCost.empty() || cost < leastCost) {
                    best = window;
                    leastCost = std::move(cost);
                }
            }
        }
    }
    return best;
}

std::vector<QSize> sizesDownTo(QSize from, QSize to, int steps) {
    std::vector<QSize> sizes = {from};
    for (int k = 1; k <= steps; ++k)
        sizes.push_back(from + (to - from) * k / steps);
    return sizes;
}

} // namespace ui
