#include "form_access.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTabBar>

#include <initializer_list>
#include <vector>

#include "ui_Unit_proby.h"

namespace form_access {

namespace {

// Each tab's controls in the order Tab visits them.
std::vector<std::vector<QWidget*>> tabOrder(Ui::TForm1& f) {
    std::vector<QWidget*> cubic;
    for (int i = 0; i < f.przypadekD->items().size(); ++i)
        cubic.push_back(f.przypadekD->button(i));
    for (QWidget* w : std::initializer_list<QWidget*>{f.Dane, f.LabeledEdit14, f.Rownanie3, f.LabeledEdit15,
                                                      f.LabeledEdit16, f.Eq3, f.Button6, f.CSpinEdit1,
                                                      f.Wielkanoc, f.Chart2, f.rok1, f.rok2})
        cubic.push_back(w);

    return {
        {f.Button3, f.Button8},
        {f.Edit6, f.Edit7, f.Edit8, f.Edit9, f.BitBtn3, f.LabeledEdit12, f.LabeledEdit13},
        {f.LabeledEdit8,  f.LabeledEdit9, f.LabeledEdit10, f.LabeledEdit11, f.BitBtn2, //
         f.ComboBox1,     f.LabeledEdit1, f.LabeledEdit2,  f.LabeledEdit20, f.Button1, //
         f.LabeledEdit6,  f.LabeledEdit7, f.Memo1,                                     //
         f.LabeledEdit3,  f.LabeledEdit4, f.LabeledEdit5,  f.LabeledEdit17, f.BitBtn1, //
         f.LabeledEdit19, f.Edit2,        f.Edit3,         f.Edit1,         f.Edit4,   f.Edit5, f.Macierze},
        {f.E2, f.E1, f.E3, f.LE22, f.LE21, f.LE23, f.CB2, f.Button2, f.LabeledE1, f.LabeledE2, f.LabeledE3},
        cubic,
        {f.Edit10, f.Button4, f.LabeledEdit18, f.Edit14, f.Memo3},
        {f.Button5, f.Chart1, f.Memo2},
        // Each colour's name above its track bar, then the save choice and the button that uses them.
        {f.Edit13, f.RedMax, f.Edit12, f.GreenMax, f.Edit11, f.BlueMax, f.CheckBox1, f.Button7},
    };
}

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

} // namespace

void setUpKeyboard(Ui::TForm1& f) {
    // From the tab strip into the controls of the tab in front; the controls of the other tabs are
    // hidden, so Tab passes over them and comes back to the strip.
    QWidget* previous = f.PageControl1->tabBar();
    for (const std::vector<QWidget*>& tab : tabOrder(f))
        for (QWidget* control : tab) {
            QWidget::setTabOrder(previous, control);
            previous = control;
        }

    for (TMemo* memo : {f.Memo1, f.Memo2, f.Memo3})
        memo->setTabChangesFocus(true);
    for (TStringGrid* grid : {f.Dane, f.Eq3})
        grid->setTabKeyNavigation(false);
    // Outside a dialog a push button ignores Enter unless it is an auto-default one.
    for (QPushButton* button : windowOf(f)->findChildren<QPushButton*>())
        button->setAutoDefault(true);

    // X11 and Wayland report Shift+Tab as Backtab; both spellings are registered.
    addShortcut(f, {QKeySequence(Qt::CTRL | Qt::Key_Tab)}, 1);
    addShortcut(f,
                {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                 QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)},
                -1);
}

void nameControls(Ui::TForm1& f) {
    // A caption that stands next to its control names it, as a labelled edit's label does.
    f.Label1->setBuddy(f.CB2);
    f.Label3->setBuddy(f.Edit14);

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

    struct Name {
        QWidget* control;
        const char* name;
    };
    const Name names[] = {
        {f.Edit6, "pierwsza liczba: część rzeczywista"},
        {f.Edit7, "pierwsza liczba: część urojona"},
        {f.Edit8, "druga liczba: część rzeczywista"},
        {f.Edit9, "druga liczba: część urojona"},
        {f.ComboBox1, "liczba dla floor / ceil / int ( )"},
        {f.Memo1, "wyniki pętli"},
        {f.Edit1, "wektor: rozmiar początkowy"},
        {f.Edit2, "wektor: rozmiar po usunięciu"},
        {f.Edit3, "wektor: rozmiar po wstawieniu"},
        {f.Edit4, "kopia wektora: element 3"},
        {f.Edit5, "macierz: element [1][5]"},
        {f.E2, "czas: przekazanie przez wartość"},
        {f.E1, "czas: przekazanie przez referencję"},
        {f.E3, "czas: przekazanie przez adres / wskaźnik"},
        {f.Dane, "współczynniki równania a, b, c, d"},
        {f.Eq3, "pierwiastki równania"},
        {f.CSpinEdit1, "rok Niedzieli Wielkanocnej"},
        {f.Chart2, "wykres: data Niedzieli Wielkanocnej"},
        {f.rok1, "wykres od roku"},
        {f.rok2, "wykres do roku"},
        {f.Edit10, "wynik funkcji ksi"},
        {f.Memo3, "bity liczby"},
        {f.Chart1, "wykres parametryczny"},
        {f.Memo2, "ślady pętli"},
        {f.Edit13, "RED"},
        {f.Edit12, "GREEN"},
        {f.Edit11, "BLUE"},
        {f.RedMax, "red color max"},
        {f.GreenMax, "green color max"},
        {f.BlueMax, "blue color max"},
    };
    for (const Name& n : names)
        n.control->setAccessibleName(QString::fromUtf8(n.name));
}

} // namespace form_access
