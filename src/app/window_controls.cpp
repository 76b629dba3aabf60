#include "window_controls.h"

#include <QAccessible>
#include <QApplication>
#include <QPalette>
#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QScreen>
#include <QString>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>

#include "Unit_dib.h"
#include "numtext/exceptions.h"
#include "numtext/fpenv.h"
#include "ui/TBitmap.h"
#include "ui/TCSpinEdit.h"
#include "ui/TChart.h"
#include "ui/TComboBox.h"
#include "ui/TEdit.h"
#include "ui/TMemo.h"
#include "ui/TPointSeries.h"
#include "ui/TRadioGroup.h"
#include "ui/TSavePictureDialog.h"
#include "ui/TStringGrid.h"
#include "ui/TTrackBar.h"
#include "ui/announcer.h"
#include "ui/plain_controls.h"
#include "ui/screen_fit.h"

namespace {

QString qname(std::string_view name) {
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

QColor qcolor(experiments::Rgb c) { return QColor(c.r, c.g, c.b); }

// Runs a control operation with the floating-point flags kept as they were before it: Qt's layout
// and painting compute too, and what they raise is none of the experiment's business.
template <class Operation>
decltype(auto) keepingFlags(Operation&& operation) {
    const numtext::FlagGuard keepFlags;
    return operation();
}

// The picture as the window's bitmap, without a copy of its pixels.
TBitmap bitmapOf(const experiments::Picture& picture) {
    return {picture.row(0), picture.width(), picture.height(), picture.bytesPerRow()};
}

} // namespace

WindowControls::WindowControls(QWidget* root, TForm2& viewer)
    : m_root(root), m_viewer(viewer), m_announcer(new ui::Announcer(root)), m_longSteps(root->window()) {}

template <class T>
T* WindowControls::find(std::string_view name) {
    const auto cached = m_cache.find(name);
    QObject* o = cached != m_cache.end() ? cached->second.data() : nullptr;
    if (!o) {
        const QString key = qname(name);
        o = m_root->findChild<QObject*>(key);
        if (!o) {
            // Series are not widgets: they belong to their charts.
            for (TChart* chart : m_root->findChildren<TChart*>())
                for (int i = 0; i < chart->seriesCount() && !o; ++i)
                    if (chart->series(i)->objectName() == key)
                        o = chart->series(i);
        }
        m_cache.insert_or_assign(std::string(name), o);
    }
    T* t = qobject_cast<T*>(o);
    if (!t)
        throw numtext::Exception("Brak kontrolki " + std::string(name) + " oczekiwanej klasy");
    return t;
}

std::string WindowControls::text(std::string_view control) {
    return keepingFlags([&] {
        QObject* o = find<QObject>(control);
        if (auto* e = qobject_cast<TEdit*>(o))
            return e->ansiText();
        if (auto* s = qobject_cast<TCSpinEdit*>(o))
            return s->ansiText();
        return find<TComboBox>(control)->ansiText();
    });
}

void WindowControls::setText(std::string_view control, const std::string& text) {
    keepingFlags([&] {
        QObject* o = find<QObject>(control);
        if (auto* s = qobject_cast<TCSpinEdit*>(o)) {
            s->setAnsiText(text); // fires its change event, nested
            written(s);
        } else {
            TEdit* e = find<TEdit>(control);
            e->setAnsiText(text);
            written(e);
        }
    });
}

void WindowControls::setColor(std::string_view control, experiments::Rgb color) {
    keepingFlags([&] { find<TEdit>(control)->setColor(qcolor(color)); });
}

void WindowControls::setWindowColor(std::string_view control) {
    keepingFlags([&] { find<TEdit>(control)->setColor(QApplication::palette().color(QPalette::Base)); });
}

void WindowControls::repaint(std::string_view control) {
    keepingFlags([&] { find<QWidget>(control)->repaint(); });
}

void WindowControls::addLine(std::string_view memo, const std::string& line) {
    keepingFlags([&] {
        TMemo* m = find<TMemo>(memo);
        m->addLine(line);
        written(m);
    });
}

void WindowControls::clearLines(std::string_view memo) {
    keepingFlags([&] { find<TMemo>(memo)->clearLines(); });
}

std::string WindowControls::cell(std::string_view grid, int col, int row) {
    return keepingFlags([&] { return find<TStringGrid>(grid)->cell(col, row); });
}

void WindowControls::setCell(std::string_view grid, int col, int row, const std::string& text) {
    keepingFlags([&] {
        TStringGrid* g = find<TStringGrid>(grid);
        g->setCell(col, row, text);
        written(g, col, row);
    });
}

int WindowControls::itemIndex(std::string_view control) {
    return keepingFlags([&] {
        QObject* o = find<QObject>(control);
        if (auto* r = qobject_cast<TRadioGroup*>(o))
            return r->itemIndex();
        return find<TComboBox>(control)->itemIndex();
    });
}

void WindowControls::setItemIndex(std::string_view control, int index) {
    keepingFlags([&] {
        QObject* o = find<QObject>(control);
        if (auto* r = qobject_cast<TRadioGroup*>(o))
            r->setItemIndex(index);
        else
            find<TComboBox>(control)->setItemIndex(index);
    });
}

std::int32_t WindowControls::spinValue(std::string_view spinEdit) {
    return keepingFlags([&] { return find<TCSpinEdit>(spinEdit)->value(); });
}

std::pair<std::int32_t, std::int32_t> WindowControls::spinRange(std::string_view spinEdit) {
    return keepingFlags([&] {
        const TCSpinEdit* s = find<TCSpinEdit>(spinEdit);
        return std::pair{s->minValue(), s->maxValue()};
    });
}

int WindowControls::position(std::string_view trackBar) {
    return keepingFlags([&] { return find<TTrackBar>(trackBar)->position(); });
}

bool WindowControls::checked(std::string_view checkBox) {
    return keepingFlags([&] { return find<TCheckBox>(checkBox)->isChecked(); });
}

void WindowControls::setChecked(std::string_view checkBox, bool value) {
    keepingFlags([&] { find<TCheckBox>(checkBox)->setChecked(value); });
}

void WindowControls::clearSeries(std::string_view series) {
    keepingFlags([&] { changed(find<TPointSeries>(series))->clear(); });
}

// Called for thousands of points, so without saving and restoring the flags each time: the lookup
// and the series' sorted insert compare quietly and raise none.
void WindowControls::addPoint(std::string_view series, double x, double y) {
    changed(find<TPointSeries>(series))->addXY(x, y);
}

TPointSeries* WindowControls::changed(TPointSeries* series) {
    // A handler changes one series or two: the list stays that short.
    if (std::find(m_changedSeries.begin(), m_changedSeries.end(), series) == m_changedSeries.end())
        m_changedSeries.emplace_back(series);
    return series;
}

void WindowControls::runHandler(const numtext::FormatSettings& fs, const std::function<void()>& handler,
                                QWidget* sender) {
    m_settings = fs;
    if (m_handlerDepth == 0)
        m_sender = sender;
    struct Depth {
        WindowControls& w;
        explicit Depth(WindowControls& controls) : w(controls) { ++w.m_handlerDepth; }
        ~Depth() {
            if (--w.m_handlerDepth == 0) {
                w.handOverPoints();
                try {
                    w.announceWritten();
                } catch (...) {
                    // Without memory for the words the reader is told nothing new.
                }
                w.m_sender = nullptr;
            }
        }
        Depth(const Depth&) = delete;
        Depth& operator=(const Depth&) = delete;
    } depth(*this);
    handler();
}

void WindowControls::written(QWidget* control, int col, int row) {
    // Nothing is kept while nobody listens; a field with the keyboard is read by the screen reader
    // itself.
    if (!QAccessible::isActive() || control == QApplication::focusWidget())
        return;
    for (const Written& w : m_written)
        if (w.control == control && w.col == col && w.row == row)
            return;
    m_written.push_back({control, col, row});
}

namespace {

QString accessibleName(QWidget* control) {
    QAccessibleInterface* const a = QAccessible::queryAccessibleInterface(control);
    return a ? a->text(QAccessible::Name) : QString();
}

// "name: text", or "a = 1,5" when the name ends in its own sign; a grid's cell is named by the
// headings of its row and column, a memo by its last line.
QString spoken(QWidget* control, int col, int row) {
    QString name;
    QString text;
    if (auto* g = qobject_cast<TStringGrid*>(control)) {
        QStringList headings;
        for (int c = 0; c < std::min(g->fixedCols(), col); ++c)
            headings << QString::fromStdString(g->cell(c, row)).trimmed();
        for (int r = 0; r < std::min(g->fixedRows(), row); ++r)
            headings << QString::fromStdString(g->cell(col, r)).trimmed();
        headings.removeAll(QString());
        name = headings.isEmpty() ? accessibleName(g) : headings.join(QLatin1Char(' '));
        text = QString::fromStdString(g->cell(col, row));
    } else if (auto* m = qobject_cast<TMemo*>(control)) {
        name = accessibleName(m);
        const std::vector<std::string> lines = m->lines();
        text = lines.empty() ? QString() : QString::fromStdString(lines.back());
    } else {
        name = accessibleName(control);
        QAccessibleInterface* const a = QAccessible::queryAccessibleInterface(control);
        text = a ? a->text(QAccessible::Value) : QString();
    }
    text = text.trimmed();
    if (name.endsWith(QLatin1Char('=')) || name.endsWith(QLatin1Char(':')))
        return name + QLatin1Char(' ') + text;
    return name.isEmpty() ? text : name + QStringLiteral(": ") + text;
}

} // namespace

void WindowControls::announceWritten() {
    // At most this many fields a time: a reader does not listen to a whole table.
    constexpr std::size_t kMost = 12;
    QStringList parts;
    for (const Written& w : m_written)
        if (w.control && parts.size() < static_cast<qsizetype>(kMost))
            parts << spoken(w.control, w.col, w.row);
    if (m_written.size() > kMost)
        parts << QStringLiteral("…");
    m_written.clear();
    m_announcer->announce(parts.join(QStringLiteral("; ")));
}

void WindowControls::handOverPoints() noexcept {
    const numtext::FlagGuard keepFlags;
    try {
        for (const QPointer<TPointSeries>& series : m_changedSeries)
            if (series)
                series->flush();
    } catch (...) {
        // Handing points over allocates; without memory a chart keeps its old points.
    }
    m_changedSeries.clear();
}

// Shown and brought to the front, never given the keyboard: a track bar moved with the arrow keys sets
// off a run at every step and must keep the focus for the next one.
void WindowControls::showPicture(const experiments::Picture& picture) {
    keepingFlags([&] {
        // A minimised viewer is restored as it was, maximised or not: it is in front only when it can
        // be seen. A window manager gives the keyboard to a window it restores.
        QWidget* const active = QApplication::activeWindow();
        const bool restoring = m_viewer.isMinimized();
        if (restoring)
            m_viewer.setWindowState(m_viewer.windowState() & ~Qt::WindowMinimized);
        placeViewer(QSize(picture.width(), picture.height()));
        m_viewer.show();
        m_viewer.raise();
        if (restoring && active != nullptr && active != &m_viewer)
            giveKeyboardBack(active);
        m_viewer.drawPicture(bitmapOf(picture).image(), QPoint(0, 0));
    });
}

namespace {

// The part of a control that the screen shows, in screen coordinates: none of it when it is scrolled
// out of its window's view.
QRegion inSight(const QWidget* control) {
    return control->visibleRegion().boundingRect().translated(control->mapToGlobal(QPoint(0, 0)));
}

} // namespace

// The viewer covers none of the main window's controls in sight (the page in front and its tab strip)
// where the screen has room, and otherwise as little of them as it can, but never the control that
// started the run if a smaller viewer can help it: first without the empty margin beside and below
// the picture, then shorter, showing the picture's top rows, down to half of them (every row of the
// picture is the same). Where it covers none already, it stays, wherever the user put it.
void WindowControls::placeViewer(QSize picture) {
    QWidget* window = m_root->window();
    const QScreen* screen = window->screen();
    if (screen == nullptr || !window->isVisible())
        return;
    const QRegion sender = m_sender && m_sender->isVisible() ? inSight(m_sender) : QRegion();
    QRegion controls;
    for (const QTabWidget* pages : m_root->findChildren<QTabWidget*>()) {
        if (!pages->isVisible())
            continue;
        controls += inSight(pages->tabBar());
        if (const QWidget* page = pages->currentWidget())
            for (const QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (control->isVisible())
                    controls += inSight(control);
    }
    // A window's frame is known once it is on screen; before, the main window's is the best guess.
    const QWidget* framed =
        m_viewer.isVisible() && ui::outerGeometry(&m_viewer) != m_viewer.geometry() ? &m_viewer : window;
    const QSize frame = ui::outerGeometry(framed).size() - framed->size();
    const QRect now(m_viewer.pos(), m_viewer.size() + frame);
    if (!sender.intersects(now) && !controls.intersects(now))
        return;
    const QSize whole = (picture + frame).boundedTo(now.size());
    std::vector<QSize> sizes =
        ui::sizesDownTo(whole, QSize(whole.width(), frame.height() + picture.height() / 2), 5);
    sizes.insert(sizes.begin(), now.size());
    const QRect place =
        ui::placeAside(sizes, {sender, controls}, 2, screen->availableGeometry(), now.topLeft());
    m_viewer.resize(place.size() - frame);
    m_viewer.move(place.topLeft());
}

void WindowControls::keepViewerAside() {
    if (m_viewer.isVisible() && !m_viewer.isMinimized() && !m_viewer.picture().isNull())
        keepingFlags([&] { placeViewer(m_viewer.picture().size()); });
}

// The keyboard goes back to `window`, and the picture stays in front of it, as after any run: a
// window manager brings the window it activates to the front.
void WindowControls::giveKeyboardBack(QWidget* window) {
    window->activateWindow();
    m_viewer.raise();
}

void WindowControls::savePicture(const experiments::Picture& picture, const std::string& nextExtension) {
    keepingFlags([&] {
        auto* dialog = find<TSavePictureDialog>("SavePictureDialog1");
        // Over the picture it saves, which it leaves in sight, rather than over the main window, which
        // the window manager would bring to the front with it and so hide the picture.
        const QRect onScreen(m_viewer.mapToGlobal(QPoint(0, 0)),
                             m_viewer.picture().size().boundedTo(m_viewer.size()));
        const bool confirmed = dialog->execute(&m_viewer, onScreen);
        giveKeyboardBack(m_root->window());
        dialog->setDefaultExt(nextExtension);
        if (!confirmed)
            return;
        const std::string fileName = dialog->fileName();
        bitmapOf(picture).saveToFile(fileName);
        dialog->savedTo(fileName);
    });
}

std::size_t WindowControls::runLongSteps(const std::string& title,
                                         const std::vector<experiments::LongStep>& steps) {
    return keepingFlags([&] {
        announceWritten(); // "calculating ...", while the user waits
        std::vector<experiments::LongStep> told = steps;
        for (experiments::LongStep& step : told)
            step.show = [this, show = std::move(step.show)] {
                show();
                announceWritten();
            };
        return m_longSteps.run(title, told, m_settings);
    });
}
