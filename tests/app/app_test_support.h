#pragma once

// Shared by the tests of the program: one application object for the whole test run, the
// exception display replaced by a recorder, and a fixture that builds the two windows afresh.

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QElapsedTimer>
#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>

#include <functional>
#include <ostream>

#include <stdexcept>
#include <string>
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

// The pauses of this thread's event loop while the object lives. A precise timer ticks each time
// the loop turns, nested loops included; the time between two ticks, less the time the thread
// waited for a processor meanwhile, is a pause the program made. The waiting comes from Linux's
// scheduler statistics for the thread (none where the kernel keeps none), so that other processes
// busy on the machine do not count against the program.
class EventLoopPauses {
public:
    // `onTick` is called at every tick with the pause that ended there, in milliseconds.
    explicit EventLoopPauses(std::function<void(double pauseMs)> onTick = {});
    double longestMs() const { return m_longestMs; }

private:
    QTimer m_tick;
    QElapsedTimer m_sinceTick;
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
