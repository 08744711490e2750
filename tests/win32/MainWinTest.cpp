// The main window made in this process over a settings file in a fresh
// folder, driven with the messages its controls and the system would send.
#include "win32/MainWin.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstring>
#include <fstream>
#include <shlobj.h>

#include "core/Errors.h"
#include "core/SettingsFile.h"
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

BOOL CALLBACK FindUnpainted(HWND window, LPARAM unpainted) {
  if (!IsWindowVisible(window) || !GetUpdateRect(window, nullptr, FALSE)) return TRUE;
  *reinterpret_cast<bool*>(unpainted) = true;
  return FALSE;
}

// Shown, with nothing of it or its controls waiting to be painted.
bool Painted(HWND window) {
  bool unpainted = false;
  EnumChildWindows(window, FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
  return IsWindowVisible(window) && !GetUpdateRect(window, nullptr, FALSE) && !unpainted;
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
  std::vector<bool> trayAddedPainted;  // at each adding of the tray icon: the window shown and painted
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
    env.TrayNotify = [this, fake = trayRefused](DWORD message, NOTIFYICONDATAW& data) {
      if (message == NIM_ADD) trayAddedPainted.push_back(Painted(form->Handle()));
      if (fake) return trayRefused ? FALSE : TRUE;
      return Shell_NotifyIconW(message, &data);
    };
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
    PumpUntil([this] { return form->AfterFirstPaintDone(); }, 2000);
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

  // Pumps the queue until `done` holds or `ms` have passed; whether it held.
  template <class Done>
  bool PumpUntil(Done done, DWORD ms) {
    for (const DWORD start = GetTickCount(); !done(); Sleep(10)) {
      if (GetTickCount() - start > ms) return false;
      Pump();
    }
    return true;
  }

  // What a file push does: the new file is written beside and renamed over.
  void PushSettings(const std::string& body) {
    WriteBytes(folder + L"pushed.tmp", "object TSkiffData\r\n" + body + "\r\nend\r\n");
    ASSERT_TRUE(MoveFileExW((folder + L"pushed.tmp").c_str(), settingsFile.c_str(), MOVEFILE_REPLACE_EXISTING));
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
  const std::pair<int, int> sizes[] = {{1, 97}, {2, 135}, {7, 135}};
  for (auto [btnSize, above] : sizes) {
    WriteSettings("BtnSize = " + std::to_string(btnSize));
    TMainForm& f = Start();
    EXPECT_EQ(WindowHeight(), CaptionHeight() + f.Scale(above)) << btnSize;
    SetWindowPos(f.Handle(), nullptr, 0, 0, 500, 400, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(WindowHeight(), CaptionHeight() + f.Scale(above)) << btnSize;
    EXPECT_EQ(f.Settings->BtnSize, btnSize);  // an unknown size is shown Large but kept
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
  EXPECT_TRUE(ComesTo(taskbar, false));
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
  EXPECT_TRUE(ComesTo(taskbar, true));
  HideTaskbar(true);  // as Wine had it
}

// What the options refuse looks refused, and follows them after the dialog.
TEST_F(MainWindow, TheTitleBarShowsWhatTheOptionsAllow) {
  struct Case {
    bool disableClose, disableMinimize;
  };
  for (const Case c : {Case{false, false}, Case{true, false}, Case{false, true}, Case{true, true}}) {
    SCOPED_TRACE(std::to_string(c.disableClose) + std::to_string(c.disableMinimize));
    WriteSettings(std::string("DisableMinimize = ") + (c.disableMinimize ? "True" : "False") +
                  "\r\n  DisableClose = " + (c.disableClose ? "True" : "False"));
    TMainForm& f = Start();
    const auto check = [&f](bool closeOff, bool minimizeOff) {
      const LONG style = GetWindowLongW(f.Handle(), GWL_STYLE);
      const HMENU menu = GetSystemMenu(f.Handle(), FALSE);
      EXPECT_EQ((style & WS_MINIMIZEBOX) == 0, minimizeOff);
      EXPECT_EQ((GetMenuState(menu, SC_MINIMIZE, MF_BYCOMMAND) & MF_GRAYED) != 0, minimizeOff);
      EXPECT_EQ((GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) & MF_GRAYED) != 0, closeOff);
      EXPECT_EQ(style & WS_MAXIMIZEBOX, 0);
      EXPECT_EQ(GetMenuState(menu, SC_MAXIMIZE, MF_BYCOMMAND), UINT(-1));  // no such item
    };
    check(c.disableClose, c.disableMinimize);
    SendMessageW(f.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    SendMessageW(f.Handle(), WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
    EXPECT_FALSE(IsZoomed(f.Handle()));

    // Both options turned over in the dialog: the title bar follows at once.
    f.Commands.OnConfigShow = [](TConfigForm& c) {
      ShowWindow(c.Handle(), SW_SHOW);
      for (const char* box : {"CloseCB", "MinimizeCB"}) {
        SendMessageW(c.Control(box), BM_CLICK, 0, 0);
        SetFocus(c.Control(box));
      }
      SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
    };
    f.Commands.ConfigBtnClick();
    check(!c.disableClose, !c.disableMinimize);
  }
}

// A log-off, a shutdown or an installer's Restart Manager ends the process
// without destroying the window: the desk comes back before.
TEST_F(MainWindow, TheEndOfTheSessionGivesTheDeskBack) {
  FakeDesktop desktop;
  const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  WriteSettings("HideProgMan = True\r\n  HideTaskBar = True\r\n  DisableClose = True");
  TMainForm& f = Start();
  ASSERT_TRUE(ComesTo(taskbar, false));
  EXPECT_EQ(SendMessageW(f.Handle(), WM_QUERYENDSESSION, 0, ENDSESSION_CLOSEAPP), TRUE);
  SendMessageW(f.Handle(), WM_ENDSESSION, FALSE, 0);  // the end was called off
  EXPECT_FALSE(IsWindowVisible(desktop.Handle));
  SendMessageW(f.Handle(), WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_TRUE(IsWindowVisible(desktop.Handle));
  EXPECT_TRUE(ComesTo(taskbar, true));
  EXPECT_TRUE(boxes.empty());
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
    const UniqueMenu tray = f.Commands.BuildTrayMenu();
    EXPECT_EQ(GetMenuItemCount(tray.Get()), c.lockHidden ? 3 : 4);
    EXPECT_EQ(GetMenuState(tray.Get(), f.actLockWorkstation->Id, MF_BYCOMMAND) == UINT(-1), c.lockHidden);
  }
}

TEST_F(MainWindow, ADisabledActionDisablesItsButtonAndItsMenuItem) {
  WriteSettings("DisableExplorer = True");
  TMainForm& f = Start();
  EXPECT_FALSE(SendMessageW(f.Control("tbrLeft"), TB_ISBUTTONENABLED, f.actExplorer->Id, 0));
  UniqueMenu tray = f.Commands.BuildTrayMenu();
  EXPECT_TRUE(GetMenuState(tray.Get(), f.actExplorer->Id, MF_BYCOMMAND) & MF_GRAYED);
  wchar_t caption[64] = {};
  GetMenuStringW(tray.Get(), 3, caption, 64, MF_BYPOSITION);
  EXPECT_STREQ(caption, L"Windows Explorer");
  f.actExplorer->SetEnabled(true);
  EXPECT_TRUE(SendMessageW(f.Control("tbrLeft"), TB_ISBUTTONENABLED, f.actExplorer->Id, 0));
  tray = f.Commands.BuildTrayMenu();
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
  EXPECT_EQ(boxes[0].Text, u"Error reading TSkiffData.BtnSize: Invalid property value\r\n\r\nFile: " +
                               U16(settingsFile) +
                               u", line 2, column 13.\r\n\r\nDorvane starts with an empty desk. SkiffData.dat is not "
                               u"changed; if a change is saved, the file is first kept as SkiffData.dat.bad.");
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

// What editors write today: UTF-8, with or without its mark, is shown as
// written; bytes that are not UTF-8 stay the ANSI code page's.
TEST_F(MainWindow, AFileInUtf8ShowsItsNamesAsWritten) {
  const std::string body = "object TSkiffData\r\n  Groups = < item Name = 'Caf\xC3\xA9 \xC3\x9Cn\xC3\xAF" "code' end >\r\nend\r\n";
  const struct {
    std::string bytes;
    const wchar_t* tab;
  } files[] = {{body, L"Caf\u00e9 \u00dcn\u00efcode"},
               {"\xEF\xBB\xBF" + body, L"Caf\u00e9 \u00dcn\u00efcode"},
               {"object TSkiffData\r\n  Groups = < item Name = 'Caf\xE9' end >\r\nend\r\n", L"Caf\u00e9"}};
  for (const auto& file : files) {
    WriteBytes(settingsFile, file.bytes);
    TMainForm& f = Start();
    EXPECT_TRUE(boxes.empty());
    wchar_t caption[32] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = 32;
    ASSERT_TRUE(TabCtrl_GetItem(f.Control("ProgramPages"), 0, &item));
    EXPECT_STREQ(caption, file.tab);
    EXPECT_EQ(ReadBytes(settingsFile), file.bytes) << "read, not written";
  }
}

TEST_F(MainWindow, AFilePushedWhileRunningIsShownAndADropGoesOntoIt) {
  WriteSettings("Groups = < item Name = 'Office' end item Name = 'Tools' end >");
  TMainForm& f = Start();
  TabCtrl_SetCurSel(f.Control("ProgramPages"), 1);
  PushSettings("BtnSize = 2\r\n  Groups = < item Name = 'New' end item Name = 'Office' end item Name = 'Tools' end >");
  const int tabs = 3;
  EXPECT_TRUE(PumpUntil([&] { return TabCtrl_GetItemCount(f.Control("ProgramPages")) == tabs; }, 2000));
  EXPECT_EQ(TabCtrl_GetCurSel(f.Control("ProgramPages")), 2);  // still "Tools"
  EXPECT_EQ(WindowHeight(), CaptionHeight() + f.Scale(135));   // the options too

  TDroppedFiles drop;
  drop.Assign({u"C:\\Tools\\edit.exe"});
  f.FileDragDrop(drop);
  ASSERT_EQ(f.Settings->Groups.Count(), tabs);
  EXPECT_EQ(f.Settings->Groups[2].Apps[0].Title, u"edit");
  EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings));
  // Its own save is no change by someone else: the desk is not read again.
  const TSkiffData* shown = f.Settings.get();
  EXPECT_FALSE(PumpUntil([&] { return f.Settings.get() != shown; }, 700));

  // An unreadable file is said once, where and what next; the desk stays.
  const std::string typo = "object TSkiffData\r\n  Titel = 1\r\nend\r\n";
  WriteBytes(settingsFile, typo);
  ASSERT_TRUE(PumpUntil([&] { return !boxes.empty(); }, 2000));
  EXPECT_EQ(boxes[0].Text.substr(0, boxes[0].Text.find(u"\r\n")),
            u"Error reading TSkiffData.Titel: Property Titel does not exist");
  EXPECT_NE(boxes[0].Text.find(u", line 2, column 3.\r\n\r\nThe desk shown stays as it is."), std::u16string::npos);
  WriteBytes(settingsFile, typo);  // written again, the same
  PumpUntil([] { return false; }, 700);
  EXPECT_EQ(boxes.size(), 1u);
  EXPECT_EQ(TabCtrl_GetItemCount(f.Control("ProgramPages")), tabs);
}

TEST_F(MainWindow, TheDialogWaitsForAPushedFileAndGoesOverItOnlyWhenConfirmed) {
  WriteSettings("Groups = < item Name = 'A' end >");
  TMainForm& f = Start();
  const std::string pushed = "object TSkiffData\r\n  Groups = < item Name = 'Pushed' end >\r\nend\r\n";
  bool readWhileOpen = false;
  auto pushAndAddGroup = [&](bool addGroup) {
    return [&, addGroup](TConfigForm& c) {
      ShowWindow(c.Handle(), SW_SHOW);
      WriteBytes(settingsFile, pushed);
      PumpUntil([] { return false; }, 700);
      readWhileOpen = f.Settings->Groups[0].Name != u"A";
      if (addGroup) c.actMain.Execute(c.actAddGroup->Id);
      SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
    };
  };
  // No change in the dialog: the pushed file is shown once it closes.
  f.Commands.OnConfigShow = pushAndAddGroup(false);
  f.Commands.ConfigBtnClick();
  EXPECT_FALSE(readWhileOpen);
  EXPECT_EQ(f.Settings->Groups[0].Name, u"Pushed");
  EXPECT_TRUE(boxes.empty()) << Utf16ToUtf8(boxes.empty() ? u"" : boxes[0].Text);

  // A change, not confirmed: dropped, and the file as it was pushed.
  WriteSettings("Groups = < item Name = 'A' end >");
  PumpUntil([&] { return f.Settings->Groups[0].Name == u"A"; }, 2000);
  answer = IDNO;
  f.Commands.OnConfigShow = pushAndAddGroup(true);
  f.Commands.ConfigBtnClick();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Text, kSettingsChangedMeanwhile);
  EXPECT_EQ(boxes[0].Type, UINT(MB_YESNO | MB_ICONWARNING));
  EXPECT_EQ(ReadBytes(settingsFile), pushed);
  EXPECT_EQ(f.Settings->Groups.Count(), 1);
  EXPECT_EQ(TabCtrl_GetItemCount(f.Control("ProgramPages")), 1);

  // Confirmed: saved, and the other version kept as .bak.
  WriteSettings("Groups = < item Name = 'A' end >");
  PumpUntil([&] { return f.Settings->Groups[0].Name == u"A"; }, 2000);
  answer = IDYES;
  f.Commands.OnConfigShow = pushAndAddGroup(true);
  f.Commands.ConfigBtnClick();
  EXPECT_EQ(boxes.size(), 2u);
  EXPECT_EQ(ReadBytes(settingsFile + L".bak"), pushed);
  EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings));
  EXPECT_EQ(f.Settings->Groups[1].Name, u"New Group");
}

TEST_F(MainWindow, AReadOnlyFileLocksTheDesk) {
  WriteSettings("Groups = < item Name = 'A' end >");
  const std::string locked = ReadBytes(settingsFile);
  SetFileAttributesW(settingsFile.c_str(), FILE_ATTRIBUTE_READONLY);
  TMainForm& f = Start();
  TDroppedFiles drop;
  drop.Assign({u"C:\\Tools\\edit.exe"});
  f.FileDragDrop(drop);
  f.Commands.OnConfigShow = [](TConfigForm& c) {
    ShowWindow(c.Handle(), SW_SHOW);
    c.actMain.Execute(c.actAddGroup->Id);
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  f.Commands.ConfigBtnClick();
  ASSERT_EQ(boxes.size(), 2u);
  for (const ShownBox& box : boxes) {
    EXPECT_EQ(box.Text, kSettingsReadOnly);
    EXPECT_EQ(box.Type, UINT(MB_OK | MB_ICONWARNING));
  }
  EXPECT_EQ(f.Row.HighButton(), 0);  // the changes last while Dorvane runs
  EXPECT_EQ(TabCtrl_GetItemCount(f.Control("ProgramPages")), 2) << f.Settings->Groups.Count();
  EXPECT_EQ(ReadBytes(settingsFile), locked);
  EXPECT_EQ(GetFileAttributesW(settingsFile.c_str()) & FILE_ATTRIBUTE_READONLY, DWORD(FILE_ATTRIBUTE_READONLY));
  SetFileAttributesW(settingsFile.c_str(), FILE_ATTRIBUTE_NORMAL);
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

TEST_F(MainWindow, TheSwitchRDisablesTheConfigurationCommand) {
  const std::pair<std::u16string, bool> cases[] = {
      {u"\"C:\\Dorvane\\Dorvane.exe\"", true},  {u"Dorvane.exe -R", false}, {u"Dorvane.exe /r", false},
      {u"Dorvane.exe +r", true},                     {u"Dorvane.exe /x -q", true}, {u"Dorvane.exe C:\\no-such-file /R", false}};
  const std::string file = "object TSkiffData\r\n  Groups = <\r\n    item\r\n      Name = 'Tools'\r\n      Apps = <>\r\n    end>\r\nend\r\n";
  for (const auto& [line, enabled] : cases) {
    SCOPED_TRACE(Utf16ToUtf8(line));
    WriteBytes(settingsFile, file);
    commandLine = line;
    TMainForm& f = Start();
    EXPECT_EQ(f.actConfig->Enabled(), enabled);
    EXPECT_EQ(SendMessageW(f.Control("tbrLeft"), TB_ISBUTTONENABLED, f.actConfig->Id, 0) != 0, enabled);
    // A locked desk takes no drop and opens no dialog, however asked.
    EXPECT_EQ((GetWindowLongW(f.Control("pnlButtons"), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0, enabled);
    bool dialogShown = false;
    f.Commands.OnConfigShow = [&](TConfigForm&) { dialogShown = true; };
    f.Commands.ConfigBtnClick();
    EXPECT_EQ(dialogShown, enabled);
    SendMessageW(f.Control("pnlButtons"), WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({L"C:\\regedit.exe"})), 0);
    EXPECT_EQ(f.Settings->Groups[0].Apps.Count(), enabled ? 1 : 0);
    EXPECT_EQ(ReadBytes(settingsFile) == file, !enabled);
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

// The configuration dialog's own loop for a while: its selection delay runs out.
void Settle() {
  for (int i = 0; i < 10; ++i) {
    Sleep(15);
    Pump();
  }
}

TEST_F(MainWindow, TheMainWindowComingBackKeepsTheDialogsChanges) {
  // Restored from minimised (a click on its taskbar button, Win+D), the
  // owner has Windows show its owned dialog again: no showing of its own.
  WriteSettings("Groups = < item Name = 'A' Apps = < item Title = 'one' Command = 'C:\\one.exe' end "
                "item Title = 'two' Command = 'C:\\two.exe' end > end >");
  TMainForm& f = Start();
  f.Commands.OnConfigShow = [](TConfigForm& c) {
    ShowWindow(c.Handle(), SW_SHOW);
    const HWND tree = c.Tree();
    const HTREEITEM one = TreeView_GetChild(tree, TreeView_GetRoot(tree));
    c.DeleteNode(TreeView_GetNextSibling(tree, one));  // answered Yes
    c.tvAppsEdited(one, u"uno");
    SendMessageW(c.Handle(), WM_SHOWWINDOW, TRUE, SW_PARENTOPENING);
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  answer = IDYES;
  f.Commands.ConfigBtnClick();
  EXPECT_EQ(f.Settings->Groups[0].Apps.Count(), 1);
  EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings)) << "saved";
  EXPECT_NE(ReadBytes(settingsFile).find("Title = 'uno'"), std::string::npos);
  EXPECT_EQ(f.Row.FindButton(0)->AccessibleName(), u"uno") << "shown";
  EXPECT_FALSE(IsWindowVisible(f.Row.FindButton(1)->Handle())) << "no button left for the deleted entry";
}

TEST_F(MainWindow, LookingThroughEntriesWritesOnlyWhatWasEdited) {
  // Stored values the editor cannot show as they are ("Max" runs
  // maximised: only the first letter counts) must survive being looked at.
  WriteSettings("Groups = < item Name = 'A' Apps = < "
                "item Title = 'one' Command = 'C:\\one.exe' DialogType = 'y' end "
                "item Title = 'two' Command = 'C:\\two.exe' WindowState = 'Max' DialogType = 'y' end > end >");
  TMainForm& f = Start();
  f.Commands.OnConfigShow = [](TConfigForm& c) {
    ShowWindow(c.Handle(), SW_SHOW);
    const HWND tree = c.Tree();
    const HTREEITEM one = TreeView_GetChild(tree, TreeView_GetRoot(tree));
    const HTREEITEM two = TreeView_GetNextSibling(tree, one);
    TreeView_SelectItem(tree, one);
    Settle();
    SetFocus(c.Control("edtCommand"));
    SetWindowTextW(c.Control("edtCommand"), L"C:\\uno.exe");
    SetFocus(tree);
    for (HTREEITEM node : {two, one, two}) {
      TreeView_SelectItem(tree, node);
      Settle();
    }
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  f.Commands.ConfigBtnClick();
  const TAppCollection& apps = f.Settings->Groups[0].Apps;
  EXPECT_EQ(apps[0].Command, u"C:\\uno.exe");
  EXPECT_EQ(apps[0].DialogType + u"/" + apps[0].WindowState, u"y/") << "only the field edited is written";
  EXPECT_EQ(apps[1].DialogType + u"/" + apps[1].WindowState, u"y/Max") << "looked at only";
  EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings)) << "saved";
}

// A desk without groups says how to begin, and its first drop makes the
// group "Programs" instead of asking for a tab there is none of.
TEST_F(MainWindow, AnEmptyDeskSaysHowToBeginAndItsFirstDropMakesTheGroupPrograms) {
  for (const bool showInfo : {false, true}) {
    if (showInfo) WriteSettings("ShowInfo = True");
    TMainForm& f = Start();
    const HWND line = f.Control("lblEmptyDesk");
    const HWND area = f.Control("pnlButtons");
    ASSERT_TRUE(line);
    EXPECT_EQ(IsWindowVisible(line), !showInfo) << "the information tab has its drive buttons";
    EXPECT_EQ(WindowText(line), kEmptyDesk);
    EXPECT_EQ(SendMessageW(line, WM_GETFONT, 0, 0), SendMessageW(area, WM_GETFONT, 0, 0));  // the window's own
    RECT lineRect{}, areaRect{};
    GetWindowRect(line, &lineRect);
    GetWindowRect(area, &areaRect);
    EXPECT_TRUE(EqualRect(&lineRect, &areaRect)) << "the line fills the button area";

    SendMessageW(area, WM_DROPFILES, reinterpret_cast<WPARAM>(DropOf({L"C:\\Tools\\Editor.exe"})), 0);
    EXPECT_TRUE(boxes.empty()) << Utf16ToUtf8(boxes.empty() ? u"" : boxes[0].Text);
    ASSERT_EQ(f.Settings->Groups.Count(), 1);
    EXPECT_EQ(f.Settings->Groups[0].Name, u"Programs");
    ASSERT_EQ(f.Settings->Groups[0].Apps.Count(), 1);
    EXPECT_EQ(f.Settings->Groups[0].Apps[0].Title, u"Editor");
    EXPECT_EQ(f.Settings->Groups[0].Apps[0].Directory, u"C:\\Tools");
    EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings));
    const HWND pages = f.Control("ProgramPages");
    ASSERT_EQ(TabCtrl_GetItemCount(pages), showInfo ? 2 : 1);
    EXPECT_EQ(TabCtrl_GetCurSel(pages), showInfo ? 1 : 0) << "the new group's tab is shown";
    EXPECT_EQ(f.Row.HighButton(), 0);
    EXPECT_TRUE(IsWindowVisible(f.Row.FindButton(0)->Handle()));
    EXPECT_FALSE(IsWindowVisible(line));
    DeleteFileW(settingsFile.c_str());
  }

  // Where nothing may be added, the line does not say how.
  commandLine = u"Dorvane.exe /R";
  TMainForm& f = Start();
  EXPECT_TRUE(IsWindowVisible(f.Control("lblEmptyDesk")));
  EXPECT_EQ(WindowText(f.Control("lblEmptyDesk")), kEmptyLockedDesk);
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
  f.Commands.OnConfigShow = [](TConfigForm& c) {
    ShowWindow(c.Handle(), SW_SHOW);
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  f.Commands.ConfigBtnClick();
  EXPECT_EQ(ReadBytes(settingsFile), before);
  EXPECT_EQ(f.Row.FindButton(0), first);

  // Only the button size: buttons freed, the window at the new height, saved, rebuilt.
  f.Commands.OnConfigShow = [](TConfigForm& c) {
    ShowWindow(c.Handle(), SW_SHOW);
    SendMessageW(c.Control("rbSmall"), BM_CLICK, 0, 0);
    SetFocus(c.Control("rbSmall"));
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  f.Commands.ConfigBtnClick();
  EXPECT_EQ(f.Settings->BtnSize, 1);
  EXPECT_LT(WindowHeight(), largeHeight);
  EXPECT_EQ(f.Row.ButtonWidth, f.Scale(36));
  EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings));

  // Reordered entries and the taskbar: in the file and on the buttons at once.
  f.Commands.OnConfigShow = [](TConfigForm& c) {
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
  f.Commands.ConfigBtnClick();
  const TAppCollection& apps = f.Settings->Groups[0].Apps;
  EXPECT_EQ(apps[0].Title + apps[1].Title + apps[2].Title, u"threeonetwo");
  EXPECT_EQ(ReadBytes(settingsFile), ComponentToText(*f.Settings));
  EXPECT_TRUE(ComesTo(taskbar, false));
  EXPECT_EQ(f.Row.HighButton(), 2);

  // A settings file that cannot be written: said once, nothing lost, written at the next save.
  // A folder where the save writes its new file first stands for any
  // failing write.
  const std::wstring blocker = settingsFile + L".tmp";
  ASSERT_TRUE(CreateDirectoryW(blocker.c_str(), nullptr));
  f.Commands.OnConfigShow = [](TConfigForm& c) {
    ShowWindow(c.Handle(), SW_SHOW);
    c.actMain.Execute(c.actAddGroup->Id);
    SendMessageW(c.Control("HideTB"), BM_CLICK, 0, 0);
    SetFocus(c.Control("HideTB"));
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  boxes.clear();
  f.Commands.ConfigBtnClick();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Type, UINT(MB_OK | MB_ICONERROR));
  EXPECT_EQ(f.Settings->Groups.Count(), 2);
  EXPECT_EQ(TabCtrl_GetItemCount(f.Control("ProgramPages")), 2);  // on screen all the same
  EXPECT_TRUE(ComesTo(taskbar, true));
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
  f.Commands.OnConfigShow = [&](TConfigForm& c) {
    offered = (GetWindowLongW(c.Control("HidePMCB"), GWL_STYLE) & WS_VISIBLE) != 0;  // its page may be hidden
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  f.Commands.ConfigBtnClick();
  EXPECT_FALSE(offered);

  form.reset();
  version = {true, 6, 0};
  TMainForm& g = Start();
  g.Commands.OnConfigShow = [&](TConfigForm& c) {
    ShowWindow(c.Handle(), SW_SHOW);
    offered = (GetWindowLongW(c.Control("HidePMCB"), GWL_STYLE) & WS_VISIBLE) != 0;  // its page may be hidden
    SendMessageW(c.Control("HidePMCB"), BM_CLICK, 0, 0);
    SetFocus(c.Control("HidePMCB"));
    SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
  };
  g.Commands.ConfigBtnClick();
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

// The shell's part of the tray icon is no part of the wait for the window.
TEST_F(MainWindow, TheTrayIconComesOnceTheWindowIsPainted) {
  WriteSettings("Groups = < item Name = 'A' Apps = < item Title = 'One' Command = 'notepad.exe' end > end >");
  TMainForm& f = Start();
  ASSERT_TRUE(f.TrayIcon);
  EXPECT_EQ(trayAddedPainted, std::vector<bool>{true});
  EXPECT_TRUE(boxes.empty());
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
      {"action", [&] { Press(f.actRestore); }},
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
