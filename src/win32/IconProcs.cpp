#include "win32/IconProcs.h"

#include <objbase.h>
#include <shellapi.h>
#include <commoncontrols.h>
#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

namespace {

constexpr std::u16string_view kInvalidDataType = u"Invalid data type for '%s'";
constexpr std::u16string_view kOutOfResources = u"Out of system resources";

COLORREF FromDib(std::uint32_t bgra) {
  return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

std::uint32_t ToDib(COLORREF color) {
  return (std::uint32_t(GetRValue(color)) << 16) | (std::uint32_t(GetGValue(color)) << 8) | GetBValue(color);
}

// Paints icon number `index` of a file with the given step.
void PaintFromFile(TIconGlyph& glyph, const std::u16string& fileName, int index, int step, TBitmap& bitmap,
                   UINT dpi) {
  SetSystemIconSize(bitmap, glyph.IconSize(), dpi);
  const UniqueIcon icon = ExtractIconOfSize(SystemFileName(fileName), index, SystemIconSize(glyph.IconSize(), dpi));
  PaintIcon(glyph, icon.Get(), step, bitmap, dpi);
}

// What every drawing shares: room for the marker line, the fill with the
// transparent colour, the picture (draw(dc, width, height, brush)), then the
// colour processing. The automatic colour is found from `icon`.
template <class Draw>
void PaintOver(TIconGlyph& glyph, HICON icon, TBitmap& bitmap, UINT dpi, Draw draw) {
  const int iconHeight = bitmap.Height();
  if (glyph.ColorProcessing() == cpAddLine) bitmap.SetSize(bitmap.Width(), iconHeight + 1);
  if (glyph.AutoColor()) {
    const TColor color = FindAutoColor(icon, glyph.IconSize(), dpi);
    glyph.BeginUpdate();
    glyph.SetTransparentColor(color);
    glyph.EndUpdate();
  }
  const int width = bitmap.Width(), height = bitmap.Height();
  if (!bitmap.Handle()) return;
  const COLORREF transparent = ColorToRGB(glyph.TransparentColor());
  TBitmapCanvas canvas(bitmap);
  const UniqueBrush brush(CreateSolidBrush(transparent));
  const RECT all{0, 0, width, height};
  FillRect(canvas.DC(), &all, brush.Get());
  draw(canvas.DC(), width, iconHeight, brush.Get());
  if (glyph.ColorProcessing() == cpAddLine) {
    const RECT lastRow{0, height - 1, width, height};
    FillRect(canvas.DC(), &lastRow, brush.Get());
  } else if (glyph.ColorProcessing() == cpReplacePixel) {
    SetPixelV(canvas.DC(), 0, height - 1, transparent);
  }
  GdiFlush();
}

// An image of a list drawn at `size`: a list of the shell that is larger
// than the DPI's icons is scaled down.
void PaintFromImageList(TIconGlyph& glyph, const TImageList& list, int index, TBitmap& bitmap, SIZE size) {
  bitmap.SetSize(size.cx, size.cy);
  // At the list's own size the image is drawn from the list: an icon made of
  // it costs a handle and a dozen calls into the system, for every button.
  if (!glyph.AutoColor() && list.Width() == size.cx && list.Height() == size.cy) {
    PaintOver(glyph, nullptr, bitmap, 0, [&](HDC dc, int, int, HBRUSH) {
      if (index >= 0 && index < list.Count()) ImageList_Draw(list.Handle(), index, dc, 0, 0, ILD_TRANSPARENT);
    });
    return;
  }
  UniqueIcon icon = list.GetIcon(index);
  PaintIcon(glyph, icon.Get(), index, bitmap);
}

// The shell's system image list index for a file name; 0 when the shell
// does not know it.
int ShellIconIndex(const std::u16string& fileName, UINT flags) {
  SHFILEINFOW info{};
  if (!SHGetFileInfoW(SystemFileName(fileName).c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | flags)) return 0;
  return info.iIcon;
}

std::u16string SystemDirectory() {
  std::wstring dir(MAX_PATH, L'\0');
  for (;;) {
    const UINT n = GetSystemDirectoryW(dir.data(), static_cast<UINT>(dir.size()));
    if (n < dir.size()) {
      dir.resize(n);
      return U16(dir);
    }
    dir.resize(n);  // n counts the terminator when the buffer was too small
  }
}

// The registry value that overrides a standard icon; empty when the key or
// the value is missing. Opened for reading only: the program never writes
// the registry, and a key that a standard user may not write still applies.
std::u16string ReadStandardIconValue(const TStandardIconInfo& info) {
  const HKEY root = info.Source == ssRecycleBin ? HKEY_CLASSES_ROOT : HKEY_LOCAL_MACHINE;
  const std::u16string path(info.Source == ssRecycleBin ? kRecycleBinIconKey : kShellIconsKey);
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, W(path), 0, KEY_READ, &opened) != ERROR_SUCCESS) return {};
  const UniqueKey key(opened);
  const std::u16string name(info.ValueName);
  DWORD type = 0, size = 0;
  if (RegQueryValueExW(key.Get(), W(name), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException(Format(kInvalidDataType, {name}));
  std::wstring text;
  LSTATUS status;
  do {  // the value may grow between the calls
    text.assign(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    status = RegQueryValueExW(key.Get(), W(name), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
  } while (status == ERROR_MORE_DATA);
  if (status != ERROR_SUCCESS) return {};
  if (type != REG_SZ && type != REG_EXPAND_SZ) throw ERegistryException(Format(kInvalidDataType, {name}));
  text.resize(std::min<std::size_t>(size / sizeof(wchar_t), text.size()));
  text.resize(std::wcslen(text.c_str()));  // not every writer stores the terminator
  if (type == REG_EXPAND_SZ && !text.empty()) {
    // The shell writes its own locations with %SystemRoot%; the extraction
    // takes plain paths.
    const DWORD n = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
    std::wstring expanded(n, L'\0');
    if (n && ExpandEnvironmentStringsW(text.c_str(), expanded.data(), n) == n) {
      expanded.resize(n - 1);
      text = expanded;
    }
  }
  return U16(text);
}

struct TCursorId {
  int Id;
  LPCWSTR SystemCursor;
};

// The standard identifiers of the application's cursor table.
const TCursorId kStandardCursors[] = {
    {0, IDC_ARROW},       {-2, IDC_ARROW},     {-3, IDC_CROSS},       {-4, IDC_IBEAM},
    {-6, IDC_SIZENESW},   {-7, IDC_SIZENS},    {-8, IDC_SIZENWSE},    {-9, IDC_SIZEWE},
    {-10, IDC_UPARROW},   {-11, IDC_WAIT},     {-12, IDC_ARROW},      {-13, IDC_NO},
    {-14, IDC_SIZEWE},    {-15, IDC_SIZENS},   {-16, IDC_ARROW},      {-17, IDC_WAIT},
    {-18, IDC_NO},        {-19, IDC_APPSTARTING}, {-20, IDC_HELP},    {-21, IDC_HAND},
    {-22, IDC_SIZEALL},
};

}  // namespace

std::wstring SystemFileName(const std::u16string& fileName) {
  std::wstring name = WStr(fileName);
  if (name.size() < MAX_PATH) return name;
  const std::wstring extended = ExtendedPath(name);
  const DWORD n = GetShortPathNameW(extended.c_str(), nullptr, 0);
  std::wstring shortName(n, L'\0');
  const DWORD m = n ? GetShortPathNameW(extended.c_str(), shortName.data(), n) : 0;
  if (m == 0 || m >= n) return name;
  shortName.resize(m);
  if (shortName.starts_with(L"\\\\?\\UNC\\")) shortName.replace(0, 8, L"\\\\");
  else if (shortName.starts_with(L"\\\\?\\")) shortName.erase(0, 4);
  return shortName.size() < MAX_PATH ? shortName : name;
}

// --- TBitmap -----------------------------------------------------------------

void TBitmap::SetSize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == FWidth && height == FHeight) return;
  FHandle.Reset();
  FBits = nullptr;
  FWidth = FHeight = 0;
  if (width == 0 || height == 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  UniqueBitmap handle(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!handle) throw Exception(std::u16string(kOutOfResources));
  FHandle = std::move(handle);
  FBits = static_cast<std::uint32_t*>(bits);
  FWidth = width;
  FHeight = height;
}

void TBitmap::Assign(const TBitmap& source) {
  if (&source == this) return;
  SetSize(source.FWidth, source.FHeight);
  if (!FBits) return;
  GdiFlush();
  std::memcpy(FBits, source.FBits, std::size_t(FWidth) * FHeight * sizeof *FBits);
}

COLORREF TBitmap::Pixel(int x, int y) const {
  GdiFlush();
  return RawPixel(x, y);
}

void TBitmap::SetPixel(int x, int y, COLORREF color) {
  GdiFlush();
  SetRawPixel(x, y, color);
}

COLORREF TBitmap::RawPixel(int x, int y) const { return FromDib(FBits[std::size_t(y) * FWidth + x]); }

void TBitmap::SetRawPixel(int x, int y, COLORREF color) { FBits[std::size_t(y) * FWidth + x] = ToDib(color); }

TBitmapCanvas::TBitmapCanvas(const TBitmap& bitmap)
    : FDC(CreateCompatibleDC(nullptr)), FSelected(FDC.Get(), bitmap.Handle()) {
  if (!FDC) throw Exception(std::u16string(kOutOfResources));
}

// --- TImageList -------------------------------------------------------------

void TImageList::Release() {
  if (FHandle && !FShared) ImageList_Destroy(FHandle);
  FHandle = nullptr;
  FShared = false;
}

void TImageList::SetSize(int width, int height) {
  if (width == FWidth && height == FHeight) return;
  Release();
  FWidth = width;
  FHeight = height;
}

void TImageList::ShareHandle(HIMAGELIST list) {
  if (list == FHandle) return;
  Release();
  FHandle = list;
  FShared = true;
  int width = FWidth, height = FHeight;
  if (ImageList_GetIconSize(list, &width, &height)) {
    FWidth = width;
    FHeight = height;
  }
}

void TImageList::Make() {
  if (FHandle) return;
  FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | ILC_MASK, 1, 4);
  if (!FHandle) throw Exception(std::u16string(kOutOfResources));
}

int TImageList::AddIcon(HICON icon) {
  if (FShared) return -1;  // the shell's list is not ours to change
  Make();
  return icon ? ImageList_ReplaceIcon(FHandle, -1, icon) : -1;
}

int TImageList::AddBitmap(const TBitmap& bitmap) {
  if (FShared || bitmap.Width() < FWidth || bitmap.Height() < FHeight) return -1;
  Make();
  // The list takes the top-left part: a picture with its marker line below
  // the icon loses that line.
  TBitmap part;
  part.SetSize(FWidth, FHeight);
  {
    TBitmapCanvas to(part), from(bitmap);
    BitBlt(to.DC(), 0, 0, FWidth, FHeight, from.DC(), 0, 0, SRCCOPY);
  }
  return ImageList_Add(FHandle, part.Handle(), nullptr);
}

void TImageList::Clear() {
  if (FHandle && !FShared) ImageList_RemoveAll(FHandle);
}

UniqueIcon TImageList::GetIcon(int index) const {
  if (!FHandle || index < 0 || index >= Count()) return UniqueIcon();
  return UniqueIcon(ImageList_GetIcon(FHandle, index, ILD_NORMAL));
}

// --- Free routines ----------------------------------------------------------

UniqueIcon ExtractIconOfSize(const std::wstring& systemName, int index, SIZE size) {
  HICON icon = nullptr;
  // The handle is only taken when the call says it extracted one: a missing
  // file may leave junk in it.
  const HRESULT result = SHDefExtractIconW(systemName.c_str(), index, 0, &icon, nullptr, static_cast<UINT>(size.cx));
  return result == S_OK ? UniqueIcon(icon) : UniqueIcon();
}

COLORREF ColorToRGB(TColor color) {
  if (color & 0x80000000u) return GetSysColor(static_cast<int>(color & 0xFF));
  return color & 0x00FFFFFFu;
}

SIZE SystemIconSize(TIconSize size, UINT dpi) {
  if (size == isLarge) return {SystemMetricForDpi(SM_CXICON, dpi), SystemMetricForDpi(SM_CYICON, dpi)};
  return {SystemMetricForDpi(SM_CXSMICON, dpi), SystemMetricForDpi(SM_CYSMICON, dpi)};
}

void SetSystemIconSize(TBitmap& bitmap, TIconSize size, UINT dpi) {
  const SIZE s = SystemIconSize(size, dpi);
  bitmap.SetSize(s.cx, s.cy);
}

void SetSystemIconSize(TImageList& list, TIconSize size, UINT dpi) {
  const SIZE s = SystemIconSize(size, dpi);
  list.SetSize(s.cx, s.cy);
}

void AssignSystemImageList(TImageList& list, TIconSize size, UINT dpi) {
  // The shell's lists live as long as the process: asking for one costs a
  // lookup of the current folder's icon every time.
  static HIMAGELIST lists[2] = {};
  HIMAGELIST& handle = lists[size == isSmall];
  if (!handle) {
    SHFILEINFOW info{};
    handle = reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoW(L"", 0, &info, sizeof info, SHGFI_SYSICONINDEX | (size == isSmall ? SHGFI_SMALLICON : 0)));
  }
  HIMAGELIST chosen = handle;
  const int wanted = SystemIconSize(size, dpi).cx;
  int width = 0, height = 0;
  if (chosen && ImageList_GetIconSize(chosen, &width, &height) && width != wanted) {
    // Another DPI than the system's: the shell's list of the nearest size
    // that is not smaller, so that an icon is only ever scaled down.
    static HIMAGELIST sized[4] = {};
    const int kinds[4] = {SHIL_SMALL, SHIL_LARGE, SHIL_EXTRALARGE, SHIL_JUMBO};
    for (int i = 0; i < 4; ++i) {
      if (!sized[i]) {
        IImageList* shell = nullptr;
        if (SUCCEEDED(SHGetImageList(kinds[i], __uuidof(IImageList), reinterpret_cast<void**>(&shell))))
          sized[i] = reinterpret_cast<HIMAGELIST>(shell);
      }
      if (sized[i] && ImageList_GetIconSize(sized[i], &width, &height) && width >= wanted) {
        chosen = sized[i];
        break;
      }
    }
  }
  if (chosen) list.ShareHandle(chosen);
}

