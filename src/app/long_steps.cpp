#include "long_steps.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <memory>
#include <utility>

#include "numtext/fpenv.h"
#include "numtext/number_text.h"

namespace {

// Steps over sooner are over before a box could be read, so none is shown for them.
constexpr int kBoxDelayMs = 500;
constexpr int kProgressEveryMs = 100;
constexpr int kBarSteps = 1000;

QString qtext(const std::string& text) { return QString::fromStdString(text); }

std::string twoDigits(long long value) { return (value < 10 ? "0" : "") + std::to_string(value); }

std::string wholeNumber(double value, const numtext::FormatSettings& fs) {
    return numtext::FloatToStrF(value, numtext::TFloatFormat::ffNumber, 18, 0, fs);
}

// Drops the user's input to everything but `box` while it lives, from before the box is shown (it is
// not shown for the first half second) to its end, so that no other handler runs meanwhile. The box
// itself is not modal: Qt drops the window system's request to close a window that a modal box
// blocks, and closing the main window must still end a timing and the program.
// What is dropped still tells: Esc pressed anywhere in the program stops the run as it does in the
// box, and a press of a mouse button brings the box up, with the keyboard, and beeps, so that a
// click that does nothing shows where the run can be stopped.
class InputOnlyTo : public QObject {
public:
    InputOnlyTo(QDialog* box, const std::atomic<bool>& stop) : m_box(box), m_stop(stop) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~InputOnlyTo() override { QCoreApplication::instance()->removeEventFilter(this); }
    InputOnlyTo(const InputOnlyTo&) = delete;
    InputOnlyTo& operator=(const InputOnlyTo&) = delete;

protected:
    bool eventFilter(QObject* receiver, QEvent* event) override {
        const bool input = event->isInputEvent() || event->type() == QEvent::Shortcut ||
                           event->type() == QEvent::ShortcutOverride;
        if (!input || qobject_cast<QWindow*>(receiver) != nullptr)
            return false; // a window passes its input on to a widget, which is judged then
        const auto* widget = qobject_cast<const QWidget*>(receiver);
        if (widget == m_box || (widget != nullptr && m_box->isAncestorOf(widget)))
            return false;
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            m_box->reject();
        else if (event->type() == QEvent::MouseButtonPress)
            bringUpBox();
        return true;
    }

private:
    void bringUpBox() {
        if (m_stop)
            return;
        m_box->show();
        m_box->raise();
        m_box->activateWindow();
        QApplication::beep();
    }

    QDialog* m_box;
    const std::atomic<bool>& m_stop;
};

// For the length of a run: what runs, how far it has got, and the button that stops it. Esc and
// the box's close button stop as well: all three reject the box. Input to anything else is dropped.
class StepBox : public QDialog {
public:
    StepBox(QWidget* window, const std::string& title, const numtext::FormatSettings& fs,
            std::atomic<bool>& stop, const std::atomic<double>& done)
        : QDialog(window), m_settings(fs), m_inputOnlyToMe(this, stop) {
        setObjectName(QStringLiteral("LongStepBox"));
        setWindowTitle(qtext(title));
        setWindowModality(Qt::NonModal);
        setMinimumWidth(360);
        m_bar->setRange(0, kBarSteps);
        m_bar->setTextVisible(false);
        auto* stopButton = new QPushButton(QStringLiteral("Przerwij"), this);
        connect(stopButton, &QPushButton::clicked, this, &QDialog::reject);
        connect(this, &QDialog::rejected, [&stop] { stop = true; });
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(m_what);
        layout->addWidget(m_done);
        layout->addWidget(m_bar);
        layout->addWidget(m_left);
        layout->addWidget(stopButton, 0, Qt::AlignRight);

        m_showLater.setSingleShot(true);
        connect(&m_showLater, &QTimer::timeout, this, [this, &stop] {
            if (!stop)
                show();
        });
        connect(&m_progress, &QTimer::timeout, this,
                [this, &done] { setDone(done.load(std::memory_order_relaxed)); });
        m_showLater.start(kBoxDelayMs);
        m_progress.start(kProgressEveryMs);
    }

    // The time left counts the `later` passes of the steps still to come.
    void setStep(const std::string& what, double total, double later) {
        m_what->setText(qtext(what));
        m_total = total;
        m_timeLeft.start(total, later);
        setDone(0.0);
    }

private:
    void setDone(double done) {
        m_done->setText(
            qtext("wykonano " + wholeNumber(done, m_settings) + " z " + wholeNumber(m_total, m_settings)));
        m_bar->setValue(m_total > 0 ? static_cast<int>(done / m_total * kBarSteps) : 0);
        const std::optional<double> left = m_timeLeft.seconds(done);
        m_left->setText(left ? qtext(timeLeftText(*left, m_settings)) : QString());
    }

