// Drawing icons with the real shell: shell32.dll of the system, the shell's
// system image list, the registry, and small icon and cursor files of our own.
#include "win32/IconProcs.h"

#include <gtest/gtest.h>

#include <chrono>
#include <shellapi.h>

#include <cstdio>
#include <memory>

#include "IconTestSupport.h"
#include "WindowTestSupport.h"
#include "core/TextCodec.h"

using namespace icontest;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kLime = RGB(0, 255, 0), kBlue = RGB(0, 0, 255);
constexpr COLORREF kAqua = RGB(0, 255, 255), kFuchsia = RGB(255, 0, 255);

std::string U8(std::u16string_view s) { return Utf16ToUtf8(s); }

TBitmap Draw(TIconGlyph& glyph) {
  TBitmap bitmap;
  DrawToBitmap(glyph, bitmap);
  return bitmap;
}

// A glyph for icon `index` of a file.
void Describe(TIconGlyph& g, TIconType type, std::u16string fileName, int index = 0) {
  g.SetIconType(type);
  g.SetFileName(std::move(fileName));
  g.SetIconIndex(index);
}

TEST(IconProcs, ExtractedIconSizesAndColourProcessing) {
  struct Case {
    TIconSize size;
    TColorProcessingType processing;
    int width, height;
  };
  const Case cases[] = {
      {isSmall, cpNone, 16, 16},    {isSmall, cpAddLine, 16, 17}, {isSmall, cpReplacePixel, 16, 16},
      {isLarge, cpNone, 32, 32},    {isLarge, cpAddLine, 32, 33}, {isLarge, cpReplacePixel, 32, 32},
  };
  ASSERT_EQ(SystemIconSize(isSmall).cx, 16) << "the cases assume 16 and 32 pixel icons";
  ASSERT_EQ(SystemIconSize(isLarge).cx, 32);
  for (const std::u16string& file : {Shell32(), DataFile(u"red.ico")}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(U8(file) + " size " + std::to_string(c.size) + " processing " + std::to_string(c.processing));
      TIconGlyph plain, g;
      for (TIconGlyph* each : {&plain, &g}) {
        Describe(*each, itFileIndex, file, 0);
        each->SetIconSize(c.size);
        each->SetTransparentColor(kFuchsia);
      }
      g.SetColorProcessing(c.processing);
      const TBitmap icon = Draw(plain), b = Draw(g);
      ASSERT_EQ(b.Width(), c.width);
      ASSERT_EQ(b.Height(), c.height);
      EXPECT_GT(CountOther(icon, kFuchsia), c.width * c.width / 8) << "an icon was drawn";
      std::vector<COLORREF> expected = Pixels(icon);
      if (c.processing == cpAddLine) expected.insert(expected.end(), c.width, kFuchsia);
      if (c.processing == cpReplacePixel) expected[std::size_t(c.width) * (c.height - 1)] = kFuchsia;
      EXPECT_EQ(Pixels(b), expected);
    }
  }
}

TEST(IconProcs, OurIconsPixelsExactly) {
  for (TIconSize size : {isSmall, isLarge}) {
    TIconGlyph g;
    Describe(g, itFileIndex, DataFile(u"red.ico"));
    g.SetIconSize(size);
    g.SetTransparentColor(clAqua);
    const TBitmap b = Draw(g);
    const int n = b.Width();
    EXPECT_EQ(b.Pixel(0, 0), kAqua);
    EXPECT_EQ(b.Pixel(1, n - 1), kAqua);
    EXPECT_EQ(b.Pixel(n / 8, n / 8), kRed);
    EXPECT_EQ(b.Pixel(n / 2, n / 2), kBlue);
    EXPECT_EQ(b.Pixel(n - n / 8 - 1, n - n / 8 - 1), kRed);
    EXPECT_EQ(b.Pixel(n - n / 8, n - n / 8), kAqua);
  }
}

TEST(IconProcs, SystemColoursAreResolvedWhenPainted) {
  TIconGlyph g;
  Describe(g, itFileIndex, DataFile(u"red.ico"));
  EXPECT_EQ(g.TransparentColor(), clBtnFace);
  EXPECT_EQ(Draw(g).Pixel(0, 0), GetSysColor(COLOR_BTNFACE));
  g.SetTransparentColor(0xFF000005);  // window background
  EXPECT_EQ(Draw(g).Pixel(0, 0), GetSysColor(COLOR_WINDOW));
}

