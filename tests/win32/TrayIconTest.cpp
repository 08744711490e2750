// The notification icon against the real shell (Wine's system tray): every
// call goes through to Shell_NotifyIconW and is also recorded, and the
// shell's mouse notices are posted to the icon's window as the shell would.
#include "win32/TrayIcon.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "core/Errors.h"
#include "core/TextCodec.h"

namespace {

struct TCall {
  DWORD Message;
  NOTIFYICONDATAW Data;
};

// Records every call and passes it on to the shell, or refuses NIM_ADD.
struct ShellSpy {
  std::vector<TCall> Calls;
  std::vector<BOOL> Results;
  bool RefuseAdd = false;
  TTrayIcon::TShellNotify Fn() {
    return [this](DWORD message, NOTIFYICONDATAW& data) {
      Calls.push_back({message, data});
      const BOOL result = RefuseAdd && message == NIM_ADD ? FALSE : Shell_NotifyIconW(message, &data);
      Results.push_back(result);
      return result;
    };
  }
};

std::u16string Tip(const NOTIFYICONDATAW& data) { return U16(data.szTip); }

void Pump() {
  MSG msg;
  for (int i = 0; i < 5; ++i) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  }
}

class TrayIcon : public testing::Test {
 protected:
  TApplication app{GetModuleHandleW(nullptr)};
  ShellSpy spy;
  std::vector<std::u16string> errors;
  void SetUp() override {
    app.Title = u"Quorvel Dorvane";
    app.MessageBoxProc = [this](HWND, const std::u16string& text, const std::u16string&, UINT type) {
      errors.push_back(text + (type & MB_ICONERROR ? u" (error)" : u""));
      return IDOK;
    };
  }
};

TEST_F(TrayIcon, IsAddedWithTheTitleAndRemovedWithTheComponent) {
  // Longer than the tip and with characters of no ANSI code page.
  app.Title = u"Quorvel Dorvane \u4e2d\u6587 " + std::u16string(60, u'x');
  NOTIFYICONDATAW added{};
  HWND window = nullptr;
  {
    TTrayIcon tray(app, spy.Fn());
    ASSERT_EQ(spy.Calls.size(), 1u);
    EXPECT_EQ(spy.Calls[0].Message, static_cast<DWORD>(NIM_ADD));
    EXPECT_TRUE(spy.Results[0]);
    added = spy.Calls[0].Data;
    window = tray.Handle();
    EXPECT_EQ(added.cbSize, static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE));
    EXPECT_EQ(added.hWnd, window);
    EXPECT_EQ(added.uID, 0u);
    EXPECT_EQ(added.uFlags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(added.uCallbackMessage, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(Utf16ToUtf8(Tip(added)), Utf16ToUtf8(app.Title.substr(0, 63)));
    EXPECT_TRUE(tray.Hint().empty());  // the title shows, but Hint is not set
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(added.hIcon, &info));  // the program's own icon, a real one
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    // A hidden top-level window, not a message-only one: those miss the
    // shell's broadcasts.
    EXPECT_EQ(GetAncestor(window, GA_PARENT), GetDesktopWindow());
    EXPECT_FALSE(IsWindowVisible(window));
  }
  ASSERT_EQ(spy.Calls.back().Message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_TRUE(spy.Results.back());
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(Shell_NotifyIconW(NIM_DELETE, &added));  // nothing left in the tray
}

TEST_F(TrayIcon, HintSetsTheTipAndItsFlag) {
  TTrayIcon tray(app, spy.Fn());
  const std::u16string hundred = u"\u00c4" + std::u16string(99, u'h');
  struct Step {
    std::u16string hint;
    bool callsShell;
    bool tipFlag;
    std::u16string tip;
  };
  const Step steps[] = {
      {u"Quorvel Dorvane", true, true, u"Quorvel Dorvane"},  // the first setting counts though the tip shows it
      {u"Quorvel Dorvane", false, true, u"Quorvel Dorvane"},
      {hundred, true, true, hundred.substr(0, 63)},
      {u"", true, false, u""},
      {u"", false, false, u""},
      {u"Back \U0001F600", true, true, u"Back \U0001F600"},
  };
  for (const Step& s : steps) {
    SCOPED_TRACE(Utf16ToUtf8(s.hint));
    const std::size_t before = spy.Calls.size();
    tray.SetHint(s.hint);
    EXPECT_EQ(Utf16ToUtf8(tray.Hint()), Utf16ToUtf8(s.hint));
    ASSERT_EQ(spy.Calls.size() - before, s.callsShell ? 1u : 0u);
    const NOTIFYICONDATAW& sent = s.callsShell ? spy.Calls.back().Data : tray.Data();
    if (s.callsShell) {
      EXPECT_EQ(spy.Calls.back().Message, static_cast<DWORD>(NIM_MODIFY));
      EXPECT_TRUE(spy.Results.back());
    }
    EXPECT_EQ((sent.uFlags & NIF_TIP) != 0, s.tipFlag);
    EXPECT_EQ(sent.uFlags & (NIF_MESSAGE | NIF_ICON), static_cast<UINT>(NIF_MESSAGE | NIF_ICON));
    EXPECT_EQ(Utf16ToUtf8(Tip(sent)), Utf16ToUtf8(s.tip));
  }
}

TEST_F(TrayIcon, IconIsACopy) {
  TTrayIcon tray(app, spy.Fn());
  HICON mine = CopyIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_WARNING)));
  ASSERT_NE(mine, nullptr);
  tray.SetIcon(mine);
  ASSERT_EQ(spy.Calls.size(), 2u);
  EXPECT_EQ(spy.Calls[1].Message, static_cast<DWORD>(NIM_MODIFY));
  EXPECT_TRUE(spy.Results[1]);
  EXPECT_NE(tray.Icon(), mine);
  EXPECT_EQ(spy.Calls[1].Data.hIcon, tray.Icon());
  DestroyIcon(mine);  // the caller's own copy goes; the tray's stays valid
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(tray.Icon(), &info));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  tray.SetIcon(tray.Icon());  // its own icon again: nothing to do
  EXPECT_EQ(spy.Calls.size(), 2u);
}

