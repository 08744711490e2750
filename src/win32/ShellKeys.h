// While one lives, a low-level keyboard hook keeps the shell's keys (the
// rule is core/ShellKeys) from reaching the shell: the option BlockShellKeys.
#pragma once

#include <windows.h>

#include "core/ShellKeys.h"

class TShellKeyBlock {
 public:
  // Installs the hook for this thread's life; throws with the system's
  // reason when it cannot. One at a time in a process.
  TShellKeyBlock();
  ~TShellKeyBlock();
  TShellKeyBlock(const TShellKeyBlock&) = delete;
  TShellKeyBlock& operator=(const TShellKeyBlock&) = delete;

 private:
  // The filter's answer and nothing more: Windows removes a hook that is
  // slower than its LowLevelHooksTimeout, silently.
  static LRESULT CALLBACK HookProc(int code, WPARAM wParam, LPARAM lParam) noexcept;
  static TShellKeyFilter FFilter;
  HHOOK FHook;
};
