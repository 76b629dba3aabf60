#pragma once

#include <QCheckBox>

class TCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit TCheckBox(QWidget* parent = nullptr);
};