TEST(IconProcs, AutomaticTransparentColour) {
  struct Case {
    const char* file;
    TColor expected;
  };
  const Case cases[] = {{"red.ico", clLime}, {"seven.ico", clBtnFace}};
  for (const Case& c : cases) {
    for (TIconSize size : {isSmall, isLarge}) {
      SCOPED_TRACE(c.file);
      TIconGlyph g;
      Describe(g, itFileIndex, DataFile(Utf8ToUtf16(c.file)));
      g.SetIconSize(size);
      g.SetAutoColor(true);
      g.SetTransparentColor(clWhite);
      int changes = 0;
      g.OnChange = [&](TIconGlyph&) { ++changes; };
      const TBitmap b = Draw(g);
      EXPECT_EQ(g.TransparentColor(), c.expected);
      EXPECT_EQ(changes, 0);
      EXPECT_EQ(g.UpdateCount(), 0);
      EXPECT_EQ(b.Pixel(0, 0), ColorToRGB(c.expected));
    }
  }
  EXPECT_EQ(FindAutoColor(nullptr, isSmall), clRed);  // nothing added: all white
  EXPECT_EQ(FindUnusedColor(static_cast<const TBitmap*>(nullptr)), clBtnFace);
  TBitmap b;
  FillBitmap(b, clRed, 3, 2);
  EXPECT_EQ(Pixels(b), std::vector<COLORREF>(6, kRed));
  EXPECT_EQ(FindUnusedColor(&b), clLime);
}

TEST(IconProcs, ExtensionWithOrWithoutDotAndTheIndexItLeaves) {
  const std::u16string probe = u"abcd1234.txt";
  SHFILEINFOW info{};
  ASSERT_NE(SHGetFileInfoW(W(probe), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_USEFILEATTRIBUTES), 0u);
  std::vector<COLORREF> first;
  for (const char16_t* ext : {u"txt", u".txt"}) {
    TIconGlyph g;
    Describe(g, itExtention, ext, -7);
    const TBitmap b = Draw(g);
    EXPECT_EQ(g.IconIndex(), info.iIcon) << U8(ext);
    EXPECT_EQ(g.FileName(), ext);
    EXPECT_EQ(b.Width(), 16);
    EXPECT_GT(CountOther(b, GetSysColor(COLOR_BTNFACE)), 0);
    if (first.empty()) first = Pixels(b);
    else EXPECT_EQ(Pixels(b), first);
  }
}

TEST(IconProcs, FileDefaultDrawsTheShellsIconAndKeepsTheIndex) {
  TIconGlyph entry0;
  entry0.SetIconType(itSystem);
  entry0.SetIconIndex(0);
  const TBitmap expected = Draw(entry0);
  EXPECT_GT(CountOther(expected, GetSysColor(COLOR_BTNFACE)), 0);

  TIconGlyph g;
  Describe(g, itFileDefault, u"C:\\no such folder\\missing.exe", 7);
  const TBitmap missing = Draw(g);
  EXPECT_EQ(g.IconIndex(), 7);
  EXPECT_EQ(Pixels(missing), Pixels(expected));  // entry 0 of the system image list

  g.SetFileName(Shell32());
  g.SetIconSize(isLarge);
  const TBitmap dll = Draw(g);
  EXPECT_EQ(g.IconIndex(), 7);
  EXPECT_EQ(dll.Width(), 32);
  EXPECT_GT(CountOther(dll, GetSysColor(COLOR_BTNFACE)), 0);
}

