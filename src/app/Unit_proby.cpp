#include "Unit_proby.h"

#include <QApplication>
#include <QFontDatabase>
#include <QGraphicsLayout>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QValueAxis>

#include <memory>
#include <optional>

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
#include "ui/TApplication.h"
#include "ui/caption_fit.h"
#include "ui/screen_fit.h"
#include "window_controls.h"

TForm1* Form1 = nullptr;

namespace {

TForm1::HandlerObserver& handlerObserver() {
    static TForm1::HandlerObserver observer;
    return observer;
}

// The desktop's general font is its sans serif; without a desktop, Qt's generic "Sans Serif" asks
// fontconfig for the default one.
QFont formFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setStyleHint(QFont::SansSerif);
    font.setPointSize(8);
    return font;
}

// Every window of the program is drawn in one font at 8 points on the button-face colour, so these
// are the application's font and background: a control then has nothing of its own to resolve when
// the form moves it onto a tab page. The forms were drawn in "MS Sans Serif", which Linux desktops
// do not have; the desktop's own sans serif at the same point size stands in for it, and captions
// it would make too wide are condensed to fit (see ui/caption_fit.h).
// Returns `parent`, so that the look is in place before the form's own widget is constructed.
QWidget* withFormLook(QWidget* parent) {
    static const bool done = [] {
        QApplication::setFont(formFont());
        QPalette buttonFace = QApplication::palette();
        buttonFace.setColor(QPalette::Window, buttonFace.color(QPalette::Button));
        QApplication::setPalette(buttonFace);
        return true;
    }();
    (void)done;
    return parent;
}

} // namespace

TForm1::TForm1(QWidget* parent) : QWidget(withFormLook(parent)) {
    setupUi(this);
    placeInScrollArea();

    // What a form resource cannot say: a label's own background, a font given in pixels, a
    // system colour, a combo box that shows a text without selecting an item.
    QPalette moneyGreen = LabeledEdit1->label()->palette();
    moneyGreen.setColor(QPalette::Window, QColor(192, 220, 192));
    LabeledEdit1->label()->setPalette(moneyGreen);
    LabeledEdit1->label()->setAutoFillBackground(true);

    QPalette yellow = Label2->palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 0));
    Label2->setPalette(yellow);
    QFont thirteen = Label2->font();
    thirteen.setPixelSize(13);
    Label2->setFont(thirteen);

    Edit11->setColor(QGuiApplication::palette().color(QPalette::Highlight));

    CB2->setItemIndex(-1);
    CB2->setAnsiText("1e+3");

    SavePictureDialog1 = new TSavePictureDialog(this);
    SavePictureDialog1->setObjectName(QStringLiteral("SavePictureDialog1"));
    setUpCharts();

    writeGridHeadings();
    m_controls = std::make_unique<WindowControls>(this);
    wireEvents();

    form_access::setUpKeyboard(*this);
    form_access::nameControls(*this);
    ui::condenseCaptionsToFit(this);
}

TForm1::~TForm1() = default;

QSize TForm1::sizeHint() const { return m_surface->minimumSize(); }

// The form was drawn for a client area of 1110 x 746 pixels. A screen with less room gets a smaller
// window whose content scrolls: the controls move onto a surface of the form's size inside a scroll
// area, at the same places, and remain the form's children. The window opens no larger than the
// screen's available area, and centred in it.
void TForm1::placeInScrollArea() {
    m_surface = new QWidget;
    m_surface->setMinimumSize(size());
    m_surface->resize(size());
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        child->setParent(m_surface);
    m_surface->installEventFilter(this);

    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    // At the window's size before the surface goes in: QScrollArea hides scroll bars it no longer
    // needs only when the event loop next runs, and the window would show them for that moment.
    scroll->resize(size());
    // Tab goes from control to control, not to the area; it scrolls to the control that has the focus.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_surface);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    new ui::ScreenFit(this, ui::ScreenFit::Placement::CentredOnFirstShow,
                      scroll->verticalScrollBar()->sizeHint().width());
}

