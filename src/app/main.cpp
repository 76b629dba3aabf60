#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "program.h"
#include "ui/TApplication.h"

namespace {

// Qt ends the process with a fatal message when its platform plugin cannot reach the display named
// in the environment. Say that in plain words instead of leaving only Qt's own diagnostics.
void startUpMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "Kestrova cannot open its window: the display could not be reached.\n(%s)\n",
                     message.toLocal8Bit().constData());
        std::_Exit(2);
    }
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
}

} // namespace

// Exit status 2 means that no window could be opened; scripts/run.sh then offers pictures instead.
int main(int argc, char* argv[]) {
    std::string why;
    if (!displayAvailable(why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 2;
    }
    const QtMessageHandler previous = qInstallMessageHandler(startUpMessages);
    TApplication application(argc, argv);
    qInstallMessageHandler(previous);
    return runProgram();
}
