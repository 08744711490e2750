// Small helpers shared by the program's Windows code.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows strings are UTF-16");

// The settings strings are UTF-16 already; these only change the type.
inline const wchar_t* W(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }
inline std::u16string U16(std::wstring_view s) { return {reinterpret_cast<const char16_t*>(s.data()), s.size()}; }
inline std::wstring WStr(std::u16string_view s) { return {reinterpret_cast<const wchar_t*>(s.data()), s.size()}; }
// A whole number in decimal. std::to_wstring would go through the wide
// printf, which alone adds 20 KB to the program.
template <class T>
std::wstring DecimalW(T value) {
  const std::string s = std::to_string(value);
  return {s.begin(), s.end()};
}

// The system's text for an error code, without the trailing line break.
std::u16string SysErrorMessage(DWORD error);

// Decodes 8-bit text in the system ANSI code page (the settings file's bytes).
void AppendAnsiCodePage(std::string_view bytes, std::u16string& out);

// The monitor DPI of a window, or of the screen for none (96 where the
// system cannot tell).
UINT WindowDpi(HWND window);
// A system metric as it is at a DPI (icon sizes, borders); what
// GetSystemMetrics answers, for the system DPI, on systems without the
// per-DPI form or for dpi 0.
int SystemMetricForDpi(int index, UINT dpi);
// Whether a point on the screen is over a window that is visible.
bool PointIn(HWND window, POINT screen);
// Whether the window has nothing outside its client area (no border, edge
// or scroll bar): its WM_NCPAINT has nothing to draw.
bool HasNoFrame(HWND window);

// Full path of the running executable, of any length.
std::wstring ExeFileName();

// A path that file functions accept beyond MAX_PATH characters: absolute
// drive and UNC paths get the \\?\ prefix; anything else is left alone.
std::wstring ExtendedPath(const std::wstring& path);

// Hands a file, document or folder to the shell: no verb (its default
// action), the strings passed whole. Returns ShellExecute's result: above
// 32 is success, anything else an error code.
int RunProgram(HWND owner, const std::u16string& file, const std::u16string& parameters,
               const std::u16string& folder, int showCommand);

// Shows (SW_SHOWNORMAL) or hides the taskbar found at start-up, or at the
// last FindTaskbarAgain. Like HideDesktopWindow, it does not wait for the
// shell (ShowWindowAsync).
void HideTaskbar(bool hide);
HWND TaskbarWindow();
// Looks the taskbar up anew: the shell makes a new one when it restarts.
void FindTaskbarAgain();
// The top-level window titled "Program Manager" in any letter case that is
// lowest in the z-order; null when there is none.
HWND FindProgramManager();
// Hides or shows (SW_SHOW) that window; false when there is none.
bool HideDesktopWindow(bool hide);
// An error box with the failure's text over the window's top-level window,
// titled with that window's caption: for parts that have no application.
void ShowExceptionBox(HWND window, const std::exception& e);
// Calls LockWorkStation when user32.dll has it; false with last error
// ERROR_CALL_NOT_IMPLEMENTED when it has not.
bool LockWorkstation();

// BeginPaint and EndPaint as one owner: the paint ends however drawing ends.
class TPaintScope {
 public:
  explicit TPaintScope(HWND window) : FWindow(window), FDC(BeginPaint(window, &FPaint)) {}
  ~TPaintScope() { EndPaint(FWindow, &FPaint); }
  TPaintScope(const TPaintScope&) = delete;
  TPaintScope& operator=(const TPaintScope&) = delete;
  HDC DC() const { return FDC; }

 private:
  HWND FWindow;
  PAINTSTRUCT FPaint{};
  HDC FDC;
};

// Owns a kernel handle (files, mutexes); INVALID_HANDLE_VALUE and null are empty.
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : FHandle(h) {}
  UniqueHandle(UniqueHandle&& other) noexcept : FHandle(other.Release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  ~UniqueHandle() { Reset(); }
  HANDLE Get() const { return FHandle; }
  explicit operator bool() const { return FHandle && FHandle != INVALID_HANDLE_VALUE; }
  HANDLE Release() {
    HANDLE h = FHandle;
    FHandle = nullptr;
    return h;
  }
  void Reset(HANDLE h = nullptr) {
    if (*this) CloseHandle(FHandle);
    FHandle = h;
  }

 private:
  HANDLE FHandle = nullptr;
};

// Owns one handle of any other kind, released with Free (DeleteObject,
// DestroyIcon, ImageList_Destroy, DestroyMenu ...). Null is empty.
template <class H, auto Free>
class UniqueOwner {
 public:
  UniqueOwner() = default;
  explicit UniqueOwner(H h) : FHandle(h) {}
  UniqueOwner(UniqueOwner&& other) noexcept : FHandle(other.Release()) {}
  UniqueOwner& operator=(UniqueOwner&& other) noexcept {
    Reset(other.Release());
    return *this;
  }
  ~UniqueOwner() { Reset(); }
  H Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }
  H Release() {
    H h = FHandle;
    FHandle = nullptr;
    return h;
  }
  void Reset(H h = nullptr) {
    if (FHandle) Free(FHandle);
    FHandle = h;
  }

 private:
  H FHandle = nullptr;
};

inline BOOL DeleteGdiObject(HGDIOBJ h) { return DeleteObject(h); }
using UniqueFont = UniqueOwner<HFONT, DeleteGdiObject>;
using UniqueBitmap = UniqueOwner<HBITMAP, DeleteGdiObject>;
using UniqueBrush = UniqueOwner<HBRUSH, DeleteGdiObject>;
using UniqueIcon = UniqueOwner<HICON, DestroyIcon>;
using UniqueImageList = UniqueOwner<HIMAGELIST, ImageList_Destroy>;
using UniqueMenu = UniqueOwner<HMENU, DestroyMenu>;

// --- Drawing helpers of the icon code ---------------------------------------

using UniqueCursor = UniqueOwner<HCURSOR, DestroyCursor>;  // LoadCursorFromFile's cursors
using UniquePen = UniqueOwner<HPEN, DeleteGdiObject>;
using UniqueMemoryDC = UniqueOwner<HDC, DeleteDC>;
using UniqueKey = UniqueOwner<HKEY, RegCloseKey>;

// Selects a GDI object into a DC and puts the previous one back.
class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : FDC(dc), FOld(SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (FOld) SelectObject(FDC, FOld);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

// A window's DC for the length of a scope (GetDC / ReleaseDC).
class WindowDC {
 public:
  explicit WindowDC(HWND window) : FWindow(window), FDC(GetDC(window)) {}
  ~WindowDC() {
    if (FDC) ReleaseDC(FWindow, FDC);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return FDC; }

 private:
  HWND FWindow;
  HDC FDC;
};
