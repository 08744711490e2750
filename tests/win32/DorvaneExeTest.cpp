// Dorvane.exe started as a program of its own and driven from outside, the
// way a person at the workstation would.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <functional>
#include <initializer_list>

#include <memory>
#include <string>
#include <vector>

#include "core/uCompStream.h"
#include "core/Errors.h"
#include "core/DeskWatch.h"
#include "win32/DataClasses.h"
#include "win32/ProgramEntry.h"
#include "win32/WinSupport.h"

#include "WindowTestSupport.h"

namespace {

std::wstring Text(HWND window) {
  wchar_t text[256] = {};
  GetWindowTextW(window, text, 256);
  return text;
}

struct Found {
  DWORD Process;
  const wchar_t* Class;
  const wchar_t* BoxText;  // a message box's text begins so; null: not a box
  HWND Window;
};

BOOL CALLBACK FindTopWindow(HWND window, LPARAM param) {
  auto* f = reinterpret_cast<Found*>(param);
  DWORD process = 0;
  GetWindowThreadProcessId(window, &process);
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  // The splash window is of the same class but has no caption.
  if (process != f->Process || std::wstring(cls) != f->Class || !IsWindowVisible(window) ||
      !(GetWindowLongW(window, GWL_STYLE) & WS_CAPTION) ||
      (f->BoxText && !Text(GetDlgItem(window, 0xFFFF)).starts_with(f->BoxText)))
    return TRUE;
  f->Window = window;
  return FALSE;
}

// Waits up to 20 s for a visible top-level window of the process.
HWND WaitForWindow(DWORD process, const wchar_t* cls, const wchar_t* boxText = nullptr) {
  Found f{process, cls, boxText, nullptr};
  PumpUntil([&] {
    EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&f));
    return f.Window != nullptr;
  }, 20000);
  return f.Window;
}

// Waits up to 20 s for a message box of the process whose text begins so.
HWND WaitForBox(DWORD process, const wchar_t* text) { return WaitForWindow(process, L"#32770", text); }

// The folder of the Dorvane.exe under test: DORVANE_EXE_DIR when set (an
// unpacked or installed package), else the one beside the tests.
std::wstring ProgramFolder() {
  wchar_t folder[MAX_PATH + 1] = {};
  const DWORD n = GetEnvironmentVariableW(L"DORVANE_EXE_DIR", folder, MAX_PATH + 1);
  std::wstring result;
  if (n > 0 && n <= MAX_PATH) {
    result = folder;
  } else {
    result = ExeFileName();
    result.resize(result.find_last_of(L'\\'));
  }
  return result + L"\\";
}

// A copy of Dorvane.exe and its desk watcher in `folder`, with the given
// settings file.
bool Install(const std::wstring& folder, const std::string& settings) {
  const std::wstring exe = ProgramFolder();
  for (const wchar_t* file : {L"Dorvane.exe", kDeskWatcherFile})
    if (!CopyFileW((exe + file).c_str(), (folder + file).c_str(), FALSE)) return false;
  if (!settings.empty()) {
    UniqueHandle f(CreateFileW((folder + L"SkiffData.dat").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    if (!WriteFile(f.Get(), settings.data(), static_cast<DWORD>(settings.size()), &written, nullptr)) return false;
  }
  return true;
}

// The processes that `parent` started and that still run.
std::vector<DWORD> ChildProcesses(DWORD parent) {
  std::vector<DWORD> children;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry))
    if (entry.th32ParentProcessID == parent) children.push_back(entry.th32ProcessID);
  return children;
}

// The desk watchers that run from `folder`: they belong to no process tree,
// so they are known by their program's place.
std::vector<DWORD> WatchersIn(const std::wstring& folder) {
  std::vector<DWORD> found;
  UniqueHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.Get(), &entry); more; more = Process32NextW(snapshot.Get(), &entry)) {
    if (_wcsicmp(entry.szExeFile, kDeskWatcherFile) != 0) continue;
    UniqueHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID));
    wchar_t path[MAX_PATH * 2] = {};
    DWORD size = MAX_PATH * 2;
    if (process && QueryFullProcessImageNameW(process.Get(), 0, path, &size) &&
        _wcsicmp(path, (folder + kDeskWatcherFile).c_str()) == 0)
      found.push_back(entry.th32ProcessID);
  }
  return found;
}

// Dorvane.exe running in a folder. A copy still running when the test is
// left (also through a failed assertion) is ended.
class Running {
 public:
  // Without a program: Dorvane.exe in that folder.
  // With a job: started inside it.
  explicit Running(const std::wstring& folder, const std::wstring& arguments = L"", std::wstring program = L"",
                   HANDLE job = nullptr)
      : Folder(folder) {
    if (program.empty()) program = folder + L"Dorvane.exe";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring command = L"\"" + program + L"\"" + arguments;
    if (!CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, FALSE, job ? CREATE_SUSPENDED : 0, nullptr,
                        folder.c_str(), &si, &pi))
      return;
    Id = pi.dwProcessId;
    Process.Reset(pi.hProcess);
    if (job) {
      AssignProcessToJobObject(job, pi.hProcess);
      ResumeThread(pi.hThread);
    }
    CloseHandle(pi.hThread);
  }
  ~Running() {
    if (Process && !Ended(0)) {
      TerminateProcess(Process.Get(), 0);
      WaitForSingleObject(Process.Get(), 10000);
    }
    // Its desk watcher ends with it and holds its program file until then.
    PumpUntil([&] { return WatchersIn(Folder).empty(); }, 5000);
  }
  bool Ended(int milliseconds) const {
    return PumpUntil([&] { return WaitForSingleObject(Process.Get(), 0) == WAIT_OBJECT_0; }, milliseconds);
  }
  DWORD ExitCode() const {
    DWORD code = 1;
    GetExitCodeProcess(Process.Get(), &code);
    return code;
  }

  std::wstring Folder;
  DWORD Id = 0;
  UniqueHandle Process;
};

