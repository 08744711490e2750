// The notification icon's rules that need no window: the tool tip text and
// what each mouse message the shell reports for the icon turns into. The
// Windows half (win32/TrayIcon.h) talks to the shell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The tool tip holds 64 UTF-16 units with its terminator.
inline constexpr std::size_t kTrayTipLength = 63;

// The tool tip for a hint: its first 63 units, one fewer when the cut would
// split a surrogate pair (a lone half shows as garbage).
std::u16string TrayTip(std::u16string_view hint);

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

enum class TTrayAction { taMouseMove, taMouseDown, taMouseUp, taClick, taDblClick, taPopup };

struct TTrayStep {
  TTrayAction Action;
  TMouseButton Button;  // for down and up; mbLeft otherwise
  bool operator==(const TTrayStep&) const = default;
};

// Turns the mouse messages of the icon into events. A click is a left
// release after a left press on the icon, so the release that ends a double
// click gives none, and neither does a release of a press made elsewhere.
class TTrayMouse {
 public:
  // The mouse message codes as the Windows headers number them.
  static constexpr unsigned kMouseMove = 0x200, kLButtonDown = 0x201, kLButtonUp = 0x202,
                            kLButtonDblClk = 0x203, kRButtonDown = 0x204, kRButtonUp = 0x205,
                            kRButtonDblClk = 0x206, kMButtonDown = 0x207, kMButtonUp = 0x208,
                            kMButtonDblClk = 0x209;

  // The events of one message, in the order they fire; none for a code
  // that is not a mouse message.
  std::vector<TTrayStep> Translate(unsigned mouseMessage);

 private:
  bool FLeftDown = false;
};
