#include "ui/TChart.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <limits>

#include "numtext/rtl_math.h"
#include "ui/TPointSeries.h"

namespace {

// Whole numbers beyond this are no longer all doubles; their axes get the ordinary ticks.
constexpr double kLargestWhole = 9007199254740992.0; // 2^53

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

// The ticks and labels of one axis, in the chart's locale: whole-number ticks as TChart describes
// them, or QCustomPlot's readable steps.
class ChartTicker : public QCPAxisTicker {
public:
    ChartTicker(const TChart* chart, const QCPAxis* axis) : m_chart(chart), m_axis(axis) {}

    TChart::WholeTicks whole() const { return m_whole; }
    void setWhole(TChart::WholeTicks ticks) { m_whole = ticks; }

    // Whether the last ticks were fitted to another plot area than the one laid out now.
    bool stale() const {
        return m_whole != TChart::WholeTicks::Off && wholeIntervalFor(m_axis->range()) != m_interval;
    }

    void generate(const QCPRange& range, const QLocale&, QChar, int, QVector<double>& ticks,
                  QVector<double>* subTicks, QVector<QString>* tickLabels) override {
        ticks.clear();
        if (subTicks)
            subTicks->clear();
        const QLocale locale = m_chart->numberLocale();
        m_interval = wholeIntervalFor(range);
        const double lo = std::ceil(range.lower);
        const double hi = std::floor(range.upper);
        if (m_interval > 0 && hi >= lo) {
            const double anchor = m_whole == TChart::WholeTicks::DownFromMaximum ? hi : 0.0;
            // Counted in whole steps, so that no sum of steps drifts off a whole number.
            const double first = anchor + std::ceil((lo - anchor) / m_interval) * m_interval;
            const auto steps = static_cast<qint64>(std::floor((hi - first) / m_interval));
            for (qint64 k = 0; k <= steps; ++k)
                ticks.append(first + static_cast<double>(k) * m_interval);
            if (subTicks && perUnit(range) >= 4 && m_interval > 1)
                for (qint64 k = 0; k <= static_cast<qint64>(hi - lo); ++k)
                    if (const double t = lo + static_cast<double>(k); std::fmod(t - anchor, m_interval) != 0)
                        subTicks->append(t);
            if (tickLabels) {
                tickLabels->clear();
                for (double t : ticks)
                    tickLabels->append(locale.toString(static_cast<qint64>(t)));
            }
            return;
        }
        m_interval = 0;
        const double step = getTickStep(range);
        ticks = createTickVector(step, range);
        trimTicks(range, ticks, false);
        // One decimal more than the step's first digit needs: 0,50 for a step of 0,5. Numbers too
        // large or steps too small for that to stay short are written with six digits and an exponent.
        const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step)))) + 1;
        const bool plain = decimals <= 7 && std::max(std::fabs(range.lower), std::fabs(range.upper)) < 1e15;
        if (tickLabels) {
            tickLabels->clear();
            for (double t : ticks) // + 0.0: no "-0,00"
                tickLabels->append(plain ? locale.toString(t + 0.0, 'f', decimals)
                                         : locale.toString(t + 0.0, 'g', 6));
        }
    }

protected:
    // QCustomPlot's own step takes its power of ten from the C library's pow and log, whose last bit
    // differs between systems: on Windows the step for 0 .. 0,001 came out a hair above 0,0002, and
    // the tick at 0,001 fell outside the range. The power of ten here is correctly rounded, so the
    // steps, and the ticks, are the same on every system. The choice of mantissa is QCustomPlot's.
    double getTickStep(const QCPRange& range) override {
        const double exact = range.size() / (tickCount() + 1e-10);
        if (!(exact > 0) || !std::isfinite(exact))
            return QCPAxisTicker::getTickStep(range);
        int exponent = static_cast<int>(std::floor(std::log10(exact)));
        while (exponent > -300 && numtext::pow(10.0, exponent) > exact)
            --exponent;
        while (exponent < 300 && numtext::pow(10.0, exponent + 1) <= exact)
            ++exponent;
        const double magnitude = numtext::pow(10.0, exponent);
        const double mantissa = exact / magnitude;
        if (tickStepStrategy() == tssMeetTickCount)
            return mantissa <= 5.0 ? int(mantissa * 2) / 2.0 * magnitude
                                   : int(mantissa / 2.0) * 2.0 * magnitude;
        return pickClosest(mantissa, {1.0, 2.0, 2.5, 5.0, 10.0}) * magnitude;
    }

