#include "core/ShellKeys.h"

namespace {

constexpr unsigned kEscape = 0x1B, kLeftWin = 0x5B, kRightWin = 0x5C;

}  // namespace

bool TShellKeyFilter::Swallow(unsigned key, bool up, bool ctrl, bool alt) {
  if (key == kLeftWin || key == kRightWin) {
    (key == kLeftWin ? FLeftWin : FRightWin) = !up;
    return true;
  }
  if (FLeftWin || FRightWin) return true;
  return key == kEscape && (ctrl || alt);
}