namespace {

DWORD WINAPI WarmShellIcons(void*) {
  // SHGetFileInfo wants COM on its thread.
  const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  SHFILEINFOW info{};
  for (const UINT size : {0u, static_cast<UINT>(SHGFI_SMALLICON)})
    SHGetFileInfoW(L"", 0, &info, sizeof info, SHGFI_SYSICONINDEX | size);
  if (com) CoUninitialize();
  return 0;
}

}  // namespace

TShellIconWarmUp::TShellIconWarmUp(LPTHREAD_START_ROUTINE work)
    : FThread(CreateThread(nullptr, 0, work ? work : WarmShellIcons, nullptr, 0, nullptr)) {}

TShellIconWarmUp::~TShellIconWarmUp() {
  if (FThread) WaitForSingleObject(FThread.Get(), kWaitLimit);
}

int ArtworkSize(int wanted) { return wanted >= 32 ? 32 : wanted >= 24 ? 24 : wanted >= 20 ? 20 : 16; }

void FillBitmap(TBitmap& bitmap, TColor color, int width, int height) {
  bitmap.SetSize(width, height);
  if (!bitmap.Handle()) return;
  TBitmapCanvas canvas(bitmap);
  const UniqueBrush brush(CreateSolidBrush(ColorToRGB(color)));
  const RECT all{0, 0, width, height};
  FillRect(canvas.DC(), &all, brush.Get());
}

