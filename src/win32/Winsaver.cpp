#include "win32/Winsaver.h"

#include "win32/WinSupport.h"

namespace {

// GetWindowPlacement and SetWindowPlacement speak workspace coordinates:
// relative to the work area of the monitor the window is on, so a taskbar at
// the top or left shifts them. The INI file keeps screen coordinates, which
// is what the monitor test and the user see.
POINT WorkspaceOffset(HWND form) {
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if ((GetWindowLongPtrW(form, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) ||
      !GetMonitorInfoW(MonitorFromWindow(form, MONITOR_DEFAULTTOPRIMARY), &info))
    return {0, 0};
  return {info.rcWork.left - info.rcMonitor.left, info.rcWork.top - info.rcMonitor.top};
}

WINDOWPLACEMENT PlacementOf(HWND form) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(form, &placement)) throw Exception(SysErrorMessage(GetLastError()));
  return placement;
}

// Closes the system's view of the file when a save or restore ends, however
// it ends.
class TIniFlush {
 public:
  explicit TIniFlush(const std::wstring& path) : FPath(path) {}
  ~TIniFlush() { WritePrivateProfileStringW(nullptr, nullptr, nullptr, FPath.c_str()); }
  TIniFlush(const TIniFlush&) = delete;
  TIniFlush& operator=(const TIniFlush&) = delete;

 private:
  const std::wstring& FPath;
};

// The profile functions take paths of up to MAX_PATH characters only. A
// longer one is handed over through its folder's short name, where the
// volume keeps short names; otherwise it stays as it is and fails loudly.
std::wstring ProfilePath(const std::wstring& path) {
  if (path.size() < MAX_PATH) return path;
  const std::size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return path;
  const std::wstring folder = ExtendedPath(path.substr(0, slash));
  std::wstring shortFolder(GetShortPathNameW(folder.c_str(), nullptr, 0), L'\0');
  const DWORD n = GetShortPathNameW(folder.c_str(), shortFolder.data(), static_cast<DWORD>(shortFolder.size()));
  if (n == 0 || n >= shortFolder.size()) return path;
  shortFolder.resize(n);
  if (shortFolder.starts_with(L"\\\\?\\UNC\\")) shortFolder.replace(0, 8, L"\\\\");
  else if (shortFolder.starts_with(L"\\\\?\\")) shortFolder.erase(0, 4);
  return shortFolder + path.substr(slash);
}

BOOL CALLBACK AddMonitor(HMONITOR, HDC, LPRECT r, LPARAM monitors) noexcept {
  try {
    reinterpret_cast<std::vector<TRect>*>(monitors)->push_back({r->left, r->top, r->right, r->bottom});
    return TRUE;
  } catch (...) {
    return FALSE;  // out of memory: nothing may leave a system callback
  }
}

}  // namespace

TFormGeometry FormGeometryOf(HWND form) {
  const WINDOWPLACEMENT placement = PlacementOf(form);
  const POINT offset = WorkspaceOffset(form);
  const RECT& r = placement.rcNormalPosition;
  TFormGeometry g;
  g.Left = r.left + offset.x;
  g.Top = r.top + offset.y;
  g.Width = r.right - r.left;
  g.Height = r.bottom - r.top;
  g.WindowState = IsIconic(form) ? wsMinimized : IsZoomed(form) ? wsMaximized : wsNormal;
  g.Visible = IsWindowVisible(form) != FALSE;
  return g;
}

void ApplyFormGeometry(HWND form, const TFormGeometry& geometry) {
  WINDOWPLACEMENT placement = PlacementOf(form);
  const POINT offset = WorkspaceOffset(form);
  placement.flags = 0;
  placement.rcNormalPosition = {geometry.Left - offset.x, geometry.Top - offset.y,
                                geometry.Left - offset.x + geometry.Width, geometry.Top - offset.y + geometry.Height};
  // Windows has no hidden maximised window: a form that stays hidden gets
  // its rectangle, and its state when it is next shown as it asks.
  if (!geometry.Visible) placement.showCmd = SW_HIDE;
  else if (geometry.WindowState == wsMinimized) placement.showCmd = SW_SHOWMINIMIZED;
  else if (geometry.WindowState == wsMaximized) placement.showCmd = SW_SHOWMAXIMIZED;
  else placement.showCmd = SW_SHOWNORMAL;
  if (!SetWindowPlacement(form, &placement)) throw Exception(SysErrorMessage(GetLastError()));
}

