// DorvaneWatch.exe: gives the desk back when Dorvane ends, however it ends.
// A program of its own, so that ending Dorvane by its image name does not
// end the watcher too; no window, no settings, no C++ runtime (it is linked
// without one and stays a few kilobytes).
#include <windows.h>

#include "core/DeskWatch.h"

namespace {

HANDLE AsHandle(std::uint64_t value) { return reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(value)); }

// Starts the watcher proper with exactly the two handles it needs, out of
// Dorvane's job where the job lets it go.
DWORD StartWatcher(const TDeskWatchArgs& args) {
  const wchar_t* line = GetCommandLineW();
  const int length = lstrlenW(line);
  const HANDLE heap = GetProcessHeap();
  auto* command = static_cast<wchar_t*>(HeapAlloc(heap, 0, (static_cast<SIZE_T>(length) + 1) * sizeof(wchar_t)));
  if (!command) return 0;
  lstrcpyW(command, line);
  for (int i = 0; i < kDeskStageWordLength; ++i) command[args.StageOffset + i] = kDeskWatchWord[i];

  HANDLE handles[2] = {AsHandle(args.Process), AsHandle(args.Mapping)};
  SIZE_T size = 0;
  InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
  auto* attributes = static_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(HeapAlloc(heap, 0, size));
  STARTUPINFOEXW startup;
  SecureZeroMemory(&startup, sizeof startup);
  startup.StartupInfo.cb = sizeof startup;
  if (attributes && InitializeProcThreadAttributeList(attributes, 1, 0, &size) &&
      UpdateProcThreadAttribute(attributes, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, handles, sizeof handles, nullptr,
                                nullptr))
    startup.lpAttributeList = attributes;
  PROCESS_INFORMATION process;
  SecureZeroMemory(&process, sizeof process);
  const DWORD flags = startup.lpAttributeList ? EXTENDED_STARTUPINFO_PRESENT : 0;
  BOOL started = CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, flags | CREATE_BREAKAWAY_FROM_JOB, nullptr,
                                nullptr, &startup.StartupInfo, &process);
  // A job that may not be left keeps the watcher; it still outlives a kill
  // by name or of the process tree.
  if (!started && GetLastError() == ERROR_ACCESS_DENIED)
    started = CreateProcessW(nullptr, command, nullptr, nullptr, TRUE, flags, nullptr, nullptr, &startup.StartupInfo,
                             &process);
  if (startup.lpAttributeList) DeleteProcThreadAttributeList(attributes);
  if (!started) return 0;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return process.dwProcessId;
}

int Run() {
  TDeskWatchArgs args;
  if (!ParseDeskWatchCommand(reinterpret_cast<const char16_t*>(GetCommandLineW()), args)) return dwBadArguments;
  const HANDLE dorvane = AsHandle(args.Process);
  // A number that names some other process (or none) is not Dorvane's.
  if (GetProcessId(dorvane) != args.ParentId) return dwNotParent;
  auto* shared = static_cast<TDeskShared*>(
      MapViewOfFile(AsHandle(args.Mapping), args.Relay ? FILE_MAP_WRITE : FILE_MAP_READ, 0, 0, sizeof(TDeskShared)));
  if (!shared) return dwNoSharedBlock;
  if (args.Relay) {
    const DWORD watcher = StartWatcher(args);
    if (!watcher) return dwCannotWatch;
    shared->WatcherId = static_cast<std::int32_t>(watcher);
    return dwDone;
  }
  if (WaitForSingleObject(dorvane, INFINITE) != WAIT_OBJECT_0) return dwCannotWatch;
  // Asynchronous: a shell that hangs does not hang the watcher.
  if (const std::int32_t taskbar = shared->Taskbar) ShowWindowAsync(static_cast<HWND>(LongToHandle(taskbar)), SW_SHOWNORMAL);
  if (const std::int32_t desktop = shared->Desktop) ShowWindowAsync(static_cast<HWND>(LongToHandle(desktop)), SW_SHOW);
  return dwDone;
}

}  // namespace

// The entry, without a C runtime to call it.
extern "C" void DeskWatchMain() { ExitProcess(static_cast<UINT>(Run())); }
