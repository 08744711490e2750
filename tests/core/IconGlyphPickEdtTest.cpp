#include "core/IconGlyphPickEdt.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

namespace {

TEST(NamedStandardCursors, TwentyTwoNamesInListOrder) {
  const auto cursors = NamedStandardCursors();
  ASSERT_EQ(cursors.size(), 22u);
  EXPECT_EQ(cursors.front().Name, u"crDefault");
  EXPECT_EQ(cursors.front().Id, 0);
  EXPECT_EQ(cursors[1].Name, u"crArrow");
  EXPECT_EQ(cursors[1].Id, -2);
  EXPECT_EQ(cursors[4].Name, u"crSizeNESW");  // -5 has no name
  EXPECT_EQ(cursors[4].Id, -6);
  EXPECT_EQ(cursors[20].Name, u"crSizeAll");
  EXPECT_EQ(cursors[21].Name, u"crSize");
  EXPECT_EQ(cursors[20].Id, -22);
  EXPECT_EQ(cursors[21].Id, -22);
  for (std::size_t i = 2; i < 21; ++i) EXPECT_LT(cursors[i].Id, cursors[i - 1].Id) << i;
}

// A cursor table: identifier to cursor; everything else is the default (1).
// Every positive identifier of the table, and a few more, is registered.
std::vector<int> Listed(const std::map<int, std::uintptr_t>& table) {
  std::vector<int> registered{40000, 9, 0, -3};
  for (auto it = table.rbegin(); it != table.rend(); ++it) registered.insert(registered.begin(), 2, it->first);
  return ListedCursorIds(
      [&](int id) -> std::uintptr_t {
        const auto found = table.find(id);
        return found == table.end() ? 1 : found->second;
      },
      registered);
}

TEST(ListedCursorIds, DefaultLookalikesAreLeftOutExceptTheArrow) {
  struct Case {
    const char* what;
    std::map<int, std::uintptr_t> table;
    std::vector<int> listed;
  };
  const Case cases[] = {
      {"nothing but the default: the arrow alone", {}, {-2}},
      {"the arrow differs from the default", {{-2, 7}}, {-2}},
      {"crSizeAll and crSize share -22", {{-22, 9}, {-3, 8}}, {-2, -3, -22, -22}},
      {"a named cursor that is the default one is left out", {{-4, 1}, {-3, 2}}, {-2, -3}},
      {"registered cursors follow once each, in order, within 1 to 32767",
       {{32767, 3}, {1, 4}, {700, 4}, {32768, 4}, {-1, 4}, {-5, 4}, {9, 1}},
       {-2, 1, 700, 32767}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Listed(c.table), c.listed);
  }
}

}  // namespace

namespace {

TEST(IconGroupImageIds, EntriesOfAWellFormedDirectoryOnly) {
  // Two entries (32 and 16 pixels) naming images 7 and 300.
  const std::vector<std::uint8_t> two = {0, 0, 1, 0, 2, 0,                                     //
                                         32, 32, 0, 0, 1, 0, 32, 0, 0x10, 0, 0, 0, 7, 0,       //
                                         16, 16, 0, 0, 1, 0, 32, 0, 0x10, 0, 0, 0, 0x2C, 0x01};
  EXPECT_EQ(IconGroupImageIds(two), (std::vector<std::uint16_t>{7, 300}));
  auto changed = [&](std::size_t at, std::uint8_t value) {
    auto bytes = two;
    bytes[at] = value;
    return bytes;
  };
  const struct {
    const char* what;
    std::vector<std::uint8_t> bytes;
  } broken[] = {
      {"cut in the last entry", {two.begin(), two.end() - 1}},
      {"a cursor group (type 2)", changed(2, 2)},
      {"reserved word not 0", changed(0, 1)},
      {"more entries than bytes", changed(4, 3)},
      {"no entries", {0, 0, 1, 0, 0, 0}},
      {"shorter than the header", {0, 0, 1, 0}},
  };
  for (const auto& b : broken) EXPECT_TRUE(IconGroupImageIds(b.bytes).empty()) << b.what;
}

TEST(LooksLikeIconImage, BitmapHeadersAndPngOnly) {
  auto bytes = [](std::initializer_list<int> b, std::size_t size) {
    std::vector<std::uint8_t> v(size);
    std::copy(b.begin(), b.end(), v.begin());
    return v;
  };
  const struct {
    const char* what;
    std::vector<std::uint8_t> image;
    bool ok;
  } cases[] = {
      {"info header", bytes({40, 0, 0, 0}, 40 + 32 * 64 * 4), true},
      {"core header", bytes({12, 0, 0, 0}, 12 + 64), true},
      {"v4 header", bytes({108, 0, 0, 0}, 108), true},
      {"v5 header", bytes({124, 0, 0, 0}, 124), true},
      {"PNG", bytes({0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}, 40), true},
      {"header longer than the image", bytes({40, 0, 0, 0}, 39), false},
      {"text", bytes({'n', 'o', 't', ' ', 'a', 'n'}, 17), false},
      {"another header size", bytes({56, 0, 0, 0}, 200), false},
      {"40 in the wrong byte", bytes({0, 0, 0, 40}, 200), false},
      {"cut PNG signature", bytes({0x89, 'P', 'N', 'G'}, 4), false},
      {"empty", {}, false},
  };
  for (const auto& c : cases) EXPECT_EQ(LooksLikeIconImage(c.image), c.ok) << c.what;
}

}  // namespace
