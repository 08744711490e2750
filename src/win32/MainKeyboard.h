// The main window's keyboard: Tab and Shift+Tab round the row, the tab
// control and the tool bars; Ctrl+Tab and Ctrl+PgDn/PgUp between the tabs;
// the row's own keys; a tool bar's arrows, Enter and Space; and where the
// focus goes when the window is active again.
#pragma once

#include <windows.h>

class TMainForm;

class TMainKeyboard {
 public:
  explicit TMainKeyboard(TMainForm& form) : F(form) {}
  // A queued message for the window: true when it was a key handled here.
  bool KeyDown(const MSG& msg);
  // WM_ACTIVATE's wParam: back to where the keyboard was, or to the row,
  // never to nothing.
  void Activate(WPARAM wParam);

 private:
  void ShowFocusCues();
  // Tab and Shift+Tab: the row, the tab control, the left and the right
  // tool bar, round.
  void FocusNextPart(bool forward);
  // A tool bar with the focus: the arrows move its hot button, Enter and
  // Space press it.
  bool ToolBarKey(HWND bar, UINT key);

  TMainForm& F;
  HWND FFocusBeforeDeactivation = nullptr;
};