TEST_F(TrayIcon, ARefusedIconThrowsAndLeavesNothing) {
  spy.RefuseAdd = true;
  try {
    TTrayIcon tray(app, spy.Fn());
    FAIL() << "no exception";
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(Utf16ToUtf8(e.Message()), "Cannot create shell notification icon");
  }
  ASSERT_EQ(spy.Calls.size(), 1u);
  EXPECT_FALSE(IsWindow(spy.Calls[0].Data.hWnd));
}

// What the shell posts for each mouse action, and the events that follow.
TEST_F(TrayIcon, MouseNoticesBecomeEvents) {
  TTrayIcon tray(app, spy.Fn());
  std::vector<std::string> log;
  POINT cursor{};
  GetCursorPos(&cursor);
  const auto at = [&](int x, int y) { return x == cursor.x && y == cursor.y ? "" : " (wrong place)"; };
  const char* names[] = {"L", "R", "M"};
  tray.OnMouseDown = [&](TMouseButton b, TShiftState s, int x, int y) {
    log.push_back(std::string("down ") + names[static_cast<int>(b)] + " " + std::to_string(s) + at(x, y));
  };
  tray.OnMouseUp = [&](TMouseButton b, TShiftState s, int x, int y) {
    log.push_back(std::string("up ") + names[static_cast<int>(b)] + " " + std::to_string(s) + at(x, y));
  };
  tray.OnMouseMove = [&](TShiftState s, int x, int y) { log.push_back("move " + std::to_string(s) + at(x, y)); };
  tray.OnClick = [&] { log.push_back("click"); };
  tray.OnDblClick = [&] { log.push_back("dblclick"); };
  struct Case {
    const char* name;
    std::vector<UINT> notices;
    std::vector<std::string> events;
  };
  const Case cases[] = {
      {"double click",
       {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
       {"down L 8", "click", "up L 8", "dblclick", "up L 8"}},
      {"right click without a menu", {WM_RBUTTONDOWN, WM_RBUTTONUP}, {"down R 16", "up R 16"}},
      {"middle", {WM_MBUTTONDOWN, WM_MBUTTONUP, WM_MBUTTONDBLCLK}, {"down M 32", "up M 32", "dblclick"}},
      {"move and others", {WM_MOUSEMOVE, WM_KEYDOWN, WM_RBUTTONDBLCLK}, {"move 0", "dblclick"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    for (UINT n : c.notices) PostMessageW(tray.Handle(), TTrayIcon::kCallbackMessage, 0, n);
    Pump();
    EXPECT_EQ(log, c.events);
  }
  // Shift and Ctrl held down while the notice is handled.
  BYTE keys[256] = {}, saved[256] = {};
  GetKeyboardState(saved);
  std::copy(saved, saved + 256, keys);
  keys[VK_SHIFT] = keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  log.clear();
  PostMessageW(tray.Handle(), TTrayIcon::kCallbackMessage, 0, WM_LBUTTONDOWN);
  PostMessageW(tray.Handle(), TTrayIcon::kCallbackMessage, 0, WM_MOUSEMOVE);
  Pump();
  SetKeyboardState(saved);
  EXPECT_EQ(log, (std::vector<std::string>{"down L " + std::to_string(ssShift | ssCtrl | ssLeft),
                                           "move " + std::to_string(ssShift | ssCtrl)}));
  EXPECT_TRUE(errors.empty());
}

// A window that notes the commands it is sent.
struct CommandWindow {
  static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_COMMAND) reinterpret_cast<std::vector<int>*>(GetWindowLongPtrW(w, GWLP_USERDATA))->push_back(LOWORD(wp));
    return DefWindowProcW(w, m, wp, lp);
  }
  std::vector<int> Commands;
  UniqueWindow Window;
  CommandWindow() {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"DorvaneTrayTestOwner";
    RegisterClassExW(&wc);
    Window.Reset(CreateWindowExW(0, wc.lpszClassName, L"owner", WS_OVERLAPPED, 0, 0, 100, 100, nullptr, nullptr,
                                 wc.hInstance, nullptr));
    SetWindowLongPtrW(Window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&Commands));
  }
};

