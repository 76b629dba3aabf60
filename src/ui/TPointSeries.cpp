#include "ui/TPointSeries.h"

#include <QMetaObject>
#include <algorithm>
#include <cmath>
#include <qcustomplot.h>

namespace {

// Where a marker of `extent` pixels starts for a point at pixel coordinate `at`.
double markerStart(double at, int extent) { return std::floor(at - extent / 2.0); }

// Draws a series' points as its marker picture. QCPGraph would not do: it keeps its data sorted by
// x, thins out points that share a pixel column, and clips markers at the plot area's edge. Here
// every point inside both axes' ranges is drawn whole, also on the edges; points outside the ranges
// are not drawn at all.
class PointPlot : public QCPAbstractPlottable {
public:
    PointPlot(const TPointSeries* series, QCPAxis* xAxis, QCPAxis* yAxis)
        : QCPAbstractPlottable(xAxis, yAxis), m_series(series) {
        setSelectable(QCP::stNone);
        setAntialiased(false);
    }

    double selectTest(const QPointF&, bool, QVariant*) const override { return -1; }

    QCPRange getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const override {
        return span(&QPointF::x, foundRange, inSignDomain);
    }

    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain,
                           const QCPRange& inKeyRange) const override {
        const bool anyKey = inKeyRange == QCPRange();
        QCPRange range;
        foundRange = false;
        for (const QPointF& p : m_series->handedPoints()) {
            if ((anyKey || inKeyRange.contains(p.x())) && inDomain(p.y(), inSignDomain))
                extend(range, p.y(), foundRange);
        }
        return range;
    }

protected:
    // The plot area, widened by half a marker on every side, so that markers on its edges are whole.
    QRect clipRect() const override {
        const int reach = m_series->marker().width() / 2 + 1;
        // QCPLayer moves the clip up by a pixel; the extra pixel below makes up for it.
        return QCPAbstractPlottable::clipRect().adjusted(-reach, -reach, reach, reach + 1);
    }

    void draw(QCPPainter* painter) override {
        const QImage& marker = m_series->marker();
        if (marker.isNull())
            return;
        const QCPRange xs = keyAxis()->range();
        const QCPRange ys = valueAxis()->range();
        for (const QPointF& p : m_series->handedPoints()) {
            // Written so that a NaN fails the test.
            if (!(p.x() >= xs.lower && p.x() <= xs.upper && p.y() >= ys.lower && p.y() <= ys.upper))
                continue;
            painter->drawImage(QPointF(markerStart(keyAxis()->coordToPixel(p.x()), marker.width()),
                                       markerStart(valueAxis()->coordToPixel(p.y()), marker.height())),
                               marker);
        }
    }

    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override {
        const QImage& marker = m_series->marker();
        if (!marker.isNull())
            painter->drawImage(QPointF(markerStart(rect.center().x(), marker.width()),
                                       markerStart(rect.center().y(), marker.height())),
                               marker);
    }

private:
    static bool inDomain(double v, QCP::SignDomain domain) {
        return domain == QCP::sdBoth || (domain == QCP::sdPositive && v > 0) ||
               (domain == QCP::sdNegative && v < 0);
    }

    static void extend(QCPRange& range, double v, bool& found) {
        if (!std::isfinite(v))
            return;
        if (!found)
            range = QCPRange(v, v);
        range.expand(v);
        found = true;
    }

    QCPRange span(qreal (QPointF::*coordinate)() const, bool& foundRange, QCP::SignDomain domain) const {
        QCPRange range;
        foundRange = false;
        for (const QPointF& p : m_series->handedPoints())
            if (inDomain((p.*coordinate)(), domain))
                extend(range, (p.*coordinate)(), foundRange);
        return range;
    }

    const TPointSeries* m_series;
};

} // namespace

TPointSeries::TPointSeries(QObject* parent) : QObject(parent) { applyMarker(); }

TPointSeries::~TPointSeries() {
    // The chart deletes its plottables first when it goes; a series removed before it takes its own.
    if (m_plottable)
        m_plottable->parentPlot()->removePlottable(m_plottable);
}

void TPointSeries::attach(QCPAxis* xAxis, QCPAxis* yAxis) {
    m_plottable = new PointPlot(this, xAxis, yAxis);
    m_plottable->setName(m_title);
}

