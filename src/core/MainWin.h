// The main window's rules that need no window: which commands are offered
// and how, the window's fixed height, and the Explorer command line.
#pragma once

#include <string>

#include "core/DataClasses.h"

// The parts of the system's version record the window looks at.
struct TOsVersion {
  bool NtFamily = true;
  unsigned Major = 0;
  unsigned Minor = 0;
};

// Locking needs an NT system of version 5 or later.
bool CanLockWorkstation(const TOsVersion& v);
// From 5.1 on (not 6.0) the shell's desktop window must not be toggled.
bool DesktopToggleBlocked(const TOsVersion& v);

// How the commands look once the settings and the system are known.
struct TActionStates {
  bool ExplorerEnabled = true;
  bool DesktopEnabled = true;
  bool LockVisible = true;
  bool DesktopButtonVisible = true;
  int RightToolBarWidth = 46;  // at 96 DPI
};
TActionStates ActionStatesFor(const TSkiffData& settings, const TOsVersion& v);

// The desktop toggle's image and hint for the current state.
struct TDesktopLook {
  int ImageIndex;
  std::u16string Hint;
};
TDesktopLook DesktopActionLook(bool desktopHidden);

// Sizes of a program button and the window height that goes with them.
struct TButtonSize {
  int Width;
  int Height;
  int HeightAboveCaption;  // the window is the caption height plus this high
};
// A size the window does not know is shown as the smallest one.
TButtonSize ButtonSizeFor(int btnSize);

// "/e," ["/root,"] " \"folder\"": what Explorer is started with.
std::u16string ExplorerParameters(const TSkiffData& settings);

inline constexpr char16_t kCloseConfirmation[] = u"Are you sure you want to close Dorvane?";
inline constexpr char16_t kApplicationTitle[] = u"Quorvel Dorvane";
