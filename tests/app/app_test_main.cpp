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

// The reference thread's sleep, and how late a wake may come and still be the timer's own.
constexpr std::chrono::milliseconds kReferenceSleep{1};
constexpr std::chrono::milliseconds kOnTime{1};

} // namespace

SchedulerLateness::SchedulerLateness() {
    m_due = Clock::now() + kReferenceSleep;
    m_thread = std::jthread([this](const std::stop_token& stop) {
        for (Clock::time_point due = m_due; !stop.stop_requested();) {
            std::this_thread::sleep_until(due);
            const Clock::time_point woke = Clock::now();
            const std::lock_guard lock(m_mutex);
            if (woke - due > kOnTime)
                m_late.emplace_back(due, woke);
            due = m_due = woke + kReferenceSleep;
        }
    });
}

double SchedulerLateness::msBetween(Clock::time_point from, Clock::time_point to) {
    const std::lock_guard lock(m_mutex);
    std::erase_if(m_late, [from](const auto& late) { return late.second < from; });
    Clock::duration sum{};
    const auto add = [&](Clock::time_point start, Clock::time_point end) {
        sum += std::max(Clock::duration{}, std::min(end, to) - std::max(start, from));
    };
    for (const auto& [due, woke] : m_late)
        add(due, woke);
    if (to - m_due > kOnTime)
        add(m_due, to);
    return std::chrono::duration<double, std::milli>(sum).count();
}

EventLoopPauses::EventLoopPauses(std::function<void(double pauseMs)> onTick) {
    m_tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&m_tick, &QTimer::timeout, [this, onTick = std::move(onTick)] {
        const SchedulerLateness::Clock::time_point now = SchedulerLateness::Clock::now();
        const double waited = msWaitedForProcessor();
        const double held = std::max(waited - m_waitedAtTick, m_lateness.msBetween(m_tickAt, now));
        const double pause = std::chrono::duration<double, std::milli>(now - m_tickAt).count() - held;
        m_tickAt = now;
        m_waitedAtTick = waited;
        m_longestMs = std::max(m_longestMs, pause);
        if (onTick)
            onTick(pause);
    });
    m_waitedAtTick = msWaitedForProcessor();
    m_tickAt = SchedulerLateness::Clock::now();
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
