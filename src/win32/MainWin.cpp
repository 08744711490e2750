#include "win32/MainWin.h"

#include <commctrl.h>
#include <objbase.h>
#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "core/Errors.h"
#include "core/SettingsFile.h"
#include "core/TextCodec.h"
#include "core/WinSupport.h"
#include "win32/AboutWin.h"
#include "win32/ButtonFaces.h"
#include "win32/MainPressHost.h"
#include "win32/DataClasses.h"
#include "win32/WinSupport.h"
#include "win32/res/resource.h"

namespace {

// A change in the settings file's folder is looked at once the writing has
// settled for this long.
constexpr UINT_PTR kSettingsFileTimer = 2;
constexpr UINT kSettingsFileSettle = 300;
// What the first paint does not need comes once the window is painted and
// the program first waits for input (the tabs and buttons past the first
// screen, the tray icon): each costs a start at every logon.
constexpr UINT_PTR kAfterFirstPaintTimer = 3;
constexpr UINT kSettingsFolderChanged = WM_APP + 1;
constexpr int kTileCommand = 900;
constexpr int kMinWidth = 320;

// No maximise box: the window's height is fixed.
const TFormDef kMainFormDef = {L"Dorvane", (WS_OVERLAPPEDWINDOW & ~WS_MAXIMIZEBOX) | WS_CLIPCHILDREN,
                               0, 131, 204, 679, 177, false,
                               {L"MS Sans Serif", -11}};

const TControlDef kMainControls[] = {
    {TControlKind::TabControl, "ProgramPages", nullptr, TAlign::Client, 0, 0, 671, 119, L"", {}, TCS_HOTTRACK},
    {TControlKind::Panel, "pnlButtons", "ProgramPages", TAlign::Client},
    {TControlKind::Panel, "pnlProgramButtons", "pnlButtons", TAlign::None, 53, 1, 207, 54},
    {TControlKind::Label, "lblEmptyDesk", "pnlButtons", TAlign::Client, 0, 0, 0, 0, L"", {},
     SS_CENTER | SS_CENTERIMAGE | SS_ENDELLIPSIS},
    {TControlKind::Panel, "SliderPanel", nullptr, TAlign::Bottom, 0, 0, 671, 24},
    {TControlKind::ToolBar, "tbrLeft", "SliderPanel", TAlign::Left, 0, 0, 100, 24},
    {TControlKind::TrackBar, "ProgramSlider", "SliderPanel", TAlign::None, 126, 0, 141, 22},
    {TControlKind::ToolBar, "tbrRight", "SliderPanel", TAlign::Right, 0, 0, 46, 24},
};


}  // namespace

TOsVersion ReadOsVersion() {
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  // The manifest lists the Windows versions this program knows, so the
  // record is the real one.
  GetVersionExW(&info);
#pragma GCC diagnostic pop
  return {info.dwPlatformId == VER_PLATFORM_WIN32_NT, info.dwMajorVersion, info.dwMinorVersion};
}

TMainForm::TMainForm(TApplication& app, TMainFormEnv env)
    : Form(app),
      FEnv(std::move(env)),
      FSettingsFile(FEnv.SettingsFile.empty() ? ::SettingsFileName() : FEnv.SettingsFile) {
  if (FEnv.SettingsFile.empty()) FEnv.SettingsFile = ::SettingsFileName();
  if (!FEnv.RunProgram) FEnv.RunProgram = ::RunProgram;
  if (!FEnv.OsVersion) FEnv.OsVersion = ReadOsVersion;
}

TMainForm::~TMainForm() {
  if (Handle()) DestroyWindow(Handle());
}

void TMainForm::Create() {
  CreateForm(kMainFormDef, kMainControls, nullptr);
  FormCreate();
}

