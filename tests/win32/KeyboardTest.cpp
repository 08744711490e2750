// The main window without a mouse: real key presses (SendInput) go through
// the window's own message loop, as in the running program; and what a
// screen reader learns of the program buttons.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <fstream>
#include <initializer_list>
#include <string>
#include <vector>

#include "DeskTestSupport.h"

namespace {

std::string Group(const std::string& name, int entries) {
  std::string body = "item Name = '" + name + "' Apps = < ";
  for (int i = 0; i < entries; ++i)
    body += "item Title = '" + name + std::to_string(i) + "' Command = 'C:\\" + name + std::to_string(i) +
            ".exe' end ";
  return body + "> end ";
}

class Keyboard : public TDeskTest {
 protected:
  // Presses the keys together (modifiers first) and lets them go.
  void Press(std::initializer_list<WORD> keys) {
    PressKeys(keys);
    Loop();
  }
  int Tab() { return TabCtrl_GetCurSel(form->Control("ProgramPages")); }
};

TEST_F(Keyboard, CtrlTabAndCtrlPageKeysGoRoundTheTabsFromAnywhere) {
  TMainForm& f = Start("Groups = < " + Group("a", 2) + Group("b", 3) + Group("c", 1) + ">");
  EXPECT_EQ(f.Row.FocusedButton(), 0) << "activated: the focus is on the first program button";
  const struct {
    std::initializer_list<WORD> Keys;
    int Tab;
  } steps[] = {
      {{VK_CONTROL, VK_TAB}, 1},          {{VK_CONTROL, VK_SHIFT, VK_TAB}, 0}, {{VK_CONTROL, VK_SHIFT, VK_TAB}, 2},
      {{VK_CONTROL, VK_TAB}, 0},          {{VK_CONTROL, VK_NEXT}, 1},          {{VK_CONTROL, VK_PRIOR}, 0},
  };
  for (const auto& step : steps) {
    Press(step.Keys);
    EXPECT_EQ(Tab(), step.Tab);
    EXPECT_EQ(f.Row.FocusedButton(), 0) << "the focus stays on the row";
  }
  // From the tab control too.
  SetFocus(f.Control("ProgramPages"));
  Press({VK_CONTROL, VK_TAB});
  EXPECT_EQ(Tab(), 1);
  EXPECT_EQ(GetFocus(), f.Control("ProgramPages"));
}

TEST_F(Keyboard, CtrlTabOverAnEmptyGroupBringsTheKeyboardBackToTheRow) {
  // The focus parks on the tab control while a row has no button, and
  // comes back to the row on the next tab that has one: after an empty
  // group, and from an empty tab at start.
  const struct {
    std::string Groups;
    std::initializer_list<std::initializer_list<WORD>> Keys;
    int Tab;
  } cases[] = {
      {Group("a", 3) + Group("e", 0) + Group("c", 1),
       {{VK_CONTROL, VK_TAB}, {VK_CONTROL, VK_SHIFT, VK_TAB}},
       0},
      {Group("a", 3) + Group("e", 0) + Group("f", 0) + Group("c", 1),
       {{VK_CONTROL, VK_TAB}, {VK_CONTROL, VK_TAB}, {VK_CONTROL, VK_TAB}},
       3},
      {Group("e", 0) + Group("a", 3), {{VK_CONTROL, VK_TAB}}, 1},
      {Group("e", 0) + Group("a", 3), {{VK_CONTROL, VK_NEXT}, {VK_CONTROL, VK_PRIOR}, {VK_CONTROL, VK_PRIOR}}, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Groups);
    TMainForm& f = Start("Groups = < " + c.Groups + ">");
    for (const auto& keys : c.Keys) Press(keys);
    EXPECT_EQ(Tab(), c.Tab);
    EXPECT_EQ(f.Row.FocusedButton(), 0) << "back on the row";
    Press({VK_RIGHT});
    Press({VK_RETURN});
    ASSERT_EQ(runs.size(), 1u) << "Right and Enter start the second entry";
    EXPECT_EQ(runs[0], c.Tab == 0 || c.Tab == 1 ? u"C:\\a1.exe" : u"C:\\c0.exe");
    runs.clear();
  }
}

TEST_F(Keyboard, AHeldKeyStartsOnceAndNeverAnswersTheConfirmation) {
  // Auto-repeat sends WM_KEYDOWN again with bit 30 set; Space acts on its
  // key-up, as a push button does.
  int boxes = 0;
  app.MessageBoxProc = [&boxes](HWND, const std::u16string&, const std::u16string&, UINT) {
    ++boxes;
    return IDYES;
  };
  for (const WORD key : {VK_RETURN, VK_SPACE}) {
    for (const char* dialog : {"N", "Y"}) {
      SCOPED_TRACE(std::string(dialog) + (key == VK_SPACE ? " Space" : " Enter"));
      TMainForm& f = Start(std::string("Groups = < item Name = 'a' Apps = < item Title = 't' Command = 'C:\\t.exe' "
                                       "DialogType = '") + dialog + "' end > end >");
      runs.clear();
      boxes = 0;
      const HWND button = f.Row.FindButton(0)->Handle();
      ASSERT_EQ(GetFocus(), button);
      for (int i = 0; i < 5; ++i) {
        PostMessageW(button, WM_KEYDOWN, key, i == 0 ? 1 : (1 | 1 << 30));
        Loop();
        form->ButtonBusy = false;  // not the repeat guard: the key itself must not press again
      }
      PostMessageW(button, WM_KEYUP, key, 1 | 1 << 30 | 1u << 31);
      Loop();
      EXPECT_EQ(runs.size(), 1u);
      EXPECT_EQ(boxes, dialog[0] == 'Y' ? 1 : 0);
    }
    // A tool bar's button likewise: Windows Explorer, once.
    runs.clear();
    const HWND bar = form->Control("tbrLeft");
    SetFocus(bar);
    PostMessageW(bar, WM_KEYDOWN, VK_HOME, 1);
    for (int i = 0; i < 5; ++i) PostMessageW(bar, WM_KEYDOWN, key, i == 0 ? 1 : (1 | 1 << 30));
    PostMessageW(bar, WM_KEYUP, key, 1 | 1 << 30 | 1u << 31);
    Loop();
    EXPECT_EQ(runs, std::vector<std::u16string>{u"Explorer.exe"});
  }
}

// The pixels of a tool bar's button as the screen shows them.
std::vector<COLORREF> ButtonImage(HWND bar, int index) {
  UpdateWindow(bar);
  RECT r{};
  SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r));
  std::vector<COLORREF> pixels;
  const HDC dc = GetDC(bar);
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) pixels.push_back(GetPixel(dc, x, y));
  ReleaseDC(bar, dc);
  return pixels;
}

