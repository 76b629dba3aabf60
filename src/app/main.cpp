#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "command_line.h"
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

// Exit status 1 means a mistake on the command line; 2 that no window could be opened, and
// scripts/run.sh then offers pictures instead.
int main(int argc, char* argv[]) {
    const CommandLine commandLine = parseCommandLine(argc, argv);
    switch (commandLine.action) {
    case CommandLine::Action::PrintAndEnd:
        std::fputs(commandLine.text.c_str(), stdout);
        return 0;
    case CommandLine::Action::Refuse:
        std::fputs(commandLine.text.c_str(), stderr);
        return 1;
    case CommandLine::Action::Run:
        break;
    }
    std::string why;
    if (!commandLine.platformGiven && !displayAvailable(why)) {
        std::fprintf(stderr, "%s\n", why.c_str());
        return 2;
    }
    const QtMessageHandler previous = qInstallMessageHandler(startUpMessages);
    TApplication application(argc, argv);
    qInstallMessageHandler(previous);
    return runProgram();
}
