#include "ui/TTrackBar.h"

#include "numtext/fpenv.h"

using numtext::FlagGuard;

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    FlagGuard guard;
    setRange(0, 10);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(10);
    connect(this, &QSlider::valueChanged, this, [this] { emit changed(); });
}

int TTrackBar::position() const { return value(); }

void TTrackBar::setPosition(int position) {
    FlagGuard guard;
    setValue(position);
}