struct FoundChild {
  const wchar_t* Class;
  int Skip;  // how many matching windows to pass over
  HWND Window;
};

BOOL CALLBACK FindChild(HWND window, LPARAM param) {
  auto* f = reinterpret_cast<FoundChild*>(param);
  wchar_t cls[64] = {};
  GetClassNameW(window, cls, 64);
  if (std::wstring(cls) != f->Class || !IsWindowVisible(window) || f->Skip-- > 0) return TRUE;
  f->Window = window;
  return FALSE;
}

HWND Child(HWND parent, const wchar_t* cls, int skip = 0) {
  FoundChild f{cls, skip, nullptr};
  EnumChildWindows(parent, FindChild, reinterpret_cast<LPARAM>(&f));
  return f.Window;
}

void Click(HWND window, int x, int y) {
  PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
  PostMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// What a control of another process writes through a pointer argument
// (TCM_GETITEMRECT, TB_GETBUTTON): the buffer lives in that process.
template <class T>
T AskRemote(DWORD processId, HWND control, UINT message, WPARAM wParam) {
  T result{};
  UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  void* remote = VirtualAllocEx(process.Get(), nullptr, sizeof result, MEM_COMMIT, PAGE_READWRITE);
  SendMessageW(control, message, wParam, reinterpret_cast<LPARAM>(remote));
  ReadProcessMemory(process.Get(), remote, &result, sizeof result, nullptr);
  VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
  return result;
}

TEST(DorvaneExe, StartsAndClosesThroughTheConfirmation) {
  const TTempFolder temp(L"Dorvane e2e \u00fc");
  const std::wstring& folder = temp.Path();
  ASSERT_TRUE(Install(folder, "")) << "Dorvane.exe beside the tests";
  // In a desktop of its own (one ctest run) the shell starts with the test:
  // its taskbar is let come up first, as at a logon that has started.
  if (const HWND shell = FindWindowW(L"Shell_TrayWnd", nullptr)) {
    PumpUntil([shell] { return IsWindowVisible(shell) != FALSE; }, 2000);
    PumpUntil([] { return false; }, 300);
  }
  Running dorvane(folder);
  ASSERT_TRUE(dorvane.Process);

  const HWND main = WaitForWindow(dorvane.Id, L"DorvaneForm");
  ASSERT_TRUE(main);
  EXPECT_EQ(Text(main), L"Dorvane");
  // The keyboard is the desk's from the start: the splash must not have
  // spent the start's right to the foreground.
  EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main; }, 3000));

  PostMessageW(main, WM_CLOSE, 0, 0);
  const HWND box = WaitForWindow(dorvane.Id, L"#32770");
  ASSERT_TRUE(box);
  EXPECT_EQ(Text(box), L"Quorvel Dorvane");
  EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), L"Are you sure you want to close Dorvane?");
  PostMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);

  ASSERT_TRUE(dorvane.Ended(20000));
  EXPECT_EQ(dorvane.ExitCode(), 0u);
  // Closing writes nothing.
  EXPECT_EQ(GetFileAttributesW((folder + L"SkiffData.dat").c_str()), INVALID_FILE_ATTRIBUTES);
}

// The version record is made from the same one version number as the
// packages' names.
TEST(DorvaneExe, CarriesTheVersionOfThePackage) {
  const std::wstring exe = ProgramFolder() + L"Dorvane.exe";
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u) << "no version record in Dorvane.exe";
  std::vector<char> record(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, record.data()));
  const auto text = [&](const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    return VerQueryValueW(record.data(), key.c_str(), &value, &length) && length
               ? std::wstring(static_cast<const wchar_t*>(value))
               : std::wstring();
  };
  const std::wstring expected = DORVANE_VERSION L".0";
  EXPECT_EQ(text(L"ProductVersion"), expected);
  EXPECT_EQ(text(L"FileVersion"), expected);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(record.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  const std::wstring numbers = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." +
                               std::to_wstring(LOWORD(fixed->dwFileVersionMS)) + L"." +
                               std::to_wstring(HIWORD(fixed->dwFileVersionLS)) + L"." +
                               std::to_wstring(LOWORD(fixed->dwFileVersionLS));
  EXPECT_EQ(numbers, expected);
}

TEST(DorvaneExe, ASecondCopyBringsTheFirstForwardAndEnds) {
  const TTempFolder temp(L"Dorvane e2e \u00fc");
  const std::wstring& folder = temp.Path();
  ASSERT_TRUE(Install(folder, ""));
  Running first(folder);
  const HWND main = WaitForWindow(first.Id, L"DorvaneForm");
  ASSERT_TRUE(main);
  ShowWindow(main, SW_MINIMIZE);  // into the tray
  for (int i = 0; i < 100 && IsWindowVisible(main); ++i) Sleep(50);

  Running second(folder);
  ASSERT_TRUE(second.Process);
  ASSERT_TRUE(second.Ended(20000));
  EXPECT_EQ(second.ExitCode(), 0u);
  for (int i = 0; i < 100 && IsIconic(main); ++i) Sleep(50);
  EXPECT_FALSE(IsIconic(main));  // the first copy came back
  EXPECT_FALSE(first.Ended(0));
}

