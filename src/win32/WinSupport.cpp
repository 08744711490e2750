#include "win32/WinSupport.h"

#include <shellapi.h>

#include "core/Errors.h"

namespace {

// Looked up before any window of ours exists, and again when the shell
// says it has made a new taskbar.
HWND TaskbarHandle = FindWindowW(L"Shell_TrayWnd", nullptr);

// The first 24 characters of a window's title, in upper case.
std::wstring UpperTitle(HWND window) {
  wchar_t title[25] = {};
  const int n = GetWindowTextW(window, title, 25);
  CharUpperBuffW(title, n > 0 ? n : 0);
  return title;
}

}  // namespace

std::u16string SysErrorMessage(DWORD error) {
  wchar_t* buffer = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr,
      error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text(buffer ? buffer : L"", length);
  if (buffer) LocalFree(buffer);
  while (!text.empty() && static_cast<unsigned>(text.back()) <= 32) text.pop_back();
  if (text.empty()) text = L"System error " + DecimalW(error);
  return U16(text);
}

void AppendAnsiCodePage(std::string_view bytes, std::u16string& out) {
  if (bytes.empty()) return;
  const int size = static_cast<int>(bytes.size());
  const int count = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
  const std::size_t at = out.size();
  out.resize(at + count);
  MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(&out[at]), count);
}

bool PointIn(HWND window, POINT screen) {
  RECT r{};
  GetWindowRect(window, &r);
  return IsWindowVisible(window) && PtInRect(&r, screen);
}

bool HasNoFrame(HWND window) {
  RECT outer{}, client{};
  GetWindowRect(window, &outer);
  GetClientRect(window, &client);
  return outer.right - outer.left == client.right && outer.bottom - outer.top == client.bottom;
}

UINT WindowDpi(HWND window) {
  using DpiFn = UINT(WINAPI*)(HWND);
  // Looked up: older systems than the program supports lack it.
  static const auto forWindow = reinterpret_cast<DpiFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  UINT dpi = forWindow && window ? forWindow(window) : 0;
  if (dpi == 0) {
    const HDC screen = GetDC(nullptr);
    dpi = static_cast<UINT>(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
  }
  return dpi ? dpi : 96;
}

int SystemMetricForDpi(int index, UINT dpi) {
  using ForDpiFn = int(WINAPI*)(int, UINT);
  // Looked up: systems before Windows 10 know only the system DPI.
  static const auto forDpi = reinterpret_cast<ForDpiFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
  return forDpi && dpi ? forDpi(index, dpi) : GetSystemMetrics(index);
}

std::wstring ExeFileName() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (n == 0) return {};
    if (n < name.size()) {
      name.resize(n);
      return name;
    }
    name.resize(name.size() * 2);  // cut short: try again with more room
  }
}

std::wstring ExtendedPath(const std::wstring& path) {
  if (path.size() < MAX_PATH - 12 || path.starts_with(L"\\\\?\\")) return path;
  if (path.size() > 2 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  if (path.starts_with(L"\\\\")) return L"\\\\?\\UNC\\" + path.substr(2);
  return path;
}

int RunProgram(HWND owner, const std::u16string& file, const std::u16string& parameters,
               const std::u16string& folder, int showCommand) {
  const HINSTANCE result = ShellExecuteW(owner, nullptr, W(file), W(parameters), W(folder), showCommand);
  return static_cast<int>(reinterpret_cast<INT_PTR>(result));
}

// The shell's windows are shown and hidden without waiting for the shell:
// a hung Explorer must not hang the program with it.
void HideTaskbar(bool hide) { ShowWindowAsync(TaskbarHandle, hide ? SW_HIDE : SW_SHOWNORMAL); }

HWND TaskbarWindow() { return TaskbarHandle; }

void FindTaskbarAgain() { TaskbarHandle = FindWindowW(L"Shell_TrayWnd", nullptr); }

HWND FindProgramManager() {
  HWND window = GetWindow(GetWindow(GetDesktopWindow(), GW_CHILD), GW_HWNDLAST);
  for (; window; window = GetWindow(window, GW_HWNDPREV))
    if (UpperTitle(window) == L"PROGRAM MANAGER") return window;
  return nullptr;
}

bool HideDesktopWindow(bool hide) {
  const HWND desktop = FindProgramManager();
  if (desktop) ShowWindowAsync(desktop, hide ? SW_HIDE : SW_SHOW);
  return desktop != nullptr;
}

bool LockWorkstation() {
  using LockFn = BOOL(WINAPI*)();
  const auto lock = reinterpret_cast<LockFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "LockWorkStation")));
  if (!lock) {
    SetLastError(ERROR_CALL_NOT_IMPLEMENTED);
    return false;
  }
  return lock() != FALSE;
}

void ShowExceptionBox(HWND window, const std::exception& e) {
  const HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  wchar_t title[256] = {};
  if (root) GetWindowTextW(root, title, 256);
  MessageBoxW(root, W(ExceptionMessage(e)), title, MB_ICONERROR | MB_OK);
}
