#include "WindowTestSupport.h"

#include <vector>

#include "win32/WinSupport.h"

void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

bool PumpUntil(const std::function<bool()>& done, int ms) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start >= static_cast<DWORD>(ms)) return false;
    Pump();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
  }
  return true;
}

bool ComesTo(HWND window, bool visible) {
  return PumpUntil([&] { return (IsWindowVisible(window) != FALSE) == visible; }, 2000);
}

TestWindow::TestWindow(const wchar_t* title, int left, int top, int width, int height, bool visible) {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"DorvaneTestWindow";
    return RegisterClassW(&wc);
  }();
  (void)atom;
  FHandle = CreateWindowExW(0, L"DorvaneTestWindow", title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), left,
                            top, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  Pump();
}

namespace {

void RemoveTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW(ExtendedPath(folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + name;
      // A test may leave a file read-only on purpose.
      SetFileAttributesW(ExtendedPath(path).c_str(), FILE_ATTRIBUTE_NORMAL);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTree(path + L"\\");
      else DeleteFileW(ExtendedPath(path).c_str());
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  RemoveDirectoryW(ExtendedPath(folder.substr(0, folder.size() - 1)).c_str());
}

}  // namespace

TTempFolder::TTempFolder(const std::wstring& stem) {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring base = std::wstring(temp) + stem + L" " + std::to_wstring(GetCurrentProcessId()) + L"-";
  for (int n = 0;; ++n) {
    FPath = base + std::to_wstring(n);
    if (CreateDirectoryW(FPath.c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) break;  // the test's own checks will say so
  }
  FPath += L"\\";
}

TTempFolder::~TTempFolder() { RemoveTree(FPath); }

void PressKeys(std::initializer_list<WORD> keys) {
  std::vector<INPUT> input;
  auto add = [&input](WORD key, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = flags;
    input.push_back(in);
  };
  for (WORD k : keys) add(k, 0);
  for (auto k = std::rbegin(keys); k != std::rend(keys); ++k) add(*k, KEYEVENTF_KEYUP);
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}