TEST(DorvaneExe, TheSwitchRDisablesConfigurationAndClosingLeavesThePositionFile) {
  const TTempFolder temp(L"Dorvane e2e \u00fc");
  const std::wstring& folder = temp.Path();
  ASSERT_TRUE(Install(folder, ""));
  Running dorvane(folder, L" /r");
  const HWND main = WaitForWindow(dorvane.Id, L"DorvaneForm");
  ASSERT_TRUE(main);
  const HWND tools = Child(main, L"ToolbarWindow32");
  ASSERT_TRUE(tools);
  // The left tool bar holds Explorer, desktop, configuration and about:
  // only the configuration button is disabled.
  std::vector<bool> enabled;
  for (int i = 0; i < 4; ++i) {
    const auto button = AskRemote<TBBUTTON>(dorvane.Id, tools, TB_GETBUTTON, i);
    enabled.push_back(SendMessageW(tools, TB_ISBUTTONENABLED, button.idCommand, 0) != 0);
  }
  EXPECT_EQ(enabled, (std::vector<bool>{true, true, false, true}));

  PostMessageW(main, WM_CLOSE, 0, 0);
  const HWND box = WaitForWindow(dorvane.Id, L"#32770");
  ASSERT_TRUE(box);
  PostMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
  ASSERT_TRUE(dorvane.Ended(20000));
  const std::wstring ini = folder + L"Deradiv.INI";
  for (const wchar_t* key : {L"TMainForm_Left", L"TMainForm_Top", L"TMainForm_Width", L"TMainForm_Height",
                             L"TMainForm_WindowState", L"TMainForm_Visible"}) {
    wchar_t value[32] = {};
    GetPrivateProfileStringW(L"Window Position", key, L"missing", value, 32, ini.c_str());
    EXPECT_NE(std::wstring(value), L"missing") << key;
  }
}

// A file dropped from outside: the shell's DROPFILES block placed in
// Dorvane's memory, as no HGLOBAL crosses processes.
void DropRemote(DWORD processId, HWND area, const std::wstring& name) {
  std::vector<char> block(sizeof(DROPFILES) + (name.size() + 2) * sizeof(wchar_t));
  auto* drop = reinterpret_cast<DROPFILES*>(block.data());
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(block.data() + sizeof(DROPFILES), name.c_str(), name.size() * sizeof(wchar_t));
  UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId));
  void* remote = VirtualAllocEx(process.Get(), nullptr, block.size(), MEM_COMMIT, PAGE_READWRITE);
  WriteProcessMemory(process.Get(), remote, block.data(), block.size(), nullptr);
  SendMessageW(area, WM_DROPFILES, reinterpret_cast<WPARAM>(remote), 0);
}

int CountChildren(HWND parent, const wchar_t* cls) {
  int count = 0;
  while (Child(parent, cls, count)) ++count;
  return count;
}

TEST(DorvaneExe, UnderTheSwitchRADropChangesNeitherTheFileNorTheRow) {
  const std::string settings = "object TSkiffData\r\n  Groups = <\r\n    item\r\n      Name = 'Tools'\r\n"
                               "      Apps = <\r\n        item\r\n          Title = 'Notes'\r\n        end>\r\n"
                               "    end>\r\nend\r\n";
  for (const bool locked : {false, true}) {
    SCOPED_TRACE(locked ? "/R" : "no switch");
    const TTempFolder temp(L"Dorvane e2e \u00fc");
    ASSERT_TRUE(Install(temp.Path(), settings));
    Running dorvane(temp.Path(), locked ? L" /R" : L"");
    const HWND main = WaitForWindow(dorvane.Id, L"DorvaneForm");
    ASSERT_TRUE(main);
    const HWND button = Child(main, L"DorvaneIconSpeedBtn");
    ASSERT_TRUE(button);
    const HWND area = GetParent(GetParent(button));  // the row's panel inside the button area
    EXPECT_EQ((GetWindowLongW(area, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) == 0, locked);
    DropRemote(dorvane.Id, area, L"C:\\windows\\regedit.exe");
    EXPECT_EQ(CountChildren(main, L"DorvaneIconSpeedBtn"), locked ? 1 : 2);
    std::ifstream in((temp.Path() + L"SkiffData.dat").c_str(), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}) == settings, locked);
  }
}

TEST(DorvaneExe, SwitchesTabsAndPressesAButtonLikeAPerson) {
  const TTempFolder temp(L"Dorvane e2e \u00fc");
  const std::wstring& folder = temp.Path();
  ASSERT_TRUE(Install(folder, "object TSkiffData\r\n  Groups = <\r\n    item Name = 'Tools' Apps = < item Title = 'Missing' "
      "Command = 'C:\\no\\such.exe' end >\r\n    end\r\n    item Name = 'Empty' Apps = < item Title = 'Nothing' "
      "end > end>\r\nend\r\n"));
  Running dorvane(folder);
  const HWND main = WaitForWindow(dorvane.Id, L"DorvaneForm");
  ASSERT_TRUE(main);
  const HWND tabs = Child(main, L"SysTabControl32");
  ASSERT_TRUE(tabs);
  ASSERT_EQ(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0), 2);

  const auto second = AskRemote<RECT>(dorvane.Id, tabs, TCM_GETITEMRECT, 1);
  Click(tabs, (second.left + second.right) / 2, (second.top + second.bottom) / 2);
  for (int i = 0; i < 100 && SendMessageW(tabs, TCM_GETCURSEL, 0, 0) != 1; ++i) Sleep(50);
  ASSERT_EQ(SendMessageW(tabs, TCM_GETCURSEL, 0, 0), 1);

  const HWND button = Child(main, L"DorvaneIconSpeedBtn");
  ASSERT_TRUE(button);
  Click(button, 5, 5);
  const HWND box = WaitForWindow(dorvane.Id, L"#32770");
  ASSERT_TRUE(box);
  EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), L"There is no program to run.");
  PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);
}