// The open popup menu of this process, waited for.
HWND OpenMenu(DWORD thread, int timeoutMs) {
  for (int waited = 0; waited < timeoutMs; waited += 20) {
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32768", nullptr)) != nullptr;)
      if (IsWindowVisible(w) && GetWindowThreadProcessId(w, nullptr) == thread) return w;
    Sleep(20);
  }
  return nullptr;
}

// A right press opens the menu the main window makes, at that moment; the
// chosen item reaches the owner as a posted command.
TEST_F(TrayIcon, RightPressOpensTheMenuAndPostsTheChoice) {
  TTrayIcon tray(app, spy.Fn());
  CommandWindow owner;
  tray.PopupOwner = owner.Window.Get();
  std::vector<std::string> log;
  tray.OnMouseDown = [&](TMouseButton, TShiftState, int, int) { log.push_back("down"); };
  tray.OnMouseUp = [&](TMouseButton, TShiftState, int, int) { log.push_back("up"); };
  int built = 0;
  tray.PopupMenu = [&] {
    ++built;
    log.push_back("menu");
    UniqueMenu menu(CreatePopupMenu());
    AppendMenuW(menu.Get(), MF_STRING, 201, L"Lock Workstation");
    AppendMenuW(menu.Get(), MF_STRING, 202, L"Restore Dorvane");
    return menu;
  };
  struct Case {
    const char* name;
    std::vector<WPARAM> keys;  // pressed in the open menu
    std::vector<int> commands;
  };
  const Case cases[] = {
      {"second item", {VK_DOWN, VK_DOWN, VK_RETURN}, {202}},
      {"first item", {VK_DOWN, VK_RETURN}, {201}},
      {"closed without a choice", {VK_ESCAPE}, {}},
  };
  const DWORD thread = GetCurrentThreadId();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    log.clear();
    owner.Commands.clear();
    std::atomic<bool> found{false};
    std::thread user([&] {
      const HWND menu = OpenMenu(thread, 10000);
      if (!menu) return;
      found = true;
      for (WPARAM k : c.keys) PostMessageW(menu, WM_KEYDOWN, k, 0);
    });
    PostMessageW(tray.Handle(), TTrayIcon::kCallbackMessage, 0, WM_RBUTTONDOWN);
    PostMessageW(tray.Handle(), TTrayIcon::kCallbackMessage, 0, WM_RBUTTONUP);
    Pump();  // the menu's own loop runs in here until a key closes it
    user.join();
    Pump();
    EXPECT_TRUE(found);
    EXPECT_EQ(log, (std::vector<std::string>{"down", "menu", "up"}));
    EXPECT_EQ(owner.Commands, c.commands);
  }
  EXPECT_EQ(built, 3);
  // No menu at all: only the press and the release.
  tray.PopupMenu = [] { return UniqueMenu(); };
  log.clear();
  PostMessageW(tray.Handle(), TTrayIcon::kCallbackMessage, 0, WM_RBUTTONDOWN);
  PostMessageW(tray.Handle(), TTrayIcon::kCallbackMessage, 0, WM_RBUTTONUP);
  Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"down", "up"}));
  EXPECT_TRUE(errors.empty());
}

