#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "experiments/timing_loops.h"
#include "fake_controls.h"
#include "numtext/fpenv.h"

using namespace experiments;

namespace {

const numtext::FormatSettings kComma = numtext::FormatSettings::comma();

// The fake window, its writes to the tab's fields logged as one line each.
class RecordingView : public FakeControls {
public:
    void setText(std::string_view f, const std::string& t) override {
        FakeControls::setText(f, t);
        log.back() = "text " + std::string(f) + " '" + t + "'";
    }
    void setColor(std::string_view f, Rgb c) override {
        FakeControls::setColor(f, c);
        log.back() = "colour " + std::string(f) + (c == kLime ? " lime" : " other");
    }
    void setWindowColor(std::string_view f) override {
        FakeControls::setWindowColor(f);
        log.back() = "colour " + std::string(f) + " window";
    }
    // Run to the end, as a window whose user stops nothing runs them, and not logged.
    std::size_t runLongSteps(const std::string&, const std::vector<LongStep>& steps) override {
        for (const LongStep& step : steps) {
            step.run([](double) { return true; });
            step.show();
        }
        return steps.size();
    }
    const std::string& shown(const char* f) { return texts[f]; }
};

// The count typed in the combo box, and its change event.
void showCountConversions(const std::string& countText, const numtext::FormatSettings& fs,
                          RecordingView& view) {
    view.texts["CB2"] = countText;
    convertCount(view, fs);
}

// The count typed in the combo box, and the timing button pressed.
void runTimings(const std::string& countText, const numtext::FormatSettings& fs, RecordingView& view,
                const Clock& clock) {
    view.texts["CB2"] = countText;
    timeThreeLoops(view, fs, clock);
}

// A clock that hands out the given instants in turn.
Clock clockOf(std::vector<double> instants) {
    auto next = std::make_shared<std::size_t>(0);
    return [instants = std::move(instants), next] { return instants.at((*next)++); };
}

struct ThrownByClock : std::runtime_error {
    ThrownByClock() : std::runtime_error("clock read") {}
};

} // namespace

TEST(CountConversions, ShowEveryListItemAsInt32Int64AndGeneralText) {
    struct Row {
        const char* item;
        const char* int32;
        const char* int64;
        const char* general;
    };
    const Row rows[] = {
        {"1e+3", "1000", "1000", "1000"},
        {"1e+5", "100000", "100000", "100000"},
        {"1e+6", "1000000", "1000000", "1000000"},
        {"1e+7", "10000000", "10000000", "10000000"},
        {"1e+8", "100000000", "100000000", "100000000"},
        {"1e+9", "1000000000", "1000000000", "1000000000"},
        {"5e+9", "705032704", "5000000000", "5000000000"},
        {"1e+10", "1410065408", "10000000000", "10000000000"},
        {"1e+11", "1215752192", "100000000000", "100000000000"},
        {"1e+12", "-727379968", "1000000000000", "1000000000000"},
        {"1e+13", "1316134912", "10000000000000", "10000000000000"},
        {"1e+14", "276447232", "100000000000000", "100000000000000"},
        {"1e+15", "-1530494976", "1000000000000000", "1E15"},
        {"1e+16", "1874919424", "10000000000000000", "1E16"},
        {"1e+17", "1569325056", "100000000000000000", "1E17"},
        {"1e+18", "-1486618624", "1000000000000000000", "1E18"},
        {"1e+19", "0", "-9223372036854775808", "1E19"},
        {"1e+20", "0", "-9223372036854775808", "1E20"},
        {"1e+30", "0", "-9223372036854775808", "1E30"},
        {"1e+40", "0", "-9223372036854775808", "1E40"},
        {"1e+55", "0", "-9223372036854775808", "1E55"},
        {"1e+100", "0", "-9223372036854775808", "1E100"},
        {"1e+4900", "0", "-9223372036854775808", "1E4900"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.item);
        RecordingView view;
        showCountConversions(row.item, kComma, view);
        const std::vector<std::string> expected = {
            "text LabeledE1 ''", std::string("text LabeledE1 '") + row.int32 + "'",   "repaint LabeledE1",
            "text LabeledE2 ''", std::string("text LabeledE2 '") + row.int64 + "'",   "repaint LabeledE2",
            "text LabeledE3 ''", std::string("text LabeledE3 '") + row.general + "'", "repaint LabeledE3",
        };
        EXPECT_EQ(view.log, expected);
    }
}

TEST(CountConversions, RejectedTextEmptiesOnlyTheFirstField) {
    for (const char* text : {"1e+5000", "", "-", "2.5"}) {
        SCOPED_TRACE(text);
        RecordingView view;
        view.texts["LabeledE2"] = "earlier";
        try {
            showCountConversions(text, kComma, view);
            ADD_FAILURE() << "no conversion error";
        } catch (const numtext::EConvertError& e) {
            EXPECT_EQ(e.Message(), "'" + std::string(text) + "' is not a valid floating point value");
        }
        EXPECT_EQ(view.log, std::vector<std::string>{"text LabeledE1 ''"});
        EXPECT_EQ(view.shown("LabeledE2"), "earlier");
    }
}