// Real key presses, and a moment for the program to take them.
void Keys(std::initializer_list<WORD> keys) {
  PressKeys(keys);
  Sleep(150);
}

TEST(DorvaneExe, TheKeyboardComesBackToTheRowOverAnEmptyGroupAndStartsTheSecondProgram) {
  const TTempFolder temp(L"Dorvane e2e keys");
  const std::wstring& folder = temp.Path();
  ASSERT_TRUE(Install(folder, "object TSkiffData\r\n  Groups = <\r\n    item Name = 'B'#252'ro' Apps = < "
      "item Title = 'One' Command = 'C:\\no\\one.exe' end item Title = 'Two' Command = 'C:\\no\\two.exe' end "
      "item Title = 'Three' Command = 'C:\\no\\three.exe' end > end\r\n    item Name = 'Empty' end\r\n"
      "    item Name = 'Also empty' end>\r\nend\r\n"));
  Running dorvane(folder);
  const HWND main = WaitForWindow(dorvane.Id, L"DorvaneForm");
  ASSERT_TRUE(main);
  const HWND tabs = Child(main, L"SysTabControl32");
  SetForegroundWindow(main);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == main; }, 5000));
  Keys({VK_CONTROL, VK_TAB});
  ASSERT_TRUE(PumpUntil([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 1; }, 5000));
  Keys({VK_CONTROL, VK_SHIFT, VK_TAB});
  ASSERT_TRUE(PumpUntil([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) == 0; }, 5000));
  Keys({VK_RIGHT});
  Keys({VK_RETURN});
  const HWND box = WaitForWindow(dorvane.Id, L"#32770");
  ASSERT_TRUE(box) << "Right and Enter start the second program";
  EXPECT_NE(Text(GetDlgItem(box, 0xFFFF)).find(L"C:\\no\\two.exe"), std::wstring::npos)
      << Text(GetDlgItem(box, 0xFFFF));
  PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(50);
}

struct FoundText {
  const wchar_t* Text;
  HWND Window;
};

BOOL CALLBACK FindByText(HWND window, LPARAM param) {
  auto* f = reinterpret_cast<FoundText*>(param);
  if (Text(window) != f->Text) return TRUE;
  f->Window = window;
  return FALSE;
}

HWND ChildWithText(HWND parent, const wchar_t* text) {
  FoundText f{text, nullptr};
  EnumChildWindows(parent, FindByText, reinterpret_cast<LPARAM>(&f));
  return f.Window;
}

// A tab's caption in another process: the item and its text buffer live there.
std::wstring RemoteTabText(DWORD processId, HWND tabs, int index) {
  struct Block {
    TCITEMW Item;
    wchar_t Text[128];
  } block{};
  UniqueHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId));
  auto* remote = static_cast<Block*>(VirtualAllocEx(process.Get(), nullptr, sizeof block, MEM_COMMIT, PAGE_READWRITE));
  block.Item.mask = TCIF_TEXT;
  block.Item.pszText = remote->Text;
  block.Item.cchTextMax = 128;
  WriteProcessMemory(process.Get(), remote, &block, sizeof block, nullptr);
  SendMessageW(tabs, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&remote->Item));
  ReadProcessMemory(process.Get(), remote, &block, sizeof block, nullptr);
  VirtualFreeEx(process.Get(), remote, 0, MEM_RELEASE);
  return block.Text;
}

// Presses the Configuration button (the third of the left tool bar) and
// waits up to 10 s for the dialog to show.
HWND OpenConfiguration(DWORD processId, HWND main) {
  const HWND tools = Child(main, L"ToolbarWindow32");
  const auto config = AskRemote<TBBUTTON>(processId, tools, TB_GETBUTTON, 2);
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(config.idCommand, BN_CLICKED), reinterpret_cast<LPARAM>(tools));
  for (int i = 0; i < 200; ++i) {
    const HWND dialog = FindWindowW(L"DorvaneForm", L"Dorvane Configuration");
    if (dialog && IsWindowVisible(dialog)) return dialog;
    Sleep(50);
  }
  return nullptr;
}

