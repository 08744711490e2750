// Dorvane's entry: the desk watcher when started as one, else the program.
#include <windows.h>

#include "win32/DeskGuard.h"
#include "win32/ProgramEntry.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (const std::optional<int> watched = RunDeskWatcherIfAsked()) return *watched;
  return RunDorvane(instance);
}
