#include "timing_loops.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "numtext/fpenv.h"
#include "numtext/number_text.h"

namespace experiments {

using numtext::extended;

ECountTooLarge::ECountTooLarge(std::string_view countText)
    : numtext::Exception("'" + std::string(countText) +
                         "' is more than 9007199254740992 operations, the most a double pass "
                         "counter can count") {}

// The loops are kept out of line so that the button and the benchmark time the same machine code.
// The counter is volatile as well: the whole pass, counter included, lives in memory.

[[gnu::noinline]] double loopByReference(volatile double& target, double count, double from) {
    volatile double counter = from;
    while (counter < count) {
        // cppcheck-suppress duplicateExpression ; dividing the variable by itself is the pass
        target = target / target;
        target = target * target;
        counter = counter + 1.0;
    }
    return counter;
}

[[gnu::noinline]] double loopByValue(double count, double from) {
    volatile double value = 12.3;
    volatile double counter = from;
    while (counter < count) {
        // cppcheck-suppress duplicateExpression ; dividing the variable by itself is the pass
        value = value / value;
        value = value * value;
        counter = counter + 1.0;
    }
    return counter;
}

[[gnu::noinline]] double loopByAddress(volatile double* target, double count, double from) {
    volatile double counter = from;
    while (counter < count) {
        // cppcheck-suppress duplicateExpression ; dividing the variable by itself is the pass
        *target = *target / *target;
        *target = *target * *target;
        counter = counter + 1.0;
    }
    return counter;
}

double loopInPieces(const PieceLoop& loop, double count, const KeepGoing& more) {
    double counter = loop(std::min(count, kPassesPerPiece), 0.0);
    while (counter < count && more(counter))
        counter = loop(std::min(count, counter + kPassesPerPiece), counter);
    return counter;
}

namespace {

constexpr const char* kCalculating = "calculating ...";
constexpr const char* kStopped = "przerwano";

const TimingField kConversionField[3] = {TimingField::LabeledE1, TimingField::LabeledE2,
                                         TimingField::LabeledE3};

// One of the three conversions; `which` is 0, 1 or 2. Each parses the text anew, as each field
// is emptied before its own parse.
void convertCount(int which, std::string_view text, const numtext::FormatSettings& fs, TimingView& view) {
    const TimingField field = kConversionField[which];
    view.setText(field, "");
    const extended x = numtext::StrToFloat(text, fs);
    std::string shown;
    switch (which) {
    case 0:
        shown = numtext::IntToStr(numtext::truncToInt32(x));
        break;
    case 1:
        shown = numtext::IntToStr(numtext::truncToInt64(x));
        break;
    default:
        shown = numtext::FloatToStr(x, fs);
        break;
    }
    view.setText(field, shown);
    view.repaint(field);
}

struct Run {
    TimingField time;
    TimingField fraction;
};

void showElapsed(const Run& run, numtext::TDateTime elapsed, const numtext::FormatSettings& fs,
                 TimingView& view) {
    view.setText(run.time, numtext::TimeToStr(elapsed, fs));
    view.setText(run.fraction, numtext::FloatToStr(elapsed, fs));
    view.setColour(run.time, FieldColour::Lime);
    view.repaint(run.time);
    view.setColour(run.fraction, FieldColour::Lime);
    view.repaint(run.fraction);
}

} // namespace

void showCountConversions(std::string_view countText, const numtext::FormatSettings& fs, TimingView& view) {
    numtext::clearFpFlags();
    for (int which = 0; which < 3; ++which)
        convertCount(which, countText, fs, view);
}

void runTimings(std::string_view countText, const numtext::FormatSettings& fs, TimingView& view,
                const Clock& clock) {
    numtext::clearFpFlags();

    // 1. Everything that can refuse the count does so before the tab changes.
    // The by-value variable belongs to loopByValue, which sets it to 12.3 the same way.
    volatile double referenceTarget = 12.3;
    volatile double& reference = referenceTarget;
    volatile double addressTarget = 12.3;
    volatile double* const address = &addressTarget;
    const double count = numtext::toDouble(numtext::StrToFloat(countText, fs));
    if (count > kLargestCount)
        throw ECountTooLarge(countText);

    // 2. Colours back to the window colour, woven into the conversions.
    const TimingField fraction[3] = {TimingField::LE21, TimingField::LE22, TimingField::LE23};
    const TimingField time[3] = {TimingField::E1, TimingField::E2, TimingField::E3};
    for (int k = 0; k < 3; ++k) {
        view.setColour(fraction[k], FieldColour::Window);
        convertCount(k, countText, fs, view);
        view.setColour(time[k], FieldColour::Window);
        view.repaint(kConversionField[k]);
    }

    // 3. Painted now, so it is on screen before the first loop starts.
    for (TimingField f : {TimingField::E1, TimingField::E2, TimingField::E3, TimingField::LE21,
                          TimingField::LE22, TimingField::LE23}) {
        view.setText(f, kCalculating);
        view.repaint(f);
    }

    // 4. By reference, by value, by address: not the order of the columns on screen. The clock is
    // read right before the first piece of a loop and right after its last, wherever the window
    // runs the step; the difference is formed on the handler's thread, as the texts are.
    const PieceLoop loops[3] = {
        [&reference](double limit, double from) { return loopByReference(reference, limit, from); },
        [](double limit, double from) { return loopByValue(limit, from); },
        [address](double limit, double from) { return loopByAddress(address, limit, from); },
    };
    const char* const names[3] = {"Pętla 1 z 3: przez referencję", "Pętla 2 z 3: przez wartość",
                                  "Pętla 3 z 3: przez adres"};
    numtext::TDateTime start[3] = {};
    numtext::TDateTime end[3] = {};
    std::vector<LongStep> steps;
    for (int k = 0; k < 3; ++k) {
        const auto run = [&, k](const KeepGoing& more) {
            start[k] = clock();
            if (loopInPieces(loops[k], count, more) < count)
                return; // stopped: there is no time to show
            end[k] = clock();
        };
        const auto show = [&, k] { showElapsed({time[k], fraction[k]}, end[k] - start[k], fs, view); };
        steps.push_back({names[k], std::max(0.0, std::ceil(count)), run, show});
    }
    const std::size_t shown = view.runLongSteps("Czasy obliczeń", steps);

    // 5. The loop stopped and those that never ran.
    for (std::size_t k = shown; k < 3; ++k) {
        for (TimingField f : {time[k], fraction[k]}) {
            view.setText(f, kStopped);
            view.repaint(f);
        }
    }
}

namespace {

// The timing fields are the controls of the same names.
class ControlsTimingView : public TimingView {
public:
    explicit ControlsTimingView(Controls& w) : m_w(w) {}
    void setText(TimingField field, const std::string& text) override { m_w.setText(name(field), text); }
    void setColour(TimingField field, FieldColour colour) override {
        if (colour == FieldColour::Lime)
            m_w.setColor(name(field), kLime);
        else
            m_w.setWindowColor(name(field));
    }
    void repaint(TimingField field) override { m_w.repaint(name(field)); }
    std::size_t runLongSteps(const std::string& title, const std::vector<LongStep>& steps) override {
        return m_w.runLongSteps(title, steps);
    }

private:
    static const char* name(TimingField field) {
        static const char* const names[] = {"LabeledE1", "LabeledE2", "LabeledE3", "E1",  "E2",
                                            "E3",        "LE21",      "LE22",      "LE23"};
        return names[static_cast<int>(field)];
    }
    Controls& m_w;
};

} // namespace

void CB2(Controls& w, const numtext::FormatSettings& fs) {
    ControlsTimingView view(w);
    showCountConversions(w.text("CB2"), fs, view);
}

void Button2(Controls& w, const numtext::FormatSettings& fs, const Clock& clock) {
    ControlsTimingView view(w);
    runTimings(w.text("CB2"), fs, view, clock);
}

} // namespace experiments
