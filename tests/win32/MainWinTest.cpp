// The main window made in this process over a settings file in a fresh
// folder, driven with the messages its controls and the system would send.
#include "win32/MainWin.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <fstream>
#include <shlobj.h>

#include "core/Errors.h"
#include "core/TextCodec.h"
#include "core/uCompStream.h"
#include "win32/DataClasses.h"
#include "win32/WinSupport.h"

#include "WindowTestSupport.h"

namespace {

struct ShownBox {
  std::u16string Text, Caption;
  UINT Type;
};

struct RunCall {
  std::u16string File, Parameters, Folder;
  int Show;
};

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream(path.c_str(), std::ios::binary) << bytes;
}

class MainWindow : public testing::Test {
 protected:
  TTempFolder temp{L"Dorvane main \u00e9"};
  std::wstring folder = temp.Path();
  std::wstring settingsFile = folder + L"SkiffData.dat";
  TApplication app{GetModuleHandleW(nullptr)};
  std::vector<ShownBox> boxes;
  int answer = IDNO;
  std::vector<RunCall> runs;
  bool runFails = false;
  bool trayRefused = false;
  TOsVersion version{true, 6, 1};
  std::unique_ptr<TMainForm> form;

  void SetUp() override {
    app.MessageBoxProc = [this](HWND, const std::u16string& text, const std::u16string& caption, UINT type) {
      boxes.push_back({text, caption, type});
      return answer;
    };
  }
  void TearDown() override {
    form.reset();
    Pump();
  }

  void WriteSettings(const std::string& body) {
    WriteBytes(settingsFile, "object TSkiffData\r\n" + body + "\r\nend\r\n");
  }

  std::u16string commandLine;

  TMainForm& Start() {
    TMainFormEnv env;
    env.CommandLine = commandLine;
    env.IniFolder = folder;
    if (trayRefused) env.TrayNotify = [this](DWORD, NOTIFYICONDATAW&) { return trayRefused ? FALSE : TRUE; };
    env.SettingsFile = settingsFile;
    env.RunProgram = [this](HWND, const std::u16string& f, const std::u16string& p, const std::u16string& d, int s) {
      if (runFails) throw EStreamError("Stream write error");
      runs.push_back({f, p, d, s});
      return 42;
    };
    env.OsVersion = [this] { return version; };
    env.EndsProgram = false;
    form = std::make_unique<TMainForm>(app, env);
    form->Create();
    form->Show();
    Pump();
    return *form;
  }

  int WindowHeight() {
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    return r.bottom - r.top;
  }

  bool ButtonHidden(const char* bar, const TAction* action) {
    return SendMessageW(form->Control(bar), TB_ISBUTTONHIDDEN, action->Id, 0) != 0;
  }

  void Press(const TAction* action) {
    SendMessageW(form->Handle(), WM_COMMAND, MAKEWPARAM(action->Id, BN_CLICKED),
                 reinterpret_cast<LPARAM>(form->Control("tbrLeft")));
  }

  std::u16string ToolTipOf(const TAction* action) {
    NMTTDISPINFOW info{};
    info.hdr.code = TTN_GETDISPINFOW;
    info.hdr.idFrom = action->Id;
    SendMessageW(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    return info.lpszText ? U16(info.lpszText) : u"";
  }
};

int CaptionHeight() {
  NONCLIENTMETRICSW m{};
  m.cbSize = sizeof m;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0);
  return m.iCaptionHeight;
}

// A window standing in for the shell's desktop window, which Wine lacks.
struct FakeDesktop {
  HWND Handle = CreateWindowExW(0, L"STATIC", L"program MANAGER", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr,
                                nullptr, nullptr, nullptr);
  ~FakeDesktop() { DestroyWindow(Handle); }
};