TEST(IconProcs, NegativeOrMissingIndexDrawsOnlyTheTransparentColour) {
  TImageList small(16, 16), large(32, 32);
  UniqueIcon icon(static_cast<HICON>(LoadImageW(nullptr, W(DataFile(u"red.ico")), IMAGE_ICON, 16, 16, LR_LOADFROMFILE)));
  ASSERT_TRUE(icon);
  small.AddIcon(icon.Get());
  large.AddIcon(icon.Get());
  struct Case {
    const char* what;
    TIconType type;
    std::u16string fileName;
    int index;
    int width, height;
  };
  const Case cases[] = {
      {"file, negative index", itFileIndex, Shell32(), -3, 16, 17},
      {"file, no such icon", itFileIndex, Shell32(), 100000, 16, 17},
      {"missing file", itFileIndex, u"C:\\no\\such.dll", 0, 16, 17},
      {"animated cursor, negative frame", itFileIndex, DataFile(u"steps.ani"), -1, 16, 17},
      {"animated cursor, past the last frame", itFileIndex, DataFile(u"steps.ani"), 3, 16, 17},
      {"system image list, negative", itSystem, u"", -1, 16, 17},
      {"system image list, past the end", itSystem, u"", 1000000, 16, 17},
      {"owner's list, negative", itImageList, u"", -1, 16, 17},
      {"owner's list, past the end", itImageList, u"", 1, 16, 17},
  };
  for (const Case& c : cases) {
    TIconGlyph g;
    Describe(g, c.type, c.fileName, c.index);
    g.SetImageListSmall(&small);
    g.SetImageListLarge(&large);
    g.SetTransparentColor(clFuchsia);
    g.SetColorProcessing(cpAddLine);
    TBitmap b;
    b.SetSize(3, 3);
    DrawToBitmap(g, b);
    EXPECT_EQ(b.Width(), c.width) << c.what;
    EXPECT_EQ(b.Height(), c.height) << c.what;
    EXPECT_EQ(CountOther(b, kFuchsia), 0) << c.what;
  }
  // The location string form of a negative index.
  TIconGlyph g;
  g.SetIconType(itFileInfo);
  g.SetFileInfo(Shell32() + u",-3");
  EXPECT_EQ(CountOther(Draw(g), GetSysColor(COLOR_BTNFACE)), 0);
  EXPECT_EQ(g.IconIndex(), -3);
}

TEST(IconProcs, FileInfoWritesBackFileNameAndIndex) {
  TIconGlyph byIndex;
  Describe(byIndex, itFileIndex, Shell32(), 4);
  TIconGlyph g;
  g.SetIconType(itFileInfo);
  g.SetFileInfo(Shell32() + u",4");
  int changes = 0;
  g.OnChange = [&](TIconGlyph&) { ++changes; };
  const TBitmap b = Draw(g);
  EXPECT_EQ(g.FileName(), Shell32());
  EXPECT_EQ(g.IconIndex(), 4);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(Pixels(b), Pixels(Draw(byIndex)));

  g.SetFileInfo(u"C:\\My,Files\\app.exe,2");
  TBitmap kept;
  kept.Assign(b);
  try {
    DrawToBitmap(g, kept);
    ADD_FAILURE() << "a bad location was drawn";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'Files\\app.exe,2' is not a valid integer value");
  }
  EXPECT_EQ(Pixels(kept), Pixels(b));
  EXPECT_EQ(g.FileName(), Shell32());
}

TEST(IconProcs, NoSourceLeavesTheTargetAlone) {
  TImageList list;
  struct Case {
    const char* what;
    TIconType type;
    TImageList *small, *large;
  };
  const Case cases[] = {
      {"file default without a name", itFileDefault, nullptr, nullptr},
      {"file index without a name", itFileIndex, nullptr, nullptr},
      {"extension without a name", itExtention, nullptr, nullptr},
      {"file info without a location", itFileInfo, nullptr, nullptr},
      {"no small list", itImageList, nullptr, &list},
      {"no large list", itImageList, &list, nullptr},
  };
  for (const Case& c : cases) {
    TIconGlyph g;
    g.SetIconType(c.type);
    g.SetFileName(c.type == itFileInfo ? Shell32() : u"");
    g.SetImageListSmall(c.small);
    g.SetImageListLarge(c.large);
    TBitmap b;
    FillBitmap(b, clBlue, 5, 3);
    DrawToBitmap(g, b);
    EXPECT_EQ(b.Width(), 5) << c.what;
    EXPECT_EQ(Pixels(b), std::vector<COLORREF>(15, kBlue)) << c.what;
  }
}

