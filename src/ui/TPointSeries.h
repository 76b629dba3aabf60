#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <vector>

class QCPAbstractPlottable;
class QCPAxis;
class TChart;

// A series of points drawn as markers on a TChart.
//
// The points live in a vector; the chart receives them all at once when the batch ends: at flush(),
// which the window calls when a handler returns, or at the latest when the event loop next runs.
// The chart takes in every hand-over whole (its automatic axes, its description, a new picture), so
// a handler adding 20,000 points must not hand them over one by one.
//
// A pointer is one small picture, decided pixel by pixel from its style, size, outline and fill, and
// drawn at whole pixels: its square of `extent` pixels (the size, plus one for an outline) starts at
// the pixel in which lies the corner extent / 2 up and left of the point, so that a marker looks the
// same wherever its point falls between two pixels. A circle is the pixels of that square whose
// centres lie inside the circle it bounds. An outline is the pointer's outermost ring of pixels in
// the series' colour: for a square of size 5, 6 x 6 pixels around a 4 x 4 fill.
//
// With xValuesAscending the points stay sorted by x: a point goes in after every point whose x is
// less than or equal to its own, so points of equal x keep the order they were added in.
class TPointSeries : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool xValuesAscending READ xValuesAscending WRITE setXValuesAscending)
    Q_PROPERTY(QString title READ title WRITE setTitle)
    Q_PROPERTY(QColor color READ color WRITE setColor)
    Q_PROPERTY(int pointerSize READ pointerSize WRITE setPointerSize)
    Q_PROPERTY(QColor pointerFill READ pointerFill WRITE setPointerFill)
    Q_PROPERTY(bool pointerOutline READ pointerOutline WRITE setPointerOutline)

public:
    enum class PointerStyle { Square, Circle };

    explicit TPointSeries(QObject* parent = nullptr);
    ~TPointSeries() override;

    void clear();
    void addXY(double x, double y);
    int count() const;
    // Point i from 0, as the series holds it (not necessarily handed over yet).
    QPointF point(int i) const;
    const std::vector<QPointF>& points() const;

    // Hands the points to the chart if they changed since the last hand-over.
    void flush();
    // The points of the last hand-over: those the chart draws.
    const std::vector<QPointF>& handedPoints() const;
    // What draws the series on its chart, nullptr before the series is added to one.
    QCPAbstractPlottable* plottable() const;

    bool xValuesAscending() const;
    void setXValuesAscending(bool ascending);

    QString title() const;
    void setTitle(const QString& title);

    // The series' own colour: the outline of its pointers.
    QColor color() const;
    void setColor(const QColor& color);

    PointerStyle pointerStyle() const;
    void setPointerStyle(PointerStyle style);
    // Width and height of a pointer in pixels, without the outline.
    int pointerSize() const;
    void setPointerSize(int size);
    QColor pointerFill() const;
    void setPointerFill(const QColor& fill);
    // Without an outline a pointer is its fill only.
    bool pointerOutline() const;
    void setPointerOutline(bool outline);

    // The picture of one pointer; null when a pointer has no pixels (size 0 without an outline).
    const QImage& marker() const;

signals:
    // The chart's points changed (a hand-over).
    void handedOver();
    // The title or the look of the pointers changed.
    void lookChanged();

private:
    friend class TChart;
    // Makes the plottable that draws the series over the chart's two axes.
    void attach(QCPAxis* xAxis, QCPAxis* yAxis);
    void markPending();
    void applyMarker();

    QPointer<QCPAbstractPlottable> m_plottable;
    std::vector<QPointF> m_points;
    std::vector<QPointF> m_handed;
    QImage m_marker;
    bool m_pending = false;
    bool m_flushQueued = false;
    bool m_ascending = false;
    QString m_title;
    QColor m_color = Qt::red;
    PointerStyle m_style = PointerStyle::Square;
    int m_size = 15;
    QColor m_fill = Qt::white;
    bool m_outline = true;
};