QCPAbstractPlottable* TPointSeries::plottable() const { return m_plottable.data(); }

void TPointSeries::clear() {
    if (m_points.empty() && !m_pending)
        return;
    m_points.clear();
    markPending();
}

void TPointSeries::addXY(double x, double y) {
    // Quiet comparisons: a NaN must not raise the invalid-operation flag inside the handler, and
    // a series of thousands of points is built without saving and restoring the flags each time.
    const QPointF p(x, y);
    if (m_ascending && !m_points.empty() && std::isless(x, m_points.back().x())) {
        const auto at = std::upper_bound(m_points.begin(), m_points.end(), x,
                                         [](double v, const QPointF& q) { return std::isless(v, q.x()); });
        m_points.insert(at, p);
    } else {
        m_points.push_back(p);
    }
    markPending();
}

int TPointSeries::count() const { return static_cast<int>(m_points.size()); }

QPointF TPointSeries::point(int i) const {
    if (i < 0 || i >= count())
        return {};
    return m_points[static_cast<std::size_t>(i)];
}

const std::vector<QPointF>& TPointSeries::points() const { return m_points; }

const std::vector<QPointF>& TPointSeries::handedPoints() const { return m_handed; }

void TPointSeries::markPending() {
    m_pending = true;
    if (m_flushQueued)
        return;
    // Changes made outside any handler still reach the chart, once the event loop runs.
    m_flushQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_flushQueued = false;
            flush();
        },
        Qt::QueuedConnection);
}

void TPointSeries::flush() {
    if (!m_pending)
        return;
    m_pending = false;
    m_handed = m_points;
    emit handedOver();
}

bool TPointSeries::xValuesAscending() const { return m_ascending; }

void TPointSeries::setXValuesAscending(bool ascending) {
    m_ascending = ascending;
    if (ascending && !std::is_sorted(m_points.begin(), m_points.end(),
                                     [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); })) {
        std::stable_sort(m_points.begin(), m_points.end(),
                         [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
        markPending();
    }
}

QString TPointSeries::title() const { return m_title; }

void TPointSeries::setTitle(const QString& title) {
    m_title = title;
    if (m_plottable)
        m_plottable->setName(title);
    emit lookChanged();
}

QColor TPointSeries::color() const { return m_color; }

void TPointSeries::setColor(const QColor& color) {
    m_color = color;
    applyMarker();
}

TPointSeries::PointerStyle TPointSeries::pointerStyle() const { return m_style; }

void TPointSeries::setPointerStyle(PointerStyle style) {
    m_style = style;
    applyMarker();
}

int TPointSeries::pointerSize() const { return m_size; }

void TPointSeries::setPointerSize(int size) {
    m_size = std::max(0, size);
    applyMarker();
}

QColor TPointSeries::pointerFill() const { return m_fill; }

void TPointSeries::setPointerFill(const QColor& fill) {
    m_fill = fill;
    applyMarker();
}

bool TPointSeries::pointerOutline() const { return m_outline; }

void TPointSeries::setPointerOutline(bool outline) {
    m_outline = outline;
    applyMarker();
}

const QImage& TPointSeries::marker() const { return m_marker; }

void TPointSeries::applyMarker() {
    const int extent = m_size + (m_outline ? 1 : 0);
    if (extent == 0) {
        m_marker = QImage();
        emit lookChanged();
        return;
    }
    // Decided pixel by pixel, so that no rasteriser chooses which pixels an edge covers: a circle
    // is the pixels whose centres lie inside it, its outline those of them outside the circle one
    // pixel smaller all round.
    const auto inside = [extent, this](int x, int y, int inset) {
        if (m_style == PointerStyle::Square)
            return x >= inset && y >= inset && x < extent - inset && y < extent - inset;
        const double r = extent / 2.0 - inset;
        const double dx = x + 0.5 - extent / 2.0;
        const double dy = y + 0.5 - extent / 2.0;
        return dx * dx + dy * dy <= r * r;
    };
    QImage marker(extent, extent, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < extent; ++y)
        for (int x = 0; x < extent; ++x)
            marker.setPixelColor(x, y,
                                 !inside(x, y, 0)                ? QColor(Qt::transparent)
                                 : !m_outline || inside(x, y, 1) ? m_fill
                                                                 : m_color);
    m_marker = marker;
    emit lookChanged();
}
