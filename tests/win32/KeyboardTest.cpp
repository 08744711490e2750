// The main window without a mouse: real key presses (SendInput) go through
// the window's own message loop, as in the running program; and what a
// screen reader learns of the program buttons.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <oleacc.h>

#include <initializer_list>
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
    std::vector<INPUT> input;
    for (WORD k : keys) input.push_back(Key(k, 0));
    for (auto k = std::rbegin(keys); k != std::rend(keys); ++k) input.push_back(Key(*k, KEYEVENTF_KEYUP));
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    Loop();
  }
  static INPUT Key(WORD key, DWORD flags) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = key;
    in.ki.dwFlags = flags;
    return in;
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

}  // namespace
