#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "command_line.h"
#include "program.h"
#include "ui/TApplication.h"

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

namespace {

// On Windows the program is a windowed one, so that starting it from the Start menu opens no
// console beside its window; started from a console, it then has no standard output of its own.
// Its help, version and refusals go to that console, unless the output was redirected, which
// Windows hands over as it is.
void writeToTheStartingConsole() {
#ifdef _WIN32
    if (GetStdHandle(STD_OUTPUT_HANDLE) == nullptr && AttachConsole(ATTACH_PARENT_PROCESS)) {
        std::freopen("CONOUT$", "w", stdout);
        std::freopen("CONOUT$", "w", stderr);
    }
#endif
}

// What Qt says while the application object starts. Held back until it is known whether a window
// could be opened: when none can, Qt ends the process with a fatal message, and the user gets one
// plain sentence instead of Qt's lines.
std::vector<std::string>& startUpMessages() {
    static std::vector<std::string> messages;
    return messages;
}

void holdStartUpMessage(QtMsgType type, const QMessageLogContext&, const QString& message) {
    startUpMessages().push_back(message.toStdString());
    if (type == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", windowFailure(startUpMessages()).c_str());
        std::_Exit(2);
    }
}

} // namespace

// Exit status 1 means a mistake on the command line; 2 that no window could be opened, and
// scripts/run.sh then offers pictures instead.
int main(int argc, char* argv[]) {
    const CommandLine commandLine = parseCommandLine(argc, argv);
    if (commandLine.action != CommandLine::Action::Run)
        writeToTheStartingConsole();
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
    const QtMessageHandler previous = qInstallMessageHandler(holdStartUpMessage);
    TApplication application(argc, argv);
    qInstallMessageHandler(previous);
    for (const std::string& message : startUpMessages())
        std::fprintf(stderr, "%s\n", message.c_str());
    return runProgram();
}
