// What this program has taken away from the desk (the taskbar, the desktop
// window), kept where a watcher can read it. The watcher is a program of its
// own beside this one (DorvaneWatch.exe): no window, no settings; it waits
// for this process to end, however it ends (a kill by name or of the process
// tree, the end of its job, a crash), and then shows again what this process
// had hidden and was still hiding. What was hidden before, by the user or
// another program, it leaves alone.
#pragma once

#include <windows.h>

#include <string>

#include "core/DeskWatch.h"
#include "win32/WinSupport.h"

// DorvaneWatch.exe beside the running program.
std::wstring DeskWatcherPath();

class TDeskGuard {
 public:
  // watcher: the watcher program; empty: none is started.
  explicit TDeskGuard(std::wstring watcher);
  ~TDeskGuard();
  TDeskGuard(const TDeskGuard&) = delete;
  TDeskGuard& operator=(const TDeskGuard&) = delete;

  // HideTaskbar and HideDesktopWindow, remembered.
  void HideTaskbar(bool hide);
  bool HideDesktopWindow(bool hide);
  // Whether the last call asked for the window to be hidden.
  bool TaskbarHidden() const { return FTaskbarHidden; }
  bool DesktopHidden() const { return FDesktopHidden; }
  // The watcher's process id once it runs; 0 before.
  DWORD WatcherId();

 private:
  // Hides or shows `window` through `apply`; a visible window hidden is
  // taken (the watcher gives it back) until it is shown again.
  bool Change(HWND window, bool hide, HWND& taken, bool (*apply)(bool hide));
  void Publish();
  // Whether a watcher runs, or is on its way; follows the relay to the
  // watcher it started.
  bool WatcherRuns();
  void StartWatcher();

  std::wstring FWatcher;
  bool FTaskbarHidden = false, FDesktopHidden = false;
  // Visible when this program hid it: the watcher gives it back.
  HWND FTaskbarTaken = nullptr, FDesktopTaken = nullptr;
  UniqueHandle FMapping;
  TDeskShared* FShared = nullptr;
  // The relay while it runs, then the watcher it started.
  UniqueHandle FWatcherProcess;
  bool FRelayed = false;
  DWORD FWatcherId = 0;
};
