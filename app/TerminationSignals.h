#pragma once

// SIGTERM (the desktop session ending, `kill`) and SIGINT (Ctrl+C in a
// terminal) close the windows as the user would, so the settings are written
// as at any close. Call once, after the application object exists.
void CloseWindowsOnTerminationSignals();
