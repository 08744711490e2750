// The main window: the settings for the whole run, the tool bars and their
// commands, and what the options do to the desk while the program runs.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/DataClasses.h"
#include "core/MainWin.h"
#include "win32/Actions.h"
#include "win32/Forms.h"

// What the main window works with; tests replace parts of it.
struct TMainFormEnv {
  std::wstring SettingsFile;  // empty: "SkiffData.dat" beside the program
  std::function<int(HWND owner, const std::u16string& file, const std::u16string& parameters,
                    const std::u16string& folder, int showCommand)>
      RunProgram;             // empty: the shell
  std::function<TOsVersion()> OsVersion;  // empty: the system's version record
  bool EndsProgram = true;    // closing the window ends the message loop
};

enum class TCloseAction { caNone, caHide, caFree, caMinimize };

// The system's version record, read anew on every call.
TOsVersion ReadOsVersion();

class TMainForm : public Form {
 public:
  TMainForm(TApplication& app, TMainFormEnv env = {});
  ~TMainForm() override;

  // Creates the window and its controls and runs FormCreate.
  void Create();
  // Shows the window; the first showing runs FormShow.
  void Show();

  std::unique_ptr<TSkiffData> Settings;
  bool DesktopHidden = false;  // whether this program has hidden the desktop window
  bool ButtonBusy = false;     // the repeat-press guard
  int ButtonWidth = 0;
  int ButtonHeight = 0;
  bool InFormShow = false;

  TActionList actMain;
  TAction* actExplorer = nullptr;
  TAction* actConfig = nullptr;
  TAction* actInfo = nullptr;
  TAction* actToggleDeskTop = nullptr;
  TAction* actScreenSaver = nullptr;
  TAction* actRestore = nullptr;
  TAction* actLockWorkstation = nullptr;

  std::wstring SettingsFileName() const;
  void LoadSettings();
  void SaveSettings();
  bool CanLockWorkstation() const;
  bool DesktopToggleBlocked() const;
  // The outer height the window keeps for the current button size.
  int FixedHeight() const;
  void ApplyButtonSize();
  void SetButtonsFlat(bool flat);
  void UpdateDesktopAction();
  void RestoreWindow();

  void ExplorerClick();
  void DesktopBtnClick();
  void AboutBtnClick();
  void actScreenSaverExecute();
  void RunBeforeScreenSaver();
  void actRestoreExecute();
  void actLockWorkstationExecute();
  void TileWindowsHorizontal1Click();

  // The notification-area menu, made from the actions as they are now.
  UniqueMenu BuildTrayMenu() const;

  void FormClose(TCloseAction& action);
  void BusyTimerTimer();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  void FormShow();
  void FormDestroy();
  void CreateActions();
  int CaptionHeight() const;

  TMainFormEnv FEnv;
  UniqueImageList FImageList;  // the nine images of the tool bars and menus
  UniqueFont FTabFont;
  int FHeightAboveCaption = 82;
  bool FShown = false;
  bool FComInitialised = false;
  // The settings file was rejected at start-up: it is moved aside, never
  // overwritten, before the first save.
  bool FSettingsRejected = false;
};
