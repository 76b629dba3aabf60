#include "program.h"

#include <QCoreApplication>

#include <cstdlib>

#include "Unit_dib.h"
#include "Unit_proby.h"
#include "ui/TApplication.h"

bool displayAvailable(std::string& why) {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value != nullptr && *value != '\0';
    };
    if (set("QT_QPA_PLATFORM") || set("DISPLAY") || set("WAYLAND_DISPLAY"))
        return true;
    why = "No display is available (neither DISPLAY nor WAYLAND_DISPLAY is set), so Kestrova cannot "
          "open its window. Start it from a desktop session, or under a virtual display such as "
          "xvfb-run.";
    return false;
}

void createForms() {
    Form2 = new TForm2();
    Form1 = new TForm1(*Form2);
}

void destroyForms() {
    delete Form1;
    Form1 = nullptr;
    delete Form2;
    Form2 = nullptr;
}

int runGuarded(const std::function<void()>& body) {
    try {
        body();
    } catch (...) {
        TApplication::showThrown(std::current_exception());
    }
    return 0;
}

int runProgram() {
    const int result = runGuarded([] {
        createForms();
        Form1->show();
        QCoreApplication::exec();
    });
    destroyForms();
    return result;
}
