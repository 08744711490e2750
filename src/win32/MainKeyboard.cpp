#include "win32/MainKeyboard.h"

#include <commctrl.h>

#include "win32/MainWin.h"

bool TMainKeyboard::KeyDown(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !F.Handle() || (msg.hwnd != F.Handle() && !IsChild(F.Handle(), msg.hwnd)))
    return false;
  const UINT key = static_cast<UINT>(msg.wParam);
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
  if (ctrl && (key == VK_TAB || key == VK_NEXT || key == VK_PRIOR)) {
    ShowFocusCues();
    F.Row.SwitchTab(key == VK_TAB ? !shift : key == VK_NEXT);
    return true;
  }
  if (ctrl || GetKeyState(VK_MENU) < 0) return false;
  if (key == VK_TAB) {
    ShowFocusCues();
    FocusNextPart(!shift);
    return true;
  }
  const HWND focus = GetFocus();
  if (focus == F.Control("tbrLeft") || focus == F.Control("tbrRight")) return ToolBarKey(focus, key);
  if (F.Row.FocusedButton() >= 0 && F.Row.KeyDown(key)) {
    ShowFocusCues();
    return true;
  }
  return false;
}

void TMainKeyboard::ShowFocusCues() {
  SendMessageW(F.Handle(), WM_CHANGEUISTATE, MAKEWPARAM(UIS_CLEAR, UISF_HIDEFOCUS), 0);
}

void TMainKeyboard::FocusNextPart(bool forward) {
  const HWND focus = GetFocus();
  const HWND parts[] = {nullptr, F.Control("ProgramPages"), F.Control("tbrLeft"), F.Control("tbrRight")};
  int at = F.Row.FocusedButton() >= 0 ? 0 : -1;
  for (int i = 1; i < 4; ++i)
    if (parts[i] == focus) at = i;
  for (int step = 1; step <= 4; ++step) {
    const int next = ((at < 0 ? (forward ? -1 : 0) : at) + (forward ? step : 4 - step) + 4) % 4;
    if (next == 0) {
      if (F.Row.FocusRow()) return;
      continue;
    }
    if (!IsWindowVisible(parts[next])) continue;
    SetFocus(parts[next]);
    if (next >= 2) ToolBarKey(parts[next], VK_HOME);
    return;
  }
}

bool TMainKeyboard::ToolBarKey(HWND bar, UINT key) {
  const int count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
  auto usable = [bar](int i) {
    TBBUTTON button{};
    SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&button));
    return (button.fsState & TBSTATE_ENABLED) && !(button.fsState & TBSTATE_HIDDEN);
  };
  const int hot = static_cast<int>(SendMessageW(bar, TB_GETHOTITEM, 0, 0));
  // The first usable button from `from` on in the direction of `step`.
  const auto next = [&](int from, int step) {
    for (int i = from; i >= 0 && i < count; i += step)
      if (usable(i)) return i;
    return -1;
  };
  int to = -1;
  switch (key) {
    case VK_HOME: to = next(0, 1); break;
    case VK_END: to = next(count - 1, -1); break;
    case VK_LEFT:
    case VK_UP: to = next(hot - 1, -1); break;
    case VK_RIGHT:
    case VK_DOWN: to = next(hot + 1, 1); break;
    case VK_RETURN:
    case VK_SPACE:
      if (hot >= 0 && usable(hot)) {
        TBBUTTON button{};
        SendMessageW(bar, TB_GETBUTTON, static_cast<WPARAM>(hot), reinterpret_cast<LPARAM>(&button));
        // Posted, as a click is: the command may open a modal box.
        PostMessageW(F.Handle(), WM_COMMAND, MAKEWPARAM(button.idCommand, 0), 0);
      }
      return true;
    default:
      return false;
  }
  if (to >= 0) SendMessageW(bar, TB_SETHOTITEM, static_cast<WPARAM>(to), 0);
  return true;
}

void TMainKeyboard::Activate(WPARAM wParam) {
  // Back to where the keyboard was, or to the row, never to nothing.
  if (LOWORD(wParam) == WA_INACTIVE) {
    FFocusBeforeDeactivation = GetFocus();
  } else if (!HIWORD(wParam)) {
    const HWND before = FFocusBeforeDeactivation;
    if (before && IsChild(F.Handle(), before) && IsWindowVisible(before)) SetFocus(before);
    else if (!F.Row.FocusRow()) SetFocus(F.Control("ProgramPages"));
  }
}