private:
    double length() const {
        const bool horizontal = m_axis->orientation() == Qt::Horizontal;
        const QRect plot = m_axis->axisRect()->rect();
        // Before the first layout the plot area is empty: the chart's size stands in for it.
        if (plot.isEmpty())
            return horizontal ? m_chart->width() : m_chart->height();
        return horizontal ? plot.width() : plot.height();
    }

    double perUnit(const QCPRange& range) const { return length() / range.size(); }

    // The whole-number interval for `range` on the plot area laid out now; 0 where whole numbers do
    // not apply (no whole number in the range, or numbers too large).
    double wholeIntervalFor(const QCPRange& range) const {
        const double lo = std::ceil(range.lower);
        const double hi = std::floor(range.upper);
        if (m_whole == TChart::WholeTicks::Off || !(hi >= lo) || !(range.size() > 0) ||
            !(std::fabs(lo) < kLargestWhole && std::fabs(hi) < kLargestWhole))
            return 0;
        // The room a label takes along the axis, with a gap to the next: the widest of the end
        // values side by side, a line of text one above the other.
        const QLocale locale = m_chart->numberLocale();
        const QFontMetricsF metrics(m_axis->tickLabelFont());
        const double room =
            m_axis->orientation() == Qt::Horizontal
                ? std::max(metrics.horizontalAdvance(locale.toString(static_cast<qint64>(lo))),
                           metrics.horizontalAdvance(locale.toString(static_cast<qint64>(hi)))) +
                      metrics.horizontalAdvance(QStringLiteral("00"))
                : metrics.height() + 4;
        const double interval = wholeInterval(perUnit(range), room);
        // More ticks than pixels would mean a plot area too small to show any.
        return (hi - lo) / interval <= std::max(length(), 1.0) ? interval : 0;
    }

    const TChart* m_chart;
    const QCPAxis* m_axis;
    TChart::WholeTicks m_whole = TChart::WholeTicks::Off;
    // The interval of the last whole-number ticks, 0 for ordinary ones.
    double m_interval = 0;
};

TChart::TChart(QWidget* parent) : QCustomPlot(parent) {
    // QCustomPlot's constructor queues a replot, hidden or not; this chart draws at its paints.
    QCoreApplication::removePostedEvents(this, QEvent::MetaCall);
    // A stop of the Tab key, as every control with something to copy.
    setFocusPolicy(Qt::StrongFocus);
    // The wheel goes on to the window, which scrolls when it is smaller than the form.
    setAttribute(Qt::WA_NoMousePropagation, false);

    // The points above the axes' lines, so that a marker on an edge is whole; below the legend.
    addLayer(QStringLiteral("points"), layer(QStringLiteral("axes")), QCustomPlot::limAbove);

    m_leftTicker.reset(new ChartTicker(this, yAxis));
    m_bottomTicker.reset(new ChartTicker(this, xAxis));
    for (QCPAxis* axis : {xAxis, yAxis}) {
        axis->setTicker(axis == xAxis ? m_bottomTicker : m_leftTicker);
        axis->grid()->setPen(QPen(QColor(220, 220, 220), 0, Qt::SolidLine));
        axis->grid()->setSubGridPen(QPen(QColor(225, 225, 225), 0, Qt::DashLine));
        axis->setSubTicks(true);
        connect(axis, qOverload<const QCPRange&>(&QCPAxis::rangeChanged), this, [this] {
            updateDescription();
            requestReplot();
        });
    }

    m_title = new QCPTextElement(this);
    m_title->setTextColor(QColor(64, 64, 64));
    // The legend leaves the plot area, where it would hide points, for a row of its own.
    axisRect()->insetLayout()->take(legend);
    m_legendRow = new QCPLayoutGrid;
    plotLayout()->insertRow(0);
    plotLayout()->addElement(0, 0, m_legendRow);
    m_legendRow->addElement(0, 0, new QCPLayoutElement(this));
    m_legendRow->addElement(0, 1, legend);
    m_legendRow->addElement(0, 2, new QCPLayoutElement(this));
    m_legendRow->setColumnStretchFactor(1, 0.001);
    m_legendRow->setMargins(QMargins(0, 0, 0, 4));
    legend->setVisible(true);
    legend->setFillOrder(QCPLayoutGrid::foColumnsFirst);
    legend->setBorderPen(Qt::NoPen);
    legend->setBrush(Qt::NoBrush);
    legend->setIconSize(10, 10);
    legend->setIconTextPadding(4);
    legend->setColumnSpacing(12);
    arrangeRows();

    // The points as text, for a reader that cannot see them: from the context menu, and Ctrl+C while
    // the chart has the keyboard.
    auto* copy = new QAction(QStringLiteral("Kopiuj dane"), this);
    copy->setShortcut(QKeySequence::Copy);
    copy->setShortcutContext(Qt::WidgetShortcut);
    connect(copy, &QAction::triggered, this,
            [this] { QGuiApplication::clipboard()->setText(shownPoints()); });
    addAction(copy);
    setContextMenuPolicy(Qt::ActionsContextMenu);

    applyFont();
    applyLocale();
    // QCustomPlot fixes the widget's locale, which keeps the system's change of locale from reaching
    // the chart; the chart keeps a locale of its own instead.
    unsetLocale();
}