TEST_F(MainWindow, StartsWithoutASettingsFileAtTheMiniHeight) {
  TMainForm& f = Start();
  EXPECT_TRUE(IsWindowVisible(f.Handle()));
  EXPECT_EQ(f.Settings->Groups.Count(), 0);
  EXPECT_EQ(TabCtrl_GetItemCount(f.Control("ProgramPages")), 0);
  EXPECT_EQ(WindowHeight(), CaptionHeight() + f.Scale(82));
  EXPECT_TRUE(boxes.empty());
  EXPECT_EQ(GetFileAttributesW(settingsFile.c_str()), INVALID_FILE_ATTRIBUTES);  // nothing written
  wchar_t caption[32];
  GetWindowTextW(f.Handle(), caption, 32);
  EXPECT_STREQ(caption, L"Dorvane");
}

TEST_F(MainWindow, HeightIsFixedByTheButtonSize) {
  const std::pair<int, int> sizes[] = {{1, 97}, {2, 135}, {7, 82}};
  for (auto [btnSize, above] : sizes) {
    WriteSettings("BtnSize = " + std::to_string(btnSize));
    TMainForm& f = Start();
    EXPECT_EQ(WindowHeight(), CaptionHeight() + f.Scale(above)) << btnSize;
    SetWindowPos(f.Handle(), nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(WindowHeight(), CaptionHeight() + f.Scale(above)) << btnSize;
    EXPECT_EQ(f.Settings->BtnSize, btnSize);  // an unknown size is shown small but kept
  }
}

TEST_F(MainWindow, FollowsAMonitorOfAnotherDpi) {
  version = {false, 4, 10};  // the right tool bar was halved at run time
  TMainForm& f = Start();
  const int before = WindowHeight();
  RECT r{};
  GetWindowRect(f.Handle(), &r);
  const RECT suggested{r.left, r.top, r.left + (r.right - r.left) * 3 / 2, r.bottom + 500};
  SendMessageW(f.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  EXPECT_EQ(f.Scale(100), 150);
  EXPECT_EQ(WindowHeight(), MulDiv(CaptionHeight(), 144, 96) + 123);
  EXPECT_GT(WindowHeight(), before);
  GetWindowRect(f.Control("tbrRight"), &r);
  EXPECT_EQ(r.right - r.left, MulDiv(23, 144, 96));
  GetWindowRect(f.Control("SliderPanel"), &r);
  EXPECT_EQ(r.bottom - r.top, 36);
}

TEST_F(MainWindow, DisableCloseRefusesSilently) {
  WriteSettings("DisableClose = True");
  ASSERT_TRUE(CreateDirectoryW((folder + L"Deradiv.INI").c_str(), nullptr));  // the position cannot be written
  TMainForm& f = Start();
  SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(IsWindow(f.Handle()));
  EXPECT_TRUE(boxes.empty());
}

TEST_F(MainWindow, APositionThatCannotBeWrittenIsReportedOnceARun) {
  ASSERT_TRUE(CreateDirectoryW((folder + L"Deradiv.INI").c_str(), nullptr));
  TMainForm& f = Start();
  answer = IDNO;
  SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
  SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
  ASSERT_EQ(boxes.size(), 3u);
  EXPECT_EQ(boxes[1].Text, u"Unable to write to " + U16(folder) + u"Deradiv.INI");
  EXPECT_EQ(boxes[2].Text, kCloseConfirmation);
}

TEST_F(MainWindow, CloseAsksAndOnYesGivesTheDeskBack) {
  FakeDesktop desktop;
  const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  ASSERT_TRUE(taskbar) << "Wine's shell has a taskbar window";
  WriteSettings("HideProgMan = True\r\n  HideTaskBar = True");
  TMainForm& f = Start();
  EXPECT_FALSE(IsWindowVisible(desktop.Handle));
  EXPECT_FALSE(IsWindowVisible(taskbar));
  EXPECT_FALSE(f.DesktopHidden);  // the toggle is blocked on this system version

  answer = IDNO;
  SendMessageW(f.Handle(), WM_CLOSE, 0, 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, u"Are you sure you want to close Dorvane?");
  EXPECT_EQ(boxes[0].Caption, u"Quorvel Dorvane");
  EXPECT_EQ(boxes[0].Type, UINT(MB_YESNO | MB_ICONQUESTION));
  EXPECT_TRUE(IsWindow(f.Handle()));
  EXPECT_FALSE(IsWindowVisible(desktop.Handle));
  EXPECT_FALSE(IsWindowVisible(taskbar));

  answer = IDYES;
  const HWND window = f.Handle();
  SendMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(desktop.Handle));
  EXPECT_TRUE(IsWindowVisible(taskbar));
  HideTaskbar(true);  // as Wine had it
}

TEST_F(MainWindow, DisableMinimizeRefusesOnlyTheSystemCommand) {
  WriteSettings("DisableMinimize = True");
  TMainForm& f = Start();
  SendMessageW(f.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_FALSE(IsIconic(f.Handle()));
  ShowWindow(f.Handle(), SW_MINIMIZE);  // the program itself still may
  EXPECT_TRUE(IsIconic(f.Handle()));
  f.RestoreWindow();
  EXPECT_FALSE(IsIconic(f.Handle()));

  WriteSettings("DisableMinimize = False");
  TMainForm& g = Start();
  SendMessageW(g.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
  EXPECT_TRUE(IsIconic(g.Handle()));
}

TEST_F(MainWindow, TheSystemVersionDecidesLockAndDesktopButtons) {
  struct Case {
    TOsVersion v;
    bool lockHidden;
    int rightWidth;
    bool desktopHidden;
  };
  const Case cases[] = {{{false, 4, 10}, true, 23, false}, {{true, 5, 0}, false, 46, false}, {{true, 6, 1}, false, 46, true}};
  for (const Case& c : cases) {
    version = c.v;
    TMainForm& f = Start();
    RECT r{};
    GetWindowRect(f.Control("tbrRight"), &r);
    EXPECT_EQ(r.right - r.left, f.Scale(c.rightWidth)) << c.v.Major << "." << c.v.Minor;
    EXPECT_EQ(ButtonHidden("tbrRight", f.actLockWorkstation), c.lockHidden);
    EXPECT_EQ(f.actLockWorkstation->Visible(), !c.lockHidden);
    EXPECT_EQ(ButtonHidden("tbrLeft", f.actToggleDeskTop), c.desktopHidden);
    EXPECT_FALSE(ButtonHidden("tbrRight", f.actScreenSaver));
    const UniqueMenu tray = f.BuildTrayMenu();
    EXPECT_EQ(GetMenuItemCount(tray.Get()), c.lockHidden ? 3 : 4);
    EXPECT_EQ(GetMenuState(tray.Get(), f.actLockWorkstation->Id, MF_BYCOMMAND) == UINT(-1), c.lockHidden);
  }
}

TEST_F(MainWindow, ADisabledActionDisablesItsButtonAndItsMenuItem) {
  WriteSettings("DisableExplorer = True");
  TMainForm& f = Start();
  EXPECT_FALSE(SendMessageW(f.Control("tbrLeft"), TB_ISBUTTONENABLED, f.actExplorer->Id, 0));
  UniqueMenu tray = f.BuildTrayMenu();
  EXPECT_TRUE(GetMenuState(tray.Get(), f.actExplorer->Id, MF_BYCOMMAND) & MF_GRAYED);
  wchar_t caption[64] = {};
  GetMenuStringW(tray.Get(), 3, caption, 64, MF_BYPOSITION);
  EXPECT_STREQ(caption, L"Windows Explorer");
  f.actExplorer->SetEnabled(true);
  EXPECT_TRUE(SendMessageW(f.Control("tbrLeft"), TB_ISBUTTONENABLED, f.actExplorer->Id, 0));
  tray = f.BuildTrayMenu();
  EXPECT_FALSE(GetMenuState(tray.Get(), f.actExplorer->Id, MF_BYCOMMAND) & MF_GRAYED);
}

TEST_F(MainWindow, DesktopToggleFlipsTheWindowItsHintAndItsImage) {
  version = {true, 6, 0};
  FakeDesktop desktop;
  TMainForm& f = Start();
  const HWND bar = f.Control("tbrLeft");
  EXPECT_EQ(ToolTipOf(f.actToggleDeskTop), u"Hide the Desktop Icons");
  EXPECT_EQ(SendMessageW(bar, TB_GETBITMAP, f.actToggleDeskTop->Id, 0), 0);
  Press(f.actToggleDeskTop);
  EXPECT_FALSE(IsWindowVisible(desktop.Handle));
  EXPECT_EQ(ToolTipOf(f.actToggleDeskTop), u"Show the Desktop Icons");
  EXPECT_EQ(SendMessageW(bar, TB_GETBITMAP, f.actToggleDeskTop->Id, 0), 1);
  Press(f.actToggleDeskTop);
  EXPECT_TRUE(IsWindowVisible(desktop.Handle));
  EXPECT_EQ(ToolTipOf(f.actToggleDeskTop), u"Hide the Desktop Icons");
  EXPECT_EQ(SendMessageW(bar, TB_GETBITMAP, f.actToggleDeskTop->Id, 0), 0);
}

TEST_F(MainWindow, ExplorerStartsWithTheConfiguredFolder) {
  WriteSettings("ExpStartDir = 'C:\\Shared '#233'l\\'\r\n  ExpRoot = True");
  TMainForm& f = Start();
  Press(f.actExplorer);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].File, u"Explorer.exe");
  EXPECT_EQ(runs[0].Parameters, u"/e,/root, \"C:\\Shared \u00e9l\\\"");
  EXPECT_EQ(runs[0].Folder, u"");
  EXPECT_EQ(runs[0].Show, SW_SHOWNORMAL);

  WriteSettings("DisableExplorer = True");
  TMainForm& g = Start();
  EXPECT_FALSE(SendMessageW(g.Control("tbrLeft"), TB_ISBUTTONENABLED, g.actExplorer->Id, 0));
  Press(g.actExplorer);
  EXPECT_EQ(runs.size(), 1u);
}

TEST_F(MainWindow, TheBeforeScreenSaverCommandRunsHidden) {
  const std::string longParameters(400, 'p');  // passed whole
  WriteSettings("BeforeScreenSaverCommand = 'cmd.exe'\r\n  BeforeScreenSaverParameters =\r\n'" + longParameters.substr(0, 60) +
                "' + '" + longParameters.substr(60, 60) + "' + '" + std::string(280, 'p') + "'");
  TMainForm& f = Start();
  Press(f.actScreenSaver);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].File, u"cmd.exe");
  EXPECT_EQ(runs[0].Parameters, Widen(longParameters));
  EXPECT_EQ(runs[0].Show, SW_HIDE);
}

