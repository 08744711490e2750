#include "core/DataClasses.h"

#include <gtest/gtest.h>

#include "core/Errors.h"

namespace {

TAppItem& FilledApp(TAppCollection& apps, const std::u16string& tag) {
  TAppItem& a = apps.Add();
  a.Title = u"Title " + tag;
  a.Command = u"Command " + tag;
  a.Parameters = u"Parameters " + tag;
  a.Directory = u"Directory " + tag;
  a.MinimizeOnRun = true;
  a.WindowState = u"M";
  a.DialogType = u"Y";
  a.DialogText = u"DialogText " + tag;
  a.IconLocation = u"IconLocation " + tag;
  a.Hint = u"Hint " + tag;
  a.IgnoreAccessDenied = true;
  return a;
}

bool SameApp(const TAppItem& a, const TAppItem& b) {
  return a.Title == b.Title && a.Command == b.Command && a.Parameters == b.Parameters &&
         a.Directory == b.Directory && a.MinimizeOnRun == b.MinimizeOnRun &&
         a.WindowState == b.WindowState && a.DialogType == b.DialogType &&
         a.DialogText == b.DialogText && a.IconLocation == b.IconLocation && a.Hint == b.Hint &&
         a.IgnoreAccessDenied == b.IgnoreAccessDenied;
}

std::string AssignError(TPersistent& target, const TPersistent& source) {
  try {
    target.Assign(source);
    return "";
  } catch (const EConvertError& e) {
    return e.what();
  }
}

TEST(DataClasses, PublishedPropertiesInFileOrder) {
  auto names = [](const TPersistent& o) {
    std::string s;
    for (const TPropInfo& p : o.Properties()) s += std::string(p.Name) + " ";
    return s;
  };
  TSkiffData data;
  EXPECT_EQ(names(data),
            "DoFlatButtons HideProgMan ShowInfo ProgramAsHint BottomStr HideTaskBar DisableMinimize "
            "DisableExplorer DisableDesktop DisableClose BtnSize Drives DoubleClickTime ExpStartDir "
            "ExpRoot TextOnTop BootDir VertBarLineBreak BeforeScreenSaverCommand "
            "BeforeScreenSaverParameters Groups BlockShellKeys ");
  TGroupItem& g = data.Groups.Add();
  EXPECT_EQ(names(g), "Name Apps ");
  EXPECT_EQ(names(g.Apps.Add()),
            "Title Command Parameters Directory MinimizeOnRun WindowState DialogType DialogText "
            "IconLocation Hint IgnoreAccessDenied ");
  EXPECT_EQ(FindProperty(data, "btnsize")->Kind, TPropKind::Integer);
  EXPECT_EQ(FindProperty(data, "Btn"), nullptr);
}

TEST(DataClasses, AppCopyTakesAllElevenPropertiesButNotTheImageIndex) {
  TAppCollection apps;
  const TAppItem& source = FilledApp(apps, u"s");
  TAppItem& target = apps.Add();
  target.ImageIndex = 7;
  target.Assign(source);
  EXPECT_TRUE(SameApp(target, source));
  EXPECT_EQ(target.ImageIndex, 7);
  EXPECT_EQ(target.Index(), 1);
}

TEST(DataClasses, GroupCopyOwnsItsOwnEntries) {
  TSkiffData data;
  TGroupItem& a = data.Groups.Add();
  a.Name = u"A";
  FilledApp(a.Apps, u"1");
  FilledApp(a.Apps, u"2");
  TGroupItem& b = data.Groups.Add();
  FilledApp(b.Apps, u"old");
  b.Assign(a);
  EXPECT_EQ(b.Name, u"A");
  ASSERT_EQ(b.Apps.Count(), 2);
  EXPECT_TRUE(SameApp(b.Apps[1], a.Apps[1]));
  EXPECT_EQ(b.Apps[0].ImageIndex, -1);
  a.Apps[0].Title = u"changed";
  data.Groups.Delete(0);  // destroys a and its entries
  ASSERT_EQ(data.Groups.Count(), 1);
  EXPECT_EQ(data.Groups[0].Apps[0].Title, u"Title 1");
}

TEST(DataClasses, CopyingAcrossClassesFailsAndChangesNothing) {
  TSkiffData data;
  TGroupItem& g = data.Groups.Add();
  g.Name = u"keep";
  TAppItem& app = FilledApp(g.Apps, u"x");
  TSkiffData other;
  TAppCollection apps;
  EXPECT_EQ(AssignError(app, g), "Cannot assign a TGroupItem to a TAppItem");
  EXPECT_EQ(AssignError(g, app), "Cannot assign a TAppItem to a TGroupItem");
  EXPECT_EQ(AssignError(data, other), "Cannot assign a TSkiffData to a TSkiffData");
  EXPECT_EQ(AssignError(data.Groups, apps), "Cannot assign a TAppCollection to a TGroupCollection");
  EXPECT_EQ(g.Name, u"keep");
  EXPECT_EQ(data.Groups.Count(), 1);
  EXPECT_EQ(app.Title, u"Title x");
}

TEST(DataClasses, CollectionCopyReplacesItemsInOrder) {
  TGroupCollection source, target;
  for (const char16_t* n : {u"one", u"two", u"three"}) source.Add().Name = n;
  FilledApp(source[2].Apps, u"deep");
  target.Add().Name = u"gone";
  target.Assign(source);
  ASSERT_EQ(target.Count(), 3);
  EXPECT_EQ(target[0].Name, u"one");
  EXPECT_EQ(target[2].Name, u"three");
  ASSERT_EQ(target[2].Apps.Count(), 1);
  EXPECT_NE(&target[2].Apps[0], &source[2].Apps[0]);
  target.Assign(target);  // copying onto itself keeps everything
  EXPECT_EQ(target.Count(), 3);
  target.Clear();
  EXPECT_EQ(target.Count(), 0);
}

}  // namespace