TEST(CountConversions, FollowTheDecimalSeparator) {
    RecordingView comma;
    showCountConversions("-2,75", kComma, comma);
    EXPECT_EQ(comma.shown("LabeledE1"), "-2");
    EXPECT_EQ(comma.shown("LabeledE2"), "-2");
    EXPECT_EQ(comma.shown("LabeledE3"), "-2,75");

    RecordingView stop;
    showCountConversions("2.75", numtext::FormatSettings::fullStop(), stop);
    EXPECT_EQ(stop.shown("LabeledE3"), "2.75");
}

TEST(TimingLoops, MakeTheSmallestWholeNumberOfPassesNotBelowTheCount) {
    struct Row {
        double count;
        double passes;
    };
    // The last rows cross from one piece of a stoppable run to the next.
    const Row rows[] = {{0.0, 0.0},
                        {-5.0, 0.0},
                        {-0.5, 0.0},
                        {0.25, 1.0},
                        {1.0, 1.0},
                        {2.5, 3.0},
                        {3.0, 3.0},
                        {1000.0, 1000.0},
                        {kPassesPerPiece, kPassesPerPiece},
                        {kPassesPerPiece + 0.5, kPassesPerPiece + 1},
                        {2.5 * kPassesPerPiece, 2.5 * kPassesPerPiece}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.count);
        volatile double byReference = 12.3;
        volatile double byAddress = 12.3;
        EXPECT_EQ(loopByReference(byReference, row.count), row.passes);
        EXPECT_EQ(loopByValue(row.count), row.passes);
        EXPECT_EQ(loopByAddress(&byAddress, row.count), row.passes);
        EXPECT_EQ(loopInPieces([](double count, double from) { return loopByValue(count, from); }, row.count,
                               [](double) { return true; }),
                  row.passes);
        // One pass turns the variable into 1.0 for good; none leaves it alone.
        const double expected = row.passes > 0 ? 1.0 : 12.3;
        EXPECT_EQ(byReference, expected);
        EXPECT_EQ(byAddress, expected);
    }
}

TEST(TimingRun, WritesEveryFieldInOrderAndColorsEachColumnWhenItsRunEnds) {
    RecordingView view;
    const double second = 1.0 / 86400;
    // Reference run 2 s, value run 1 s, address run 0 s; differences exact in double.
    runTimings("2,5", kComma, view, clockOf({0.0, 2 * second, 0.0, second, 0.75, 0.75}));
    const std::vector<std::string> expected = {
        "colour LE21 window",
        "text LabeledE1 ''",
        "text LabeledE1 '2'",
        "repaint LabeledE1",
        "colour E1 window",
        "repaint LabeledE1",
        "colour LE22 window",
        "text LabeledE2 ''",
        "text LabeledE2 '2'",
        "repaint LabeledE2",
        "colour E2 window",
        "repaint LabeledE2",
        "colour LE23 window",
        "text LabeledE3 ''",
        "text LabeledE3 '2,5'",
        "repaint LabeledE3",
        "colour E3 window",
        "repaint LabeledE3",
        "text E1 'calculating ...'",
        "repaint E1",
        "text E2 'calculating ...'",
        "repaint E2",
        "text E3 'calculating ...'",
        "repaint E3",
        "text LE21 'calculating ...'",
        "repaint LE21",
        "text LE22 'calculating ...'",
        "repaint LE22",
        "text LE23 'calculating ...'",
        "repaint LE23",
        "text E1 '00:00:02'",
        "text LE21 '2,31481481481481E-5'",
        "colour E1 lime",
        "repaint E1",
        "colour LE21 lime",
        "repaint LE21",
        "text E2 '00:00:01'",
        "text LE22 '1,15740740740741E-5'",
        "colour E2 lime",
        "repaint E2",
        "colour LE22 lime",
        "repaint LE22",
        "text E3 '00:00:00'",
        "text LE23 '0'",
        "colour E3 lime",
        "repaint E3",
        "colour LE23 lime",
        "repaint LE23",
    };
    EXPECT_EQ(view.log, expected);
}

TEST(TimingRun, RunAcrossMidnightShowsTheNegativeDifference) {
    RecordingView view;
    // 23:59:59.000 to 00:00:00.500 on the time-of-day clock.
    const double before = 86399000.0 / 86400000.0;
    const double after = 500.0 / 86400000.0;
    runTimings("1", kComma, view, clockOf({before, after, 0.0, 0.0, 0.0, 0.0}));
    EXPECT_EQ(view.shown("LE21"), "-0,999982638888889");
    EXPECT_EQ(view.shown("E1"), "23:59:58");
}

