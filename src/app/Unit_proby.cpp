#include "Unit_proby.h"

#include <QMouseEvent>

#include <memory>

#include "Unit_dib.h"
#include "form_access.h"
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
    m_tabs = tabs::homes(*this);
    wireEvents();

    form_access::setUpKeyboard(*this, m_tabs);
    form_access::nameControls(*this, m_tabs);
    ui::condenseCaptionsToFit(this);
}

TForm1::~TForm1() = default;

TForm1::HandlerObserver TForm1::setHandlerObserver(HandlerObserver observer) {
    std::swap(handlerObserver(), observer);
    return observer;
}

// Every event of every tab. Each handler takes its format settings when it runs, so a change of the
// system's locale applies from the next event on.
void TForm1::wireEvents() {
    for (const tabs::Tab& tab : m_tabs)
        for (const tabs::HandlerRow& row : tab.handlers)
            row.connect(this, [this, experiment = row.experiment, name = row.handler] {
                if (handlerObserver())
                    handlerObserver()(name);
                const numtext::FormatSettings fs = TApplication::formatSettings();
                m_controls->runHandler(fs, [&] { experiment(*m_controls, fs); });
            });
}

const std::vector<tabs::Tab>& TForm1::tabHomes() const { return m_tabs; }

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
