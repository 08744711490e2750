// Which keys a restricted desk keeps from the shell while the option
// BlockShellKeys is on: both Windows keys, alone and with any other key,
// Ctrl+Esc, Ctrl+Shift+Esc and Alt+Esc. Alt+Tab passes: with the taskbar
// hidden it is the only way between running programs.
#pragma once

class TShellKeyFilter {
 public:
  // One key event as a low-level keyboard hook sees it (a virtual-key code)
  // with the state of Ctrl and Alt; true: swallow it.
  bool Swallow(unsigned key, bool up, bool ctrl, bool alt);

 private:
  // A swallowed Windows key never reaches the system, which so never knows
  // it is held: the filter remembers it itself.
  bool FLeftWin = false, FRightWin = false;
};
