// The settings file on a real Windows file system: every test works in a
// fresh folder whose name has characters outside any ANSI code page.
#include "win32/DataClasses.h"

#include <gtest/gtest.h>

#include <fstream>

#include "core/Errors.h"
#include "core/TextCodec.h"
#include "core/uCompStream.h"
#include "win32/DeskGuard.h"
#include "win32/WinSupport.h"

#include "WindowTestSupport.h"

namespace {

std::string ReadBytes(const std::wstring& path) {
  UniqueHandle f(CreateFileW(ExtendedPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                             nullptr, OPEN_EXISTING, 0, nullptr));
  if (!f) return "<missing>";
  std::string bytes(1 << 20, '\0');
  DWORD read = 0;
  ReadFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
  bytes.resize(read);
  return bytes;
}

void WriteBytes(const std::wstring& path, std::string_view bytes) {
  UniqueHandle f(CreateFileW(ExtendedPath(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  DWORD written = 0;
  WriteFile(f.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

bool Exists(const std::wstring& path) {
  return GetFileAttributesW(ExtendedPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string LoadError(const std::wstring& path) {
  try {
    LoadSettingsFile(path);
    return "";
  } catch (const Exception& e) {
    return e.what();
  }
}

std::unique_ptr<TSkiffData> Sample() {
  auto data = std::make_unique<TSkiffData>();
  data->BtnSize = 2;
  data->ExpStartDir = u"C:\\Users\\\u00c5sa";
  TGroupItem& g = data->Groups.Add();
  g.Name = u"\u4e2d\u6587 \U0001F600";  // no ANSI code page holds these
  TAppItem& a = g.Apps.Add();
  a.Title = u"Editor";
  a.Command = u"C:\\Tools\\" + std::u16string(300, u'x') + u".exe";
  a.Hint = u"Gr\u00fc\u00dfe|\u0416";
  return data;
}

class SettingsFile : public testing::Test {
 protected:
  TTempFolder temp{L"Dorvane \u00c4rger \u4e2d\u6587"};
  std::wstring folder = temp.Path();
  std::wstring path = folder + L"SkiffData.dat";
};

TEST_F(SettingsFile, SaveAndLoadKeepEveryCharacter) {
  auto data = Sample();
  SaveToFile(*data, path);
  const std::string bytes = ReadBytes(path);
  EXPECT_EQ(bytes, ComponentToText(*data));
  EXPECT_NE(bytes.find("Name = #20013#25991' '#55357#56832"), std::string::npos);
  auto back = LoadSettingsFile(path);
  EXPECT_EQ(back->Groups[0].Name, data->Groups[0].Name);
  EXPECT_EQ(back->Groups[0].Apps[0].Command, data->Groups[0].Apps[0].Command);
  EXPECT_EQ(back->ExpStartDir, data->ExpStartDir);
  SaveToFile(*back, path);
  EXPECT_EQ(ReadBytes(path), bytes);
  EXPECT_FALSE(Exists(path + L".tmp"));
}

TEST_F(SettingsFile, MissingFileGivesInitialValuesAndCreatesNothing) {
  auto data = LoadSettingsFile(path);
  EXPECT_EQ(ComponentToText(*data), ComponentToText(TSkiffData()));
  EXPECT_FALSE(Exists(path));
  EXPECT_FALSE(ReadSettingsBytes(folder + L"no such folder\\SkiffData.dat").has_value());
}

TEST_F(SettingsFile, LoadingNormalisesLineBreaksAndStopsAtByteZero) {
  WriteBytes(path, std::string("object TSkiffData\n  BtnSize = 1\r  Drives = 'ab'\r\nend\0garbage\n", 60));
  EXPECT_EQ(LoadSettingsFile(path)->Drives, u"ab");
  EXPECT_EQ(LoadSettingsFile(path)->BtnSize, 1);
  WriteBytes(path, "object TSkiffData\r\n  BtnSize = 'x'\r\nend\r\n");
  EXPECT_EQ(LoadError(path), "Error reading TSkiffData.BtnSize: Invalid property value");
  WriteBytes(path, "");
  EXPECT_EQ(LoadError(path), "OBJECT expected on line 1");
}

TEST_F(SettingsFile, QuotedBytesAreReadInTheAnsiCodePage) {
  if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252";
  WriteBytes(path, "object TSkiffData Drives = '\xE9\x80' end");
  EXPECT_EQ(LoadSettingsFile(path)->Drives, u"\u00e9\u20ac");
}

TEST_F(SettingsFile, OthersMayReadButNotWriteWhileItIsRead) {
  SaveToFile(*Sample(), path);
  {
    UniqueHandle reader(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(reader);
    EXPECT_EQ(LoadError(path), "");
  }
  UniqueHandle writer(CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(writer);
  EXPECT_EQ(LoadError(path), "Cannot open file \"" + Utf16ToUtf8(U16(path)) + "\". " +
                                 Utf16ToUtf8(SysErrorMessage(ERROR_SHARING_VIOLATION)));
}

TEST_F(SettingsFile, AFolderInPlaceOfTheFileCannotBeOpened) {
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));
  EXPECT_EQ(LoadError(path).rfind("Cannot open file \"" + Utf16ToUtf8(U16(path)) + "\". ", 0), 0u);
  try {
    SaveToFile(TSkiffData(), path);
    ADD_FAILURE() << "saved over a folder";
  } catch (const EStreamError& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Cannot create file \"" + Utf16ToUtf8(U16(path)) + "\". ", 0), 0u);
  }
  EXPECT_FALSE(Exists(path + L".tmp"));
  RemoveDirectoryW(path.c_str());
}

TEST_F(SettingsFile, PathsLongerThanMaxPath) {
  std::wstring deep = folder;
  for (int i = 0; i < 4; ++i) {
    deep += std::wstring(80, wchar_t(L'a' + i)) + L"\u00e9\\";
    ASSERT_TRUE(CreateDirectoryW(ExtendedPath(deep).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
  }
  const std::wstring longPath = deep + L"SkiffData.dat";
  ASSERT_GT(longPath.size(), 300u);
  auto data = Sample();
  SaveToFile(*data, longPath);
  EXPECT_EQ(ComponentToText(*LoadSettingsFile(longPath)), ComponentToText(*data));
}

// Counts the file operations of a save and fails the one numbered FailAt.
// Writes go through in small pieces so that a failure can hit mid-file.
class FailingApi : public TSaveFileApi {
 public:
  int FailAt = 0;
  int Calls = 0;
  std::string Failed;  // which operation was made to fail

  HANDLE Create(const std::wstring& p) override {
    return Fail("Create") ? INVALID_HANDLE_VALUE : TSaveFileApi::Create(p);
  }
  bool Write(HANDLE f, const char* d, DWORD n, DWORD& w) override {
    if (Fail("Write")) return false;
    return TSaveFileApi::Write(f, d, std::min<DWORD>(n, 700), w);
  }
  bool Flush(HANDLE f) override { return !Fail("Flush") && TSaveFileApi::Flush(f); }
  bool Close(HANDLE f) override {
    const bool closed = TSaveFileApi::Close(f);  // never leak the handle, even when failing
    return !Fail("Close") && closed;
  }
  bool Replace(const std::wstring& a, const std::wstring& b) override {
    return !Fail("Replace") && TSaveFileApi::Replace(a, b);
  }

 private:
  bool Fail(const char* what) {
    if (++Calls != FailAt) return false;
    Failed = what;
    SetLastError(ERROR_DISK_FULL);
    return true;
  }
};

TEST_F(SettingsFile, AFailedSaveLeavesTheOldFileAndNoTemporaryFile) {
  auto old = Sample();
  SaveToFile(*old, path);
  const std::string before = ReadBytes(path);
  auto changed = Sample();
  for (int i = 0; i < 40; ++i) changed->Groups[0].Apps.Add().Title = u"entry " + Utf8ToUtf16(std::to_string(i));
  const std::string wanted = ComponentToText(*changed);
  ASSERT_GT(wanted.size(), 5 * 700u);

  const std::string cannotCreate = "Cannot create file \"" + Utf16ToUtf8(U16(path)) + "\". " +
                                   Utf16ToUtf8(SysErrorMessage(ERROR_DISK_FULL));
  int failures = 0;
  for (int failAt = 1;; ++failAt) {
    FailingApi api;
    api.FailAt = failAt;
    try {
      SaveToFile(*changed, path, api);
    } catch (const EStreamError& e) {
      ++failures;
      const bool creating = api.Failed == "Create" || api.Failed == "Replace";
      EXPECT_EQ(e.what(), creating ? cannotCreate : "Stream write error") << api.Failed;
      EXPECT_EQ(ReadBytes(path), before) << "failure at call " << failAt << " (" << api.Failed << ")";
      EXPECT_FALSE(Exists(path + L".tmp")) << "failure at call " << failAt;
      continue;
    }
    EXPECT_EQ(api.Failed, "");  // the save went through only once nothing failed
    break;
  }
  EXPECT_GT(failures, 8);
  EXPECT_EQ(ReadBytes(path), wanted);
}

TEST_F(SettingsFile, AFileHeldOpenByOthersIsNotReplaced) {
  SaveToFile(*Sample(), path);
  const std::string before = ReadBytes(path);
  UniqueHandle holder(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  ASSERT_TRUE(holder);
  EXPECT_THROW(SaveToFile(TSkiffData(), path), EStreamError);
  holder.Reset();
  EXPECT_EQ(ReadBytes(path), before);
  EXPECT_FALSE(Exists(path + L".tmp"));
}

// A copy of this program started from a folder with a non-ASCII name finds
// its settings file beside itself and can save and load it there.
TEST(SettingsFileName, IsBesideTheExecutableWhateverTheFolderName) {
  const TTempFolder temp(L"Dorvane \u00d8st \u65e5\u672c");
  const std::wstring& folder = temp.Path();
  const std::wstring copy = folder + L"probe.exe";
  ASSERT_TRUE(CopyFileW(ExeFileName().c_str(), copy.c_str(), FALSE));
  const std::wstring report = folder + L"report.txt";
  std::wstring command = L"\"" + copy + L"\" --settings-probe \"" + report + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  UniqueHandle process(pi.hProcess), thread(pi.hThread);
  ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadBytes(report), Utf16ToUtf8(U16(folder + L"SkiffData.dat")));
  EXPECT_EQ(LoadSettingsFile(folder + L"SkiffData.dat")->Groups[0].Name, Sample()->Groups[0].Name);
}

// The child side of the test above: saves a sample beside itself, loads it
// back, and reports the settings file name it used.
int SettingsProbe(const wchar_t* report) {
  const std::wstring name = SettingsFileName();
  SaveToFile(*Sample(), name);
  if (LoadSettingsFile(name)->Groups[0].Name != Sample()->Groups[0].Name) return 2;
  WriteBytes(report, Utf16ToUtf8(U16(name)));
  return 0;
}

}  // namespace

// Started by the program-button tests: reports the show command it got.
int ShowProbe(const wchar_t* report) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  GetStartupInfoW(&si);
  WriteBytes(report, std::to_string((si.dwFlags & STARTF_USESHOWWINDOW) ? si.wShowWindow : -1));
  return 0;
}

int Just1Probe(int argc, wchar_t** argv);

int ConfigShotProbe(const wchar_t* file, int page);
int StartFaultProbe(const wchar_t* folder);

int wmain(int argc, wchar_t** argv) {
  if (argc == 3 && std::wstring(argv[1]) == L"--start-fault") return StartFaultProbe(argv[2]);
  if (argc >= 2 && std::wstring(argv[1]).starts_with(L"--just1-")) return Just1Probe(argc, argv);
  if (argc == 3 && std::wstring(argv[1]) == L"--settings-probe") return SettingsProbe(argv[2]);
  if (argc == 3 && std::wstring(argv[1]) == L"--show-probe") return ShowProbe(argv[2]);
  if (argc == 4 && std::wstring(argv[1]) == L"--config-shot") return ConfigShotProbe(argv[2], _wtoi(argv[3]));
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
