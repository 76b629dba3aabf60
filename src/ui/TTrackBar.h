#pragma once

#include <QSlider>

// A horizontal slider with a tick every 10 positions below the bar. changed() fires on every change
// of the position, by the user or by the program.
class TTrackBar : public QSlider {
    Q_OBJECT
    Q_PROPERTY(int position READ position WRITE setPosition)

public:
    explicit TTrackBar(QWidget* parent = nullptr);

    int position() const;
    void setPosition(int position);

signals:
    void changed();
};
