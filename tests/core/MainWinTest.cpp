#include "core/MainWin.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "core/TextCodec.h"
#include "core/WinSupport.h"

namespace {

TEST(MainWin, VersionTestsOnATableOfVersionRecords) {
  struct Case {
    TOsVersion v;
    bool canLock, toggleBlocked;
  };
  const Case cases[] = {
      {{false, 4, 10}, false, false},  // consumer family
      {{true, 4, 0}, false, false},   {{true, 5, 0}, true, false}, {{true, 5, 1}, true, true},
      {{true, 5, 2}, true, true},     {{true, 6, 0}, true, false}, {{true, 6, 1}, true, true},
      {{true, 10, 0}, true, false},   // the minor version alone decides past 5
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CanLockWorkstation(c.v), c.canLock) << c.v.Major << "." << c.v.Minor;
    EXPECT_EQ(DesktopToggleBlocked(c.v), c.toggleBlocked) << c.v.Major << "." << c.v.Minor;
  }
}

TEST(MainWin, OptionsDecideWhichCommandsAreOffered) {
  TSkiffData s;
  TActionStates a = ActionStatesFor(s, {true, 6, 1});
  EXPECT_TRUE(a.ExplorerEnabled);
  EXPECT_TRUE(a.DesktopEnabled);
  EXPECT_TRUE(a.LockVisible);
  EXPECT_FALSE(a.DesktopButtonVisible);
  EXPECT_EQ(a.RightToolBarWidth, 46);
  s.DisableExplorer = s.DisableDesktop = true;
  a = ActionStatesFor(s, {false, 4, 90});
  EXPECT_FALSE(a.ExplorerEnabled);
  EXPECT_FALSE(a.DesktopEnabled);
  EXPECT_FALSE(a.LockVisible);
  EXPECT_TRUE(a.DesktopButtonVisible);
  EXPECT_EQ(a.RightToolBarWidth, 23);
}

TEST(MainWin, DesktopToggleLook) {
  EXPECT_EQ(DesktopActionLook(true).ImageIndex, 1);
  EXPECT_EQ(DesktopActionLook(true).Hint, u"Show the Desktop Icons");
  EXPECT_EQ(DesktopActionLook(false).ImageIndex, 0);
  EXPECT_EQ(DesktopActionLook(false).Hint, u"Hide the Desktop Icons");
}

TEST(MainWin, ButtonSizesAndFixedHeights) {
  struct Case {
    int btnSize, width, height, aboveCaption;
  };
  const Case cases[] = {{0, 21, 22, 82}, {1, 36, 37, 97}, {2, 64, 74, 135}, {3, 64, 74, 135}, {-1, 64, 74, 135}};
  for (const Case& c : cases) {
    const TButtonSize s = ButtonSizeFor(c.btnSize);
    EXPECT_EQ(s.Width, c.width) << c.btnSize;
    EXPECT_EQ(s.Height, c.height) << c.btnSize;
    EXPECT_EQ(s.HeightAboveCaption, c.aboveCaption) << c.btnSize;
  }
}

TEST(MainWin, ExplorerParameters) {
  TSkiffData s;
  EXPECT_EQ(ExplorerParameters(s), u"/e, \"\"");
  s.ExpStartDir = u"C:\\Shared Files";
  EXPECT_EQ(ExplorerParameters(s), u"/e, \"C:\\Shared Files\"");
  s.ExpRoot = true;
  EXPECT_EQ(ExplorerParameters(s), u"/e,/root, \"C:\\Shared Files\"");
}

// --- Tabs and the row of program buttons ---------------------------------------

std::string U8(std::u16string_view s) { return Utf16ToUtf8(s); }

// Groups named "G0", "G1", ... with the given numbers of entries.
void AddGroups(TSkiffData& s, std::initializer_list<int> entries) {
  for (int count : entries) {
    TGroupItem& g = s.Groups.Add();
    g.Name = u"G" + Widen(std::to_string(s.Groups.Count() - 1));
    for (int i = 0; i < count; ++i) g.Apps.Add().Command = u"app" + Widen(std::to_string(i)) + u".exe";
  }
}