TChart::~TChart() {
    // Rows taken out of the layout are not the layout's to delete.
    for (QCPLayoutElement* row :
         {static_cast<QCPLayoutElement*>(m_title), static_cast<QCPLayoutElement*>(m_legendRow)})
        if (!row->layout())
            delete row;
}

void TChart::applyLocale() { setNumberLocale(QLocale::system()); }

QLocale TChart::numberLocale() const { return m_locale; }

void TChart::setNumberLocale(const QLocale& locale) {
    m_locale = locale;
    // Years and days read as such: "2012", not "2,012" or "2 012".
    m_locale.setNumberOptions(m_locale.numberOptions() | QLocale::OmitGroupSeparator);
    updateDescription();
    requestReplot();
}

void TChart::applyFont() {
    // The axis titles keep the fonts the program gives them.
    for (QCPAxis* axis : {xAxis, yAxis})
        axis->setTickLabelFont(font());
    legend->setFont(font());
    m_title->setFont(font());
    requestReplot();
}

void TChart::changeEvent(QEvent* event) {
    // QApplication passes the system's announcement of a new locale on to every widget.
    if (event->type() == QEvent::LocaleChange)
        applyLocale();
    else if (event->type() == QEvent::FontChange)
        applyFont();
    QCustomPlot::changeEvent(event);
}

QString TChart::title() const { return m_title->text(); }

void TChart::setTitle(const QString& title) {
    const bool rows = title.isEmpty() != m_title->text().isEmpty();
    m_title->setText(title);
    if (rows)
        arrangeRows();
    updateDescription();
    requestReplot();
}

bool TChart::legendVisible() const { return m_legendVisible; }

void TChart::setLegendVisible(bool visible) {
    if (visible == m_legendVisible)
        return;
    m_legendVisible = visible;
    arrangeRows();
}

void TChart::arrangeRows() {
    QCPLayoutGrid* rows = plotLayout();
    for (QCPLayoutElement* row :
         {static_cast<QCPLayoutElement*>(m_title), static_cast<QCPLayoutElement*>(m_legendRow)})
        if (row->layout())
            rows->take(row);
    rows->simplify();
    int at = 0;
    const std::pair<QCPLayoutElement*, bool> wanted[] = {{m_title, !m_title->text().isEmpty()},
                                                         {m_legendRow, m_legendVisible}};
    for (const auto& [row, shown] : wanted) {
        if (!shown)
            continue;
        rows->insertRow(at);
        rows->addElement(at, 0, row);
        // As high as their text: the plot area takes the rest.
        rows->setRowStretchFactor(at, 0.001);
        ++at;
    }
    requestReplot();
}

QCPAxis* TChart::leftAxis() const { return yAxis; }

QCPAxis* TChart::bottomAxis() const { return xAxis; }

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
    series->attach(xAxis, yAxis);
    series->plottable()->setLayer(QStringLiteral("points"));
    connect(series, &TPointSeries::handedOver, this, [this] {
        updateAutomaticAxes();
        updateDescription();
        requestReplot();
    });
    connect(series, &TPointSeries::lookChanged, this, [this] {
        updateDescription();
        requestReplot();
    });
    updateAutomaticAxes();
    updateDescription();
    requestReplot();
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
    auto setRange = [](QCPAxis* axis, double lo, double hi) {
        if (lo == hi) {
            lo -= 1;
            hi += 1;
        }
        axis->setRange(lo, hi);
    };
    if (m_bottomAutomatic)
        setRange(xAxis, minX, maxX);
    if (m_leftAutomatic)
        setRange(yAxis, minY, maxY);
}

ChartTicker* TChart::ticker(const QCPAxis* axis) const {
    if (axis == yAxis)
        return m_leftTicker.data();
    if (axis == xAxis)
        return m_bottomTicker.data();
    return nullptr;
}

void TChart::setWholeTicks(QCPAxis* axis, WholeTicks ticks) {
    ChartTicker* t = ticker(axis);
    if (!t)
        return;
    t->setWhole(ticks);
    axis->grid()->setSubGridVisible(ticks != WholeTicks::Off);
    requestReplot();
}

