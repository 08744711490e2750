#include "core/SettingsCheck.h"

#include <gtest/gtest.h>

#include "core/TextCodec.h"

namespace {

// The warnings of a root with these properties, as "line:column text".
std::vector<std::string> WarningsOf(std::string_view body) {
  TSettingsPlaces places;
  const auto data = TextToComponent("object TSkiffData\r\n" + std::string(body) + "\r\nend", AppendWindows1252, &places);
  std::vector<std::string> out;
  for (const TSettingsWarning& w : SettingsWarnings(*data, places))
    out.push_back(std::to_string(w.Place.Line) + ":" + std::to_string(w.Place.Column) + " " + Utf16ToUtf8(w.Text));
  return out;
}

std::string Entry(std::string_view properties) {
  return "Groups = < item Name = 'G' Apps = < item Command = 'x' " + std::string(properties) + " end > end >";
}

TEST(SettingsCheck, OnlyWhatTheProgramCannotUseWarns) {
  for (const char* usable :
       {"BtnSize = 0", "BtnSize = 2", "DoubleClickTime = 0", "DoubleClickTime = 9", "Groups = <>",
        "Groups = < item Name = 'a' end item Name = 'A' end >"})
    EXPECT_EQ(WarningsOf(usable), std::vector<std::string>{}) << usable;
  for (const char* code : {"", "WindowState = 'N'", "WindowState = 'M'", "WindowState = 'X'", "DialogType = 'N'",
                           "DialogType = 'Y'", "DialogType = 'O'"})
    EXPECT_EQ(WarningsOf(Entry(code)), std::vector<std::string>{}) << code;

  struct Case {
    std::string body, warning;
  };
  const Case cases[] = {
      {"BtnSize = -1", "2:11 BtnSize -1 is not a button size (0 Mini, 1 Small, 2 Large): buttons are shown Large"},
      {"BtnSize = 3", "2:11 BtnSize 3 is not a button size (0 Mini, 1 Small, 2 Large): buttons are shown Large"},
      {"DoubleClickTime = -1", "2:19 DoubleClickTime -1 is negative: a second press is not held back"},
      {Entry("WindowState = 'Max'"), "2:70 WindowState 'Max' is not N, M or X: the program runs minimised"},
      {Entry("WindowState = 'x'"), "2:70 WindowState 'x' is not N, M or X: the program runs normal"},
      {Entry("DialogType = 'YES'"), "2:69 DialogType 'YES' is not N, Y or O: nothing is asked before the program runs"},
      {"Groups = < item Name = 'G' Apps = < item Title = 'T' end > end >",
       "2:37 Entry 'T' has no command: its button only says \"There is no program to run.\""},
      {"Groups = < item Name = '' end >", "2:12 A group without a name shows a blank tab"},
      {"Groups = < item Name = 'a' end item Name = 'b' end item Name = 'a' end >",
       "2:64 Group name 'a' is used twice: the tabs look the same"},
  };
  for (const Case& c : cases) EXPECT_EQ(WarningsOf(c.body), std::vector<std::string>{c.warning}) << c.body;
}

}  // namespace