TEST_F(Keyboard, TheToolBarsShowWhereTheKeyboardIsFlatOrRaised) {
  SetCursorPos(0, 0);  // no button hot under the mouse
  for (const char* flat : {"False", "True"}) {
    SCOPED_TRACE(flat);
    TMainForm& f = Start(std::string("DoFlatButtons = ") + flat + " Groups = < " + Group("a", 1) + ">");
    const HWND bar = f.Control("tbrLeft");
    const int count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    std::vector<std::vector<COLORREF>> plain;
    for (int i = 0; i < count; ++i) plain.push_back(ButtonImage(bar, i));
    // Only the button under the cursor looks other than it did.
    auto cueOn = [&](int index) {
      for (int i = 0; i < count; ++i)
        if ((ButtonImage(bar, i) != plain[i]) != (i == index)) return false;
      return true;
    };
    Press({VK_TAB});
    Press({VK_TAB});
    ASSERT_EQ(GetFocus(), bar);
    const int first = f.Keyboard.ToolBarCursor(bar);
    EXPECT_TRUE(cueOn(first));
    Press({VK_RIGHT});
    const int second = f.Keyboard.ToolBarCursor(bar);
    EXPECT_GT(second, first);
    EXPECT_TRUE(cueOn(second));
    Press({VK_TAB});
    EXPECT_TRUE(cueOn(-1)) << "the cue goes with the focus";
  }
}

void CALLBACK CloseAbout(HWND, UINT, UINT_PTR id, DWORD) {
  if (const HWND about = FindWindowW(L"DorvaneForm", L"About Dorvane")) {
    KillTimer(nullptr, id);
    PostMessageW(about, WM_COMMAND, IDOK, 0);
  }
}

void CALLBACK CloseConfig(HWND, UINT, UINT_PTR id, DWORD) {
  if (const HWND config = FindWindowW(L"DorvaneForm", L"Dorvane Configuration")) {
    KillTimer(nullptr, id);
    PostMessageW(config, WM_CLOSE, 0, 0);
  }
}