TChart::WholeTicks TChart::wholeTicks(const QCPAxis* axis) const {
    const ChartTicker* t = ticker(axis);
    return t ? t->whole() : WholeTicks::Off;
}

void TChart::updateLayout() {
    QCustomPlot::updateLayout();
    // A whole-number axis fitted its interval to the plot area of the layout before, and the labels
    // at the ends of the axes may want wider margins: both change the plot area, which the next
    // layout settles.
    for (int pass = 0; pass < 2; ++pass) {
        const QMargins margins = labelMargins();
        if (margins == axisRect()->minimumMargins() && !m_leftTicker->stale() && !m_bottomTicker->stale())
            return;
        axisRect()->setMinimumMargins(margins);
        QCustomPlot::updateLayout();
    }
}

QMargins TChart::labelMargins() const {
    // QCustomPlot's own minimum, and two pixels to spare at the chart's edge.
    constexpr int least = 15;
    constexpr double spare = 2;
    QMargins margins(least, least, least, least);
    const QRect plot = axisRect()->rect();
    for (const QCPAxis* axis : {xAxis, yAxis}) {
        if (!axis->visible() || !axis->tickLabels())
            continue;
        const QFontMetricsF metrics(axis->tickLabelFont());
        const bool horizontal = axis->orientation() == Qt::Horizontal;
        const QVector<double> ticks = axis->tickVector();
        const QVector<QString> labels = axis->tickVectorLabels();
        for (qsizetype i = 0; i < ticks.size() && i < labels.size(); ++i) {
            const double half =
                (horizontal ? metrics.horizontalAdvance(labels[i]) : metrics.height()) / 2 + spare;
            const double at = axis->coordToPixel(ticks[i]);
            // How far the label reaches past each end of the plot area.
            const auto past = [half](double room) { return static_cast<int>(std::ceil(half - room)); };
            if (horizontal) {
                margins.setLeft(std::max(margins.left(), past(at - plot.left())));
                margins.setRight(std::max(margins.right(), past(plot.right() - at)));
            } else {
                margins.setTop(std::max(margins.top(), past(at - plot.top())));
                margins.setBottom(std::max(margins.bottom(), past(plot.bottom() - at)));
            }
        }
    }
    return margins;
}

void TChart::requestReplot() {
    m_replotDue = true;
    update();
}

void TChart::resizeEvent(QResizeEvent*) {
    // QCustomPlot would lay out and draw at once, hidden or not; a resize is followed by a paint.
    setViewport(rect());
    requestReplot();
}

bool TChart::shown(const QPointF& p) const {
    return p.x() >= xAxis->range().lower && p.x() <= xAxis->range().upper && p.y() >= yAxis->range().lower &&
           p.y() <= yAxis->range().upper;
}

QString TChart::number(double value) const {
    return m_locale.toString(value, 'g', QLocale::FloatingPointShortest);
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
    const auto range = [this](const QCPAxis* axis, const char* letter, double lo, double hi) {
        const QString name = axis->label().isEmpty() ? QLatin1String(letter) : axis->label();
        // Six digits say enough of a range; the data themselves are in full in shownPoints().
        return name + QStringLiteral(" od ") + m_locale.toString(lo, 'g', 6) + QStringLiteral(" do ") +
               m_locale.toString(hi, 'g', 6);
    };
    if (minX <= maxX)
        text += QStringLiteral("; ") + range(xAxis, "X", minX, maxX) + QStringLiteral("; ") +
                range(yAxis, "Y", minY, maxY);
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
    if (!qFuzzyCompare(bufferDevicePixelRatio(), devicePixelRatioF())) {
        setBufferDevicePixelRatio(devicePixelRatioF());
        m_replotDue = true;
    }
    if (m_replotDue) {
        m_replotDue = false;
        // The replot asks for the paint that is under way already.
        setAttribute(Qt::WA_UpdatesDisabled, true);
        replot(rpQueuedRefresh);
        setAttribute(Qt::WA_UpdatesDisabled, false);
    }
    QCustomPlot::paintEvent(event);
    if (!hasFocus())
        return;
    // A frame in the selection's colour, two pixels wide inside the edge, as the focus of a stop
    // that has no text cursor or caption to show it.
    QPainter painter(this);
    QPen pen(palette().color(QPalette::Highlight), 2);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
}

void TChart::focusInEvent(QFocusEvent* event) {
    QCustomPlot::focusInEvent(event);
    update();
}

void TChart::focusOutEvent(QFocusEvent* event) {
    QCustomPlot::focusOutEvent(event);
    update();
}

void TChart::wheelEvent(QWheelEvent* event) {
    // Nothing on the chart scrolls or zooms.
    event->ignore();
}
