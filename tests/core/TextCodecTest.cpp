#include "core/TextCodec.h"

#include <gtest/gtest.h>

namespace {

TEST(TextCodec, Windows1252MapsTheHighHalf) {
  std::u16string out = u"x";
  AppendWindows1252("A\x80\x81\x9F\xA0\xFC\xFF", out);
  EXPECT_EQ(out, u"xA\u20AC\u0081\u0178\u00A0\u00FC\u00FF");
}

TEST(TextCodec, Utf8RoundTripsAndReplacesWhatIsNotUtf8) {
  const std::u16string text = u"a\u00e9\u4e2d\U0001F600";
  EXPECT_EQ(Utf16ToUtf8(text), "a\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16(Utf16ToUtf8(text)), text);
  const std::pair<std::string, std::u16string> bad[] = {
      {"\xC3", u"\uFFFD"},              // cut short
      {"\xC0\xAF", u"\uFFFD\uFFFD"},    // overlong
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // a surrogate
      {"a\xFFz", u"a\uFFFDz"},
  };
  for (const auto& [in, out] : bad) EXPECT_EQ(Utf8ToUtf16(in), out);
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDC00))), "\xEF\xBF\xBD");
}

}  // namespace
