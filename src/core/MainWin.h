// The main window's rules that need no window: which commands are offered
// and how, the window's fixed height, the Explorer command line, the tabs
// and their row of program buttons, and what a press on a button does.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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
// The size a BtnSize is shown in: a value outside 0 to 2 is Large, as the
// large icons that every value but 0 gets say it is; the dialog shows the same.
int ShownBtnSize(int btnSize);
TButtonSize ButtonSizeFor(int btnSize);

// "/e," ["/root,"] " \"folder\"": what Explorer is started with.
std::u16string ExplorerParameters(const TSkiffData& settings);

inline constexpr char16_t kCloseConfirmation[] = u"Are you sure you want to close Dorvane?";
inline constexpr char16_t kApplicationTitle[] = u"Quorvel Dorvane";

// --- Tabs and the row of program buttons --------------------------------------

inline constexpr char16_t kInfoTabCaption[] = u"Sys Info";
// What the button area says while there is no tab: how to begin, or, where
// nothing may be added (/R), only that there is nothing.
inline constexpr char16_t kEmptyDesk[] = u"No programs yet: drop a program here, or press Configuration to add one.";
inline constexpr char16_t kEmptyLockedDesk[] = u"No programs yet.";

// What a tab remembers: how many buttons its row has and where the slider
// stood when it was last shown.
struct TTabRow {
  int Count = 0;
  int Position = 0;
};

// Row 0 belongs to the information tab and row g + 1 to group g, whether or
// not the information tab is shown. One row per group, however many there are.
using TTabInfo = std::vector<TTabRow>;

// The group a tab shows: negative for the information tab (or no tab).
int GroupIndexOfTab(int tab, bool showInfo);
// The TabInfo row of the selected tab.
int CurrentTabRow(int selectedTab, bool showInfo);
// That row, or null when the selection has none (no tab at all).
TTabRow* TabRowOf(TTabInfo& tabInfo, int selectedTab, bool showInfo);

// What fills the row for a tab: a group's entries, the drive buttons of the
// information tab, or nothing (a tab that does not exist).
struct TRowContent {
  int Group = -1;
  bool Drives = false;
};
TRowContent RowContentOf(const TSkiffData& settings, int tab);

// The group a dropped file joins: the selected tab's; on a desk without
// groups the group "Programs", made for it. -1 on the information tab.
int DropGroup(TSkiffData& settings, int selectedTab);

// The tabs as BuildTabs makes them. The selected tab is the one asked for,
// kept within the tabs there are, and its row is filled at once.
struct TTabsLayout {
  std::vector<std::u16string> Captions;
  TTabInfo TabInfo;
  int SelectedTab = -1;  // -1: there is no tab
  TRowContent Fill;
};
TTabsLayout BuildTabs(const TSkiffData& settings, int tab);
// The tab shown first: the first group's, also behind the information tab.
int StartTab(const TSkiffData& settings);
// The tab of the first group named `name` (not empty); the start tab when
// there is none, as after a new settings file took the old one's place.
int TabOfGroupNamed(const TSkiffData& settings, std::u16string_view name);

// The slider under a row wider than the tab control; one step is one button.
struct TSliderLook {
  bool Visible = false;
  int Max = 0;
};
// UpdateSlider's rule. A row that fits forgets its position: the caller
// then puts the slider and the panel back at 0.
TSliderLook UpdateSlider(TTabRow& row, int buttonWidth, int tabControlWidth);
// Where the slider goes when a tab is shown again: its remembered position,
// within the range the slider has now.
int RememberedPosition(const TTabRow& row, const TSliderLook& slider);
// ProgramSliderChange's rule: the row remembers the position; returns the
// Left of the button panel.
int ProgramSliderChange(TTabRow& row, int position, int buttonWidth);

// What a screen reader calls a program button: the entry's title on one
// line, its line breaks (and "|" where it breaks the caption) as blanks.
std::u16string AccessibleTitle(std::u16string_view title, bool vertBarLineBreak);

// --- The keyboard on the row and the tabs ---------------------------------------

enum class TRowKey { rkPrevious, rkNext, rkFirst, rkLast };
// The button a key moves the focus to in a row of `count` buttons, from the
// focused one (-1 for none); -1 when the row is empty.
int RowKeyTarget(TRowKey key, int focused, int count);
// The slider position that shows button `index` with as little movement as
// possible, `perPage` whole buttons fitting in the row.
int PositionShowing(int index, int position, int perPage, const TSliderLook& slider);
// The tab Ctrl+Tab (forward) or Ctrl+Shift+Tab goes to: the next or the
// previous, round the end; -1 without tabs.
int NextTab(int selected, int count, bool forward);

// --- A press on a program button ---------------------------------------------

enum class TMessageKind {
  mkWarning,       // warning, OK
  mkConfirmation,  // question, Yes and No
  mkInformation,   // information, OK and Cancel
  mkPlain,         // no icon, OK
};

// What a press needs from the window it happens in.
struct TPressHost {
  virtual ~TPressHost() = default;
  // The repeat-press guard: set for a second after a guarded press.
  virtual bool ButtonBusy() const = 0;
  virtual void ArmBusyGuard() = 0;
  // A modal message box; true when the user chose Yes or OK.
  virtual bool ShowMessage(std::u16string_view text, TMessageKind kind) = 0;
  virtual void MinimizeApplication() = 0;
  // The shell call: above 32 is success, anything else an error code.
  virtual int RunProgram(const std::u16string& file, const std::u16string& parameters,
                         const std::u16string& folder, int showCommand) = 0;
  // Whether a start folder is there, for the message of a failed start.
  virtual bool FolderExists(const std::u16string& folder) = 0;
};

inline constexpr char16_t kStartDirectoryLine[] = u"Start directory: ";
// The warning of a failed start: the shell's reason, then the command on a
// line of its own, so that the broken entry can be found among many, and
// the start folder when it is missing.
std::u16string CannotRunMessage(int result, std::u16string_view command, std::u16string_view folder,
                                bool folderMissing);

// A press on the button with index buttonTag under the selected tab: the
// guard, the information message or the entry's confirmation, the optional
// self-minimise, the shell call and its error message.
void ProgramBtnClick(TPressHost& host, const TSkiffData& settings, int selectedTab, int buttonTag);