void TMainForm::Show() {
  if (!FShown) {
    FShown = true;
    FormShow();
  }
  // The saved position follows every showing; the height stays fixed.
  WinSaver.Restore(Handle(), true);
  if (IsIconic(Handle())) AfterFirstPaint();  // a minimised start goes straight into the tray
  else if (!FAfterFirstPaint) SetTimer(Handle(), kAfterFirstPaintTimer, USER_TIMER_MINIMUM, nullptr);
  if (IsIconic(Handle()) && MinimizesToTray()) {
    TrayIcon->AppMinimize(Handle());  // left minimised: back into the tray
  } else {
    ShowWindow(Handle(), SW_SHOW);
    UpdateWindow(Handle());
  }
  if (FEnv.OnShown) FEnv.OnShown();
}

void TMainForm::HandleQueuedMessage(MSG& msg) {
  // What a key starts fails as a click's does: reported, and the program
  // goes on.
  try {
    if (PreTranslateMessage(msg)) return;
  } catch (const std::exception& e) {
    App.ShowError(Handle(), ExceptionMessage(e));
    return;
  }
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool TMainForm::PreTranslateMessage(MSG& msg) { return Keyboard.KeyDown(msg); }

// ------------------------------------------------------------ life cycle

void TMainForm::CreateActions() {
  actExplorer = &actMain.Add(u"Windows Explorer", u"Windows Explorer", 3, [this] { Commands.ExplorerClick(); });
  actConfig = &actMain.Add(u"Configuration", u"Configure Dorvane", 2, [this] { Commands.ConfigBtnClick(); });
  actInfo = &actMain.Add(u"About Dorvane", u"About Dorvane", 5, [this] { Commands.AboutBtnClick(); });
  actToggleDeskTop = &actMain.Add(u"Toggle Desktop Icons", u"", 1, [this] { Commands.DesktopBtnClick(); });
  actScreenSaver = &actMain.Add(u"Activate Screen Saver", u"Activate Screen Saver", 4,
                                [this] { Commands.actScreenSaverExecute(); });
  actRestore = &actMain.Add(u"Restore", u"Restore Dorvane", 6, [this] { RestoreWindow(); });
  actLockWorkstation =
      &actMain.Add(u"Lock Workstation", u"Lock Workstation", 7, [this] { Commands.actLockWorkstationExecute(); });
}

void TMainForm::FormCreate() {
  WinSaver.Settings.IniFileName = u"Deradiv";
  WinSaver.Settings.LocalDir = true;
  WinSaver.Settings.IniSection = u"Window Position";
  WinSaver.IniFolder = FEnv.IniFolder;
  FileDrag.SetEnableDrop(false);
  FileDrag.OnDrop = [this](TFileDrag& drag) { FileDragDrop(drag.Files()); };
  FileDrag.OnException = [this](const std::exception& e) {
    App.ShowError(Handle(), ExceptionMessage(e));
  };
  CreateActions();
  LoadToolImages();
  // The shell's next start (at logon it may not be ready yet) is told to
  // all top-level windows; an elevated copy must let that message in.
  FTaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  ChangeWindowMessageFilterEx(Handle(), FTaskbarCreated, MSGFLT_ALLOW, nullptr);
  for (TAction* a : {actExplorer, actToggleDeskTop, actConfig, actInfo}) a->AddToolButton(Control("tbrLeft"));
  for (TAction* a : {actScreenSaver, actLockWorkstation}) a->AddToolButton(Control("tbrRight"));
  for (const char* bar : {"tbrLeft", "tbrRight"}) Keyboard.AttachToolBar(Control(bar));
  ShowWindow(Control("ProgramSlider"), SW_HIDE);
  Row.Attach(Control("ProgramPages"), Control("pnlProgramButtons"), Control("ProgramSlider"));
  Row.SetEmptyLine(Control("lblEmptyDesk"));
  Row.OnButtonClick = [this](int index) { ProgramBtnClick(index); };

  // The repeat-press guard's timer starts enabled and ends itself.
  SetTimer(Handle(), kBusyTimer, 1000, nullptr);

  // A rejected file is reported and the desk goes on with empty settings:
  // a restricted workstation must not be left without its launcher.
  try {
    LoadSettings();
  } catch (const Exception& e) {
    Settings = std::make_unique<TSkiffData>();
    App.ShowError(Handle(), SettingsFailureText(e, U16(SettingsFileName()), true));
  }
  FSettingsFile.Watch(Handle(), kSettingsFolderChanged);

  StartIconWarmUp();

  FileDrag.SetDropWindow(Control("pnlButtons"));
  FileDrag.SetEnableDrop(true);
  FComInitialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  SetWindowPos(Control("pnlProgramButtons"), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  const TActionStates states = ActionStatesFor(*Settings, FEnv.OsVersion());
  if (!states.LockVisible) {
    const HWND right = Control("tbrRight");
    RECT r{};
    GetWindowRect(right, &r);
    SetWindowPos(right, nullptr, 0, 0, (r.right - r.left) / 2, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER);
    actLockWorkstation->SetVisible(false);
    Realign();
  }
  if (!states.DesktopButtonVisible)
    SendMessageW(Control("tbrLeft"), TB_HIDEBUTTON, actToggleDeskTop->Id, MAKELPARAM(TRUE, 0));

  // Switches begin with "-" or "/"; only R means something: no configuration.
  CmdLineParams.OnSwitch_R() = [this](void*, const std::u16string&, const std::u16string&) { CmdLineSwitch_R(); };
  const std::u16string commandLine = FEnv.CommandLine.empty() ? U16(GetCommandLineW()) : FEnv.CommandLine;
  CmdLineParams.ProcessCommandLine(commandLine, [](const std::u16string& name) {
    const DWORD attributes = GetFileAttributesW(ExtendedPath(WStr(name)).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
  });
}

void TMainForm::LoadToolImages() {
  // The pictures drawn for the size nearest the DPI's, never stretched.
  const int size = ArtworkSize(Scale(16));
  const int resource = size == 32   ? IDB_TOOLIMAGES32
                       : size == 24 ? IDB_TOOLIMAGES24
                       : size == 20 ? IDB_TOOLIMAGES20
                                    : IDB_TOOLIMAGES;
  UniqueImageList images(ImageList_Create(size, size, ILC_COLOR32, 9, 0));
  UniqueBitmap strip(static_cast<HBITMAP>(
      LoadImageW(App.Instance, MAKEINTRESOURCEW(resource), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  ImageList_Add(images.Get(), strip.Get(), nullptr);
  for (const char* name : {"tbrLeft", "tbrRight"}) {
    const HWND bar = Control(name);
    SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images.Get()));
    SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(size, size));
    SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(Scale(23), Scale(22)));
    InvalidateRect(bar, nullptr, TRUE);
  }
  FImageList = std::move(images);  // the bars hold the new list already
  // The tray shows the picture at the small icon size the shell asks for.
  TrayImage = UniqueIcon(ImageList_GetIcon(FImageList.Get(), 8, ILD_NORMAL));
  if (TrayIcon) TrayIcon->SetIcon(TrayImage.Get());
}

void TMainForm::AddTrayIcon() {
  auto icon = std::make_unique<TTrayIcon>(App, FEnv.TrayNotify);
  icon->SetHint(App.Title);
  icon->PopupMenu = [this] { return Commands.BuildTrayMenu(); };
  icon->PopupOwner = Handle();
  icon->SetIcon(TrayImage.Get());
  icon->OnDblClick = [this] { TrayIconDblClick(); };
  TrayIcon = std::move(icon);
}

void TMainForm::AfterFirstPaint() {
  if (std::exchange(FAfterFirstPaint, true)) return;
  KillTimer(Handle(), kAfterFirstPaintTimer);
  Row.ShowLaterParts();
  FirstTrayIcon();
}

void TMainForm::FirstTrayIcon() {
  if (FTrayTried) return;
  FTrayTried = true;
  // The desk is still usable without the tray icon: say so and go on.
  try {
    AddTrayIcon();
  } catch (const Exception& e) {
    App.ShowError(Handle(), e.Message());
  }
}

void TMainForm::StartIconWarmUp() {
  const TRowContent start = RowContentOf(*Settings, StartTab(*Settings));
  if (start.Group >= 0 && Settings->Groups[start.Group].Apps.Count() > 0)
    FIconWarmUp = std::make_unique<TShellIconWarmUp>();
}

void TMainForm::CmdLineSwitch_R() {
  FDeskLocked = true;
  actConfig->SetEnabled(false);
  FileDrag.SetEnableDrop(false);
}

void TMainForm::FileDragDrop(const TDroppedFiles& drop) {
  if (DeskLocked()) return;  // the row takes no drops; one sent anyway changes nothing
  if (drop.FileCount != 1) {
    App.ShowError(Handle(), kOneFileAtATime);
    return;
  }
  FollowSettingsFile();  // a newer file first: the entry goes onto its desk
  const bool firstGroup = Settings->Groups.Count() == 0;
  const int group = DropGroup(*Settings, Row.SelectedTab());
  if (group < 0) throw Exception(kDropNeedsGroup);
  AddDroppedEntry(Settings->Groups[group].Apps, drop.NameWithPath[0]);
  Row.RebuildTabs(firstGroup ? StartTab(*Settings) : Row.SelectedTab());
  SaveChange();
}

void TMainForm::FormShow() {
  ButtonBusy = false;
  DesktopHidden = Settings->HideProgMan && !DesktopToggleBlocked();
  SetButtonsFlat(Settings->DoFlatButtons);
  UpdateDesktopAction();
  InFormShow = true;
  // The command line has been read: /R leaves nothing to add with.
  const std::u16string emptyLine = actConfig->Enabled() ? kEmptyDesk : kEmptyLockedDesk;
  SetWindowTextW(Control("lblEmptyDesk"), W(emptyLine));
  ApplyButtonSize();
  Row.BuildTabs(StartTab(*Settings), true);
  InFormShow = false;
  FileDrag.SetEnableDrop(!DeskLocked());
  if (TrayIcon) TrayIcon->SetHint(App.Title);
  SetWindowPos(Control("pnlProgramButtons"), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (Settings->HideProgMan) Desk.HideDesktopWindow(true);
  ApplyDeskOptions();
}

void TMainForm::ApplyDeskOptions() {
  actExplorer->SetEnabled(!Settings->DisableExplorer);
  actToggleDeskTop->SetEnabled(!Settings->DisableDesktop);
  Desk.HideTaskbar(Settings->HideTaskBar);
  ApplyWindowButtons();
  ApplyShellKeys();
}

void TMainForm::ApplyWindowButtons() {
  const HWND window = Handle();
  const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
  const LONG_PTR wanted = Settings->DisableMinimize ? style & ~WS_MINIMIZEBOX : style | WS_MINIMIZEBOX;
  if (wanted != style) {
    SetWindowLongPtrW(window, GWL_STYLE, wanted);
    SetWindowPos(window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  }
  // A greyed Close greys the close box too; the window menu is greyed by
  // the style when it opens, and here already for whoever looks now.
  const HMENU menu = GetSystemMenu(window, FALSE);
  DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
  EnableMenuItem(menu, SC_MINIMIZE, MF_BYCOMMAND | (Settings->DisableMinimize ? MF_GRAYED : MF_ENABLED));
  EnableMenuItem(menu, SC_CLOSE, MF_BYCOMMAND | (Settings->DisableClose ? MF_GRAYED : MF_ENABLED));
}

void TMainForm::ApplyShellKeys() {
  if (!Settings->BlockShellKeys) {
    FShellKeys.reset();
    return;
  }
  if (FShellKeys) return;
  try {
    FShellKeys = std::make_unique<TShellKeyBlock>();
  } catch (const Exception& e) {
    App.ShowError(Handle(), e.Message());
  }
}

void TMainForm::GiveDeskBack() {
  if (!FShown) return;
  Desk.HideDesktopWindow(false);
  Desk.HideTaskbar(false);
}

void TMainForm::FormClose(TCloseAction& action) {
  if (Settings->DisableClose) {
    action = TCloseAction::caNone;
    return;
  }
  // The desk comes back when the window really goes (FormDestroy).
  action = App.ShowMessage(Handle(), kCloseConfirmation, MB_YESNO | MB_ICONQUESTION) == IDYES ? TCloseAction::caFree
                                                                                               : TCloseAction::caNone;
}

void TMainForm::SaveGeometry(TCloseAction action) {
  try {
    WinSaver.Save(Handle());
  } catch (const Exception& e) {
    // A folder the user may not write to must not keep the window open.
    const bool refusedSilently = action == TCloseAction::caNone && Settings && Settings->DisableClose;
    if (!FGeometryErrorShown && !refusedSilently) {
      FGeometryErrorShown = true;
      App.ShowError(Handle(), e.Message());
    }
  }
}

void TMainForm::FormDestroy() {
  GiveDeskBack();
  KillTimer(Handle(), kBusyTimer);
  KillTimer(Handle(), kSettingsFileTimer);
  TrayIcon.reset();  // leaves the notification area with the window
  if (FComInitialised) CoUninitialize();
  FComInitialised = false;
  if (FEnv.EndsProgram) PostQuitMessage(0);
}

void TMainForm::BusyTimerTimer() {
  ButtonBusy = false;
  KillTimer(Handle(), kBusyTimer);
}

void TMainForm::RestoreWindow() {
  if (IsIconic(Handle()) || !IsWindowVisible(Handle())) {
    if (TrayIcon) TrayIcon->AppRestore(Handle());
    else ShowWindow(Handle(), SW_RESTORE);
  }
  SetForegroundWindow(Handle());
}

void TMainForm::ShellRestarted() {
  FindTaskbarAgain();
  if (Desk.TaskbarHidden()) Desk.HideTaskbar(true);
  if (Desk.DesktopHidden()) Desk.HideDesktopWindow(true);
  if (TrayIcon) return;
  // A first try still to come is this one, without the error box: the
  // shell has only just started.
  FTrayTried = true;
  try {
    AddTrayIcon();
  } catch (const Exception&) {
    // still refused: the next restart of the shell tries again
  }
}

// ------------------------------------------------------------- settings

std::wstring TMainForm::SettingsFileName() const { return FSettingsFile.Path(); }

void TMainForm::LoadSettings() {
  Settings.reset();
  Settings = FSettingsFile.Load();
}

void TMainForm::SaveSettings(bool keepOther) {
  if (DeskLocked()) return;
  FSettingsFile.Save(*Settings, keepOther);
}

void TMainForm::SaveChange(bool keepOther) {
  if (FSettingsFile.ReadOnly()) {
    App.ShowMessage(Handle(), kSettingsReadOnly, MB_OK | MB_ICONWARNING);
    return;
  }
  // A file that cannot be written loses nothing: the change stays in memory
  // and on the buttons, and the next save writes it.
  try {
    SaveSettings(keepOther);
  } catch (const Exception& e) {
    App.ShowError(Handle(), e.Message());
  }
}

void TMainForm::FollowSettingsFile() {
  if (FConfigOpen || !FSettingsFile.ChangedOnDisk()) return;
  std::unique_ptr<TSkiffData> fresh;
  try {
    fresh = FSettingsFile.Load();
  } catch (const Exception& e) {
    const std::u16string text = SettingsFailureText(e, U16(SettingsFileName()), false);
    if (text != FReportedFailure) App.ShowError(Handle(), text);
    FReportedFailure = text;
    return;
  }
  FReportedFailure.clear();
  ShowNewSettings(std::move(fresh));
}

void TMainForm::ShowNewSettings(std::unique_ptr<TSkiffData> fresh) {
  const int group = RowContentOf(*Settings, Row.SelectedTab()).Group;
  const std::u16string groupName = group >= 0 && group < Settings->Groups.Count() ? Settings->Groups[group].Name : u"";
  const bool hadDesktopHidden = Settings->HideProgMan;
  Row.ClearButtons(true);  // the icons belong to the old entries
  Settings = std::move(fresh);
  if (!FShown) return;
  ApplyButtonSize();
  ApplyDeskOptions();
  if (Settings->HideProgMan != hadDesktopHidden) {
    DesktopHidden = Settings->HideProgMan && !DesktopToggleBlocked();
    Desk.HideDesktopWindow(Settings->HideProgMan);
    UpdateDesktopAction();
  }
  SetButtonsFlat(Settings->DoFlatButtons);
  Row.RebuildTabs(TabOfGroupNamed(*Settings, groupName));
}

// ------------------------------------------------------ window and desk

bool TMainForm::CanLockWorkstation() const { return ::CanLockWorkstation(FEnv.OsVersion()); }

bool TMainForm::DesktopToggleBlocked() const { return ::DesktopToggleBlocked(FEnv.OsVersion()); }

int TMainForm::CaptionHeight() const {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
  return MulDiv(metrics.iCaptionHeight, static_cast<int>(Dpi()), static_cast<int>(WindowDpi(nullptr)));
}

int TMainForm::FixedHeight() const { return CaptionHeight() + Scale(Row.HeightAboveCaption()); }

void TMainForm::ApplyButtonSize() {
  Row.ApplyButtonSize();
  // The height is held by WM_WINDOWPOSCHANGING; this makes it take effect.
  RECT r{};
  GetWindowRect(Handle(), &r);
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, FixedHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainForm::SetButtonsFlat(bool flat) {
  Row.SetButtonsFlat(flat);
  for (const char* name : {"tbrLeft", "tbrRight"}) {
    const HWND bar = Control(name);
    const LONG_PTR style = GetWindowLongPtrW(bar, GWL_STYLE);
    SetWindowLongPtrW(bar, GWL_STYLE, flat ? style | TBSTYLE_FLAT : style & ~TBSTYLE_FLAT);
    InvalidateRect(bar, nullptr, TRUE);
  }
}

void TMainForm::UpdateDesktopAction() {
  const TDesktopLook look = DesktopActionLook(DesktopHidden);
  actToggleDeskTop->SetImageIndex(look.ImageIndex);
  actToggleDeskTop->SetHint(look.Hint);
}

void TMainForm::ProgramBtnClick(int tag) {
  TMainPressHost host(*this, FEnv.RunProgram);
  ::ProgramBtnClick(host, *Settings, Row.SelectedTab(), tag);
}

// ------------------------------------------------------------- messages

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == FTaskbarCreated && FTaskbarCreated) {
    if (Settings) ShellRestarted();
    return 0;
  }
  switch (message) {
    case WM_CLOSE: {
      TCloseAction action = TCloseAction::caFree;
      FormClose(action);
      SaveGeometry(action);  // whether or not the window closes
      if (action == TCloseAction::caFree || action == TCloseAction::caHide) DestroyWindow(Handle());
      else if (action == TCloseAction::caMinimize) ShowWindow(Handle(), SW_MINIMIZE);
      return 0;
    }
    case WM_DESTROY:
      FormDestroy();
      return 0;
    case WM_HELP:
      ShowHelp(App, Handle(), u"window");
      return TRUE;
    case WM_SYSCOMMAND:
      // Only the command itself is refused: the program may still minimise.
      if (wParam == SC_MINIMIZE && Settings && Settings->DisableMinimize) return 0;
      if ((wParam & 0xFFF0) == SC_MAXIMIZE) return 0;  // the height is fixed
      break;
    case WM_QUERYENDSESSION:
      return TRUE;  // a restricted desk never holds up a log-off or an update
    case WM_ENDSESSION:
      // The session ends (or an installer ends the program) without
      // destroying the window: the desk goes back first.
      if (wParam) GiveDeskBack();
      return 0;
    case WM_TIMER:
      if (wParam == kBusyTimer) {
        BusyTimerTimer();
        return 0;
      }
      if (wParam == kAfterFirstPaintTimer) {
        AfterFirstPaint();
        // Minimised before the icon came: into the tray, as it would have.
        if (IsIconic(Handle()) && IsWindowVisible(Handle()) && MinimizesToTray()) TrayIcon->AppMinimize(Handle());
        return 0;
      }
      if (wParam == kSettingsFileTimer) {
        KillTimer(Handle(), kSettingsFileTimer);
        FollowSettingsFile();
        return 0;
      }
      break;
    case kSettingsFolderChanged:
      SetTimer(Handle(), kSettingsFileTimer, kSettingsFileSettle, nullptr);  // again at each change
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kTileCommand) {
        Commands.TileWindowsHorizontal1Click();
        return 0;
      }
      if (actMain.Execute(LOWORD(wParam))) return 0;
      break;
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
      if (hdr->hwndFrom == Control("ProgramPages") && hdr->code == TCN_SELCHANGE) {
        Row.ProgramPagesChange();
        return 0;
      }
      if (hdr->code == NM_CUSTOMDRAW && (hdr->hwndFrom == Control("tbrLeft") || hdr->hwndFrom == Control("tbrRight")))
        return Keyboard.ToolBarCustomDraw(*reinterpret_cast<const NMTBCUSTOMDRAW*>(lParam));
      if (actMain.HandleToolTip(lParam)) return 0;
      break;
    }
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == Control("ProgramSlider")) {
        Row.ProgramSliderChange();
        return 0;
      }
      break;
    case WM_SHOWWINDOW:
      if (wParam) BusyTimerTimer();  // showing the window ends the repeat-press guard
      break;
    case WM_SIZE:
      Form::HandleMessage(message, wParam, lParam);
      // Coming back from minimised is a showing of the window too.
      if (FMinimized && wParam != SIZE_MINIMIZED) BusyTimerTimer();
      FMinimized = wParam == SIZE_MINIMIZED;
      // Minimised, the program lives in the notification area only; with no
      // icon there its taskbar button stays, so the window can be reached.
      if (wParam == SIZE_MINIMIZED && MinimizesToTray()) TrayIcon->AppMinimize(Handle());
      if (Settings && wParam != SIZE_MINIMIZED) {  // FormResize
        Row.UpdateSlider();
        Row.ProgramSliderChange();
      }
      return 0;
    case kDpiChanged: {
      const LRESULT result = Form::HandleMessage(message, wParam, lParam);
      // The row is laid out in pixels of the old DPI and its faces drawn
      // for it: built anew, with the tab font of the button size.
      LoadToolImages();
      if (Settings && FShown) {
        const int tab = Row.SelectedTab();
        ApplyButtonSize();
        Row.ClearButtons(true);
        Row.RebuildTabs(tab);
      }
      return result;
    }
    case WM_ACTIVATE:
      Keyboard.Activate(wParam);
      return 0;
    case WM_SETFOCUS:
      Row.FocusRowOrTabs();
      return 0;
    case WM_CONTEXTMENU: {
      POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      // The title bar and the frame have the window menu, as everywhere.
      if (!(at.x == -1 && at.y == -1) && DefWindowProcW(Handle(), WM_NCHITTEST, 0, lParam) != HTCLIENT) break;
      UniqueMenu menu(CreatePopupMenu());
      AppendMenuW(menu.Get(), MF_STRING, kTileCommand, L"Tile Windows - Horizontal");
      if (at.x == -1 && at.y == -1) {
        // From the keyboard: at the control that has the focus.
        RECT r{};
        GetWindowRect(GetFocus() && IsChild(Handle(), GetFocus()) ? GetFocus() : Handle(), &r);
        at = {r.left, r.bottom};
      }
      TrackPopupMenu(menu.Get(), TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
      return 0;
    }
    case WM_GETMINMAXINFO: {
      auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
      info->ptMinTrackSize.x = Scale(kMinWidth);
      info->ptMinTrackSize.y = info->ptMaxTrackSize.y = FixedHeight();
      return 0;
    }
    case WM_WINDOWPOSCHANGING: {
      // The window's height is fixed by the button size, whoever sizes it.
      auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
      if (!(pos->flags & SWP_NOSIZE) && !IsIconic(Handle()) && !IsZoomed(Handle())) {
        pos->cy = FixedHeight();
        pos->cx = std::max(pos->cx, Scale(kMinWidth));
      }
      break;
    }
  }
  return Form::HandleMessage(message, wParam, lParam);
}