std::vector<TRect> MonitorRects() {
  std::vector<TRect> monitors;
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
  return monitors;
}

std::wstring WindowsDirectory() {
  std::wstring dir(MAX_PATH, L'\0');
  for (;;) {
    const UINT n = GetWindowsDirectoryW(dir.data(), static_cast<UINT>(dir.size()));
    if (n == 0) return {};
    if (n < dir.size()) {
      dir.resize(n);
      return dir;
    }
    dir.resize(n);  // too small: n is the room needed, with the terminator
  }
}

std::wstring ReadProfileString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                               const std::wstring& def) {
  std::wstring value(256, L'\0');
  for (;;) {
    const DWORD n = GetPrivateProfileStringW(section.c_str(), key.c_str(), def.c_str(), value.data(),
                                             static_cast<DWORD>(value.size()), path.c_str());
    // A value cut short comes back as size - 1 characters: try with more room.
    if (n + 1 < value.size()) {
      value.resize(n);
      return value;
    }
    value.resize(value.size() * 2);
  }
}

TWinSaver::TWinSaver(std::u16string_view ownerName, std::u16string className)
    : Settings(ownerName), FormClassName(std::move(className)) {}

std::wstring TWinSaver::IniPath() {
  const std::wstring exe = ExeFileName();
  std::wstring path = WStr(OpenIniPath(Settings, U16(exe), U16(Settings.LocalDir ? L"" : WindowsDirectory())));
  if (IniFolder.empty()) return path;
  std::wstring folder = IniFolder;
  if (folder.back() != L'\\' && folder.back() != L'/') folder += L'\\';
  return folder + WStr(Settings.IniFileName);
}

void TWinSaver::Restore(HWND form, bool beingShown) {
  const std::wstring path = ProfilePath(IniPath());
  const std::wstring section = WStr(Settings.IniSection);
  const TIniFlush flush(path);
  TFormGeometry current = FormGeometryOf(form);
  // A form on its way to the screen may not be visible yet: it is as good as.
  if (beingShown) current.Visible = true;
  const TIniRead read = [&](const std::u16string& key, const std::u16string& def) {
    return U16(ReadProfileString(path, section, WStr(key), WStr(def)));
  };
  TFormGeometry wanted = RestoreFormGeometry(Settings, FormClassName, current, read, beingShown, MonitorRects());
  // A size saved at another DPI shows the same window at this one; the
  // place stays where it was left.
  std::int32_t savedDpi = 0;
  const std::u16string dpiKey = FormClassName + kPixelsPerInchKey;
  if (Settings.SaveSize && TryIniStrToInt(read(dpiKey, u""), savedDpi) && savedDpi > 0 &&
      !read(FormClassName + kWidthKey, u"").empty()) {
    const int dpi = static_cast<int>(WindowDpi(form));
    wanted.Width = MulDiv(wanted.Width, dpi, savedDpi);
    wanted.Height = MulDiv(wanted.Height, dpi, savedDpi);
  }
  // Nothing saved or nothing new: leave the window, and its activation, alone.
  if (wanted == current) return;
  ApplyFormGeometry(form, wanted);
}

void TWinSaver::Save(HWND form) {
  const std::wstring shownPath = IniPath();
  const std::wstring path = ProfilePath(shownPath);
  const std::wstring section = WStr(Settings.IniSection);
  const TIniFlush flush(path);
  const TIniWrite write = [&](const std::u16string& key, const std::u16string& value) {
    return WritePrivateProfileStringW(section.c_str(), W(key), W(value), path.c_str()) != FALSE;
  };
  SaveFormGeometry(Settings, FormClassName, FormGeometryOf(form), U16(shownPath), write);
  // The DPI the size is in, so that another DPI can convert it.
  if (Settings.SaveSize) write(FormClassName + kPixelsPerInchKey, U16(DecimalW(WindowDpi(form))));
}
