#include "ui/TChart.h"

#include <QAction>
#include <QChart>
#include <QClipboard>
#include <QEvent>
#include <QFontMetricsF>
#include <QGraphicsItem>
#include <QGuiApplication>
#include <QLegend>
#include <QLocale>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <cmath>
#include <limits>

#include "ui/TPointSeries.h"

// Qt Charts clips every series to the plot area: a point on its edge keeps half a marker, a point
// in a corner a quarter. This item lies above the series and draws again, whole, the marker of
// every point inside the axes' ranges whose marker reaches past the plot area; points outside the
// ranges stay hidden, as Qt hides them. It draws each marker exactly as the series does (the same
// picture, or the same shape, pen and brush, at the same place), so where the two overlap the pixels
// are the same.
class EdgeMarkers : public QGraphicsItem {
public:
    explicit EdgeMarkers(TChart* chart) : QGraphicsItem(chart->chart()), m_chart(chart) {
        // Above the series (Qt Charts draws them at z 4), below the legend (z 5).
        setZValue(4.5);
        setAcceptedMouseButtons(Qt::NoButton);
    }

    QRectF boundingRect() const override { return m_bounds; }

    // The plot area moved or changed its size, or a marker its size.
    void place() {
        const QRectF plot = m_chart->chart()->plotArea();
        double reach = 0;
        for (int i = 0; i < m_chart->seriesCount(); ++i)
            reach = std::max(reach, extent(m_chart->series(i)->qseries()));
        prepareGeometryChange();
        setPos(plot.topLeft());
        m_size = plot.size();
        m_bounds = QRectF(QPointF(0, 0), m_size).adjusted(-reach, -reach, reach, reach);
    }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*) override {
        const QValueAxis* xAxis = m_chart->bottomAxis();
        const QValueAxis* yAxis = m_chart->leftAxis();
        const double minX = xAxis->min(), maxX = xAxis->max(), minY = yAxis->min(), maxY = yAxis->max();
        if (!(maxX > minX && maxY > minY))
            return;
        // The series' own mapping (Qt's XYDomain), to the bit, so the markers land where the series' do.
        const double deltaX = m_size.width() / (maxX - minX);
        const double deltaY = m_size.height() / (maxY - minY);
        for (int i = 0; i < m_chart->seriesCount(); ++i) {
            const QScatterSeries* series = m_chart->series(i)->qseries();
            const QImage picture = series->lightMarker();
            if (!series->isVisible() || (picture.isNull() && !series->pointsVisible()))
                continue;
            const double size = series->markerSize();
            // A shape item is centred with its outline; the picture has its outline inside.
            const double reach = extent(series) / 2;
            painter->setPen(series->pen());
            painter->setBrush(series->brush());
            for (const QPointF& p : series->points()) {
                if (!(p.x() >= minX && p.x() <= maxX && p.y() >= minY && p.y() <= maxY))
                    continue;
                const double x = (p.x() - minX) * deltaX;
                const double y = m_size.height() - (p.y() - minY) * deltaY;
                if (x - reach >= 0 && y - reach >= 0 && x + reach <= m_size.width() &&
                    y + reach <= m_size.height())
                    continue; // whole already
                if (!picture.isNull())
                    painter->drawImage(QRectF(x - size / 2, y - size / 2, size, size), picture);
                else if (series->markerShape() == QScatterSeries::MarkerShapeCircle)
                    painter->drawEllipse(QRectF(x - reach, y - reach, size, size));
                else
                    painter->drawRect(QRectF(x - reach, y - reach, size, size));
            }
        }
    }

private:
    // The width of a series' marker on screen.
    static double extent(const QScatterSeries* series) {
        if (!series->lightMarker().isNull())
            return series->markerSize();
        const QPen pen = series->pen();
        return series->markerSize() + (pen.style() == Qt::NoPen ? 0.0 : pen.widthF());
    }

    TChart* m_chart;
    QSizeF m_size;
    QRectF m_bounds;
};