    QLabel* m_what = new QLabel(this);
    QLabel* m_done = new QLabel(this);
    QLabel* m_left = new QLabel(this);
    TimeLeft m_timeLeft;
    QProgressBar* m_bar = new QProgressBar(this);
    double m_total = 0.0;
    numtext::FormatSettings m_settings;
    InputOnlyTo m_inputOnlyToMe;
    QTimer m_showLater;
    QTimer m_progress;
};

// Qt's work on the box keeps the floating-point flags as it found them, its end included.
struct DeleteKeepingFlags {
    void operator()(StepBox* box) const {
        const numtext::FlagGuard keepFlags;
        delete box;
    }
};

// Runs one step on a thread of its own and turns this thread's event loop until the step has
// returned. Returns whether it was stopped; an exception of the step is thrown here.
bool runOnWorker(const experiments::LongStep& step, const std::atomic<bool>& stop,
                 std::atomic<double>& done) {
    std::atomic<bool> finished = false;
    bool stopped = false;
    std::exception_ptr failure;
    const std::unique_ptr<QThread> worker(QThread::create([&] {
        try {
            step.run([&](double passes) {
                done.store(passes, std::memory_order_relaxed);
                stopped = stop.load(std::memory_order_relaxed);
                return !stopped;
            });
        } catch (...) {
            failure = std::current_exception();
        }
        finished.store(true, std::memory_order_release);
    }));
    // Queued to this thread once the worker has ended: it wakes the wait below.
    QObject::connect(worker.get(), &QThread::finished, worker.get(), [] {});
    {
        const numtext::FlagGuard keepFlags;
        worker->start();
        while (!finished.load(std::memory_order_acquire))
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        worker->wait();
    }
    if (failure)
        std::rethrow_exception(failure);
    return stopped;
}

} // namespace

TimeLeft::TimeLeft(Clock clock) : m_clock(std::move(clock)) {}

void TimeLeft::start(double total, double later) {
    m_started = m_clock();
    m_total = total;
    m_later = later;
}

std::optional<double> TimeLeft::seconds(double done) const {
    const double elapsed = m_clock() - m_started;
    if (elapsed < kFirstEstimateAfterSeconds || !(done > 0.0) || done > m_total)
        return std::nullopt;
    return elapsed * (m_total - done + m_later) / done;
}

double TimeLeft::steadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

std::string timeLeftText(double seconds, const numtext::FormatSettings& fs) {
    const double whole = std::ceil(std::max(seconds, 1.0));
    std::string text = "pozostało około ";
    if (whole < 60.0)
        return text + std::to_string(static_cast<long long>(whole)) + " s";
    if (whole < 3600.0) {
        const auto s = static_cast<long long>(whole);
        return text + std::to_string(s / 60) + " min " + twoDigits(s % 60) + " s";
    }
    const double minutes = std::ceil(whole / 60.0);
    const double hours = std::floor(minutes / 60.0);
    return text + wholeNumber(hours, fs) + " h " + twoDigits(static_cast<long long>(minutes - hours * 60.0)) +
           " min";
}

std::size_t LongStepRunner::run(const std::string& title, const std::vector<experiments::LongStep>& steps,
                                const numtext::FormatSettings& fs) {
    std::atomic<bool> stop = false;
    std::atomic<double> done = 0.0;
    std::unique_ptr<StepBox, DeleteKeepingFlags> box;
    {
        const numtext::FlagGuard keepFlags;
        box.reset(new StepBox(m_window, title, fs, stop, done));
    }
    struct Registration {
        std::atomic<bool>*& slot;
        std::atomic<bool>* outer;
        ~Registration() { slot = outer; }
    } registration{m_stop, std::exchange(m_stop, &stop)};

    for (std::size_t k = 0; k < steps.size(); ++k) {
        {
            const numtext::FlagGuard keepFlags;
            double later = 0.0;
            for (std::size_t j = k + 1; j < steps.size(); ++j)
                later += steps[j].total;
            box->setStep(steps[k].what, steps[k].total, later);
        }
        done = 0.0;
        if (runOnWorker(steps[k], stop, done))
            return k;
        steps[k].show();
        if (stop)
            return k + 1;
    }
    return steps.size();
}

void LongStepRunner::stop() noexcept {
    if (m_stop != nullptr)
        *m_stop = true;
}
