#include "ui/TPointSeries.h"

#include <QImage>
#include <QList>
#include <QMetaObject>
#include <QPainter>
#include <QPen>
#include <QScatterSeries>
#include <algorithm>
#include <cmath>

TPointSeries::TPointSeries(QObject* parent) : QObject(parent) {
    m_series = new QScatterSeries(this);
    m_series->setPointLabelsVisible(false);
    applyMarker();
}

TPointSeries::~TPointSeries() = default;

QScatterSeries* TPointSeries::qseries() const { return m_series.data(); }

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
    if (m_series)
        m_series->replace(QList<QPointF>(m_points.begin(), m_points.end()));
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

QString TPointSeries::title() const { return m_series ? m_series->name() : QString(); }

void TPointSeries::setTitle(const QString& title) {
    if (m_series)
        m_series->setName(title);
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

void TPointSeries::applyMarker() {
    if (!m_series)
        return;
    // The theme's default pen is white and wider than a small marker: always set one explicitly.
    // The legend draws its entry with the series' brush.
    QPen pen(Qt::NoPen);
    if (m_outline) {
        pen = QPen(m_color);
        pen.setWidth(1);
    }
    m_series->setPen(pen);
    m_series->setBrush(m_fill);

    if (m_style == PointerStyle::Circle || m_size == 0) {
        // Circles stay graphics items: an ellipse a few pixels across is rasterised differently at
        // each fraction of a pixel, which no single picture reproduces.
        m_series->setLightMarker(QImage());
        m_series->setMarkerShape(m_style == PointerStyle::Circle ? QScatterSeries::MarkerShapeCircle
                                                                 : QScatterSeries::MarkerShapeRectangle);
        m_series->setMarkerSize(m_size);
        m_series->setPointsVisible(true);
        return;
    }

    // A square item is centred on its point; its extent is the size, plus one pixel for an
    // outline (a one-pixel pen, not antialiased, is drawn to the right of and below the edge), and
    // it starts at the pixel its corner lies in. The picture is centred on the point too but lands
    // on the nearest whole pixel, so an outlined one is a pixel wider, which moves it half a pixel up
    // and left: the same pixels as the item at every fraction of a pixel.
    const int extent = m_size + (m_outline ? 1 : 0);
    const int side = extent + (m_outline ? 1 : 0);
    QImage marker(side, side, QImage::Format_ARGB32_Premultiplied);
    marker.fill(Qt::transparent);
    {
        QPainter painter(&marker);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setPen(pen);
        painter.setBrush(m_fill);
        painter.drawRect(QRectF(0, 0, m_size, m_size));
    }
    // The picture is drawn scaled to the marker size: keep it at its own. The items the series
    // still makes for its points stay hidden.
    m_series->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
    m_series->setMarkerSize(side);
    m_series->setLightMarker(marker);
    m_series->setPointsVisible(false);
}