TEST_F(MainWindow, ARejectedSettingsFileIsShownThenKeptAside) {
  const std::string rejected = "object TSkiffData\r\n  BtnSize = 'two'\r\n  ShowInfo = True\r\nend\r\n";
  WriteBytes(settingsFile, rejected);
  WriteBytes(settingsFile + L".bad", "an older rejected file");
  TMainForm& f = Start();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, u"Error reading TSkiffData.BtnSize: Invalid property value");
  EXPECT_EQ(boxes[0].Type, UINT(MB_OK | MB_ICONERROR));
  EXPECT_FALSE(f.Settings->ShowInfo);  // the empty settings, not half of the file
  EXPECT_TRUE(IsWindowVisible(f.Handle()));
  EXPECT_EQ(ReadBytes(settingsFile), rejected);  // untouched until a save

  f.Settings->ExpStartDir = u"C:\\";
  f.SaveSettings();
  EXPECT_EQ(ReadBytes(settingsFile + L".bad"), rejected);
  EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings));
  f.SaveSettings();  // only the first save moves the file aside
  EXPECT_EQ(ReadBytes(settingsFile + L".bad"), rejected);
}

TEST_F(MainWindow, AFailureInAHandlerReachesTheErrorBoxAndTheWindowGoesOn) {
  runFails = true;
  TMainForm& f = Start();
  Press(f.actExplorer);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, u"Stream write error");
  EXPECT_EQ(boxes[0].Caption, u"Quorvel Dorvane");
  EXPECT_EQ(boxes[0].Type, UINT(MB_OK | MB_ICONERROR));
  EXPECT_TRUE(IsWindowVisible(f.Handle()));
}

