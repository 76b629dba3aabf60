#pragma once

#include <QPushButton>

// A push button that may carry a glyph; QPushButton's icon covers that.
class TBitBtn : public QPushButton {
    Q_OBJECT

public:
    explicit TBitBtn(QWidget* parent = nullptr);
};