TEST(DorvaneExe, ConfiguresAGroupAndAnOptionFromTheDialog) {
  const TTempFolder temp(L"Dorvane e2e \u00fc");
  const std::wstring& folder = temp.Path();
  ASSERT_TRUE(Install(folder, "object TSkiffData\r\n  Groups = <\r\n    item Name = 'Tools' Apps = < item Title = 'Pad' "
      "Command = 'notepad.exe' end > end>\r\nend\r\n"));
  Running dorvane(folder);
  const HWND main = WaitForWindow(dorvane.Id, L"DorvaneForm");
  ASSERT_TRUE(main);
  const HWND dialog = OpenConfiguration(dorvane.Id, main);
  ASSERT_TRUE(dialog);
  const HWND tree = Child(dialog, L"SysTreeView32");
  ASSERT_TRUE(tree);
  // Rename the selected group in place, as F2 and typing would.
  SetForegroundWindow(dialog);
  const HTREEITEM group = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0));
  ASSERT_TRUE(group);
  HWND editor = reinterpret_cast<HWND>(SendMessageW(tree, TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(group)));
  ASSERT_TRUE(editor);
  SendMessageW(editor, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"Office \u00e9"));
  PostMessageW(editor, WM_KEYDOWN, VK_RETURN, 1);
  for (int i = 0; i < 100 && IsWindow(editor); ++i) Sleep(50);
  EXPECT_FALSE(IsWindow(editor));

  const HWND flat = ChildWithText(dialog, L"Flat Buttons");
  ASSERT_TRUE(flat);
  SendMessageW(flat, BM_CLICK, 0, 0);
  EXPECT_EQ(SendMessageW(flat, BM_GETCHECK, 0, 0), BST_CHECKED);
  PostMessageW(ChildWithText(dialog, L"Done"), BM_CLICK, 0, 0);
  for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(50);
  ASSERT_FALSE(IsWindow(dialog));

  UniqueHandle file(CreateFileW((folder + L"SkiffData.dat").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr));
  char bytes[4096] = {};
  DWORD read = 0;
  ReadFile(file.Get(), bytes, sizeof bytes - 1, &read, nullptr);
  const std::string saved(bytes, read);
  EXPECT_NE(saved.find("Name = 'Office '#233"), std::string::npos) << saved;
  EXPECT_NE(saved.find("DoFlatButtons = True"), std::string::npos) << saved;
  EXPECT_EQ(RemoteTabText(dorvane.Id, Child(main, L"SysTabControl32"), 0), L"Office \u00e9");
}

TEST(DorvaneExe, EditsOneEntryFromTheDialogAndNothingElse) {
  const std::string original =
      "object TSkiffData\r\n  Groups = <\r\n    item Name = 'Tools' Apps = < item Title = 'Pad' "
      "Command = 'notepad.exe' WindowState = 'N' DialogType = 'N' end item Title = 'Calc' Command = 'calc.exe' "
      "WindowState = 'N' DialogType = 'N' "
      "end > end>\r\nend\r\n";
  const TTempFolder temp(L"Dorvane e2e \u00fc");
  const std::wstring& folder = temp.Path();
  ASSERT_TRUE(Install(folder, original));
  Running dorvane(folder);
  const HWND main = WaitForWindow(dorvane.Id, L"DorvaneForm");
  ASSERT_TRUE(main);
  const HWND dialog = OpenConfiguration(dorvane.Id, main);
  ASSERT_TRUE(dialog);
  const HWND tree = Child(dialog, L"SysTreeView32");
  const auto child = [&](HTREEITEM node) {
    return reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(node)));
  };
  const HTREEITEM group = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  const HTREEITEM pad = child(group);
  const HTREEITEM calc = reinterpret_cast<HTREEITEM>(
      SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(pad)));
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(pad));
  HWND parameters = nullptr;
  for (int i = 0; i < 100 && !parameters; ++i) {
    Sleep(50);
    parameters = Child(dialog, L"Edit", 1);  // the editor shows once the selection settles
  }
  ASSERT_TRUE(parameters);
  SendMessageW(parameters, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"/A notes.txt"));
  const HWND state = Child(dialog, L"ComboBox", 1);
  ASSERT_TRUE(state);
  SendMessageW(state, CB_SETCURSEL, 2, 0);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(0, CBN_SELCHANGE), reinterpret_cast<LPARAM>(state));
  Sleep(100);
  SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(calc));  // another node, at once
  Sleep(300);
  PostMessageW(ChildWithText(dialog, L"Done"), BM_CLICK, 0, 0);
  for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(50);
  ASSERT_FALSE(IsWindow(dialog));

  std::unique_ptr<TSkiffData> expected = TextToComponent(original);
  expected->Groups[0].Apps[0].Parameters = u"/A notes.txt";
  expected->Groups[0].Apps[0].WindowState = u"X";
  const std::unique_ptr<TSkiffData> saved = LoadSettingsFile(folder + L"SkiffData.dat");
  EXPECT_EQ(ComponentToText(*saved), ComponentToText(*expected));
}

