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
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "experiments/controls.h"
#include "numtext/format_settings.h"

class QWidget;

// How long the rest of a run will take: the pace of its current step so far, held for the rest of
// the step and for the steps after it, which on a steady machine is right from the first tenth of a
// run on. No estimate in the step's first half second, nor before any work is done: a pace measured
// over less says little.
class TimeLeft {
public:
    // Seconds from any fixed instant, never going back.
    using Clock = std::function<double()>;
    static constexpr double kFirstEstimateAfterSeconds = 0.5;

    explicit TimeLeft(Clock clock = steadySeconds);

    // A step of `total` passes starts now, with `later` passes in the steps after it.
    void start(double total, double later = 0.0);
    // Seconds left once `done` passes of the step are done.
    std::optional<double> seconds(double done) const;

    // The machine's steady clock.
    static double steadySeconds();

private:
    Clock m_clock;
    double m_started = 0.0;
    double m_total = 0.0;
    double m_later = 0.0;
};

// The box's line for a time left, rounded up to the unit that fits: "pozostało około 42 s",
// "pozostało około 3 min 05 s", "pozostało około 2 h 07 min"; hours grouped as the user's numbers
// are ("pozostało około 7 812 h 00 min" under a Polish locale).
std::string timeLeftText(double seconds, const numtext::FormatSettings& fs);

class LongStepRunner {
public:
    // `window`: the window whose handlers run steps; the box stands over it.
    explicit LongStepRunner(QWidget* window) : m_window(window) {}

    // As experiments::Controls::runLongSteps. Input to anything but the box is dropped meanwhile,
    // so no other handler starts; the box appears once the steps have run for half a second, or at
    // once on a click elsewhere, which also gives it the keyboard. Esc anywhere stops the steps.
    // `fs` writes the numbers of the box.
    std::size_t run(const std::string& title, const std::vector<experiments::LongStep>& steps,
                    const numtext::FormatSettings& fs);

    // Asks the steps under way to stop, as the box's button does; nothing when none runs.
    void stop() noexcept;

private:
    QWidget* m_window;
    std::atomic<bool>* m_stop = nullptr; // of the run under way
};
