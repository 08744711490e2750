#include "IconTestSupport.h"

#include <winternl.h>

#include <cstdint>

namespace icontest {

std::u16string DataFile(std::u16string_view name) {
  // The data lies beside this source file; a build on Linux run under Wine
  // reaches it through drive Z:.
  std::string here = __FILE__;
  here.resize(here.find_last_of("/\\") + 1);
  std::u16string path;
  if (here.starts_with('/')) path = u"Z:";
  for (char c : here) path += c == '/' ? u'\\' : char16_t(static_cast<unsigned char>(c));
  path += u"data\\";
  path += name;
  return path;
}

std::u16string Shell32() {
  wchar_t dir[MAX_PATH];
  const UINT n = GetSystemDirectoryW(dir, MAX_PATH);
  return U16(std::wstring_view(dir, n)) + u"\\shell32.dll";
}

std::vector<COLORREF> Pixels(const TBitmap& bitmap, int width, int height) {
  std::vector<COLORREF> pixels;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels.push_back(bitmap.Pixel(x, y));
  return pixels;
}

std::vector<COLORREF> Pixels(const TBitmap& bitmap) { return Pixels(bitmap, bitmap.Width(), bitmap.Height()); }

int CountOther(const TBitmap& bitmap, COLORREF color) {
  int n = 0;
  for (COLORREF c : Pixels(bitmap)) n += c != color;
  return n;
}

namespace {

// Wine keeps a process's GDI objects in the shared handle table that the
// process environment block points to, laid out as on Windows.
struct GdiHandleEntry {
  std::uint64_t Object;
  std::uint32_t Owner;
  std::uint16_t Unique;
  std::uint8_t Type;
  std::uint8_t Flags;
  std::uint64_t UserPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);

// GCC misreads the segment register read inside NtCurrentTeb as an array
// access.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"
const void* ProcessEnvironmentBlock() { return NtCurrentTeb()->ProcessEnvironmentBlock; }
#pragma GCC diagnostic pop

int CountGdiEntries() {
  const auto* peb = static_cast<const std::uint8_t*>(ProcessEnvironmentBlock());
  const std::size_t offset = sizeof(void*) == 8 ? 0xF8 : 0x94;  // GdiSharedHandleTable
  const auto* table = *reinterpret_cast<const GdiHandleEntry* const*>(peb + offset);
  if (!table) return -1;
  int n = 0;
  for (int i = 0; i < 0x10000; ++i) n += table[i].Type != 0;
  return n;
}

// USER handles are table indices; a handle without its generation bits
// still names the object, so every slot can be asked about.
int CountUserHandles() {
  int n = 0;
  for (UINT_PTR h = 0x20; h < 0x10000; h += 2) {
    ICONINFO info;
    if (GetIconInfo(reinterpret_cast<HICON>(h), &info)) {
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
      ++n;
    } else if (IsWindow(reinterpret_cast<HWND>(h))) {
      DWORD process = 0;
      GetWindowThreadProcessId(reinterpret_cast<HWND>(h), &process);
      n += process == GetCurrentProcessId();
    }
  }
  return n;
}

}  // namespace

int CountGuiObjects(GuiObjects kind) {
  SetLastError(0);
  const DWORD n = GetGuiResources(GetCurrentProcess(), kind == GuiObjects::Gdi ? GR_GDIOBJECTS : GR_USEROBJECTS);
  if (n != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return static_cast<int>(n);
  return kind == GuiObjects::Gdi ? CountGdiEntries() : CountUserHandles();
}

TBitmap PrintClient(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  TBitmap b;
  b.SetSize(client.right, client.bottom);
  {
    TBitmapCanvas canvas(b);
    SendMessageW(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.DC()), PRF_CLIENT | PRF_ERASEBKGND);
  }
  GdiFlush();
  return b;
}

}  // namespace icontest