// Typed text, as a person's hands give it, to whatever window is in front.
void Type(const std::wstring& text) {
  std::vector<INPUT> input;
  for (wchar_t c : text)
    for (DWORD up : {0ul, static_cast<unsigned long>(KEYEVENTF_KEYUP)}) {
      INPUT in{};
      in.type = INPUT_KEYBOARD;
      in.ki.wScan = c;
      in.ki.dwFlags = KEYEVENTF_UNICODE | up;
      input.push_back(in);
    }
  SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
  Sleep(150);
}
void ClickAt(POINT at) {
  INPUT in[3] = {};
  for (INPUT& i : in) {
    i.type = INPUT_MOUSE;
    i.mi.dx = MulDiv(at.x, 65536, GetSystemMetrics(SM_CXSCREEN));
    i.mi.dy = MulDiv(at.y, 65536, GetSystemMetrics(SM_CYSCREEN));
  }
  in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN | MOUSEEVENTF_ABSOLUTE;
  in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_ABSOLUTE;
  SendInput(3, in, sizeof(INPUT));
  Sleep(150);
}
void ClickOn(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// A new administrator's first desk, made in Dorvane itself: an empty desk,
// Configuration, Add Group from the tree's menu, a name typed, Insert, a
// program typed into the open dialog, Done.
TEST(DorvaneExe, BuildsADeskFromNothingWithAddGroupAndAddItem) {
  const TTempFolder temp(L"Dorvane e2e \u00fc");
  const std::wstring& folder = temp.Path();
  ASSERT_TRUE(Install(folder, ""));
  Running dorvane(folder);
  const HWND main = WaitForWindow(dorvane.Id, L"DorvaneForm");
  ASSERT_TRUE(main);
  const HWND tools = Child(main, L"ToolbarWindow32");
  const auto config = AskRemote<RECT>(dorvane.Id, tools, TB_GETITEMRECT, 2);
  POINT at{(config.left + config.right) / 2, (config.top + config.bottom) / 2};
  ClientToScreen(tools, &at);
  SetForegroundWindow(main);
  ClickAt(at);
  HWND dialog = nullptr;
  PumpUntil([&] { return (dialog = FindWindowW(L"DorvaneForm", L"Dorvane Configuration")) && IsWindowVisible(dialog); },
            10000);
  ASSERT_TRUE(dialog) << "Configuration opens the dialog";
  const HWND tree = Child(dialog, L"SysTreeView32");
  ASSERT_EQ(GetForegroundWindow(), dialog);

  // The tree's menu from the keyboard: Rename, then Add Group.
  Keys({VK_APPS});
  Keys({VK_DOWN});
  Keys({VK_DOWN});
  Keys({VK_RETURN});
  HWND editor = nullptr;
  PumpUntil([&] { return (editor = reinterpret_cast<HWND>(SendMessageW(tree, TVM_GETEDITCONTROL, 0, 0))) != nullptr; },
            5000);
  ASSERT_TRUE(editor) << "the new group is named at once";
  Keys({VK_CONTROL, 'A'});
  Type(L"Office \u00e9");
  Keys({VK_RETURN});
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(editor); }, 5000));

  Keys({VK_INSERT});
  const HWND open = WaitForWindow(dorvane.Id, L"#32770");
  ASSERT_TRUE(open);
  EXPECT_EQ(Text(open), L"Add Item");
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  const std::wstring program = std::wstring(system) + L"\\notepad.exe";
  Type(program);
  Keys({VK_RETURN});
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(open); }, 5000));
  PumpUntil([&] { return SendMessageW(tree, TVM_GETCOUNT, 0, 0) == 2; }, 5000);
  EXPECT_EQ(SendMessageW(tree, TVM_GETCOUNT, 0, 0), 2);

  ClickOn(ChildWithText(dialog, L"Done"));
  ASSERT_TRUE(PumpUntil([&] { return !IsWindow(dialog); }, 5000));

  const std::unique_ptr<TSkiffData> saved = LoadSettingsFile(folder + L"SkiffData.dat");
  ASSERT_EQ(saved->Groups.Count(), 1);
  EXPECT_EQ(saved->Groups[0].Name, u"Office \u00e9");
  ASSERT_EQ(saved->Groups[0].Apps.Count(), 1);
  const TAppItem& pad = saved->Groups[0].Apps[0];
  EXPECT_EQ(_wcsicmp(W(pad.Command), program.c_str()), 0);
  EXPECT_EQ(pad.Title, u"notepad");
  EXPECT_EQ(_wcsicmp(W(pad.Directory), system), 0);
  EXPECT_EQ(RemoteTabText(dorvane.Id, Child(main, L"SysTabControl32"), 0), L"Office \u00e9");
  EXPECT_TRUE(PumpUntil([&] { return Child(main, L"DorvaneIconSpeedBtn") != nullptr; }, 5000))
      << "the new button on the main window";
}

const char kHidingDesk[] = "object TSkiffData\r\n  HideProgMan = True\r\n  HideTaskBar = True\r\nend\r\n";