namespace {

// The smallest of 1, 2, 5, 10, 20, 50, ... up to 5e15 that spans `room` pixels at `perUnit` pixels
// a unit.
double wholeInterval(double perUnit, double room) {
    double decade = 1;
    for (int power = 0; power < 16; ++power, decade *= 10)
        for (double step : {1.0, 2.0, 5.0})
            if (step * decade * perUnit >= room)
                return step * decade;
    return 5 * decade / 10;
}

// "1 punkt", "2 punkty", "5 punktów", "22 punkty": the Polish plural of a count.
QString pointCount(qsizetype n) {
    const qsizetype tens = n % 100;
    const qsizetype units = n % 10;
    const char* word = n == 1                                                 ? "punkt"
                       : units >= 2 && units <= 4 && (tens < 12 || tens > 14) ? "punkty"
                                                                              : "punktów";
    return QString::number(n) + QLatin1Char(' ') + QString::fromUtf8(word);
}

} // namespace

TChart::TChart(QWidget* parent) : QChartView(parent) {
    QChart* c = chart();
    m_leftAxis = new QValueAxis(c);
    m_bottomAxis = new QValueAxis(c);
    m_bottomAxis->setTruncateLabels(false);
    m_leftAxis->setTruncateLabels(false);
    c->addAxis(m_leftAxis, Qt::AlignLeft);
    c->addAxis(m_bottomAxis, Qt::AlignBottom);
    setRenderHint(QPainter::Antialiasing, false);
    c->setLocalizeNumbers(true);
    applyLocale();

    m_edgeMarkers = new EdgeMarkers(this);
    connect(c, &QChart::plotAreaChanged, this, [this] {
        m_edgeMarkers->place();
        updateWholeTicks();
    });
    for (QValueAxis* axis : {m_leftAxis, m_bottomAxis})
        connect(axis, &QValueAxis::rangeChanged, this, [this] {
            m_edgeMarkers->update();
            updateWholeTicks();
            updateDescription();
        });

    // The points as text, for a reader that cannot see them: from the context menu, and Ctrl+C while
    // the chart has the keyboard.
    auto* copy = new QAction(QStringLiteral("Kopiuj dane"), this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setText(shownPoints()); });
    addAction(copy);
    setContextMenuPolicy(Qt::ActionsContextMenu);
    updateDescription();
}

void TChart::applyLocale() {
    QLocale locale = QLocale::system();
    // Years and days read as such: "2012", not "2,012" or "2 012".
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    chart()->setLocale(locale);
    updateWholeTicks();
    updateDescription();
}

void TChart::changeEvent(QEvent* event) {
    // QApplication passes the system's announcement of a new locale on to every widget.
    if (event->type() == QEvent::LocaleChange)
        applyLocale();
    QChartView::changeEvent(event);
}

QString TChart::title() const { return chart()->title(); }

void TChart::setTitle(const QString& title) {
    chart()->setTitle(title);
    updateDescription();
}

bool TChart::legendVisible() const { return chart()->legend()->isVisible(); }

void TChart::setLegendVisible(bool visible) { chart()->legend()->setVisible(visible); }

QValueAxis* TChart::leftAxis() const { return m_leftAxis; }

QValueAxis* TChart::bottomAxis() const { return m_bottomAxis; }

bool TChart::leftAxisAutomatic() const { return m_leftAutomatic; }

void TChart::setLeftAxisAutomatic(bool automatic) {
    m_leftAutomatic = automatic;
    updateAutomaticAxes();
}

bool TChart::bottomAxisAutomatic() const { return m_bottomAutomatic; }

void TChart::setBottomAxisAutomatic(bool automatic) {
    m_bottomAutomatic = automatic;
    updateAutomaticAxes();
}

