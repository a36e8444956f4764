#pragma once

#include <functional>

// SIGTERM (the desktop session ending, `kill`) and SIGINT (Ctrl+C in a
// terminal) close the windows as the user would, so the settings are written
// as at any close. Call once, after the application object exists;
// beforeClosing runs first, on the event loop.
//
// SIGXFSZ (a per-process file size limit reached) is ignored, so a write
// past the limit fails and is reported instead of ending the program.
void CloseWindowsOnTerminationSignals(std::function<void()> beforeClosing = {});
