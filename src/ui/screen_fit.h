#pragma once

#include <QObject>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <cstddef>
#include <vector>

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

// A top-level `window` with the frame the window manager draws around it, as far as the platform knows
// that frame: none before the window is on screen, and none while the platform reports a frame that
// does not hold the window. Qt on X11 can report one for a long while: it reads the frame off the
// manager's frame window, which for a moment after the window is mapped is 1 x 1 pixels.
QRect outerGeometry(const QWidget* window);

// Where a window goes within `area`, and at which of `sizes` (outer sizes, the one it would rather
// have first), so as to leave in sight as much as it can of the regions `keep` lists, the most
// important first: it covers as little as it can of keep[0]; of the places that cover equally little
// of that, as little of keep[1]; and so on, a covered part counting by its area. It takes a later
// size only to cover less of the first `shrinkFor` regions. Of places equally good, the one nearest
// `preferred`. A window larger than the area goes to the area's top left corner.
// Example: a 300 x 200 window preferred at (0, 0) on a 1000 x 600 area, keeping (0, 0, 500, 300),
// goes to (500, 0).
QRect placeAside(const std::vector<QSize>& sizes, const std::vector<QRegion>& keep, std::size_t shrinkFor,
                 QRect area, QPoint preferred);

// `from`, then `steps` sizes from it to `to` in even steps, `to` last: sizes for placeAside.
std::vector<QSize> sizesDownTo(QSize from, QSize to, int steps);

} // namespace ui
