#include "core/Winsaver.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/TextCodec.h"

namespace {

std::string U8(std::u16string_view s) { return Utf16ToUtf8(s); }

TEST(Winsaver, NewSaverIsNamedAfterItsOwner) {
  const TWinSaverSettings s(u"MainForm");
  EXPECT_EQ(s.IniFileName, u"MainForm.INI");
  EXPECT_FALSE(s.LocalDir);
  EXPECT_EQ(s.IniSection, u"WinSaver");
  EXPECT_TRUE(s.SaveSize && s.SaveLocation && s.SaveState && s.SaveVisible);
}

TEST(Winsaver, IniPathForATableOfSettings) {
  struct Case {
    std::u16string iniFileName;
    bool localDir;
    std::u16string section, exePath, windowsDir;
    std::u16string path, storedName, storedSection;
  };
  const std::u16string exe = u"C:\\Apps\\Dorvane.exe";
  const Case cases[] = {
      {u"Deradiv", true, u"Window Position", exe, u"C:\\Windows", u"C:\\Apps\\Deradiv.INI", u"Deradiv.INI",
       u"Window Position"},
      // A folder and another extension are both lost; the section defaults.
      {u"D:\\cfg\\saver.cfg", false, u"", exe, u"C:\\Windows", u"C:\\Windows\\saver.INI", u"saver.INI",
       u"WinSaver"},
      {u"D:/cfg/forward.ini", false, u"S", exe, u"C:\\Windows", u"C:\\Windows\\forward.INI", u"forward.INI", u"S"},
      {u"D:drive.ini", false, u"S", exe, u"C:\\Windows", u"C:\\Windows\\drive.INI", u"drive.INI", u"S"},
      {u"name.with.dots.txt", true, u"S", exe, u"", u"C:\\Apps\\name.with.dots.INI", u"name.with.dots.INI", u"S"},
      // No name: the executable's own, with ".INI".
      {u"", true, u"S", exe, u"", u"C:\\Apps\\Dorvane.INI", u"Dorvane.INI", u"S"},
      {u"", false, u"S", u"C:\\Apps\\tool", u"C:\\WINNT", u"C:\\WINNT\\tool.INI", u"tool.INI", u"S"},
      // Roots: one separator between folder and name.
      {u"Deradiv", true, u"S", u"C:\\Dorvane.exe", u"", u"C:\\Deradiv.INI", u"Deradiv.INI", u"S"},
      {u"Deradiv", false, u"S", exe, u"C:\\", u"C:\\Deradiv.INI", u"Deradiv.INI", u"S"},
      {u"", true, u"S", u"\\\\server\\share\\D\u00F6rvane \u6587.exe", u"", u"\\\\server\\share\\D\u00F6rvane \u6587.INI",
       u"D\u00F6rvane \u6587.INI", u"S"},
  };
  for (const Case& c : cases) {
    TWinSaverSettings s(u"Owner");
    s.IniFileName = c.iniFileName;
    s.LocalDir = c.localDir;
    s.IniSection = c.section;
    EXPECT_EQ(OpenIniPath(s, c.exePath, c.windowsDir), c.path) << U8(c.iniFileName);
    EXPECT_EQ(s.IniFileName, c.storedName) << U8(c.iniFileName);
    EXPECT_EQ(s.IniSection, c.storedSection) << U8(c.iniFileName);
    // Opening again finds the same file.
    EXPECT_EQ(OpenIniPath(s, c.exePath, c.windowsDir), c.path) << U8(c.iniFileName);
  }
}

TEST(Winsaver, IntegerFormsAndWhatIsNotOne) {
  const std::pair<std::u16string, std::optional<std::int32_t>> cases[] = {
      {u"679", 679}, {u"0", 0}, {u"-5", -5}, {u"+7", 7}, {u"007", 7},
      {u"2147483647", 2147483647}, {u"-2147483648", -2147483647 - 1},
      {u"$1F", 31}, {u"$ff", 255}, {u"0x10", 16}, {u"0X1a", 26}, {u"0x0", 0}, {u"-$10", -16},
      {u"$FFFFFFFF", -1}, {u"$7FFFFFFF", 2147483647},
      // Not numbers: the caller's default stands.
      {u"", std::nullopt}, {u"-", std::nullopt}, {u"$", std::nullopt}, {u"0x", std::nullopt},
      {u"0X", std::nullopt}, {u"$-1", std::nullopt}, {u"0xG", std::nullopt}, {u"$100000000", std::nullopt},
      {u"2147483648", std::nullopt}, {u"-2147483649", std::nullopt}, {u"99999999999999999999", std::nullopt},
      {u"12a", std::nullopt}, {u" 12", std::nullopt}, {u"1 2", std::nullopt}, {u"1e3", std::nullopt},
      {u"abc", std::nullopt}, {u"\u0663", std::nullopt}, {u"\uFF11", std::nullopt},
  };
  for (const auto& [text, expected] : cases) {
    std::int32_t value = 12345;
    EXPECT_EQ(TryIniStrToInt(text, value), expected.has_value()) << U8(text);
    EXPECT_EQ(IniStrToIntDef(text, -77), expected.value_or(-77)) << U8(text);
  }
}

// An INI section in memory that remembers what was asked of it.
struct TFakeIni {
  std::map<std::u16string, std::u16string> values;
  std::vector<std::u16string> reads;     // "key=default"
  std::vector<std::u16string> writes;    // "key=value", in order
  int refuseWrite = -1;                  // the index of the write the system refuses

