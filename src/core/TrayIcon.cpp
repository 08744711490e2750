#include "core/TrayIcon.h"

#include <algorithm>

std::u16string TrayTip(std::u16string_view hint) {
  std::size_t length = std::min(hint.size(), kTrayTipLength);
  if (length < hint.size() && length > 0 && hint[length - 1] >= 0xD800 && hint[length - 1] <= 0xDBFF) --length;
  return std::u16string(hint.substr(0, length));
}

std::vector<TTrayStep> TTrayMouse::Translate(unsigned mouseMessage) {
  using enum TTrayAction;
  using enum TMouseButton;
  switch (mouseMessage) {
    case kMouseMove: return {{taMouseMove, mbLeft}};
    case kLButtonDown: FLeftDown = true; return {{taMouseDown, mbLeft}};
    case kLButtonUp:
      if (FLeftDown) {
        FLeftDown = false;
        return {{taClick, mbLeft}, {taMouseUp, mbLeft}};
      }
      return {{taMouseUp, mbLeft}};
    case kLButtonDblClk:
    case kRButtonDblClk:
    case kMButtonDblClk: return {{taDblClick, mbLeft}};
    case kRButtonDown: return {{taMouseDown, mbRight}, {taPopup, mbRight}};
    case kRButtonUp: return {{taMouseUp, mbRight}};
    case kMButtonDown: return {{taMouseDown, mbMiddle}};
    case kMButtonUp: return {{taMouseUp, mbMiddle}};
    default: return {};
  }
}
