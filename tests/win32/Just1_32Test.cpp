// The single-instance guard with real named mutexes and real windows. The
// end-to-end cases start copies of this test program under other names:
// one as the running first copy, one of another program with the same
// window title, and one as the second copy, which must end.
#include "win32/Just1_32.h"

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <vector>

#include "core/Just1_32.h"
#include "core/TextCodec.h"
#include "win32/WinSupport.h"

#include "WindowTestSupport.h"

namespace {

constexpr wchar_t kProbeClass[] = L"DorvaneJust1Probe";
using UniqueWindow = UniqueOwner<HWND, DestroyWindow>;

LRESULT CALLBACK ProbeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND ProbeWindow(const std::wstring& title) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ProbeProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = kProbeClass;
  RegisterClassExW(&wc);
  return CreateWindowExW(0, kProbeClass, title.c_str(), WS_OVERLAPPEDWINDOW, 100, 100, 300, 150, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

std::wstring WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return text;
}

// Enough of a unique name that no other test run shares its mutex.
std::wstring UniqueName(const std::wstring& stem) {
  return stem + L" " + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(GetTickCount());
}

void PumpFor(std::chrono::milliseconds time) {
  const auto end = std::chrono::steady_clock::now() + time;
  MSG msg;
  while (std::chrono::steady_clock::now() < end) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
}

TEST(PreviousInstance, TheMutexTellsCopiesApart) {
  const std::wstring name = UniqueName(L"Dorvane \u00d8 \U0001F600") + L".exe";
  const std::u16string title = U16(name.substr(0, name.size() - 4));
  auto first = std::make_unique<TPreviousInstance>(L"C:\\Programs\\" + name);
  EXPECT_FALSE(first->PreviousInstance());
  EXPECT_NE(first->MutexHandle(), nullptr);
  EXPECT_EQ(Utf16ToUtf8(first->SearchTitle()), Utf16ToUtf8(title));
  EXPECT_EQ(Utf16ToUtf8(first->ExeFileName()), Utf16ToUtf8(U16(name)));

  struct Case {
    std::wstring path;
    bool previous;
  };
  std::wstring upper = name, lower = name;
  CharUpperW(upper.data());
  CharLowerW(lower.data());
  const Case cases[] = {
      {L"C:\\Programs\\" + name, true},
      {L"D:\\Elsewhere\\" + name, true},  // from any folder
      {L"C:\\Programs\\" + upper, true},  // the same file name in another spelling
      {L"C:\\Programs\\" + lower, true},
      {L"C:\\Programs\\" + name + L".bak", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(U16(c.path)));
    TPreviousInstance again(c.path);
    EXPECT_EQ(again.PreviousInstance(), c.previous);
    // A later copy keeps no handle: the mutex lives only as long as the first copy.
    EXPECT_EQ(again.MutexHandle() == nullptr, c.previous);
  }
  // A second copy ended, the first still runs: still detected.
  TPreviousInstance whileFirstRuns(L"C:\\Programs\\" + name);
  EXPECT_TRUE(whileFirstRuns.PreviousInstance());
  first.reset();
  // Every later copy closed its handle, so with the first gone the next start is a first start.
  TPreviousInstance afterFirstEnded(L"C:\\Programs\\" + name);
  EXPECT_FALSE(afterFirstEnded.PreviousInstance());
}

TEST(PreviousInstance, ANameWithoutExeIsStillGuarded) {
  const std::wstring name = UniqueName(L"Dorvane");
  TPreviousInstance first(L"C:\\x\\" + name);
  TPreviousInstance second(L"C:\\x\\" + name);
  EXPECT_FALSE(first.PreviousInstance());
  EXPECT_TRUE(second.PreviousInstance());
  EXPECT_TRUE(second.SearchTitle().empty());
}

TEST(JustOne32, AFirstStartGoesOn) {
  const std::wstring name = UniqueName(L"Dorvane");
  TPreviousInstance guard(L"C:\\x\\" + name + L".exe");
  ASSERT_FALSE(guard.PreviousInstance());
  UniqueWindow own(ProbeWindow(name));
  int ends = 0;
  TJustOne32 justOne(guard, [&](UINT) { ++ends; });
  EXPECT_EQ(ends, 0);
  EXPECT_EQ(WindowText(own.Get()), name);
}

// The second copy's own windows with the title are renamed; the process
// ends with 0 whether or not there is anything to look for.
TEST(JustOne32, ASecondCopyEnds) {
  struct Case {
    const char* name;
    std::wstring exeSuffix;    // ".exe" gives a search title, anything else none
    std::wstring ownTitle;     // of a window of this process; "=" for the search title
    std::wstring titleAfter;   // "=" for the search title
  };
  const Case cases[] = {
      {"own window with the title", L".exe", L"=", TJustOne32::kOtherTitle},
      {"own window of another title", L".exe", L"Unrelated", L"Unrelated"},
      {"no search title, untitled window", L".bin", L"", L""},
      {"no search title, window named like the file", L"", L"=", L"="},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::wstring stem = UniqueName(L"Dorvane \u4e2d");
    const std::wstring path = L"C:\\x\\" + stem + c.exeSuffix;
    TPreviousInstance first(path), second(path);
    ASSERT_TRUE(second.PreviousInstance());
    UniqueWindow own(ProbeWindow(c.ownTitle == L"=" ? stem : c.ownTitle));
    std::vector<UINT> codes;
    TJustOne32 justOne(second, [&](UINT code) { codes.push_back(code); });
    EXPECT_EQ(codes, std::vector<UINT>{0});
    EXPECT_EQ(WindowText(own.Get()), c.titleAfter == L"=" ? stem : c.titleAfter);
  }
}

struct ProbeSearch {
  DWORD Id;
  HWND Found;
};

BOOL CALLBACK FindProbe(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<ProbeSearch*>(param);
  DWORD id = 0;
  GetWindowThreadProcessId(window, &id);
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  if (id != search->Id || std::wstring(cls) != kProbeClass) return TRUE;
  search->Found = window;
  return FALSE;
}

// A child process of this test program, ended when the test is done.
class Child {
 public:
  Child(const std::wstring& exe, const std::wstring& arguments) {
    std::wstring command = L"\"" + exe + L"\" " + arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      FProcess.Reset(pi.hProcess);
      CloseHandle(pi.hThread);
      FId = pi.dwProcessId;
    }
  }
  ~Child() {
    if (!FProcess) return;
    if (HWND w = Window()) PostMessageW(w, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(FProcess.Get(), 5000) != WAIT_OBJECT_0) TerminateProcess(FProcess.Get(), 99);
  }
  bool Started() const { return static_cast<bool>(FProcess); }
  // Its probe window, waited for while the child starts.
  HWND Window(int timeoutMs = 0) const {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      ProbeSearch find{FId, nullptr};
      EnumWindows(FindProbe, reinterpret_cast<LPARAM>(&find));
      if (find.Found || std::chrono::steady_clock::now() >= end) return find.Found;
      Sleep(50);
    }
  }
  // The exit code, or 259 (still active) when it has not ended in time.
  DWORD WaitExit(int timeoutMs) const {
    WaitForSingleObject(FProcess.Get(), timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(FProcess.Get(), &code);
    return code;
  }

 private:
  UniqueHandle FProcess;
  DWORD FId = 0;
};

