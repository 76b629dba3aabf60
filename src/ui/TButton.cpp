#include "ui/TButton.h"

TButton::TButton(QWidget* parent) : QPushButton(parent) {}
