#pragma once

// The window's way of running an experiment's long steps (experiments::Controls::runLongSteps):
// each step on a thread of its own while the window's thread turns its event loop, so the window
// repaints and answers, and a box shows what runs and lets the user stop it.
//
// A worker thread rather than pieces run on the window's thread between rounds of events: a step
// that measures its own duration (the timing tab reads the clock around its loop) then measures the
// loop and nothing else. Painting, the box and the user's input happen on the other thread.

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

#include "experiments/controls.h"

class QWidget;

class LongStepRunner {
public:
    // `window`: the window whose handlers run steps; the box stands over it.
    explicit LongStepRunner(QWidget* window) : m_window(window) {}

    // As experiments::Controls::runLongSteps. Input to anything but the box is dropped meanwhile,
    // so no other handler starts; the box appears once the steps have run for half a second, or at
    // once on a click elsewhere, which also gives it the keyboard. Esc anywhere stops the steps.
    std::size_t run(const std::string& title, const std::vector<experiments::LongStep>& steps);

    // Asks the steps under way to stop, as the box's button does; nothing when none runs.
    void stop() noexcept;

private:
    QWidget* m_window;
    std::atomic<bool>* m_stop = nullptr; // of the run under way
};
