#pragma once

#include <QColor>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>
#include <vector>

class QScatterSeries;

// A series of points drawn as markers, over a QScatterSeries.
//
// The points live in a vector; the scatter series receives them all at once with replace() when the
// batch ends: at flush(), which the window calls when a handler returns, or at the latest when the
// event loop next runs. Appending to a series on screen point by point costs time
// quadratic in the count (20,000 points: over a minute); one replace() of the whole list costs about
// a second.
//
// A scatter series paints each point as a graphics item of its own: for the 11,000 points of a long
// range of years, about 9 ms a paint, too slow to follow a spin edit's steps. Square pointers are
// therefore drawn as copies of one small picture of the pointer (a light marker), made from its size,
// outline and fill so that it covers exactly the pixels the item would, and the items stay hidden.
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

    QScatterSeries* qseries() const;

    void clear();
    void addXY(double x, double y);
    int count() const;
    // Point i from 0, as the series holds it (not necessarily handed over yet).
    QPointF point(int i) const;
    const std::vector<QPointF>& points() const;

    // Hands the points to the scatter series if they changed since the last hand-over.
    void flush();

    bool xValuesAscending() const;
    void setXValuesAscending(bool ascending);

    QString title() const;
    void setTitle(const QString& title);

    // The series' own colour: the outline of its pointers.
    QColor color() const;
    void setColor(const QColor& color);

    PointerStyle pointerStyle() const;
    void setPointerStyle(PointerStyle style);
    // Width and height of a pointer in pixels.
    int pointerSize() const;
    void setPointerSize(int size);
    QColor pointerFill() const;
    void setPointerFill(const QColor& fill);
    // Without an outline a pointer is its fill only; markers of 1 or 2 pixels need that to show.
    bool pointerOutline() const;
    void setPointerOutline(bool outline);

private:
    void markPending();
    void applyMarker();

    QPointer<QScatterSeries> m_series;
    std::vector<QPointF> m_points;
    bool m_pending = false;
    bool m_flushQueued = false;
    bool m_ascending = false;
    QColor m_color = Qt::red;
    PointerStyle m_style = PointerStyle::Square;
    int m_size = 15;
    QColor m_fill = Qt::white;
    bool m_outline = true;
};
