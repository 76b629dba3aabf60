#include "Unit_proby.h"

#include <QMouseEvent>

#include <memory>

#include "Unit_dib.h"
#include "experiments/bits.h"
#include "experiments/cardano.h"
#include "experiments/curve.h"
#include "experiments/dib_pixels.h"
#include "experiments/easter.h"
#include "experiments/matrices.h"
#include "experiments/rounding.h"
#include "experiments/timing_loops.h"
#include "form_access.h"
#include "numtext/number_text.h"
#include "numtext/time_text.h"
#include "ui/TApplication.h"
#include "ui/TSavePictureDialog.h"
#include "ui/caption_fit.h"
#include "window_controls.h"

TForm1* Form1 = nullptr;

namespace {

TForm1::HandlerObserver& handlerObserver() {
    static TForm1::HandlerObserver observer;
    return observer;
}

} // namespace

TForm1::TForm1(TForm2& viewer, QWidget* parent) : QWidget(withFormLook(parent)) {
    setupUi(this);
    setUpLook();

    // A combo box that shows a text without selecting an item, which a form resource cannot say.
    CB2->setItemIndex(-1);
    CB2->setAnsiText("1e+3");
    auto* saveDialog = new TSavePictureDialog(this);
    saveDialog->setObjectName(QStringLiteral("SavePictureDialog1"));

    m_controls = std::make_unique<WindowControls>(this, viewer);
    wireEvents();

    form_access::setUpKeyboard(*this);
    form_access::nameControls(*this);
    ui::condenseCaptionsToFit(this);
}

TForm1::~TForm1() = default;

TForm1::HandlerObserver TForm1::setHandlerObserver(HandlerObserver observer) {
    std::swap(handlerObserver(), observer);
    return observer;
}

namespace {

// What a handler runs: an experiment, against the window's controls and the user's number format.
using Experiment = std::function<void(experiments::Controls&, const numtext::FormatSettings&)>;

// Where an event comes from: a control and one of its signals, to be connected to a handler.
struct Event {
    std::function<void(QObject* context, std::function<void()> handler)> connect;
};

template <class Sender, class Signal>
Event on(Sender* sender, Signal signal) {
    return {[sender, signal](QObject* context, std::function<void()> handler) {
        ui::connectGuarded(sender, signal, context, std::move(handler));
    }};
}

// One row of the form's wiring: the event, the experiment it runs, and the handler's name.
struct HandlerRow {
    Event event;
    Experiment experiment;
    const char* handler;
};

void nothing(experiments::Controls&, const numtext::FormatSettings&) {}

} // namespace

// Every event the form answers. Each handler takes its format settings when it runs, so a change of
// the system's locale applies from the next event on.
void TForm1::wireEvents() {
    const Experiment product = [this](experiments::Controls& w, const numtext::FormatSettings& fs) {
        m_product.multiply(w, fs);
    };
    const Experiment timing = [](experiments::Controls& w, const numtext::FormatSettings& fs) {
        experiments::timeThreeLoops(w, fs, numtext::Time);
    };
    const HandlerRow rows[] = {
        {on(this, &TForm1::clicked), experiments::roundChosenNumber, "Button1Click"},
        // Both buttons of the first tab are placeholders and do nothing.
        {on(Button3, &TButton::clicked), nothing, "Button3Click"},
        {on(Button8, &TButton::clicked), nothing, "Button3Click"},
        {on(BitBtn3, &TBitBtn::clicked), product, "BitBtn3Click"},
        {on(Button1, &TButton::clicked), experiments::roundChosenNumber, "Button1Click"},
        {on(BitBtn2, &TBitBtn::clicked), experiments::divideWithRemainder, "BitBtn2Click"},
        {on(BitBtn1, &TBitBtn::clicked), experiments::showPiDeclarations, "BitBtn1Click"},
        {on(Macierze, &TButton::clicked), experiments::fillArraysAndMatrix, "MacierzeClick"},
        {on(Button2, &TButton::clicked), timing, "Button2Click"},
        {on(CB2, &TComboBox::changed), experiments::convertCount, "CB2Change"},
        {on(Rownanie3, &TBitBtn::clicked), experiments::solveCubic, "Rownanie3Click"},
        {on(przypadekD, &TRadioGroup::clicked), experiments::solveCubic, "Rownanie3Click"},
        {on(Button6, &TButton::clicked), experiments::showEaster, "Button6Click"},
        {on(CSpinEdit1, &TCSpinEdit::changed), experiments::showEaster, "Button6Click"},
        {on(rok1, &TCSpinEdit::changed), experiments::showEaster, "Button6Click"},
        {on(rok2, &TCSpinEdit::changed), experiments::showEaster, "Button6Click"},
        {on(Button4, &TButton::clicked), experiments::harmonicSumAndBits, "Button4Click"},
        {on(Button5, &TButton::clicked), experiments::traceCurveAndLoops, "Button5Click"},
        {on(Button7, &TButton::clicked), experiments::drawRamp, "Button7Click"},
        {on(RedMax, &TTrackBar::changed), experiments::drawRamp, "Button7Click"},
        {on(GreenMax, &TTrackBar::changed), experiments::drawRamp, "Button7Click"},
        {on(BlueMax, &TTrackBar::changed), experiments::drawRamp, "Button7Click"},
    };
    for (const HandlerRow& row : rows) {
        row.event.connect(this, [this, experiment = row.experiment, name = row.handler] {
            if (handlerObserver())
                handlerObserver()(name);
            const numtext::FormatSettings fs = TApplication::formatSettings();
            m_controls->runHandler(fs, [&] { experiment(*m_controls, fs); });
        });
    }
}

// A click counts when both the press and the release land on the form's surface, not on any
// control (nor on a scroll bar).
bool TForm1::onFreeSurface(const QPoint& pos) const {
    const QWidget* under = childAt(pos);
    return rect().contains(pos) && (under == nullptr || under == m_surface);
}

void TForm1::mousePressEvent(QMouseEvent* event) {
    m_pressedOnSurface = event->button() == Qt::LeftButton && onFreeSurface(event->position().toPoint());
    QWidget::mousePressEvent(event);
}

void TForm1::mouseReleaseEvent(QMouseEvent* event) {
    const bool click =
        m_pressedOnSurface && event->button() == Qt::LeftButton && onFreeSurface(event->position().toPoint());
    m_pressedOnSurface = false;
    if (click)
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

// Closing the window ends the program, so a timing under way is stopped: its handler then returns
// at once and the event loop ends.
void TForm1::closeEvent(QCloseEvent* event) {
    m_controls->stopLongSteps();
    QWidget::closeEvent(event);
}