void TChart::addSeries(TPointSeries* series) {
    if (!series || std::find(m_series.begin(), m_series.end(), series) != m_series.end())
        return;
    series->setParent(this);
    m_series.push_back(series);
    QScatterSeries* points = series->qseries();
    chart()->addSeries(points);
    points->attachAxis(m_bottomAxis);
    points->attachAxis(m_leftAxis);
    connect(points, &QXYSeries::pointsReplaced, this, [this] {
        updateAutomaticAxes();
        m_edgeMarkers->update();
        updateDescription();
    });
    connect(points, &QXYSeries::markerSizeChanged, this, [this] { m_edgeMarkers->place(); });
    m_edgeMarkers->place();
    updateAutomaticAxes();
    updateDescription();
}

TPointSeries* TChart::series(int i) const {
    if (i < 0 || i >= seriesCount())
        return nullptr;
    return m_series[static_cast<std::size_t>(i)];
}

int TChart::seriesCount() const { return static_cast<int>(m_series.size()); }

void TChart::updateAutomaticAxes() {
    if (!m_leftAutomatic && !m_bottomAutomatic)
        return;
    constexpr double inf = std::numeric_limits<double>::infinity();
    double minX = inf, maxX = -inf, minY = inf, maxY = -inf;
    for (const TPointSeries* s : m_series) {
        for (const QPointF& p : s->points()) {
            minX = std::min(minX, p.x());
            maxX = std::max(maxX, p.x());
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        }
    }
    if (minX > maxX)
        return; // no points: the axes keep their range
    // A single value still needs a range around it.
    auto setRange = [this](QValueAxis* axis, double lo, double hi) {
        if (lo == hi) {
            lo -= 1;
            hi += 1;
        }
        fitWholeTicks(axis, lo, hi);
        axis->setRange(lo, hi);
    };
    if (m_bottomAutomatic)
        setRange(m_bottomAxis, minX, maxX);
    if (m_leftAutomatic)
        setRange(m_leftAxis, minY, maxY);
}

void TChart::setWholeTicks(QValueAxis* axis, WholeTicks ticks) {
    if (axis == m_leftAxis)
        m_leftTicks = ticks;
    else if (axis == m_bottomAxis)
        m_bottomTicks = ticks;
    else
        return;
    if (ticks == WholeTicks::Off) {
        axis->setTickType(QValueAxis::TicksFixed);
        axis->setMinorTickCount(0);
        return;
    }
    // Qt Charts writes a label in the chart's locale only when its format has a precision; "%d"
    // would come out in the C locale, or not at all with localised numbers.
    axis->setLabelFormat(QStringLiteral("%.0d"));
    axis->setTickType(QValueAxis::TicksDynamic);
    updateWholeTicks();
}

void TChart::updateWholeTicks() {
    for (QValueAxis* axis : {m_bottomAxis, m_leftAxis})
        fitWholeTicks(axis, axis->min(), axis->max());
}

// Called also before a new range is set, with that range: Qt Charts lays out an axis's ticks as soon
// as its range changes, and ticks one unit apart over thousands of years would be thousands of
// labels made and dropped again.
void TChart::fitWholeTicks(QValueAxis* axis, double min, double max) {
    const WholeTicks ticks = axis == m_bottomAxis ? m_bottomTicks : m_leftTicks;
    const double lo = std::ceil(min);
    const double hi = std::floor(max);
    if (ticks == WholeTicks::Off || !(hi >= lo) || !(max > min))
        return;
    const QRectF plot = chart()->plotArea();
    const QLocale locale = chart()->locale();
    const bool horizontal = axis == m_bottomAxis;
    // Before the first layout the plot area is empty: the view's size stands in for it.
    const double length =
        plot.isEmpty() ? (horizontal ? width() : height()) : (horizontal ? plot.width() : plot.height());
    const double perUnit = length / (max - min);
    // The room a label takes along the axis, with a gap to the next: the widest of the end
    // values side by side, a line of text one above the other.
    const QFontMetricsF metrics(axis->labelsFont());
    const double room = horizontal
                            ? std::max(metrics.horizontalAdvance(locale.toString(static_cast<qint64>(lo))),
                                       metrics.horizontalAdvance(locale.toString(static_cast<qint64>(hi)))) +
                                  metrics.horizontalAdvance(QStringLiteral("00"))
                            : metrics.height() + 4;
    const double interval = wholeInterval(perUnit, room);
    const double anchor = ticks == WholeTicks::DownFromMaximum ? hi : 0.0;
    const int minor = perUnit >= 4 ? static_cast<int>(interval) - 1 : 0;
    if (axis->tickInterval() != interval)
        axis->setTickInterval(interval);
    if (axis->tickAnchor() != anchor)
        axis->setTickAnchor(anchor);
    if (axis->minorTickCount() != minor)
        axis->setMinorTickCount(minor);
}