TEST(MainWin, TabsGroupsAndRows) {
  struct Case {
    bool showInfo;
    int tab, group, row;
  };
  const Case cases[] = {{true, 0, -1, 0},  {true, 1, 0, 1},  {true, 5, 4, 5},
                        {false, 0, 0, 1},  {false, 4, 4, 5}, {false, -1, -1, 0}};
  for (const Case& c : cases) {
    EXPECT_EQ(GroupIndexOfTab(c.tab, c.showInfo), c.group) << c.showInfo << " " << c.tab;
    EXPECT_EQ(CurrentTabRow(c.tab, c.showInfo), c.row) << c.showInfo << " " << c.tab;
  }
  TTabInfo info(3);
  EXPECT_EQ(TabRowOf(info, 1, false), &info[2]);
  EXPECT_EQ(TabRowOf(info, 2, true), &info[2]);
  EXPECT_EQ(TabRowOf(info, 2, false), nullptr);
  EXPECT_EQ(TabRowOf(info, -1, true), nullptr);  // no tab selected
}

TEST(MainWin, BuildTabsMakesOneTabAndRowPerGroup) {
  TSkiffData s;
  s.Drives = u"cd";
  AddGroups(s, {2, 0, 5});

  TTabsLayout t = BuildTabs(s, StartTab(s));
  ASSERT_EQ(t.Captions.size(), 3u);
  EXPECT_EQ(t.Captions[0], u"G0");
  EXPECT_EQ(t.Captions[2], u"G2");
  ASSERT_EQ(t.TabInfo.size(), 4u);
  EXPECT_EQ(t.TabInfo[0].Count, 0);
  EXPECT_EQ(t.TabInfo[1].Count, 2);
  EXPECT_EQ(t.TabInfo[2].Count, 0);
  EXPECT_EQ(t.TabInfo[3].Count, 5);
  EXPECT_EQ(t.SelectedTab, 0);
  EXPECT_EQ(t.Fill.Group, 0);
  EXPECT_FALSE(t.Fill.Drives);

  // Behind the information tab the first group's tab is selected at
  // start-up, and its buttons are shown at once.
  s.ShowInfo = true;
  t = BuildTabs(s, StartTab(s));
  ASSERT_EQ(t.Captions.size(), 4u);
  EXPECT_EQ(t.Captions[0], u"Sys Info");
  EXPECT_EQ(t.Captions[1], u"G0");
  EXPECT_EQ(t.TabInfo[0].Count, 2);  // one button per drive letter
  EXPECT_EQ(t.TabInfo[3].Count, 5);
  EXPECT_EQ(t.SelectedTab, 1);
  EXPECT_EQ(t.Fill.Group, 0);
  EXPECT_FALSE(t.Fill.Drives);
}

TEST(MainWin, RebuildingFillsTheRowOfTheTabThatEndsUpSelected) {
  struct Case {
    bool showInfo;
    int groups, tab;
    int selected, group;
    bool drives;
  };
  const Case cases[] = {
      {true, 3, 0, 0, -1, true},    // the information tab stays, with its drives
      {true, 3, 2, 2, 1, false},
      {true, 3, 9, 3, 2, false},    // groups were deleted: the last tab
      {false, 3, 9, 2, 2, false},
      {false, 3, -4, 0, 0, false},
      {true, 0, 0, 0, -1, true},    // only the information tab
      {true, 0, 1, 0, -1, true},
      {false, 0, 0, -1, -1, false}, // no tab at all
  };
  for (const Case& c : cases) {
    TSkiffData s;
    s.ShowInfo = c.showInfo;
    s.Drives = u"c";
    for (int g = 0; g < c.groups; ++g) AddGroups(s, {1});
    const TTabsLayout t = BuildTabs(s, c.tab);
    EXPECT_EQ(t.SelectedTab, c.selected) << c.showInfo << " " << c.groups << " " << c.tab;
    EXPECT_EQ(t.Fill.Group, c.group) << c.showInfo << " " << c.groups << " " << c.tab;
    EXPECT_EQ(t.Fill.Drives, c.drives) << c.showInfo << " " << c.groups << " " << c.tab;
  }
}

TEST(MainWin, EveryOneOfManyGroupsGetsItsTab) {
  TSkiffData s;
  s.ShowInfo = true;
  for (int g = 0; g < 150; ++g) AddGroups(s, {g % 7});
  TTabsLayout t = BuildTabs(s, 150);
  ASSERT_EQ(t.Captions.size(), 151u);
  EXPECT_EQ(t.Captions[150], u"G149");
  ASSERT_EQ(t.TabInfo.size(), 151u);
  EXPECT_EQ(t.SelectedTab, 150);
  EXPECT_EQ(t.Fill.Group, 149);
  const TTabRow* row = TabRowOf(t.TabInfo, 150, true);
  ASSERT_NE(row, nullptr);
  EXPECT_EQ(row->Count, 149 % 7);
  EXPECT_EQ(RowContentOf(s, 151).Group, -1);  // past the last tab: nothing to show
}