TEST_F(MainWindow, TheSwitchRDisablesTheConfigurationCommand) {
  const std::pair<std::u16string, bool> cases[] = {
      {u"\"C:\\Dorvane\\Dorvane.exe\"", true},  {u"Dorvane.exe -R", false}, {u"Dorvane.exe /r", false},
      {u"Dorvane.exe +r", true},                     {u"Dorvane.exe /x -q", true}, {u"Dorvane.exe C:\\no-such-file /R", false}};
  for (const auto& [line, enabled] : cases) {
    commandLine = line;
    TMainForm& f = Start();
    EXPECT_EQ(f.actConfig->Enabled(), enabled) << Utf16ToUtf8(line);
    EXPECT_EQ(SendMessageW(f.Control("tbrLeft"), TB_ISBUTTONENABLED, f.actConfig->Id, 0) != 0, enabled);
  }
}

TEST_F(MainWindow, ADroppedFileBecomesAnEntryOfTheShownGroupAndIsSaved) {
  WriteSettings("ShowInfo = True\r\n  Groups = <\r\n    item\r\n      Name = 'Tools'\r\n      Apps = <>\r\n    end>");
  TMainForm& f = Start();
  TDroppedFiles drop;
  drop.Assign({u"C:\\Data\\Monthly report.final.xls"});
  f.FileDragDrop(drop);
  ASSERT_EQ(f.Settings->Groups[0].Apps.Count(), 1);
  const TAppItem& e = f.Settings->Groups[0].Apps[0];
  EXPECT_EQ(e.Title, u"Monthly report");
  EXPECT_EQ(e.Hint, u"Monthly report");
  EXPECT_EQ(e.Command, u"C:\\Data\\Monthly report.final.xls");
  EXPECT_EQ(e.Directory, u"C:\\Data");
  EXPECT_EQ(e.WindowState, u"N");
  EXPECT_EQ(e.DialogType, u"N");
  EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings));  // saved at once
  EXPECT_EQ(f.Row.HighButton(), 0);  // and shown

  drop.Assign({u"C:\\Tools\\README"});
  f.FileDragDrop(drop);
  EXPECT_EQ(f.Settings->Groups[0].Apps[1].Title, u"README");

  drop.Assign({u"C:\\a.txt", u"C:\\b.txt"});
  f.FileDragDrop(drop);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, u"Please drag one file at a time.");
  EXPECT_EQ(f.Settings->Groups[0].Apps.Count(), 2);

  const std::string saved = ReadBytes(settingsFile);
  TabCtrl_SetCurSel(f.Control("ProgramPages"), 0);  // the information tab
  drop.Assign({u"C:\\c.txt"});
  try {
    f.FileDragDrop(drop);
    ADD_FAILURE() << "a drop without a group was taken";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), kDropNeedsGroup);
  }
  EXPECT_EQ(f.Settings->Groups[0].Apps.Count(), 2);
  EXPECT_EQ(ReadBytes(settingsFile), saved);
}

