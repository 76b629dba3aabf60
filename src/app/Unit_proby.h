#pragma once

// The main window: every experiment of the program is a handler of this form.

#include <QWidget>

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "tabs.h"
#include "ui_Unit_proby.h"
#include "window_controls.h"

class QCloseEvent;
class QMouseEvent;
class QResizeEvent;
class TForm2;

// The window's frame (the page control and the status bar) is the generated form class; each tab's
// page is built by its home (tabs.h) from a form resource of its own, and its controls are found by
// their names (Edit6, Dane, Chart2, ...). The chart series and the save dialog are not widgets, so
// the form creates them itself, under their names too. Its look is set up in form_look.cpp.
class TForm1 : public QWidget, public Ui::TForm1 {
    Q_OBJECT

public:
    enum class Pages {
        AllAtOnce,
        // Only the page in front is built before the window is first shown; the others right after
        // its first paint, or before the first input reaches the program if that comes sooner.
        FrontFirst,
    };

    // `viewer`: the window the bitmap experiment shows its pictures on.
    explicit TForm1(TForm2& viewer, QWidget* parent = nullptr, Pages pages = Pages::AllAtOnce);
    ~TForm1() override;

    // The client size the form was drawn for, 1110 x 746: the window's size wherever the screen has
    // room for it.
    QSize sizeHint() const override;

    // Called with the handler's name each time an event reaches a handler, before the handler
    // runs. The program installs nothing; tests use it to see that every event is wired.
    using HandlerObserver = std::function<void(std::string_view handler)>;
    static HandlerObserver setHandlerObserver(HandlerObserver observer);

    // Every tab with its page, events, Tab order and names, in its order on screen. A page not
    // built yet has its sheet and nothing else.
    const std::vector<tabs::Tab>& tabHomes() const;
    // Builds the pages not built yet, then sets up the keyboard and the names of the whole window.
    // Does nothing once every page is built.
    void buildRemainingPages();
    bool allPagesBuilt() const { return m_allPagesBuilt; }

signals:
    // A click on the form's own surface, off every control.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Sets the application's font and colours once, before the first form's widget is made, and
    // returns `parent`.
    static QWidget* withFormLook(QWidget* parent);
    void setUpLook();
    void addPages();
    void buildPage(std::size_t index);
    void wireEvents(const tabs::Tab& tab);
    void placeInScrollArea();
    bool onFreeSurface(const QPoint& pos) const;

    // The form's own surface, of the size the form was drawn for, holding its controls; it scrolls
    // when the window is smaller than that.
    QWidget* m_surface = nullptr;
    // The client size the form was drawn for, and the part of it its controls need.
    QSize m_formSize;
    QSize m_controlsSize;
    std::unique_ptr<WindowControls> m_controls;
    std::vector<tabs::Home> m_homes;
    std::vector<tabs::Tab> m_tabs;
    std::vector<bool> m_built;
    bool m_allPagesBuilt = false;
    bool m_pressedOnSurface = false;
};

// The one main window, from its creation at start-up to the end of the run.
extern TForm1* Form1;
