#include "win32/MainCommands.h"

#include "core/MainWin.h"
#include "core/SettingsFile.h"
#include "win32/AboutWin.h"
#include "win32/MainWin.h"
#include "win32/WinSupport.h"
#include "win32/oKXScreenSaver.h"

void TMainCommands::ExplorerClick() {
  F.FEnv.RunProgram(F.Handle(), u"Explorer.exe", ExplorerParameters(*F.Settings), u"", SW_SHOWNORMAL);
}

void TMainCommands::DesktopBtnClick() {
  F.DesktopHidden = !F.DesktopHidden;
  F.Desk.HideDesktopWindow(F.DesktopHidden);
  SetForegroundWindow(F.Handle());
  F.UpdateDesktopAction();
}

void TMainCommands::AboutBtnClick() {
  TAboutForm about(F.App);  // freed on every way out
  about.Create(F.Handle());
  about.ShowModal(F.Handle());
}

void TMainCommands::ConfigBtnClick() {
  if (F.DeskLocked()) return;
  F.FollowSettingsFile();  // the dialog edits the newest desk
  TConfigForm config(F.App, *F.Settings);  // freed on every way out
  config.Create(F.Handle());
  const int oldSize = F.Settings->BtnSize;
  config.LoadOptions(*F.Settings);
  const int tab = F.Row.SelectedTab();
  if (F.DesktopToggleBlocked()) {
    const HWND hide = config.Control("HidePMCB");
    ShowWindow(hide, SW_HIDE);
    SendMessageW(hide, BM_SETCHECK, BST_UNCHECKED, 0);
  }
  F.FConfigOpen = true;
  if (OnConfigShow) OnConfigShow(config);
  else config.ShowModal(F.Handle());
  F.FConfigOpen = false;
  F.ApplyDeskOptions();
  if (F.Settings->BtnSize != oldSize) {
    F.Row.ClearButtons(true);
    F.ApplyButtonSize();
  }
  if (!config.DataChanged && !config.OptionsChanged) {
    F.FollowSettingsFile();  // a change that waited for the dialog
    return;
  }
  if (config.DataChanged) config.StoreTree(*F.Settings);
  F.Row.RebuildTabs(tab);
  F.SetButtonsFlat(F.Settings->DoFlatButtons);
  // The dialog's changes go over a file changed meanwhile only when the
  // user says so, and the other version is kept.
  const bool changedMeanwhile = !F.FSettingsFile.ReadOnly() && F.FSettingsFile.ChangedOnDisk();
  if (changedMeanwhile &&
      F.App.ShowMessage(F.Handle(), kSettingsChangedMeanwhile, MB_YESNO | MB_ICONWARNING) != IDYES) {
    F.FollowSettingsFile();
    return;
  }
  F.SaveChange(changedMeanwhile);
}

void TMainCommands::actScreenSaverExecute() {
  RunBeforeScreenSaver();
  TKXScreenSaver::StartScreenSaver();
}

void TMainCommands::RunBeforeScreenSaver() {
  if (!F.Settings->BeforeScreenSaverCommand.empty())
    F.FEnv.RunProgram(F.Handle(), F.Settings->BeforeScreenSaverCommand, F.Settings->BeforeScreenSaverParameters, u"",
                    SW_HIDE);
}

void TMainCommands::actLockWorkstationExecute() {
  if (F.CanLockWorkstation()) LockWorkstation();
}

void TMainCommands::TileWindowsHorizontal1Click() {
  ShowWindow(F.Handle(), SW_MINIMIZE);
  TileWindows(nullptr, MDITILE_HORIZONTAL, nullptr, 0, nullptr);
}

UniqueMenu TMainCommands::BuildTrayMenu() const {
  UniqueMenu menu(CreatePopupMenu());
  for (const TAction* a : {F.actLockWorkstation, F.actScreenSaver, F.actRestore, F.actExplorer}) a->AppendTo(menu.Get());
  return menu;
}