TEST(TimingRun, RefusesACountItCannotTimeBeforeChangingAnything) {
    struct Row {
        const char* text;
        const char* message;
    };
    const Row rows[] = {
        {"1e+5000", "'1e+5000' is not a valid floating point value"},
        {"abc", "'abc' is not a valid floating point value"},
        {"1e+4900", "Floating point overflow"},
        {"1e+16", "'1e+16' to więcej niż 9007199254740992 działań, najwięcej, ile zliczy licznik "
                  "przejść typu double"},
        // 2^53 + 2, the first double above the limit.
        {"9007199254740994", "'9007199254740994' to więcej niż 9007199254740992 działań, najwięcej, "
                             "ile zliczy licznik przejść typu double"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        RecordingView view;
        bool clockRead = false;
        try {
            runTimings(row.text, kComma, view, [&] {
                clockRead = true;
                return 0.0;
            });
            ADD_FAILURE() << "the count was accepted";
        } catch (const numtext::Exception& e) {
            EXPECT_EQ(e.Message(), row.message);
        }
        EXPECT_TRUE(view.log.empty());
        EXPECT_FALSE(clockRead);
        EXPECT_NO_THROW(numtext::checkpoint()) << "a flag was left pending";
    }
}

TEST(TimingRun, AcceptsTheLargestCountThatEnds) {
    // 2^53 and 2^53 + 1 (which rounds to 2^53) reach the timing: the clock is read.
    for (const char* text : {"9007199254740992", "9007199254740993"}) {
        SCOPED_TRACE(text);
        RecordingView view;
        EXPECT_THROW(runTimings(text, kComma, view, []() -> double { throw ThrownByClock(); }),
                     ThrownByClock);
        EXPECT_EQ(view.shown("LabeledE2"), text);
        EXPECT_EQ(view.shown("LE23"), "calculating ...");
    }
}

// The stop comes at the first question of the loop stopped, after its first piece; "none" lets all
// three end, asked between their pieces only.
TEST(TimingRun, AStopMarksTheStoppedLoopAndTheLaterOnesAndKeepsTheColumnsShown) {
    const char* const loops[3] = {"Pętla 1 z 3: przez referencję", "Pętla 2 z 3: przez wartość",
                                  "Pętla 3 z 3: przez adres"};
    const char* const time[3] = {"E1", "E2", "E3"};
    const char* const fraction[3] = {"LE21", "LE22", "LE23"};
    const double second = 1.0 / 86400;
    for (int stopped = 0; stopped <= 3; ++stopped) {
        SCOPED_TRACE(stopped < 3 ? loops[stopped] : "none");
        FakeControls w;
        w.texts["CB2"] = "3e6";
        std::vector<double> asked;
        w.keepGoing = [&](const std::string& loop, double done) {
            asked.push_back(done);
            return stopped == 3 || loop != loops[stopped];
        };
        timeThreeLoops(w, kComma, clockOf({0.0, second, 0.0, second, 0.0, second}));

        std::vector<std::string> expected = {"runLongSteps Czasy obliczeń"};
        for (int k = 0; k < 3 && k <= stopped; ++k) {
            expected.push_back(std::string("runLongStep ") + loops[k] + " of 3000000");
            const std::string t = time[k], f = fraction[k];
            if (k < stopped)
                expected.insert(expected.end(),
                                {"setText " + t + "=00:00:01", "setText " + f + "=1,15740740740741E-5",
                                 "setColor " + t, "repaint " + t, "setColor " + f, "repaint " + f});
        }
        for (int k = stopped; k < 3; ++k)
            for (const std::string field : {time[k], fraction[k]})
                expected.insert(expected.end(), {"setText " + field + "=przerwano", "repaint " + field});
        const auto first = std::find(w.log.begin(), w.log.end(), expected.front());
        EXPECT_EQ(std::vector<std::string>(first, w.log.end()), expected);
        for (int k = 0; k < 3; ++k) {
            EXPECT_EQ(w.colors.count(time[k]), k < stopped ? 1u : 0u) << time[k];
            EXPECT_EQ(w.colors.count(fraction[k]), k < stopped ? 1u : 0u) << fraction[k];
        }
        // Each loop of 3e6 passes is asked after its first and its second piece of 2^20 passes.
        const double n = kPassesPerPiece;
        const std::vector<double> everyQuestion = {n, 2 * n, n, 2 * n, n, 2 * n};
        EXPECT_EQ(asked, std::vector<double>(everyQuestion.begin(),
                                             everyQuestion.begin() + std::min(6, 2 * stopped + 1)));
    }
}

TEST(CountConversions, ReachTheTabsControlsByName) {
    experiments::FakeControls w;
    w.texts["CB2"] = "3000000000";
    w.colors["E1"] = experiments::kLime;
    experiments::convertCount(w, numtext::FormatSettings::comma());
    EXPECT_EQ(w.text("LabeledE1"), "-1294967296");
    EXPECT_EQ(w.text("LabeledE2"), "3000000000");
    EXPECT_EQ(w.text("LabeledE3"), "3000000000");
    EXPECT_EQ(w.colors.count("E1"), 1u); // the conversions leave the timing fields alone
}