TEST_F(Keyboard, TheFocusStaysWhereTheKeyboardWasWhenTheRowIsBuiltAgainOrADialogCloses) {
  TMainForm& f = Start("Groups = < " + Group("a", 3) + ">");
  Press({VK_RIGHT});
  ASSERT_EQ(f.Row.FocusedButton(), 1);
  // A move to a monitor of another DPI builds every button anew.
  RECT r{};
  GetWindowRect(f.Handle(), &r);
  SendMessageW(f.Handle(), kDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&r));
  Loop();
  EXPECT_EQ(f.Row.FocusedButton(), 1) << "after a DPI change";
  // The configuration dialog closed with a change: the row is built again.
  f.Commands.OnConfigShow = [&f](TConfigForm& c) {
    c.ShowModal(f.Handle());  // closed by the timer below
    c.DataChanged = true;
  };
  SetTimer(nullptr, 0, 50, CloseConfig);
  f.Commands.ConfigBtnClick();
  Loop();
  EXPECT_EQ(f.Row.FocusedButton(), 1) << "after the configuration dialog";
  Press({VK_RIGHT});
  EXPECT_EQ(f.Row.FocusedButton(), 2);
  // The about box opened from the tool bar gives the keyboard back to it.
  Press({VK_TAB});
  Press({VK_TAB});
  ASSERT_EQ(GetFocus(), f.Control("tbrLeft"));
  Press({VK_END});
  SetTimer(nullptr, 0, 50, CloseAbout);
  Press({VK_RETURN});
  Loop();
  EXPECT_EQ(GetFocus(), f.Control("tbrLeft")) << "after the about box";
}

TEST_F(Keyboard, AFailureInWhatAKeyStartsIsReportedAndTheProgramGoesOn) {
  std::vector<std::u16string> errors;
  app.MessageBoxProc = [&errors](HWND, const std::u16string& text, const std::u16string&, UINT) {
    errors.push_back(text);
    return IDOK;
  };
  TMainForm& f = Start("Groups = < " + Group("a", 2) + ">");
  runFailure = u"The disk is on fire.";
  Press({VK_RETURN});
  EXPECT_EQ(errors, std::vector<std::u16string>{u"The disk is on fire."});
  runFailure.clear();
  Press({VK_RIGHT});
  Press({VK_RETURN});
  EXPECT_EQ(runs, std::vector<std::u16string>{u"C:\\a1.exe"}) << "the window still answers its keys";
  EXPECT_TRUE(IsWindowEnabled(f.Handle()));
}

TEST_F(Keyboard, ArrowsHomeEndAndEnterStartTheFocusedEntryWithTheSliderFollowing) {
  TMainForm& f = Start("BtnSize = 2 Groups = < " + Group("x", 30) + ">");
  const HWND slider = f.Control("ProgramSlider");
  ASSERT_TRUE(IsWindowVisible(slider));
  Press({VK_RIGHT});
  Press({VK_RIGHT});
  Press({VK_RETURN});
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], u"C:\\x2.exe");
  Press({VK_END});
  EXPECT_EQ(f.Row.FocusedButton(), 29);
  const int max = static_cast<int>(SendMessageW(slider, TBM_GETRANGEMAX, 0, 0));
  EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), max) << "the slider follows to the end";
  RECT button{}, pages{};
  GetWindowRect(f.Row.FindButton(29)->Handle(), &button);
  GetWindowRect(f.Control("ProgramPages"), &pages);
  EXPECT_LE(button.right, pages.right) << "the focused button is in view";
  Press({VK_LEFT});
  EXPECT_EQ(f.Row.FocusedButton(), 28);
  Press({VK_HOME});
  EXPECT_EQ(f.Row.FocusedButton(), 0);
  EXPECT_EQ(SendMessageW(slider, TBM_GETPOS, 0, 0), 0);
  Press({VK_SPACE});
  ASSERT_EQ(runs.size(), 2u);
  EXPECT_EQ(runs[1], u"C:\\x0.exe");
  // The focused button shows the focus rectangle.
  EXPECT_EQ(SendMessageW(f.Row.FindButton(0)->Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS, 0);
}

TEST_F(Keyboard, F1OpensTheHelpPageAtTheMainWindowFromAnywhere) {
  std::vector<std::u16string> pages;
  app.OpenHelpPage = [&](HWND owner, const std::u16string& page) {
    EXPECT_EQ(owner, form->Handle());
    pages.push_back(page);
    return 42;
  };
  TMainForm& f = Start("Groups = < " + Group("a", 2) + ">");
  const std::wstring exe = ExeFileName();
  const std::u16string page = U16(exe.substr(0, exe.find_last_of(L'\\') + 1)) + u"Dorvane.html#window";
  Press({VK_F1});  // on a program button
  SetFocus(f.Control("ProgramPages"));
  Press({VK_F1});
  SetFocus(f.Control("tbrLeft"));
  Press({VK_F1});
  EXPECT_EQ(pages, std::vector<std::u16string>(3, page));
  EXPECT_TRUE(runs.empty()) << "F1 started nothing";
}

