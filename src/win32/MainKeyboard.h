// The main window's keyboard: Tab and Shift+Tab round the row, the tab
// control and the tool bars; Ctrl+Tab and Ctrl+PgDn/PgUp between the tabs;
// the row's own keys; a tool bar's arrows, Enter and Space; and where the
// focus goes when the window is active again.
#pragma once

#include <windows.h>
#include <commctrl.h>

class TMainForm;

class TMainKeyboard {
 public:
  explicit TMainKeyboard(TMainForm& form) : F(form) {}
  // A queued key message for the window: true when it was handled here.
  bool KeyDown(const MSG& msg);
  // WM_ACTIVATE's wParam: back to where the keyboard was, or to the row,
  // never to nothing.
  void Activate(WPARAM wParam);
  // The tool bars' keyboard cursor, a button index (-1: none), is shown as a
  // focus rectangle drawn over the button while its bar has the keyboard:
  // custom draw and DrawFocusRect work for flat and raised bars alike, where
  // a hot item is defined for flat bars only.
  void AttachToolBar(HWND bar);
  int ToolBarCursor(HWND bar) const;
  // NM_CUSTOMDRAW from a tool bar: the answer for the window procedure.
  LRESULT ToolBarCustomDraw(const NMTBCUSTOMDRAW& draw);

 private:
  void ShowFocusCues();
  // Tab and Shift+Tab: the row, the tab control, the left and the right
  // tool bar, round.
  void FocusNextPart(bool forward);
  // A tool bar with the focus: the arrows move its hot button, Enter and
  // Space press it.
  bool ToolBarKey(HWND bar, UINT key);

  void SetToolBarCursor(HWND bar, int index);

  TMainForm& F;
  HWND FFocusBeforeDeactivation = nullptr;
  struct {
    HWND Bar = nullptr;
    int Index = -1;
  } FBarCursors[2];
  struct {
    HWND Button = nullptr;
    UINT Key = 0;
  } FPress;  // where Enter or Space went down, until it comes up
};