TEST_F(MainWindow, ThePositionIsSavedAtEveryCloseAndComesBackAtTheNextStart) {
  TMainForm& f = Start();
  SetWindowPos(f.Handle(), nullptr, 200, 150, 500, 100, SWP_NOZORDER);
  answer = IDNO;
  SendMessageW(f.Handle(), WM_CLOSE, 0, 0);  // refused, and still saved
  const std::wstring ini = folder + L"Deradiv.INI";
  wchar_t value[32] = {};
  GetPrivateProfileStringW(L"Window Position", L"TMainForm_Left", L"", value, 32, ini.c_str());
  EXPECT_STREQ(value, L"200");
  GetPrivateProfileStringW(L"Window Position", L"TMainForm_Width", L"", value, 32, ini.c_str());
  EXPECT_STREQ(value, L"500");

  TMainForm& g = Start();
  RECT r{};
  GetWindowRect(g.Handle(), &r);
  EXPECT_EQ(r.left, 200);
  EXPECT_EQ(r.top, 150);
  EXPECT_EQ(r.right - r.left, 500);
  EXPECT_EQ(r.bottom - r.top, CaptionHeight() + g.Scale(82));  // the height stays the button size's
}

// A drop as the shell hands it over: DROPFILES and the wide names.
HGLOBAL DropOf(const std::vector<std::wstring>& names) {
  std::wstring list;
  for (const std::wstring& n : names) list += n + L'\0';
  list += L'\0';
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(), list.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return memory;
}