void TForm1::writeGridHeadings() {
    Dane->setCell(0, 0, " a =");
    Dane->setCell(0, 1, " b =");
    Dane->setCell(0, 2, " c = ");
    Dane->setCell(0, 3, " d =");
    Dane->setCell(1, 0, "1");
    Dane->setCell(1, 1, "-9");
    Dane->setCell(1, 2, "27");
    Dane->setCell(1, 3, "-27");
    Eq3->setCell(0, 0, "   root");
    Eq3->setCell(1, 0, "   realis");
    Eq3->setCell(2, 0, "   imaginalis");
    Eq3->setCell(3, 0, "   value for root /abs/");
    Eq3->setCell(0, 1, "   x1   =");
    Eq3->setCell(0, 2, "   x2   =");
    Eq3->setCell(0, 3, "   x3  =");
}

TForm1::HandlerObserver TForm1::setHandlerObserver(HandlerObserver observer) {
    std::swap(handlerObserver(), observer);
    return observer;
}

void TForm1::run(Handler handler, QObject* sender, const char* name) {
    if (handlerObserver())
        handlerObserver()(name);
    (this->*handler)(sender);
}

template <class Sender, class Signal>
void TForm1::wire(Sender* sender, Signal signal, Handler handler, const char* name) {
    ui::connectGuarded(sender, signal, this, [this, sender, handler, name] { run(handler, sender, name); });
}

void TForm1::wireEvents() {
    wire(Button3, &TButton::clicked, &TForm1::Button3Click, "Button3Click");
    wire(Button8, &TButton::clicked, &TForm1::Button3Click, "Button3Click");
    wire(BitBtn3, &TBitBtn::clicked, &TForm1::BitBtn3Click, "BitBtn3Click");
    wire(Button1, &TButton::clicked, &TForm1::Button1Click, "Button1Click");
    wire(BitBtn2, &TBitBtn::clicked, &TForm1::BitBtn2Click, "BitBtn2Click");
    wire(BitBtn1, &TBitBtn::clicked, &TForm1::BitBtn1Click, "BitBtn1Click");
    wire(Macierze, &TButton::clicked, &TForm1::MacierzeClick, "MacierzeClick");
    wire(Button2, &TButton::clicked, &TForm1::Button2Click, "Button2Click");
    wire(CB2, &TComboBox::changed, &TForm1::CB2Change, "CB2Change");
    wire(Rownanie3, &TBitBtn::clicked, &TForm1::Rownanie3Click, "Rownanie3Click");
    wire(przypadekD, &TRadioGroup::clicked, &TForm1::Rownanie3Click, "Rownanie3Click");
    wire(Button6, &TButton::clicked, &TForm1::Button6Click, "Button6Click");
    wire(CSpinEdit1, &TCSpinEdit::changed, &TForm1::Button6Click, "Button6Click");
    wire(rok1, &TCSpinEdit::changed, &TForm1::Button6Click, "Button6Click");
    wire(rok2, &TCSpinEdit::changed, &TForm1::Button6Click, "Button6Click");
    wire(Button4, &TButton::clicked, &TForm1::Button4Click, "Button4Click");
    wire(Button5, &TButton::clicked, &TForm1::Button5Click, "Button5Click");
    wire(Button7, &TButton::clicked, &TForm1::Button7Click, "Button7Click");
    wire(RedMax, &TTrackBar::changed, &TForm1::Button7Click, "Button7Click");
    wire(GreenMax, &TTrackBar::changed, &TForm1::Button7Click, "Button7Click");
    wire(BlueMax, &TTrackBar::changed, &TForm1::Button7Click, "Button7Click");
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
        TApplication::guarded([this] { run(&TForm1::Button1Click, this, "Button1Click"); });
    QWidget::mouseReleaseEvent(event);
}

// Closing the window ends the program, so a timing under way is stopped: its handler then returns
// at once and the event loop ends.
void TForm1::closeEvent(QCloseEvent* event) {
    m_controls->stopLongSteps();
    QWidget::closeEvent(event);
}

namespace {

// Pointer sizes are half-widths: a pointer of size n is 2n + 1 pixels across, so that the sizes 1
// and 2 of the series still give markers one can see.
int pointerPixels(int size) { return 2 * size + 1; }

TPointSeries* makeSeries(TChart* chart, const char* name, const QString& title, const QColor& color,
                         TPointSeries::PointerStyle style, int size, const QColor& fill, bool outline) {
    auto* series = new TPointSeries();
    series->setObjectName(QString::fromLatin1(name));
    series->setTitle(title);
    series->setColor(color);
    series->setPointerStyle(style);
    series->setPointerSize(pointerPixels(size));
    series->setPointerFill(fill);
    series->setPointerOutline(outline);
    series->setXValuesAscending(true);
    chart->addSeries(series);
    return series;
}

} // namespace

