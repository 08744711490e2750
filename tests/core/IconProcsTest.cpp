#include "core/IconProcs.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "core/TextCodec.h"

namespace {

std::string U8(std::u16string_view s) { return Utf16ToUtf8(s); }

TEST(IconLocation, SplitsAtTheFirstComma) {
  struct Case {
    std::u16string location, fileName;
    std::int32_t index;
  };
  const Case cases[] = {
      {u"C:\\Tools\\app.exe,2", u"C:\\Tools\\app.exe", 2},
      {u"app.exe", u"", 0},
      {u"", u"", 0},
      {u",5", u"", 5},
      {u"app.exe,-3", u"app.exe", -3},
      {u"app.exe,+7", u"app.exe", 7},
      {u"\u00c5sa\\\u4e2d.dll,2147483647", u"\u00c5sa\\\u4e2d.dll", 2147483647},
      {u"x.dll,-2147483648", u"x.dll", -2147483647 - 1},
  };
  for (const Case& c : cases) {
    std::u16string fileName = u"old";
    std::int32_t index = 99;
    SplitIconLocation(c.location, fileName, index);
    EXPECT_EQ(U8(fileName), U8(c.fileName)) << U8(c.location);
    EXPECT_EQ(index, c.index) << U8(c.location);
  }
}

TEST(IconLocation, ANonIntegerIndexFailsWithTheOffendingText) {
  struct Case {
    std::u16string location;
    std::string message;
  };
  const Case cases[] = {
      {u"C:\\My,Files\\app.exe,2", "'Files\\app.exe,2' is not a valid integer value"},
      {u"app.exe,", "'' is not a valid integer value"},
      {u"app.exe, 2", "' 2' is not a valid integer value"},
      {u"app.exe,2 ", "'2 ' is not a valid integer value"},
      {u"app.exe,0x10", "'0x10' is not a valid integer value"},
      {u"app.exe,-", "'-' is not a valid integer value"},
      {u"app.exe,2147483648", "'2147483648' is not a valid integer value"},
      {u"app.exe,-2147483649", "'-2147483649' is not a valid integer value"},
      {u"app.exe,\u0663", "'\xd9\xa3' is not a valid integer value"},  // an Arabic-Indic digit is no digit here
  };
  for (const Case& c : cases) {
    std::u16string fileName = u"kept";
    std::int32_t index = 42;
    try {
      SplitIconLocation(c.location, fileName, index);
      ADD_FAILURE() << U8(c.location) << " was accepted";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.what(), c.message);
    }
    EXPECT_EQ(U8(fileName), "kept");
    EXPECT_EQ(index, 42);
  }
}

