// The window geometry saver: writes a form's size, position, state and
// visibility to its INI file when a close of the form is attempted, and
// applies them again when the form is shown. What is kept and applied is
// decided in core; this side finds the file, reads and writes its keys and
// moves the window.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "core/Winsaver.h"

// The DPI at which the size was saved; files without it are taken as they are.
inline constexpr char16_t kPixelsPerInchKey[] = u"_PixelsPerInch";

class TWinSaver {
 public:
  // `ownerName` names the file at first (ownerName + ".INI"); `className`
  // starts every key, so forms of one class share their geometry.
  TWinSaver(std::u16string_view ownerName, std::u16string className);

  TWinSaverSettings Settings;
  std::u16string FormClassName;
  // Where the file lies when not empty, in place of the executable's folder
  // or the Windows folder; lets a copy of the program keep its geometry
  // elsewhere (and the tests keep theirs in a folder of their own).
  std::wstring IniFolder;

  // The INI file's full path, worked out as every save and restore does;
  // stores the file name used and the section's default in Settings.
  std::wstring IniPath();

  // Applies the saved geometry to `form`. With beingShown the form is on its
  // way to the screen: it counts as visible and a saved hidden state is not
  // applied to it.
  void Restore(HWND form, bool beingShown);
  // Writes the form's geometry; the first value the system refuses to write
  // throws EIniFileException ("Unable to write to <path>").
  void Save(HWND form);
};

// The geometry a form has now: its normal rectangle in screen coordinates,
// its state and visibility.
TFormGeometry FormGeometryOf(HWND form);
// Gives a form that geometry: rectangle, state and visibility at once.
void ApplyFormGeometry(HWND form, const TFormGeometry& geometry);
// The rectangles of every display monitor, in screen coordinates.
std::vector<TRect> MonitorRects();
// The Windows folder as the system reports it, of any length.
std::wstring WindowsDirectory();
// One value of an INI file, of any length; `def` when the key is missing.
std::wstring ReadProfileString(const std::wstring& path, const std::wstring& section, const std::wstring& key,
                               const std::wstring& def);
