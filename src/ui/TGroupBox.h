#pragma once

#include <QGroupBox>

class TGroupBox : public QGroupBox {
    Q_OBJECT

public:
    explicit TGroupBox(QWidget* parent = nullptr);
};
