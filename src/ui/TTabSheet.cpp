#include "ui/TTabSheet.h"

TTabSheet::TTabSheet(QWidget* parent) : QWidget(parent) {}
