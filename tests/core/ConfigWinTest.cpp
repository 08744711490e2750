#include "core/ConfigWin.h"

#include <gtest/gtest.h>

TEST(ConfigRules, DropTable) {
  struct Case {
    bool DraggedIsEntry, TargetIsEntry, Itself;
    TDropEffect Effect;
  } cases[] = {
      {true, true, false, TDropEffect::deAppBefore},    {true, false, false, TDropEffect::deAppAsLast},
      {false, false, false, TDropEffect::deGroupBefore}, {false, true, false, TDropEffect::deRefuse},
      {true, true, true, TDropEffect::deNone},          {false, false, true, TDropEffect::deNone},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DropEffectFor(c.DraggedIsEntry, c.TargetIsEntry, c.Itself), c.Effect)
        << c.DraggedIsEntry << c.TargetIsEntry << c.Itself;
}

TEST(ConfigRules, ListCodesReadStrictlyAndWriteALetter) {
  for (auto [code, item] : {std::pair{u"Y", 1}, {u"O", 2}, {u"N", 0}, {u"y", 0}, {u"", 0}, {u"YES", 0}})
    EXPECT_EQ(DialogTypeItem(code), item);
  for (auto [code, item] : {std::pair{u"M", 1}, {u"X", 2}, {u"N", 0}, {u"x", 0}, {u"", 0}})
    EXPECT_EQ(WindowStateItem(code), item);
  EXPECT_EQ(DialogTypeCode(0) + DialogTypeCode(1) + DialogTypeCode(2) + DialogTypeCode(-1), u"NYON");
  EXPECT_EQ(WindowStateCode(0) + WindowStateCode(1) + WindowStateCode(2) + WindowStateCode(-1), u"NMXN");
}

TEST(ConfigRules, IconLocationsAndFolders) {
  EXPECT_EQ(IconLocationFor(u"C:\\Windows\\SHELL32.DLL", 12), u"C:\\Windows\\SHELL32.DLL,12");
  EXPECT_EQ(IconLocationFor(u"c:\\tools\\app.exe", 0), u"c:\\tools\\app.exe,0");
  EXPECT_EQ(IconLocationFor(u"D:\\a.Ico", 3), u"D:\\a.Ico,3");
  for (const char16_t* other : {u"C:\\c.ani", u"C:\\c.cur", u"C:\\notes.txt", u"", u"C:\\exe"})
    EXPECT_EQ(IconLocationFor(other, 2), u"") << std::u16string(other).size();
  EXPECT_EQ(CommandFolder(u"C:\\Tools\\app.exe"), u"C:\\Tools\\");
  EXPECT_EQ(CommandFolder(u"D:app.exe"), u"D:");
  EXPECT_EQ(CommandFolder(u"notepad.exe"), u"");
}

TEST(ConfigRules, StoreTreeCopiesInTreeOrderAndDeletePrompts) {
  TSkiffData settings;
  TGroupItem& a = settings.Groups.Add();
  a.Name = u"A";
  TAppItem& one = a.Apps.Add();
  one.Title = u"one";
  one.IconLocation = u"x.dll,3";
  TGroupItem& b = settings.Groups.Add();
  b.Name = u"B";
  StoreTree({{&b, {&one}}, {&a, {}}}, settings);
  ASSERT_EQ(settings.Groups.Count(), 2);
  EXPECT_EQ(settings.Groups[0].Name, u"B");
  ASSERT_EQ(settings.Groups[0].Apps.Count(), 1);
  EXPECT_EQ(settings.Groups[0].Apps[0].IconLocation, u"x.dll,3");
  EXPECT_EQ(settings.Groups[1].Apps.Count(), 0);

  EXPECT_EQ(DeletePrompt(&settings.Groups[0].Apps[0], settings.Groups[0]),
            u"Are you sure you want to delete the application \"one\"?");
  EXPECT_EQ(DeletePrompt(nullptr, settings.Groups[1]),
            u"Are you sure you want to delete the group \"A\" and all it's applications?");
}