TEST(IconProcs, AnimatedCursorFrames) {
  {
    UniqueCursor ani(LoadCursorFromFileW(W(DataFile(u"steps.ani"))));
    ASSERT_TRUE(ani);
    EXPECT_EQ(CountAnimationFrames(ani.Get()), 3);
    UniqueCursor still(LoadCursorFromFileW(W(DataFile(u"lime.cur"))));
    ASSERT_TRUE(still);
    EXPECT_EQ(CountAnimationFrames(still.Get()), 1);  // draws at every step: one picture
    EXPECT_EQ(CountAnimationFrames(nullptr), 0);
  }
  const COLORREF frames[] = {kRed, kLime, kBlue};
  for (int frame = 0; frame < 3; ++frame) {
    for (const char16_t* name : {u"steps.ani", u"STEPS.ANI"}) {
      TIconGlyph g;
      Describe(g, itFileIndex, DataFile(name), frame);
      g.SetIconSize(isLarge);
      const TBitmap b = Draw(g);
      EXPECT_EQ(b.Width(), 32);
      EXPECT_EQ(b.Pixel(16, 16), frames[frame]) << "frame " << frame;
      EXPECT_EQ(b.Pixel(0, 0), GetSysColor(COLOR_BTNFACE));
    }
  }
}

TEST(IconProcs, StandardIcons) {
  TIconGlyph byIndex;
  Describe(byIndex, itFileIndex, Shell32(), 15);
  HKEY probe = nullptr;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, W(std::u16string(kShellIconsKey)), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
    RegCloseKey(probe);
    GTEST_SKIP() << "this system overrides the shell icons";
  }
  TIconGlyph g;
  g.SetIconType(itStandard);
  g.SetStandardIcon(siComputer);
  const TBitmap computer = Draw(g);
  EXPECT_EQ(g.FileName(), Shell32());
  EXPECT_EQ(g.IconIndex(), 15);
  EXPECT_EQ(Pixels(computer), Pixels(Draw(byIndex)));

  // System icons come from LoadIcon and leave the description alone.
  g.SetStandardIcon(siQuestion);
  g.SetFileName(u"x");
  g.SetIconIndex(0);
  const TBitmap question = Draw(g);
  EXPECT_EQ(question.Width(), 16);
  EXPECT_GT(CountOther(question, GetSysColor(COLOR_BTNFACE)), 10);
  EXPECT_EQ(g.FileName(), u"x");
}

TEST(IconProcs, RecycleBinIconFromTheRegistry) {
  HKEY opened = nullptr;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CLASSES_ROOT, W(std::u16string(kRecycleBinIconKey)), 0, KEY_READ, &opened),
            ERROR_SUCCESS);
  wchar_t value[1024] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  RegQueryValueExW(opened, L"", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
  RegCloseKey(opened);
  std::u16string fileName;
  std::int32_t index = 0;
  SplitIconLocation(U16(value), fileName, index);

  TIconGlyph g;
  g.SetIconType(itStandard);
  g.SetStandardIcon(siRecycleBinDefault);
  const TBitmap b = Draw(g);
  EXPECT_EQ(g.FileName(), fileName);
  EXPECT_EQ(g.IconIndex(), index);
  // Also where the shell names it by a negative resource identifier.
  EXPECT_GT(CountOther(b, GetSysColor(COLOR_BTNFACE)), 10) << U8(U16(value));

  // A value the key lacks keeps the glyph's own file and index.
  g.SetStandardIcon(siRecycleBinFull);
  g.SetFileName(DataFile(u"red.ico"));
  g.SetIconIndex(0);
  const TBitmap full = Draw(g);
  EXPECT_EQ(g.FileName(), DataFile(u"red.ico"));
  EXPECT_EQ(full.Pixel(8, 8), kBlue);
}

