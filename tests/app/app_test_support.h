#pragma once

// Shared by the tests of the program: one application object for the whole test run, the
// exception display replaced by a recorder, and a fixture that builds the two windows afresh.

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

#include <chrono>
#include <functional>
#include <mutex>
#include <ostream>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "Unit_dib.h"
#include "Unit_proby.h"
#include "ui/TCSpinEdit.h"
#include "ui/TChart.h"
#include "ui/TComboBox.h"
#include "ui/TEdit.h"
#include "ui/TLabeledEdit.h"
#include "ui/TMemo.h"
#include "ui/TPointSeries.h"
#include "ui/TRadioGroup.h"
#include "ui/TStatusBar.h"
#include "ui/TStringGrid.h"
#include "ui/TTrackBar.h"
#include "ui/plain_controls.h"

// Readable failure messages for the Qt values the tests compare.
inline void PrintTo(const QRect& r, std::ostream* os) {
    *os << "QRect(" << r.x() << ", " << r.y() << ", " << r.width() << ", " << r.height() << ")";
}
inline void PrintTo(const QSize& s, std::ostream* os) {
    *os << "QSize(" << s.width() << ", " << s.height() << ")";
}
inline void PrintTo(const QPoint& p, std::ostream* os) { *os << "QPoint(" << p.x() << ", " << p.y() << ")"; }
inline void PrintTo(const QColor& c, std::ostream* os) { *os << c.name().toStdString(); }
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

struct ShownError {
    std::string message;
    std::string title;
};

// Everything the exception display has shown since the last clear.
std::vector<ShownError>& shownErrors();
// Every text the math-error display has shown since the last clear.
std::vector<std::string>& shownMathErrors();

// Finds a control of the main window (or of any root) by its name. A missing control, or one of
// another class, fails the test at once.
template <class T>
T* control(const QObject* root, const char* name) {
    T* found = root->findChild<T*>(QString::fromLatin1(name));
    if (found == nullptr) {
        ADD_FAILURE() << "no control " << name << " of the expected class";
        throw std::runtime_error(std::string("missing control ") + name);
    }
    return found;
}

// A series of the main window's charts by its name: series belong to their charts, not to the
// widget tree.
inline TPointSeries* series(const char* name) {
    for (TChart* chart : Form1->findChildren<TChart*>())
        for (int i = 0; i < chart->seriesCount(); ++i)
            if (chart->series(i)->objectName() == QLatin1String(name))
                return chart->series(i);
    ADD_FAILURE() << "no series " << name;
    throw std::runtime_error(std::string("missing series ") + name);
}

// The box of a running long timing, while it is on screen; null otherwise.
inline QWidget* visibleStepBox() {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("LongStepBox") && w->isVisible())
            return w;
    return nullptr;
}

// How late a reference thread of this process wakes from sleeps of 1 ms: time the machine kept a
// thread of the process from running, whoever was busy. A wake up to a millisecond late is the
// timer's own and not counted.
class SchedulerLateness {
public:
    using Clock = std::chrono::steady_clock;
    SchedulerLateness();
    // The milliseconds within [from, to] that the reference thread spent late, a lateness still
    // going on included. Calls come in the order of `from`: lateness that ended before it is
    // forgotten.
    double msBetween(Clock::time_point from, Clock::time_point to);

private:
    std::mutex m_mutex;
    std::vector<std::pair<Clock::time_point, Clock::time_point>> m_late; // (due, woke)
    Clock::time_point m_due;
    std::jthread m_thread; // last: started once the rest is built, stopped first
};

// The pauses of this thread's event loop while the object lives, net of the machine's delays. A
// precise timer ticks each time the loop turns, nested loops included; the time between two ticks,
// less the time the machine kept the process from running meanwhile, is a pause the program made.
// That time is the larger of two measures of it: how long this thread waited for a processor
// (Linux's scheduler statistics for the thread; nothing where the kernel keeps none), and how late
// the reference thread above woke within the pause, which also sees a stalled virtual machine or a
// throttled process. The larger, not the sum, since both see the same stall. A handler that sleeps
// or computes on this thread waits for no processor: its pause counts, less only the stalls the
// reference thread met meanwhile.
class EventLoopPauses {
public:
    // `onTick` is called at every tick with the pause that ended there, in milliseconds.
    explicit EventLoopPauses(std::function<void(double pauseMs)> onTick = {});
    double longestMs() const { return m_longestMs; }

private:
    SchedulerLateness m_lateness;
    QTimer m_tick;
    SchedulerLateness::Clock::time_point m_tickAt;
    double m_waitedAtTick = 0.0;
    double m_longestMs = 0.0;
};

class FormTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    template <class T>
    T* find(const char* name) const {
        return control<T>(Form1, name);
    }
};
