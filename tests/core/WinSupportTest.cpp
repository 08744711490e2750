#include "core/WinSupport.h"

#include <gtest/gtest.h>

#include <string>

#include "core/TextCodec.h"

namespace {

std::string U8(std::u16string_view s) { return Utf16ToUtf8(s); }

// A fake font: "W" is 10 pixels wide, "." takes no room, everything else 6.
int FakeWidth(std::u16string_view text) {
  int width = 0;
  for (char16_t c : text) width += c == u'W' ? 10 : c == u'.' ? 0 : 6;
  return width;
}

TEST(WinSupport, BarsBecomeLineBreaks) {
  EXPECT_EQ(BarsToLineBreaks(u"Edit the|monthly report|"), u"Edit the\rmonthly report\r");
  EXPECT_EQ(BarsToLineBreaks(u"no bars"), u"no bars");
  EXPECT_EQ(BarsToLineBreaks(u""), u"");
}

TEST(WinSupport, SplitButtonCaptionOnATableOfTitles) {
  struct Case {
    std::u16string title;
    int maxWidth;
    bool barBreak, bottomIfSingle;
    std::u16string upper, lower;
  };
  const Case cases[] = {
      {u"", 60, true, true, u"", u""},
      // One word that fits: below the icon's top line, or on it.
      {u"Notepad", 60, false, true, u"", u"Notepad"},
      {u"Notepad", 60, false, false, u"Notepad", u""},
      {u"Hi there", 60, false, true, u"", u"Hi there"},  // a blank alone does not break
      {u"WWWWWW", 60, false, true, u"", u"WWWWWW"},      // exactly 60 pixels fits
      // Too wide: broken at the last blank at or before the first character
      // that does not fit; the blank starts the lower line.
      {u"Hello World", 60, false, true, u"Hello", u" World"},
      {u"Big Red Balloon", 60, false, true, u"Big Red", u" Balloon"},
      {u"HelloThere Again", 60, false, true, u"HelloThere", u" Again"},
      // No blank up to there: the word is cut after the widest prefix that
      // fits, and the lower line loses its end until it fits.
      {u"Supercalifragilisticexpialidocious", 60, false, true, u"Supercalif", u"ragilistic"},
      {u"Abcdefghijkl mn", 60, false, true, u"Abcdefghij", u"kl mn"},
      {u"WWWWWWW", 60, false, true, u"WWWWWW", u"W"},
      {u"WWWWWWWWWWWWWW", 60, false, false, u"WWWWWW", u"WWWWWW"},
      // A leading blank is the only one: everything moves down and is cut.
      {u" Abcdefghijk", 60, false, true, u"", u" Abcdefghi"},
      // Not even the first character fits: nothing is shown.
      {u"Hello", 5, false, true, u"", u""},
      // "|" breaks by hand, however wide the lines, and never swaps them.
      {u"Foo|Bar", 60, true, true, u"Foo", u"Bar"},
      {u"WWWWWWWWWW Wide|Second line", 60, true, true, u"WWWWWWWWWW Wide", u"Second line"},
      {u"Foo|", 60, true, true, u"Foo", u""},
      {u"|Bar", 60, true, false, u"", u"Bar"},
      {u"a|b|c", 60, true, true, u"a", u"b|c"},
      // Without the option "|" is an ordinary character.
      {u"Foo|Bar", 60, false, true, u"", u"Foo|Bar"},
      {u"Mail|Excel|Access", 60, false, true, u"Mail|Excel", u"|Access"},
  };
  for (const Case& c : cases) {
    const TCaptionLines lines = SplitButtonCaption(c.title, FakeWidth, c.maxWidth, c.barBreak, c.bottomIfSingle);
    EXPECT_EQ(U8(lines.Upper), U8(c.upper)) << U8(c.title);
    EXPECT_EQ(U8(lines.Lower), U8(c.lower)) << U8(c.title);
  }
}

TEST(WinSupport, TheLowerCaptionLineHoldsAtMost255Characters) {
  // After a "|", unmeasured.
  TCaptionLines lines = SplitButtonCaption(u"x|" + std::u16string(300, u'y'), FakeWidth, 60, true, true);
  EXPECT_EQ(lines.Upper, u"x");
  EXPECT_EQ(lines.Lower, std::u16string(255, u'y'));

  // After a cut word, even when the rest would fit.
  lines = SplitButtonCaption(std::u16string(11, u'x') + std::u16string(300, u'.'), FakeWidth, 60, false, true);
  EXPECT_EQ(lines.Upper, std::u16string(10, u'x'));
  EXPECT_EQ(lines.Lower, u"x" + std::u16string(254, u'.'));
}

TEST(WinSupport, ShowCommandLooksAtTheFirstCharacterOnly) {
  const std::pair<std::u16string, int> cases[] = {
      {u"M", kSwMinimize},  {u"Maximised", kSwMinimize}, {u"X", kSwMaximize}, {u"Xtra", kSwMaximize},
      {u"N", kSwShowNormal}, {u"", kSwShowNormal},       {u"m", kSwShowNormal}, {u"x", kSwShowNormal},
      {u" M", kSwShowNormal},
  };
  for (const auto& [state, show] : cases) EXPECT_EQ(ShowCommandFor(state), show) << U8(state);
  EXPECT_EQ(kSwShowNormal, 1);
  EXPECT_EQ(kSwMaximize, 3);
  EXPECT_EQ(kSwMinimize, 6);
}

TEST(WinSupport, ConfirmationComparesTheWholeDialogType) {
  const std::pair<std::u16string, TConfirmation> cases[] = {
      {u"Y", TConfirmation::cfYesNo},  {u"O", TConfirmation::cfOkCancel}, {u"N", TConfirmation::cfNone},
      {u"", TConfirmation::cfNone},     {u"y", TConfirmation::cfNone},     {u"o", TConfirmation::cfNone},
      {u"Yes", TConfirmation::cfNone}, {u"OK", TConfirmation::cfNone},    {u" Y", TConfirmation::cfNone},
  };
  for (const auto& [type, confirmation] : cases) EXPECT_EQ(ConfirmationFor(type), confirmation) << U8(type);
}

TEST(WinSupport, ShellResultTexts) {
  const std::pair<int, std::string> cases[] = {
      {2, "The specified file was not found."},
      {3, "The specified path was not found."},
      {5, "Access to the file or object is denied."},
      {8, "Not enough memory to start the program."},
      {11, "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image.)"},
      {26, "A sharing violation has occured."},
      {31, "There is no application associated with the given filename extension."},
      {32, "A DLL was not found."},
      {0, "Error: 0"},
      {1, "Error: 1"},
      {27, "Error: 27"},
      {30, "Error: 30"},
      {-7, "Error: -7"},
  };
  for (const auto& [result, text] : cases) EXPECT_EQ(U8(ShellResultText(result)), text) << result;
}

}  // namespace
