#include "core/IconProcs.h"

#include <algorithm>
#include <array>
#include <limits>

namespace {

constexpr std::u16string_view kNotAnInteger = u"'%s' is not a valid integer value";

constexpr TStandardIconInfo kStandardIcons[kStandardIconCount] = {
    {u"siApplication", ssSystemIcon, 32512, u""},
    {u"siAsterisk", ssSystemIcon, 32516, u""},
    {u"siExclamation", ssSystemIcon, 32515, u""},
    {u"siHand", ssSystemIcon, 32513, u""},
    {u"siQuestion", ssSystemIcon, 32514, u""},
    {u"siWinLogo", ssSystemIcon, 32517, u""},
    {u"siRecycleBinDefault", ssRecycleBin, 0, u""},
    {u"siRecycleBinFull", ssRecycleBin, 0, u"Full"},
    {u"siRecycleBinEmpty", ssRecycleBin, 0, u"Empty"},
    {u"siUnRegFileType", ssShellIcons, 0, u"0"},
    {u"siDocument", ssShellIcons, 0, u"1"},
    {u"siProgram", ssShellIcons, 0, u"2"},
    {u"siFolder", ssShellIcons, 0, u"3"},
    {u"siOpenFolder", ssShellIcons, 0, u"4"},
    {u"si5FloppyDrive", ssShellIcons, 0, u"5"},
    {u"si3FloppyDrive", ssShellIcons, 0, u"6"},
    {u"siRemovableDrive", ssShellIcons, 0, u"7"},
    {u"siHardDrive", ssShellIcons, 0, u"8"},
    {u"siNetworkDrive", ssShellIcons, 0, u"9"},
    {u"siNetworkDriveX", ssShellIcons, 0, u"10"},
    {u"siCDROMDrive", ssShellIcons, 0, u"11"},
    {u"siRAMDrive", ssShellIcons, 0, u"12"},
    {u"siEntireNetwork", ssShellIcons, 0, u"13"},
    {u"siComputer", ssShellIcons, 0, u"15"},
    {u"siWorkgroup", ssShellIcons, 0, u"18"},
    {u"siSMPrograms", ssShellIcons, 0, u"19"},
    {u"siSMDocuments", ssShellIcons, 0, u"20"},
    {u"siSMSettings", ssShellIcons, 0, u"21"},
    {u"siSMFind", ssShellIcons, 0, u"22"},
    {u"siSMHelp", ssShellIcons, 0, u"23"},
    {u"siSMRun", ssShellIcons, 0, u"24"},
    {u"siSMShutdown", ssShellIcons, 0, u"27"},
    {u"siSharedOverlay", ssShellIcons, 0, u"28"},
    {u"siShortcutOverlay", ssShellIcons, 0, u"29"},
    {u"siDesktop", ssShellIcons, 0, u"34"},
    {u"siSMFolder", ssShellIcons, 0, u"36"},
    {u"siMusicCD", ssShellIcons, 0, u"40"},
};

// The automatic colour's candidates in the order they are tried. Their
// eight-digit hexadecimal keys sort the same way as the values themselves,
// so the values are kept sorted and looked up directly.
constexpr std::array<TColor, 9> kCandidates = {clRed,  clLime,    clYellow, clSilver, clBlue,
                                               clFuchsia, clAqua, clWhite,  clBtnFace};
static_assert(std::is_sorted(kCandidates.begin(), kCandidates.end()));

bool IsPathDelimiter(char16_t c) { return c == u'\\' || c == u'/' || c == u':'; }

}  // namespace

const TStandardIconInfo& StandardIconInfo(TStandardIconType icon) {
  return kStandardIcons[std::min<int>(icon, kStandardIconCount - 1)];
}

bool TryStrToInt(std::u16string_view text, std::int32_t& value) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) negative = text[i++] == u'-';
  if (i == text.size()) return false;
  // Accumulate as a negative number so that the most negative value fits.
  std::int64_t n = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < u'0' || text[i] > u'9') return false;
    n = n * 10 - (text[i] - u'0');
    if (n < std::numeric_limits<std::int32_t>::min()) return false;
  }
  if (!negative) {
    if (-n > std::numeric_limits<std::int32_t>::max()) return false;
    n = -n;
  }
  value = static_cast<std::int32_t>(n);
  return true;
}

std::int32_t StrToInt(std::u16string_view text) {
  std::int32_t value = 0;
  if (!TryStrToInt(text, value)) throw EConvertError(Format(kNotAnInteger, {text}));
  return value;
}

void SplitIconLocation(std::u16string_view location, std::u16string& fileName, std::int32_t& index) {
  const std::size_t comma = location.find(u',');
  if (comma == std::u16string_view::npos) {
    fileName.clear();
    index = 0;
    return;
  }
  const std::int32_t parsed = StrToInt(location.substr(comma + 1));  // may fail: outputs stay as they were
  fileName.assign(location.substr(0, comma));
  index = parsed;
}

