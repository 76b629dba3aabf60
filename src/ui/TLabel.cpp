#include "ui/TLabel.h"

TLabel::TLabel(QWidget* parent) : QLabel(parent) {}
