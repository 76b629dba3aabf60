#include "ui/TChart.h"

#include <QChart>
#include <QLegend>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>
#include <limits>

#include "numtext/fpenv.h"
#include "ui/TPointSeries.h"

using numtext::FlagGuard;

TChart::TChart(QWidget* parent) : QChartView(parent) {
    FlagGuard guard;
    QChart* c = chart();
    m_leftAxis = new QValueAxis(c);
    m_bottomAxis = new QValueAxis(c);
    m_bottomAxis->setTruncateLabels(false);
    m_leftAxis->setTruncateLabels(false);
    c->addAxis(m_leftAxis, Qt::AlignLeft);
    c->addAxis(m_bottomAxis, Qt::AlignBottom);
    setRenderHint(QPainter::Antialiasing, false);
}

QString TChart::title() const {
    FlagGuard guard;
    return chart()->title();
}

void TChart::setTitle(const QString& title) {
    FlagGuard guard;
    chart()->setTitle(title);
}

bool TChart::legendVisible() const {
    FlagGuard guard;
    return chart()->legend()->isVisible();
}

void TChart::setLegendVisible(bool visible) {
    FlagGuard guard;
    chart()->legend()->setVisible(visible);
}

QValueAxis* TChart::leftAxis() const { return m_leftAxis; }

QValueAxis* TChart::bottomAxis() const { return m_bottomAxis; }

bool TChart::leftAxisAutomatic() const { return m_leftAutomatic; }

void TChart::setLeftAxisAutomatic(bool automatic) {
    FlagGuard guard;
    m_leftAutomatic = automatic;
    updateAutomaticAxes();
}

bool TChart::bottomAxisAutomatic() const { return m_bottomAutomatic; }

void TChart::setBottomAxisAutomatic(bool automatic) {
    FlagGuard guard;
    m_bottomAutomatic = automatic;
    updateAutomaticAxes();
}

void TChart::addSeries(TPointSeries* series) {
    FlagGuard guard;
    if (!series || std::find(m_series.begin(), m_series.end(), series) != m_series.end())
        return;
    series->setParent(this);
    series->setChart(this);
    m_series.push_back(series);
    chart()->addSeries(series->qseries());
    series->qseries()->attachAxis(m_bottomAxis);
    series->qseries()->attachAxis(m_leftAxis);
    updateAutomaticAxes();
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
    FlagGuard guard;
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
    auto setRange = [](QValueAxis* axis, double lo, double hi) {
        if (lo == hi) {
            lo -= 1;
            hi += 1;
        }
        axis->setRange(lo, hi);
    };
    if (m_bottomAutomatic)
        setRange(m_bottomAxis, minX, maxX);
    if (m_leftAutomatic)
        setRange(m_leftAxis, minY, maxY);
}
