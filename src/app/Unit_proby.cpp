#include "Unit_proby.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWindow>

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

namespace {

// Starts the building of the pages not shown at start once the window's first paint is done, and
// builds them at once if an input event comes first, before it reaches anything.
class RemainingPages : public QObject {
public:
    explicit RemainingPages(TForm1* form) : QObject(form), m_form(form) {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->isInputEvent()) {
            build();
        } else if (event->type() == QEvent::Expose && !m_scheduled && watched == m_form->windowHandle() &&
                   m_form->windowHandle()->isExposed()) {
            // Widgets paint while the expose is handled; the timer runs once that is done.
            m_scheduled = true;
            QTimer::singleShot(0, this, [this] { build(); });
        }
        return false;
    }

private:
    void build() {
        QCoreApplication::instance()->removeEventFilter(this);
        m_form->buildRemainingPages();
    }

    TForm1* m_form;
    bool m_scheduled = false;
};

} // namespace

TForm1::TForm1(TForm2& viewer, QWidget* parent, Pages pages) : QWidget(withFormLook(parent)) {
    setupUi(this);
    addPages();
    setUpLook();
    auto* saveDialog = new TSavePictureDialog(this);
    saveDialog->setObjectName(QStringLiteral("SavePictureDialog1"));
    m_controls = std::make_unique<WindowControls>(this, viewer);
    // The viewer was placed beside the controls of the page then in front; another page's controls
    // may lie under it, and the keyboard would go to them unseen.
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { m_controls->keepViewerAside(); });

    buildPage(static_cast<std::size_t>(PageControl1->currentIndex()));
    form_access::addTabShortcuts(*this);
    ui::condenseCaptionsToFit(this);
    if (pages == Pages::AllAtOnce)
        buildRemainingPages();
    else
        new RemainingPages(this);
}

// An empty sheet for every tab, with its caption, so that the tab strip is complete from the start.
void TForm1::addPages() {
    m_homes = tabs::homes(*this);
    for (const tabs::Home& home : m_homes) {
        auto* sheet = new TTabSheet;
        sheet->setObjectName(QString::fromLatin1(home.sheet));
        PageControl1->addTab(sheet, QString::fromUtf8(home.caption));
        if (home.inFrontAtStart)
            PageControl1->setCurrentWidget(sheet);
        m_tabs.push_back(tabs::Tab{sheet, {}, {}, {}});
    }
    m_built.assign(m_homes.size(), false);
}

void TForm1::buildPage(std::size_t index) {
    m_built[index] = true;
    m_tabs[index] = m_homes[index].build(static_cast<TTabSheet*>(m_tabs[index].page));
    wireEvents(m_tabs[index]);
}

void TForm1::buildRemainingPages() {
    if (m_allPagesBuilt)
        return;
    m_allPagesBuilt = true;
    // Their captions are condensed when each is first shown (see condenseCaptionsToFit).
    for (std::size_t i = 0; i < m_tabs.size(); ++i)
        if (!m_built[i])
            buildPage(i);
    form_access::setUpKeyboard(*this, m_tabs);
    form_access::nameControls(*this, m_tabs);
}

TForm1::~TForm1() = default;

TForm1::HandlerObserver TForm1::setHandlerObserver(HandlerObserver observer) {
    std::swap(handlerObserver(), observer);
    return observer;
}

// Every event of a tab. Each handler takes its format settings when it runs, so a change of the
// system's locale applies from the next event on.
void TForm1::wireEvents(const tabs::Tab& tab) {
    for (const tabs::HandlerRow& row : tab.handlers)
        row.connect(this, [this, experiment = row.experiment, name = row.handler,
                           sender = qobject_cast<QWidget*>(row.sender)] {
            if (handlerObserver())
                handlerObserver()(name);
            const numtext::FormatSettings fs = TApplication::formatSettings();
            m_controls->runHandler(
                fs, [&] { experiment(*m_controls, fs); }, sender);
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
