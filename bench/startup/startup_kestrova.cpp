// Kestrova's start-up exactly as main() runs it, with the probe watching for the main window.

#include "program.h"
#include "shown_probe.h"
#include "ui/TApplication.h"

int main(int argc, char* argv[]) {
    TApplication application(argc, argv);
    ShownProbe probe;
    return runProgram();
}
