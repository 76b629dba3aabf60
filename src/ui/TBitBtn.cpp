#include "ui/TBitBtn.h"

TBitBtn::TBitBtn(QWidget* parent) : QPushButton(parent) {}
