// The main window: the settings for the whole run, the tool bars and their
// commands, and what the options do to the desk while the program runs.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "core/Cmdline.h"
#include "core/DataClasses.h"
#include "core/filedrag.h"
#include "core/MainWin.h"
#include "win32/Actions.h"
#include "win32/ConfigWin.h"
#include "win32/DeskGuard.h"
#include "win32/Forms.h"
#include "win32/IconButtons.h"
#include "win32/IconProcs.h"
#include "win32/MainCommands.h"
#include "win32/MainKeyboard.h"
#include "win32/ProgramRow.h"
#include "win32/SettingsFile.h"
#include "win32/ShellKeys.h"
#include "win32/TrayIcon.h"
#include "win32/Winsaver.h"
#include "win32/filedrag.h"

// What the main window works with; tests replace parts of it.
struct TMainFormEnv {
  std::wstring SettingsFile;  // empty: "SkiffData.dat" beside the program
  std::function<int(HWND owner, const std::u16string& file, const std::u16string& parameters,
                    const std::u16string& folder, int showCommand)>
      RunProgram;             // empty: the shell
  std::function<TOsVersion()> OsVersion;  // empty: the system's version record
  bool EndsProgram = true;    // closing the window ends the message loop
  std::u16string CommandLine;  // empty: the process's own
  std::wstring IniFolder;      // empty: the window position is kept beside the program
  TTrayIcon::TShellNotify TrayNotify;  // empty: the shell
  std::function<void()> OnShown;       // runs when the window has been shown (tests make it fail)
};

inline constexpr char16_t kOneFileAtATime[] = u"Please drag one file at a time.";
inline constexpr char16_t kDropNeedsGroup[] = u"Please select the tab of a group before dropping a file on it.";

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
  // What the message loop does with every message: the window's keys
  // first (Keyboard), then the usual translation and dispatch.
  void HandleQueuedMessage(MSG& msg);

  std::unique_ptr<TSkiffData> Settings;
  bool DesktopHidden = false;  // whether this program has hidden the desktop window
  bool ButtonBusy = false;     // the repeat-press guard
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
  // With `keepOther`, the file on disk is first kept as SkiffData.dat.bak.
  void SaveSettings(bool keepOther = false);
  // Saves a change the user made and reports a failure; a read-only file is
  // not written, and the user is told the change lasts until Dorvane closes.
  void SaveChange(bool keepOther = false);
  // Someone else changed the settings file: it is read again and the new
  // desk shown, with the selected group kept by name. An unreadable file is
  // reported once and the shown desk stays. Waits while the dialog is open.
  void FollowSettingsFile();
  bool CanLockWorkstation() const;
  bool DesktopToggleBlocked() const;
  // The outer height the window keeps for the current button size.
  int FixedHeight() const;
  void ApplyButtonSize();
  void SetButtonsFlat(bool flat);
  void UpdateDesktopAction();
  // The title bar and window menu as the options say: close greyed with
  // DisableClose, no minimise with DisableMinimize, never a maximise.
  void ApplyWindowButtons();
  // Shows the taskbar and desktop window again, once the window was shown.
  void GiveDeskBack();
  // The shell's keys blocked while BlockShellKeys is on, from now on.
  void ApplyShellKeys();
  // The options as they are now on the tool bars, taskbar, title bar, keys.
  void ApplyDeskOptions();
  bool ShellKeysBlocked() const { return FShellKeys != nullptr; }
  void RestoreWindow();
  // The shell restarted: a new taskbar and desktop window are hidden as
  // the options say, and a tray icon the old shell refused is tried again.
  void ShellRestarted();
  // What this program has hidden of the desk; a watcher gives it back if
  // the process ends without doing so itself.
  TDeskGuard Desk{DeskWatcherPath()};

  // What the tool bars, menus and tray menu command.
  TMainCommands Commands{*this};

  // The tabs and program buttons.
  TProgramRow Row{*this, Settings};
  TMainKeyboard Keyboard{*this};
  void ProgramBtnClick(int tag);

  // A file dropped on the button area becomes an entry of the shown group,
  // saved at once.
  void FileDragDrop(const TDroppedFiles& drop);
  // /R: nothing at the PC changes the desk for the rest of the run (no
  // configuration, no drops, no write of the settings file).
  void CmdLineSwitch_R();
  bool DeskLocked() const { return FDeskLocked; }
  TCommandLineParameters CmdLineParams{this};
  TWinSaver WinSaver{u"MainForm", u"TMainForm"};
  TFileDrag FileDrag;
  std::unique_ptr<TTrayIcon> TrayIcon;  // none while the shell refuses it
  UniqueIcon TrayImage;
  // Throws when the shell refuses the icon.
  void AddTrayIcon();
  // What waits for the first paint (or is done at once for a minimised
  // start): the tabs and buttons past the first screen, then the first try
  // of the tray icon, whose refusal is reported.
  void AfterFirstPaint();
  bool AfterFirstPaintDone() const { return FAfterFirstPaint; }
  void TrayIconDblClick() { RestoreWindow(); }

  void FormClose(TCloseAction& action);
  void BusyTimerTimer();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool PreTranslateMessage(MSG& msg) override;

 private:
  friend class TMainCommands;
  void FormCreate();
  void FormShow();
  void FormDestroy();
  void CreateActions();
  void FirstTrayIcon();
  // Has the shell fill its icon cache while the window is built, when the
  // start row has entries to show.
  void StartIconWarmUp();
  // The tool bars' pictures and button size, and the tray icon's picture,
  // for the window's DPI.
  void LoadToolImages();
  int CaptionHeight() const;
  // Writes the window position as a close does; a failure is reported once
  // a run, and never for a close refused by the options.
  void SaveGeometry(TCloseAction action);
  // Minimised, the window lives in the notification area when it can.
  bool MinimizesToTray() const { return TrayIcon && TrayIcon->Added(); }

  TMainFormEnv FEnv;
  std::unique_ptr<TShellIconWarmUp> FIconWarmUp;
  UniqueImageList FImageList;  // the nine images of the tool bars and menus
  bool FShown = false;
  bool FComInitialised = false;
  bool FGeometryErrorShown = false;
  bool FMinimized = false;
  UINT FTaskbarCreated = 0;
  bool FTrayTried = false;
  bool FAfterFirstPaint = false;
  bool FDeskLocked = false;
  std::unique_ptr<TShellKeyBlock> FShellKeys;
  TSettingsFile FSettingsFile;
  bool FConfigOpen = false;
  std::u16string FReportedFailure;  // an unreadable file is reported once
  // The desk options applied as at start-up, the row built anew.
  void ShowNewSettings(std::unique_ptr<TSkiffData> fresh);
};
