#pragma once

#include <QChartView>
#include <QString>
#include <vector>

class QValueAxis;
class TPointSeries;
class EdgeMarkers;

// A chart view owning its QChart, with a left and a bottom QValueAxis that every series is attached
// to. An automatic axis takes the range of the points of all series each time a series hands its
// points over; a non-automatic one keeps the range the program gives it.
//
// Numbers on the axes are written in the user's locale (QLocale::system(), read again when the
// system announces a change), without group separators: "0,50" and "2012" under a Polish locale.
// Every marker of a point inside the axes' ranges is drawn whole, also on the plot area's edges,
// where Qt Charts would clip it.
//
// For a reader who cannot see it, the chart describes what it shows (its accessible description,
// kept current as points and ranges change): the title, each series' title with the count of its
// points inside the axes' ranges, and the ranges those points span, for example
// "data Niedzieli Wielkanocnej: marzec 5 punktów, kwiecień 16 punktów; X od 2000 do 2020;
// dzień miesiąca od 1 do 31". "Kopiuj dane" in its context menu (Ctrl+C while it has the keyboard)
// puts the same points on the clipboard as text, one line a point: x, a tab, y, and a tab and the
// series' title when the chart has more than one series, numbers in the user's locale in the fewest
// digits that read back as the same double. With the keyboard it draws a frame inside its edge.
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

    // Ticks of an axis of whole numbers (years, days of the month): written as such, on whole numbers
    // only, each label once, and as many as their labels leave room for: the interval is the
    // smallest of 1, 2, 5, 10, 20, 50, ... whose labels do not overlap, with a minor tick on every
    // whole number where those lie at least 4 pixels apart. With Multiples the ticks fall on the
    // interval's multiples (2000, 2005, ...); with DownFromMaximum on the axis's maximum and every
    // interval below it, so that the top of a fixed scale is labelled (31, 26, ..., 1). The
    // interval follows the range, the plot area's size and the labels' font and locale.
    enum class WholeTicks { Off, Multiples, DownFromMaximum };
    void setWholeTicks(QValueAxis* axis, WholeTicks ticks);

    // The description and the copied text, as above.
    QString summary() const;
    QString shownPoints() const;

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Sets the range of the automatic axes from the points of all series.
    void updateAutomaticAxes();
    void applyLocale();
    void updateWholeTicks();
    void fitWholeTicks(QValueAxis* axis, double min, double max);
    // Whether a point lies inside both axes' ranges, where the chart draws it.
    bool shown(const QPointF& p) const;
    QString number(double value) const;
    void updateDescription();

    QValueAxis* m_leftAxis = nullptr;
    QValueAxis* m_bottomAxis = nullptr;
    bool m_leftAutomatic = true;
    bool m_bottomAutomatic = true;
    WholeTicks m_leftTicks = WholeTicks::Off;
    WholeTicks m_bottomTicks = WholeTicks::Off;
    std::vector<TPointSeries*> m_series;
    EdgeMarkers* m_edgeMarkers = nullptr;
};
