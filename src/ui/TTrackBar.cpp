#include "ui/TTrackBar.h"

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 10);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(10);
    connect(this, &QSlider::valueChanged, this, [this] { emit changed(); });
}

int TTrackBar::position() const { return value(); }

void TTrackBar::setPosition(int position) { setValue(position); }