// Runs a command line to its end; its exit code.
DWORD RunToEnd(std::wstring command) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return 0xFFFFFFFF;
  const UniqueHandle process(pi.hProcess), thread(pi.hThread);
  DWORD code = 0xFFFFFFFF;
  if (WaitForSingleObject(pi.hProcess, 30000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  return code;
}

// The desk comes back whatever ends Dorvane, and only what Dorvane hid.
TEST(DorvaneExe, HoweverItEndsItsWatcherGivesBackWhatItHidWithinASecond) {
  const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  ASSERT_TRUE(taskbar);
  enum class End { Kill, KillByImageName, KillTree, JobClosed };
  struct Case {
    const char* name;
    End end;
    bool taskbarShown, desktopShown;  // before Dorvane starts
  };
  const Case cases[] = {
      {"killed, taskbar shown before", End::Kill, true, false},
      {"killed, desktop shown before", End::Kill, false, true},
      {"taskkill /f /im Dorvane.exe", End::KillByImageName, true, true},
      {"the process tree killed", End::KillTree, true, true},
      {"its job closed", End::JobClosed, true, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const TestWindow desktop(L"Program Manager", 0, 0, 200, 100, c.desktopShown);
    ShowWindow(taskbar, c.taskbarShown ? SW_SHOWNORMAL : SW_HIDE);
    const TTempFolder temp(L"Dorvane e2e \u00fc");
    ASSERT_TRUE(Install(temp.Path(), kHidingDesk));
    UniqueHandle job;
    if (c.end == End::JobClosed) {
      // As a session manager or a test harness holds a program: gone with the job.
      job.Reset(CreateJobObjectW(nullptr, nullptr));
      JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
      limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_BREAKAWAY_OK;
      ASSERT_TRUE(SetInformationJobObject(job.Get(), JobObjectExtendedLimitInformation, &limits, sizeof limits));
    }
    Running dorvane(temp.Path(), L"", L"", job.Get());
    ASSERT_TRUE(WaitForWindow(dorvane.Id, L"DorvaneForm"));
    EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(taskbar) && !IsWindowVisible(desktop.Get()); }, 2000));
    // The relay that Dorvane starts hands over to a watcher that is no child of Dorvane's.
    std::vector<DWORD> watchers;
    const bool handedOver = PumpUntil([&] {
      watchers = WatchersIn(temp.Path());
      const std::vector<DWORD> children = ChildProcesses(dorvane.Id);
      return watchers.size() == 1 && std::ranges::find(children, watchers[0]) == children.end();
    }, 10000);
    ASSERT_TRUE(handedOver) << watchers.size() << " watchers";
    const UniqueHandle watcher(OpenProcess(SYNCHRONIZE, FALSE, watchers[0]));
    ASSERT_TRUE(watcher);

    switch (c.end) {
      case End::Kill: ASSERT_TRUE(TerminateProcess(dorvane.Process.Get(), 9)); break;
      case End::KillByImageName: EXPECT_EQ(RunToEnd(L"taskkill.exe /f /im Dorvane.exe"), 0u); break;
      case End::KillTree:
        // What taskkill /f /t does (Wine's taskkill lacks /t): the process
        // and every process it started, found by their parent's id.
        for (std::vector<DWORD> tree{dorvane.Id}; !tree.empty();) {
          const DWORD id = tree.back();
          tree.pop_back();
          for (DWORD child : ChildProcesses(id)) tree.push_back(child);
          const UniqueHandle process(OpenProcess(PROCESS_TERMINATE, FALSE, id));
          ASSERT_TRUE(process && TerminateProcess(process.Get(), 1));
        }
        break;
      case End::JobClosed: job.Reset(); break;
    }
    ASSERT_TRUE(dorvane.Ended(10000));
    const auto ended = std::chrono::steady_clock::now();
    const bool back = PumpUntil([&] {
      return IsWindowVisible(c.taskbarShown ? taskbar : desktop.Get()) != FALSE;
    }, 1000);
    EXPECT_TRUE(back) << "after " << (std::chrono::steady_clock::now() - ended) / std::chrono::milliseconds(1)
                      << " ms";
    // The watcher ends with Dorvane, leaving what was hidden before hidden.
    EXPECT_TRUE(PumpUntil([&] { return WaitForSingleObject(watcher.Get(), 0) == WAIT_OBJECT_0; }, 10000));
    EXPECT_TRUE(ComesTo(taskbar, c.taskbarShown));
    EXPECT_TRUE(ComesTo(desktop.Get(), c.desktopShown));
  }
}

// A log-off or shutdown asks, then ends the session; Windows ends the
// process after that without destroying its window.
TEST(DorvaneExe, TheEndOfTheSessionGivesTheDeskBackBeforeTheProcessEnds) {
  const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  ShowWindow(taskbar, SW_SHOWNORMAL);
  const TTempFolder temp(L"Dorvane e2e \u00fc");
  ASSERT_TRUE(Install(temp.Path(), "object TSkiffData\r\n  HideTaskBar = True\r\n  DisableClose = True\r\nend\r\n"));
  Running dorvane(temp.Path());
  const HWND main = WaitForWindow(dorvane.Id, L"DorvaneForm");
  ASSERT_TRUE(main);
  ASSERT_TRUE(ComesTo(taskbar, false));
  DWORD_PTR answer = 0;
  ASSERT_TRUE(SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_EQ(answer, TRUE) << "the session may end";
  ASSERT_TRUE(SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_ABORTIFHUNG, 5000, &answer));
  EXPECT_TRUE(ComesTo(taskbar, true));
  EXPECT_FALSE(dorvane.Ended(0)) << "given back by Dorvane itself, not by its end";
}

// The watcher takes nothing but what Dorvane hands it: its own handles,
// checked against Dorvane's id, each wrong one with its own exit code.
TEST(DorvaneExe, TheWatcherRefusesAnyOtherCommandLine) {
  HANDLE self = nullptr;
  ASSERT_TRUE(DuplicateHandle(GetCurrentProcess(), GetCurrentProcess(), GetCurrentProcess(), &self,
                              SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0));
  const UniqueHandle selfOwner(self);
  const auto number = [](HANDLE h) { return std::to_wstring(reinterpret_cast<UINT_PTR>(h)); };
  const std::wstring me = std::to_wstring(GetCurrentProcessId());
  struct Case {
    std::wstring arguments;
    DWORD exitCode;
  };
  const Case cases[] = {
      {L"", dwBadArguments},
      {L"--desk-watch " + number(self) + L" " + number(self), dwBadArguments},
      {L"watch 18446744073709551615 " + number(self) + L" " + me, dwBadArguments},  // the current process
      {L"watch 4294967295 " + number(self) + L" " + me, dwBadArguments},
      {L"watch " + number(self) + L" " + number(self) + L" " + std::to_wstring(GetCurrentProcessId() + 4), dwNotParent},
      {L"watch 4000 " + number(self) + L" " + me, dwNotParent},  // no such handle
      {L"watch " + number(self) + L" " + number(self) + L" " + me, dwNoSharedBlock},  // no mapping
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.arguments.begin(), c.arguments.end()));
    const std::wstring program = ProgramFolder() + kDeskWatcherFile;
    std::wstring command = L"\"" + program + L"\" " + c.arguments;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessW(program.c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi));
    const UniqueHandle process(pi.hProcess), thread(pi.hThread);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 10000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, c.exitCode);
  }
}

