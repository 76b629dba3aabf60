#pragma once

// Every tab of the main window in one place: its page, the events it answers and the handlers they
// run, the order Tab visits its controls, the names a screen reader needs beyond the controls' own
// captions, and the main action that fills it. The form wires, orders and names its controls from
// these lists, the snapshot tool runs the main actions, and the tests read them; nothing else
// counts the tabs or lists their controls. A new tab is its experiment, its page in the form
// resource and its entry in tabs.cpp.

#include <QObject>
#include <QWidget>

#include <concepts>
#include <functional>
#include <vector>

#include "experiments/controls.h"
#include "numtext/format_settings.h"
#include "ui/TApplication.h"

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

struct Tab {
    QWidget* page = nullptr;
    std::vector<HandlerRow> handlers;
    // The controls in the order Tab visits them, from the tab strip on.
    std::vector<QWidget*> tabOrder;
    std::vector<AccessibleName> names;
};

// Every tab, in its order on screen. The rows' experiments that remember something between events
// keep it in the list returned, so the form keeps its own list for as long as it lives.
std::vector<Tab> homes(TForm1& form);

// Sends the tab's main actions, in order.
void runMainActions(const Tab& tab);

} // namespace tabs
