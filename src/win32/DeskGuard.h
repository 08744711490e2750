// What this program has taken away from the desk (the taskbar, the desktop
// window), kept where a watcher can read it. The watcher is a copy of the
// program started in a mode of its own: no window, no settings, it waits for
// this process to end, however it ends (a kill, a crash), and then shows
// again what this process had hidden and was still hiding. What was hidden
// before, by the user or another program, it leaves alone.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "win32/WinSupport.h"

inline constexpr wchar_t kDeskWatchSwitch[] = L"--desk-watch";

// What the watcher reads: the windows to give back.
struct TDeskShared;

class TDeskGuard {
 public:
  // watcher: the program to start as the watcher; empty: none is started.
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
  // The watcher's process id; 0 while none was started.
  DWORD WatcherId() const { return FWatcherId; }

 private:
  // Hides or shows `window` through `apply`; a visible window hidden is
  // taken (the watcher gives it back) until it is shown again.
  bool Change(HWND window, bool hide, bool& taken, bool (*apply)(bool hide));
  void Publish();
  void StartWatcher();

  std::wstring FWatcher;
  bool FTaskbarHidden = false, FDesktopHidden = false;
  // Visible when this program hid it: the watcher gives it back.
  bool FTaskbarTaken = false, FDesktopTaken = false;
  UniqueHandle FMapping;
  TDeskShared* FShared = nullptr;
  DWORD FWatcherId = 0;
  bool FWatcherTried = false;
};

// When this process was started as a watcher: does the watching and gives
// the exit code. Otherwise nothing.
std::optional<int> RunDeskWatcherIfAsked();
