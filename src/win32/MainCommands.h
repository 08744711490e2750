// What the main window's tool bars, menus and tray menu command: the
// Explorer, the desktop icons, the about box, the configuration dialog, the
// screen saver, the workstation lock and the tiling of windows.
#pragma once

#include <windows.h>

#include <functional>

#include "win32/WinSupport.h"

class TMainForm;
class TConfigForm;

class TMainCommands {
 public:
  explicit TMainCommands(TMainForm& form) : F(form) {}

  void ExplorerClick();
  void DesktopBtnClick();
  void AboutBtnClick();
  // Opens the configuration dialog over the live settings; afterwards
  // applies the options, saves and rebuilds the row as needed.
  void ConfigBtnClick();
  // Runs with the dialog before it is shown modally (tests drive it here).
  std::function<void(TConfigForm&)> OnConfigShow;
  void actScreenSaverExecute();
  void RunBeforeScreenSaver();
  void actLockWorkstationExecute();
  void TileWindowsHorizontal1Click();
  // The notification-area menu, made from the actions as they are now.
  UniqueMenu BuildTrayMenu() const;

 private:
  TMainForm& F;
};
