#pragma once

// A window without Qt for the experiments' tests: keeps each control's state in maps and records
// every write in order, so a test can check both what the window shows and the order it was written.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "experiments/controls.h"
#include "numtext/exceptions.h"
#include "numtext/fpenv.h"
#include "numtext/number_text.h"

namespace experiments {

// The controls of the main window's form by name and class, read from the form resource when the
// tests are configured; the charts' series, which the form makes in code, added by hand. A name that
// is not here, or a control of another class, fails the test that used it.
struct FormControl {
    std::string_view name;
    std::string_view kind;
};
inline constexpr FormControl kFormControls[] = {
#include "form_controls.inc"
    {"Series1", "TPointSeries"},
    {"Series2", "TPointSeries"},
    {"Series3", "TPointSeries"},
};

class FakeControls : public Controls {
public:
    struct Point {
        double x, y;
        friend bool operator==(const Point&, const Point&) = default;
    };

    std::map<std::string, std::string, std::less<>> texts;
    std::map<std::string, Rgb, std::less<>> colors; // absent: the window colour
    std::map<std::string, std::vector<std::string>, std::less<>> memos;
    std::map<std::pair<std::string, std::pair<int, int>>, std::string> cells;
    std::map<std::string, int, std::less<>> indices;
    std::map<std::string, int, std::less<>> positions;
    std::map<std::string, bool, std::less<>> checks;
    std::map<std::string, std::pair<int, int>, std::less<>> spinLimits; // name -> (min, max)
    std::map<std::string, std::vector<Point>, std::less<>> series;
    std::vector<std::string> log; // "setText Edit1=...", "repaint Edit1", ...
    // Called after a spin edit's text changes, as the window fires its change event.
    std::function<void(const std::string& spinEdit)> onSpinChange;
    // The last picture shown; what the save dialog answers (nothing: cancelled), and whether the
    // file then cannot be created.
    Picture picture{0, 0};
    std::optional<std::string> saveAs;
    bool saveFails = false;
    // Asked between two pieces of a long step with the step's name and what it has done; false
    // stops the step, as the user's stop would. Unset: nobody stops.
    std::function<bool(const std::string& step, double done)> keepGoing;

    // The window clears the floating-point flags before every handler; a test's fresh window is
    // where its handler starts.
    FakeControls() { numtext::clearFpFlags(); }

    std::string text(std::string_view c) override {
        expectControl(c, kTextControls);
        return get(texts, c);
    }
    void setText(std::string_view c, const std::string& t) override {
        expectControl(c, kTextControls);
        texts[std::string(c)] = t;
        log.push_back("setText " + std::string(c) + "=" + t);
        if (spinLimits.count(std::string(c)) && onSpinChange)
            onSpinChange(std::string(c));
    }
    void setColor(std::string_view c, Rgb color) override {
        expectControl(c, kEdits);
        colors[std::string(c)] = color;
        log.push_back("setColor " + std::string(c));
    }
    void setWindowColor(std::string_view c) override {
        expectControl(c, kEdits);
        colors.erase(std::string(c));
        log.push_back("setWindowColor " + std::string(c));
    }
    void repaint(std::string_view c) override {
        expectControl(c, kAnyControl);
        log.push_back("repaint " + std::string(c));
    }
    void addLine(std::string_view m, const std::string& line) override {
        expectControl(m, kMemos);
        memos[std::string(m)].push_back(line);
        log.push_back("addLine " + std::string(m) + "=" + line);
    }
    void clearLines(std::string_view m) override {
        expectControl(m, kMemos);
        memos[std::string(m)].clear();
        log.push_back("clearLines " + std::string(m));
    }
    std::string cell(std::string_view g, int col, int row) override {
        expectControl(g, kGrids);
        const auto it = cells.find({std::string(g), {col, row}});
        return it == cells.end() ? std::string() : it->second;
    }
    void setCell(std::string_view g, int col, int row, const std::string& t) override {
        expectControl(g, kGrids);
        cells[{std::string(g), {col, row}}] = t;
        log.push_back("setCell " + std::string(g) + "(" + std::to_string(col) + "," + std::to_string(row) +
                      ")=" + t);
    }
    int itemIndex(std::string_view c) override {
        expectControl(c, kChoices);
        const auto it = indices.find(c);
        return it == indices.end() ? -1 : it->second;
    }
    void setItemIndex(std::string_view c, int i) override {
        expectControl(c, kChoices);
        indices[std::string(c)] = i;
        log.push_back("setItemIndex " + std::string(c) + "=" + std::to_string(i));
    }
    std::int32_t spinValue(std::string_view s) override {
        expectControl(s, kSpinEdits);
        std::int32_t v = 0;
        const std::string t = text(s);
        try {
            v = numtext::StrToInt(t);
        } catch (const numtext::EConvertError&) {
            v = spinLimits[std::string(s)].first;
            setText(s, numtext::IntToStr(v));
        }
        return v;
    }
    std::pair<std::int32_t, std::int32_t> spinRange(std::string_view s) override {
        expectControl(s, kSpinEdits);
        return spinLimits[std::string(s)];
    }
    int position(std::string_view t) override {
        expectControl(t, kTrackBars);
        return get(positions, t);
    }
    bool checked(std::string_view c) override {
        expectControl(c, kCheckBoxes);
        return get(checks, c);
    }
    void setChecked(std::string_view c, bool v) override {
        expectControl(c, kCheckBoxes);
        checks[std::string(c)] = v;
        log.push_back(std::string("setChecked ") + std::string(c) + "=" + (v ? "1" : "0"));
    }
    void clearSeries(std::string_view s) override {
        expectControl(s, kSeries);
        series[std::string(s)].clear();
        log.push_back("clearSeries " + std::string(s));
    }
    void addPoint(std::string_view s, double x, double y) override {
        expectControl(s, kSeries);
        series[std::string(s)].push_back({x, y}); // in the order added; a test sorts if it needs to
    }