  TIniRead Reader() {
    return [this](const std::u16string& key, const std::u16string& def) {
      reads.push_back(key + u"=" + def);
      const auto it = values.find(key);
      return it == values.end() ? def : it->second;
    };
  }
  TIniWrite Writer() {
    return [this](const std::u16string& key, const std::u16string& value) {
      if (int(writes.size()) == refuseWrite) return false;
      writes.push_back(key + u"=" + value);
      values[key] = value;
      return true;
    };
  }
};

TWinSaverSettings Switches(bool size, bool location, bool state, bool visible) {
  TWinSaverSettings s(u"MainForm");
  s.SaveSize = size;
  s.SaveLocation = location;
  s.SaveState = state;
  s.SaveVisible = visible;
  return s;
}

TEST(Winsaver, SaveWritesTheSwitchedKeysInOrder) {
  const TFormGeometry g{131, 204, 679, 177, wsNormal, true};
  struct Case {
    TWinSaverSettings settings;
    TFormGeometry geometry;
    std::vector<std::u16string> writes;
  };
  const Case cases[] = {
      {Switches(true, true, true, true), g,
       {u"TMainForm_Width=679", u"TMainForm_Height=177", u"TMainForm_Top=204", u"TMainForm_Left=131",
        u"TMainForm_WindowState=2", u"TMainForm_Visible=1"}},
      {Switches(false, true, true, true), {-1200, -8, 679, 177, wsMaximized, false},
       {u"TMainForm_Top=-8", u"TMainForm_Left=-1200", u"TMainForm_WindowState=3", u"TMainForm_Visible=0"}},
      {Switches(true, false, true, false), {0, 0, 640, 480, wsMinimized, true},
       {u"TMainForm_Width=640", u"TMainForm_Height=480", u"TMainForm_WindowState=1"}},
      {Switches(false, false, false, false), g, {}},
  };
  for (const Case& c : cases) {
    TFakeIni ini;
    SaveFormGeometry(c.settings, u"TMainForm", c.geometry, u"C:\\Apps\\Deradiv.INI", ini.Writer());
    EXPECT_EQ(ini.writes, c.writes);
  }
}

TEST(Winsaver, ARefusedWriteStopsTheSaveWithThePath) {
  TFakeIni ini;
  ini.refuseWrite = 2;
  try {
    SaveFormGeometry(Switches(true, true, true, true), u"TMainForm", {1, 2, 3, 4, wsNormal, true},
                     u"C:\\Program Files\\Dorvane\\Deradiv.INI", ini.Writer());
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), u"Unable to write to C:\\Program Files\\Dorvane\\Deradiv.INI");
  }
  EXPECT_EQ(ini.writes, (std::vector<std::u16string>{u"TMainForm_Width=3", u"TMainForm_Height=4"}));
}