TColor FindUnusedColor(const TBitmap* bitmap) {
  if (!bitmap) return clBtnFace;
  std::vector<TColor> pixels;
  pixels.reserve(std::size_t(bitmap->Width()) * bitmap->Height());
  if (bitmap->Handle()) {
    TBitmapCanvas canvas(*bitmap);
    COLORREF last = CLR_INVALID, lastNearest = CLR_INVALID;
    GdiFlush();
    for (int y = 0; y < bitmap->Height(); ++y) {
      for (int x = 0; x < bitmap->Width(); ++x) {
        const COLORREF c = bitmap->RawPixel(x, y);
        if (c != last) {  // runs of one colour are the rule in an icon
          last = c;
          lastNearest = GetNearestColor(canvas.DC(), c);
        }
        pixels.push_back(lastNearest);
      }
    }
  }
  return FindUnusedColor(pixels);
}

TColor FindAutoColor(HICON icon, TIconSize size, UINT dpi) {
  TImageList list;
  SetSystemIconSize(list, size, dpi);
  TBitmap bitmap;
  FillBitmap(bitmap, clWhite, list.Width(), list.Height());
  if (list.AddIcon(icon) == 0) {
    TBitmapCanvas canvas(bitmap);
    ImageList_Draw(list.Handle(), 0, canvas.DC(), 0, 0, ILD_NORMAL);
  }
  return FindUnusedColor(&bitmap);
}

