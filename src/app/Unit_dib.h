#pragma once

// The viewer window of the bitmap experiment: no controls, no handlers. It stays hidden until the
// bitmap tab draws on it; closing it only hides it. A screen reader finds the picture in it as an
// image, described by the window's description, which gives the picture's size and its brightest
// red, green and blue.

#include <QImage>
#include <QPoint>
#include <QWidget>

#include "ui_Unit_dib.h"

class TForm2 : public QWidget, public Ui::TForm2 {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    // The client size the form was drawn for: the window's size wherever the screen has room for it.
    QSize sizeHint() const override { return m_formSize; }

    // Draws a picture on the window's client area with its top-left corner at `at`, painting it at
    // once. The window keeps a copy of the last picture, in 32-bit pixels, and paints it again
    // whenever it is uncovered or restored.
    void drawPicture(const QImage& picture, QPoint at);
    const QImage& picture() const { return m_picture; }
    QPoint pictureAt() const { return m_at; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void keep(const QImage& picture);

    QSize m_formSize;
    QImage m_picture;
    QPoint m_at;
};

// The one viewer window, from its creation at start-up to the end of the run.
extern TForm2* Form2;
