#include "win32/ProgramRow.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "core/Errors.h"
#include "core/TextCodec.h"
#include "core/WinSupport.h"
#include "win32/WinSupport.h"
#include "win32/ButtonFaces.h"

namespace {

constexpr int kTabHeight = 18;  // at 96 DPI

}  // namespace

TProgramRow::TProgramRow(Form& owner, const std::unique_ptr<TSkiffData>& settings)
    : FOwner(owner), FSettings(settings) {}

void TProgramRow::Attach(HWND pages, HWND buttonPanel, HWND slider) {
  FPages = pages;
  FButtonPanel = buttonPanel;
  FSlider = slider;
  SizeIconLists();
  IconGlyph.SetImageListLarge(&ilstLarge);
  IconGlyph.SetImageListSmall(&ilstSmall);
  IconGlyph.SetColorProcessing(cpAddLine);
}

void TProgramRow::SizeIconLists() {
  // The icons of the owner's DPI: a list of another size starts empty, and
  // every entry's icon is taken from its file again.
  const SIZE small = SystemIconSize(isSmall, FOwner.Dpi()), large = SystemIconSize(isLarge, FOwner.Dpi());
  if (small.cx == ilstSmall.Width() && large.cx == ilstLarge.Width()) return;
  ilstSmall.SetSize(small.cx, small.cy);
  ilstLarge.SetSize(large.cx, large.cy);
  if (FSettings) ClearButtons(true);
}