bool TChart::shown(const QPointF& p) const {
    return p.x() >= m_bottomAxis->min() && p.x() <= m_bottomAxis->max() && p.y() >= m_leftAxis->min() &&
           p.y() <= m_leftAxis->max();
}

QString TChart::number(double value) const {
    return chart()->locale().toString(value, 'g', QLocale::FloatingPointShortest);
}

QString TChart::summary() const {
    constexpr double inf = std::numeric_limits<double>::infinity();
    double minX = inf, maxX = -inf, minY = inf, maxY = -inf;
    QStringList counts;
    for (const TPointSeries* s : m_series) {
        qsizetype count = 0;
        for (const QPointF& p : s->points()) {
            if (!shown(p))
                continue;
            ++count;
            minX = std::min(minX, p.x());
            maxX = std::max(maxX, p.x());
            minY = std::min(minY, p.y());
            maxY = std::max(maxY, p.y());
        }
        counts << s->title() + QLatin1Char(' ') + pointCount(count);
    }
    QString text = title().isEmpty() ? QString() : title() + QStringLiteral(": ");
    text += counts.join(QStringLiteral(", "));
    const auto range = [this](const QValueAxis* axis, const char* letter, double lo, double hi) {
        const QString name = axis->titleText().isEmpty() ? QLatin1String(letter) : axis->titleText();
        // Six digits say enough of a range; the data themselves are in full in shownPoints().
        const QLocale& locale = chart()->locale();
        return name + QStringLiteral(" od ") + locale.toString(lo, 'g', 6) + QStringLiteral(" do ") +
               locale.toString(hi, 'g', 6);
    };
    if (minX <= maxX)
        text += QStringLiteral("; ") + range(m_bottomAxis, "X", minX, maxX) + QStringLiteral("; ") +
                range(m_leftAxis, "Y", minY, maxY);
    return text;
}

QString TChart::shownPoints() const {
    QString text;
    for (const TPointSeries* s : m_series)
        for (const QPointF& p : s->points()) {
            if (!shown(p))
                continue;
            text += number(p.x()) + QLatin1Char('\t') + number(p.y());
            if (m_series.size() > 1)
                text += QLatin1Char('\t') + s->title();
            text += QLatin1Char('\n');
        }
    return text;
}

void TChart::updateDescription() {
    const QString text = summary();
    // Setting it tells a screen reader it changed: only a change does.
    if (text != accessibleDescription())
        setAccessibleDescription(text);
}

void TChart::paintEvent(QPaintEvent* event) {
    QChartView::paintEvent(event);
    if (!hasFocus())
        return;
    // A frame in the selection's colour, two pixels wide inside the edge, as the focus of a stop
    // that has no text cursor or caption to show it.
    QPainter painter(viewport());
    QPen pen(palette().color(QPalette::Highlight), 2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(viewport()->rect()).adjusted(1, 1, -1, -1));
}

void TChart::focusInEvent(QFocusEvent* event) {
    QChartView::focusInEvent(event);
    viewport()->update();
}

void TChart::focusOutEvent(QFocusEvent* event) {
    QChartView::focusOutEvent(event);
    viewport()->update();
}
