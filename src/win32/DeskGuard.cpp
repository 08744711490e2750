#include "win32/DeskGuard.h"


std::wstring DeskWatcherPath() {
  std::wstring path = ExeFileName();
  path.resize(path.find_last_of(L'\\') + 1);
  return path + kDeskWatcherFile;
}

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

bool TDeskGuard::Change(HWND window, bool hide, HWND& taken, bool (*apply)(bool hide)) {
  if (hide && window && IsWindowVisible(window)) {
    // Published before the window goes: a kill in between leaves nothing hidden.
    taken = window;
    Publish();
  }
  const bool result = apply(hide);
  if (!hide && taken) {
    taken = nullptr;
    Publish();
  }
  return result;
}

void TDeskGuard::Publish() {
  // A watcher that could not be started, or was ended, is started at the
  // next hide.
  if ((FTaskbarTaken || FDesktopTaken) && !WatcherRuns()) StartWatcher();
  if (!FShared) return;
  InterlockedExchange(reinterpret_cast<volatile LONG*>(&FShared->Taskbar), HandleToLong(FTaskbarTaken));
  InterlockedExchange(reinterpret_cast<volatile LONG*>(&FShared->Desktop), HandleToLong(FDesktopTaken));
}

bool TDeskGuard::WatcherRuns() {
  if (!FWatcherProcess) return false;
  if (WaitForSingleObject(FWatcherProcess.Get(), 0) == WAIT_TIMEOUT) return true;
  DWORD code = dwCannotWatch;
  GetExitCodeProcess(FWatcherProcess.Get(), &code);
  FWatcherProcess.Reset();
  if (FRelayed || code != dwDone) return false;
  // The relay has handed over: from now on the watcher itself is watched.
  FRelayed = true;
  FWatcherId = static_cast<DWORD>(FShared->WatcherId);
  FWatcherProcess.Reset(OpenProcess(SYNCHRONIZE, FALSE, FWatcherId));
  return WatcherRuns();
}

DWORD TDeskGuard::WatcherId() {
  WatcherRuns();
  return FWatcherProcess && FRelayed ? FWatcherId : 0;
}

void TDeskGuard::StartWatcher() {
  if (FWatcher.empty()) return;
  if (!FMapping) {
    FMapping.Reset(CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(TDeskShared), nullptr));
    if (!FMapping) return;
    FShared = static_cast<TDeskShared*>(MapViewOfFile(FMapping.Get(), FILE_MAP_WRITE, 0, 0, sizeof(TDeskShared)));
    if (!FShared) {
      FMapping.Reset();
      return;
    }
  }
  HANDLE self = nullptr;
  if (!DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                       SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0))
    return;
  const UniqueHandle selfOwner(self);
  // Both handles reach the watcher by inheritance, and nothing else does.
  SetHandleInformation(FMapping.Get(), HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
  HANDLE handles[2] = {self, FMapping.Get()};
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  std::wstring attributeBlock(size / sizeof(wchar_t) + 1, L'\0');
  auto* attributes = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributeBlock.data());
  STARTUPINFOEXW startup{};
  startup.StartupInfo.cb = sizeof startup;
  startup.StartupInfo.dwFlags = STARTF_FORCEOFFFEEDBACK;
  if (InitializeProcThreadAttributeList(attributes, 1, 0, &size) &&
      UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles, sizeof handles, nullptr,
                                nullptr))
    startup.lpAttributeList = attributes;
  std::wstring command = L"\"" + FWatcher + L"\" " + WStr(kDeskRelayWord) + L" " +
                         DecimalW(reinterpret_cast<UINT_PTR>(self)) + L" " +
                         DecimalW(reinterpret_cast<UINT_PTR>(FMapping.Get())) + L" " +
                         DecimalW(GetCurrentProcessId());
  // Started in the system folder so that the program's own folder is not
  // held open by it.
  wchar_t folder[MAX_PATH + 1] = {};
  GetSystemDirectoryW(folder, MAX_PATH + 1);
  PROCESS_INFORMATION process{};
  if (CreateProcessW(FWatcher.c_str(), command.data(), nullptr, nullptr, TRUE,
                     startup.lpAttributeList ? EXTENDED_STARTUPINFO_PRESENT : 0, nullptr, folder,
                     &startup.StartupInfo, &process)) {
    CloseHandle(process.hThread);
    FWatcherProcess.Reset(process.hProcess);
    FRelayed = false;
    FWatcherId = 0;
  }
  if (startup.lpAttributeList) DeleteProcThreadAttributeList(attributes);
  SetHandleInformation(FMapping.Get(), HANDLE_FLAG_INHERIT, 0);
}