// After a shell restart the icon is added again; at log-off it goes.
TEST_F(TrayIcon, FollowsTheShellAndTheSession) {
  TTrayIcon tray(app, spy.Fn());
  NOTIFYICONDATAW data = tray.Data();
  ASSERT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));   // the shell forgets it
  ASSERT_FALSE(Shell_NotifyIconW(NIM_DELETE, &data));  // really gone
  const std::size_t before = spy.Calls.size();
  SendMessageW(tray.Handle(), RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  ASSERT_EQ(spy.Calls.size(), before + 1);
  EXPECT_EQ(spy.Calls.back().Message, static_cast<DWORD>(NIM_ADD));
  EXPECT_TRUE(Shell_NotifyIconW(NIM_DELETE, &data));  // it was back
  EXPECT_TRUE(Shell_NotifyIconW(NIM_ADD, &data));

  EXPECT_EQ(SendMessageW(tray.Handle(), WM_QUERYENDSESSION, 0, 0), 1);
  SendMessageW(tray.Handle(), WM_ENDSESSION, FALSE, 0);  // the log-off was cancelled
  EXPECT_EQ(spy.Calls.size(), before + 1);
  SendMessageW(tray.Handle(), WM_ENDSESSION, TRUE, 0);
  ASSERT_EQ(spy.Calls.size(), before + 2);
  EXPECT_EQ(spy.Calls.back().Message, static_cast<DWORD>(NIM_DELETE));
  EXPECT_TRUE(spy.Results.back());
}

TEST_F(TrayIcon, MinimisedTheWindowLivesInTheTray) {
  TTrayIcon tray(app, spy.Fn());
  UniqueWindow window(CreateWindowExW(0, L"STATIC", L"Dorvane", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 120,
                                      nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
  ASSERT_TRUE(window);
  std::vector<std::string> log;
  tray.OnMinimize = [&] {
    log.push_back(std::string("minimize") + (IsWindowVisible(window.Get()) ? " visible" : " hidden"));
  };
  tray.OnRestore = [&] {
    log.push_back(std::string("restore") + (IsWindowVisible(window.Get()) ? " visible" : " hidden") +
                  (IsIconic(window.Get()) ? " iconic" : ""));
  };
  for (int round = 0; round < 2; ++round) {
    log.clear();
    ShowWindow(window.Get(), SW_MINIMIZE);
    tray.AppMinimize(window.Get());
    EXPECT_FALSE(IsWindowVisible(window.Get()));  // no taskbar button while hidden
    tray.AppRestore(window.Get());
    EXPECT_TRUE(IsWindowVisible(window.Get()));
    EXPECT_FALSE(IsIconic(window.Get()));
    EXPECT_EQ(log, (std::vector<std::string>{"minimize hidden", "restore visible"}));
  }
}

// An event that fails shows the application's error box; the icon goes on.
TEST_F(TrayIcon, AFailingEventShowsTheErrorBox) {
  TTrayIcon tray(app, spy.Fn());
  int clicks = 0;
  tray.OnDblClick = [] { throw EStreamError(std::string_view("Cannot open file")); };
  tray.OnClick = [&] { ++clicks; };
  PostMessageW(tray.Handle(), TTrayIcon::kCallbackMessage, 0, WM_LBUTTONDBLCLK);
  PostMessageW(tray.Handle(), TTrayIcon::kCallbackMessage, 0, WM_LBUTTONDOWN);
  PostMessageW(tray.Handle(), TTrayIcon::kCallbackMessage, 0, WM_LBUTTONUP);
  Pump();
  EXPECT_EQ(errors, (std::vector<std::u16string>{u"Cannot open file (error)"}));
  EXPECT_EQ(clicks, 1);
}

}  // namespace