// A restarted shell makes a new taskbar and tells every top-level window.
TEST(DorvaneExe, TheNewTaskbarOfARestartedShellIsHiddenAgain) {
  const TTempFolder temp(L"Dorvane e2e \u00fc");
  ASSERT_TRUE(Install(temp.Path(), kHidingDesk));
  Running dorvane(temp.Path());
  const HWND main = WaitForWindow(dorvane.Id, L"DorvaneForm");
  ASSERT_TRUE(main);
  // The tray icon follows the first paint: it goes to the shell that was
  // there, not to the stand-in below, which would refuse it.
  ASSERT_TRUE(PumpUntil([&] {
    DWORD owner = 0;
    GetWindowThreadProcessId(FindWindowW(L"DorvaneTrayWindow", nullptr), &owner);
    return owner == dorvane.Id;
  }, 5000));
  PumpUntil([] { return false; }, 300);

  WNDCLASSW wc{};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"Shell_TrayWnd";
  RegisterClassW(&wc);
  const UniqueOwner<HWND, DestroyWindow> bar(CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"Shell_TrayWnd", L"",
                                                              WS_POPUP | WS_VISIBLE, 0, 760, 1280, 40, nullptr,
                                                              nullptr, wc.hInstance, nullptr));
  ASSERT_EQ(FindWindowW(L"Shell_TrayWnd", nullptr), bar.Get()) << "the new taskbar is the one found";
  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
  EXPECT_TRUE(PumpUntil([&] { return !IsWindowVisible(bar.Get()); }, 5000));

  PostMessageW(main, WM_CLOSE, 0, 0);
  const HWND box = WaitForWindow(dorvane.Id, L"#32770");
  ASSERT_TRUE(box);
  PostMessageW(GetDlgItem(box, IDYES), BM_CLICK, 0, 0);
  ASSERT_TRUE(dorvane.Ended(20000));
  EXPECT_TRUE(ComesTo(bar.Get(), true)) << "the desk given back is the new one";
}

TEST(DorvaneExe, ClosesThoughThePositionCannotBeWrittenAndGivesTheDeskBackOnlyThen) {
  const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  ShowWindow(taskbar, SW_SHOWNORMAL);
  const TTempFolder temp(L"Dorvane e2e \u00fc");
  ASSERT_TRUE(Install(temp.Path(), kHidingDesk));
  ASSERT_TRUE(CreateDirectoryW((temp.Path() + L"Deradiv.INI").c_str(), nullptr));  // no file can be written there
  Running dorvane(temp.Path());
  const HWND main = WaitForWindow(dorvane.Id, L"DorvaneForm");
  ASSERT_TRUE(main);
  EXPECT_TRUE(ComesTo(taskbar, false));

  PostMessageW(main, WM_CLOSE, 0, 0);
  const HWND question = WaitForBox(dorvane.Id, L"Are you sure");
  ASSERT_TRUE(question);
  PostMessageW(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
  const HWND error = WaitForBox(dorvane.Id, L"Unable to write to ");
  ASSERT_TRUE(error);
  EXPECT_EQ(_wcsicmp(Text(GetDlgItem(error, 0xFFFF)).c_str(), (L"Unable to write to " + temp.Path() + L"Deradiv.INI").c_str()), 0)
      << Text(GetDlgItem(error, 0xFFFF));
  EXPECT_FALSE(IsWindowVisible(taskbar)) << "still Dorvane's desk while its window is there";
  PostMessageW(GetDlgItem(error, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(dorvane.Ended(20000));
  EXPECT_EQ(dorvane.ExitCode(), 0u);
  EXPECT_TRUE(ComesTo(taskbar, true));
}

TEST(DorvaneExe, AFailureWhileTheWindowsAreBuiltIsReportedAndGivesTheDeskBack) {
  const HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
  ShowWindow(taskbar, SW_SHOWNORMAL);
  const TTempFolder temp(L"Dorvane e2e \u00fc");
  ASSERT_TRUE(Install(temp.Path(), kHidingDesk));
  // This program's entry run over that folder, failing once the window is shown.
  const std::wstring folder = temp.Path().substr(0, temp.Path().size() - 1);  // a final \ would escape the quote
  Running failing(temp.Path(), L" --start-fault \"" + folder + L"\"", ExeFileName());
  ASSERT_TRUE(failing.Process);
  const HWND box = WaitForBox(failing.Id, L"");
  ASSERT_TRUE(box);
  EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), L"Cannot create the window: injected");
  EXPECT_TRUE(ComesTo(taskbar, true)) << "the desk is given back before the box";
  PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
  ASSERT_TRUE(failing.Ended(20000));
  EXPECT_EQ(failing.ExitCode(), 1u);
}

}  // namespace

// The program's entry as Dorvane.exe runs it, over the settings in `folder`,
// with a failure injected when the main window has been shown.
int StartFaultProbe(const wchar_t* folder) {
  TMainFormEnv env;
  env.SettingsFile = std::wstring(folder) + L"\\SkiffData.dat";
  env.IniFolder = folder;
  env.OnShown = [] { throw Exception(std::string_view("Cannot create the window: injected")); };
  return RunDorvane(GetModuleHandleW(nullptr), env);
}
