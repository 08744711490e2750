// The portable half of the icon unit: what an icon description is and the
// rules that need no window. The description (TIconGlyph) tells its owner
// when a write changes what would be drawn; the Windows layer
// (win32/IconProcs.h) does the drawing.
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

#include "core/DataClasses.h"
#include "core/Errors.h"

// 0x00BBGGRR for an explicit colour, 0xFF0000nn for system colour number nn.
using TColor = std::uint32_t;

constexpr TColor clBtnFace = 0xFF00000F;
constexpr TColor clRed = 0x000000FF;
constexpr TColor clLime = 0x0000FF00;
constexpr TColor clYellow = 0x0000FFFF;
constexpr TColor clBlue = 0x00FF0000;
constexpr TColor clFuchsia = 0x00FF00FF;
constexpr TColor clAqua = 0x00FFFF00;
constexpr TColor clSilver = 0x00C0C0C0;
constexpr TColor clWhite = 0x00FFFFFF;

enum TIconSize : std::uint8_t { isSmall, isLarge };

enum TIconType : std::uint8_t {
  itFileDefault,
  itFileIndex,
  itExtention,
  itStandard,
  itSystem,
  itFileInfo,
  itCursor,
  itImageList,
};

enum TColorProcessingType : std::uint8_t { cpNone, cpAddLine, cpReplacePixel };

enum TStandardIconType : std::uint8_t {
  siApplication, siAsterisk, siExclamation, siHand, siQuestion, siWinLogo,
  siRecycleBinDefault, siRecycleBinFull, siRecycleBinEmpty,
  siUnRegFileType, siDocument, siProgram, siFolder, siOpenFolder,
  si5FloppyDrive, si3FloppyDrive, siRemovableDrive, siHardDrive,
  siNetworkDrive, siNetworkDriveX, siCDROMDrive, siRAMDrive,
  siEntireNetwork, siComputer, siWorkgroup, siSMPrograms, siSMDocuments,
  siSMSettings, siSMFind, siSMHelp, siSMRun, siSMShutdown,
  siSharedOverlay, siShortcutOverlay, siDesktop, siSMFolder, siMusicCD,
};
constexpr int kStandardIconCount = siMusicCD + 1;

// Where a standard icon comes from.
enum TStandardIconSource : std::uint8_t {
  ssSystemIcon,  // a shared system icon (SystemIconId)
  ssRecycleBin,  // a value of the recycle bin's DefaultIcon key
  ssShellIcons,  // a value of the shell's "Shell Icons" key, else shell32.dll
};

struct TStandardIconInfo {
  std::u16string_view Name;       // the value's name in code, "siComputer"
  TStandardIconSource Source;
  std::uint16_t SystemIconId;     // IDI_* for ssSystemIcon, else 0
  std::u16string_view ValueName;  // registry value; for ssShellIcons also the shell32.dll icon number
};

const TStandardIconInfo& StandardIconInfo(TStandardIconType icon);

// Under HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE respectively. Only read.
constexpr std::u16string_view kRecycleBinIconKey = u"CLSID\\{645FF040-5081-101B-9F08-00AA002F954E}\\DefaultIcon";
constexpr std::u16string_view kShellIconsKey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons";

// A registry value that cannot be read as wanted: "Invalid data type for '%s'".
class ERegistryException : public Exception { using Exception::Exception; };

// Signed decimal, nothing else: optional sign, digits, within 32 bits.
bool TryStrToInt(std::u16string_view text, std::int32_t& value);
// As TryStrToInt, failing with "'%s' is not a valid integer value".
std::int32_t StrToInt(std::u16string_view text);

// "file,index", split at the first comma; no comma gives an empty name and 0.
// A non-integer index fails with StrToInt's error.
void SplitIconLocation(std::u16string_view location, std::u16string& fileName, std::int32_t& index);

