#include "core/Cmdline.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "core/TextCodec.h"

namespace {

std::string U8(std::u16string_view s) { return Utf16ToUtf8(s); }

TEST(Cmdline, ParamListSplitsAsTheRuntimeDoes) {
  struct Case {
    std::u16string line;
    std::vector<std::u16string> params;
  };
  const std::u16string longParam(40000, u'x');
  const Case cases[] = {
      {u"", {}},
      {u"prog", {}},
      {u"prog  \t  ", {}},
      {u"prog a b", {u"a", u"b"}},
      {u"\"C:\\Program Files\\Dorvane.exe\" /R", {u"/R"}},
      {u"\"C:\\My Apps\\Dorvane.exe\"", {}},
      // Quotes group and vanish, wherever they stand in a parameter.
      {u"prog \"a b\" c", {u"a b", u"c"}},
      {u"prog a\"b c\"d", {u"ab cd"}},
      {u"prog a\"\"b", {u"ab"}},
      {u"prog \"/r\"", {u"/r"}},
      {u"prog \"unclosed text", {u"unclosed text"}},
      // Every character up to code 32 separates; inside quotes it is kept.
      {u"prog\ta\x01" u"b\r\nc", {u"a", u"b", u"c"}},
      {u"prog \"a\tb\"", {u"a\tb"}},
      // A pair of quotes that starts a parameter is skipped, repeatedly.
      {u"prog \"\" x", {u"x"}},
      {u"prog \"\"x", {u"x"}},
      {u"prog \"\"\"a b\"", {u"a b"}},
      {u"prog \"\" \"\"", {}},
      // The list ends at the first parameter that comes out empty.
      {u"prog a \"", {u"a"}},
      // What follows a NUL was never part of the command line.
      {std::u16string(u"prog x\0y z", 10), {u"x"}},
      // Any character and any length.
      {u"prog Gr\u00FC\u00DFe \U0001F600 \u4E2D\u6587", {u"Gr\u00FC\u00DFe", u"\U0001F600", u"\u4E2D\u6587"}},
      {u"prog " + longParam + u" end", {longParam, u"end"}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParamList(c.line), c.params) << U8(c.line);
}

TEST(Cmdline, SwitchCharactersAreTheNine) {
  const std::u16string all = u"-+=\\/|#><";
  for (std::size_t i = 0; i < all.size(); ++i) EXPECT_EQ(SwitchCharOf(all[i]), int(i));
  for (char16_t c : std::u16string(u"aZ0?.:*~ \u2212")) EXPECT_EQ(SwitchCharOf(c), -1) << int(c);
}

TEST(Cmdline, DefaultsAreDashAndSlashAndAFileThatMustExist) {
  TCommandLineParameters params;
  EXPECT_EQ(params.EnabledSwitchChars, (TSwitchType{swForwardSlash, swDash}));
  EXPECT_TRUE(params.FileMustExist);
  EXPECT_FALSE(params.OnFilename);
  EXPECT_FALSE(params.OnQuestionMark);
  for (char l = 'A'; l <= 'Z'; ++l) EXPECT_FALSE(params.OnSwitchOf(l)) << l;
}

TEST(Cmdline, NamedAccessReachesTheLettersEvent) {
  TCommandLineParameters params;
  params.OnSwitch_R() = [](void*, const std::u16string&, const std::u16string&) {};
  EXPECT_TRUE(params.OnSwitch[17]);
  EXPECT_TRUE(params.OnSwitchOf('r'));
  EXPECT_FALSE(params.OnSwitch_Q());
  EXPECT_FALSE(params.OnSwitch_S());
  EXPECT_THROW(params.OnSwitchOf('?'), std::out_of_range);
}

// Every event assigned; each call is logged with what it was given.
struct TRecorder {
  int owner = 0;
  TCommandLineParameters params{&owner};
  std::vector<std::string> log;
  std::set<std::u16string> existing;
  int existenceTests = 0;

  TRecorder() {
    params.OnFilename = [this](void* sender, const std::u16string& name) {
      log.push_back((sender == &params ? "file:" : "file(bad sender):") + U8(name));
    };
    auto logSwitch = [this](char tag) {
      return [this, tag](void* sender, const std::u16string& sw, const std::u16string& next) {
        log.push_back(std::string(1, tag) + (sender == &owner ? ":" : "(bad sender):") + U8(sw) + "|" + U8(next));
      };
    };
    for (char l = 'A'; l <= 'Z'; ++l) params.OnSwitchOf(l) = logSwitch(l);
    params.OnQuestionMark = logSwitch('?');
  }

  void Run(std::u16string_view line) {
    params.ProcessCommandLine(line, [this](const std::u16string& name) {
      ++existenceTests;
      return existing.count(name) > 0;
    });
  }
};

TEST(Cmdline, EventsForATableOfCommandLines) {
  struct Case {
    std::u16string line;
    TSwitchType enabled;
    bool mustExist;
    std::vector<std::string> log;
    int existenceTests;
  };
  const TSwitchType std{swDash, swForwardSlash};
  const TSwitchType withPlus{swDash, swForwardSlash, swPlus};
  const TSwitchType withBackSlash{swDash, swForwardSlash, swBackSlash};
  const TSwitchType slashOnly{swForwardSlash};
  const Case cases[] = {
      {u"prog", std, true, {}, 0},
      // R in either case after either character; what follows the letter
      // is passed along but not looked at.
      {u"prog /R", std, true, {"R:/R|"}, 0},
      {u"prog /r", std, true, {"R:/r|"}, 0},
      {u"prog -R", std, true, {"R:-R|"}, 0},
      {u"prog -r", std, true, {"R:-r|"}, 0},
      {u"prog /Run", std, true, {"R:/Run|"}, 0},
      {u"prog \"/r\"", std, true, {"R:/r|"}, 0},
      {u"prog /?", std, true, {"?:/?|"}, 0},
      // "+" is a switch character, but only enabled ones make switches.
      {u"prog +r", std, true, {}, 0},
      {u"prog +r", withPlus, true, {"R:+r|"}, 0},
      {u"prog -r", slashOnly, true, {}, 0},
      // The next parameter comes along and is then judged on its own.
      {u"prog -r C:\\exists.txt", std, true, {"R:-r|C:\\exists.txt"}, 0},
      {u"prog /r /s x", std, true, {"R:/r|/s", "S:/s|x"}, 0},
      {u"prog /x C:\\exists.txt", std, true, {"X:/x|C:\\exists.txt"}, 0},
      // A file name comes first, before any switch.
      {u"prog C:\\exists.txt", std, true, {"file:C:\\exists.txt"}, 1},
      {u"prog C:\\exists.txt /r", std, true, {"file:C:\\exists.txt", "R:/r|"}, 1},
      {u"prog \"C:\\Program Files\\app.exe\"", std, true, {"file:C:\\Program Files\\app.exe"}, 1},
      {u"prog C:\\missing.txt", std, true, {}, 1},
      {u"prog C:\\missing.txt", std, false, {"file:C:\\missing.txt"}, 0},
      {u"prog +missing", std, false, {}, 0},  // a switch character first: never a file
      // "\" starts a rooted path: a file name, and a switch when enabled.
      {u"prog \\\\server\\share", std, true, {"file:\\\\server\\share"}, 1},
      {u"prog \\\\server\\share", withBackSlash, true, {"file:\\\\server\\share"}, 1},
      {u"prog \\apps", withBackSlash, false, {"file:\\apps", "A:\\apps|"}, 0},
      // Too short, or no letter after the switch character: nothing.
      {u"prog /", std, true, {}, 0},
      {u"prog / -", std, true, {}, 0},
      {u"prog /1 -\u00E4 //r", std, true, {}, 0},
      {u"prog \"\" /q", std, true, {"Q:/q|"}, 0},
  };
  for (const Case& c : cases) {
    TRecorder r;
    r.existing = {u"C:\\exists.txt", u"C:\\Program Files\\app.exe", u"\\\\server\\share", u"\\apps"};
    r.params.EnabledSwitchChars = c.enabled;
    r.params.FileMustExist = c.mustExist;
    r.Run(c.line);
    EXPECT_EQ(r.log, c.log) << U8(c.line);
    EXPECT_EQ(r.existenceTests, c.existenceTests) << U8(c.line);
  }
}

TEST(Cmdline, UnassignedEventsAreSkippedAndExistenceIsNotAsked) {
  int owner = 0;
  TCommandLineParameters params(&owner);
  std::vector<std::u16string> got;
  params.OnSwitch_R() = [&](void* sender, const std::u16string& sw, const std::u16string&) {
    EXPECT_EQ(sender, &owner);
    got.push_back(sw);
  };
  int existenceTests = 0;
  params.ProcessCommandLine(u"prog C:\\a.txt /x /? /r", [&](const std::u16string&) {
    ++existenceTests;
    return true;
  });
  EXPECT_EQ(got, std::vector<std::u16string>{u"/r"});
  EXPECT_EQ(existenceTests, 0);  // no file-name event to raise

  // Without a way to test for the file, a file that must exist is not there.
  params.OnFilename = [&](void*, const std::u16string& name) { got.push_back(name); };
  got.clear();
  params.ProcessCommandLine(u"prog C:\\a.txt", nullptr);
  EXPECT_TRUE(got.empty());
}

TEST(Cmdline, AHandlerMayReplaceItsOwnEvent) {
  TCommandLineParameters params;
  int calls = 0;
  params.OnSwitch_R() = [&](void*, const std::u16string&, const std::u16string&) {
    ++calls;
    params.OnSwitch_R() = nullptr;  // destroys the running handler's original
  };
  params.ProcessCommandLine(u"prog /r /r", nullptr);
  EXPECT_EQ(calls, 1);
}

}  // namespace
