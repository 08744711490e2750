// The geometry saver on real windows and a real INI file, in a folder whose
// name the ANSI code page cannot hold.
#include "win32/Winsaver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include "core/TextCodec.h"
#include "win32/WinSupport.h"

#include "WindowTestSupport.h"

namespace {

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::ofstream(path.c_str(), std::ios::binary) << bytes;
}

RECT WindowRect(HWND w) {
  RECT r{};
  GetWindowRect(w, &r);
  return r;
}

std::string Describe(const TFormGeometry& g) {
  return std::to_string(g.Left) + "," + std::to_string(g.Top) + " " + std::to_string(g.Width) + "x" +
         std::to_string(g.Height) + " state " + std::to_string(g.WindowState) + (g.Visible ? " shown" : " hidden");
}

class Geometry : public testing::Test {
 protected:
  TTempFolder temp{L"Dorvane geometry \u00e9\u6587\u0416"};
  // without its trailing backslash, as the saver gives folders back
  const std::wstring folder = temp.Path().substr(0, temp.Path().size() - 1);
  TWinSaver saver{u"MainForm", u"TMainForm"};

  void SetUp() override {
    saver.Settings.IniFileName = u"Deradiv";
    saver.Settings.LocalDir = true;
    saver.Settings.IniSection = u"Window Position";
    saver.IniFolder = folder;
  }

  std::wstring Key(const wchar_t* suffix) {
    return ReadProfileString(folder + L"\\Deradiv.INI", L"Window Position", std::wstring(L"TMainForm") + suffix,
                             L"(missing)");
  }
};

TEST_F(Geometry, AFirstCloseWritesTheSixKeysAndTheNextShowingBringsThemBack) {
  {
    TestWindow closing(L"Geometry", 131, 204, 679, 177);
    saver.Save(closing.Get());
  }
  EXPECT_EQ(saver.IniPath(), folder + L"\\Deradiv.INI");
  const std::pair<const wchar_t*, const wchar_t*> keys[] = {
      {L"_Width", L"679"}, {L"_Height", L"177"}, {L"_Top", L"204"},
      {L"_Left", L"131"},  {L"_WindowState", L"2"}, {L"_Visible", L"1"},
  };
  for (const auto& [suffix, value] : keys) EXPECT_EQ(Key(suffix), value) << Utf16ToUtf8(U16(suffix));

  // The next showing: the window was made hidden elsewhere and another size.
  TestWindow showing(L"Geometry", 10, 10, 400, 150, false);
  saver.Restore(showing.Get(), true);
  const RECT r = WindowRect(showing.Get());
  EXPECT_EQ(r.left, 131);
  EXPECT_EQ(r.top, 204);
  EXPECT_EQ(r.right - r.left, 679);
  EXPECT_EQ(r.bottom - r.top, 177);
  EXPECT_TRUE(IsWindowVisible(showing.Get()));
}

TEST_F(Geometry, AWindowClosedMaximizedReopensMaximizedWithItsNormalSize) {
  {
    TestWindow closing(L"Geometry", 100, 120, 500, 160);
    ShowWindow(closing.Get(), SW_MAXIMIZE);
    Pump();
    ASSERT_TRUE(IsZoomed(closing.Get()));
    saver.Save(closing.Get());
  }
  EXPECT_EQ(Key(L"_WindowState"), L"3");
  EXPECT_EQ(Key(L"_Width"), L"500");  // the size it goes back to, not the screen's
  EXPECT_EQ(Key(L"_Left"), L"100");

  TestWindow showing(L"Geometry", 10, 10, 300, 150);
  saver.Restore(showing.Get(), true);
  EXPECT_TRUE(IsZoomed(showing.Get()));
  ShowWindow(showing.Get(), SW_RESTORE);
  Pump();
  const RECT r = WindowRect(showing.Get());
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 120);
  EXPECT_EQ(r.right - r.left, 500);
  EXPECT_EQ(r.bottom - r.top, 160);
}

