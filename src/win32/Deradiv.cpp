// Dorvane's entry.
#include <windows.h>

#include "win32/ProgramEntry.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return RunDorvane(instance); }