TEST_F(MainWindow, AFileDroppedOnTheButtonAreaArrivesAsAnEntry) {
  WriteSettings("Groups = < item Name = 'Tools' Apps = < item Title = 'first' end > end >");
  TMainForm& f = Start();
  const HWND area = f.Control("pnlButtons");
  EXPECT_TRUE(GetWindowLongW(area, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  SendMessageW(area, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({L"C:\\Tools\\Ed\u00eft.exe"})), 0);
  ASSERT_EQ(f.Settings->Groups[0].Apps.Count(), 2);
  EXPECT_EQ(f.Settings->Groups[0].Apps[1].Title, u"Ed\u00eft");  // at the end of the group
  EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings));
  EXPECT_TRUE(boxes.empty());

  SendMessageW(area, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({L"C:\\a.txt", L"C:\\b.txt"})), 0);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, u"Please drag one file at a time.");
  EXPECT_EQ(f.Settings->Groups[0].Apps.Count(), 2);
}

// The about box is modal: a timer inside its loop looks at it and presses Ok.
HWND gAboutSeen = nullptr;
std::wstring gAboutTitle;
BOOL CALLBACK FindOkButton(HWND child, LPARAM found) {
  if (GetDlgCtrlID(child) != IDOK) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}
void CALLBACK AnswerAbout(HWND, UINT, UINT_PTR id, DWORD) {
  const HWND about = FindWindowW(L"DorvaneForm", L"About Dorvane");
  if (!about) return;
  KillTimer(nullptr, id);
  gAboutSeen = about;
  HWND ok = nullptr;
  EnumChildWindows(about, FindOkButton, reinterpret_cast<LPARAM>(&ok));
  wchar_t text[64] = {};
  GetWindowTextW(ok, text, 64);
  gAboutTitle = text;
  PostMessageW(about, WM_COMMAND, IDOK, 0);
}

TEST_F(MainWindow, AboutBoxShowsModallyAndIsFreed) {
  TMainForm& f = Start();
  const UINT_PTR timer = SetTimer(nullptr, 0, 50, AnswerAbout);
  Press(f.actInfo);
  KillTimer(nullptr, timer);
  ASSERT_TRUE(gAboutSeen);
  EXPECT_EQ(gAboutTitle, L"Ok");
  EXPECT_FALSE(IsWindow(gAboutSeen));
  EXPECT_TRUE(IsWindowEnabled(f.Handle()));
}

}  // namespace

