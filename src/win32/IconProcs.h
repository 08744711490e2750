// Drawing icons: the bitmaps and image lists the icon code works on, the
// free routines shared with the icon picker, and TIconGlyph's drawing.
// Every icon handle obtained here is released before the call returns.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstdint>

#include "core/IconProcs.h"
#include "win32/WinSupport.h"

// A 32-bit top-down DIB section, so that pixels can be read and written
// without a device context. An empty bitmap (0 by 0) has no handle.
class TBitmap {
 public:
  TBitmap() = default;
  TBitmap(TBitmap&&) noexcept = default;
  TBitmap& operator=(TBitmap&&) noexcept = default;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  HBITMAP Handle() const { return FHandle.Get(); }

  // A changed size gives new, black pixels; the same size keeps them.
  void SetSize(int width, int height);
  // Takes the source's size and pixels.
  void Assign(const TBitmap& source);
  // 0x00BBGGRR; the bitmap must contain x, y. Each call flushes GDI's
  // pending drawing first.
  COLORREF Pixel(int x, int y) const;
  void SetPixel(int x, int y, COLORREF color);
  // For loops over many pixels: the caller flushes once (GdiFlush) before
  // the loop; a flush per pixel is a call into the system each time.
  COLORREF RawPixel(int x, int y) const;
  void SetRawPixel(int x, int y, COLORREF color);

 private:
  UniqueBitmap FHandle;
  std::uint32_t* FBits = nullptr;
  int FWidth = 0;
  int FHeight = 0;
};

// A memory DC with a bitmap selected, for drawing on it with GDI.
class TBitmapCanvas {
 public:
  explicit TBitmapCanvas(const TBitmap& bitmap);
  HDC DC() const { return FDC.Get(); }

 private:
  UniqueMemoryDC FDC;
  SelectedObject FSelected;
};

// An image list: its own handle (destroyed with it) or the shell's system
// image list (shared: never destroyed and never changed).
class TImageList {
 public:
  explicit TImageList(int width = 16, int height = 16) : FWidth(width), FHeight(height) {}
  ~TImageList() { Release(); }
  TImageList(const TImageList&) = delete;
  TImageList& operator=(const TImageList&) = delete;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  int Count() const { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }
  HIMAGELIST Handle() const { return FHandle; }
  bool ShareImages() const { return FShared; }

  // A changed size empties the list. A shared list is let go of, not resized.
  void SetSize(int width, int height);
  // Uses the given list as it is, without ever destroying it.
  void ShareHandle(HIMAGELIST list);
  // Adds a copy of the icon (image and mask); the icon stays the caller's.
  // Returns the new entry's index, -1 when it could not be added.
  int AddIcon(HICON icon);
  // Appends a picture as it is, without a mask; returns its index, -1 when
  // the list is the shell's or the picture has not the list's size.
  int AddBitmap(const TBitmap& bitmap);
  // Empties a list of our own.
  void Clear();
  // An icon made from an entry, owned by the caller; empty when there is none.
  UniqueIcon GetIcon(int index) const;

 private:
  void Release();
  // Makes the list of our own when there is none yet.
  void Make();

  HIMAGELIST FHandle = nullptr;
  bool FShared = false;
  int FWidth;
  int FHeight;
};

// A name the icon functions (ExtractIconEx, SHGetFileInfo,
// LoadCursorFromFile) can open. They take at most MAX_PATH characters and
// refuse the \\?\ form, so a longer name is handed over as its short form
// when the file system has one; otherwise as it is, and the call finds
// nothing.
std::wstring SystemFileName(const std::u16string& fileName);

// Icon number `index` of a file named as SystemFileName gives it (a negative
// index is a resource identifier) at the size asked: the file's image nearest
// that size, not one scaled from another size. Empty when there is none.
UniqueIcon ExtractIconOfSize(const std::wstring& systemName, int index, SIZE size);

// A colour value as GDI takes it: system colours resolved.
COLORREF ColorToRGB(TColor color);

// The system's small or large icon size at a DPI; dpi 0 is the system DPI.
SIZE SystemIconSize(TIconSize size, UINT dpi = 0);
void SetSystemIconSize(TBitmap& bitmap, TIconSize size, UINT dpi = 0);
void SetSystemIconSize(TImageList& list, TIconSize size, UINT dpi = 0);
// Makes the list stand for the shell's system image list of the given size
// at a DPI (the nearest the shell has, not smaller); leaves it alone when
// the shell has none.
void AssignSystemImageList(TImageList& list, TIconSize size, UINT dpi = 0);

// Fills the shell's icon cache on a thread of its own. Its first use costs
// about as much as building the whole main window, and the first program
// buttons would wait for it; started early, it is ready when they paint.
// The object waits for the thread when it goes, so that the process does
// not end in the middle of the shell's work; but only kWaitLimit ms, so
// that a hung shell call cannot hang the program's exit (the thread touches
// nothing of ours).
class TShellIconWarmUp {
 public:
  static constexpr DWORD kWaitLimit = 2000;
  // work: what the thread runs; null: the filling of the icon cache.
  explicit TShellIconWarmUp(LPTHREAD_START_ROUTINE work = nullptr);
  TShellIconWarmUp(const TShellIconWarmUp&) = delete;
  TShellIconWarmUp& operator=(const TShellIconWarmUp&) = delete;
  ~TShellIconWarmUp();

 private:
  UniqueHandle FThread;  // none when no thread could be started
};

void FillBitmap(TBitmap& bitmap, TColor color, int width, int height);
// The program's pictures are drawn at 16, 20, 24 and 32 pixels, for 100,
// 125, 150 and 200 %: the largest of them that is not above `wanted`.
int ArtworkSize(int wanted);
// A colour that the icon does not use (drawn on white at the system icon
// size); the icon stays the caller's.
TColor FindAutoColor(HICON icon, TIconSize size, UINT dpi = 0);
// FindUnusedColor over a bitmap's pixels as its DC can show them; button
// face without a bitmap.
TColor FindUnusedColor(const TBitmap* bitmap);
// The frames of an animated cursor, counted by drawing step after step
// until one fails. A handle that draws at every step up to the limit is a
// still picture: one frame.
int CountAnimationFrames(HICON icon);
constexpr int kMaxAnimationFrames = 1024;

// The application's cursor for an identifier of its cursor table: the
// standard identifiers 0 and -2 to -22, and resources 1 to 32767 of the
// executable. Unknown identifiers give the default cursor. Shared cursors:
// never destroyed.
HCURSOR ApplicationCursor(int id);

// The last step of every drawing: fills the bitmap (already sized) with the
// glyph's transparent colour, draws the icon over it unless step is negative,
// and applies the glyph's colour processing.
void PaintIcon(TIconGlyph& glyph, HICON icon, int step, TBitmap& bitmap, UINT dpi = 0);

// Renders the icon the glyph describes into target. Leaves target alone when
// the description names no source (an empty file name, a missing image list).
// The small and large sizes are those of the DPI (0: the system DPI), and a
// file's icon is the file's image nearest that size, not a scaled one.
// Fails with EConvertError for a bad icon location and ERegistryException for
// a standard icon's registry value of the wrong type.
void DrawToBitmap(TIconGlyph& glyph, TBitmap& target, UINT dpi = 0);