void TProgramRow::ApplyButtonSize() {
  SizeIconLists();
  const TButtonSize size = ButtonSizeFor(FSettings->BtnSize);
  ButtonWidth = FOwner.Scale(size.Width);
  ButtonHeight = FOwner.Scale(size.Height);
  FHeightAboveCaption = size.HeightAboveCaption;
  struct TabFont {
    const wchar_t* Name;
    int Points;
  };
  const TabFont font = ShownBtnSize() == 1 ? TabFont{L"MS Sans Serif", 6}
                       : ShownBtnSize() == 2 ? TabFont{L"MS Sans Serif", 8}
                                                : TabFont{L"Small Fonts", 6};
  UniqueFont tabFont(CreateFontW(-MulDiv(font.Points, static_cast<int>(FOwner.Dpi()), 72), 0, 0, 0, FW_NORMAL, FALSE,
                                 FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                 DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, font.Name));
  SendMessageW(FPages, WM_SETFONT, reinterpret_cast<WPARAM>(tabFont.Get()), TRUE);
  // The tabs are 18 high at 96 DPI, higher where their font needs it, so a
  // caption is never cut.
  TEXTMETRICW metrics{};
  {
    const WindowDC measure(FPages);
    const SelectedObject font(measure.Get(), tabFont.Get());
    GetTextMetricsW(measure.Get(), &metrics);
  }
  const int tabHeight = std::max(FOwner.Scale(kTabHeight), static_cast<int>(metrics.tmHeight) + FOwner.Scale(6));
  TabCtrl_SetItemSize(FPages, 0, tabHeight);
  FTabFont = std::move(tabFont);
  // The tabs' scroll arrows are placed anew for the new height; without a
  // full redraw they stay blank until clicked.
  SetWindowPos(FPages, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  RedrawWindow(FPages, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
}

int TProgramRow::SelectedTab() const { return TabCtrl_GetCurSel(FPages); }

// A size the window does not know is shown Large; the setting itself is
// kept as it was.
int TProgramRow::ShownBtnSize() const {
  return ::ShownBtnSize(FSettings->BtnSize);
}

void TProgramRow::SetButtonsFlat(bool flat) {
  for (auto& button : FButtons) button->SetFlat(flat);
}

namespace {

void InsertTab(HWND pages, int at, const std::u16string& caption) {
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = const_cast<wchar_t*>(W(caption));
  TabCtrl_InsertItem(pages, at, &item);
}

}  // namespace

void TProgramRow::BuildTabs(int tab, bool firstScreen) {
  const HWND pages = FPages;
  TTabsLayout layout = ::BuildTabs(*FSettings, tab);
  // Each insertion lays out every tab again: a hundred groups are put in
  // place with the drawing off and painted once, and at the start only
  // those that can show before the window does; the same for the buttons.
  SendMessageW(pages, WM_SETREDRAW, FALSE, 0);
  TabCtrl_DeleteAllItems(pages);
  FLaterTabs.clear();
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromWindow(pages, MONITOR_DEFAULTTONEAREST), &monitor);
  const int screenWidth = monitor.rcWork.right - monitor.rcWork.left;
  for (std::size_t i = 0; i < layout.Captions.size(); ++i) {
    RECT last{};
    // Wine answers FALSE for a tab past the strip's end, but gives its place.
    if (firstScreen && static_cast<int>(i) > layout.SelectedTab &&
        (TabCtrl_GetItemRect(pages, static_cast<int>(i) - 1, &last), last.right > screenWidth)) {
      FLaterTabs.assign(layout.Captions.begin() + static_cast<std::ptrdiff_t>(i), layout.Captions.end());
      break;
    }
    InsertTab(pages, static_cast<int>(i), layout.Captions[i]);
  }
  SendMessageW(pages, WM_SETREDRAW, TRUE, 0);
  RedrawWindow(pages, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  TabInfo = std::move(layout.TabInfo);
  if (layout.SelectedTab >= 0) TabCtrl_SetCurSel(pages, layout.SelectedTab);
  ShowRow(layout.Fill, firstScreen && ButtonWidth > 0 ? screenWidth / ButtonWidth + 1 : INT_MAX);
  if (FEmptyLine) {
    ShowWindow(FEmptyLine, layout.Captions.empty() ? SW_SHOWNA : SW_HIDE);
    SetWindowPos(FEmptyLine, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  FOwner.Realign();  // the tabs took their room: the button area follows
  UpdateSlider();
  if (std::exchange(FRefocus, false)) FocusRowOrTabs();
}

void TProgramRow::ShowLaterParts() {
  if (FLaterGroup >= 0) {
    const TAppCollection& apps = FSettings->Groups[FLaterGroup].Apps;
    for (int i = FLaterButton; i < apps.Count(); ++i) ShowButton(i, FLaterGroup, u"");
    SizeButtonPanel();
    FLaterGroup = -1;
  }
  if (FLaterTabs.empty()) return;
  SendMessageW(FPages, WM_SETREDRAW, FALSE, 0);
  for (const std::u16string& caption : FLaterTabs) InsertTab(FPages, TabCtrl_GetItemCount(FPages), caption);
  FLaterTabs.clear();
  SendMessageW(FPages, WM_SETREDRAW, TRUE, 0);
  // Only the strip's arrows change: the tabs shown stay where they are.
  RedrawWindow(FPages, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void TProgramRow::RebuildTabs(int tab) {
  ClearButtons(false);
  BuildTabs(tab);
}

void TProgramRow::ClearButtons(bool freeAll) {
  // A focused button may go: the row built next takes the focus back.
  FRefocus = FRefocus || FocusedButton() >= 0;
  if (freeAll) {
    FButtons.clear();
    ilstLarge.Clear();
    ilstSmall.Clear();
    for (int g = 0; g < FSettings->Groups.Count(); ++g)
      for (int i = 0; i < FSettings->Groups[g].Apps.Count(); ++i) FSettings->Groups[g].Apps[i].ImageIndex = -1;
  }
  TabCtrl_DeleteAllItems(FPages);
  FLaterTabs.clear();
}

void TProgramRow::ShowRow(const TRowContent& content, int limit) {
  FLaterGroup = -1;
  if (content.Drives) ShowInfoButtons();
  else if (content.Group >= 0) ShowGroupButtons(content.Group, limit);
}

void TProgramRow::ShowGroupButtons(int group, int limit) {
  TAppCollection& apps = FSettings->Groups[group].Apps;
  const int shown = std::min(apps.Count(), limit);
  for (int i = 0; i < shown; ++i) ShowButton(i, group, u"");
  for (int i = shown; i <= HighButton(); ++i) ShowWindow(FButtons[i]->Handle(), SW_HIDE);
  if (shown < apps.Count()) {
    FLaterGroup = group;
    FLaterButton = shown;
  }
  SizeButtonPanel();
}

void TProgramRow::ShowInfoButtons() {
  const std::u16string& drives = FSettings->Drives;
  if (!TabInfo.empty()) TabInfo[0].Count = static_cast<int>(drives.size());
  for (std::size_t i = 0; i < drives.size(); ++i) {
    wchar_t letter = static_cast<wchar_t>(drives[i]);
    CharUpperBuffW(&letter, 1);
    ShowButton(static_cast<int>(i), -1, u"Drive " + std::u16string(1, static_cast<char16_t>(letter)));
  }
  for (int i = static_cast<int>(drives.size()); i <= HighButton(); ++i) ShowWindow(FButtons[i]->Handle(), SW_HIDE);
  SizeButtonPanel();
}

void TProgramRow::SizeButtonPanel() {
  SetWindowPos(FButtonPanel, nullptr, FSliderLeft, 0, std::max(1, HighButton() + 1) * ButtonWidth,
               ButtonHeight, SWP_NOZORDER | SWP_NOACTIVATE);
}

TIconSpeedBtn* TProgramRow::FindButton(int index) const {
  return index >= 0 && index <= HighButton() ? FButtons[index].get() : nullptr;
}

TAppItem* TProgramRow::EntryAt(int group, int index) const {
  if (group < 0 || group >= FSettings->Groups.Count()) return nullptr;
  TAppCollection& apps = FSettings->Groups[group].Apps;
  return index >= 0 && index < apps.Count() ? &apps[index] : nullptr;
}

void TProgramRow::ShowButton(int index, int group, const std::u16string& caption) {
  TIconSpeedBtn* button = FindButton(index);
  if (!button) {
    auto created = std::make_unique<TIconSpeedBtn>();
    TIconButtonProps props;
    props.Flat = FSettings->DoFlatButtons;
    props.Dpi = FOwner.Dpi();  // the window's, which follows the monitor
    created->Create(FButtonPanel, 0, RECT{}, props);
    // Button i at exactly i scaled widths: scaling each position again
    // would make the widths alternate and the slider's steps drift.
    SetWindowPos(created->Handle(), nullptr, index * ButtonWidth, 0, ButtonWidth, ButtonHeight,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    created->OnClick = [this, index] {
      if (OnButtonClick) OnButtonClick(index);
    };
    created->OnException = [this](const std::exception& e) {
      FOwner.App.ShowError(FOwner.Handle(), ExceptionMessage(e));
    };
    FButtons.push_back(std::move(created));
    button = FButtons.back().get();
  }
  ShowWindow(button->Handle(), SW_SHOW);
  const TAppItem* entry = EntryAt(group, index);
  std::u16string hint;
  if (entry) hint = FSettings->ProgramAsHint ? entry->Command : BarsToLineBreaks(entry->Hint);
  for (std::size_t at = hint.find(u'\r'); at != std::u16string::npos; at = hint.find(u'\r', at + 2))
    hint.insert(at + 1, 1, u'\n');  // the tool tip breaks lines at CR LF
  button->SetHint(hint);
  button->SetAccessibleName(entry ? AccessibleTitle(entry->Title, FSettings->VertBarLineBreak) : caption);
  // The face, and the entry's icon with it, is made when the button first
  // shows on the screen: a long row starts as fast as a short one. The
  // entry is looked up then, so a maker outliving its settings draws
  // nothing rather than a freed entry.
  button->SetGlyphMaker(
      [this, button, group, index, caption] { PaintButton(*button, EntryAt(group, index), caption); });
}

HFONT TProgramRow::CaptionFont() {
  if (!FCaptionFont || FCaptionFontDpi != FOwner.Dpi()) {
    FCaptionFont = UniqueFont(CreateCaptionFont(FOwner.Dpi()));
    FCaptionFontDpi = FOwner.Dpi();
  }
  return FCaptionFont.Get();
}

int TProgramRow::AddEntryIcon(TAppItem& entry) {
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
  SetSystemIconSize(BtnImage, size, FOwner.Dpi());
  FillBitmap(BtnImage, IconGlyph.TransparentColor(), BtnImage.Width(), BtnImage.Height());
  try {
    DrawToBitmap(IconGlyph, BtnImage, FOwner.Dpi());
  } catch (const Exception&) {
    // A broken icon location shows as an empty face, not as an error box
    // on every tab switch.
  }
  ++FIconExtractions;
  TImageList& list = size == isSmall ? ilstSmall : ilstLarge;
  return list.AddBitmap(BtnImage);
}

void TProgramRow::PaintButton(TIconSpeedBtn& button, TAppItem* entry, const std::u16string& caption) {
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
    DrawDrivePicture(BtnImage, SystemIconSize(ShownBtnSize() == 0 ? isSmall : isLarge, FOwner.Dpi()));
  }
  TBitmap face;
  face.SetSize(ButtonWidth - FOwner.Scale(4), ButtonHeight - FOwner.Scale(4));
  std::u16string upper, lower;
  if (ShownBtnSize() == 2) {
    if (entry) {
      TBitmapCanvas measure(face);
      const HGDIOBJ old = SelectObject(measure.DC(), CaptionFont());
      const TCaptionLines lines =
          SplitButtonCaption(entry->Title, [&](std::u16string_view t) { return TextWidth(measure.DC(), t); },
                             face.Width(), FSettings->VertBarLineBreak, !FSettings->TextOnTop);
      SelectObject(measure.DC(), old);
      upper = lines.Upper;
      lower = lines.Lower;
    } else {
      upper = caption;
    }
  }
  ComposeButtonGlyph(face, upper, lower, BtnImage, fill, ShownBtnSize(), FOwner.Dpi(), CaptionFont());
  button.SetGlyph(face);
}

TSliderLook TProgramRow::UpdateSlider() {
  TTabRow* row = TabRowOf(TabInfo, SelectedTab(), FSettings->ShowInfo);
  const HWND slider = FSlider;
  RECT pages{};
  GetClientRect(FPages, &pages);
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

void TProgramRow::ProgramSliderChange() {
  TTabRow* row = TabRowOf(TabInfo, SelectedTab(), FSettings->ShowInfo);
  if (!row) return;
  const int position = static_cast<int>(SendMessageW(FSlider, TBM_GETPOS, 0, 0));
  FSliderLeft = ::ProgramSliderChange(*row, position, ButtonWidth);
  SizeButtonPanel();
}

int TProgramRow::ShownCount() {
  const TTabRow* row = TabRowOf(TabInfo, SelectedTab(), FSettings->ShowInfo);
  return row ? std::min(row->Count, HighButton() + 1) : 0;
}

int TProgramRow::FocusedButton() const {
  const HWND focus = GetFocus();
  for (int i = 0; i <= HighButton(); ++i)
    if (FButtons[i]->Handle() == focus) return i;
  return -1;
}

bool TProgramRow::FocusButton(int index) {
  if (index < 0 || index >= ShownCount()) return false;
  TTabRow* row = TabRowOf(TabInfo, SelectedTab(), FSettings->ShowInfo);
  RECT pages{};
  GetClientRect(FPages, &pages);
  const TSliderLook look = ::UpdateSlider(*row, ButtonWidth, pages.right);
  const int position = static_cast<int>(SendMessageW(FSlider, TBM_GETPOS, 0, 0));
  const int wanted = PositionShowing(index, position, ButtonWidth > 0 ? pages.right / ButtonWidth : 1, look);
  if (wanted != position) {
    SendMessageW(FSlider, TBM_SETPOS, TRUE, wanted);
    ProgramSliderChange();
  }
  SetFocus(FButtons[index]->Handle());
  FLastFocused = index;
  FRowAwaited = false;
  return true;
}

bool TProgramRow::FocusRow() {
  return FocusButton(std::min(FLastFocused, ShownCount() - 1)) || FocusButton(0);
}

void TProgramRow::FocusRowOrTabs() {
  if (FocusRow()) return;
  SetFocus(FPages);
  FRowAwaited = true;
}

bool TProgramRow::KeyDown(UINT key) {
  const int focused = FocusedButton();
  if (focused < 0) return false;
  switch (key) {
    case VK_LEFT: case VK_UP: return FocusButton(RowKeyTarget(TRowKey::rkPrevious, focused, ShownCount())), true;
    case VK_RIGHT: case VK_DOWN: return FocusButton(RowKeyTarget(TRowKey::rkNext, focused, ShownCount())), true;
    case VK_HOME: return FocusButton(RowKeyTarget(TRowKey::rkFirst, focused, ShownCount())), true;
    case VK_END: return FocusButton(RowKeyTarget(TRowKey::rkLast, focused, ShownCount())), true;
    case VK_RETURN:
    case VK_SPACE:
      if (OnButtonClick) OnButtonClick(focused);
      return true;
  }
  return false;
}

void TProgramRow::SwitchTab(bool forward) {
  const int tab = NextTab(SelectedTab(), TabCtrl_GetItemCount(FPages), forward);
  if (tab < 0 || tab == SelectedTab()) return;
  const bool onRow = FocusedButton() >= 0 || (FRowAwaited && GetFocus() == FPages);
  TabCtrl_SetCurSel(FPages, tab);
  ProgramPagesChange();
  // The focus stays with the row: on the new row's first button, or, while
  // a row has none, on the tabs until one has.
  if (onRow && !FocusButton(0)) FocusRowOrTabs();
}

void TProgramRow::ProgramPagesChange() {
  ShowRow(RowContentOf(*FSettings, SelectedTab()));
  const TSliderLook look = UpdateSlider();
  if (const TTabRow* row = TabRowOf(TabInfo, SelectedTab(), FSettings->ShowInfo))
    SendMessageW(FSlider, TBM_SETPOS, TRUE, RememberedPosition(*row, look));
  ProgramSliderChange();
}