std::u16string_view ExtractFileExt(std::u16string_view fileName) {
  for (std::size_t i = fileName.size(); i-- > 0;) {
    if (fileName[i] == u'.') return fileName.substr(i);
    if (IsPathDelimiter(fileName[i])) break;
  }
  return {};
}

bool IsAnimatedCursorFile(std::u16string_view fileName) {
  const std::u16string_view ext = ExtractFileExt(fileName);
  constexpr std::u16string_view kAni = u".ANI";
  if (ext.size() != kAni.size()) return false;
  for (std::size_t i = 0; i < ext.size(); ++i) {
    const char16_t c = ext[i] >= u'a' && ext[i] <= u'z' ? char16_t(ext[i] - u'a' + u'A') : ext[i];
    if (c != kAni[i]) return false;
  }
  return true;
}

std::u16string ExtensionProbeName(std::u16string_view extension) {
  std::u16string name = u"abcd1234";
  if (!extension.starts_with(u'.')) name += u'.';
  name += extension;
  return name;
}

TColor FindUnusedColor(std::span<const TColor> pixels) {
  std::array<int, kCandidates.size()> uses{};
  for (const TColor pixel : pixels) {
    const auto it = std::lower_bound(kCandidates.begin(), kCandidates.end(), pixel);
    if (it != kCandidates.end() && *it == pixel) ++uses[it - kCandidates.begin()];
  }
  for (std::size_t i = 0; i < kCandidates.size(); ++i) {
    if (uses[i] == 0) return kCandidates[i];
  }
  return clBtnFace;
}

// --- TIconGlyph ----------------------------------------------------------------

template <class T>
void TIconGlyph::Write(T& field, T value, bool notify) {
  if (field == value) return;
  field = std::move(value);
  if (notify) Changed();
}

void TIconGlyph::Changed() {
  if (OnChange && FUpdateCount == 0) OnChange(*this);
}

void TIconGlyph::SetUseStoredIcon(bool value) { Write(FUseStoredIcon, value, true); }
void TIconGlyph::SetIconSize(TIconSize value) { Write(FIconSize, value, true); }
void TIconGlyph::SetIconType(TIconType value) { Write(FIconType, value, true); }
void TIconGlyph::SetAutoColor(bool value) { Write(FAutoColor, value, true); }
void TIconGlyph::SetTransparentColor(TColor value) { Write(FTransparentColor, value, true); }
void TIconGlyph::SetColorProcessing(TColorProcessingType value) { Write(FColorProcessing, value, true); }

void TIconGlyph::SetStandardIcon(TStandardIconType value) {
  Write(FStandardIcon, value, FIconType == itStandard);
}

void TIconGlyph::SetFileName(std::u16string value) {
  Write(FFileName, std::move(value),
        FIconType == itFileDefault || FIconType == itFileIndex || FIconType == itExtention);
}

void TIconGlyph::SetFileInfo(std::u16string value) {
  Write(FFileInfo, std::move(value), FIconType == itFileInfo);
}

void TIconGlyph::SetIconIndex(std::int32_t value) {
  Write(FIconIndex, value,
        FIconType == itFileIndex || FIconType == itSystem || FIconType == itCursor || FIconType == itImageList);
}

void TIconGlyph::Assign(const TPersistent& source) {
  const auto* from = dynamic_cast<const TIconGlyph*>(&source);
  if (!from) return;
  BeginUpdate();
  try {
    SetUseStoredIcon(from->FUseStoredIcon);
    SetIconSize(from->FIconSize);
    SetIconType(from->FIconType);
    SetStandardIcon(from->FStandardIcon);
    SetFileInfo(from->FFileInfo);
    SetFileName(from->FFileName);
    SetIconIndex(from->FIconIndex);
    SetAutoColor(from->FAutoColor);
    SetTransparentColor(from->FTransparentColor);
    SetColorProcessing(from->FColorProcessing);
  } catch (...) {
    EndUpdate();
    Changed();
    throw;
  }
  EndUpdate();
  Changed();
}

void ResolveStandardIcon(TIconGlyph& glyph, std::u16string_view registryValue, std::u16string_view systemDir) {
  const TStandardIconInfo& info = StandardIconInfo(glyph.StandardIcon());
  if (info.Source == ssSystemIcon) return;
  if (!registryValue.empty()) {
    std::u16string fileName;
    std::int32_t index = 0;
    SplitIconLocation(registryValue, fileName, index);
    glyph.SetFileName(std::move(fileName));
    glyph.SetIconIndex(index);
  } else if (info.Source == ssShellIcons) {
    std::int32_t index = 0;
    if (!TryStrToInt(info.ValueName, index)) index = 0;
    std::u16string fileName(systemDir);
    fileName += u"\\shell32.dll";
    glyph.SetFileName(std::move(fileName));
    glyph.SetIconIndex(index);
  }
}
