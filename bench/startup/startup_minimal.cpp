// The reference: the least a Qt Widgets program does to show one empty window.

#include <QApplication>
#include <QWidget>

#include "shown_probe.h"

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    ShownProbe probe;
    QWidget window;
    window.show();
    return QApplication::exec();
}
