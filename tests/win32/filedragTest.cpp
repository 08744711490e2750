// The drop receiver on a real window, with drops built in this process the
// way the shell builds them (a DROPFILES block in movable global memory).
#include "win32/filedrag.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/Errors.h"
#include "core/TextCodec.h"
#include "win32/WinSupport.h"

namespace {

// What reached the window's own procedure.
struct Seen {
  int Drops = 0;
  int AppMessages = 0;
};

LRESULT CALLBACK TargetProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* seen = reinterpret_cast<Seen*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (seen && message == WM_DROPFILES) {
    ++seen->Drops;
    DragFinish(reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  if (seen && message == WM_APP) {
    ++seen->AppMessages;
    return 42 + static_cast<LRESULT>(wParam);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

class Target {
 public:
  Target() {
    static const ATOM atom = [] {
      WNDCLASSW wc{};
      wc.lpfnWndProc = TargetProc;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"DorvaneFileDragTest";
      return RegisterClassW(&wc);
    }();
    (void)atom;
    FHandle = CreateWindowExW(0, L"DorvaneFileDragTest", L"Drop here", WS_OVERLAPPEDWINDOW, 40, 40, 300, 120,
                              nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&seen));
  }
  ~Target() { Destroy(); }
  void Destroy() {
    if (FHandle) DestroyWindow(FHandle);
    FHandle = nullptr;
  }
  HWND Get() const { return FHandle; }
  bool AcceptsFiles() const { return (GetWindowLongPtrW(FHandle, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0; }

  Seen seen;

 private:
  HWND FHandle;
};

// A drop of these names as the shell hands it over; wide or in the ANSI
// code page (ASCII names only).
HGLOBAL MakeDrop(const std::vector<std::wstring>& names, bool wide) {
  std::string bytes;
  for (const std::wstring& name : names) {
    if (wide) bytes.append(reinterpret_cast<const char*>(name.c_str()), (name.size() + 1) * sizeof(wchar_t));
    else
      for (wchar_t c : name + L'\0') bytes.push_back(static_cast<char>(c));
  }
  bytes.append(wide ? sizeof(wchar_t) : 1, '\0');  // the list's end
  const HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + bytes.size());
  auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
  header->pFiles = sizeof(DROPFILES);
  header->pt = {20, 30};
  header->fWide = wide;
  std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), bytes.data(), bytes.size());
  GlobalUnlock(memory);
  return memory;
}

// Whether the drop's memory has been given back (DragFinish frees it).
bool Released(HGLOBAL memory) { return GlobalFlags(memory) == GMEM_INVALID_HANDLE; }

std::vector<std::u16string> Wide(const std::vector<std::wstring>& names) {
  std::vector<std::u16string> out;
  for (const std::wstring& n : names) out.push_back(U16(n));
  return out;
}

TEST(filedrag, ADropGivesEveryNameInOrderAndOneOnDrop) {
  // Longer than 300 characters, with characters no ANSI code page holds
  // together, one outside the basic plane among them.
  std::wstring deep = L"C:\\";
  for (int i = 0; i < 24; ++i) deep += L"Ordner \u00e9\u6587\u0416 " + std::to_wstring(i) + L"\\";
  const std::wstring longName = deep + L"\U0001F600 notes.\u00e9t\u00e9.txt";
  ASSERT_GT(longName.size(), 300u);
  struct Case {
    const char* what;
    std::vector<std::wstring> names;
    bool wide;
    std::vector<std::u16string> nameOnly, extension;
  };
  const Case cases[] = {
      {"three files, wide",
       {L"C:\\Tools\\archive.tar.gz", L"C:\\Tools\\README", longName},
       true,
       {u"archive.tar.gz", u"README", u"\U0001F600 notes.\u00e9t\u00e9.txt"},
       {u"tar.gz", u"", u"\u00e9t\u00e9.txt"}},
      {"ANSI names", {L"C:\\My.Dir\\app", L"D:\\setup.exe"}, false, {u"app", u"setup.exe"}, {u"", u"exe"}},
      {"one file", {L"C:\\Tools\\one.cmd"}, true, {u"one.cmd"}, {u"cmd"}},
  };
  Target target;
  TFileDrag drag;
  drag.SetDropWindow(target.Get());
  drag.SetEnableDrop(true);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    int drops = 0;
    std::vector<std::u16string> namesInHandler;
    drag.OnDrop = [&](TFileDrag& sender) {
      ++drops;
      EXPECT_EQ(&sender, &drag);
      namesInHandler = sender.NameWithPath();
    };
    const HGLOBAL memory = MakeDrop(c.names, c.wide);
    ASSERT_FALSE(Released(memory));
    EXPECT_EQ(SendMessageW(target.Get(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0), 0);
    EXPECT_EQ(drops, 1);
    EXPECT_EQ(namesInHandler, Wide(c.names));  // filled before the event
    EXPECT_EQ(drag.FileCount(), static_cast<int>(c.names.size()));
    EXPECT_EQ(drag.NameWithPath(), Wide(c.names));
    EXPECT_EQ(drag.NameOnly(), c.nameOnly);
    EXPECT_EQ(drag.Extension(), c.extension);
    EXPECT_TRUE(Released(memory));
    EXPECT_EQ(target.seen.Drops, 0);  // the window behind never sees a drop
  }
}

std::vector<std::pair<HWND, UINT>> gLetThrough;

BOOL WINAPI RecordFilter(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT) {
  if (action == MSGFLT_ALLOW) gLetThrough.emplace_back(window, message);
  return TRUE;
}

TEST(filedrag, EnableDropSwitchesAcceptingAndTheWindowKeepsItsOtherMessages) {
  Target target;
  TFileDrag drag;
  gLetThrough.clear();
  drag.MessageFilter = RecordFilter;
  drag.SetEnableDrop(true);  // before there is a window: kept for it
  EXPECT_FALSE(target.AcceptsFiles());
  drag.SetDropWindow(target.Get());
  EXPECT_EQ(drag.DropWindow(), target.Get());
  EXPECT_TRUE(target.AcceptsFiles());
  // Run elevated, the drop's messages from Explorer must get through.
  const std::vector<std::pair<HWND, UINT>> dropMessages{
      {target.Get(), WM_DROPFILES}, {target.Get(), WM_COPYDATA}, {target.Get(), 0x0049 /* WM_COPYGLOBALDATA */}};
  EXPECT_EQ(gLetThrough, dropMessages);
  EXPECT_EQ(SendMessageW(target.Get(), WM_APP, 5, 0), 47);
  EXPECT_EQ(target.seen.AppMessages, 1);

  drag.SetEnableDrop(false);
  EXPECT_FALSE(drag.EnableDrop());
  EXPECT_FALSE(target.AcceptsFiles());
  // Still intercepted: a drop message that arrives anyway is read by us.
  int drops = 0;
  drag.OnDrop = [&](TFileDrag&) { ++drops; };
  const HGLOBAL memory = MakeDrop({L"C:\\a.txt"}, true);
  SendMessageW(target.Get(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
  EXPECT_EQ(drops, 1);
  EXPECT_EQ(target.seen.Drops, 0);
  EXPECT_TRUE(Released(memory));
}

TEST(filedrag, AFailedOnDropIsReportedAndTheDropStillReleased) {
  Target target;
  TFileDrag drag;
  drag.SetDropWindow(target.Get());
  drag.OnDrop = [](TFileDrag&) { throw Exception(u"Please drag one file at a time."); };
  std::vector<std::u16string> reported;
  drag.OnException = [&](const std::exception& e) {
    const auto* ours = dynamic_cast<const Exception*>(&e);
    reported.push_back(ours ? ours->Message() : u"(other)");
  };
  HGLOBAL memory = MakeDrop({L"C:\\a.txt", L"C:\\b.txt"}, true);
  // Through the window: caught there and handed to OnException.
  EXPECT_EQ(SendMessageW(target.Get(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0), 0);
  EXPECT_EQ(reported, std::vector<std::u16string>{u"Please drag one file at a time."});
  EXPECT_TRUE(Released(memory));
  EXPECT_EQ(drag.FileCount(), 2);

  // Called directly: released, and the failure goes on to the caller.
  memory = MakeDrop({L"C:\\c.txt"}, true);
  EXPECT_THROW(drag.ReadDroppedFiles(static_cast<HDROP>(memory)), Exception);
  EXPECT_TRUE(Released(memory));
  EXPECT_EQ(reported.size(), 1u);

  // A failing report does not get past the window either.
  drag.OnException = [](const std::exception&) { throw std::runtime_error("report failed"); };
  memory = MakeDrop({L"C:\\d.txt"}, true);
  EXPECT_EQ(SendMessageW(target.Get(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0), 0);
  EXPECT_TRUE(Released(memory));
}

TEST(filedrag, LettingGoOfAWindowGivesItsDropsBack) {
  Target first, second;
  {
    TFileDrag drag;
    drag.SetEnableDrop(true);
    drag.SetDropWindow(first.Get());
    drag.SetDropWindow(second.Get());
    // The window let go of takes no drops and reads its own messages again.
    EXPECT_FALSE(first.AcceptsFiles());
    EXPECT_TRUE(second.AcceptsFiles());
    SendMessageW(first.Get(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\x"}, true)), 0);
    EXPECT_EQ(first.seen.Drops, 1);
    SendMessageW(second.Get(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\y"}, true)), 0);
    EXPECT_EQ(second.seen.Drops, 0);
    EXPECT_EQ(drag.NameWithPath(), std::vector<std::u16string>{u"C:\\y"});
  }
  // Gone: the window is as it was.
  EXPECT_FALSE(second.AcceptsFiles());
  SendMessageW(second.Get(), WM_DROPFILES, reinterpret_cast<WPARAM>(MakeDrop({L"C:\\z"}, true)), 0);
  EXPECT_EQ(second.seen.Drops, 1);
  EXPECT_EQ(SendMessageW(second.Get(), WM_APP, 1, 0), 43);

  // A window that goes first leaves the receiver with nothing to release.
  TFileDrag drag;
  drag.SetDropWindow(first.Get());
  first.Destroy();
  EXPECT_EQ(drag.DropWindow(), nullptr);
}

}  // namespace
