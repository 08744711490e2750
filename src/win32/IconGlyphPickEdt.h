// The icon picker: a modal dialog in which the user picks one icon from a
// file, the shell's system icons or the application's cursors, and sees it
// on a preview button. The caller creates it, sets the Allow* switches, the
// preview's glyph, LoadDir and LoadOnShow, shows it, reads
// isbIconSpeedBtn.IconGlyph on IDOK and frees it.
#pragma once

#include <string>
#include <vector>

#include "win32/Forms.h"
#include "win32/IconButtons.h"

class TIconGlyphPickEditDlg : public Form {
 public:
  explicit TIconGlyphPickEditDlg(TApplication& app) : Form(app) {}
  ~TIconGlyphPickEditDlg() override;

  void Create(HWND owner);
  // IDOK or IDCANCEL.
  int ShowModal(HWND owner);

  bool AllowSystem = false;
  bool AllowFile = false;
  bool AllowCursor = false;
  bool LoadOnShow = false;
  std::u16string LoadDir;
  // The preview; its IconGlyph is the dialog's input and its result.
  TIconSpeedBtn isbIconSpeedBtn;

  TIconSpeedBtn isbFile, sbtnCursor, isbSystem, isbSmall, isbLarge;
  const std::u16string& ListFile() const { return FListFile; }

  void SetListIconSize(bool large);
  void FillIconList();
  void LoadIconsFromFile(const std::u16string& fileName);
  void bbLoadClick();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  enum TPickMode { pmFile, pmCursor, pmSystem };
  TPickMode Mode() const;
  bool Large() const { return isbLarge.Down(); }
  void FormCreate();
  void FormShow();
  void FormResize();
  void FormClose();
  void isbFileClick();
  void sbtnCursorClick();
  void isbSystemClick();
  void IconListClick();
  void IconListDrawItem(const DRAWITEMSTRUCT& item);
  // Where the picture of the item at `position` is in the own lists: a
  // file's icon at its file index, anything else at the item's position.
  int ImageOf(std::size_t position) const;
  // The picture of the item at `position` in the list of the current size,
  // made (extracted, or a cursor copied) the first time it is drawn; false
  // when it cannot be made.
  bool MakePicture(std::size_t position);
  // Takes out the file items whose icon turned out damaged when drawn.
  void DropFailedItems();
  // Both own lists with room for `count` pictures, none made yet.
  void WaitForPictures(int count);
  // The shell's system image lists for the window's DPI.
  void AttachSystemLists();
  // The tool buttons' places, pictures and font for the current DPI.
  void PlaceButtons();
  // The own lists at the icon metrics of the current DPI, emptied.
  void SizeIconLists();
  void LoadCursors();
  int IconMetric(int index) const;

  TImageList SmallIconList, LargeIconList, SysSmallIconList, SysLargeIconList;
  std::u16string FListFile;
  // The chosen file's name, for the cursor mode's result.
  std::u16string FLoadedFile;
  // What each item stands for: its file index, system index or cursor id.
  std::vector<int> FItemNumbers;
  // What the own lists hold of each picture, [0] small and [1] large, by
  // their index; empty when they were filled at once (an animated cursor's
  // frames).
  enum TPicture : char { ipWaiting, ipMade, ipFailed };
  std::vector<TPicture> FPictures[2];
  // FListFile as the icon functions take it.
  std::wstring FListFileName;
  UniqueFont FBoldFont;
  bool FCreated = false;
};
