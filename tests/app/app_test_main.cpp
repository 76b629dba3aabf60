#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

#include "app_test_support.h"
#include "numtext/rtl_math.h"
#include "program.h"
#include "ui/TApplication.h"

std::vector<ShownError>& shownErrors() {
    static std::vector<ShownError> shown;
    return shown;
}

std::vector<std::string>& shownMathErrors() {
    static std::vector<std::string> shown;
    return shown;
}

namespace {

// Milliseconds this thread has spent ready to run while the processors ran other work: the second
// field of its schedstat, in nanoseconds.
double msWaitedForProcessor() {
    std::ifstream stat("/proc/thread-self/schedstat");
    double onProcessor = 0.0;
    double waited = 0.0;
    return stat >> onProcessor >> waited ? waited / 1e6 : 0.0;
}

} // namespace

EventLoopPauses::EventLoopPauses(std::function<void(double pauseMs)> onTick) {
    m_tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_tick, &QTimer::timeout, [this, onTick = std::move(onTick)] {
        const double waited = msWaitedForProcessor();
        const double pause = static_cast<double>(m_sinceTick.restart()) - (waited - m_waitedAtTick);
        m_waitedAtTick = waited;
        m_longestMs = std::max(m_longestMs, pause);
        if (onTick)
            onTick(pause);
    });
    m_waitedAtTick = msWaitedForProcessor();
    m_sinceTick.start();
    m_tick.start(10);
}

void FormTest::SetUp() {
    shownErrors().clear();
    shownMathErrors().clear();
    createForms();
}

void FormTest::TearDown() { destroyForms(); }

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // The build lists the tests without a display; only running them needs the application.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    TApplication application(argc, argv);
    // No test may wait on a message box: the display records what it would have shown.
    TApplication::setExceptionDisplay([](const std::string& message, const std::string& title) {
        shownErrors().push_back({message, title});
    });
    numtext::setMathErrorDisplay([](const std::string& text) { shownMathErrors().push_back(text); });
    return RUN_ALL_TESTS();
}
