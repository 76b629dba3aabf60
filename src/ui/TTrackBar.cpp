#include "ui/TTrackBar.h"

#include <QStyle>
#include <QStyleOptionSlider>

TTrackBar::TTrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 10);
    setTickPosition(QSlider::TicksBelow);
    setTickInterval(10);
    connect(this, &QSlider::valueChanged, this, [this] { emit changed(); });
}

int TTrackBar::position() const { return value(); }

void TTrackBar::setPosition(int position) { setValue(position); }

QRect TTrackBar::thumbRect() const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
}

// Qt's slider draws, hit-tests and maps a press to a position from this one option, so narrowing its
// rectangle moves all three alike.
void TTrackBar::initStyleOption(QStyleOptionSlider* option) const {
    QSlider::initStyleOption(option);
    option->rect.adjust(kInset, 0, -kInset, 0);
}
