#include "win32/DeskGuard.h"

#include <shellapi.h>

#include <cwchar>

struct TDeskShared {
  LONG Taskbar;
  LONG Desktop;
};

TDeskGuard::TDeskGuard(std::wstring watcher) : FWatcher(std::move(watcher)) {}

TDeskGuard::~TDeskGuard() {
  if (FShared) UnmapViewOfFile(FShared);
}

void TDeskGuard::HideTaskbar(bool hide) {
  FTaskbarHidden = hide;
  Change(TaskbarWindow(), hide, FTaskbarTaken, [](bool h) {
    ::HideTaskbar(h);
    return true;
  });
}

bool TDeskGuard::HideDesktopWindow(bool hide) {
  FDesktopHidden = hide;
  return Change(FindProgramManager(), hide, FDesktopTaken, ::HideDesktopWindow);
}

bool TDeskGuard::Change(HWND window, bool hide, bool& taken, bool (*apply)(bool hide)) {
  if (hide && window && IsWindowVisible(window)) {
    // Published before the window goes: a kill in between leaves nothing hidden.
    taken = true;
    Publish();
  }
  const bool result = apply(hide);
  if (!hide && taken) {
    taken = false;
    Publish();
  }
  return result;
}

void TDeskGuard::Publish() {
  if (!FWatcherTried) StartWatcher();
  if (!FShared) return;
  InterlockedExchange(&FShared->Taskbar, FTaskbarTaken);
  InterlockedExchange(&FShared->Desktop, FDesktopTaken);
}

void TDeskGuard::StartWatcher() {
  FWatcherTried = true;
  if (FWatcher.empty()) return;
  // Both handles reach the watcher by inheritance, and only the watcher.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  FMapping.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, &inherit, PAGE_READWRITE, 0, sizeof(TDeskShared), nullptr));
  if (!FMapping) return;
  FShared = static_cast<TDeskShared*>(MapViewOfFile(FMapping.Get(), FILE_MAP_WRITE, 0, 0, sizeof(TDeskShared)));
  HANDLE self = nullptr;
  if (!FShared || !DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                                   SYNCHRONIZE, TRUE, 0))
    return;
  const UniqueHandle selfOwner(self);
  std::wstring command = L"\"" + FWatcher + L"\" " + kDeskWatchSwitch + L" " +
                         DecimalW(reinterpret_cast<UINT_PTR>(self)) + L" " +
                         DecimalW(reinterpret_cast<UINT_PTR>(FMapping.Get()));
  // Started in the system folder so that the program's own folder is not
  // held open by it.
  wchar_t folder[MAX_PATH + 1] = {};
  GetSystemDirectoryW(folder, MAX_PATH + 1);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_FORCEOFFFEEDBACK;
  PROCESS_INFORMATION process{};
  if (CreateProcessW(FWatcher.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, folder, &startup,
                     &process)) {
    FWatcherId = process.dwProcessId;
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
  }
  SetHandleInformation(FMapping.Get(), HANDLE_FLAG_INHERIT, 0);
}

std::optional<int> RunDeskWatcherIfAsked() {
  int argc = 0;
  wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (!argv) return std::nullopt;
  const bool asked = argc == 4 && std::wcscmp(argv[1], kDeskWatchSwitch) == 0;
  const auto process = asked ? reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(_wcstoui64(argv[2], nullptr, 10))) : nullptr;
  const auto mapping = asked ? reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(_wcstoui64(argv[3], nullptr, 10))) : nullptr;
  LocalFree(argv);
  if (!asked) return std::nullopt;
  const auto* shared =
      static_cast<const TDeskShared*>(MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(TDeskShared)));
  if (!shared || WaitForSingleObject(process, INFINITE) != WAIT_OBJECT_0) return 1;
  if (shared->Taskbar) {
    FindTaskbarAgain();  // the shell may have made a new one meanwhile
    ::HideTaskbar(false);
  }
  if (shared->Desktop) ::HideDesktopWindow(false);
  return 0;
}