TEST(MainWin, SliderRangeAndReset) {
  struct Case {
    int count, buttonWidth, tabWidth;
    bool visible;
    int max;
  };
  const Case cases[] = {
      {20, 64, 671, true, 10},  // 20 large buttons: range 0 to 10
      {10, 64, 671, false, 0},  // 640 pixels fit
      {11, 64, 671, true, 1},
      {31, 21, 671, false, 0},  // mini: 651 pixels fit
      {32, 21, 671, true, 1},
      {19, 36, 671, true, 1},   // small: 684 > 671, 18 visible
      {0, 64, 671, false, 0},
      {3, 64, 0, true, 3},      // a window with no room
      {3, 64, -20, true, 3},
      {3, 0, 671, false, 0},    // no button size yet
  };
  for (const Case& c : cases) {
    TTabRow row{c.count, 2};
    const TSliderLook look = UpdateSlider(row, c.buttonWidth, c.tabWidth);
    EXPECT_EQ(look.Visible, c.visible) << c.count << " x " << c.buttonWidth << " in " << c.tabWidth;
    if (c.visible) {
      EXPECT_EQ(look.Max, c.max) << c.count << " x " << c.buttonWidth << " in " << c.tabWidth;
    }
    // The position survives only while the slider is shown.
    EXPECT_EQ(row.Position, c.visible ? 2 : 0) << c.count << " x " << c.buttonWidth << " in " << c.tabWidth;
  }
  TTabRow row{20, 0};
  EXPECT_EQ(ProgramSliderChange(row, 3, 64), -192);
  EXPECT_EQ(row.Position, 3);
  EXPECT_EQ(ProgramSliderChange(row, 0, 64), 0);
  EXPECT_EQ(row.Position, 0);
}

TEST(MainWin, EachTabRemembersItsSliderPosition) {
  TSkiffData s;
  s.ShowInfo = true;
  s.Drives = u"cdefghijklmnopqrstuv";  // 20 drive buttons
  AddGroups(s, {20, 3, 15});
  TTabsLayout t = BuildTabs(s, StartTab(s));
  int tabWidth = 671;

  // ProgramPagesChange, as the window does it: returns the panel's Left.
  auto selectTab = [&](int tab) {
    TTabRow* row = TabRowOf(t.TabInfo, tab, true);
    const TSliderLook look = UpdateSlider(*row, 64, tabWidth);
    return ProgramSliderChange(*row, RememberedPosition(*row, look), 64);
  };
  auto scroll = [&](int tab, int position) { ProgramSliderChange(*TabRowOf(t.TabInfo, tab, true), position, 64); };

  EXPECT_EQ(selectTab(1), 0);
  scroll(1, 7);
  EXPECT_EQ(selectTab(2), 0);  // 3 buttons fit
  EXPECT_EQ(selectTab(3), 0);
  scroll(3, 4);
  EXPECT_EQ(selectTab(0), 0);
  scroll(0, 9);
  EXPECT_EQ(selectTab(1), -7 * 64);
  EXPECT_EQ(selectTab(3), -4 * 64);
  EXPECT_EQ(selectTab(0), -9 * 64);

  // Wider window: the first group's range is now 0 to 5, and the slider
  // goes to its end, not past it.
  tabWidth = 1000;
  EXPECT_EQ(selectTab(1), -5 * 64);
  // The 15 buttons of the last group fit now: its position is forgotten.
  EXPECT_EQ(selectTab(3), 0);
  tabWidth = 671;
  EXPECT_EQ(selectTab(3), 0);

  // A rebuild forgets every position.
  t = BuildTabs(s, 1);
  EXPECT_EQ(selectTab(0), 0);
  EXPECT_EQ(selectTab(1), 0);
}

// --- A press on a program button --------------------------------------------

// Records what the press does, in order, and answers as told.
struct FakeHost : TPressHost {
  std::vector<std::string> Events;
  bool Busy = false;
  bool Answer = true;
  int Result = 42;
  std::u16string MissingFolder;
  std::function<void()> WhileAsking;  // runs while a message box is open

