#include "ui/TCheckBox.h"

TCheckBox::TCheckBox(QWidget* parent) : QCheckBox(parent) {}
