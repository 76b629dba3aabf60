#pragma once

#include <QWidget>

class TTabSheet : public QWidget {
    Q_OBJECT

public:
    explicit TTabSheet(QWidget* parent = nullptr);
};