// Start Dorvane twice: the second copy ends at once, the first one's window
// comes forward, and another program's window of the same title is left
// alone, though it lies above the first one.
TEST(JustOne32, ASecondProcessEndsAndBringsTheFirstForward) {
  const TTempFolder temp(L"Dorvane Just1 \u00c5\u4e2d");
  const std::wstring& folder = temp.Path();
  const std::wstring stem = UniqueName(L"Dorvane \u00c5 \u4e2d\u6587");
  const std::wstring program = folder + stem + L".exe";
  const std::wstring other = folder + UniqueName(L"Other") + L".exe";
  ASSERT_TRUE(CopyFileW(ExeFileName().c_str(), program.c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(ExeFileName().c_str(), other.c_str(), FALSE));

  struct Case {
    const wchar_t* show;  // how both windows are shown
    bool minimized;
  };
  for (const Case& c : {Case{L"min", true}, Case{L"normal", false}}) {
    SCOPED_TRACE(Utf16ToUtf8(U16(c.show)));
    Child first(program, std::wstring(L"--just1-first ") + c.show);
    ASSERT_TRUE(first.Started());
    const HWND firstWindow = first.Window(30000);
    ASSERT_NE(firstWindow, nullptr);
    EXPECT_EQ(WindowText(firstWindow), stem);
    Child stranger(other, L"--just1-window \"" + stem + L"\" " + c.show);
    const HWND strangerWindow = stranger.Window(30000);
    ASSERT_NE(strangerWindow, nullptr);
    EXPECT_EQ(IsIconic(firstWindow) != 0, c.minimized);
    if (!c.minimized) {
      SetForegroundWindow(strangerWindow);
      PumpFor(std::chrono::milliseconds(200));
      ASSERT_EQ(GetForegroundWindow(), strangerWindow);
    }

    const auto start = std::chrono::steady_clock::now();
    Child second(program, L"--just1-second");
    ASSERT_TRUE(second.Started());
    EXPECT_EQ(second.WaitExit(30000), 0u);  // 3: TJustOne32 returned, 4: the check failed
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));

    if (c.minimized) {
      EXPECT_FALSE(IsIconic(firstWindow));
      EXPECT_TRUE(IsIconic(strangerWindow));
    } else {
      EXPECT_EQ(GetForegroundWindow(), firstWindow);
    }
    EXPECT_TRUE(IsWindowVisible(firstWindow));
    EXPECT_EQ(WindowText(firstWindow), stem);
    EXPECT_EQ(WindowText(strangerWindow), stem);
  }
}