// Writes the shell's "Shell Icons" key for one test and removes it after;
// only on a system that has no such key of its own.
class ShellIconsOverride : public testing::Test {
 protected:
  void SetUp() override {
    HKEY probe = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, Key(), 0, KEY_READ, &probe) == ERROR_SUCCESS) {
      RegCloseKey(probe);
      GTEST_SKIP() << "this system has its own shell icon overrides";
    }
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, Key(), 0, nullptr, 0, KEY_WRITE, nullptr, &FKey, nullptr) !=
        ERROR_SUCCESS)
      GTEST_SKIP() << "no right to write the shell icon overrides";
  }
  void TearDown() override {
    if (!FKey) return;
    RegCloseKey(FKey);
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, Key());
  }
  static const wchar_t* Key() { return L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Icons"; }
  void Set(const wchar_t* name, DWORD type, const std::wstring& text) {
    RegSetValueExW(FKey, name, 0, type, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  }
  HKEY FKey = nullptr;
};

TEST_F(ShellIconsOverride, AnOverrideIsUsedAndABadOneReported) {
  TIconGlyph g;
  g.SetIconType(itStandard);
  g.SetStandardIcon(siComputer);
  Set(L"15", REG_SZ, WStr(DataFile(u"red.ico")) + L",0");
  EXPECT_EQ(Draw(g).Pixel(8, 8), kBlue);
  EXPECT_EQ(g.FileName(), DataFile(u"red.ico"));

  SetEnvironmentVariableW(L"DORVANE_ICON_TEST", WStr(DataFile(u"")).c_str());
  Set(L"15", REG_EXPAND_SZ, L"%DORVANE_ICON_TEST%seven.ico,0");
  EXPECT_EQ(Draw(g).Pixel(0, 8), kRed);
  EXPECT_EQ(g.FileName(), DataFile(u"seven.ico"));

  g.SetStandardIcon(siFolder);  // its value "3" is missing: shell32.dll
  Draw(g);
  EXPECT_EQ(g.FileName(), Shell32());
  EXPECT_EQ(g.IconIndex(), 3);

  Set(L"3", REG_SZ, L"folder.ico,three");
  try {
    Draw(g);
    ADD_FAILURE() << "a bad index was accepted";
  } catch (const EConvertError& e) {
    EXPECT_STREQ(e.what(), "'three' is not a valid integer value");
  }
  const DWORD number = 3;
  RegSetValueExW(FKey, L"3", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
  try {
    Draw(g);
    ADD_FAILURE() << "a number was read as a location";
  } catch (const ERegistryException& e) {
    EXPECT_STREQ(e.what(), "Invalid data type for '3'");
  }
}

TEST(IconProcs, SystemImageListIsSharedNeverDestroyed) {
  SHFILEINFOW info{};
  const auto shell = reinterpret_cast<HIMAGELIST>(
      SHGetFileInfoW(L"", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
  ASSERT_NE(shell, nullptr);
  const int count = ImageList_GetImageCount(shell);
  ASSERT_GT(count, 0);
  {
    TImageList list(48, 48);
    AssignSystemImageList(list, isSmall);
    EXPECT_EQ(list.Handle(), shell);
    EXPECT_TRUE(list.ShareImages());
    EXPECT_EQ(list.Width(), 16);
    EXPECT_EQ(list.AddIcon(LoadIconW(nullptr, IDI_APPLICATION)), -1);  // not ours to change
    SetSystemIconSize(list, isLarge);  // lets go of the shared list
    EXPECT_EQ(list.Handle(), nullptr);
    EXPECT_EQ(list.Width(), 32);
  }
  EXPECT_EQ(ImageList_GetImageCount(shell), count);
  int cx = 0, cy = 0;
  EXPECT_TRUE(ImageList_GetIconSize(shell, &cx, &cy));
  EXPECT_EQ(cx, 16);

  TImageList own;
  own.AddIcon(LoadIconW(nullptr, IDI_APPLICATION));
  EXPECT_EQ(own.Count(), 1);
  SetSystemIconSize(own, isSmall);  // 16 already: kept
  EXPECT_EQ(own.Count(), 1);
  SetSystemIconSize(own, isLarge);  // a new size empties it
  EXPECT_EQ(own.Count(), 0);
}

TEST(IconProcs, CursorsAndOwnerImageLists) {
  TIconGlyph g;
  g.SetIconType(itCursor);
  g.SetIconIndex(0);
  const TBitmap arrow = Draw(g);
  EXPECT_EQ(arrow.Width(), 16);
  EXPECT_GT(CountOther(arrow, GetSysColor(COLOR_BTNFACE)), 5);
  g.SetIconIndex(-3);  // the cross
  EXPECT_NE(Pixels(Draw(g)), Pixels(arrow));
  g.SetIconIndex(4711);  // not in the table: the default cursor
  EXPECT_EQ(Pixels(Draw(g)), Pixels(arrow));
  g.SetIconSize(isLarge);
  EXPECT_EQ(Draw(g).Width(), 32);

  TImageList small(16, 16), large(24, 24);
  UniqueIcon red(static_cast<HICON>(LoadImageW(nullptr, W(DataFile(u"red.ico")), IMAGE_ICON, 0, 0,
                                               LR_LOADFROMFILE | LR_DEFAULTSIZE)));
  UniqueIcon lime(LoadCursorFromFileW(W(DataFile(u"lime.cur"))));
  small.AddIcon(red.Get());
  large.AddIcon(lime.Get());
  large.AddIcon(red.Get());
  TIconGlyph o;
  o.SetIconType(itImageList);
  o.SetImageListSmall(&small);
  o.SetImageListLarge(&large);
  EXPECT_EQ(Draw(o).Pixel(8, 8), kBlue);
  o.SetIconSize(isLarge);
  const TBitmap b = Draw(o);
  EXPECT_EQ(b.Width(), 24);  // the list's own size
  EXPECT_EQ(b.Pixel(12, 12), kLime);
  o.SetIconIndex(1);
  EXPECT_EQ(Draw(o).Pixel(12, 12), kBlue);
}

// Images are drawn straight from their list; they must come out as the
// list's icon drawn over the transparent colour does, alpha and mask alike:
// the shell's own images (alpha), masked icons and a plain bitmap.
TEST(IconProcs, ListImagesDrawAsTheirIconsWould) {
  TImageList own(16, 16), shell;
  AssignSystemImageList(shell, isSmall, 96);
  ASSERT_EQ(shell.Width(), 16);
  UniqueIcon red(static_cast<HICON>(LoadImageW(nullptr, W(DataFile(u"red.ico")), IMAGE_ICON, 16, 16, LR_LOADFROMFILE)));
  ASSERT_EQ(own.AddIcon(red.Get()), 0);
  ASSERT_EQ(own.AddIcon(UniqueIcon(shell.GetIcon(0)).Get()), 1);
  UniqueIcon lime(LoadCursorFromFileW(W(DataFile(u"lime.cur"))));
  ASSERT_EQ(own.AddIcon(lime.Get()), 2);
  TBitmap plain;
  FillBitmap(plain, TColor(RGB(0, 0, 128)), 16, 16);
  ASSERT_EQ(own.AddBitmap(plain), 3);
  for (const bool fromShell : {true, false}) {
    const TImageList& list = fromShell ? shell : own;
    for (int index = 0; index < std::min(list.Count(), 6); ++index) {
      TIconGlyph g;
      g.SetIconType(fromShell ? itSystem : itImageList);
      g.SetImageListSmall(&own);
      g.SetImageListLarge(&own);
      g.SetIconIndex(index);
      g.SetTransparentColor(clFuchsia);
      TBitmap expected;
      FillBitmap(expected, clFuchsia, 16, 16);
      {
        const UniqueIcon icon = list.GetIcon(index);
        const TBitmapCanvas canvas(expected);
        DrawIconEx(canvas.DC(), 0, 0, icon.Get(), 16, 16, 0, nullptr, DI_NORMAL);
      }
      const TBitmap drawn = Draw(g);
      // The list's blend and the icon's round half-covered edges apart by
      // one step of 255; a lost mask or alpha is far more.
      const std::vector<COLORREF> a = Pixels(drawn, 16, 16), b = Pixels(expected);
      int worst = 0;
      for (std::size_t i = 0; i < a.size(); ++i)
        for (const int shift : {0, 8, 16})
          worst = std::max(worst, std::abs(int((a[i] >> shift) & 0xFF) - int((b[i] >> shift) & 0xFF)));
      EXPECT_LE(worst, 1) << (fromShell ? "shell " : "own ") << index;
      EXPECT_GT(CountOther(drawn, RGB(255, 0, 255)), 0) << (fromShell ? "shell " : "own ") << index;
    }
  }
}

TEST(IconProcs, LongFileNames) {
  const TTempFolder temp(L"dorvane-icons");
  std::wstring dir = temp.Path().substr(0, temp.Path().size() - 1);
  for (int i = 0; i < 3; ++i) {
    dir += L"\\" + std::wstring(90, wchar_t(L'k' + i));
    CreateDirectoryW(ExtendedPath(dir).c_str(), nullptr);
  }
  for (const wchar_t* name : {L"red.ico", L"steps.ani"}) {
    const std::wstring copy = dir + L"\\" + name;
    ASSERT_GT(copy.size(), 300u);
    ASSERT_TRUE(CopyFileW(WStr(DataFile(U16(name))).c_str(), ExtendedPath(copy).c_str(), FALSE));
    TIconGlyph g;
    Describe(g, itFileIndex, U16(copy), 0);
    EXPECT_EQ(Draw(g).Pixel(8, 8), std::wstring(name) == L"red.ico" ? kBlue : kRed) << "long " << U8(U16(name));
  }
}

// Thousands of drawings from every source leave the process with as many
// GDI and USER objects as before.
TEST(IconProcs, DrawingLeaksNoObjects) {
  TImageList small(16, 16), large(32, 32);
  {
    UniqueIcon red(static_cast<HICON>(LoadImageW(nullptr, W(DataFile(u"red.ico")), IMAGE_ICON, 0, 0,
                                                 LR_LOADFROMFILE | LR_DEFAULTSIZE)));
    small.AddIcon(red.Get());
    large.AddIcon(red.Get());
  }
  std::vector<std::unique_ptr<TIconGlyph>> glyphs;
  auto add = [&](TIconType type, std::u16string fileName, int index) -> TIconGlyph& {
    glyphs.push_back(std::make_unique<TIconGlyph>());
    TIconGlyph& g = *glyphs.back();
    Describe(g, type, std::move(fileName), index);
    g.SetImageListSmall(&small);
    g.SetImageListLarge(&large);
    g.SetColorProcessing(cpAddLine);
    return g;
  };
  add(itFileDefault, Shell32(), 0);
  add(itFileDefault, u"C:\\missing.exe", 0);
  add(itFileIndex, Shell32(), 3).SetAutoColor(true);
  add(itFileIndex, DataFile(u"red.ico"), 0).SetIconSize(isLarge);
  add(itFileIndex, DataFile(u"steps.ani"), 1);
  add(itFileIndex, u"C:\\missing.ico", 0);
  add(itExtention, u"txt", 0);
  add(itStandard, u"", 0).SetStandardIcon(siComputer);
  add(itStandard, u"", 0).SetStandardIcon(siHand);
  add(itStandard, u"", 0).SetStandardIcon(siRecycleBinDefault);
  add(itSystem, u"", 2);
  add(itFileInfo, u"", 0).SetFileInfo(Shell32() + u",5");
  add(itCursor, u"", -21).SetAutoColor(true);
  add(itImageList, u"", 0).SetIconSize(isLarge);
  TBitmap target;
  auto drawAll = [&](int rounds) {
    for (int i = 0; i < rounds; ++i)
      for (auto& g : glyphs) DrawToBitmap(*g, target);
  };
  drawAll(3);  // the shared system icons and lists come into being once
  const int gdi = CountGuiObjects(GuiObjects::Gdi), user = CountGuiObjects(GuiObjects::User);
  ASSERT_GT(gdi, 0);
  ASSERT_GT(user, 0);
  drawAll(250);
  const int gdiAfter = CountGuiObjects(GuiObjects::Gdi), userAfter = CountGuiObjects(GuiObjects::User);
  std::printf("GUI objects after %d drawings: GDI %d -> %d, USER %d -> %d\n", int(glyphs.size()) * 250, gdi,
              gdiAfter, user, userAfter);
  EXPECT_EQ(gdiAfter, gdi);
  EXPECT_EQ(userAfter, user);

  // The counts do see an object that is kept.
  UniqueIcon kept(CopyIcon(LoadIconW(nullptr, IDI_HAND)));
  UniqueBrush brush(CreateSolidBrush(kRed));
  EXPECT_GT(CountGuiObjects(GuiObjects::User), userAfter);
  EXPECT_GT(CountGuiObjects(GuiObjects::Gdi), gdiAfter);
}

}  // namespace

namespace {

HANDLE gShellAnswers = nullptr;

DWORD WINAPI HungShellCall(void*) {
  WaitForSingleObject(gShellAnswers, INFINITE);
  return 0;
}

}  // namespace

TEST(ShellIconWarmUp, AHungShellCallHoldsTheExitOnlyABoundedTime) {
  UniqueHandle answers(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  gShellAnswers = answers.Get();
  const auto start = std::chrono::steady_clock::now();
  { const TShellIconWarmUp warmUp(HungShellCall); }
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(TShellIconWarmUp::kWaitLimit - 50));
  EXPECT_LT(waited, std::chrono::milliseconds(TShellIconWarmUp::kWaitLimit + 2000));
  SetEvent(answers.Get());
}
