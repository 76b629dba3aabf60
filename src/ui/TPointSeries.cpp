#include "ui/TPointSeries.h"

#include <QList>
#include <QMetaObject>
#include <QPen>
#include <QScatterSeries>
#include <algorithm>

#include "numtext/fpenv.h"
#include "ui/TChart.h"

using numtext::FlagGuard;

namespace {

// Series whose points changed since their last hand-over. Everything runs on the GUI thread.
std::vector<TPointSeries*>& pendingSeries() {
    static std::vector<TPointSeries*> pending;
    return pending;
}

} // namespace

TPointSeries::TPointSeries(QObject* parent) : QObject(parent) {
    FlagGuard guard;
    m_series = new QScatterSeries(this);
    m_series->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    m_series->setPointLabelsVisible(false);
    applyPen();
}

TPointSeries::~TPointSeries() {
    auto& pending = pendingSeries();
    pending.erase(std::remove(pending.begin(), pending.end(), this), pending.end());
}

QScatterSeries* TPointSeries::qseries() const {
    return m_series.data();
}

TChart* TPointSeries::chart() const {
    return m_chart.data();
}

void TPointSeries::clear() {
    if (m_points.empty() && !m_pending)
        return;
    m_points.clear();
    markPending();
}

void TPointSeries::addXY(double x, double y) {
    // Comparing with a NaN raises the invalid-operation flag, which must not reach the handler.
    FlagGuard guard;
    const QPointF p(x, y);
    if (m_ascending && !m_points.empty() && x < m_points.back().x()) {
        const auto at = std::upper_bound(m_points.begin(), m_points.end(), x,
                                         [](double v, const QPointF& q) { return v < q.x(); });
        m_points.insert(at, p);
    } else {
        m_points.push_back(p);
    }
    markPending();
}

int TPointSeries::count() const {
    return static_cast<int>(m_points.size());
}

QPointF TPointSeries::point(int i) const {
    if (i < 0 || i >= count())
        return {};
    return m_points[static_cast<std::size_t>(i)];
}

const std::vector<QPointF>& TPointSeries::points() const {
    return m_points;
}

void TPointSeries::markPending() {
    if (!m_pending) {
        m_pending = true;
        pendingSeries().push_back(this);
    }
    // Changes made outside any guarded handler still reach the chart, once the event loop runs.
    if (!m_flushQueued) {
        m_flushQueued = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_flushQueued = false;
                flush();
            },
            Qt::QueuedConnection);
    }
}

bool TPointSeries::hasPendingPoints() const {
    return m_pending;
}

void TPointSeries::flush() {
    if (!m_pending)
        return;
    FlagGuard guard;
    m_pending = false;
    auto& pending = pendingSeries();
    pending.erase(std::remove(pending.begin(), pending.end(), this), pending.end());
    if (m_series)
        m_series->replace(QList<QPointF>(m_points.begin(), m_points.end()));
    if (m_chart)
        m_chart->updateAutomaticAxes();
}

void TPointSeries::flushAll() {
    // flush() removes the series from the list, so take a copy first.
    const std::vector<TPointSeries*> pending = pendingSeries();
    for (TPointSeries* series : pending)
        series->flush();
}

bool TPointSeries::xValuesAscending() const {
    return m_ascending;
}

void TPointSeries::setXValuesAscending(bool ascending) {
    FlagGuard guard;
    m_ascending = ascending;
    if (ascending && !std::is_sorted(m_points.begin(), m_points.end(),
                                     [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); })) {
        std::stable_sort(m_points.begin(), m_points.end(),
                         [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
        markPending();
    }
}

QString TPointSeries::title() const {
    FlagGuard guard;
    return m_series ? m_series->name() : QString();
}

void TPointSeries::setTitle(const QString& title) {
    FlagGuard guard;
    if (m_series)
        m_series->setName(title);
}

QColor TPointSeries::color() const {
    return m_color;
}

void TPointSeries::setColor(const QColor& color) {
    FlagGuard guard;
    m_color = color;
    applyPen();
}

TPointSeries::PointerStyle TPointSeries::pointerStyle() const {
    FlagGuard guard;
    if (m_series && m_series->markerShape() == QScatterSeries::MarkerShapeCircle)
        return PointerStyle::Circle;
    return PointerStyle::Square;
}

void TPointSeries::setPointerStyle(PointerStyle style) {
    FlagGuard guard;
    if (m_series)
        m_series->setMarkerShape(style == PointerStyle::Circle ? QScatterSeries::MarkerShapeCircle
                                                                : QScatterSeries::MarkerShapeRectangle);
}

int TPointSeries::pointerSize() const {
    FlagGuard guard;
    return m_series ? static_cast<int>(m_series->markerSize()) : 0;
}

void TPointSeries::setPointerSize(int size) {
    FlagGuard guard;
    if (m_series)
        m_series->setMarkerSize(size);
}

QColor TPointSeries::pointerFill() const {
    FlagGuard guard;
    return m_series ? m_series->brush().color() : QColor();
}

void TPointSeries::setPointerFill(const QColor& fill) {
    FlagGuard guard;
    if (m_series)
        m_series->setBrush(fill);
}

bool TPointSeries::pointerOutline() const {
    return m_outline;
}

void TPointSeries::setPointerOutline(bool outline) {
    FlagGuard guard;
    m_outline = outline;
    applyPen();
}

void TPointSeries::applyPen() {
    if (!m_series)
        return;
    // The theme's default pen is white and wider than a small marker: always set one explicitly.
    if (m_outline) {
        QPen pen(m_color);
        pen.setWidth(1);
        m_series->setPen(pen);
    } else {
        m_series->setPen(Qt::NoPen);
    }
}

void TPointSeries::setChart(TChart* chart) {
    m_chart = chart;
}
