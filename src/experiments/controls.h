#pragma once

// What an experiment needs from the window: the operations on controls, named by the controls' names
// in the main window ("Edit6", "Dane", "Series2"). The program implements it over the Qt controls;
// tests implement it with a recording fake. An experiment runs its steps against it in their order,
// so a failure at any step leaves exactly the texts written before it.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "experiments/picture.h"

namespace experiments {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(Rgb, Rgb) = default;
};

inline constexpr Rgb kYellow{255, 255, 0};
inline constexpr Rgb kLime{0, 255, 0};

// Asked between two pieces of a long computation with how much of it is done; false means stop.
using KeepGoing = std::function<bool(double done)>;

// One long computation of a handler, made in short pieces so that the window can show how far it
// has got and stop it between two pieces.
struct LongStep {
    std::string what;   // what the user is told is running
    double total = 0.0; // how much there is to do, in the units `run` reports
    // Makes the step, calling `more` between two pieces and returning soon after it says false. It
    // may run on another thread: it touches no control, only what it captures, and the
    // floating-point flags it raises stay on that thread.
    std::function<void(const KeepGoing& more)> run;
    // On the handler's thread, right after `run` has returned without being stopped.
    std::function<void()> show;
};

class Controls {
public:
    virtual ~Controls() = default;

    // Edits, labelled edits, combo boxes and spin edits. Setting a spin edit's text fires its
    // change event at once, nested.
    virtual std::string text(std::string_view control) = 0;
    virtual void setText(std::string_view control, const std::string& text) = 0;
    // The background colour of an edit; setWindowColor restores the system window colour.
    virtual void setColor(std::string_view control, Rgb color) = 0;
    virtual void setWindowColor(std::string_view control) = 0;
    // Paints the control now, although the handler holds the user-interface thread.
    virtual void repaint(std::string_view control) = 0;

    // Memos.
    virtual void addLine(std::string_view memo, const std::string& line) = 0;
    virtual void clearLines(std::string_view memo) = 0;

    // String grids, by column and row from 0; fixed cells are ordinary cells.
    virtual std::string cell(std::string_view grid, int col, int row) = 0;
    virtual void setCell(std::string_view grid, int col, int row, const std::string& text) = 0;

    // Combo boxes and radio groups: the selected item, -1 for none. Setting it fires nothing.
    virtual int itemIndex(std::string_view control) = 0;
    virtual void setItemIndex(std::string_view control, int index) = 0;

    // Spin edits: the text through the integer parser; a text that does not parse puts the
    // minimum into the text (firing the change event) and reads as the minimum.
    virtual std::int32_t spinValue(std::string_view spinEdit) = 0;
    // Its limits, minimum first: what its value is brought into when it loses the focus.
    virtual std::pair<std::int32_t, std::int32_t> spinRange(std::string_view spinEdit) = 0;

    // Track bars and check boxes.
    virtual int position(std::string_view trackBar) = 0;
    virtual bool checked(std::string_view checkBox) = 0;
    virtual void setChecked(std::string_view checkBox, bool value) = 0;

    // Point series of the charts: a series with ascending X keeps its points sorted by X.
    virtual void clearSeries(std::string_view series) = 0;
    virtual void addPoint(std::string_view series, double x, double y) = 0;

    // The viewer window: made visible and brought to the front, without taking the keyboard from the
    // control that asked, and the picture drawn on it with its top-left corner at 0, 0.
    virtual void showPicture(const Picture& picture) = 0;
    // The modal save dialog; when the user confirms it, the picture written under the chosen name as
    // a Windows BMP file, whatever the extension (a file that cannot be created throws
    // numtext::Exception "Cannot create file <name>"). Whatever the outcome, the dialog adds
    // `nextExtension` to a name typed without one from the next time it runs.
    virtual void savePicture(const Picture& picture, const std::string& nextExtension) = 0;

    // Long computations: the steps in order, each shown right after it has run, while the window
    // keeps answering, tells the user what runs and how far it has got under the title, and lets
    // the user stop. After a stop no further step starts. Returns how many steps were shown; the
    // first step not shown is the one stopped. An exception from a step ends the run and leaves this
    // call once nothing runs any more.
    virtual std::size_t runLongSteps(const std::string& title, const std::vector<LongStep>& steps) = 0;
};

} // namespace experiments
