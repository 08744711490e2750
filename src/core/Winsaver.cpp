#include "core/Winsaver.h"

#include <limits>

#include "core/TextCodec.h"

namespace {

bool IsPathDelimiter(char16_t c) { return c == u'\\' || c == u'/' || c == u':'; }

std::u16string_view NamePart(std::u16string_view path) {
  for (std::size_t i = path.size(); i-- > 0;)
    if (IsPathDelimiter(path[i])) return path.substr(i + 1);
  return path;
}

std::u16string IntToStr(std::int32_t v) { return Widen(std::to_string(v)); }

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

std::int32_t StateToIni(TWindowState s) { return s == wsMinimized ? 1 : s == wsMaximized ? 3 : 2; }

}  // namespace

std::u16string IniFileNameFor(std::u16string_view iniFileName, std::u16string_view exePath) {
  const std::u16string_view name = NamePart(iniFileName.empty() ? exePath : iniFileName);
  const std::size_t dot = name.rfind(u'.');
  return std::u16string(name.substr(0, dot)) + kIniExtension;
}

std::u16string ExeFolder(std::u16string_view exePath) {
  std::u16string_view folder = exePath.substr(0, exePath.size() - NamePart(exePath).size());
  while (!folder.empty() && (folder.back() == u'\\' || folder.back() == u'/')) folder.remove_suffix(1);
  return std::u16string(folder);
}

std::u16string OpenIniPath(TWinSaverSettings& settings, std::u16string_view exePath,
                           std::u16string_view windowsDir) {
  settings.IniFileName = IniFileNameFor(settings.IniFileName, exePath);
  std::u16string path = settings.LocalDir ? ExeFolder(exePath) : std::u16string(windowsDir);
  // A folder given as a drive's root already ends in its separator.
  if (path.empty() || (path.back() != u'\\' && path.back() != u'/')) path += u'\\';
  path += settings.IniFileName;
  if (settings.IniSection.empty()) settings.IniSection = kDefaultIniSection;
  return path;
}

bool TryIniStrToInt(std::u16string_view text, std::int32_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  const std::u16string_view rest = text.substr(i);
  std::size_t hexDigits = 0;
  if (rest.starts_with(u'$'))
    hexDigits = 1;
  else if (rest.size() > 2 && (rest.starts_with(u"0x") || rest.starts_with(u"0X")))
    hexDigits = 2;
  if (hexDigits) {
    const std::u16string_view digits = rest.substr(hexDigits);
    if (digits.empty()) return false;
    std::uint64_t n = 0;
    for (char16_t c : digits) {
      const int d = HexDigit(c);
      if (d < 0) return false;
      n = n * 16 + static_cast<unsigned>(d);
      if (n > 0xFFFFFFFFu) return false;
    }
    std::uint32_t bits = static_cast<std::uint32_t>(n);
    if (negative) bits = 0u - bits;
    value = static_cast<std::int32_t>(bits);
    return true;
  }
  if (rest.empty()) return false;
  std::int64_t n = 0;
  for (char16_t c : rest) {
    if (c < u'0' || c > u'9') return false;
    n = n * 10 + (c - u'0');
    if (n > std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1) return false;
  }
  if (negative) n = -n;
  if (n > std::numeric_limits<std::int32_t>::max()) return false;
  value = static_cast<std::int32_t>(n);
  return true;
}

std::int32_t IniStrToIntDef(std::u16string_view text, std::int32_t def) {
  std::int32_t value = def;
  return TryIniStrToInt(text, value) ? value : def;
}

bool OnSomeMonitor(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                   const std::vector<TRect>& monitors) {
  // In 64 bits: a corrupt position plus a size must not wrap around.
  const std::int64_t right = std::int64_t{left} + width;
  const std::int64_t bottom = std::int64_t{top} + height;
  for (const TRect& m : monitors)
    if (left < m.Right && m.Left < right && top < m.Bottom && m.Top < bottom) return true;
  return false;
}

void SaveFormGeometry(const TWinSaverSettings& settings, std::u16string_view className,
                      const TFormGeometry& geometry, std::u16string_view iniPath, const TIniWrite& write) {
  const std::u16string name(className);
  auto put = [&](const char16_t* suffix, std::u16string value) {
    if (!write(name + suffix, value)) throw EIniFileException(Format(kUnableToWrite, {iniPath}));
  };
  if (settings.SaveSize) {
    put(kWidthKey, IntToStr(geometry.Width));
    put(kHeightKey, IntToStr(geometry.Height));
  }
  if (settings.SaveLocation) {
    put(kTopKey, IntToStr(geometry.Top));
    put(kLeftKey, IntToStr(geometry.Left));
  }
  if (settings.SaveState) put(kWindowStateKey, IntToStr(StateToIni(geometry.WindowState)));
  if (settings.SaveVisible) put(kVisibleKey, geometry.Visible ? u"1" : u"0");
}

TFormGeometry RestoreFormGeometry(const TWinSaverSettings& settings, std::u16string_view className,
                                  const TFormGeometry& current, const TIniRead& read, bool beingShown,
                                  const std::vector<TRect>& monitors) {
  const std::u16string name(className);
  auto readInt = [&](const char16_t* suffix, std::int32_t def) {
    return IniStrToIntDef(read(name + suffix, IntToStr(def)), def);
  };
  TFormGeometry g = current;
  if (settings.SaveSize) {
    // A size of nothing would leave a window no one can see or reach.
    if (const std::int32_t w = readInt(kWidthKey, current.Width); w > 0) g.Width = w;
    if (const std::int32_t h = readInt(kHeightKey, current.Height); h > 0) g.Height = h;
  }
  if (settings.SaveLocation) {
    const std::int32_t top = readInt(kTopKey, current.Top);
    const std::int32_t left = readInt(kLeftKey, current.Left);
    // A monitor taken away since would leave the window out of reach.
    if (monitors.empty() || OnSomeMonitor(left, top, g.Width, g.Height, monitors)) {
      g.Top = top;
      g.Left = left;
    }
  }
  if (settings.SaveState) {
    switch (readInt(kWindowStateKey, 2)) {
      case 1: g.WindowState = wsMinimized; break;
      case 2: g.WindowState = wsNormal; break;
      case 3: g.WindowState = wsMaximized; break;
      default: break;
    }
  }
  if (settings.SaveVisible) {
    const bool visible = readInt(kVisibleKey, current.Visible ? 1 : 0) != 0;
    if (visible || !beingShown) g.Visible = visible;
  }
  return g;
}
