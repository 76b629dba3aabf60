#pragma once

#include <QStatusBar>

class QLabel;

// A status bar with two sunken panels of 50 pixels each, left-aligned, that stay empty.
class TStatusBar : public QStatusBar {
    Q_OBJECT

public:
    static constexpr int kPanelCount = 2;
    static constexpr int kPanelWidth = 50;

    explicit TStatusBar(QWidget* parent = nullptr);

    int panelCount() const;
    QLabel* panel(int index) const;

private:
    QLabel* m_panels[kPanelCount] = {};
};