// The Configuration button with the dialog driven by a stand-in user.
TEST_F(MainWindow, ConfigurationAppliesSavesAndRebuildsOnlyWhatChanged) {
  const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  ASSERT_TRUE(taskbar);
  WriteSettings("BtnSize = 2\r\n  Groups = <\r\n    item Name = 'A' Apps = < item Title = 'one' end item Title = 'two' "
                "end item Title = 'three' end >\r\n    end>");
  TMainForm& f = Start();
  const std::string before = ReadBytes(settingsFile);
  const int largeHeight = WindowHeight();

  // Untouched: nothing saved or rebuilt, but the desk is applied again.
  const TIconSpeedBtn* first = f.Row.FindButton(0);
  f.OnConfigShow = [](TConfigForm& c) {
    ShowWindow(c.Handle(), SW_SHOW);
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  f.ConfigBtnClick();
  EXPECT_EQ(ReadBytes(settingsFile), before);
  EXPECT_EQ(f.Row.FindButton(0), first);

  // Only the button size: buttons freed, the window at the new height, saved, rebuilt.
  f.OnConfigShow = [](TConfigForm& c) {
    ShowWindow(c.Handle(), SW_SHOW);
    SendMessageW(c.Control("rbSmall"), BM_CLICK, 0, 0);
    SetFocus(c.Control("rbSmall"));
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  f.ConfigBtnClick();
  EXPECT_EQ(f.Settings->BtnSize, 1);
  EXPECT_LT(WindowHeight(), largeHeight);
  EXPECT_EQ(f.Row.ButtonWidth, f.Scale(36));
  EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings));

  // Reordered entries and the taskbar: in the file and on the buttons at once.
  f.OnConfigShow = [](TConfigForm& c) {
    ShowWindow(c.Handle(), SW_SHOW);
    const HWND tree = c.Tree();
    const HTREEITEM group = TreeView_GetRoot(tree);
    const HTREEITEM one = TreeView_GetChild(tree, group);
    c.Drag.Start(TreeView_GetNextSibling(tree, TreeView_GetNextSibling(tree, one)));
    c.Drag.DropOn(one);
    c.Drag.Finish();
    SendMessageW(c.Control("HideTB"), BM_CLICK, 0, 0);
    SetFocus(c.Control("HideTB"));
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  f.ConfigBtnClick();
  const TAppCollection& apps = f.Settings->Groups[0].Apps;
  EXPECT_EQ(apps[0].Title + apps[1].Title + apps[2].Title, u"threeonetwo");
  EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings));
  EXPECT_FALSE(IsWindowVisible(taskbar));
  EXPECT_EQ(f.Row.HighButton(), 2);

  // A settings file that cannot be written: said once, nothing lost, written at the next save.
  // A folder where the save writes its new file first stands for any
  // failing write.
  const std::wstring blocker = settingsFile + L".tmp";
  ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
  f.OnConfigShow = [](TConfigForm& c) {
    ShowWindow(c.Handle(), SW_SHOW);
    c.actMain.Execute(c.actAddGroup->Id);
    SendMessageW(c.Control("HideTB"), BM_CLICK, 0, 0);
    SetFocus(c.Control("HideTB"));
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  boxes.clear();
  f.ConfigBtnClick();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Type, UINT(MB_OK | MB_ICONERROR));
  EXPECT_EQ(f.Settings->Groups.Count(), 2);
  EXPECT_EQ(TabCtrl_GetItemCount(f.Control("ProgramPages")), 2);  // on screen all the same
  EXPECT_TRUE(IsWindowVisible(taskbar));
  RemoveDirectoryW(blocker.c_str());
  TDroppedFiles drop;
  drop.Assign({u"C:\\x.txt"});
  f.FileDragDrop(drop);
  EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings));
  EXPECT_NE(ReadBytes(settingsFile).find("New Group"), std::string::npos);
  HideTaskbar(true);  // as Wine had it
}

