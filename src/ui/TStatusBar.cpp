#include "ui/TStatusBar.h"

#include <QLabel>

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) {
    for (QLabel*& panel : m_panels) {
        panel = new QLabel(this);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        panel->setFixedWidth(kPanelWidth);
        addWidget(panel);
    }
}

int TStatusBar::panelCount() const { return kPanelCount; }

QLabel* TStatusBar::panel(int index) const {
    return index >= 0 && index < kPanelCount ? m_panels[index] : nullptr;
}