// The extension with its dot, from the last dot after the last path or drive
// delimiter; empty when there is none.
std::u16string_view ExtractFileExt(std::u16string_view fileName);
// An animated cursor file is recognised by its extension alone.
bool IsAnimatedCursorFile(std::u16string_view fileName);
// A file name the shell can look up by extension alone: "txt" and ".txt"
// both give "abcd1234.txt".
std::u16string ExtensionProbeName(std::u16string_view extension);

// The colour to use as transparent for a picture whose pixels (already mapped
// to what the device can show, 0x00BBGGRR) are given: the first of red,
// lime, yellow, silver, blue, fuchsia, aqua and white that no pixel has,
// else button face.
TColor FindUnusedColor(std::span<const TColor> pixels);

class TImageList;  // the Windows layer's image list; glyphs only refer to one

// Where an icon comes from, at which size, and how its bitmap is prepared.
// A write that changes what would be drawn calls OnChange, unless an update
// is in progress (BeginUpdate/EndUpdate). Writes made while drawing
// (FileName, IconIndex of the sources that resolve them) never notify, so a
// drawing cannot start another.
class TIconGlyph : public TPersistent {
 public:
  std::u16string_view ClassName() const override { return u"TIconGlyph"; }
  // Copies the description from another glyph (not its image lists) and then
  // notifies once, even when nothing changed. Other sources are ignored.
  void Assign(const TPersistent& source) override;

  void BeginUpdate() { ++FUpdateCount; }
  void EndUpdate() {  // never notifies
    if (FUpdateCount > 0) --FUpdateCount;
  }
  int UpdateCount() const { return FUpdateCount; }

  bool UseStoredIcon() const { return FUseStoredIcon; }
  TIconSize IconSize() const { return FIconSize; }
  TIconType IconType() const { return FIconType; }
  TStandardIconType StandardIcon() const { return FStandardIcon; }
  const std::u16string& FileInfo() const { return FFileInfo; }
  const std::u16string& FileName() const { return FFileName; }
  std::int32_t IconIndex() const { return FIconIndex; }
  bool AutoColor() const { return FAutoColor; }
  TColor TransparentColor() const { return FTransparentColor; }
  TColorProcessingType ColorProcessing() const { return FColorProcessing; }
  TImageList* ImageListLarge() const { return FImageListLarge; }
  TImageList* ImageListSmall() const { return FImageListSmall; }

  void SetUseStoredIcon(bool value);
  void SetIconSize(TIconSize value);
  void SetIconType(TIconType value);
  void SetStandardIcon(TStandardIconType value);
  void SetFileInfo(std::u16string value);
  void SetFileName(std::u16string value);
  void SetIconIndex(std::int32_t value);
  void SetAutoColor(bool value);
  void SetTransparentColor(TColor value);
  void SetColorProcessing(TColorProcessingType value);
  void SetImageListLarge(TImageList* value) { FImageListLarge = value; }
  void SetImageListSmall(TImageList* value) { FImageListSmall = value; }

  // Called with the glyph after a notifying write; set by the owning button.
  std::function<void(TIconGlyph& sender)> OnChange;

 private:
  template <class T>
  void Write(T& field, T value, bool notify);
  void Changed();

  bool FUseStoredIcon = true;
  TIconSize FIconSize = isSmall;
  TIconType FIconType = itFileDefault;
  std::u16string FFileName;
  std::u16string FFileInfo;
  std::int32_t FIconIndex = 0;
  bool FAutoColor = false;
  TColor FTransparentColor = clBtnFace;
  TColorProcessingType FColorProcessing = cpNone;
  TStandardIconType FStandardIcon = siUnRegFileType;
  int FUpdateCount = 0;
  TImageList* FImageListSmall = nullptr;
  TImageList* FImageListLarge = nullptr;
};

// Sets FileName and IconIndex of a glyph for its standard icon (6 and above)
// from the registry value read for it (empty when the key or value is
// missing): a non-empty value is an icon location; an empty one gives
// shell32.dll in systemDir for the shell icons and leaves the recycle bin
// icons as they were.
void ResolveStandardIcon(TIconGlyph& glyph, std::u16string_view registryValue, std::u16string_view systemDir);
