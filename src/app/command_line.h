#pragma once

// What the program does with its command line. It needs no display: `--help` and `--version`
// answer in a terminal, and a mistyped option is reported there, before any window is opened.
// Qt's own options (-platform, -style, -reverse, ...) pass through to the application object.

#include <string>

struct CommandLine {
    enum class Action {
        Run,         // open the window
        PrintAndEnd, // `text` goes to standard output, exit status 0
        Refuse,      // `text` goes to standard error, exit status 1
    };
    Action action = Action::Run;
    std::string text;
    // Whether a -platform option names the window system, so that no DISPLAY is needed.
    bool platformGiven = false;
};

// argv as main() receives it. Examples: {"kestrova", "--version"} -> PrintAndEnd "kestrova 0.1.0\n";
// {"kestrova", "-platform", "offscreen"} -> Run with platformGiven; {"kestrova", "--frobnicate"} ->
// Refuse "kestrova: nieznana opcja „frobnicate”.\nWięcej informacji: „kestrova --help”.\n".
CommandLine parseCommandLine(int argc, const char* const argv[]);
