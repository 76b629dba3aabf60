#pragma once

#include <QLocale>
#include <QSharedPointer>
#include <QString>
#include <qcustomplot.h>
#include <vector>

class TPointSeries;
class ChartTicker;

// A chart over QCustomPlot: the title on top, the legend below it, and a plot area with a left and
// a bottom value axis that every series is drawn against (QCustomPlot's own axes, so the program
// sets their range, title, fonts and colours directly). An automatic axis takes the range of the
// points of all series each time a series hands its points over; a non-automatic one keeps the range
// the program gives it.
//
// Numbers on the axes are written in numberLocale(), the user's locale (QLocale::system(), read
// again when the system announces a change), without group separators: "0,50" and "2012" under a
// Polish locale. Unless whole-number ticks are asked for, an axis has about five ticks at readable
// steps (1, 2, 2.5 or 5 times a power of ten), labelled with one decimal more than the step's first
// digit needs: -1,00, -0,50, ..., 1,00; numbers from 1e15 up, or steps finer than a millionth, with
// six digits and an exponent.
//
// The chart is laid out and drawn when it is painted, and only after a change: all the changes made
// before a paint are drawn once, and nothing at all while the chart is hidden.
//
// For a reader who cannot see it, the chart describes what it shows (its accessible description,
// kept current as points and ranges change): the title, each series' title with the count of its
// points inside the axes' ranges, and the ranges those points span, for example
// "data Niedzieli Wielkanocnej: marzec 5 punktów, kwiecień 16 punktów; X od 2000 do 2020;
// dzień miesiąca od 1 do 31". "Kopiuj dane" in its context menu (Ctrl+C while it has the keyboard)
// puts the same points on the clipboard as text, one line a point: x, a tab, y, and a tab and the
// series' title when the chart has more than one series, numbers in the user's locale in the fewest
// digits that read back as the same double. With the keyboard it draws a frame inside its edge.
class TChart : public QCustomPlot {
    Q_OBJECT
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(bool legendVisible READ legendVisible WRITE setLegendVisible)
    Q_PROPERTY(bool leftAxisAutomatic READ leftAxisAutomatic WRITE setLeftAxisAutomatic)
    Q_PROPERTY(bool bottomAxisAutomatic READ bottomAxisAutomatic WRITE setBottomAxisAutomatic)

public:
    explicit TChart(QWidget* parent = nullptr);
    ~TChart() override;

    QString title() const;
    void setTitle(const QString& title);
    bool legendVisible() const;
    void setLegendVisible(bool visible);

    QCPAxis* leftAxis() const;
    QCPAxis* bottomAxis() const;
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
    // smallest of 1, 2, 5, 10, 20, 50, ... whose labels do not overlap, with a minor tick and grid
    // line on every whole number where those lie at least 4 pixels apart. With Multiples the ticks
    // fall on the interval's multiples (2000, 2005, ...); with DownFromMaximum on the axis's maximum
    // and every interval below it, so that the top of a fixed scale is labelled (31, 26, ..., 1). The
    // interval follows the range, the plot area's size and the labels' font and locale.
    enum class WholeTicks { Off, Multiples, DownFromMaximum };
    void setWholeTicks(QCPAxis* axis, WholeTicks ticks);
    WholeTicks wholeTicks(const QCPAxis* axis) const;

    // The locale of every number the chart writes; set again to the system's on a change of locale.
    QLocale numberLocale() const;
    void setNumberLocale(const QLocale& locale);

    // The description and the copied text, as above.
    QString summary() const;
    QString shownPoints() const;

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void updateLayout() override;

private:
    // Sets the range of the automatic axes from the points of all series.
    void updateAutomaticAxes();
    void applyLocale();
    void applyFont();
    // Puts the title and the legend into the layout above the plot area, or takes them out.
    void arrangeRows();
    // Lays out and draws again at the next paint, which a hidden chart does not get until shown.
    void requestReplot();
    ChartTicker* ticker(const QCPAxis* axis) const;
    // The least margins around the plot area that keep every axis label inside the chart: QCustomPlot
    // leaves out a label that the chart's edge would cut.
    QMargins labelMargins() const;
    // Whether a point lies inside both axes' ranges, where the chart draws it.
    bool shown(const QPointF& p) const;
    QString number(double value) const;
    void updateDescription();

    QCPTextElement* m_title = nullptr;
    // The legend between two empty cells that keep it in the middle.
    QCPLayoutGrid* m_legendRow = nullptr;
    bool m_legendVisible = true;
    QSharedPointer<ChartTicker> m_leftTicker;
    QSharedPointer<ChartTicker> m_bottomTicker;
    bool m_leftAutomatic = true;
    bool m_bottomAutomatic = true;
    bool m_replotDue = true;
    QLocale m_locale;
    std::vector<TPointSeries*> m_series;
};