  bool ButtonBusy() const override { return Busy; }
  void ArmBusyGuard() override {
    Busy = true;
    Events.push_back("arm");
  }
  bool ShowMessage(std::u16string_view text, TMessageKind kind) override {
    static const char* const kinds[] = {"warning", "yes/no", "ok/cancel", "plain"};
    Events.push_back(std::string(kinds[static_cast<int>(kind)]) + ": " + U8(text));
    if (WhileAsking) WhileAsking();
    return Answer;
  }
  void MinimizeApplication() override { Events.push_back("minimize"); }
  int RunProgram(const std::u16string& file, const std::u16string& parameters, const std::u16string& folder,
                 int showCommand) override {
    Events.push_back("run " + U8(file) + "|" + U8(parameters) + "|" + U8(folder) + "|" +
                     std::to_string(showCommand));
    return Result;
  }
  bool FolderExists(const std::u16string& folder) override {
    Events.push_back("folder? " + U8(folder));
    return folder != MissingFolder;
  }
};

using Events = std::vector<std::string>;

TEST(MainWin, PressRunsTheEntryAfterItsConfirmation) {
  struct Case {
    const char* dialogType;
    const char* windowState;
    bool minimize, ignoreAccessDenied, answer;
    int result;
    Events events;
  };
  const std::string run = "run notepad.exe|notes.txt|C:\\Work|";
  const std::string cannot = "warning: Cannot run the program: ";
  const std::string folder = "folder? C:\\Work", command = "\nnotepad.exe";
  const Case cases[] = {
      {"N", "N", false, false, true, 42, {run + "1"}},
      {"N", "M", false, false, true, 42, {run + "6"}},
      {"N", "Minimised", false, false, true, 42, {run + "6"}},
      {"N", "X", false, false, true, 42, {run + "3"}},
      {"N", "", false, false, true, 42, {run + "1"}},
      {"N", "m", false, false, true, 42, {run + "1"}},
      {"Y", "N", false, false, true, 42, {"yes/no: Open the notes?", run + "1"}},
      {"Y", "N", false, false, false, 42, {"yes/no: Open the notes?"}},
      {"O", "N", false, false, true, 42, {"ok/cancel: Open the notes?", run + "1"}},
      {"O", "N", true, false, false, 42, {"ok/cancel: Open the notes?"}},  // refused: not even minimised
      {"y", "N", false, false, false, 42, {run + "1"}},
      {"Yes", "N", false, false, false, 42, {run + "1"}},
      {"", "N", false, false, false, 42, {run + "1"}},
      // Minimised before the shell call, so also when it fails.
      {"N", "N", true, false, true, 42, {"minimize", run + "1"}},
      {"Y", "X", true, false, true, 2,
       {"yes/no: Open the notes?", "minimize", run + "3", folder, cannot + "The specified file was not found." + command}},
      {"N", "N", false, false, true, 31,
       {run + "1", folder, cannot + "There is no application associated with the given filename extension." + command}},
      {"N", "N", false, false, true, 5, {run + "1", folder, cannot + "Access to the file or object is denied." + command}},
      {"N", "N", false, true, true, 5, {run + "1"}},
      {"N", "N", false, true, true, 2, {run + "1", folder, cannot + "The specified file was not found." + command}},
      {"N", "N", false, false, true, 32, {run + "1", folder, cannot + "A DLL was not found." + command}},
      {"N", "N", false, false, true, 0, {run + "1", folder, cannot + "Error: 0" + command}},
      {"N", "N", false, false, true, 33, {run + "1"}},
  };
  for (const Case& c : cases) {
    TSkiffData s;
    AddGroups(s, {0, 2});
    TAppItem& item = s.Groups[1].Apps[1];
    item.Command = u"notepad.exe";
    item.Parameters = u"notes.txt";
    item.Directory = u"C:\\Work";
    item.DialogText = u"Open the notes?";
    item.DialogType = Utf8ToUtf16(c.dialogType);
    item.WindowState = Utf8ToUtf16(c.windowState);
    item.MinimizeOnRun = c.minimize;
    item.IgnoreAccessDenied = c.ignoreAccessDenied;
    FakeHost host;
    host.Answer = c.answer;
    host.Result = c.result;
    ProgramBtnClick(host, s, 1, 1);
    EXPECT_EQ(host.Events, c.events) << c.dialogType << " " << c.windowState << " " << c.result;
  }
}

