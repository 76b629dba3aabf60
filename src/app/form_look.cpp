// How the main window looks: its font and colours, and the scroll area that holds the form on a small
// screen. What it does is in Unit_proby.cpp, its pages in tabs.cpp.

#include <QApplication>
#include <QFontDatabase>
#include <QResizeEvent>
#include <QScrollArea>
#include <QVBoxLayout>

#include "Unit_proby.h"
#include "ui/screen_fit.h"

namespace {

// The desktop's general font is its sans serif; without a desktop, Qt's generic "Sans Serif" asks
// fontconfig for the default one.
QFont formFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

// Every window of the program is drawn in one font at 8 points on the button-face colour, so these
// are the application's font and background: a control then has nothing of its own to resolve when
// the form moves it onto a tab page. The forms were drawn in "MS Sans Serif", which Linux desktops
// do not have; the desktop's own sans serif at the same point size stands in for it, and captions
// it would make too wide are condensed to fit (see ui/caption_fit.h).
// Returns `parent`, so that the look is in place before the form's own widget is constructed.
} // namespace

QWidget* TForm1::withFormLook(QWidget* parent) {
    static const bool done = [] {
        QApplication::setFont(formFont());
        QPalette buttonFace = QApplication::palette();
        buttonFace.setColor(QPalette::Window, buttonFace.color(QPalette::Button));
        QApplication::setPalette(buttonFace);
        return true;
    }();
    (void)done;
    return parent;
}

// The scroll area that holds the form on a small screen; each page's own look is set up by its home
// (tabs.cpp) when the page is built.
void TForm1::setUpLook() { placeInScrollArea(); }

QSize TForm1::sizeHint() const { return m_formSize; }

// The form was drawn for a client area of 1110 x 746 pixels. A screen with less room gets a smaller
// window whose content scrolls: the controls move onto a surface of the form's size inside a scroll
// area, at the same places, and remain the form's children. The window opens no larger than the
// screen's available area, and centred in it. It scrolls only when it cannot show every control
// (see resizeEvent).
void TForm1::placeInScrollArea() {
    m_formSize = size();
    m_surface = new QWidget;
    m_surface->resize(size());
    QRect controls;
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        child->setParent(m_surface);
        if (child != StatusBar1)
            controls |= child->geometry();
    }
    m_controlsSize = QSize(controls.right() + 1, controls.bottom() + 1 + StatusBar1->height());
    // The form's own size holds them.
    m_surface->setMinimumSize(m_controlsSize);
    m_surface->installEventFilter(this);

    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    // At the window's size before the surface goes in: QScrollArea hides scroll bars it no longer
    // needs only when the event loop next runs, and the window would show them for that moment.
    scroll->resize(size());
    // Tab goes from control to control, not to the area; it scrolls to the control that has the focus.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_surface);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    new ui::ScreenFit(this, ui::ScreenFit::Placement::CentredOnFirstShow, scroll);
}

// A window that holds every control loses the form's empty margin below the pages and beside them,
// the status bar keeping to the bottom, so that the few pixels a window manager's frame or a
// fractional scale takes cost no scroll bar. One that must scroll anyway scrolls the whole form.
void TForm1::resizeEvent(QResizeEvent* event) {
    const QSize shown = event->size();
    const bool holdsTheControls =
        shown.width() >= m_controlsSize.width() && shown.height() >= m_controlsSize.height();
    m_surface->setMinimumSize(holdsTheControls ? m_controlsSize : m_formSize);
    QWidget::resizeEvent(event);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // The status bar stays docked to the surface's bottom edge whatever the window's size.
    if (watched == m_surface && event->type() == QEvent::Resize)
        StatusBar1->setGeometry(0, m_surface->height() - StatusBar1->height(), m_surface->width(),
                                StatusBar1->height());
    return QWidget::eventFilter(watched, event);
}
