#pragma once

#include <QSlider>

// A horizontal slider with a tick every 10 positions below the bar. changed() fires on every change
// of the position, by the user or by the program.
//
// The groove, ticks and thumb keep kInset pixels clear of the control's left and right edges, as the
// platform's own track bar insets its channel, so that the thumb at either end stays inside: bars
// placed a few pixels over each other (the bitmap tab's overlap by 6) never cover each other's
// thumb, and a press on what shows of a bar's groove lands on that bar. A press in the margins does
// nothing.
class TTrackBar : public QSlider {
    Q_OBJECT
    Q_PROPERTY(int position READ position WRITE setPosition)

public:
    explicit TTrackBar(QWidget* parent = nullptr);

    static constexpr int kInset = 8;

    int position() const;
    void setPosition(int position);

    // Where the thumb is drawn, in the control's coordinates.
    QRect thumbRect() const;

signals:
    void changed();

protected:
    void initStyleOption(QStyleOptionSlider* option) const override;
};
