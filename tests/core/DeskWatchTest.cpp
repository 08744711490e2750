#include "core/DeskWatch.h"

#include <gtest/gtest.h>

#include <string>

#include "core/TextCodec.h"

namespace {

TEST(DeskWatch, TakesItsOwnCommandLine) {
  struct Case {
    std::u16string line;
    bool relay;
    std::uint64_t process, mapping, parent;
  };
  const Case cases[] = {
      {u"\"C:\\Program Files\\Dorvane\\DorvaneWatch.exe\" relay 1234 88 4321", true, 1234, 88, 4321},
      {u"\"C:\\a b\\DorvaneWatch.exe\"  watch\t4 8  12 ", false, 4, 8, 12},
      {u"DorvaneWatch.exe watch 2147483647 4 4294967295", false, 2147483647, 4, 4294967295},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Utf16ToUtf8(c.line));
    TDeskWatchArgs args;
    ASSERT_TRUE(ParseDeskWatchCommand(c.line.c_str(), args));
    EXPECT_EQ(args.Relay, c.relay);
    EXPECT_EQ(args.Process, c.process);
    EXPECT_EQ(args.Mapping, c.mapping);
    EXPECT_EQ(args.ParentId, c.parent);
    // The relay turns its own line into the watcher's in place.
    EXPECT_EQ(c.line.substr(static_cast<std::size_t>(args.StageOffset), kDeskStageWordLength),
              c.relay ? kDeskRelayWord : kDeskWatchWord);
  }
}

TEST(DeskWatch, RefusesAnyOtherCommandLine) {
  const std::u16string lines[] = {
      // The switch of older copies, other words, a word that only begins right.
      u"DorvaneWatch.exe --desk-watch 4 8",
      u"DorvaneWatch.exe Watch 4 8 12",
      u"DorvaneWatch.exe watcher 4 8 12",
      u"DorvaneWatch.exe",
      u"",
      // Too few, too many, signs, letters, empty numbers.
      u"x watch 4 8",
      u"x watch 4 8 12 16",
      u"x watch +4 8 12",
      u"x watch 4 0x8 12",
      u"x watch 4 8 12x",
      // No handle 0, no pseudo-handle (-1 the current process as 32 and 64
      // bits, -2 its thread), no id that is not 32 bits.
      u"x watch 0 8 12",
      u"x watch 4 8 0",
      u"x watch 4294967295 8 12",
      u"x watch 18446744073709551615 8 12",
      u"x watch 4 18446744073709551614 12",
      u"x watch 2147483648 8 12",
      u"x watch 4 8 4294967296",
      u"x watch 4 8 99999999999999999999999",
  };
  for (const std::u16string& line : lines) {
    TDeskWatchArgs args;
    EXPECT_FALSE(ParseDeskWatchCommand(line.c_str(), args)) << Utf16ToUtf8(line);
  }
}

}  // namespace
