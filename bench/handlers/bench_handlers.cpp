// Two handlers end to end, through the event guard and as far as the pixels, each against the bare
// computation it wraps, measured in the same run:
//
// - the Easter tab: one change of the year field with the chart's range 0..5555 (11,112 points)
//   and 2000..2020 (42 points), then the chart painted at once, against the bare loop of the
//   computus over the same years. Targets: under 16 ms (one frame at 60 Hz) and under 3 ms.
// - the bitmap tab: one run of its button (bitmap built, drawn on the viewer, painted) against the
//   plain per-pixel kernel (bench/dib_plain_kernel.cpp). Target: ratio <= 1.0.
//
// The windows live on Qt's offscreen platform. Each case is repeated and its median reported, in
// wall-clock and in CPU time, since the machine may be shared; the ratios are printed at the end.
// The CPU time is the main thread's: whatever Qt hands to its thread pool shows only in the
// wall-clock time, which is the one that counts when the machine is otherwise idle.
//
// Run: build/release/bench/handlers/bench_handlers [--benchmark_repetitions=N]

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QEvent>
#include <QImage>
#include <QObject>
#include <QString>
#include <QtGlobal>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "Unit_dib.h"
#include "Unit_proby.h"
#include "dib_plain_kernel.h"
#include "experiments/easter.h"
#include "numtext/rtl_math.h"
#include "program.h"
#include "ui/TApplication.h"
#include "ui/TCSpinEdit.h"
#include "ui/TChart.h"
#include "ui/TMemo.h"
#include "ui/TPointSeries.h"
#include "ui/TTrackBar.h"
#include "ui/plain_controls.h"