TEST_F(MainWindow, HidingTheDesktopWindowWaitsForTheNextStartAndIsNotOfferedWhereBlocked) {
  FakeDesktop desktop;
  version = {true, 6, 1};  // the shell's desktop window must not be toggled here
  TMainForm& f = Start();
  bool offered = true;
  f.OnConfigShow = [&](TConfigForm& c) {
    offered = (GetWindowLongW(c.Control("HidePMCB"), GWL_STYLE) & WS_VISIBLE) != 0;  // its page may be hidden
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  f.ConfigBtnClick();
  EXPECT_FALSE(offered);

  form.reset();
  version = {true, 6, 0};
  TMainForm& g = Start();
  g.OnConfigShow = [&](TConfigForm& c) {
    ShowWindow(c.Handle(), SW_SHOW);
    offered = (GetWindowLongW(c.Control("HidePMCB"), GWL_STYLE) & WS_VISIBLE) != 0;  // its page may be hidden
    SendMessageW(c.Control("HidePMCB"), BM_CLICK, 0, 0);
    SetFocus(c.Control("HidePMCB"));
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  g.ConfigBtnClick();
  EXPECT_TRUE(offered);
  EXPECT_TRUE(g.Settings->HideProgMan);
  EXPECT_NE(ReadBytes(settingsFile).find("HideProgMan = True"), std::string::npos);
  EXPECT_TRUE(IsWindowVisible(desktop.Handle));  // until the next start
}

// At logon the notification area may not be ready: the icon is tried again
// when the shell says it has started, and until then a minimised window
// keeps its taskbar button.
TEST_F(MainWindow, ARefusedTrayIconIsTriedAgainAndTheWindowStaysReachable) {
  trayRefused = true;
  TMainForm& f = Start();
  EXPECT_FALSE(f.TrayIcon);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, u"Cannot create shell notification icon");
  ShowWindow(f.Handle(), SW_MINIMIZE);
  EXPECT_TRUE(IsWindowVisible(f.Handle()));
  ShowWindow(f.Handle(), SW_RESTORE);

  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  SendMessageW(f.Handle(), taskbarCreated, 0, 0);  // still refused: quietly
  EXPECT_FALSE(f.TrayIcon);
  trayRefused = false;
  SendMessageW(f.Handle(), taskbarCreated, 0, 0);
  ASSERT_TRUE(f.TrayIcon);
  EXPECT_EQ(boxes.size(), 1u);
  ShowWindow(f.Handle(), SW_MINIMIZE);
  EXPECT_FALSE(IsWindowVisible(f.Handle())) << "in the tray";
}

TEST_F(MainWindow, ASavedMinimisedStateStartsInTheTray) {
  TMainForm& f = Start();
  ShowWindow(f.Handle(), SW_MINIMIZE);
  SendMessageW(f.Handle(), WM_CLOSE, 0, 0);  // refused, and saved
  TMainForm& g = Start();
  EXPECT_TRUE(IsIconic(g.Handle()));
  EXPECT_FALSE(IsWindowVisible(g.Handle()));
  ASSERT_TRUE(g.TrayIcon);
  g.TrayIconDblClick();
  EXPECT_TRUE(IsWindowVisible(g.Handle()));
  EXPECT_FALSE(IsIconic(g.Handle()));
}

// Every way back from the tray is a showing of the window: presses count again.
TEST_F(MainWindow, RestoringTheWindowEndsTheRepeatPressGuard) {
  WriteSettings("DoubleClickTime = 500\r\n  Groups = < item Name = 'A' Apps = < item Title = 'one' Command = 'one.exe' "
                "end > end >");
  TMainForm& f = Start();
  const std::pair<const char*, std::function<void()>> restores[] = {
      {"tray", [&] { f.TrayIconDblClick(); }},
      {"action", [&] { f.actRestoreExecute(); }},
      {"second copy", [&] { ShowWindow(f.Handle(), SW_RESTORE); }},
  };
  std::size_t expected = 0;
  for (const auto& [way, restore] : restores) {
    SCOPED_TRACE(way);
    f.ProgramBtnClick(0);
    f.ProgramBtnClick(0);  // guarded
    EXPECT_EQ(runs.size(), ++expected);
    ShowWindow(f.Handle(), SW_MINIMIZE);
    restore();
    Pump();
    EXPECT_FALSE(f.ButtonBusy);
  }
  f.ProgramBtnClick(0);
  EXPECT_EQ(runs.size(), expected + 1);
}