TEST(Winsaver, RestoreOnATableOfSavedValues) {
  const TFormGeometry designed{100, 80, 600, 150, wsNormal, true};
  const std::vector<TRect> oneMonitor{{0, 0, 1920, 1080}};
  struct Case {
    const char* what;
    std::map<std::u16string, std::u16string> saved;
    TFormGeometry current;
    bool beingShown;
    std::vector<TRect> monitors;
    TFormGeometry expected;
  };
  const Case cases[] = {
      {"no file: the designed geometry stays", {}, designed, true, oneMonitor, designed},
      {"all six keys",
       {{u"TMainForm_Width", u"679"}, {u"TMainForm_Height", u"177"}, {u"TMainForm_Top", u"204"},
        {u"TMainForm_Left", u"131"}, {u"TMainForm_WindowState", u"2"}, {u"TMainForm_Visible", u"1"}},
       designed, true, oneMonitor, {131, 204, 679, 177, wsNormal, true}},
      {"another class's keys are not ours", {{u"TConfigForm_Width", u"900"}}, designed, true, oneMonitor, designed},
      {"hexadecimal values", {{u"TMainForm_Width", u"$2A7"}, {u"TMainForm_Height", u"0xB1"}}, designed, true,
       oneMonitor, {100, 80, 679, 177, wsNormal, true}},
      {"unreadable and empty sizes keep the current ones",
       {{u"TMainForm_Width", u"wide"}, {u"TMainForm_Height", u"0"}, {u"TMainForm_Top", u""}}, designed, true,
       oneMonitor, designed},
      {"a negative size is no size", {{u"TMainForm_Width", u"-679"}}, designed, true, oneMonitor, designed},
      // States: 1, 2, 3 apply; anything else leaves it; missing or unreadable is 2.
      {"maximized", {{u"TMainForm_WindowState", u"3"}}, designed, true, oneMonitor,
       {100, 80, 600, 150, wsMaximized, true}},
      {"minimized", {{u"TMainForm_WindowState", u"1"}}, designed, true, oneMonitor,
       {100, 80, 600, 150, wsMinimized, true}},
      {"state 7 is left alone", {{u"TMainForm_WindowState", u"7"}}, {100, 80, 600, 150, wsMaximized, true}, true,
       oneMonitor, {100, 80, 600, 150, wsMaximized, true}},
      {"state 0 is left alone", {{u"TMainForm_WindowState", u"0"}}, {100, 80, 600, 150, wsMinimized, true}, true,
       oneMonitor, {100, 80, 600, 150, wsMinimized, true}},
      {"an unreadable state is normal", {{u"TMainForm_WindowState", u"max"}},
       {100, 80, 600, 150, wsMaximized, true}, true, oneMonitor, designed},
      // Visibility: any number but 0 shows; 0 cannot hide a window being shown.
      {"hidden while showing stays shown", {{u"TMainForm_Visible", u"0"}}, designed, true, oneMonitor, designed},
      {"hidden otherwise hides", {{u"TMainForm_Visible", u"0"}}, designed, false, oneMonitor,
       {100, 80, 600, 150, wsNormal, false}},
      {"5 is visible", {{u"TMainForm_Visible", u"5"}}, {100, 80, 600, 150, wsNormal, false}, false, oneMonitor,
       designed},
      {"missing keeps hidden", {}, {100, 80, 600, 150, wsNormal, false}, false, oneMonitor,
       {100, 80, 600, 150, wsNormal, false}},
      // Positions: only one that shows some of the window on some monitor.
      {"off every monitor: size only",
       {{u"TMainForm_Left", u"2500"}, {u"TMainForm_Top", u"100"}, {u"TMainForm_Width", u"679"}}, designed, true,
       oneMonitor, {100, 80, 679, 150, wsNormal, true}},
      {"just touching the right edge is off", {{u"TMainForm_Left", u"1920"}, {u"TMainForm_Top", u"0"}}, designed,
       true, oneMonitor, designed},
      {"just touching the left edge is off", {{u"TMainForm_Left", u"-600"}, {u"TMainForm_Top", u"0"}}, designed,
       true, oneMonitor, designed},
      {"above the top is off", {{u"TMainForm_Left", u"0"}, {u"TMainForm_Top", u"-150"}}, designed, true,
       oneMonitor, designed},
      {"partly on is applied", {{u"TMainForm_Left", u"1900"}, {u"TMainForm_Top", u"-140"}}, designed, true,
       oneMonitor, {1900, -140, 600, 150, wsNormal, true}},
      {"on the second monitor", {{u"TMainForm_Left", u"2500"}, {u"TMainForm_Top", u"100"}}, designed, true,
       {{0, 0, 1920, 1080}, {1920, 0, 3840, 1080}}, {2500, 100, 600, 150, wsNormal, true}},
      {"on a monitor left of the main one", {{u"TMainForm_Left", u"-1000"}, {u"TMainForm_Top", u"10"}}, designed,
       true, {{-1920, 0, 0, 1080}, {0, 0, 1920, 1080}}, {-1000, 10, 600, 150, wsNormal, true}},
      {"far out, where position plus size would wrap",
       {{u"TMainForm_Left", u"2147483000"}, {u"TMainForm_Top", u"-2147483648"}, {u"TMainForm_Width", u"5000"}},
       designed, true, oneMonitor, {100, 80, 5000, 150, wsNormal, true}},
      {"no monitors known: applied", {{u"TMainForm_Left", u"2500"}, {u"TMainForm_Top", u"100"}}, designed, true,
       {}, {2500, 100, 600, 150, wsNormal, true}},
  };
  for (const Case& c : cases) {
    TFakeIni ini;
    ini.values = c.saved;
    EXPECT_EQ(RestoreFormGeometry(Switches(true, true, true, true), u"TMainForm", c.current, ini.Reader(),
                                  c.beingShown, c.monitors),
              c.expected)
        << c.what;
  }
}

