// The main window's row of program buttons: one tab per group (after
// "Sys Info" when asked), the buttons of the selected tab, created when a
// row needs more of them and otherwise reused, the slider that scrolls a
// long row, and the image lists into which each entry's icon is extracted
// once.
#pragma once

#include <climits>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/DataClasses.h"
#include "core/MainWin.h"
#include "win32/Forms.h"
#include "win32/IconButtons.h"
#include "win32/IconProcs.h"

class TProgramRow {
 public:
  // The settings are the owner's and may be replaced while the row lives.
  TProgramRow(Form& owner, const std::unique_ptr<TSkiffData>& settings);
  TProgramRow(const TProgramRow&) = delete;
  TProgramRow& operator=(const TProgramRow&) = delete;

  // The owner's tab control, the panel that holds the buttons and the slider.
  void Attach(HWND pages, HWND buttonPanel, HWND slider);
  // A line shown in the button area instead of a row while there is no tab.
  void SetEmptyLine(HWND line) { FEmptyLine = line; }

  // A press of button `index` of the shown row.
  std::function<void(int index)> OnButtonClick;

  // firstScreen: only the tabs and buttons a row as wide as the monitor
  // shows (and the selected tab) are made now; ShowLaterParts makes the rest.
  void BuildTabs(int tab, bool firstScreen = false);
  void ShowLaterParts();
  void RebuildTabs(int tab);
  void ClearButtons(bool freeAll);
  // Button size and tab font for the settings' BtnSize at the owner's DPI.
  void ApplyButtonSize();
  void SetButtonsFlat(bool flat);
  // The first `limit` buttons of the group.
  void ShowGroupButtons(int group, int limit = INT_MAX);
  void ShowInfoButtons();
  TSliderLook UpdateSlider();
  void ProgramPagesChange();
  void ProgramSliderChange();
  int SelectedTab() const;

  // The keyboard: the focus on a button of the shown row (the one that had
  // it before, or the first), moved by the arrows, Home and End, with the
  // slider following so that it stays in view; Enter and Space press it.
  // False when the row has no button to focus or the key is none of these.
  bool FocusRow();
  // The row, or while it has no button, the tab control, which then hands
  // the focus back to the next row with a button that Ctrl+Tab shows.
  void FocusRowOrTabs();
  bool FocusButton(int index);
  bool KeyDown(UINT key);
  // The index of the row's button that has the focus; -1 for none.
  int FocusedButton() const;
  // Switches to the next or the previous tab, round the end.
  void SwitchTab(bool forward);
  int HighButton() const { return static_cast<int>(FButtons.size()) - 1; }
  TIconSpeedBtn* FindButton(int index) const;
  // How often an icon was taken from its file, for the tests.
  int IconExtractions() const { return FIconExtractions; }
  // The window's height above its caption for the current button size.
  int HeightAboveCaption() const { return FHeightAboveCaption; }

  int ButtonWidth = 0;
  int ButtonHeight = 0;
  TTabInfo TabInfo;
  TIconGlyph IconGlyph;
  TBitmap BtnImage;  // every icon is rendered here first
  TImageList ilstSmall;
  TImageList ilstLarge;

 private:
  int ShownBtnSize() const;
  // Sizes the icon lists for the owner's DPI.
  void SizeIconLists();
  void ShowRow(const TRowContent& content, int limit = INT_MAX);
  // Shows button `index` for entry `index` of group `group` (or, with no
  // group, a drive caption), creating it if the row has not had that many
  // buttons yet.
  void ShowButton(int index, int group, const std::u16string& caption);
  // Entry `index` of group `group`; null for no such entry.
  TAppItem* EntryAt(int group, int index) const;
  int AddEntryIcon(TAppItem& entry);
  void PaintButton(TIconSpeedBtn& button, TAppItem* entry, const std::u16string& caption);
  // The font of the large buttons' captions at the owner's DPI.
  HFONT CaptionFont();
  void SizeButtonPanel();

  Form& FOwner;
  const std::unique_ptr<TSkiffData>& FSettings;
  HWND FPages = nullptr;
  HWND FButtonPanel = nullptr;
  HWND FSlider = nullptr;
  HWND FEmptyLine = nullptr;
  std::vector<std::unique_ptr<TIconSpeedBtn>> FButtons;  // by index in the row
  int FSliderLeft = 0;  // the button panel's Left
  std::vector<std::u16string> FLaterTabs;  // captions still to insert, in order
  int FLaterGroup = -1;  // the shown group, while buttons of it are still to show
  int FLaterButton = 0;  // the first of them
  int FLastFocused = 0;  // the button the keyboard was last on
  bool FRowAwaited = false;  // the focus waits on the tabs for a row with a button
  bool FRefocus = false;     // a focused button went with the row: the next row takes the focus
  int ShownCount();
  int FIconExtractions = 0;
  UniqueFont FTabFont;
  UniqueFont FCaptionFont;
  UINT FCaptionFontDpi = 0;
  int FHeightAboveCaption = 82;
};