    void showPicture(const Picture& p) override {
        picture = p;
        log.push_back("showPicture " + std::to_string(p.width()) + " x " + std::to_string(p.height()));
    }
    void savePicture(const Picture&, const std::string& nextExtension) override {
        log.push_back("savePicture then " + nextExtension);
        if (saveAs && saveFails)
            throw numtext::Exception(numtext::fill(numtext::forms::kCannotCreateFile, {*saveAs}));
        if (saveAs)
            log.push_back("saved " + *saveAs);
    }

    // Logs "runLongSteps <title>", then "runLongStep <what> of <total>" as each step starts.
    std::size_t runLongSteps(const std::string& title, const std::vector<LongStep>& steps) override {
        log.push_back("runLongSteps " + title);
        for (std::size_t k = 0; k < steps.size(); ++k) {
            const LongStep& step = steps[k];
            log.push_back("runLongStep " + step.what + " of " +
                          numtext::FloatToStr(step.total, numtext::FormatSettings::comma()));
            bool stopped = false;
            step.run([&](double done) {
                stopped = keepGoing && !keepGoing(step.what, done);
                return !stopped;
            });
            if (stopped)
                return k;
            step.show();
        }
        return steps.size();
    }

private:
    using Kinds = std::vector<std::string_view>;
    static inline const Kinds kTextControls{"TEdit", "TLabeledEdit", "TComboBox", "TCSpinEdit"};
    static inline const Kinds kEdits{"TEdit", "TLabeledEdit"};
    static inline const Kinds kMemos{"TMemo"};
    static inline const Kinds kGrids{"TStringGrid"};
    static inline const Kinds kChoices{"TComboBox", "TRadioGroup"};
    static inline const Kinds kSpinEdits{"TCSpinEdit"};
    static inline const Kinds kTrackBars{"TTrackBar"};
    static inline const Kinds kCheckBoxes{"TCheckBox"};
    static inline const Kinds kSeries{"TPointSeries"};
    static inline const Kinds kAnyControl{};

    static void expectControl(std::string_view name, const Kinds& kinds) {
        for (const FormControl& c : kFormControls)
            if (c.name == name) {
                if (!kinds.empty() && std::find(kinds.begin(), kinds.end(), c.kind) == kinds.end())
                    ADD_FAILURE() << name << " is a " << c.kind << ", which has no such operation";
                return;
            }
        ADD_FAILURE() << "the form has no control " << name;
    }

    template <class Map>
    static typename Map::mapped_type get(const Map& m, std::string_view key) {
        const auto it = m.find(key);
        return it == m.end() ? typename Map::mapped_type{} : it->second;
    }
};

} // namespace experiments
