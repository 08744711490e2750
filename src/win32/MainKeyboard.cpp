#include "win32/MainKeyboard.h"

#include <commctrl.h>

#include "win32/MainWin.h"

bool TMainKeyboard::KeyDown(const MSG& msg) {
  const bool up = msg.message == WM_KEYUP;
  if ((msg.message != WM_KEYDOWN && !up) || !F.Handle() ||
      (msg.hwnd != F.Handle() && !IsChild(F.Handle(), msg.hwnd)))
    return false;
  const UINT key = static_cast<UINT>(msg.wParam);
  const bool ctrl = GetKeyState(VK_CONTROL) < 0, shift = GetKeyState(VK_SHIFT) < 0;
  const HWND focus = GetFocus();
  const bool onBar = focus == F.Control("tbrLeft") || focus == F.Control("tbrRight");
  if (ctrl && !up && (key == VK_TAB || key == VK_NEXT || key == VK_PRIOR)) {
    ShowFocusCues();
    F.Row.SwitchTab(key == VK_TAB ? !shift : key == VK_NEXT);
    return true;
  }
  if (ctrl || GetKeyState(VK_MENU) < 0) return false;
  if ((key == VK_RETURN || key == VK_SPACE) && (onBar || F.Row.FocusedButton() >= 0)) {
    // One press, one start: a press is its key going down and up again on
    // the same button, and acts on the key-up, as a push button does. A
    // held key's repeats are swallowed, and none can answer the
    // confirmation box the press may open.
    if (!up) {
      if (!(msg.lParam & (1 << 30))) FPress = {focus, key};
      return true;
    }
    if (FPress.Button != focus || FPress.Key != key) return true;
    FPress = {};
    if (onBar) return ToolBarKey(focus, VK_RETURN);
    ShowFocusCues();
    return F.Row.KeyDown(VK_RETURN);
  }
  if (up) return false;
  if (key == VK_TAB) {
    ShowFocusCues();
    FocusNextPart(!shift);
    return true;
  }
  if (onBar) return ToolBarKey(focus, key);
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
  const int hot = ToolBarCursor(bar);
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
  if (to >= 0) SetToolBarCursor(bar, to);
  return true;
}

namespace {

// The cue is drawn only while the bar has the focus: coming and going, the
// bar is drawn again.
LRESULT CALLBACK ToolBarFocusProc(HWND bar, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  if (message != WM_SETFOCUS && message != WM_KILLFOCUS) return DefSubclassProc(bar, message, wParam, lParam);
  InvalidateRect(bar, nullptr, TRUE);
  // Some tool bars make their first button hot on getting the focus, a
  // second cue beside ours that stays after the focus has gone: undone.
  const LRESULT hot = SendMessageW(bar, TB_GETHOTITEM, 0, 0);
  const LRESULT result = DefSubclassProc(bar, message, wParam, lParam);
  if (SendMessageW(bar, TB_GETHOTITEM, 0, 0) != hot) SendMessageW(bar, TB_SETHOTITEM, static_cast<WPARAM>(hot), 0);
  return result;
}

}  // namespace

void TMainKeyboard::AttachToolBar(HWND bar) {
  for (auto& cursor : FBarCursors)
    if (!cursor.Bar) {
      cursor = {bar, -1};
      SetWindowSubclass(bar, ToolBarFocusProc, 1, 0);
      return;
    }
}

int TMainKeyboard::ToolBarCursor(HWND bar) const {
  for (const auto& cursor : FBarCursors)
    if (cursor.Bar == bar) return cursor.Index;
  return -1;
}

void TMainKeyboard::SetToolBarCursor(HWND bar, int index) {
  for (auto& cursor : FBarCursors)
    if (cursor.Bar == bar && cursor.Index != index) {
      cursor.Index = index;
      InvalidateRect(bar, nullptr, TRUE);
    }
}

LRESULT TMainKeyboard::ToolBarCustomDraw(const NMTBCUSTOMDRAW& draw) {
  const HWND bar = draw.nmcd.hdr.hwndFrom;
  switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT: return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: return CDRF_NOTIFYPOSTPAINT;
    case CDDS_ITEMPOSTPAINT: {
      const int index = static_cast<int>(SendMessageW(bar, TB_COMMANDTOINDEX, draw.nmcd.dwItemSpec, 0));
      const bool cuesHidden = SendMessageW(bar, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS;
      if (GetFocus() == bar && !cuesHidden && index == ToolBarCursor(bar)) {
        RECT r = draw.nmcd.rc;
        InflateRect(&r, -2, -2);
        DrawFocusRect(draw.nmcd.hdc, &r);
      }
      return CDRF_DODEFAULT;
    }
    default: return CDRF_DODEFAULT;
  }
}

void TMainKeyboard::Activate(WPARAM wParam) {
  // Back to where the keyboard was, or to the row, never to nothing.
  if (LOWORD(wParam) == WA_INACTIVE) {
    FFocusBeforeDeactivation = GetFocus();
  } else if (!HIWORD(wParam)) {
    const HWND before = FFocusBeforeDeactivation;
    if (before && IsChild(F.Handle(), before) && IsWindowVisible(before)) SetFocus(before);
    else F.Row.FocusRowOrTabs();
  }
}
