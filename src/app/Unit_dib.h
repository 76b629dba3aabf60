#pragma once

// The viewer window of the bitmap experiment: no controls, no handlers. It stays hidden until the
// bitmap tab draws on it; closing it only hides it.

#include <QWidget>

#include "ui_Unit_dib.h"

class TForm2 : public QWidget, public Ui::TForm2 {
    Q_OBJECT

public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;
};

// The one viewer window, from its creation at start-up to the end of the run.
extern TForm2* Form2;
