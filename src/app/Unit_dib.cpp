#include "Unit_dib.h"

#include <QPainter>

#include "ui/screen_fit.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* parent) : QWidget(parent) {
    setupUi(this);
    m_formSize = size();
    QPalette surface = palette();
    surface.setColor(QPalette::Window, surface.color(QPalette::Button));
    setPalette(surface);
    setAutoFillBackground(true);
    // A form resource gives a top-level window its size but not its place on the screen.
    move(428, 9);
    // Each time it is shown, brought within the screen's available area.
    new ui::ScreenFit(this, ui::ScreenFit::Placement::WhereItIs);
    // Only the main window's closing ends the program; this one is just hidden.
    setAttribute(Qt::WA_QuitOnClose, false);
    // The window only shows pictures: showing it, the first time too, leaves the keyboard with the
    // control that asked for the picture.
    setAttribute(Qt::WA_ShowWithoutActivating);
}

TForm2::~TForm2() = default;

void TForm2::drawPicture(const QImage& picture, QPoint at) {
    // Kept as 32-bit pixels, which the window paints as they are: a 24-bit picture would be
    // converted again on every paint (about 0.5 ms against 0.03 ms for 700 x 500). The colours
    // are the same; the caller's picture keeps its own format.
    m_picture = picture.convertToFormat(picture.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                  : QImage::Format_RGB32);
    m_at = at;
    repaint();
}

void TForm2::paintEvent(QPaintEvent*) {
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(m_at, m_picture);
}