TEST_F(Geometry, RestoreAppliesWhatIsSoundOfATableOfFiles) {
  const TFormGeometry designed{100, 80, 600, 150, wsNormal, true};
  struct Case {
    const char* what;
    std::string keys;
    bool beingShown;
    TFormGeometry expected;
    bool startsHidden = false;
  };
  // The screen of the tests is 1280 x 800.
  const Case cases[] = {
      {"no keys: as designed", "", true, designed},
      {"off every monitor: the size only", "TMainForm_Left=5000\r\nTMainForm_Top=100\r\nTMainForm_Width=640\r\n",
       true, {100, 80, 640, 150, wsNormal, true}},
      {"above the screen: not applied", "TMainForm_Left=10\r\nTMainForm_Top=-400\r\n", true, designed},
      {"partly on the screen: applied", "TMainForm_Left=1200\r\nTMainForm_Top=700\r\n", true,
       {1200, 700, 600, 150, wsNormal, true}},
      {"hidden while being shown: stays shown", "TMainForm_Visible=0\r\n", true, designed},
      {"hidden otherwise: hidden", "TMainForm_Visible=0\r\n", false, {100, 80, 600, 150, wsNormal, false}},
      {"state 7 is left alone", "TMainForm_WindowState=7\r\n", true, designed},
      // Restored before the window reaches the screen: it counts as shown.
      {"maximized on its way to the screen", "TMainForm_WindowState=3\r\n", true,
       {100, 80, 600, 150, wsMaximized, true}, true},
      {"hidden and not being shown: stays hidden", "TMainForm_Width=640\r\n", false,
       {100, 80, 640, 150, wsNormal, false}, true},
      {"hexadecimal", "TMainForm_Width=$2A7\r\nTMainForm_Height=0xB1\r\n", true, {100, 80, 679, 177, wsNormal, true}},
      {"not numbers", "TMainForm_Width=wide\r\nTMainForm_Left=\r\n", true, designed},
      // Far longer than any first buffer: read whole, it is still 679.
      {"a value of 5000 characters", "TMainForm_Width=" + std::string(5000, '0') + "679\r\n", true,
       {100, 80, 679, 150, wsNormal, true}},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    // A file of its own each: the system may keep a file it read in memory.
    saver.Settings.IniFileName = u"case" + Widen(std::to_string(++n));
    WriteBytes(folder + L"\\case" + std::to_wstring(n) + L".INI",
               "[Other]\r\nTMainForm_Width=999\r\n[Window Position]\r\n" + c.keys);
    TestWindow form(L"Geometry", 100, 80, 600, 150, !c.startsHidden);
    saver.Restore(form.Get(), c.beingShown);
    Pump();
    const TFormGeometry got = FormGeometryOf(form.Get());
    EXPECT_EQ(got, c.expected) << Describe(got);
  }
}

TEST_F(Geometry, AFolderPastTheOldPathLimit) {
  std::wstring deep = folder;
  for (int i = 0; deep.size() < 400; ++i) {
    deep += L"\\Unterordner \u00e9\u6587 " + std::to_wstring(i);
    ASSERT_TRUE(CreateDirectoryW(ExtendedPath(deep).c_str(), nullptr));
  }
  saver.IniFolder = deep;
  {
    TestWindow closing(L"Geometry", 131, 204, 679, 177);
    saver.Save(closing.Get());
  }
  TestWindow showing(L"Geometry", 10, 10, 400, 150);
  saver.Restore(showing.Get(), true);
  const RECT r = WindowRect(showing.Get());
  EXPECT_EQ(r.left, 131);
  EXPECT_EQ(r.right - r.left, 679);
}

TEST_F(Geometry, ARefusedWriteIsReportedWithThePath) {
  // A folder where the file should be: nothing can be written there.
  const std::wstring path = folder + L"\\Deradiv.INI";
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  TestWindow form(L"Geometry", 131, 204, 679, 177);
  try {
    saver.Save(form.Get());
    FAIL() << "no exception";
  } catch (const EIniFileException& e) {
    EXPECT_EQ(e.Message(), u"Unable to write to " + U16(path));
  }
}

TEST_F(Geometry, SwitchedOffKeysAreNeitherWrittenNorRead) {
  saver.Settings.SaveSize = false;
  saver.Settings.SaveVisible = false;
  {
    TestWindow closing(L"Geometry", 131, 204, 679, 177);
    saver.Save(closing.Get());
  }
  EXPECT_EQ(Key(L"_Width"), L"(missing)");
  EXPECT_EQ(Key(L"_Visible"), L"(missing)");
  EXPECT_EQ(Key(L"_Top"), L"204");
  // A width written by someone else is not read back either.
  WritePrivateProfileStringW(L"Window Position", L"TMainForm_Width", L"300", (folder + L"\\Deradiv.INI").c_str());
  TestWindow showing(L"Geometry", 10, 10, 400, 150);
  saver.Restore(showing.Get(), true);
  const RECT r = WindowRect(showing.Get());
  EXPECT_EQ(r.left, 131);
  EXPECT_EQ(r.right - r.left, 400);
}

TEST(WinsaverPath, TheFileLiesBesideTheProgramOrInTheWindowsFolder) {
  wchar_t exe[4096];
  const DWORD n = GetModuleFileNameW(nullptr, exe, 4096);
  const std::wstring exeFolder(exe, std::wstring_view(exe, n).rfind(L'\\'));
  const wchar_t* systemRoot = _wgetenv(L"SystemRoot");
  ASSERT_NE(systemRoot, nullptr);

  TWinSaver saver(u"MainForm", u"TMainForm");
  EXPECT_EQ(_wcsicmp(saver.IniPath().c_str(), (std::wstring(systemRoot) + L"\\MainForm.INI").c_str()), 0);
  saver.Settings.IniFileName = u"Deradiv";
  saver.Settings.LocalDir = true;
  saver.Settings.IniSection = u"";
  EXPECT_EQ(saver.IniPath(), exeFolder + L"\\Deradiv.INI");
  EXPECT_EQ(saver.Settings.IniSection, u"WinSaver");
  // A folder and another extension are both dropped.
  saver.Settings.IniFileName = u"D:\\cfg\\saver.cfg";
  saver.Settings.LocalDir = false;
  EXPECT_EQ(_wcsicmp(saver.IniPath().c_str(), (std::wstring(systemRoot) + L"\\saver.INI").c_str()), 0);
  EXPECT_EQ(saver.Settings.IniFileName, u"saver.INI");
}

}  // namespace
