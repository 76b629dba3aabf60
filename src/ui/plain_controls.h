#pragma once

// The control classes that add nothing to their Qt twins. They exist so that every control of the
// forms is of the class the program names, and can be found by it.

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

class TButton : public QPushButton {
    Q_OBJECT

public:
    explicit TButton(QWidget* parent = nullptr) : QPushButton(parent) {}
};

// A push button that may carry a glyph; QPushButton's icon covers that.
class TBitBtn : public QPushButton {
    Q_OBJECT

public:
    explicit TBitBtn(QWidget* parent = nullptr) : QPushButton(parent) {}
};

class TCheckBox : public QCheckBox {
    Q_OBJECT

public:
    explicit TCheckBox(QWidget* parent = nullptr) : QCheckBox(parent) {}
};

class TLabel : public QLabel {
    Q_OBJECT

public:
    explicit TLabel(QWidget* parent = nullptr) : QLabel(parent) {}
};

class TGroupBox : public QGroupBox {
    Q_OBJECT

public:
    explicit TGroupBox(QWidget* parent = nullptr) : QGroupBox(parent) {}
};

// The tab strip of a page control: a class of its own, so that a screen reader gets the interface
// ui/accessible_controls.h gives it, in which the page tab in front is the selected one.
class TPageTabBar : public QTabBar {
    Q_OBJECT

public:
    explicit TPageTabBar(QWidget* parent = nullptr);
};

class TPageControl : public QTabWidget {
    Q_OBJECT

public:
    explicit TPageControl(QWidget* parent = nullptr) : QTabWidget(parent) {
        setTabBar(new TPageTabBar(this));
    }
};

class TTabSheet : public QWidget {
    Q_OBJECT

public:
    explicit TTabSheet(QWidget* parent = nullptr) : QWidget(parent) {}
};
