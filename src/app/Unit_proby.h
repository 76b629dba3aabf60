#pragma once

// The main window: every experiment of the program is a handler of this form.

#include <QWidget>

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "tabs.h"
#include "ui_Unit_proby.h"
#include "window_controls.h"

class QCloseEvent;
class QMouseEvent;
class TForm2;

// The controls are the members of the generated form class, under their names in the form
// (Edit6, Dane, Chart2, ...). The chart series and the save dialog are not widgets, so the form
// creates them itself, under their names too. Its look is set up in form_look.cpp.
class TForm1 : public QWidget, public Ui::TForm1 {
    Q_OBJECT

public:
    // `viewer`: the window the bitmap experiment shows its pictures on.
    explicit TForm1(TForm2& viewer, QWidget* parent = nullptr);
    ~TForm1() override;

    // The client size the form was drawn for, 1110 x 746: the window's size wherever the screen has
    // room for it.
    QSize sizeHint() const override;

    // Called with the handler's name each time an event reaches a handler, before the handler
    // runs. The program installs nothing; tests use it to see that every event is wired.
    using HandlerObserver = std::function<void(std::string_view handler)>;
    static HandlerObserver setHandlerObserver(HandlerObserver observer);

    // Every tab with its page, events, Tab order and names, in its order on screen.
    const std::vector<tabs::Tab>& tabHomes() const;

signals:
    // A click on the form's own surface, off every control.
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Sets the application's font and colours once, before the first form's widget is made, and
    // returns `parent`.
    static QWidget* withFormLook(QWidget* parent);
    void setUpLook();
    void wireEvents();
    void placeInScrollArea();
    void writeGridHeadings();
    void setUpCharts();
    bool onFreeSurface(const QPoint& pos) const;

    // The form's own surface, of the size the form was drawn for, holding its controls; it scrolls
    // when the window is smaller than that.
    QWidget* m_surface = nullptr;
    std::unique_ptr<WindowControls> m_controls;
    std::vector<tabs::Tab> m_tabs;
    bool m_pressedOnSurface = false;
    bool m_chart2Seen = false;
};

// The one main window, from its creation at start-up to the end of the run.
extern TForm1* Form1;
