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
        m_product.BitBtn3(w, fs);
    };
    const Experiment timing = [](experiments::Controls& w, const numtext::FormatSettings& fs) {
        experiments::Button2(w, fs);
    };
    const HandlerRow rows[] = {
        {on(this, &TForm1::clicked), experiments::Button1, "Button1Click"},
        // Both buttons of the first tab are placeholders and do nothing.
        {on(Button3, &TButton::clicked), nothing, "Button3Click"},
        {on(Button8, &TButton::clicked), nothing, "Button3Click"},
        {on(BitBtn3, &TBitBtn::clicked), product, "BitBtn3Click"},
        {on(Button1, &TButton::clicked), experiments::Button1, "Button1Click"},
        {on(BitBtn2, &TBitBtn::clicked), experiments::BitBtn2, "BitBtn2Click"},
        {on(BitBtn1, &TBitBtn::clicked), experiments::BitBtn1, "BitBtn1Click"},
        {on(Macierze, &TButton::clicked), experiments::Macierze, "MacierzeClick"},
        {on(Button2, &TButton::clicked), timing, "Button2Click"},
        {on(CB2, &TComboBox::changed), experiments::CB2, "CB2Change"},
        {on(Rownanie3, &TBitBtn::clicked), experiments::Rownanie3, "Rownanie3Click"},
        {on(przypadekD, &TRadioGroup::clicked), experiments::Rownanie3, "Rownanie3Click"},
        {on(Button6, &TButton::clicked), experiments::Button6, "Button6Click"},
        {on(CSpinEdit1, &TCSpinEdit::changed), experiments::Button6, "Button6Click"},
        {on(rok1, &TCSpinEdit::changed), experiments::Button6, "Button6Click"},
        {on(rok2, &TCSpinEdit::changed), experiments::Button6, "Button6Click"},
        {on(Button4, &TButton::clicked), experiments::Button4, "Button4Click"},
        {on(Button5, &TButton::clicked), experiments::Button5, "Button5Click"},
        {on(Button7, &TButton::clicked), experiments::Button7, "Button7Click"},
        {on(RedMax, &TTrackBar::changed), experiments::Button7, "Button7Click"},
        {on(GreenMax, &TTrackBar::changed), experiments::Button7, "Button7Click"},
        {on(BlueMax, &TTrackBar::changed), experiments::Button7, "Button7Click"},
    };
    for (const HandlerRow& row : rows) {
        row.event.connect(this, [this, experiment = row.experiment, name = row.handler] {
            if (handlerObserver())
                handlerObserver()(name);
            m_controls->runHandler([&] { experiment(*m_controls, TApplication::formatSettings()); });
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
