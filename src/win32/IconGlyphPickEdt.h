// The icon picker: a modal dialog in which the user picks one icon from a
// file, the shell's system icons or the application's cursors, and sees it
// on a preview button. The caller creates it, sets the Allow* switches, the
// preview's glyph, LoadDir and LoadOnShow, shows it, reads
// isbIconSpeedBtn.IconGlyph on IDOK and frees it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "win32/Forms.h"
#include "win32/IconButtons.h"

class TIconGlyphPickEditDlg : public Form {
 public:
  explicit TIconGlyphPickEditDlg(TApplication& app);
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
  // Where the picture of the item at `position` is kept: a file's icon at
  // its file index, anything else at the item's position.
  int ImageOf(std::size_t position) const;
  // The picture of the item at `position` at the current size, extracted
  // (or the cursor looked up) the first time it is drawn; null when there
  // is none.
  HICON PictureOf(std::size_t position);
  // Lets go of the extracted icons whose items are out of sight.
  void ReleaseUnseen();
  // Takes out the file items whose icon turned out damaged when drawn.
  void DropFailedItems();
  // Room for `count` pictures of each size, none made yet.
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
  // File icons and cursors are drawn from these, made when first drawn:
  // [0] small and [1] large, by ImageOf. Empty when the image lists were
  // filled at once (an animated cursor's frames).
  struct TPicture {
    UniqueIcon Owned;      // an extracted icon
    HICON Icon = nullptr;  // what is drawn: Owned, or the application's cursor
    bool Tried = false;
  };
  std::vector<TPicture> FPictures[2];
  int FHeld = 0;  // how many of them hold an extracted icon
  int FHeldLimit = 0;  // past which those out of sight are let go of
  class TIconLibrary;
  std::unique_ptr<TIconLibrary> FLibrary;  // the listed module's icons
  // FListFile as the icon functions take it.
  std::wstring FListFileName;
  UniqueFont FBoldFont;
  bool FCreated = false;
};
