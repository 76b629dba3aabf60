#include "Unit_dib.h"

#include <QPainter>

#include "numtext/fpenv.h"

TForm2* Form2 = nullptr;

TForm2::TForm2(QWidget* parent) : QWidget(parent) {
    setupUi(this);
    QPalette surface = palette();
    surface.setColor(QPalette::Window, surface.color(QPalette::Button));
    setPalette(surface);
    setAutoFillBackground(true);
    // A form resource gives a top-level window its size but not its place on the screen.
    move(428, 9);
    // Only the main window's closing ends the program; this one is just hidden.
    setAttribute(Qt::WA_QuitOnClose, false);
}

TForm2::~TForm2() = default;

void TForm2::drawPicture(const QImage& picture, QPoint at) {
    const numtext::FlagGuard keepFlags;
    m_picture = picture.copy();
    m_at = at;
    repaint();
}

void TForm2::paintEvent(QPaintEvent*) {
    const numtext::FlagGuard keepFlags;
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(m_at, m_picture);
}