TEST(Winsaver, RestoreReadsOnlyTheSwitchedKeysWithTheCurrentValuesAsDefaults) {
  const TFormGeometry current{131, 204, 679, 177, wsMaximized, false};
  struct Case {
    TWinSaverSettings settings;
    std::vector<std::u16string> reads;
  };
  const Case cases[] = {
      {Switches(true, true, true, true),
       {u"TMainForm_Width=679", u"TMainForm_Height=177", u"TMainForm_Top=204", u"TMainForm_Left=131",
        u"TMainForm_WindowState=2", u"TMainForm_Visible=0"}},
      {Switches(false, true, true, true),
       {u"TMainForm_Top=204", u"TMainForm_Left=131", u"TMainForm_WindowState=2", u"TMainForm_Visible=0"}},
      {Switches(true, false, false, true), {u"TMainForm_Width=679", u"TMainForm_Height=177", u"TMainForm_Visible=0"}},
      {Switches(false, false, false, false), {}},
  };
  for (const Case& c : cases) {
    TFakeIni ini;
    ini.values = {{u"TMainForm_Width", u"800"}, {u"TMainForm_Height", u"200"}};
    const TFormGeometry got = RestoreFormGeometry(c.settings, u"TMainForm", current, ini.Reader(), false,
                                                  {{0, 0, 1920, 1080}});
    EXPECT_EQ(ini.reads, c.reads);
    EXPECT_EQ(got.Width, c.settings.SaveSize ? 800 : 679);
  }
}

TEST(Winsaver, AWindowClosedMaximizedReopensMaximized) {
  TFakeIni ini;
  const TFormGeometry closed{-1800, 40, 900, 177, wsMaximized, true};
  const std::vector<TRect> monitors{{-1920, 0, 0, 1200}, {0, 0, 2560, 1440}};
  SaveFormGeometry(Switches(true, true, true, true), u"TMainForm", closed, u"x.INI", ini.Writer());
  EXPECT_EQ(ini.values.size(), 6u);
  EXPECT_EQ(RestoreFormGeometry(Switches(true, true, true, true), u"TMainForm", {10, 10, 600, 150, wsNormal, true},
                                ini.Reader(), true, monitors),
            closed);
}

}  // namespace