TEST(FileNames, ExtensionsAndTheAnimatedCursorTest) {
  struct Case {
    std::u16string name, ext;
    bool animated;
  };
  const Case cases[] = {
      {u"C:\\cursors\\busy.ani", u".ani", true},
      {u"BUSY.ANI", u".ANI", true},
      {u"busy.AnI", u".AnI", true},
      {u"C:\\dir.ani\\busy", u"", false},
      {u"C:busy.ani.cur", u".cur", false},
      {u"busy.anim", u".anim", false},
      {u"ani", u"", false},
      {u"d:/x.y/ani", u"", false},
      {u"", u"", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(U8(ExtractFileExt(c.name)), U8(c.ext)) << U8(c.name);
    EXPECT_EQ(IsAnimatedCursorFile(c.name), c.animated) << U8(c.name);
  }
  EXPECT_EQ(ExtensionProbeName(u"txt"), u"abcd1234.txt");
  EXPECT_EQ(ExtensionProbeName(u".txt"), u"abcd1234.txt");
  EXPECT_EQ(ExtensionProbeName(u""), u"abcd1234.");
}

TEST(AutoColor, FirstCandidateTheIconDoesNotUse) {
  struct Case {
    const char* what;
    std::vector<TColor> pixels;
    TColor expected;
  };
  const std::vector<TColor> allSeven = {clRed, clLime, clYellow, clSilver, clBlue, clFuchsia, clAqua};
  std::vector<TColor> allSevenAndWhite = allSeven;
  allSevenAndWhite.push_back(clWhite);
  const Case cases[] = {
      {"no bitmap", {}, clRed},
      {"transparent only", {clWhite, clWhite}, clRed},
      {"red but no lime", {clRed, clWhite, 0x00000000}, clLime},
      {"red and lime", {clLime, clRed}, clYellow},
      {"near colours do not count", {0x000000FE, 0x0000FE00}, clRed},
      {"silver before blue", {clRed, clLime, clYellow, clBlue}, clSilver},
      {"all seven without transparency", allSeven, clWhite},
      {"all seven with a transparent part", allSevenAndWhite, clBtnFace},
      {"a system colour value in a pixel", {clBtnFace}, clRed},
  };
  for (const Case& c : cases) EXPECT_EQ(FindUnusedColor(c.pixels), c.expected) << c.what;
}

TEST(StandardIcons, TableOrderSourcesAndValueNames) {
  EXPECT_EQ(kStandardIconCount, 37);
  for (int i = 0; i < kStandardIconCount; ++i) {
    const TStandardIconInfo& info = StandardIconInfo(TStandardIconType(i));
    const TStandardIconSource source = i <= siWinLogo ? ssSystemIcon : i <= siRecycleBinEmpty ? ssRecycleBin
                                                                                                : ssShellIcons;
    EXPECT_EQ(info.Source, source) << i;
    EXPECT_EQ(info.ValueName.empty(), i <= siRecycleBinDefault) << i;
    EXPECT_EQ(info.SystemIconId != 0, i <= siWinLogo) << i;
    std::int32_t n = 0;
    EXPECT_EQ(TryStrToInt(info.ValueName, n), i >= siUnRegFileType) << i;
  }
  struct Row {
    TStandardIconType icon;
    const char* name;
    const char* value;
    int systemId;
  };
  const Row rows[] = {
      {siApplication, "siApplication", "", 32512}, {siAsterisk, "siAsterisk", "", 32516},
      {siExclamation, "siExclamation", "", 32515}, {siHand, "siHand", "", 32513},
      {siQuestion, "siQuestion", "", 32514},       {siWinLogo, "siWinLogo", "", 32517},
      {siRecycleBinFull, "siRecycleBinFull", "Full", 0}, {siRecycleBinEmpty, "siRecycleBinEmpty", "Empty", 0},
      {siUnRegFileType, "siUnRegFileType", "0", 0}, {siNetworkDriveX, "siNetworkDriveX", "10", 0},
      {siEntireNetwork, "siEntireNetwork", "13", 0}, {siComputer, "siComputer", "15", 0},
      {siWorkgroup, "siWorkgroup", "18", 0},       {siSMShutdown, "siSMShutdown", "27", 0},
      {siDesktop, "siDesktop", "34", 0},           {siSMFolder, "siSMFolder", "36", 0},
      {siMusicCD, "siMusicCD", "40", 0},
  };
  for (const Row& r : rows) {
    const TStandardIconInfo& info = StandardIconInfo(r.icon);
    EXPECT_EQ(U8(info.Name), r.name);
    EXPECT_EQ(U8(info.ValueName), r.value) << r.name;
    EXPECT_EQ(info.SystemIconId, r.systemId) << r.name;
  }
}

TEST(StandardIcons, ResolutionFromTheRegistryValue) {
  struct Case {
    const char* what;
    TStandardIconType icon;
    std::u16string value;
    std::u16string fileName;
    std::int32_t index;
  };
  const Case cases[] = {
      {"no override", siComputer, u"", u"C:\\WINDOWS\\system32\\shell32.dll", 15},
      {"no override, first", siUnRegFileType, u"", u"C:\\WINDOWS\\system32\\shell32.dll", 0},
      {"an override", siComputer, u"D:\\icons\\pc.ico,3", u"D:\\icons\\pc.ico", 3},
      {"override without comma", siFolder, u"D:\\icons\\f.ico", u"", 0},
      {"recycle bin value", siRecycleBinFull, u"C:\\bin.dll,-33", u"C:\\bin.dll", -33},
      {"recycle bin without value keeps the old", siRecycleBinEmpty, u"", u"previous.ico", 4},
      {"system icons are not resolved", siHand, u"x.ico,1", u"previous.ico", 4},
  };
  for (const Case& c : cases) {
    TIconGlyph g;
    g.SetIconType(itStandard);
    g.SetStandardIcon(c.icon);
    g.SetFileName(u"previous.ico");
    g.SetIconIndex(4);
    int changes = 0;
    g.OnChange = [&](TIconGlyph&) { ++changes; };
    ResolveStandardIcon(g, c.value, u"C:\\WINDOWS\\system32");
    EXPECT_EQ(U8(g.FileName()), U8(c.fileName)) << c.what;
    EXPECT_EQ(g.IconIndex(), c.index) << c.what;
    EXPECT_EQ(changes, 0) << c.what;  // a drawing step never notifies
  }
  TIconGlyph g;
  g.SetStandardIcon(siDesktop);
  EXPECT_THROW(ResolveStandardIcon(g, u"shell32.dll,abc", u"C:\\W"), EConvertError);
  EXPECT_EQ(g.FileName(), u"");
}

TEST(IconGlyph, InitialValues) {
  TIconGlyph g;
  EXPECT_TRUE(g.UseStoredIcon());
  EXPECT_EQ(g.IconSize(), isSmall);
  EXPECT_EQ(g.IconType(), itFileDefault);
  EXPECT_EQ(g.StandardIcon(), siUnRegFileType);
  EXPECT_EQ(g.FileName(), u"");
  EXPECT_EQ(g.FileInfo(), u"");
  EXPECT_EQ(g.IconIndex(), 0);
  EXPECT_FALSE(g.AutoColor());
  EXPECT_EQ(g.TransparentColor(), clBtnFace);
  EXPECT_EQ(g.ColorProcessing(), cpNone);
  EXPECT_EQ(g.ImageListLarge(), nullptr);
  EXPECT_EQ(g.ImageListSmall(), nullptr);
  EXPECT_EQ(g.UpdateCount(), 0);
}

// One write to a glyph of each IconType, and whether it must notify.
TEST(IconGlyph, WhichWritesNotify) {
  using Write = void (*)(TIconGlyph&);
  struct Prop {
    const char* name;
    Write write;
    std::vector<TIconType> notifyFor;  // empty: every type
    bool never = false;
  };
  const std::vector<TIconType> all = {itFileDefault, itFileIndex, itExtention, itStandard,
                                      itSystem,      itFileInfo,  itCursor,    itImageList};
  const Prop props[] = {
      {"UseStoredIcon", [](TIconGlyph& g) { g.SetUseStoredIcon(false); }, {}},
      {"IconSize", [](TIconGlyph& g) { g.SetIconSize(isLarge); }, {}},
      {"AutoColor", [](TIconGlyph& g) { g.SetAutoColor(true); }, {}},
      {"TransparentColor", [](TIconGlyph& g) { g.SetTransparentColor(clRed); }, {}},
      {"ColorProcessing", [](TIconGlyph& g) { g.SetColorProcessing(cpAddLine); }, {}},
      {"StandardIcon", [](TIconGlyph& g) { g.SetStandardIcon(siComputer); }, {itStandard}},
      {"FileName", [](TIconGlyph& g) { g.SetFileName(u"a.exe"); }, {itFileDefault, itFileIndex, itExtention}},
      {"FileInfo", [](TIconGlyph& g) { g.SetFileInfo(u"a.exe,1"); }, {itFileInfo}},
      {"IconIndex", [](TIconGlyph& g) { g.SetIconIndex(3); }, {itFileIndex, itSystem, itCursor, itImageList}},
      {"ImageListLarge", [](TIconGlyph& g) { g.SetImageListLarge(reinterpret_cast<TImageList*>(&g)); }, {}, true},
      {"ImageListSmall", [](TIconGlyph& g) { g.SetImageListSmall(reinterpret_cast<TImageList*>(&g)); }, {}, true},
  };
  for (const Prop& p : props) {
    for (const TIconType type : all) {
      TIconGlyph g;
      g.SetIconType(type);
      int changes = 0;
      g.OnChange = [&](TIconGlyph& sender) {
        EXPECT_EQ(&sender, &g);
        ++changes;
      };
      const bool wanted = !p.never && (p.notifyFor.empty() || std::find(p.notifyFor.begin(), p.notifyFor.end(),
                                                                         type) != p.notifyFor.end());
      p.write(g);
      EXPECT_EQ(changes, wanted ? 1 : 0) << p.name << " with IconType " << int(type);
      p.write(g);  // the same value again does nothing at all
      EXPECT_EQ(changes, wanted ? 1 : 0) << p.name << " written twice, IconType " << int(type);
      g.BeginUpdate();
      g.BeginUpdate();
      TIconGlyph fresh;
      fresh.SetIconType(type);
      g.Assign(fresh);  // puts the initial value back, silently while updating
      g.EndUpdate();
      p.write(g);
      EXPECT_EQ(changes, wanted ? 1 : 0) << p.name << " inside an update";
      g.EndUpdate();
      g.EndUpdate();  // below zero is not possible
      EXPECT_EQ(g.UpdateCount(), 0);
    }
  }
}

TEST(IconGlyph, AssignCopiesTheDescriptionAndNotifiesOnce) {
  TIconGlyph source;
  source.SetUseStoredIcon(false);
  source.SetIconSize(isLarge);
  source.SetIconType(itFileInfo);
  source.SetStandardIcon(siMusicCD);
  source.SetFileInfo(u"C:\\x.dll,4");
  source.SetFileName(u"C:\\y.exe");
  source.SetIconIndex(-2);
  source.SetAutoColor(true);
  source.SetTransparentColor(clAqua);
  source.SetColorProcessing(cpReplacePixel);
  TImageList* const someList = reinterpret_cast<TImageList*>(&source);
  source.SetImageListLarge(someList);
  source.SetImageListSmall(someList);

  TIconGlyph target;
  std::vector<std::u16string> seen;  // the file name at each notification
  target.OnChange = [&](TIconGlyph& g) { seen.push_back(g.FileName()); };
  target.Assign(source);
  ASSERT_EQ(seen.size(), 1u);  // after every value was copied
  EXPECT_EQ(seen[0], u"C:\\y.exe");
  EXPECT_FALSE(target.UseStoredIcon());
  EXPECT_EQ(target.IconSize(), isLarge);
  EXPECT_EQ(target.IconType(), itFileInfo);
  EXPECT_EQ(target.StandardIcon(), siMusicCD);
  EXPECT_EQ(target.FileInfo(), u"C:\\x.dll,4");
  EXPECT_EQ(target.IconIndex(), -2);
  EXPECT_TRUE(target.AutoColor());
  EXPECT_EQ(target.TransparentColor(), clAqua);
  EXPECT_EQ(target.ColorProcessing(), cpReplacePixel);
  EXPECT_EQ(target.ImageListLarge(), nullptr);  // references are not copied
  EXPECT_EQ(target.ImageListSmall(), nullptr);

  target.Assign(source);  // nothing differs, and still one notification
  EXPECT_EQ(seen.size(), 2u);
  target.Assign(target);
  EXPECT_EQ(seen.size(), 3u);

  target.BeginUpdate();  // the caller's update holds it back
  target.Assign(TIconGlyph());
  EXPECT_EQ(seen.size(), 3u);
  EXPECT_EQ(target.UpdateCount(), 1);
  EXPECT_EQ(target.IconType(), itFileDefault);
}

TEST(IconGlyph, AssignFromAnotherKindOfObjectDoesNothing) {
  TIconGlyph g;
  g.SetFileName(u"keep.exe");
  int changes = 0;
  g.OnChange = [&](TIconGlyph&) { ++changes; };
  TSkiffData other;
  g.Assign(other);
  EXPECT_EQ(changes, 0);
  EXPECT_EQ(g.FileName(), u"keep.exe");
  EXPECT_EQ(g.UpdateCount(), 0);
}

TEST(IconGlyph, AFailingHandlerStillLeavesTheGlyphUsable) {
  TIconGlyph g;
  int calls = 0;
  g.OnChange = [&](TIconGlyph&) {
    ++calls;
    throw EConvertError("'x' is not a valid integer value");
  };
  TIconGlyph source;
  source.SetIconSize(isLarge);
  EXPECT_THROW(g.Assign(source), EConvertError);
  EXPECT_EQ(g.IconSize(), isLarge);
  EXPECT_EQ(g.UpdateCount(), 0);  // the update ended before the notification
  EXPECT_THROW(g.SetIconSize(isSmall), EConvertError);
  EXPECT_EQ(calls, 2);
}

}  // namespace
