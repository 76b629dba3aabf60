#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>

class QScrollArea;
class QWidget;

namespace ui {

// Keeps a top-level window within the available area of its screen (the screen less its panels and
// docks): a window larger than that area is made smaller, and then moved by as little as it takes
// to lie within it, or, the first time, centred in it if asked. The frame the window manager draws
// around the window counts as soon as the platform knows it: on X11 only once the window is on
// screen, so the window is fitted when it is shown and once more when its frame first shows up.
// A window whose content is a scroll area filling it, and which is made shorter than that area's
// widget at its least, is made wider by the vertical scroll bar's width, where there is room, so
// that it need not scroll sideways too. The object is the window's child.
class ScreenFit : public QObject {
public:
    enum class Placement { CentredOnFirstShow, WhereItIs };
    ScreenFit(QWidget* window, Placement placement, const QScrollArea* content = nullptr);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void fit(bool centre);

    QWidget* m_window;
    Placement m_placement;
    const QScrollArea* m_content;
    bool m_shownBefore = false;
    bool m_frameUnknown = false;
};

// Where a window of the given outer size goes within `area` so as to cover as little of `keep` as it
// can: beside it where there is room, else where the part it covers is smallest. Of the places that
// cover equally little, the one nearest `preferred`.
QPoint placeAside(QSize outer, QRect keep, QRect area, QPoint preferred);

} // namespace ui
