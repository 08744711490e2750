// Dorvane.exe started as a program of its own and driven from outside, the
// way a person at the workstation would.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "win32/WinSupport.h"

namespace {

struct Found {
  DWORD Process;
  const wchar_t* Class;
  HWND Window;
};

BOOL CALLBACK FindTopWindow(HWND window, LPARAM param) {
  auto* f = reinterpret_cast<Found*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  // The splash window is of the same class but has no caption.
  if (process != f->Process || std::wstring(cls) != f->Class || !IsWindowVisible(window) ||
      !(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION))
    return TRUE;
  f->Window = window;
  return FALSE;
}

// Waits up to 20 s for a visible top-level window of the process.
HWND WaitForWindow(DWORD process, const wchar_t* cls) {
  for (int i = 0; i < 400; ++i) {
    Found f{process, cls, nullptr};
    EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&f));
    if (f.Window) return f.Window;
    Sleep(50);
  }
  return nullptr;
}

std::wstring Text(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

TEST(DorvaneExe, StartsAndClosesThroughTheConfirmation) {
  std::wstring exe = ExeFileName();
  exe.resize(exe.find_last_of(L'\\') + 1);
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring folder = std::wstring(temp) + L"Dorvane e2e \u00fc " + std::to_wstring(GetCurrentProcessId()) + L"\\";
  CreateDirectoryW(folder.c_str(), nullptr);
  const std::wstring program = folder + L"Dorvane.exe";
  ASSERT_TRUE(CopyFileW((exe + L"Dorvane.exe").c_str(), program.c_str(), FALSE)) << "Dorvane.exe beside the tests";

  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + program + L"\"";
  ASSERT_TRUE(CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                             &si, &pi));
  UniqueHandle process(pi.hProcess), thread(pi.hThread);

  const HWND main = WaitForWindow(pi.dwProcessId, L"DorvaneForm");
  ASSERT_TRUE(main);
  EXPECT_EQ(Text(main), L"Dorvane");

  PostMessageW(main, WM_CLOSE, 0, 0);
  const HWND box = WaitForWindow(pi.dwProcessId, L"#32770");
  ASSERT_TRUE(box);
  EXPECT_EQ(Text(box), L"Quorvel Dorvane");
  EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), L"Are you sure you want to close Dorvane?");
  PostMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);

  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 20000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  // Closing writes nothing.
  EXPECT_EQ(GetFileAttributesW((folder + L"SkiffData.dat").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
