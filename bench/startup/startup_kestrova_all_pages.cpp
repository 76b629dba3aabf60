// Kestrova's start-up with every page built before the window is first shown, as it was before the
// pages not in front were left for after the first paint: the reference for what that saves.

#include <QCoreApplication>

#include "program.h"
#include "shown_probe.h"
#include "ui/TApplication.h"

int main(int argc, char* argv[]) {
    TApplication application(argc, argv);
    ShownProbe probe;
    createForms(TForm1::Pages::AllAtOnce);
    Form1->show();
    return QCoreApplication::exec();
}