TEST_F(Keyboard, TabGoesRoundTheRowTheTabsAndTheToolBars) {
  TMainForm& f = Start("Groups = < " + Group("a", 2) + ">");
  const HWND order[] = {f.Control("ProgramPages"), f.Control("tbrLeft"), f.Control("tbrRight"),
                        f.Row.FindButton(0)->Handle()};
  for (HWND expected : order) {
    Press({VK_TAB});
    EXPECT_EQ(GetFocus(), expected);
  }
  Press({VK_SHIFT, VK_TAB});
  EXPECT_EQ(GetFocus(), f.Control("tbrRight"));
  Press({VK_SHIFT, VK_TAB});
  EXPECT_EQ(GetFocus(), f.Control("tbrLeft"));
  // Enter presses the tool bar's hot button, the first: Windows Explorer.
  Press({VK_RETURN});
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], u"Explorer.exe");
}

// The menus the window opens, seen as they open and closed again at once.
struct OpenedMenus {
  static inline std::vector<std::pair<bool, std::wstring>> Seen;  // flagged a window menu, first item
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* m = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && m->message == WM_INITMENUPOPUP) {
      wchar_t text[64] = {};
      GetMenuStringW(reinterpret_cast<HMENU>(m->wParam), 0, text, 64, MF_BYPOSITION);
      Seen.emplace_back(HIWORD(m->lParam) != 0, text);
      PostMessageW(m->hwnd, WM_CANCELMODE, 0, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }
};

TEST_F(Keyboard, TheTitleBarHasTheWindowMenuAndTheClientAreaTheFormsMenu) {
  TMainForm& f = Start("Groups = < " + Group("a", 2) + ">");
  const HHOOK hook = SetWindowsHookExW(WH_CALLWNDPROC, &OpenedMenus::Hook, nullptr, GetCurrentThreadId());
  OpenedMenus::Seen.clear();
  RECT window{}, client{};
  GetWindowRect(f.Handle(), &window);
  GetClientRect(f.Handle(), &client);
  MapWindowPoints(f.Handle(), nullptr, reinterpret_cast<POINT*>(&client), 2);
  const POINT caption{(window.left + window.right) / 2, (window.top + client.top) / 2};
  const POINT inside{client.left + 5, client.bottom - 5};
  for (POINT at : {caption, inside}) {  // a real right click
    INPUT click[3] = {};
    const int cx = GetSystemMetrics(SM_CXSCREEN) - 1, cy = GetSystemMetrics(SM_CYSCREEN) - 1;
    for (INPUT& in : click) {
      in.type = INPUT_MOUSE;
      in.mi.dx = MulDiv(at.x, 65535, cx);
      in.mi.dy = MulDiv(at.y, 65535, cy);
    }
    click[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    click[1].mi.dwFlags = MOUSEEVENTF_RIGHTDOWN | MOUSEEVENTF_ABSOLUTE;
    click[2].mi.dwFlags = MOUSEEVENTF_RIGHTUP | MOUSEEVENTF_ABSOLUTE;
    SendInput(3, click, sizeof(INPUT));
    Loop();
  }
  Press({VK_APPS});  // the menu key: the form's menu
  UnhookWindowsHookEx(hook);
  ASSERT_EQ(OpenedMenus::Seen.size(), 3u);
  // Wine does not flag the window menu as such: it is known by its items.
  wchar_t restore[64] = {};
  GetMenuStringW(GetSystemMenu(f.Handle(), FALSE), 0, restore, 64, MF_BYPOSITION);
  EXPECT_EQ(OpenedMenus::Seen[0].second, restore) << "the title bar: the window menu";
  EXPECT_EQ(OpenedMenus::Seen[1].second, L"Tile Windows - Horizontal");
  EXPECT_EQ(OpenedMenus::Seen[2].second, L"Tile Windows - Horizontal");
}

TEST_F(Keyboard, AScreenReaderHearsWhatEachProgramButtonIs) {
  TMainForm& f = Start("VertBarLineBreak = True ShowInfo = True Drives = 'c' Groups = < item Name = 'a' Apps = < "
                       "item Title = 'Note|pad' Command = 'C:\\n.exe' Hint = 'Edits|text files' end > end >");
  IAccessible* acc = nullptr;
  ASSERT_EQ(AccessibleObjectFromWindow(f.Row.FindButton(0)->Handle(), static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible), reinterpret_cast<void**>(&acc)),
            S_OK);
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  auto text = [&](HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*)) {
    BSTR value = nullptr;
    (acc->*get)(self, &value);
    std::wstring result = value ? value : L"(none)";
    SysFreeString(value);
    return result;
  };
  EXPECT_EQ(text(&IAccessible::get_accName), L"Note pad");
  EXPECT_EQ(text(&IAccessible::get_accDescription), L"Edits text files");
  VARIANT role{};
  ASSERT_EQ(acc->get_accRole(self, &role), S_OK);
  EXPECT_EQ(role.lVal, ROLE_SYSTEM_PUSHBUTTON);
  VARIANT state{};
  acc->get_accState(self, &state);
  EXPECT_TRUE(state.lVal & STATE_SYSTEM_FOCUSED) << "the focused button says so";
  // Its default action presses it.
  EXPECT_EQ(acc->accDoDefaultAction(self), S_OK);
  Loop();
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0], u"C:\\n.exe");
  acc->Release();
  // A drive button of the information tab is called by its caption.
  Press({VK_CONTROL, VK_SHIFT, VK_TAB});
  ASSERT_EQ(AccessibleObjectFromWindow(f.Row.FindButton(0)->Handle(), static_cast<DWORD>(OBJID_CLIENT),
                                       __uuidof(IAccessible), reinterpret_cast<void**>(&acc)),
            S_OK);
  EXPECT_EQ(text(&IAccessible::get_accName), L"Drive C");
  acc->Release();
}

