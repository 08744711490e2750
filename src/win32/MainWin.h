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
#include "win32/Forms.h"
#include "win32/IconButtons.h"
#include "win32/IconProcs.h"
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

  // The button row: one tab per group (after "Sys Info" when asked), the
  // buttons of the selected tab, created when a row needs more of them and
  // otherwise reused; each entry's icon is extracted once into the lists.
  void BuildTabs(int tab);
  void RebuildTabs(int tab);
  void ClearButtons(bool freeAll);
  void ShowGroupButtons(int group);
  void ShowInfoButtons();
  TSliderLook UpdateSlider();
  void ProgramPagesChange();
  void ProgramSliderChange();
  void ProgramBtnClick(int tag);
  int HighButton() const { return static_cast<int>(FButtons.size()) - 1; }
  TIconSpeedBtn* FindButton(int index) const;
  // How often an icon was taken from its file, for the tests.
  int IconExtractions() const { return FIconExtractions; }

  TTabInfo TabInfo;
  TIconGlyph IconGlyph;
  TBitmap BtnImage;  // every icon is rendered here first
  TImageList ilstSmall;
  TImageList ilstLarge;

  // The notification-area menu, made from the actions as they are now.
  UniqueMenu BuildTrayMenu() const;

  // A file dropped on the button area becomes an entry of the shown group,
  // saved at once.
  void FileDragDrop(const TDroppedFiles& drop);
  void CmdLineSwitch_R();
  TCommandLineParameters CmdLineParams{this};
  TWinSaver WinSaver{u"MainForm", u"TMainForm"};
  TFileDrag FileDrag;
  std::unique_ptr<TTrayIcon> TrayIcon;  // none when the shell refused it
  UniqueIcon TrayImage;
  void TrayIconDblClick() { RestoreWindow(); }

  void FormClose(TCloseAction& action);
  void BusyTimerTimer();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void FormCreate();
  void FormShow();
  void FormDestroy();
  void CreateActions();
  // Has the shell fill its icon cache while the window is built, when the
  // start row has entries to show.
  void StartIconWarmUp();
  int CaptionHeight() const;
  int SelectedTab() const;
  int ShownBtnSize() const;
  void ShowRow(const TRowContent& content);
  // Shows button `index` for entry `index` of group `group` (or, with no
  // group, a drive caption), creating it if the row has not had that many
  // buttons yet.
  void ShowButton(int index, int group, const std::u16string& caption);
  // Entry `index` of group `group`; null for no such entry.
  TAppItem* EntryAt(int group, int index) const;
  int AddEntryIcon(TAppItem& entry);
  void PaintButton(TIconSpeedBtn& button, TAppItem* entry, const std::u16string& caption);
  // The font of the large buttons' captions at the window's DPI.
  HFONT CaptionFont();
  void SizeButtonPanel();

  TMainFormEnv FEnv;
  std::unique_ptr<TShellIconWarmUp> FIconWarmUp;
  std::vector<std::unique_ptr<TIconSpeedBtn>> FButtons;  // by index in the row
  int FSliderLeft = 0;  // the button panel's Left
  int FIconExtractions = 0;
  UniqueImageList FImageList;  // the nine images of the tool bars and menus
  UniqueFont FTabFont;
  UniqueFont FCaptionFont;
  UINT FCaptionFontDpi = 0;
  int FHeightAboveCaption = 82;
  bool FShown = false;
  bool FComInitialised = false;
  // The settings file was rejected at start-up: it is moved aside, never
  // overwritten, before the first save.
  bool FSettingsRejected = false;
};