int RunProbeWindow(const std::wstring& title, const std::wstring& show) {
  const HWND window = ProbeWindow(title);
  if (!window) return 5;
  ShowWindow(window, show == L"min" ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace

// The child side of the end-to-end test:
//   --just1-first SHOW           the first copy: the check, then a window with the search title
//   --just1-window TITLE SHOW    another program's window
//   --just1-second               the second copy, which must end inside TJustOne32
int Just1Probe(int argc, wchar_t** argv) {
  const std::wstring mode = argv[1];
  if (mode == L"--just1-first" && argc == 3) {
    const TPreviousInstance guard = CheckPreviousInstance();
    if (guard.PreviousInstance()) return 4;
    return RunProbeWindow(WStr(guard.SearchTitle()), argv[2]);
  }
  if (mode == L"--just1-window" && argc == 4) return RunProbeWindow(argv[2], argv[3]);
  if (mode == L"--just1-second" && argc == 2) {
    const TPreviousInstance guard = CheckPreviousInstance();
    if (!guard.PreviousInstance()) return 4;
    // Like the splash window, made before the guard acts and never shown.
    const HWND own = ProbeWindow(WStr(guard.SearchTitle()));
    TJustOne32 justOne(guard);
    DestroyWindow(own);
    return 3;
  }
  return 6;
}

// A copy run with other rights (elevated) holds a mutex this one may not open.
TEST(JustOne32, AMutexThisCopyMayNotOpenIsAnotherCopys) {
  const std::wstring exe = L"C:\\Program Files\\" + UniqueName(L"Elevated") + L".exe";
  ACL noAccess{};  // an empty list of rights grants nothing to anyone
  ASSERT_TRUE(InitializeAcl(&noAccess, sizeof noAccess, ACL_REVISION));
  SECURITY_DESCRIPTOR descriptor{};
  ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
  ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, &noAccess, FALSE));
  SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
  std::wstring name = WStr(InstanceMutexName(U16(exe)));
  CharUpperW(name.data());  // the one case every copy uses
  const UniqueHandle held(CreateMutexW(&attributes, TRUE, name.c_str()));
  ASSERT_TRUE(held);

  const TPreviousInstance check(exe);
  EXPECT_TRUE(check.PreviousInstance());
  EXPECT_FALSE(check.MutexHandle());
}
