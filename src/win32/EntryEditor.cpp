#include "win32/EntryEditor.h"

#include <cstring>
#include <initializer_list>

#include "core/ConfigWin.h"
#include "core/Errors.h"
#include "core/WinSupport.h"
#include "win32/ButtonFaces.h"
#include "win32/IconGlyphPickEdt.h"
#include "win32/WinSupport.h"

namespace {

constexpr const char* kEditorEdits[] = {"edtCommand", "edtParameters", "edtStartDir", "edtHint", "edtDialogText"};
// Every control of the editor; a changed one is flagged by its position.
constexpr const char* kEditorControls[] = {"edtCommand",    "edtParameters",  "edtStartDir",      "edtHint",
                                           "edtDialogText", "cbxDialogType", "cbxWindowState", "chkMinimizeOnRun",
                                           "chkIgnore"};

int ControlIndex(const char* name) {
  for (std::size_t i = 0; name && i < std::size(kEditorControls); ++i)
    if (std::strcmp(kEditorControls[i], name) == 0) return static_cast<int>(i);
  return -1;
}

void SetItems(HWND combo, std::initializer_list<const wchar_t*> items) {
  for (const wchar_t* item : items) SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
}

int Selected(HWND combo) { return static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)); }

}  // namespace

bool TEntryEditor::IsEditorControl(const char* name) { return ControlIndex(name) >= 0; }

void TEntryEditor::Changed(const char* name) {
  if (const int i = ControlIndex(name); i >= 0 && !FLoading) FChanged |= 1u << i;
}