namespace {

// A control of the main window by its name.
template <class T>
T* control(const char* name) {
    return Form1->findChild<T*>(QString::fromLatin1(name));
}

// Whatever the exception or math-error display would have shown; a measured run must show nothing.
std::vector<std::string>& shown() {
    static std::vector<std::string> messages;
    return messages;
}

// Counts the paint events a widget receives, so that a case can prove it painted what it measured.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QObject* watched) : QObject(watched) { watched->installEventFilter(this); }
    long long count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// Everything the program has queued (layout requests, scene updates, deferred deletions) runs now.
void settle() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

void checkNothingShown(benchmark::State& state) {
    if (!shown().empty())
        state.SkipWithError(("the program showed: " + shown().front()).c_str());
}

// ---- Easter ----

void setYearRange(int first, int last) {
    control<TCSpinEdit>("rok1")->setValue(first);
    control<TCSpinEdit>("rok2")->setValue(last);
    settle();
}

void BM_EasterChange(benchmark::State& state) {
    const auto first = static_cast<int>(state.range(0));
    const auto last = static_cast<int>(state.range(1));
    setYearRange(first, last);
    shown().clear();

    PaintCounter* paints = new PaintCounter(control<TChart>("Chart2"));
    int year = control<TCSpinEdit>("CSpinEdit1")->value();
    for (auto _ : state) {
        // A different year each time, so that the field's text really changes.
        year = year == 2011 ? 2012 : 2011;
        const long long paintsBefore = paints->count;
        control<TCSpinEdit>("CSpinEdit1")->setValue(year);
        // What the event loop does next: the chart's queued layout and drawing, then the
        // window's update request, which paints the chart. Should the platform not have painted
        // by then, the chart is painted here, so that every change ends with the chart on screen.
        QCoreApplication::sendPostedEvents();
        if (paints->count == paintsBefore)
            control<TChart>("Chart2")->repaint();
    }
    const auto iterations = static_cast<long long>(state.iterations());
    state.counters["paints"] =
        benchmark::Counter(static_cast<double>(paints->count), benchmark::Counter::kAvgIterations);
    const bool painted = paints->count >= iterations;
    delete paints;

    if (!painted)
        state.SkipWithError("a change did not end with the chart painted");
    const int expected = last - first + 1;
    const auto count = [](int seriesIndex) {
        return static_cast<int>(control<TChart>("Chart2")->series(seriesIndex)->handedPoints().size());
    };
    if (count(0) != expected || count(1) != expected)
        state.SkipWithError("the chart did not receive one point per year in each series");
    checkNothingShown(state);
}

void BM_EasterLoop(benchmark::State& state) {
    const auto first = static_cast<std::int32_t>(state.range(0));
    const auto last = static_cast<std::int32_t>(state.range(1));
    for (auto _ : state) {
        for (std::int32_t y = first; y <= last; ++y)
            benchmark::DoNotOptimize(dataWielkanocy(y));
    }
}

// ---- Bitmap ----

constexpr int kRed = 128;
constexpr int kGreen = 200;
constexpr int kBlue = 255;

void BM_Button7Click(benchmark::State& state) {
    control<TTrackBar>("RedMax")->setPosition(kRed);
    control<TTrackBar>("GreenMax")->setPosition(kGreen);
    control<TTrackBar>("BlueMax")->setPosition(kBlue);
    control<TCheckBox>("CheckBox1")->setChecked(false);
    control<TButton>("Button7")
        ->click(); // the viewer's first showing is not what a drag of a track bar costs
    settle();
    shown().clear();

    PaintCounter* paints = new PaintCounter(Form2);
    for (auto _ : state) {
        control<TButton>("Button7")->click(); // paints the viewer before it returns
        QCoreApplication::sendPostedEvents();
    }
    const auto iterations = static_cast<long long>(state.iterations());
    state.counters["paints"] =
        benchmark::Counter(static_cast<double>(paints->count), benchmark::Counter::kAvgIterations);
    const bool painted = paints->count >= iterations;
    delete paints;
    if (!painted)
        state.SkipWithError("a run did not end with the viewer painted");

    // The picture on the viewer must be the plain kernel's, pixel for pixel.
    const QImage picture = Form2->picture().convertToFormat(QImage::Format_BGR888);
    std::vector<std::uint8_t> row(3 * 700);
    bool same = picture.size() == QSize(700, 500);
    for (int i = 0; same && i < 500; ++i) {
        plainKernelRow(row.data(), 700, kRed, kGreen, kBlue);
        same = std::memcmp(picture.constScanLine(i), row.data(), row.size()) == 0;
    }
    if (!same)
        state.SkipWithError("the viewer's picture differs from the plain kernel's");
    checkNothingShown(state);
}

// A press of the curve button: 1001 points, each a correctly rounded sine and cosine, handed to the
// chart, and 42 lines added to the memo (emptied between presses, off the clock, so that it does not
// grow from one press to the next).
void BM_Button5Click(benchmark::State& state) {
    Form1->PageControl1->setCurrentWidget(control<TTabSheet>("TabSheet6"));
    settle();
    for (auto _ : state) {
        control<TButton>("Button5")->click();
        QCoreApplication::sendPostedEvents();
        state.PauseTiming();
        control<TMemo>("Memo2")->clear();
        state.ResumeTiming();
    }
    Form1->PageControl1->setCurrentWidget(control<TTabSheet>("TabSheet4"));
    settle();
    checkNothingShown(state);
}

void BM_PlainKernel(benchmark::State& state) {
    constexpr int kStride = 3 * 700;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(kStride) * 500);
    for (auto _ : state) {
        for (int i = 0; i < 500; ++i)
            plainKernelRow(bytes.data() + static_cast<std::ptrdiff_t>(i) * kStride, 700, kRed, kGreen, kBlue);
        benchmark::ClobberMemory();
    }
}

void registerAll() {
    for (const auto& range : {std::vector<std::int64_t>{0, 5555}, std::vector<std::int64_t>{2000, 2020}}) {
        benchmark::RegisterBenchmark("BM_EasterChange", BM_EasterChange)
            ->Args(range)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("BM_EasterLoop", BM_EasterLoop)
            ->Args(range)
            ->Unit(benchmark::kMicrosecond);
    }
    benchmark::RegisterBenchmark("BM_Button7Click", BM_Button7Click)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_Button5Click", BM_Button5Click)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_PlainKernel", BM_PlainKernel)->Unit(benchmark::kMillisecond);
}

