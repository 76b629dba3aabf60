#pragma once

#include <QPointer>
#include <QSize>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "experiments/controls.h"
#include "long_steps.h"
#include "numtext/format_settings.h"
#include "ui/TPointSeries.h"

class QObject;
class QWidget;
class TForm2;
namespace ui {
class Announcer;
}

// The experiments' view of the main window: each control found by its name among the window's
// children (series among the charts' series), and operated through its Kestrova control class.
//
// The one way from an experiment to Qt. Every operation keeps the floating-point flags as it found
// them, so the arithmetic of Qt's layout and painting never reaches an experiment's checkpoint, and
// the control classes need not care. Chart points are handed to their charts once per handler.
class WindowControls : public experiments::Controls {
public:
    // `root`: the main window, whose children are the controls; `viewer`: where pictures are shown.
    WindowControls(QWidget* root, TForm2& viewer);

    std::string text(std::string_view control) override;
    void setText(std::string_view control, const std::string& text) override;
    void setColor(std::string_view control, experiments::Rgb color) override;
    void setWindowColor(std::string_view control) override;
    void repaint(std::string_view control) override;
    void addLine(std::string_view memo, const std::string& line) override;
    void clearLines(std::string_view memo) override;
    std::string cell(std::string_view grid, int col, int row) override;
    void setCell(std::string_view grid, int col, int row, const std::string& text) override;
    int itemIndex(std::string_view control) override;
    void setItemIndex(std::string_view control, int index) override;
    std::int32_t spinValue(std::string_view spinEdit) override;
    std::pair<std::int32_t, std::int32_t> spinRange(std::string_view spinEdit) override;
    int position(std::string_view trackBar) override;
    bool checked(std::string_view checkBox) override;
    void setChecked(std::string_view checkBox, bool value) override;
    void clearSeries(std::string_view series) override;
    void addPoint(std::string_view series, double x, double y) override;
    void showPicture(const experiments::Picture& picture) override;
    void savePicture(const experiments::Picture& picture, const std::string& nextExtension) override;
    std::size_t runLongSteps(const std::string& title,
                             const std::vector<experiments::LongStep>& steps) override;

    // Runs a handler under the user's number format `fs`, which the long steps' box uses too. The points it
    // adds to chart series are handed to the charts when the outermost handler has returned (a handler may
    // set off another, nested), also when it throws: a chart takes in each hand-over whole (its axes,
    // its description), so thousands of points go over at once, not point by point. `sender`: the
    // control that started the run, if it is one; the viewer is never put over it.
    void runHandler(const numtext::FormatSettings& fs, const std::function<void()>& handler,
                    QWidget* sender = nullptr);

    // What a handler writes into fields the keyboard is not in (results, messages such as
    // "przerwano") is said to a screen reader, as "name: text" in the order first written: before a
    // long computation starts, after each of its steps and when the outermost handler returns.
    ui::Announcer& announcer() const { return *m_announcer; }

    // The viewer, if it is shown, moved off the controls now in sight, as when a run shows it.
    void keepViewerAside();

    // Stops the long steps under way, if any, as the user's stop does.
    void stopLongSteps() noexcept { m_longSteps.stop(); }

private:
    // The control of that name and class; a missing one is a programming error and throws.
    template <class T>
    T* find(std::string_view name);

    // Looked up by the experiments' own names, without turning each into a QString first: a
    // handler adds thousands of chart points, each naming its series.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const noexcept {
            return std::hash<std::string_view>{}(name);
        }
    };

    TPointSeries* changed(TPointSeries* series);
    void handOverPoints() noexcept;
    void giveKeyboardBack(QWidget* window);
    void placeViewer(QSize picture);
    // Notes a field (a grid's cell when col >= 0) written by the handler, for announceWritten.
    void written(QWidget* control, int col = -1, int row = -1);
    void announceWritten();

    QWidget* m_root;
    TForm2& m_viewer;
    numtext::FormatSettings m_settings;
    int m_handlerDepth = 0;
    QPointer<QWidget> m_sender; // of the outermost handler running
    std::vector<QPointer<TPointSeries>> m_changedSeries;
    struct Written {
        QPointer<QWidget> control;
        int col = -1, row = -1;
    };
    std::vector<Written> m_written;
    ui::Announcer* m_announcer;
    LongStepRunner m_longSteps;
    std::unordered_map<std::string, QPointer<QObject>, NameHash, std::equal_to<>> m_cache;
};
