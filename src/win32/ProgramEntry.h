// The program's run as the entry makes it: the single-instance check, the
// splash window, the main window and the message loop.
#pragma once

#include <windows.h>

#include "win32/MainWin.h"

// Returns the process's exit code. A failure while the windows are built
// gives the desk back (the main window's going does that), is reported in
// an error box and ends the run with exit code 1.
int RunDorvane(HINSTANCE instance, const TMainFormEnv& env = {});
