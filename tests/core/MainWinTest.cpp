#include "core/MainWin.h"

#include <gtest/gtest.h>

namespace {

TEST(MainWin, VersionTestsOnATableOfVersionRecords) {
  struct Case {
    TOsVersion v;
    bool canLock, toggleBlocked;
  };
  const Case cases[] = {
      {{false, 4, 10}, false, false},  // consumer family
      {{true, 4, 0}, false, false},   {{true, 5, 0}, true, false}, {{true, 5, 1}, true, true},
      {{true, 5, 2}, true, true},     {{true, 6, 0}, true, false}, {{true, 6, 1}, true, true},
      {{true, 10, 0}, true, false},   // the minor version alone decides past 5
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CanLockWorkstation(c.v), c.canLock) << c.v.Major << "." << c.v.Minor;
    EXPECT_EQ(DesktopToggleBlocked(c.v), c.toggleBlocked) << c.v.Major << "." << c.v.Minor;
  }
}

TEST(MainWin, OptionsDecideWhichCommandsAreOffered) {
  TSkiffData s;
  TActionStates a = ActionStatesFor(s, {true, 6, 1});
  EXPECT_TRUE(a.ExplorerEnabled);
  EXPECT_TRUE(a.DesktopEnabled);
  EXPECT_TRUE(a.LockVisible);
  EXPECT_FALSE(a.DesktopButtonVisible);
  EXPECT_EQ(a.RightToolBarWidth, 46);
  s.DisableExplorer = s.DisableDesktop = true;
  a = ActionStatesFor(s, {false, 4, 90});
  EXPECT_FALSE(a.ExplorerEnabled);
  EXPECT_FALSE(a.DesktopEnabled);
  EXPECT_FALSE(a.LockVisible);
  EXPECT_TRUE(a.DesktopButtonVisible);
  EXPECT_EQ(a.RightToolBarWidth, 23);
}

TEST(MainWin, DesktopToggleLook) {
  EXPECT_EQ(DesktopActionLook(true).ImageIndex, 1);
  EXPECT_EQ(DesktopActionLook(true).Hint, u"Show the Desktop Icons");
  EXPECT_EQ(DesktopActionLook(false).ImageIndex, 0);
  EXPECT_EQ(DesktopActionLook(false).Hint, u"Hide the Desktop Icons");
}

TEST(MainWin, ButtonSizesAndFixedHeights) {
  struct Case {
    int btnSize, width, height, aboveCaption;
  };
  const Case cases[] = {{0, 21, 22, 82}, {1, 36, 37, 97}, {2, 64, 74, 135}, {3, 21, 22, 82}, {-1, 21, 22, 82}};
  for (const Case& c : cases) {
    const TButtonSize s = ButtonSizeFor(c.btnSize);
    EXPECT_EQ(s.Width, c.width) << c.btnSize;
    EXPECT_EQ(s.Height, c.height) << c.btnSize;
    EXPECT_EQ(s.HeightAboveCaption, c.aboveCaption) << c.btnSize;
  }
}

TEST(MainWin, ExplorerParameters) {
  TSkiffData s;
  EXPECT_EQ(ExplorerParameters(s), u"/e, \"\"");
  s.ExpStartDir = u"C:\\Shared Files";
  EXPECT_EQ(ExplorerParameters(s), u"/e, \"C:\\Shared Files\"");
  s.ExpRoot = true;
  EXPECT_EQ(ExplorerParameters(s), u"/e,/root, \"C:\\Shared Files\"");
}

}  // namespace
