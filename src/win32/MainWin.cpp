#include "win32/MainWin.h"

#include <commctrl.h>
#include <objbase.h>
#include <windowsx.h>

#include <algorithm>

#include "core/Errors.h"
#include "core/TextCodec.h"
#include "core/WinSupport.h"
#include "win32/AboutWin.h"
#include "win32/ButtonFaces.h"
#include "win32/DataClasses.h"
#include "win32/WinSupport.h"
#include "win32/oKXScreenSaver.h"
#include "win32/res/resource.h"

namespace {

constexpr UINT_PTR kBusyTimer = 1;
constexpr int kTileCommand = 900;
constexpr int kMinWidth = 320;

const TFormDef kMainFormDef = {L"Dorvane", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 131, 204, 679, 177, false,
                               {L"MS Sans Serif", -11}};

const TControlDef kMainControls[] = {
    {TControlKind::TabControl, "ProgramPages", nullptr, TAlign::Client, 0, 0, 671, 119, L"", {}, TCS_HOTTRACK},
    {TControlKind::Panel, "pnlButtons", "ProgramPages", TAlign::Client},
    {TControlKind::Panel, "pnlProgramButtons", "pnlButtons", TAlign::None, 53, 1, 207, 54},
    {TControlKind::Panel, "SliderPanel", nullptr, TAlign::Bottom, 0, 0, 671, 24},
    {TControlKind::ToolBar, "tbrLeft", "SliderPanel", TAlign::Left, 0, 0, 100, 24},
    {TControlKind::TrackBar, "ProgramSlider", "SliderPanel", TAlign::None, 126, 0, 141, 22},
    {TControlKind::ToolBar, "tbrRight", "SliderPanel", TAlign::Right, 0, 0, 46, 24},
};

const std::wstring kBadSuffix = L".bad";

// What a press asks of the window, for the press's own rules.
class TMainPressHost : public TPressHost {
 public:
  TMainPressHost(TMainForm& form, std::function<int(HWND, const std::u16string&, const std::u16string&,
                                                    const std::u16string&, int)>& run)
      : F(form), Run(run) {}
  bool ButtonBusy() const override { return F.ButtonBusy; }
  void ArmBusyGuard() override {
    F.ButtonBusy = true;
    SetTimer(F.Handle(), kBusyTimer, 1000, nullptr);
  }
  bool ShowMessage(std::u16string_view view, TMessageKind kind) override {
    const std::u16string text(view);
    switch (kind) {
      case TMessageKind::mkWarning: F.App.ShowMessage(F.Handle(), text, MB_OK | MB_ICONWARNING); return true;
      case TMessageKind::mkConfirmation:
        return F.App.ShowMessage(F.Handle(), text, MB_YESNO | MB_ICONQUESTION) == IDYES;
      case TMessageKind::mkInformation:
        return F.App.ShowMessage(F.Handle(), text, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
      case TMessageKind::mkPlain: F.App.ShowMessage(F.Handle(), text, MB_OK); return true;
    }
    return false;
  }
  void MinimizeApplication() override { ShowWindow(F.Handle(), SW_MINIMIZE); }
  int RunProgram(const std::u16string& file, const std::u16string& parameters, const std::u16string& folder,
                 int showCommand) override {
    return Run(F.Handle(), file, parameters, folder, showCommand);
  }

 private:
  TMainForm& F;
  std::function<int(HWND, const std::u16string&, const std::u16string&, const std::u16string&, int)>& Run;
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

TMainForm::TMainForm(TApplication& app, TMainFormEnv env) : Form(app), FEnv(std::move(env)) {
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
  ShowWindow(Handle(), SW_SHOW);
  UpdateWindow(Handle());
}

// ------------------------------------------------------------ life cycle

void TMainForm::CreateActions() {
  actExplorer = &actMain.Add(u"Windows Explorer", u"Windows Explorer", 3, [this] { ExplorerClick(); });
  // The configuration dialog arrives with its own work; until then the
  // command is offered but opens nothing.
  actConfig = &actMain.Add(u"Configuration", u"Configure Dorvane", 2, nullptr);
  actInfo = &actMain.Add(u"About Dorvane", u"About Dorvane", 5, [this] { AboutBtnClick(); });
  actToggleDeskTop = &actMain.Add(u"Toggle Desktop Icons", u"", 1, [this] { DesktopBtnClick(); });
  actScreenSaver =
      &actMain.Add(u"Activate Screen Saver", u"Activate Screen Saver", 4, [this] { actScreenSaverExecute(); });
  actRestore = &actMain.Add(u"Restore", u"Restore Dorvane", 6, [this] { actRestoreExecute(); });
  actLockWorkstation =
      &actMain.Add(u"Lock Workstation", u"Lock Workstation", 7, [this] { actLockWorkstationExecute(); });
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
  FImageList = UniqueImageList(ImageList_Create(16, 16, ILC_COLOR32, 9, 0));
  UniqueBitmap strip(static_cast<HBITMAP>(
      LoadImageW(App.Instance, MAKEINTRESOURCEW(IDB_TOOLIMAGES), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  ImageList_Add(FImageList.Get(), strip.Get(), nullptr);
  for (const char* name : {"tbrLeft", "tbrRight"}) {
    const HWND bar = Control(name);
    SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(FImageList.Get()));
    SendMessageW(bar, TB_SETBUTTONSIZE, 0, MAKELPARAM(Scale(23), Scale(22)));
  }
  // The desk is still usable without the tray icon: say so and go on.
  TrayImage = UniqueIcon(ImageList_GetIcon(FImageList.Get(), 8, ILD_NORMAL));
  try {
    TrayIcon = std::make_unique<TTrayIcon>(App, FEnv.TrayNotify);
    TrayIcon->SetHint(App.Title);
    TrayIcon->PopupMenu = [this] { return BuildTrayMenu(); };
    TrayIcon->PopupOwner = Handle();
    TrayIcon->SetIcon(TrayImage.Get());
    TrayIcon->OnDblClick = [this] { TrayIconDblClick(); };
  } catch (const Exception& e) {
    TrayIcon.reset();
    App.ShowError(Handle(), e.Message());
  }
  for (TAction* a : {actExplorer, actToggleDeskTop, actConfig, actInfo}) a->AddToolButton(Control("tbrLeft"));
  for (TAction* a : {actScreenSaver, actLockWorkstation}) a->AddToolButton(Control("tbrRight"));
  ShowWindow(Control("ProgramSlider"), SW_HIDE);
  const SIZE small = SystemIconSize(isSmall), large = SystemIconSize(isLarge);
  ilstSmall.SetSize(small.cx, small.cy);
  ilstLarge.SetSize(large.cx, large.cy);
  IconGlyph.SetImageListLarge(&ilstLarge);
  IconGlyph.SetImageListSmall(&ilstSmall);
  IconGlyph.SetColorProcessing(cpAddLine);

  // The repeat-press guard's timer starts enabled and ends itself.
  SetTimer(Handle(), kBusyTimer, 1000, nullptr);

  // A rejected file is reported and the desk goes on with empty settings:
  // a restricted workstation must not be left without its launcher.
  try {
    LoadSettings();
  } catch (const Exception& e) {
    Settings = std::make_unique<TSkiffData>();
    FSettingsRejected = true;
    App.ShowError(Handle(), e.Message());
  }

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

void TMainForm::StartIconWarmUp() {
  const TRowContent start = RowContentOf(*Settings, StartTab(*Settings));
  if (start.Group >= 0 && Settings->Groups[start.Group].Apps.Count() > 0)
    FIconWarmUp = std::make_unique<TShellIconWarmUp>();
}

void TMainForm::CmdLineSwitch_R() { actConfig->SetEnabled(false); }

void TMainForm::FileDragDrop(const TDroppedFiles& drop) {
  if (drop.FileCount != 1) {
    App.ShowError(Handle(), kOneFileAtATime);
    return;
  }
  const int group = RowContentOf(*Settings, SelectedTab()).Group;
  if (group < 0 || group >= Settings->Groups.Count()) throw Exception(kDropNeedsGroup);
  TAppItem& entry = Settings->Groups[group].Apps.Add();
  entry.Command = drop.NameWithPath[0];
  entry.Title = DroppedTitle(drop.NameOnly[0]);
  entry.Hint = entry.Title;
  entry.Directory = DroppedFolder(drop.NameWithPath[0]);
  entry.WindowState = u"N";
  entry.DialogType = u"N";
  SaveSettings();
  const int tab = SelectedTab();
  RebuildTabs(tab);
}

void TMainForm::FormShow() {
  FButtons.clear();
  ButtonBusy = false;
  DesktopHidden = Settings->HideProgMan && !DesktopToggleBlocked();
  actExplorer->SetEnabled(!Settings->DisableExplorer);
  actToggleDeskTop->SetEnabled(!Settings->DisableDesktop);
  HideTaskbar(Settings->HideTaskBar);
  SetButtonsFlat(Settings->DoFlatButtons);
  UpdateDesktopAction();
  InFormShow = true;
  ApplyButtonSize();
  BuildTabs(StartTab(*Settings));
  InFormShow = false;
  FileDrag.SetEnableDrop(true);
  if (TrayIcon) TrayIcon->SetHint(App.Title);
  SetWindowPos(Control("pnlProgramButtons"), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (Settings->HideProgMan) HideDesktopWindow(true);
  if (Settings->HideTaskBar) HideTaskbar(true);
}

void TMainForm::FormClose(TCloseAction& action) {
  if (Settings->DisableClose) {
    action = TCloseAction::caNone;
    return;
  }
  if (App.ShowMessage(Handle(), kCloseConfirmation, MB_YESNO | MB_ICONQUESTION) == IDYES) {
    HideDesktopWindow(false);
    HideTaskbar(false);
    action = TCloseAction::caFree;
  } else {
    action = TCloseAction::caNone;
  }
}

void TMainForm::FormDestroy() {
  KillTimer(Handle(), kBusyTimer);
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

// ------------------------------------------------------------- settings

std::wstring TMainForm::SettingsFileName() const { return FEnv.SettingsFile; }

void TMainForm::LoadSettings() {
  Settings.reset();
  Settings = LoadSettingsFile(SettingsFileName());
}

void TMainForm::SaveSettings() {
  const std::wstring path = SettingsFileName();
  if (FSettingsRejected) {
    // Keep what the administrator wrote for repair instead of overwriting it.
    const std::wstring bad = path + kBadSuffix;
    if (!MoveFileExW(ExtendedPath(path).c_str(), ExtendedPath(bad).c_str(), MOVEFILE_REPLACE_EXISTING) &&
        GetLastError() != ERROR_FILE_NOT_FOUND)
      throw EStreamError(Format(u"Cannot create file \"%s\". %s", {U16(bad), SysErrorMessage(GetLastError())}));
    FSettingsRejected = false;
  }
  SaveToFile(*Settings, path);
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

int TMainForm::FixedHeight() const { return CaptionHeight() + Scale(FHeightAboveCaption); }

void TMainForm::ApplyButtonSize() {
  const TButtonSize size = ButtonSizeFor(Settings->BtnSize);
  ButtonWidth = Scale(size.Width);
  ButtonHeight = Scale(size.Height);
  FHeightAboveCaption = size.HeightAboveCaption;
  struct TabFont {
    const wchar_t* Name;
    int Points;
  };
  const TabFont font = Settings->BtnSize == 1 ? TabFont{L"MS Sans Serif", 6}
                       : Settings->BtnSize == 2 ? TabFont{L"MS Sans Serif", 8}
                                                : TabFont{L"Small Fonts", 6};
  UniqueFont tabFont(CreateFontW(-MulDiv(font.Points, static_cast<int>(Dpi()), 72), 0, 0, 0, FW_NORMAL, FALSE,
                                 FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Name));
  SendMessageW(Control("ProgramPages"), WM_SETFONT, reinterpret_cast<WPARAM>(tabFont.Get()), TRUE);
  FTabFont = std::move(tabFont);
  // The height is held by WM_WINDOWPOSCHANGING; this makes it take effect.
  RECT r{};
  GetWindowRect(Handle(), &r);
  SetWindowPos(Handle(), nullptr, 0, 0, r.right - r.left, FixedHeight(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TMainForm::SetButtonsFlat(bool flat) {
  for (auto& button : FButtons) button->SetFlat(flat);
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

// ----------------------------------------------------------- button row

int TMainForm::SelectedTab() const { return TabCtrl_GetCurSel(Control("ProgramPages")); }

// A size the window does not know is shown as the smallest; the setting
// itself is kept as it was.
int TMainForm::ShownBtnSize() const {
  return Settings->BtnSize >= 0 && Settings->BtnSize <= 2 ? Settings->BtnSize : 0;
}

void TMainForm::BuildTabs(int tab) {
  const HWND pages = Control("ProgramPages");
  TTabsLayout layout = ::BuildTabs(*Settings, tab);
  TabCtrl_DeleteAllItems(pages);
  for (std::size_t i = 0; i < layout.Captions.size(); ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(W(layout.Captions[i]));
    TabCtrl_InsertItem(pages, static_cast<int>(i), &item);
  }
  TabInfo = std::move(layout.TabInfo);
  if (layout.SelectedTab >= 0) TabCtrl_SetCurSel(pages, layout.SelectedTab);
  ShowRow(layout.Fill);
  Realign();  // the tabs took their room: the button area follows
  UpdateSlider();
}

void TMainForm::RebuildTabs(int tab) {
  ClearButtons(false);
  BuildTabs(tab);
}

void TMainForm::ClearButtons(bool freeAll) {
  if (freeAll) {
    FButtons.clear();
    ilstLarge.Clear();
    ilstSmall.Clear();
    for (int g = 0; g < Settings->Groups.Count(); ++g)
      for (int i = 0; i < Settings->Groups[g].Apps.Count(); ++i) Settings->Groups[g].Apps[i].ImageIndex = -1;
  }
  TabCtrl_DeleteAllItems(Control("ProgramPages"));
}

void TMainForm::ShowRow(const TRowContent& content) {
  if (content.Drives) ShowInfoButtons();
  else if (content.Group >= 0) ShowGroupButtons(content.Group);
}

void TMainForm::ShowGroupButtons(int group) {
  TAppCollection& apps = Settings->Groups[group].Apps;
  for (int i = 0; i < apps.Count(); ++i) ShowButton(i, group, u"");
  for (int i = apps.Count(); i <= HighButton(); ++i) ShowWindow(FButtons[i]->Handle(), SW_HIDE);
  SizeButtonPanel();
}

void TMainForm::ShowInfoButtons() {
  const std::u16string& drives = Settings->Drives;
  if (!TabInfo.empty()) TabInfo[0].Count = static_cast<int>(drives.size());
  for (std::size_t i = 0; i < drives.size(); ++i) {
    wchar_t letter = static_cast<wchar_t>(drives[i]);
    CharUpperBuffW(&letter, 1);
    ShowButton(static_cast<int>(i), -1, u"Drive " + std::u16string(1, static_cast<char16_t>(letter)));
  }
  for (int i = static_cast<int>(drives.size()); i <= HighButton(); ++i) ShowWindow(FButtons[i]->Handle(), SW_HIDE);
  SizeButtonPanel();
}

void TMainForm::SizeButtonPanel() {
  SetWindowPos(Control("pnlProgramButtons"), nullptr, FSliderLeft, 0, std::max(1, HighButton() + 1) * ButtonWidth,
               ButtonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

TIconSpeedBtn* TMainForm::FindButton(int index) const {
  return index >= 0 && index <= HighButton() ? FButtons[index].get() : nullptr;
}

TAppItem* TMainForm::EntryAt(int group, int index) const {
  if (group < 0 || group >= Settings->Groups.Count()) return nullptr;
  TAppCollection& apps = Settings->Groups[group].Apps;
  return index >= 0 && index < apps.Count() ? &apps[index] : nullptr;
}

void TMainForm::ShowButton(int index, int group, const std::u16string& caption) {
  TIconSpeedBtn* button = FindButton(index);
  if (!button) {
    auto created = std::make_unique<TIconSpeedBtn>();
    TIconButtonProps props;
    props.Flat = Settings->DoFlatButtons;
    props.Dpi = Dpi();  // the window's, which follows the monitor
    const int width96 = MulDiv(ButtonWidth, 96, static_cast<int>(Dpi()));
    const int height96 = MulDiv(ButtonHeight, 96, static_cast<int>(Dpi()));
    const RECT bounds{index * width96, 0, (index + 1) * width96, height96};
    created->Create(Control("pnlProgramButtons"), 0, bounds, props);
    created->OnClick = [this, index] { ProgramBtnClick(index); };
    created->OnException = [this](const std::exception& e) {
      App.ShowError(Handle(), ExceptionMessage(e));
    };
    FButtons.push_back(std::move(created));
    button = FButtons.back().get();
  }
  ShowWindow(button->Handle(), SW_SHOW);
  const TAppItem* entry = EntryAt(group, index);
  std::u16string hint;
  if (entry) hint = Settings->ProgramAsHint ? entry->Command : BarsToLineBreaks(entry->Hint);
  for (std::size_t at = hint.find(u'\r'); at != std::u16string::npos; at = hint.find(u'\r', at + 2))
    hint.insert(at + 1, 1, u'\n');  // the tool tip breaks lines at CR LF
  button->SetHint(hint);
  // The face, and the entry's icon with it, is made when the button first
  // shows on the screen: a long row starts as fast as a short one. The
  // entry is looked up then, so a maker outliving its settings draws
  // nothing rather than a freed entry.
  button->SetGlyphMaker(
      [this, button, group, index, caption] { PaintButton(*button, EntryAt(group, index), caption); });
}

HFONT TMainForm::CaptionFont() {
  if (!FCaptionFont || FCaptionFontDpi != Dpi()) {
    FCaptionFont = UniqueFont(CreateCaptionFont(Dpi()));
    FCaptionFontDpi = Dpi();
  }
  return FCaptionFont.Get();
}

int TMainForm::AddEntryIcon(TAppItem& entry) {
  const TIconSize size = ShownBtnSize() == 0 ? isSmall : isLarge;
  IconGlyph.BeginUpdate();
  IconGlyph.SetIconSize(size);
  IconGlyph.SetColorProcessing(cpAddLine);
  if (!entry.IconLocation.empty()) {
    IconGlyph.SetIconType(itFileInfo);
    IconGlyph.SetFileInfo(entry.IconLocation);
  } else {
    IconGlyph.SetIconType(itFileDefault);
    IconGlyph.SetFileName(entry.Command);
  }
  IconGlyph.EndUpdate();
  // Whatever the entry names, the list gets a picture of its size, so that
  // the entry keeps its place in it and is never extracted again.
  SetSystemIconSize(BtnImage, size);
  FillBitmap(BtnImage, IconGlyph.TransparentColor(), BtnImage.Width(), BtnImage.Height());
  try {
    DrawToBitmap(IconGlyph, BtnImage);
  } catch (const Exception&) {
    // A broken icon location shows as an empty face, not as an error box
    // on every tab switch.
  }
  ++FIconExtractions;
  TImageList& list = size == isSmall ? ilstSmall : ilstLarge;
  return list.AddBitmap(BtnImage);
}

void TMainForm::PaintButton(TIconSpeedBtn& button, TAppItem* entry, const std::u16string& caption) {
  COLORREF fill = RGB(255, 255, 255);
  if (entry) {
    if (entry->ImageIndex == -1) entry->ImageIndex = AddEntryIcon(*entry);
    IconGlyph.BeginUpdate();
    IconGlyph.SetIconType(itImageList);
    IconGlyph.SetIconSize(ShownBtnSize() != 0 ? isLarge : isSmall);
    IconGlyph.SetIconIndex(entry->ImageIndex);
    IconGlyph.EndUpdate();
    DrawToBitmap(IconGlyph, BtnImage);
    fill = BtnImage.Pixel(0, BtnImage.Height() - 1);
  } else {
    DrawDrivePicture(BtnImage, SystemIconSize(ShownBtnSize() == 0 ? isSmall : isLarge));
  }
  TBitmap face;
  face.SetSize(ButtonWidth - Scale(4), ButtonHeight - Scale(4));
  std::u16string upper, lower;
  if (ShownBtnSize() == 2) {
    if (entry) {
      TBitmapCanvas measure(face);
      const HGDIOBJ old = SelectObject(measure.DC(), CaptionFont());
      const TCaptionLines lines =
          SplitButtonCaption(entry->Title, [&](std::u16string_view t) { return TextWidth(measure.DC(), t); },
                             face.Width(), Settings->VertBarLineBreak, !Settings->TextOnTop);
      SelectObject(measure.DC(), old);
      upper = lines.Upper;
      lower = lines.Lower;
    } else {
      upper = caption;
    }
  }
  ComposeButtonGlyph(face, upper, lower, BtnImage, fill, ShownBtnSize(), Dpi(), CaptionFont());
  button.SetGlyph(face);
}

TSliderLook TMainForm::UpdateSlider() {
  TTabRow* row = TabRowOf(TabInfo, SelectedTab(), Settings->ShowInfo);
  const HWND slider = Control("ProgramSlider");
  RECT pages{};
  GetClientRect(Control("ProgramPages"), &pages);
  TTabRow none;
  const TSliderLook look = ::UpdateSlider(row ? *row : none, ButtonWidth, pages.right);
  ShowWindow(slider, look.Visible ? SW_SHOW : SW_HIDE);
  if (look.Visible) {
    SendMessageW(slider, TBM_SETRANGEMIN, FALSE, 0);
    SendMessageW(slider, TBM_SETRANGEMAX, TRUE, look.Max);
  } else {
    FSliderLeft = 0;
    SendMessageW(slider, TBM_SETPOS, TRUE, 0);
    SizeButtonPanel();
  }
  return look;
}

void TMainForm::ProgramSliderChange() {
  TTabRow* row = TabRowOf(TabInfo, SelectedTab(), Settings->ShowInfo);
  if (!row) return;
  const int position = static_cast<int>(SendMessageW(Control("ProgramSlider"), TBM_GETPOS, 0, 0));
  FSliderLeft = ::ProgramSliderChange(*row, position, ButtonWidth);
  SizeButtonPanel();
}

void TMainForm::ProgramPagesChange() {
  ShowRow(RowContentOf(*Settings, SelectedTab()));
  const TSliderLook look = UpdateSlider();
  if (const TTabRow* row = TabRowOf(TabInfo, SelectedTab(), Settings->ShowInfo))
    SendMessageW(Control("ProgramSlider"), TBM_SETPOS, TRUE, RememberedPosition(*row, look));
  ProgramSliderChange();
}

void TMainForm::ProgramBtnClick(int tag) {
  TMainPressHost host(*this, FEnv.RunProgram);
  ::ProgramBtnClick(host, *Settings, SelectedTab(), tag);
}

// ------------------------------------------------------------- commands

void TMainForm::ExplorerClick() {
  FEnv.RunProgram(Handle(), u"Explorer.exe", ExplorerParameters(*Settings), u"", SW_SHOWNORMAL);
}

void TMainForm::DesktopBtnClick() {
  DesktopHidden = !DesktopHidden;
  HideDesktopWindow(DesktopHidden);
  SetForegroundWindow(Handle());
  UpdateDesktopAction();
}

void TMainForm::AboutBtnClick() {
  TAboutForm about(App);  // freed on every way out
  about.Create(Handle());
  about.ShowModal(Handle());
}

void TMainForm::actScreenSaverExecute() {
  RunBeforeScreenSaver();
  TKXScreenSaver::StartScreenSaver();
}

void TMainForm::RunBeforeScreenSaver() {
  if (!Settings->BeforeScreenSaverCommand.empty())
    FEnv.RunProgram(Handle(), Settings->BeforeScreenSaverCommand, Settings->BeforeScreenSaverParameters, u"",
                    SW_HIDE);
}

void TMainForm::actRestoreExecute() { RestoreWindow(); }

void TMainForm::actLockWorkstationExecute() {
  if (CanLockWorkstation()) LockWorkstation();
}

void TMainForm::TileWindowsHorizontal1Click() {
  ShowWindow(Handle(), SW_MINIMIZE);
  TileWindows(nullptr, MDITILE_HORIZONTAL, nullptr, 0, nullptr);
}

UniqueMenu TMainForm::BuildTrayMenu() const {
  UniqueMenu menu(CreatePopupMenu());
  for (const TAction* a : {actLockWorkstation, actScreenSaver, actRestore, actExplorer}) a->AppendTo(menu.Get());
  return menu;
}

// ------------------------------------------------------------- messages

LRESULT TMainForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CLOSE: {
      TCloseAction action = TCloseAction::caFree;
      FormClose(action);
      WinSaver.Save(Handle());  // whether or not the window closes
      if (action == TCloseAction::caFree || action == TCloseAction::caHide) DestroyWindow(Handle());
      else if (action == TCloseAction::caMinimize) ShowWindow(Handle(), SW_MINIMIZE);
      return 0;
    }
    case WM_DESTROY:
      FormDestroy();
      return 0;
    case WM_SYSCOMMAND:
      // Only the command itself is refused: the program may still minimise.
      if (wParam == SC_MINIMIZE && Settings && Settings->DisableMinimize) return 0;
      break;
    case WM_TIMER:
      if (wParam == kBusyTimer) {
        BusyTimerTimer();
        return 0;
      }
      break;
    case WM_COMMAND:
      if (LOWORD(wParam) == kTileCommand) {
        TileWindowsHorizontal1Click();
        return 0;
      }
      if (actMain.Execute(LOWORD(wParam))) return 0;
      break;
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
      if (hdr->hwndFrom == Control("ProgramPages") && hdr->code == TCN_SELCHANGE) {
        ProgramPagesChange();
        return 0;
      }
      if (actMain.HandleToolTip(lParam)) return 0;
      break;
    }
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == Control("ProgramSlider")) {
        ProgramSliderChange();
        return 0;
      }
      break;
    case WM_SIZE:
      Form::HandleMessage(message, wParam, lParam);
      // Minimised, the program lives in the notification area only.
      if (wParam == SIZE_MINIMIZED && TrayIcon) TrayIcon->AppMinimize(Handle());
      if (Settings && wParam != SIZE_MINIMIZED) {  // FormResize
        UpdateSlider();
        ProgramSliderChange();
      }
      return 0;
    case kDpiChanged: {
      const LRESULT result = Form::HandleMessage(message, wParam, lParam);
      // The row is laid out in pixels of the old DPI and its faces drawn
      // for it: built anew, with the tab font of the button size.
      if (Settings && FShown) {
        const int tab = SelectedTab();
        ApplyButtonSize();
        ClearButtons(true);
        RebuildTabs(tab);
      }
      return result;
    }
    case WM_CONTEXTMENU: {
      UniqueMenu menu(CreatePopupMenu());
      AppendMenuW(menu.Get(), MF_STRING, kTileCommand, L"Tile Windows - Horizontal");
      POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
      if (at.x == -1 && at.y == -1) GetCursorPos(&at);  // from the keyboard
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
