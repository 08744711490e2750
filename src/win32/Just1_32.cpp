#include "win32/Just1_32.h"

#include <vector>

#include "core/Just1_32.h"

namespace {

// The executable a process runs, of any length; empty when the process
// cannot be asked.
std::wstring ProcessImageName(DWORD processId) {
  UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process) return {};
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD size = static_cast<DWORD>(path.size());
    if (QueryFullProcessImageNameW(process.Get(), 0, path.data(), &size)) {
      path.resize(size);
      return path;
    }
    if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

// File names as the file system compares them: without case.
bool SameFileName(std::u16string_view a, std::u16string_view b) {
  return CompareStringOrdinal(reinterpret_cast<const wchar_t*>(a.data()), static_cast<int>(a.size()),
                              reinterpret_cast<const wchar_t*>(b.data()), static_cast<int>(b.size()),
                              TRUE) == CSTR_EQUAL;
}

// The file system does not tell "dorvane.exe" from "DORVANE.EXE"; mutex
// names do. One case for all spellings keeps to one running copy.
std::u16string OneCase(const std::u16string& name) {
  if (name.empty()) return name;
  const int length = static_cast<int>(name.size());
  std::wstring upper(static_cast<std::size_t>(length), L'\0');
  if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, W(name), length, upper.data(), length, nullptr, nullptr,
                    0) != length)
    return name;
  return U16(upper);
}

DWORD WindowProcess(HWND window) {
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return processId;
}

}  // namespace

TPreviousInstance::TPreviousInstance(const std::wstring& exePath) {
  const std::u16string path = U16(exePath);
  FExeFileName = ExeFileNamePart(path);
  SetSearchTitle(FExeFileName);
  const std::u16string name = OneCase(InstanceMutexName(path));
  SetLastError(ERROR_SUCCESS);
  FMutex.Reset(CreateMutexW(nullptr, TRUE, W(name)));
  const DWORD error = GetLastError();
  // A copy running with other rights (elevated, say) holds a mutex this one
  // may not open: that is another copy too.
  if ((FMutex && error == ERROR_ALREADY_EXISTS) || (!FMutex && error == ERROR_ACCESS_DENIED)) {
    FPreviousInstance = true;
    FMutex.Reset();
  }
}

void TPreviousInstance::SetSearchTitle(std::u16string_view fileName) { FSearchTitle = InstanceSearchTitle(fileName); }

TPreviousInstance CheckPreviousInstance() { return TPreviousInstance(::ExeFileName()); }

HWND FindPreviousInstanceWindow(const std::u16string& title, const std::u16string& exeFileName) {
  if (title.empty()) return nullptr;
  const DWORD self = GetCurrentProcessId();
  for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, W(title))) != nullptr;) {
    const DWORD processId = WindowProcess(window);
    // Another program may well have a window of the same title (a folder
    // of that name, say): only a copy of this executable counts.
    if (processId != self && SameFileName(ExeFileNamePart(U16(ProcessImageName(processId))), exeFileName))
      return window;
  }
  return nullptr;
}

TJustOne32::TJustOne32(const TPreviousInstance& previous, TEndProcess endProcess) {
  if (!previous.PreviousInstance()) return;
  const std::u16string& title = previous.SearchTitle();
  if (!title.empty()) {
    std::vector<HWND> own;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, nullptr, W(title))) != nullptr;)
      if (WindowProcess(window) == GetCurrentProcessId()) own.push_back(window);
    for (HWND window : own) SetWindowTextW(window, kOtherTitle);
    if (const HWND first = FindPreviousInstanceWindow(title, previous.ExeFileName())) {
      if (IsIconic(first)) ShowWindow(first, SW_RESTORE);
      else BringWindowToTop(first);
      // This copy was just started by the user, so it may hand the
      // foreground on; without it the raised window can stay behind the
      // active one.
      SetForegroundWindow(first);
    }
  }
  if (endProcess) endProcess(0);
  else ExitProcess(0);
}