// Another program's window in the foreground, noting every key it is given.
std::vector<UINT> gKeysSeen;
LRESULT CALLBACK NoteKeys(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) gKeysSeen.push_back(static_cast<UINT>(wParam));
  // Alt let go with its Esc swallowed is Alt alone: no window menu here,
  // whose modal loop would wait for a key that never comes.
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU) return 0;
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(Keyboard, BlockShellKeysKeepsTheShellsKeysFromEveryProgram) {
  for (const bool block : {true, false}) {
    SCOPED_TRACE(block ? "blocked" : "not blocked");
    TMainForm& f = Start(block ? "BlockShellKeys = True" : "");
    EXPECT_EQ(f.ShellKeysBlocked(), block);
    const TestWindow other(L"Another program", 50, 300, 300, 100);
    SetWindowLongPtrW(other.Get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NoteKeys));
    SetForegroundWindow(other.Get());
    SetFocus(other.Get());
    gKeysSeen.clear();
    for (const auto keys : {std::initializer_list<WORD>{VK_LWIN}, {VK_RWIN, 'R'}, {VK_CONTROL, VK_ESCAPE},
                            {VK_CONTROL, VK_SHIFT, VK_ESCAPE}, {VK_MENU, VK_ESCAPE}, {VK_MENU, VK_TAB}, {'A'}})
      Press(keys);
    const std::vector<UINT> all = {VK_LWIN, VK_RWIN, 'R', VK_CONTROL, VK_ESCAPE, VK_CONTROL, VK_SHIFT, VK_ESCAPE,
                                   VK_MENU, VK_ESCAPE, VK_MENU, VK_TAB, 'A'};
    const std::vector<UINT> allowed = {VK_CONTROL, VK_CONTROL, VK_SHIFT, VK_MENU, VK_MENU, VK_TAB, 'A'};
    EXPECT_EQ(gKeysSeen, block ? allowed : all);
  }
}

TEST_F(Keyboard, TheKeyBlockFollowsItsOptionThroughTheDialogAndTheFile) {
  TMainForm& f = Start("");
  for (const bool on : {true, false}) {
    f.Commands.OnConfigShow = [](TConfigForm& c) {
      ShowWindow(c.Handle(), SW_SHOW);
      SendMessageW(c.Control("chkBlockShellKeys"), BM_CLICK, 0, 0);
      SetFocus(c.Control("chkBlockShellKeys"));
      SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
    };
    f.Commands.ConfigBtnClick();
    EXPECT_EQ(f.ShellKeysBlocked(), on);
    std::ifstream in((folder + L"SkiffData.dat").c_str(), std::ios::binary);
    const std::string saved(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(saved.ends_with("  BlockShellKeys = True\r\nend\r\n"), on) << saved;  // last, only when set
    EXPECT_EQ(saved.find("BlockShellKeys") != std::string::npos, on) << saved;
  }
}

}  // namespace
