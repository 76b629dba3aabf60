#include "timing_loops.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "numtext/fpenv.h"
#include "numtext/number_text.h"

namespace experiments {

using numtext::extended;

ECountTooLarge::ECountTooLarge(std::string_view countText)
    : numtext::Exception(numtext::fill(numtext::forms::kCountTooLarge, {countText})) {}

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

const char* const kConversionField[3] = {"LabeledE1", "LabeledE2", "LabeledE3"};

// One of the three conversions; `which` is 0, 1 or 2. Each parses the text anew, as each field
// is emptied before its own parse.
void convertCount(int which, std::string_view text, const numtext::FormatSettings& fs, Controls& w) {
    const char* const field = kConversionField[which];
    w.setText(field, "");
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
    w.setText(field, shown);
    w.repaint(field);
}

const char* const kTime[3] = {"E1", "E2", "E3"};
const char* const kFraction[3] = {"LE21", "LE22", "LE23"};

// The time of run k and its fraction of a day, each field turned lime and painted.
void showElapsed(int k, numtext::TDateTime elapsed, const numtext::FormatSettings& fs, Controls& w) {
    w.setText(kTime[k], numtext::TimeToStr(elapsed, fs));
    w.setText(kFraction[k], numtext::FloatToStr(elapsed, fs));
    w.setColor(kTime[k], kLime);
    w.repaint(kTime[k]);
    w.setColor(kFraction[k], kLime);
    w.repaint(kFraction[k]);
}

} // namespace

void convertCount(Controls& w, const numtext::FormatSettings& fs) {
    const std::string countText = w.text("CB2");
    for (int which = 0; which < 3; ++which)
        convertCount(which, countText, fs, w);
}

bool countIsNumber(std::string_view text, const numtext::FormatSettings& fs) {
    const numtext::FlagGuard keepFlags;
    try {
        (void)numtext::StrToFloat(text, fs);
        return true;
    } catch (const numtext::EConvertError&) {
        return false;
    }
}

void timeThreeLoops(Controls& w, const numtext::FormatSettings& fs, const Clock& clock) {
    const std::string countText = w.text("CB2");

    // Everything that can refuse the count does so before the tab changes.
    // The by-value variable belongs to loopByValue, which sets it to 12.3 the same way.
    volatile double referenceTarget = 12.3;
    volatile double& reference = referenceTarget;
    volatile double addressTarget = 12.3;
    volatile double* const address = &addressTarget;
    const double count = numtext::toDouble(numtext::StrToFloat(countText, fs));
    if (count > kLargestCount)
        throw ECountTooLarge(countText);

    // Colours back to the window colour, woven into the conversions.
    for (int k = 0; k < 3; ++k) {
        w.setWindowColor(kFraction[k]);
        convertCount(k, countText, fs, w);
        w.setWindowColor(kTime[k]);
        w.repaint(kConversionField[k]);
    }

    // Painted now, so it is on screen before the first loop starts.
    for (const char* f : {"E1", "E2", "E3", "LE21", "LE22", "LE23"}) {
        w.setText(f, kCalculating);
        w.repaint(f);
    }

    // By reference, by value, by address: not the order of the columns on screen. The clock is
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
        const auto show = [&, k] { showElapsed(k, end[k] - start[k], fs, w); };
        steps.push_back({names[k], std::max(0.0, std::ceil(count)), run, show});
    }
    const std::size_t shown = w.runLongSteps("Czasy obliczeń", steps);

    // The loop stopped and those that never ran.
    for (std::size_t k = shown; k < 3; ++k) {
        for (const char* f : {kTime[k], kFraction[k]}) {
            w.setText(f, kStopped);
            w.repaint(f);
        }
    }
}

} // namespace experiments