void TEntryEditor::Create() {
  SetItems(FForm.Control("cbxDialogType"), {L"", L"Yes / No", L"Ok / Cancel"});
  SetItems(FForm.Control("cbxWindowState"), {L"Normal", L"Minimized", L"Maximized"});
  TIconButtonProps props;
  props.Dpi = FForm.Dpi();
  IconPreviewBtn.Create(FForm.Control("grpIcon"), 0, RECT{7, 16, 7 + 64, 16 + 74}, props);
  props.Caption = u"Browse";
  IconBrowseBtn.Create(FForm.Control("grpIcon"), 0, RECT{78, 41, 78 + 75, 41 + 25}, props);
  for (TIconButton* button : {static_cast<TIconButton*>(&IconPreviewBtn), static_cast<TIconButton*>(&IconBrowseBtn)}) {
    TIconGlyph& glyph = button->IconGlyph;
    glyph.BeginUpdate();
    glyph.SetUseStoredIcon(false);
    glyph.SetTransparentColor(clBtnFace);
    glyph.SetColorProcessing(cpAddLine);
    glyph.EndUpdate();
    button->OnException = [this](const std::exception& e) { FForm.App.ShowError(FForm.Handle(), ExceptionMessage(e)); };
  }
  IconPreviewBtn.IconGlyph.SetIconSize(isLarge);

  FHints = UniqueOwner<HWND, DestroyWindow>(CreateWindowExW(
      WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
      CW_USEDEFAULT, CW_USEDEFAULT, FForm.Handle(), nullptr, FForm.App.Instance, nullptr));
  // A long command wraps instead of running off the screen.
  SendMessageW(FHints.Get(), TTM_SETMAXTIPWIDTH, 0, FForm.Scale(400));
  for (const char* name : kEditorEdits) {
    TTTOOLINFOW tool = HintTool(name);
    tool.uFlags |= TTF_SUBCLASS;
    tool.lpszText = const_cast<wchar_t*>(L"");
    SendMessageW(FHints.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

TTTOOLINFOW TEntryEditor::HintTool(const char* edit) const {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND;
  tool.hwnd = FForm.Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(FForm.Control(edit));
  return tool;
}

void TEntryEditor::DpiChanged() {
  // The icon buttons are not of the form's table: placed again, and the
  // preview drawn at the new size.
  IconPreviewBtn.SetDpi(FForm.Dpi());
  IconBrowseBtn.SetDpi(FForm.Dpi());
  SetWindowPos(IconPreviewBtn.Handle(), nullptr, FForm.Scale(7), FForm.Scale(16), FForm.Scale(64), FForm.Scale(74),
               SWP_NOZORDER | SWP_NOACTIVATE);
  SetWindowPos(IconBrowseBtn.Handle(), nullptr, FForm.Scale(78), FForm.Scale(41), FForm.Scale(75), FForm.Scale(25),
               SWP_NOZORDER | SWP_NOACTIVATE);
  if (FShownApp) {
    ShowEntryIcon(*FShownApp);
    DrawPreview(FShownApp->Title);
  }
}

void TEntryEditor::Show(TAppItem& entry, const std::u16string& title) {
  TAppItem* app = &entry;
  // Filling the controls is not a change of the entry.
  FLoading = true;
  const std::u16string* texts[] = {&app->Command, &app->Parameters, &app->Directory, &app->Hint, &app->DialogText};
  for (std::size_t i = 0; i < std::size(kEditorEdits); ++i) {
    SetWindowTextW(FForm.Control(kEditorEdits[i]), W(*texts[i]));
    // The hint keeps the value as loaded, whatever is typed after.
    TTTOOLINFOW tool = HintTool(kEditorEdits[i]);
    tool.lpszText = const_cast<wchar_t*>(W(*texts[i]));
    SendMessageW(FHints.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
  }
  SendMessageW(FForm.Control("cbxDialogType"), CB_SETCURSEL, DialogTypeItem(app->DialogType), 0);
  SendMessageW(FForm.Control("cbxWindowState"), CB_SETCURSEL, WindowStateItem(app->WindowState), 0);
  SetChecked(FForm.Control("chkMinimizeOnRun"), app->MinimizeOnRun);
  SetChecked(FForm.Control("chkIgnore"), app->IgnoreAccessDenied);
  FLoading = false;
  FShownApp = app;
  FChanged = 0;
  ShowEntryIcon(*app);
  DrawPreview(title);
}

void TEntryEditor::ShowEntryIcon(const TAppItem& app) {
  for (TIconButton* button : {static_cast<TIconButton*>(&IconPreviewBtn), static_cast<TIconButton*>(&IconBrowseBtn)}) {
    TIconGlyph glyph;
    glyph.Assign(button->IconGlyph);
    if (app.IconLocation.empty()) {
      glyph.SetIconType(itFileDefault);
      glyph.SetFileName(app.Command);
    } else {
      glyph.SetIconType(itFileInfo);
      glyph.SetFileInfo(app.IconLocation);
    }
    try {
      button->SetIconGlyph(glyph);  // draws it once
    } catch (const Exception&) {
      TBitmap none;
      FillBitmap(none, clBtnFace, 1, 1);
      button->SetGlyph(none);
    }
  }
}

void TEntryEditor::DrawPreview(const std::u16string& title) {
  // The icon as its glyph draws it, then the face the main window's large
  // button composes around it.
  // The main window keeps an entry's icon in an image list and draws the
  // button from there: the preview takes the same road, so that it shows
  // the very pixels the button will.
  // The icon of the size the main window's buttons have on this monitor.
  const SIZE size = SystemIconSize(isLarge, FForm.Dpi());
  TBitmap icon;
  FillBitmap(icon, clBtnFace, size.cx, size.cy + 1);
  TImageList list(size.cx, size.cy);
  TIconGlyph glyph;
  glyph.Assign(IconPreviewBtn.IconGlyph);
  try {
    DrawToBitmap(glyph, icon, FForm.Dpi());
  } catch (const Exception&) {
  }
  list.AddBitmap(icon);
  glyph.SetImageListLarge(&list);
  glyph.SetImageListSmall(&list);
  glyph.SetIconType(itImageList);
  glyph.SetIconIndex(0);
  DrawToBitmap(glyph, icon, FForm.Dpi());
  TBitmap face;
  face.SetSize(FForm.Scale(60), FForm.Scale(70));
  const UniqueFont font(CreateCaptionFont(FForm.Dpi()));
  TCaptionLines lines;
  {
    TBitmapCanvas measure(face);
    const SelectedObject selected(measure.DC(), font.Get());
    lines = SplitButtonCaption(title, [&](std::u16string_view t) { return TextWidth(measure.DC(), t); },
                               face.Width(), Checked(FForm.Control("chkVertBar")), !Checked(FForm.Control("chkSingleLineTop")));
  }
  ComposeButtonGlyph(face, lines.Upper, lines.Lower, icon, icon.Pixel(0, icon.Height() - 1), 2, FForm.Dpi(), font.Get());
  IconPreviewBtn.SetGlyph(face);
}

bool TEntryEditor::Commit() {
  TAppItem* app = FShownApp;
  if (!app || !FChanged) return false;
  // Only what the user changed: a stored value the controls cannot show as
  // it is (a "Max" window state, a lower-case dialog type) stays as stored.
  const auto changed = [this](int i) { return (FChanged & (1u << i)) != 0; };
  std::u16string* texts[] = {&app->Command, &app->Parameters, &app->Directory, &app->Hint, &app->DialogText};
  for (std::size_t i = 0; i < std::size(texts); ++i)
    if (changed(static_cast<int>(i))) *texts[i] = WindowText(FForm.Control(kEditorControls[i]));
  if (changed(5)) app->DialogType = DialogTypeCode(Selected(FForm.Control("cbxDialogType")));
  if (changed(6)) app->WindowState = WindowStateCode(Selected(FForm.Control("cbxWindowState")));
  if (changed(7)) app->MinimizeOnRun = Checked(FForm.Control("chkMinimizeOnRun"));
  if (changed(8)) app->IgnoreAccessDenied = Checked(FForm.Control("chkIgnore"));
  FChanged = 0;
  return true;
}

bool TEntryEditor::ChooseIcon(const std::u16string& title) {
  TAppItem* app = FShownApp;
  if (!app) return false;
  TIconGlyphPickEditDlg picker(FForm.App);  // freed on every way out
  picker.Create(FForm.Handle());
  picker.AllowSystem = false;
  picker.AllowCursor = false;
  picker.AllowFile = true;
  TIconGlyph& preview = picker.isbIconSpeedBtn.IconGlyph;
  preview.BeginUpdate();
  preview.SetColorProcessing(cpAddLine);
  preview.SetIconSize(isLarge);
  picker.LoadDir = CommandFolder(app->Command);
  if (!app->IconLocation.empty()) {
    std::u16string file;
    std::int32_t index = 0;
    bool broken = false;
    try {
      SplitIconLocation(app->IconLocation, file, index);
    } catch (const Exception&) {
      broken = true;
    }
    // A broken location opens the picker on no file and an empty preview,
    // which the picker could not draw from the location: so it can be
    // mended there.
    preview.SetIconType(broken ? itFileIndex : itFileInfo);
    preview.SetFileInfo(broken ? u"" : app->IconLocation);
    const bool load = !broken && IsIconLocationFile(file);
    preview.SetFileName(load ? file : u"");
    preview.SetIconIndex(load ? index : 0);
    picker.LoadOnShow = load;
  } else {
    preview.SetIconType(itFileDefault);
    preview.SetFileName(app->Command);
    // A program's or library's own icons are the likely choice: listed at
    // once, the first marked.
    preview.SetIconIndex(0);
    picker.LoadOnShow = IsIconLocationFile(app->Command);
  }
  preview.EndUpdate();
  const int result = picker.ShowModal(FForm.Handle());
  if (result != IDOK) return false;
  app->IconLocation = IconLocationFor(preview.FileName(), preview.IconIndex());
  ShowEntryIcon(*app);
  DrawPreview(title);
  return true;
}
