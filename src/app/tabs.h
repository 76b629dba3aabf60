#pragma once

// Every tab of the main window in one place: its caption, its page (made from its form resource in
// pages/, with what a resource cannot say), the events it answers and the handlers they run, the
// order Tab visits its controls, the names a screen reader needs beyond the controls' own captions,
// and the main action that fills it. The form builds, wires, orders and names its pages from these,
// the snapshot tool runs the main actions, and the tests read the same lists; nothing else counts
// the tabs or lists their controls. A new tab is its experiment, its page's form resource and its
// entry in tabs.cpp.

#include <QObject>
#include <QWidget>

#include <concepts>
#include <functional>
#include <vector>

#include "experiments/controls.h"
#include "numtext/format_settings.h"
#include "ui/TApplication.h"
#include "ui/plain_controls.h"

class TForm1;

namespace tabs {

// What a handler runs: an experiment, against the window's controls and the user's number format.
using Experiment = std::function<void(experiments::Controls&, const numtext::FormatSettings&)>;

// One event the form answers: a control's signal, the handler's name and the experiment it runs.
struct HandlerRow {
    QObject* sender = nullptr;
    const char* handler = "";
    Experiment experiment;
    // Connects the signal to `run` through the event guard.
    std::function<void(QObject* context, std::function<void()> run)> connect;
    // Sends the event as the control itself does: a button is clicked, other controls emit their
    // signal.
    std::function<void()> send;
    // The snapshot tool sends it, with the form's own texts, to fill the tab's picture.
    bool mainAction = false;
};

template <class Sender, class Signal>
HandlerRow row(Sender* sender, Signal signal, const char* handler, Experiment experiment,
               bool mainAction = false) {
    HandlerRow r;
    r.sender = sender;
    r.handler = handler;
    r.experiment = std::move(experiment);
    r.connect = [sender, signal](QObject* context, std::function<void()> run) {
        ui::connectGuarded(sender, signal, context, std::move(run));
    };
    r.send = [sender, signal] {
        if constexpr (std::invocable<Signal, Sender*>)
            std::invoke(signal, sender);
        else
            sender->click();
    };
    r.mainAction = mainAction;
    return r;
}

// A name for a control that has no caption of its own, or whose caption does not say what it is.
struct AccessibleName {
    QWidget* control;
    const char* name;
};

// What a tab's page holds once it is built.
struct Tab {
    QWidget* page = nullptr;
    std::vector<HandlerRow> handlers;
    // The controls in the order Tab visits them, from the tab strip on.
    std::vector<QWidget*> tabOrder;
    std::vector<AccessibleName> names;
};

// A tab's home: its sheet's name and caption, whether it is in front at start, and how its page is
// built. `build` makes the page's controls on `page` (an empty sheet of that name in the page
// control) and returns its lists; an experiment that remembers something between events keeps it
// in what `build` returns, so the form keeps the lists for as long as it lives.
struct Home {
    const char* sheet;
    const char* caption;
    bool inFrontAtStart = false;
    std::function<Tab(TTabSheet* page)> build;
};

// Every tab of `form`, in its order on screen.
std::vector<Home> homes(TForm1& form);

// Sends the tab's main actions, in order.
void runMainActions(const Tab& tab);

} // namespace tabs
