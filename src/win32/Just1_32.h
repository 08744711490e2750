// One running copy of the program at a time. The entry makes the check
// before anything else; the splash window then has TJustOne32 act on it,
// which ends a second copy after bringing the first one forward.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "win32/WinSupport.h"

// Whether another copy was running when this one started: decided by a
// named mutex made from the executable's file name, which the first copy
// holds until it ends.
class TPreviousInstance {
 public:
  // Nothing checked: no other copy.
  TPreviousInstance() = default;
  // The check for the executable at exePath: its search title, then the
  // mutex. A copy that finds the mutex already there closes its handle at
  // once; the first copy keeps it open for its whole run. A mutex that
  // this copy may not open (ERROR_ACCESS_DENIED) is another copy's; one
  // that cannot be created for any other reason counts as no other copy.
  explicit TPreviousInstance(const std::wstring& exePath);

  const std::u16string& SearchTitle() const { return FSearchTitle; }
  void SetSearchTitle(std::u16string_view fileName);
  const std::u16string& ExeFileName() const { return FExeFileName; }
  bool PreviousInstance() const { return FPreviousInstance; }
  HANDLE MutexHandle() const { return FMutex.Get(); }

 private:
  std::u16string FSearchTitle;
  std::u16string FExeFileName;
  UniqueHandle FMutex;
  bool FPreviousInstance = false;
};

// The check for the running executable. The entry calls it first and keeps
// the result until the program ends.
TPreviousInstance CheckPreviousInstance();

// The first copy's window: the first top-level window in z-order titled
// `title` (in any letter case, as FindWindow compares) that belongs to
// another process running an executable of the file name `exeFileName`.
// Null when there is none or the title is empty.
HWND FindPreviousInstanceWindow(const std::u16string& title, const std::u16string& exeFileName);

// Acts on the check as the program starts: when another copy is running,
// brings its window forward (restored when minimised, raised otherwise) and
// ends this process with exit code 0; otherwise does nothing.
class TJustOne32 {
 public:
  using TEndProcess = std::function<void(UINT exitCode)>;
  // This copy's own windows that bear the search title are renamed to this,
  // so that nobody mistakes them for the first copy's.
  static constexpr const wchar_t* kOtherTitle = L"something else";

  // endProcess ends the process; empty: ExitProcess. Returns only when no
  // other copy is running or endProcess returned.
  explicit TJustOne32(const TPreviousInstance& previous, TEndProcess endProcess = {});
};
