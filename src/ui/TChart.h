#pragma once

#include <QChartView>
#include <QString>
#include <vector>

class QValueAxis;
class TPointSeries;

// A chart view owning its QChart, with a left and a bottom QValueAxis that every series is attached
// to. An automatic axis takes the range of the points of all series each time a series hands its
// points over; a non-automatic one keeps the range the program gives it.
class TChart : public QChartView {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(bool legendVisible READ legendVisible WRITE setLegendVisible)
    Q_PROPERTY(bool leftAxisAutomatic READ leftAxisAutomatic WRITE setLeftAxisAutomatic)
    Q_PROPERTY(bool bottomAxisAutomatic READ bottomAxisAutomatic WRITE setBottomAxisAutomatic)

public:
    explicit TChart(QWidget* parent = nullptr);

    QString title() const;
    void setTitle(const QString& title);
    bool legendVisible() const;
    void setLegendVisible(bool visible);

    QValueAxis* leftAxis() const;
    QValueAxis* bottomAxis() const;
    bool leftAxisAutomatic() const;
    void setLeftAxisAutomatic(bool automatic);
    bool bottomAxisAutomatic() const;
    void setBottomAxisAutomatic(bool automatic);

    // Adds a series as the next index; the chart becomes its parent.
    void addSeries(TPointSeries* series);
    // Series i in the order added, nullptr outside the range.
    TPointSeries* series(int i) const;
    int seriesCount() const;

    // Sets the range of the automatic axes from the points of all series (called after a hand-over).
    void updateAutomaticAxes();

private:
    QValueAxis* m_leftAxis = nullptr;
    QValueAxis* m_bottomAxis = nullptr;
    bool m_leftAutomatic = true;
    bool m_bottomAutomatic = true;
    std::vector<TPointSeries*> m_series;
};
