#include "ui/TPageControl.h"

TPageControl::TPageControl(QWidget* parent) : QTabWidget(parent) {}
