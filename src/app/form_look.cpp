// How the main window looks: its font and colours, the scroll area that holds the form on a small
// screen, the grids' headings and the charts' series and axes. What it does is in Unit_proby.cpp.

#include <QApplication>
#include <QFontDatabase>
#include <QGraphicsLayout>
#include <QGuiApplication>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <QValueAxis>

#include "Unit_proby.h"
#include "ui/TPointSeries.h"
#include "ui/screen_fit.h"

namespace {

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
} // namespace

QWidget* TForm1::withFormLook(QWidget* parent) {
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

// What a form resource cannot say: a label's own background, a font given in pixels, a system
// colour; then the scroll area, the grids' headings and the charts.
void TForm1::setUpLook() {
    placeInScrollArea();

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

    writeGridHeadings();
    setUpCharts();
}

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

namespace {

// Pointer sizes are half-widths: a pointer of size n is 2n + 1 pixels across, so that the sizes 1
// and 2 of the series still give markers one can see.
int pointerPixels(int size) { return 2 * size + 1; }

void makeSeries(TChart* chart, const char* name, const QString& title, const QColor& color,
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
}

} // namespace

void TForm1::setUpCharts() {
    using Style = TPointSeries::PointerStyle;
    makeSeries(Chart1, "Series1", QStringLiteral("Series1"), Qt::red, Style::Circle, 1, QColor(0, 128, 255),
               false);
    makeSeries(Chart2, "Series2", QStringLiteral("marzec"), Qt::red, Style::Square, 2, QColor(255, 255, 0),
               true);
    makeSeries(Chart2, "Series3", QStringLiteral("kwiecień"), QColor(0, 128, 0), Style::Square, 2,
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