TEST(MainWin, PressOnAnEntryWithoutCommandOrWithAnEmptyQuestion) {
  TSkiffData s;
  AddGroups(s, {2});
  TAppItem& item = s.Groups[0].Apps[0];
  item.Command.clear();
  item.DialogType = u"Y";
  item.MinimizeOnRun = true;
  FakeHost host;
  ProgramBtnClick(host, s, 0, 0);
  EXPECT_EQ(host.Events, Events{"warning: There is no program to run."});

  item.Command = u"calc.exe";
  host.Events.clear();
  ProgramBtnClick(host, s, 0, 0);  // the box is shown without a question
  EXPECT_EQ(host.Events, (Events{"yes/no: ", "minimize", "run calc.exe|||1"}));
}

TEST(MainWin, PressOnTheInformationTabNamesTheButton) {
  TSkiffData s;
  s.ShowInfo = true;
  s.Drives = u"cd";
  AddGroups(s, {1});
  FakeHost host;
  ProgramBtnClick(host, s, 0, 0);
  ProgramBtnClick(host, s, 0, 1);
  ProgramBtnClick(host, s, 1, 0);  // the first group, behind the information tab
  EXPECT_EQ(host.Events, (Events{"plain: Info: 0", "plain: Info: 1", "run app0.exe|||1"}));
}

TEST(MainWin, PressOutsideTheSettingsDoesNothing) {
  TSkiffData s;
  AddGroups(s, {1, 2});
  const std::pair<int, int> presses[] = {{0, 1}, {0, -1}, {1, 2}, {2, 0}, {-1, 0}, {99, 99}};
  for (const auto& [tab, tag] : presses) {
    FakeHost host;
    ProgramBtnClick(host, s, tab, tag);
    EXPECT_EQ(host.Events, Events{}) << tab << " " << tag;
  }
  s.ShowInfo = true;  // tab 0 is then the information tab, tab 3 nothing
  FakeHost host;
  ProgramBtnClick(host, s, 3, 0);
  EXPECT_EQ(host.Events, Events{});
}

TEST(MainWin, RepeatPressGuard) {
  struct Case {
    int doubleClickTime;
    Events events;
  };
  const Case cases[] = {
      {0, {"run app0.exe|||1", "run app0.exe|||1"}},
      {-5, {"run app0.exe|||1", "run app0.exe|||1"}},
      {1, {"arm", "run app0.exe|||1"}},
      {1000, {"arm", "run app0.exe|||1"}},
  };
  for (const Case& c : cases) {
    TSkiffData s;
    s.DoubleClickTime = c.doubleClickTime;
    AddGroups(s, {2});
    FakeHost host;
    ProgramBtnClick(host, s, 0, 0);
    ProgramBtnClick(host, s, 0, 0);
    EXPECT_EQ(host.Events, c.events) << c.doubleClickTime;
  }

  // Armed before anything else: also for presses that end in a message or
  // that hit nothing, and a guarded press does nothing at all.
  TSkiffData s;
  s.DoubleClickTime = 1;
  s.ShowInfo = true;
  AddGroups(s, {1});
  s.Groups[0].Apps[0].Command.clear();
  const std::pair<int, Events> presses[] = {
      {0, {"arm", "plain: Info: 0"}},
      {1, {"arm", "warning: There is no program to run."}},
      {7, {"arm"}},
  };
  for (const auto& [tab, events] : presses) {
    FakeHost host;
    ProgramBtnClick(host, s, tab, 0);
    EXPECT_EQ(host.Events, events) << tab;
    host.Events.clear();
    ProgramBtnClick(host, s, tab, 0);
    EXPECT_EQ(host.Events, Events{}) << tab;
  }
}

TEST(MainWin, PressPassesLongStringsWhole) {
  TSkiffData s;
  AddGroups(s, {1});
  TAppItem& item = s.Groups[0].Apps[0];
  item.Command = u"C:\\" + std::u16string(300, u'a') + u".exe";
  item.Parameters = std::u16string(400, u'p');
  item.Directory = u"D:\\" + std::u16string(280, u'd');
  FakeHost host;
  ProgramBtnClick(host, s, 0, 0);
  ASSERT_EQ(host.Events.size(), 1u);
  EXPECT_EQ(host.Events[0], "run " + U8(item.Command) + "|" + U8(item.Parameters) + "|" + U8(item.Directory) + "|1");
}

