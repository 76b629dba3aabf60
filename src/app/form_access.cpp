#include "form_access.h"

#include <QAbstractButton>
#include <QEvent>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabBar>

#include <vector>

#include "tabs.h"
#include "ui/TMemo.h"
#include "ui/TStringGrid.h"
#include "ui_Unit_proby.h"

namespace form_access {

namespace {

void showTab(Ui::TForm1& f, int step) {
    TPageControl* pages = f.PageControl1;
    const int count = pages->count();
    int index = pages->currentIndex();
    for (int tried = 0; tried < count; ++tried) {
        index = (index + step + count) % count;
        if (pages->isTabEnabled(index)) {
            pages->setCurrentIndex(index);
            return;
        }
    }
}

// The window the form's controls are in, wherever in it the form has placed them.
QWidget* windowOf(Ui::TForm1& f) { return f.PageControl1->window(); }

void addShortcut(Ui::TForm1& f, const QList<QKeySequence>& keys, int step) {
    QWidget* window = windowOf(f);
    auto* shortcut = new QShortcut(window);
    shortcut->setKeys(keys);
    shortcut->setContext(Qt::WindowShortcut);
    QObject::connect(shortcut, &QShortcut::activated, window, [&f, step] { showTab(f, step); });
}

QString caption(const QString& text) { return text.simplified(); }

// Qt draws the focus only once a key has moved it, and forgets that each time the window is shown;
// the tab strip has the focus from the start, and a keyboard user must see where it is before the
// first key.
class FocusShownFromTheStart : public QObject {
public:
    explicit FocusShownFromTheStart(QWidget* window) : QObject(window) {
        window->setAttribute(Qt::WA_KeyboardFocusChange);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show)
            static_cast<QWidget*>(watched)->setAttribute(Qt::WA_KeyboardFocusChange);
        return false;
    }
};

} // namespace

void setUpKeyboard(Ui::TForm1& f, const std::vector<tabs::Tab>& tabs) {
    // From the tab strip into the controls of the tab in front; the controls of the other tabs are
    // hidden, so Tab passes over them and comes back to the strip.
    QWidget* previous = f.PageControl1->tabBar();
    for (const tabs::Tab& tab : tabs)
        for (QWidget* control : tab.tabOrder) {
            QWidget::setTabOrder(previous, control);
            previous = control;
        }

    new FocusShownFromTheStart(windowOf(f));

    for (TMemo* memo : windowOf(f)->findChildren<TMemo*>())
        memo->setTabChangesFocus(true);
    for (TStringGrid* grid : windowOf(f)->findChildren<TStringGrid*>())
        grid->setTabKeyNavigation(false);
    // Outside a dialog a push button ignores Enter unless it is an auto-default one.
    for (QPushButton* button : windowOf(f)->findChildren<QPushButton*>())
        button->setAutoDefault(true);
}

void addTabShortcuts(Ui::TForm1& f) {
    // X11 and Wayland report Shift+Tab as Backtab; both spellings are registered.
    addShortcut(f, {QKeySequence(Qt::CTRL | Qt::Key_Tab)}, 1);
    addShortcut(f,
                {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)},
                -1);
}

void nameControls(Ui::TForm1& f, const std::vector<tabs::Tab>& tabs) {
    // A caption that stands next to its control (its buddy, set by the tab's home) names it, as a
    // labelled edit's label does.
    // Qt's own parts without a caption (the tab strip's scroll buttons) keep the names Qt gives them.
    for (QAbstractButton* button : windowOf(f)->findChildren<QAbstractButton*>())
        if (!button->text().isEmpty())
            button->setAccessibleName(caption(button->text()));
    for (QGroupBox* box : windowOf(f)->findChildren<QGroupBox*>())
        box->setAccessibleName(caption(box->title()));
    for (QLabel* label : windowOf(f)->findChildren<QLabel*>()) {
        label->setAccessibleName(caption(label->text()));
        if (label->buddy() != nullptr)
            label->buddy()->setAccessibleName(caption(label->text()));
    }
    for (int i = 0; i < f.PageControl1->count(); ++i)
        f.PageControl1->widget(i)->setAccessibleName(caption(f.PageControl1->tabText(i)));
    f.PageControl1->setAccessibleName(QStringLiteral("doświadczenia"));
    f.PageControl1->tabBar()->setAccessibleName(QStringLiteral("doświadczenia"));
    f.StatusBar1->setAccessibleName(QStringLiteral("pasek stanu"));
    for (int i = 0; i < f.StatusBar1->panelCount(); ++i)
        f.StatusBar1->panel(i)->setAccessibleName(QStringLiteral("pasek stanu, pole %1").arg(i + 1));

    for (const tabs::Tab& tab : tabs)
        for (const tabs::AccessibleName& n : tab.names)
            n.control->setAccessibleName(QString::fromUtf8(n.name));
}

} // namespace form_access