// Keeps the medians, then prints the absolute times against their targets and the ratios.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs) {
            // The median when the case was repeated, else its one run.
            const bool median = r.run_type == Run::RT_Aggregate && r.aggregate_name == "median";
            if (!median && r.run_type != Run::RT_Iteration)
                continue;
            std::string name = r.run_name.function_name;
            if (!r.run_name.args.empty())
                name += "/" + r.run_name.args;
            const double toNs = 1e9 / benchmark::GetTimeUnitMultiplier(r.time_unit);
            m_median[name] = {r.GetAdjustedRealTime() * toNs, r.GetAdjustedCPUTime() * toNs};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printSummary() {
        std::printf("\nMedians (wall / CPU):\n");
        below("BM_EasterChange/0/5555", 16.0);
        below("BM_EasterChange/2000/2020", 3.0);
        ratio("BM_EasterChange/0/5555", "BM_EasterLoop/0/5555", nullptr);
        ratio("BM_EasterChange/2000/2020", "BM_EasterLoop/2000/2020", nullptr);
        ratio("BM_Button7Click", "BM_PlainKernel", "<= 1.00");
        below("BM_Button5Click", 10.0);
    }

private:
    struct Median {
        double wallNs = 0;
        double cpuNs = 0;
    };

    void below(const std::string& name, double targetMs) {
        if (!m_median.count(name))
            return;
        const Median& m = m_median[name];
        std::printf("%-28s %8.3f ms / %8.3f ms  (target < %.0f ms: %s)\n", name.c_str(), m.wallNs / 1e6,
                    m.cpuNs / 1e6, targetMs, m.wallNs / 1e6 < targetMs ? "met" : "MISSED");
    }

    void ratio(const std::string& ours, const std::string& reference, const char* target) {
        if (!m_median.count(ours) || !m_median.count(reference))
            return;
        const Median& a = m_median[ours];
        const Median& b = m_median[reference];
        if (b.wallNs <= 0 || b.cpuNs <= 0)
            return;
        std::printf("ratio %-26s / %-24s %8.2f / %8.2f", ours.c_str(), reference.c_str(), a.wallNs / b.wallNs,
                    a.cpuNs / b.cpuNs);
        if (target)
            std::printf("  (target %s)", target);
        std::printf("\n");
    }

    std::map<std::string, Median> m_median;
};

// The offscreen platform cannot raise a window and says so on every run of the bitmap tab.
QtMessageHandler g_qtMessages = nullptr;

void quietAboutRaise(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains(QLatin1String("does not support raise()")))
        return;
    g_qtMessages(type, context, message);
}

} // namespace

int main(int argc, char** argv) {
    // Nine repetitions reported as their median, unless the command line says otherwise.
    std::vector<char*> args(argv, argv + argc);
    bool repetitionsGiven = false;
    for (int i = 1; i < argc; ++i)
        repetitionsGiven = repetitionsGiven || std::strncmp(argv[i], "--benchmark_repetitions", 23) == 0;
    static char repetitions[] = "--benchmark_repetitions=9";
    static char aggregatesOnly[] = "--benchmark_report_aggregates_only=true";
    if (!repetitionsGiven) {
        args.push_back(repetitions);
        args.push_back(aggregatesOnly);
    }
    args.push_back(nullptr);
    argc = static_cast<int>(args.size()) - 1;
    argv = args.data();

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    // The windows are real but need no screen.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TApplication application(argc, argv);
    g_qtMessages = qInstallMessageHandler(quietAboutRaise);
    TApplication::setExceptionDisplay(
        [](const std::string& message, const std::string&) { shown().push_back(message); });
    numtext::setMathErrorDisplay([](const std::string& text) { shown().push_back(text); });

    createForms();
    Form1->PageControl1->setCurrentWidget(
        control<TTabSheet>("TabSheet4")); // the Easter tab, fifth from the left
    Form1->show();
    // The offscreen screen is smaller than the form: the whole form is measured, as on a desktop.
    Form1->resize(Form1->sizeHint());
    settle();

    registerAll();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();

    destroyForms();
    return 0;
}