TEST(MainWin, SettingsEditedDuringTheConfirmationDoNotChangeThePress) {
  // The settings can be edited from the tray menu while the box is open.
  TSkiffData s;
  AddGroups(s, {1});
  TAppItem& item = s.Groups[0].Apps[0];
  item.Command = u"backup.cmd";
  item.Parameters = u"/full";
  item.DialogType = u"O";
  item.DialogText = u"Start the backup?";
  item.WindowState = u"M";
  item.MinimizeOnRun = true;
  FakeHost host;
  host.Result = 2;
  host.WhileAsking = [&] { s.Groups.Clear(); };
  ProgramBtnClick(host, s, 0, 0);
  EXPECT_EQ(host.Events, (Events{"ok/cancel: Start the backup?", "minimize", "run backup.cmd|/full||6",
                                 "warning: Cannot run the program: The specified file was not found.\nbackup.cmd"}));
}

TEST(MainWin, AFailedStartNamesItsCommandAndAMissingStartFolder) {
  struct Case {
    const char* directory;
    const char* missing;
    int result;
    Events events;
  };
  const std::string run = "run C:\\Tools\\sync.exe||";
  const Case cases[] = {
      {"C:\\Data", "", 2,
       {run + "C:\\Data|1", "folder? C:\\Data",
        "warning: Cannot run the program: The specified file was not found.\nC:\\Tools\\sync.exe"}},
      {"C:\\Gone", "C:\\Gone", 3,
       {run + "C:\\Gone|1", "folder? C:\\Gone",
        "warning: Cannot run the program: The specified path was not found.\nC:\\Tools\\sync.exe\n"
        "Start directory: C:\\Gone"}},
      // No folder to look at.
      {"", "", 2, {run + "|1", "warning: Cannot run the program: The specified file was not found.\nC:\\Tools\\sync.exe"}},
      // A start that worked looks at nothing.
      {"C:\\Gone", "C:\\Gone", 42, {run + "C:\\Gone|1"}},
  };
  for (const Case& c : cases) {
    TSkiffData s;
    AddGroups(s, {1});
    TAppItem& item = s.Groups[0].Apps[0];
    item.Command = u"C:\\Tools\\sync.exe";
    item.Directory = Utf8ToUtf16(c.directory);
    FakeHost host;
    host.Result = c.result;
    host.MissingFolder = Utf8ToUtf16(c.missing);
    ProgramBtnClick(host, s, 0, 0);
    EXPECT_EQ(host.Events, c.events) << c.directory << " " << c.result;
  }
}

}  // namespace

TEST(MainWin, TheKeyboardMovesWithinTheRowAndRoundTheTabs) {
  using enum TRowKey;
  const struct {
    TRowKey Key;
    int Focused, Count, Target;
  } moves[] = {
      {rkNext, 2, 5, 3},  {rkNext, 4, 5, 4},  {rkPrevious, 0, 5, 0}, {rkPrevious, 3, 5, 2},
      {rkNext, -1, 5, 0}, {rkFirst, 3, 5, 0}, {rkLast, 0, 5, 4},     {rkLast, 0, 0, -1},
  };
  for (const auto& m : moves) EXPECT_EQ(RowKeyTarget(m.Key, m.Focused, m.Count), m.Target) << m.Focused;
  // 30 buttons, 10 in view: the slider moves only as far as needed to show
  // the focused one, and not at all for a row that fits.
  const TSliderLook slider{true, 20};
  EXPECT_EQ(PositionShowing(12, 0, 10, slider), 3);
  EXPECT_EQ(PositionShowing(5, 3, 10, slider), 3);
  EXPECT_EQ(PositionShowing(2, 3, 10, slider), 2);
  EXPECT_EQ(PositionShowing(29, 0, 10, slider), 20);
  EXPECT_EQ(PositionShowing(7, 4, 10, TSliderLook{}), 0);
  EXPECT_EQ(NextTab(2, 3, true), 0);
  EXPECT_EQ(NextTab(0, 3, false), 2);
  EXPECT_EQ(NextTab(1, 3, true), 2);
  EXPECT_EQ(NextTab(0, 0, true), -1);
}

TEST(MainWin, AScreenReaderHearsATitleOnOneLine) {
  EXPECT_EQ(AccessibleTitle(u"Note|pad", true), u"Note pad");
  EXPECT_EQ(AccessibleTitle(u"Note|pad", false), u"Note|pad");  // an ordinary character then
  EXPECT_EQ(AccessibleTitle(u"Two\r\nlines |", true), u"Two lines ");
  EXPECT_EQ(AccessibleTitle(u"", true), u"");
}
