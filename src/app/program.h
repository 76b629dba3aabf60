#pragma once

// The program's run, from the application object to the end of the message loop, as separate steps
// so that the start-up benchmark and the tests go through the same code as main().

#include <functional>
#include <string>
#include <vector>

#include "Unit_proby.h"

// Whether a window can be opened at all. Without a display Qt would abort inside the
// application's constructor; `why` then says so in words a user understands.
bool displayAvailable(std::string& why);

// The one sentence, in Polish, for a start-up that could not open a window, made from what Qt said
// while it tried (its warnings, then its fatal message). Qt's own lines are not repeated: they end in
// advice to reinstall the program, which is never the cure. Examples:
//   {"Could not find the Qt platform plugin \"nosuch\" in \"\"", "This application failed ...
//    Available platform plugins are: offscreen, xcb."}
//   -> "Kestrova nie może otworzyć okna: nie zna platformy „nosuch”. Zna platformy: offscreen, xcb."
//   {"could not connect to display :99", ...} -> "Kestrova nie może otworzyć okna: nie może połączyć
//   się z ekranem „:99”."
std::string windowFailure(const std::vector<std::string>& qtMessages);

// Start-up after the application object: the hidden viewer window, then the main window, whose
// pages are built as `pages` says. Sets Form1 and Form2.
void createForms(TForm1::Pages pages = TForm1::Pages::AllAtOnce);

// Destroys both windows and clears Form1 and Form2.
void destroyForms();

// Runs `body` and shows whatever escapes it as an event handler's failure is shown
// (TApplication::showThrown). Always returns 0, the program's exit code.
int runGuarded(const std::function<void()>& body);

// The whole run: create the windows, show the main one, dispatch events until it closes, destroy
// the windows. Failures are shown as runGuarded says. Returns 0.
int runProgram();
