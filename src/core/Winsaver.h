// The window geometry saver's rules that need no window: where its INI file
// lies, the keys a form's size, position, state and visibility are kept
// under, how their values read, and what of a saved geometry is applied.
// The Windows side reads and writes the file and moves the window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/Errors.h"

// A value the system refused to write: "Unable to write to %s" (the path).
class EIniFileException : public Exception { using Exception::Exception; };
inline constexpr char16_t kUnableToWrite[] = u"Unable to write to %s";

inline constexpr char16_t kDefaultIniSection[] = u"WinSaver";
inline constexpr char16_t kIniExtension[] = u".INI";

// The saver's properties.
struct TWinSaverSettings {
  // The file is named after the owner form's name at first.
  explicit TWinSaverSettings(std::u16string_view ownerName)
      : IniFileName(std::u16string(ownerName) + kIniExtension) {}

  std::u16string IniFileName;  // only its name part counts; always ".INI"
  bool LocalDir = false;       // true: beside the executable; false: the Windows folder
  std::u16string IniSection = kDefaultIniSection;
  bool SaveSize = true;
  bool SaveLocation = true;
  bool SaveState = true;
  bool SaveVisible = true;
};

// The name part of `iniFileName` (or of the executable's path when it is
// empty) with ".INI" as its extension.
std::u16string IniFileNameFor(std::u16string_view iniFileName, std::u16string_view exePath);
// The executable's folder without a trailing separator.
std::u16string ExeFolder(std::u16string_view exePath);
// Works out the INI file's full path as opening it does, and stores the
// name used and the section's default back in `settings`.
std::u16string OpenIniPath(TWinSaverSettings& settings, std::u16string_view exePath,
                           std::u16string_view windowsDir);

// Decimal, or hexadecimal after "$", "0x" or "0X", with an optional sign.
// Hexadecimal takes up to 32 bits ("$FFFFFFFF" is -1); decimal must fit.
bool TryIniStrToInt(std::u16string_view text, std::int32_t& value);
std::int32_t IniStrToIntDef(std::u16string_view text, std::int32_t def);

inline constexpr char16_t kWidthKey[] = u"_Width";
inline constexpr char16_t kHeightKey[] = u"_Height";
inline constexpr char16_t kTopKey[] = u"_Top";
inline constexpr char16_t kLeftKey[] = u"_Left";
inline constexpr char16_t kWindowStateKey[] = u"_WindowState";
inline constexpr char16_t kVisibleKey[] = u"_Visible";

enum TWindowState : std::uint8_t { wsNormal, wsMinimized, wsMaximized };

// What is kept of a form. The rectangle is the one the window has in its
// normal state, so that a maximized window keeps the size it returns to.
struct TFormGeometry {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  TWindowState WindowState = wsNormal;
  bool Visible = true;
  bool operator==(const TFormGeometry&) const = default;
};

struct TRect {
  std::int32_t Left, Top, Right, Bottom;
};

// Whether any part of a window at (left, top) of that size lies on a monitor.
bool OnSomeMonitor(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                   const std::vector<TRect>& monitors);

// Writes one key of the form's section; false when the system refused.
using TIniWrite = std::function<bool(const std::u16string& key, const std::u16string& value)>;
// Reads one key; a missing key gives the default passed in.
using TIniRead = std::function<std::u16string(const std::u16string& key, const std::u16string& defaultValue)>;

// Writes the keys the switches ask for, in the order width, height, top,
// left, state, visibility, each under the form's class name. The first
// write refused throws EIniFileException with the INI path; what follows it
// is not written.
void SaveFormGeometry(const TWinSaverSettings& settings, std::u16string_view className,
                      const TFormGeometry& geometry, std::u16string_view iniPath, const TIniWrite& write);

// The geometry to give a form, from what is saved and what it has now. Only
// the keys the switches ask for are read. Missing and unreadable values keep
// the current ones, as do a width or height below 1, a position that would
// put the window entirely outside every monitor (when monitors are known),
// a state other than 1, 2 or 3, and a hidden visibility while the form is
// being shown (it cannot be hidden again from inside its own showing).
TFormGeometry RestoreFormGeometry(const TWinSaverSettings& settings, std::u16string_view className,
                                  const TFormGeometry& current, const TIniRead& read, bool beingShown,
                                  const std::vector<TRect>& monitors);