int CountAnimationFrames(HICON icon) {
  TBitmap bitmap;
  bitmap.SetSize(32, 32);
  TBitmapCanvas canvas(bitmap);
  int steps = 0;
  while (steps < kMaxAnimationFrames &&
         DrawIconEx(canvas.DC(), 0, 0, icon, 32, 32, static_cast<UINT>(steps), nullptr, DI_NORMAL))
    ++steps;
  return steps == kMaxAnimationFrames ? 1 : steps;
}

HCURSOR ApplicationCursor(int id) {
  for (const TCursorId& c : kStandardCursors) {
    if (c.Id == id) return LoadCursorW(nullptr, c.SystemCursor);
  }
  if (id >= 1 && id <= 32767) {
    if (const HCURSOR own = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id))) return own;
  }
  return LoadCursorW(nullptr, IDC_ARROW);
}

void PaintIcon(TIconGlyph& glyph, HICON icon, int step, TBitmap& bitmap, UINT dpi) {
  PaintOver(glyph, icon, bitmap, dpi, [&](HDC dc, int width, int height, HBRUSH brush) {
    if (step >= 0 && icon) DrawIconEx(dc, 0, 0, icon, width, height, static_cast<UINT>(step), brush, DI_NORMAL);
  });
}

void DrawToBitmap(TIconGlyph& glyph, TBitmap& target, UINT dpi) {
  const TIconSize size = glyph.IconSize();
  const SIZE iconSize = SystemIconSize(size, dpi);
  switch (glyph.IconType()) {
    case itFileDefault: {
      if (glyph.FileName().empty()) return;
      TImageList list;
      AssignSystemImageList(list, size, dpi);
      const int index = ShellIconIndex(glyph.FileName(), SHGFI_SMALLICON);
      // IconIndex names the entry while drawing and is given back after.
      const std::int32_t previous = glyph.IconIndex();
      glyph.SetIconIndex(index);
      try {
        PaintFromImageList(glyph, list, index, target, iconSize);
      } catch (...) {
        glyph.SetIconIndex(previous);
        throw;
      }
      glyph.SetIconIndex(previous);
      return;
    }
    case itFileIndex: {
      if (glyph.FileName().empty()) return;
      TBitmap bitmap;
      if (IsAnimatedCursorFile(glyph.FileName())) {
        const UniqueCursor cursor(LoadCursorFromFileW(SystemFileName(glyph.FileName()).c_str()));
        SetSystemIconSize(bitmap, size, dpi);
        PaintIcon(glyph, cursor.Get(), glyph.IconIndex(), bitmap, dpi);
      } else {
        PaintFromFile(glyph, glyph.FileName(), glyph.IconIndex(), glyph.IconIndex(), bitmap, dpi);
      }
      target.Assign(bitmap);
      return;
    }
    case itExtention: {
      if (glyph.FileName().empty()) return;
      const int index = ShellIconIndex(ExtensionProbeName(glyph.FileName()), SHGFI_USEFILEATTRIBUTES);
      glyph.SetIconIndex(index);
      TImageList list;
      AssignSystemImageList(list, size, dpi);
      PaintFromImageList(glyph, list, index, target, iconSize);
      return;
    }
    case itStandard: {
      TBitmap bitmap;
      const TStandardIconInfo& info = StandardIconInfo(glyph.StandardIcon());
      if (info.Source == ssSystemIcon) {
        SetSystemIconSize(bitmap, size, dpi);
        // The system's image of the DPI's size (shared: never destroyed).
        HICON icon = static_cast<HICON>(LoadImageW(nullptr, MAKEINTRESOURCEW(info.SystemIconId), IMAGE_ICON,
                                                   iconSize.cx, iconSize.cy, LR_SHARED));
        if (!icon) icon = LoadIconW(nullptr, MAKEINTRESOURCEW(info.SystemIconId));
        PaintIcon(glyph, icon, glyph.IconIndex(), bitmap, dpi);
      } else {
        ResolveStandardIcon(glyph, ReadStandardIconValue(info), SystemDirectory());
        // The shell's own locations name icons by negative resource
        // identifiers ("shell32.dll,-33"); the icon found that way is drawn.
        PaintFromFile(glyph, glyph.FileName(), glyph.IconIndex(), std::max(glyph.IconIndex(), 0), bitmap, dpi);
      }
      target.Assign(bitmap);
      return;
    }
    case itSystem: {
      TImageList list;
      AssignSystemImageList(list, size, dpi);
      PaintFromImageList(glyph, list, glyph.IconIndex(), target, iconSize);
      return;
    }
    case itFileInfo: {
      if (glyph.FileInfo().empty()) return;
      std::u16string fileName;
      std::int32_t index = 0;
      SplitIconLocation(glyph.FileInfo(), fileName, index);
      glyph.SetFileName(std::move(fileName));
      glyph.SetIconIndex(index);
      TBitmap bitmap;
      PaintFromFile(glyph, glyph.FileName(), glyph.IconIndex(), glyph.IconIndex(), bitmap, dpi);
      target.Assign(bitmap);
      return;
    }
    case itCursor: {
      TImageList list;
      SetSystemIconSize(list, size, dpi);
      list.AddIcon(ApplicationCursor(glyph.IconIndex()));
      UniqueIcon icon = list.GetIcon(0);
      target.SetSize(list.Width(), list.Height());
      PaintIcon(glyph, icon.Get(), 0, target, dpi);
      return;
    }
    case itImageList: {
      TImageList* const list = size == isLarge ? glyph.ImageListLarge() : glyph.ImageListSmall();
      if (!glyph.ImageListLarge() || !glyph.ImageListSmall()) return;
      PaintFromImageList(glyph, *list, glyph.IconIndex(), target, SIZE{list->Width(), list->Height()});
      return;
    }
  }
}
