#include "core/MainWin.h"

bool CanLockWorkstation(const TOsVersion& v) { return v.NtFamily && v.Major >= 5; }

bool DesktopToggleBlocked(const TOsVersion& v) { return v.NtFamily && v.Major >= 5 && v.Minor >= 1; }

TActionStates ActionStatesFor(const TSkiffData& settings, const TOsVersion& v) {
  TActionStates s;
  s.ExplorerEnabled = !settings.DisableExplorer;
  s.DesktopEnabled = !settings.DisableDesktop;
  s.LockVisible = CanLockWorkstation(v);
  s.RightToolBarWidth = s.LockVisible ? 46 : 23;
  s.DesktopButtonVisible = !DesktopToggleBlocked(v);
  return s;
}

TDesktopLook DesktopActionLook(bool desktopHidden) {
  if (desktopHidden) return {1, u"Show the Desktop Icons"};
  return {0, u"Hide the Desktop Icons"};
}

TButtonSize ButtonSizeFor(int btnSize) {
  switch (btnSize) {
    case 1: return {36, 37, 97};
    case 2: return {64, 74, 135};
    default: return {21, 22, 82};
  }
}

std::u16string ExplorerParameters(const TSkiffData& settings) {
  std::u16string p = u"/e,";
  if (settings.ExpRoot) p += u"/root,";
  return p + u" \"" + settings.ExpStartDir + u"\"";
}