void TForm1::setUpCharts() {
    using Style = TPointSeries::PointerStyle;
    Series1 = makeSeries(Chart1, "Series1", QStringLiteral("Series1"), Qt::red, Style::Circle, 1,
                         QColor(0, 128, 255), false);
    Series2 = makeSeries(Chart2, "Series2", QStringLiteral("marzec"), Qt::red, Style::Square, 2,
                         QColor(255, 255, 0), true);
    Series3 = makeSeries(Chart2, "Series3", QStringLiteral("kwiecień"), QColor(0, 128, 0), Style::Square, 2,
                         QColor(0, 255, 0), true);

    // Days of the month on a fixed scale, 0 to 31; the points of -1 fall below it. The tick count
    // says one tick per day, but the ticks are dynamic: labelled down from 31, so that the last day
    // of March can be read, as many as there is room for, with a minor grid line on every day.
    // Years on whole numbers, each once.
    QValueAxis* days = Chart2->leftAxis();
    days->setRange(0, 31);
    days->setTickCount(32);
    Chart2->setWholeTicks(days, TChart::WholeTicks::DownFromMaximum);
    Chart2->setWholeTicks(Chart2->bottomAxis(), TChart::WholeTicks::Multiples);
    days->setTruncateLabels(false);
    days->setTitleText(QStringLiteral("dzień miesiąca"));
    days->setTitleBrush(QColor(0, 0, 255));

    // Measuring the 32 day labels is the costliest part of laying out a chart, and loading the
    // title's font comes next; the Easter chart is on a tab not shown at start, so its axes stay
    // hidden, and the title in the form's font, until it is first seen.
    Chart2->leftAxis()->setVisible(false);
    Chart2->bottomAxis()->setVisible(false);
    Chart2->installEventFilter(this);
}

bool TForm1::eventFilter(QObject* watched, QEvent* event) {
    // The status bar stays docked to the surface's bottom edge whatever the window's size.
    if (watched == m_surface && event->type() == QEvent::Resize)
        StatusBar1->setGeometry(0, m_surface->height() - StatusBar1->height(), m_surface->width(),
                                StatusBar1->height());
    if (watched == Chart2 && event->type() == QEvent::Show && !m_chart2Seen) {
        m_chart2Seen = true;
        QFont arial(QStringLiteral("Arial"));
        arial.setPixelSize(13);
        Chart2->leftAxis()->setTitleFont(arial);
        Chart2->leftAxis()->setVisible(true);
        Chart2->bottomAxis()->setVisible(true);
        // Laid out now, so that the first paint already has the axes.
        Chart2->chart()->layout()->activate();
    }
    return QWidget::eventFilter(watched, event);
}

// ---- Handlers ----
// Each experiment runs its steps against the window's controls in their order (see
// experiments/controls.h); a handler only hands it the controls and the user's number format.

void TForm1::Button1Click(QObject*) { experiments::Button1(*m_controls, TApplication::formatSettings()); }

void TForm1::Button2Click(QObject*) { experiments::Button2(*m_controls, TApplication::formatSettings()); }

// Both buttons of the first tab are placeholders and do nothing.
void TForm1::Button3Click(QObject*) {}

void TForm1::Button4Click(QObject*) { experiments::Button4(*m_controls, TApplication::formatSettings()); }

void TForm1::Button5Click(QObject*) { experiments::Button5(*m_controls, TApplication::formatSettings()); }

void TForm1::Button6Click(QObject*) { experiments::Button6(*m_controls, TApplication::formatSettings()); }

void TForm1::Button7Click(QObject*) { experiments::Button7(*m_controls, TApplication::formatSettings()); }

void TForm1::BitBtn1Click(QObject*) { experiments::BitBtn1(*m_controls, TApplication::formatSettings()); }

void TForm1::BitBtn2Click(QObject*) { experiments::BitBtn2(*m_controls, TApplication::formatSettings()); }

void TForm1::BitBtn3Click(QObject*) { m_product.BitBtn3(*m_controls, TApplication::formatSettings()); }

void TForm1::MacierzeClick(QObject*) { experiments::Macierze(*m_controls, TApplication::formatSettings()); }

void TForm1::CB2Change(QObject*) { experiments::CB2(*m_controls, TApplication::formatSettings()); }

void TForm1::Rownanie3Click(QObject*) { experiments::Rownanie3(*m_controls, TApplication::formatSettings()); }
