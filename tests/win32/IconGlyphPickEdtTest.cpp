// The icon picker shown modally and driven as a user does: clicks, keys and
// the real file dialog, answered from timers inside the modal loop.
#include "win32/IconGlyphPickEdt.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <deque>
#include <functional>

#include "IconTestSupport.h"
#include "WindowTestSupport.h"

using namespace icontest;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0), kLime = RGB(0, 255, 0), kBlue = RGB(0, 0, 255), kWhite = RGB(255, 255, 255);

std::u16string Beside(std::u16string_view name) {
  std::wstring exe = ExeFileName();
  return U16(exe.substr(0, exe.find_last_of(L'\\') + 1)) + std::u16string(name);
}
// Ten icons; number 7 is damaged; 2, 5 and 8 are red.ico, the rest seven.ico.
std::u16string Library() { return Beside(u"picker_icons.dll"); }

// Steps run one by one from a timer while the dialog's modal loop (or a
// modal loop it opens) runs.
std::deque<std::function<void()>> gSteps;
void CALLBACK NextStep(HWND, UINT, UINT_PTR timer, DWORD) {
  if (gSteps.empty()) {
    KillTimer(nullptr, timer);
    return;
  }
  const auto step = std::move(gSteps.front());
  gSteps.pop_front();
  step();
}

// Shows the dialog modally while the steps run; its modal result.
int RunModal(TIconGlyphPickEditDlg& dlg, std::deque<std::function<void()>> steps) {
  gSteps = std::move(steps);
  const UINT_PTR timer = SetTimer(nullptr, 0, 30, NextStep);
  const int result = dlg.ShowModal(nullptr);
  KillTimer(nullptr, timer);
  EXPECT_TRUE(gSteps.empty()) << gSteps.size() << " steps did not run";
  gSteps.clear();
  return result;
}

std::vector<std::wstring> Items(HWND list) {
  std::vector<std::wstring> items;
  const int n = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < n; ++i) {
    wchar_t text[32] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
    items.emplace_back(text);
  }
  return items;
}

std::wstring Text(HWND window) {
  wchar_t text[64] = {};
  GetWindowTextW(window, text, 64);
  return text;
}

void ClickItem(HWND list, int position) {
  RECT r{};
  ASSERT_NE(SendMessageW(list, LB_GETITEMRECT, position, reinterpret_cast<LPARAM>(&r)), LB_ERR);
  const LPARAM at = MAKELPARAM(r.left + 3, r.top + 3);
  SendMessageW(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
  SendMessageW(list, WM_LBUTTONUP, 0, at);
}


COLORREF PreviewCentre(TIconSpeedBtn& preview) {
  const TBitmap& g = preview.Glyph();
  return g.Width() ? g.Pixel(g.Width() / 2, g.Height() / 2) : CLR_INVALID;
}

// Which test icon the preview shows: seven.ico has a red stripe at the left
// edge, where red.ico is transparent.
const char* PreviewIcon(TIconSpeedBtn& preview) {
  const TBitmap& g = preview.Glyph();
  if (!g.Width()) return "none";
  return g.Pixel(1, g.Height() / 2) == RGB(255, 0, 0) ? "seven.ico" : PreviewCentre(preview) == RGB(0, 0, 255) ? "red.ico" : "other";
}

void Key(HWND window, UINT key) { PostMessageW(window, WM_KEYDOWN, key, 1); PostMessageW(window, WM_KEYUP, key, 0xC0000001); }

// Answers the open file dialog that the picker shows with a file name.
void AnswerFileDialog(const std::u16string& fileName) {
  HWND dialog = nullptr;
  for (int i = 0; i < 200 && !dialog; ++i) {
    dialog = FindWindowW(L"#32770", nullptr);
    if (!dialog) { Pump(); Sleep(10); }
  }
  ASSERT_NE(dialog, nullptr) << "no file dialog";
  // The name box (cmb13) or, in the older layout, edt1.
  if (!SetDlgItemTextW(dialog, 0x47C, W(fileName))) SetDlgItemTextW(dialog, 0x480, W(fileName));
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

// A picker made for each test, not shown yet.
class IconGlyphPickEdt : public testing::Test {
 protected:
  void SetUp() override { dlg.Create(nullptr); }
  TApplication app{GetModuleHandleW(nullptr)};
  TIconGlyphPickEditDlg dlg{app};
  TIconGlyph& g = dlg.isbIconSpeedBtn.IconGlyph;
};

TEST_F(IconGlyphPickEdt, ShownForALibraryIconPicksWithoutLoad) {
  dlg.AllowFile = true;
  g.SetIconType(itFileIndex);
  g.SetFileName(Library());
  g.SetIconIndex(5);
  g.SetIconSize(isLarge);
  dlg.LoadOnShow = true;
  const HWND list = dlg.Control("IconList");
  const int result = RunModal(dlg, {
        [&] {
          EXPECT_TRUE(IsWindowVisible(dlg.isbFile.Handle()));
          EXPECT_FALSE(IsWindowVisible(dlg.sbtnCursor.Handle()));
          EXPECT_FALSE(IsWindowVisible(dlg.isbSystem.Handle()));
          EXPECT_TRUE(dlg.isbLarge.Down());
          EXPECT_FALSE(dlg.isbSmall.Down());
          EXPECT_TRUE(IsWindowEnabled(dlg.Control("bbLoad")));
          // The damaged icon is left out; the others keep their numbers.
          EXPECT_EQ(Items(list), (std::vector<std::wstring>{L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"8", L"9"}));
          EXPECT_STREQ(PreviewIcon(dlg.isbIconSpeedBtn), "red.ico");  // icon 5
          EXPECT_EQ(Text(dlg.Control("lbIndex")), L"");
          SetFocus(list);
          ClickItem(list, 3);
          EXPECT_EQ(g.IconType(), itFileIndex);
          EXPECT_EQ(g.FileName(), Library());
          EXPECT_EQ(g.IconIndex(), 3);
          EXPECT_EQ(Text(dlg.Control("lbIndex")), L"3");
          EXPECT_STREQ(PreviewIcon(dlg.isbIconSpeedBtn), "seven.ico");
          Key(list, VK_DOWN);  // a keyboard selection picks like a click
        },
        [&] {
          EXPECT_EQ(g.IconIndex(), 4);
          ClickItem(list, 7);
          EXPECT_EQ(g.IconIndex(), 8);  // the item after the damaged icon
          EXPECT_STREQ(PreviewIcon(dlg.isbIconSpeedBtn), "red.ico");
          Key(list, VK_RETURN);
        },
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_FALSE(dlg.LoadOnShow);
  EXPECT_EQ(g.IconIndex(), 8);
  EXPECT_EQ(g.IconSize(), isLarge);
}

// Load through Alt+L and the system's file dialog; then a file without
// icons, the cursor mode and back, and the ways out.
TEST_F(IconGlyphPickEdt, LoadCursorModeAndCancel) {
  dlg.AllowFile = dlg.AllowCursor = dlg.AllowSystem = true;
  const std::u16string ani = DataFile(u"steps.ani");
  dlg.LoadDir = ani.substr(0, ani.find_last_of(u'\\') + 1);
  const HWND list = dlg.Control("IconList");
  const int result = RunModal(dlg, {
      [&] {
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
        EXPECT_TRUE(dlg.isbFile.Down());
        PostMessageW(list, WM_SYSCHAR, 'l', 1 << 29);  // Alt+L: "&Load..."
      },
      [&] { AnswerFileDialog(u"steps.ani"); },
      [&] {
        EXPECT_EQ(dlg.ListFile(), ani);
        EXPECT_EQ(dlg.LoadDir, ani.substr(0, ani.find_last_of(u'\\') + 1));
        ASSERT_EQ(Items(list), (std::vector<std::wstring>{L"0", L"1", L"2"}));
        // Each frame drawn on white: its transparent border is white.
        const TBitmap painted = PrintClient(list);
        const COLORREF centres[] = {kRed, kLime, kBlue};
        for (int i = 0; i < 3; ++i) {
          RECT r{};
          SendMessageW(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r));
          EXPECT_EQ(painted.Pixel(r.left + 5, r.top + 5), kWhite) << i;
          EXPECT_EQ(painted.Pixel(r.left + 4 + 8, r.top + 4 + 8), centres[i]) << i;
        }
        ClickItem(list, 2);
        EXPECT_EQ(g.IconType(), itFileIndex);
        EXPECT_EQ(g.FileName(), ani);
        EXPECT_EQ(g.IconIndex(), 2);
        EXPECT_EQ(PreviewCentre(dlg.isbIconSpeedBtn), kBlue);
        // A file without icons empties the list; the index shown stays.
        dlg.LoadIconsFromFile(DataFile(u"make-icon-files.py"));
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
        EXPECT_EQ(Text(dlg.Control("lbIndex")), L"2");
        ClickItem(list, 0);  // nothing there: nothing happens
        EXPECT_EQ(g.IconIndex(), 2);
        dlg.LoadIconsFromFile(u"C:\\no such folder\\none.dll");
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);

        SendMessageW(dlg.sbtnCursor.Handle(), BM_CLICK, 0, 0);
        EXPECT_FALSE(IsWindowEnabled(dlg.Control("bbLoad")));
        const std::vector<std::wstring> cursors = Items(list);
        ASSERT_FALSE(cursors.empty());
        EXPECT_EQ(cursors.front(), L"-2");  // crArrow, although it is the default cursor
        EXPECT_EQ(std::count(cursors.begin(), cursors.end(), L"0"), 0);  // crDefault
        EXPECT_EQ(std::count(cursors.begin(), cursors.end(), L"-22"), 2);  // crSizeAll and crSize
        ClickItem(list, 0);
        EXPECT_EQ(g.IconType(), itCursor);
        EXPECT_EQ(g.IconIndex(), -2);
        EXPECT_EQ(g.FileName(), ani);  // the file last chosen with Load

        SendMessageW(dlg.isbSystem.Handle(), BM_CLICK, 0, 0);
        EXPECT_GT(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
        ClickItem(list, 1);
        EXPECT_EQ(g.IconType(), itSystem);
        EXPECT_EQ(g.IconIndex(), 1);

        SendMessageW(dlg.isbFile.Handle(), BM_CLICK, 0, 0);
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
        EXPECT_TRUE(IsWindowEnabled(dlg.Control("bbLoad")));
        PostMessageW(dlg.Handle(), WM_CLOSE, 0, 0);  // the close box
      },
  });
  EXPECT_EQ(result, IDCANCEL);

  // The other ways out; the caller keeps its entry unless OK came back.
  struct Way {
    const char* what;
    std::function<void()> press;
    int result;
  };
  const Way ways[] = {
      {"Cancel button", [&] { SendMessageW(dlg.Control("btnCancel"), BM_CLICK, 0, 0); }, IDCANCEL},
      {"Esc", [&] { Key(list, VK_ESCAPE); }, IDCANCEL},
      {"OK button", [&] { SendMessageW(dlg.Control("btnOk"), BM_CLICK, 0, 0); }, IDOK},
  };
  for (const Way& w : ways) {
    SCOPED_TRACE(w.what);
    TIconGlyph entry;  // what the caller keeps
    entry.SetFileName(u"C:\\entry.exe");
    const int r = RunModal(dlg, {[&] {
                             SendMessageW(dlg.sbtnCursor.Handle(), BM_CLICK, 0, 0);
                             ClickItem(list, 0);
                             SetFocus(list);
                             w.press();
                           }});
    EXPECT_EQ(r, w.result);
    if (r == IDOK) entry.Assign(g);
    EXPECT_EQ(entry.FileName(), r == IDOK ? ani : u"C:\\entry.exe");
  }
}

// The column width as the list lays out its items: the left of the first
// item of the second column.
int ColumnWidth(HWND list) {
  RECT client{}, first{}, item{};
  GetClientRect(list, &client);
  SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&first));
  const int rows = std::max(1, static_cast<int>(client.bottom / (first.bottom - first.top)));
  SendMessageW(list, LB_GETITEMRECT, rows, reinterpret_cast<LPARAM>(&item));
  return item.left - first.left;
}

TEST_F(IconGlyphPickEdt, SizesColumnsAndPreviewLook) {
  dlg.AllowFile = true;
  const HWND list = dlg.Control("IconList");
  const int result = RunModal(dlg, {[&] {
    dlg.LoadIconsFromFile(Shell32());
    ASSERT_GT(SendMessageW(list, LB_GETCOUNT, 0, 0), 40);
    struct Case {
      TIconSpeedBtn* press;
      int frameWidth;  // the dialog's, at 96 DPI
      TIconSize size;
      int iconHeight;
    };
    const Case cases[] = {
        {&dlg.isbLarge, 300, isLarge, GetSystemMetrics(SM_CYICON)},
        {&dlg.isbSmall, 300, isSmall, GetSystemMetrics(SM_CYSMICON)},
        {&dlg.isbSmall, 520, isSmall, GetSystemMetrics(SM_CYSMICON)},
        {&dlg.isbLarge, 520, isLarge, GetSystemMetrics(SM_CYICON)},
        {&dlg.isbLarge, 200, isLarge, GetSystemMetrics(SM_CYICON)},  // held at the smallest size
    };
    for (const Case& c : cases) {
      SCOPED_TRACE(c.frameWidth);
      SetWindowPos(dlg.Handle(), nullptr, 0, 0, dlg.Scale(c.frameWidth), dlg.Scale(300), SWP_NOMOVE | SWP_NOZORDER);
      SendMessageW(c.press->Handle(), BM_CLICK, 0, 0);
      const int height = c.iconHeight + 8;
      EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), height);
      EXPECT_EQ(g.IconSize(), c.size);
      RECT client{}, preview{};
      GetClientRect(list, &client);
      const int columns = std::max(1, static_cast<int>(client.right) / height);
      EXPECT_EQ(ColumnWidth(list), client.right / columns);
      GetClientRect(dlg.isbIconSpeedBtn.Handle(), &preview);
      EXPECT_EQ(preview.right, height);
      EXPECT_EQ(preview.bottom, height);
    }
    RECT frame{};
    GetWindowRect(dlg.Handle(), &frame);
    EXPECT_EQ(frame.right - frame.left, dlg.Scale(300));

    ClickItem(list, 4);
    const TIconType type = g.IconType();
    const std::u16string file = g.FileName();
    const int index = g.IconIndex();
    SendMessageW(dlg.Control("cbEnabled"), BM_CLICK, 0, 0);
    EXPECT_FALSE(dlg.isbIconSpeedBtn.Enabled());
    SendMessageW(dlg.Control("cbFlat"), BM_CLICK, 0, 0);
    EXPECT_TRUE(dlg.isbIconSpeedBtn.Flat());
    EXPECT_EQ(g.IconType(), type);
    EXPECT_EQ(g.FileName(), file);
    EXPECT_EQ(g.IconIndex(), index);
    SendMessageW(dlg.Control("cbEnabled"), BM_CLICK, 0, 0);
    EXPECT_TRUE(dlg.isbIconSpeedBtn.Enabled());
    // A move to a monitor of 144 DPI lays the dialog out again at 1.5 times.
    RECT r{};
    GetWindowRect(dlg.Handle(), &r);
    const RECT suggested{r.left, r.top, r.left + (r.right - r.left) * 3 / 2, r.top + (r.bottom - r.top) * 3 / 2};
    SendMessageW(dlg.Handle(), kDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT tool{};
    GetWindowRect(dlg.isbFile.Handle(), &tool);
    EXPECT_EQ(tool.right - tool.left, MulDiv(25, 144, 96));
    EXPECT_EQ(SendMessageW(list, LB_GETITEMHEIGHT, 0, 0), dlg.Scale(8) + [&] {
      using ForDpiFn = int(WINAPI*)(int, UINT);
      const auto forDpi = reinterpret_cast<ForDpiFn>(
          reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
      return forDpi ? forDpi(SM_CYICON, 144) : GetSystemMetrics(SM_CYICON);
    }());
    EXPECT_GT(SendMessageW(list, LB_GETCOUNT, 0, 0), 40);  // reloaded at the new size
    Key(list, VK_RETURN);
  }});
  EXPECT_EQ(result, IDOK);
}

TEST_F(IconGlyphPickEdt, LongUnicodePathLoads) {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  std::wstring dir = std::wstring(temp) + L"dorvane-picker-\u00e5\u4e2d-" + std::to_wstring(GetCurrentProcessId());
  CreateDirectoryW(dir.c_str(), nullptr);
  std::vector<std::wstring> made{dir};
  for (int i = 0; i < 3; ++i) {
    dir += L"\\" + std::wstring(80, wchar_t(L'\u00e0' + i));
    CreateDirectoryW(ExtendedPath(dir).c_str(), nullptr);
    made.push_back(dir);
  }
  const HWND list = dlg.Control("IconList");
  struct Case {
    std::u16string source, name;
    int items;
  };
  const Case cases[] = {{Library(), u"\u00f8 icons.dll", 9}, {DataFile(u"steps.ani"), u"\u00f8 steps.ani", 3}};
  for (const Case& c : cases) {
    const std::wstring copy = dir + L"\\" + WStr(c.name);
    ASSERT_GT(copy.size(), 260u);
    ASSERT_TRUE(CopyFileW(WStr(c.source).c_str(), ExtendedPath(copy).c_str(), FALSE));
    dlg.LoadIconsFromFile(U16(copy));
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), c.items) << "long " << copy.size();
    ClickItem(list, 2);
    EXPECT_EQ(dlg.isbIconSpeedBtn.IconGlyph.FileName(), U16(copy));
    EXPECT_EQ(PreviewCentre(dlg.isbIconSpeedBtn), kBlue);  // red.ico's centre, the blue frame of steps.ani
    DeleteFileW(ExtendedPath(copy).c_str());
  }
  for (auto it = made.rbegin(); it != made.rend(); ++it) RemoveDirectoryW(ExtendedPath(*it).c_str());
}

// Loads of a library and switches to cursor mode leave the process's GDI
// and USER object counts where they were.
TEST_F(IconGlyphPickEdt, LoadsAndCursorModeLeakNoObjects) {
  auto round = [&] {
    SendMessageW(dlg.isbFile.Handle(), BM_CLICK, 0, 0);
    dlg.LoadIconsFromFile(Library());
    SendMessageW(dlg.sbtnCursor.Handle(), BM_CLICK, 0, 0);
    ClickItem(dlg.Control("IconList"), 1);
  };
  round();
  const int gdi = CountGuiObjects(GuiObjects::Gdi), user = CountGuiObjects(GuiObjects::User);
  for (int i = 0; i < 100; ++i) round();
  const int gdiAfter = CountGuiObjects(GuiObjects::Gdi), userAfter = CountGuiObjects(GuiObjects::User);
  std::printf("GUI objects after 100 loads and cursor modes: GDI %d -> %d, USER %d -> %d\n", gdi, gdiAfter, user,
              userAfter);
  EXPECT_EQ(gdiAfter, gdi);
  EXPECT_EQ(userAfter, user);
}

// File mode with a library's icons, large, one picked. With
// DORVANE_SHOWCASE_MS set the dialog stays up that long, for a screenshot.
TEST_F(IconGlyphPickEdt, Showcase) {
  dlg.AllowFile = dlg.AllowCursor = dlg.AllowSystem = true;
  g.SetIconSize(isLarge);
  g.SetColorProcessing(cpAddLine);
  g.SetIconType(itFileIndex);
  g.SetFileName(Shell32());
  g.SetIconIndex(0);
  dlg.LoadOnShow = true;
  const char* env = std::getenv("DORVANE_SHOWCASE_MS");
  const int wait = env ? std::atoi(env) : 0;
  const HWND list = dlg.Control("IconList");
  const int result = RunModal(dlg, {[&] {
    SetWindowPos(dlg.Handle(), nullptr, 0, 0, dlg.Scale(360), dlg.Scale(340), SWP_NOMOVE | SWP_NOZORDER);
    SetFocus(list);
    ClickItem(list, 6);
    EXPECT_EQ(g.IconIndex(), 6);
    EXPECT_EQ(Text(dlg.Control("lbIndex")), L"6");
    UpdateWindow(dlg.Handle());
    if (wait > 0) {
      const DWORD end = GetTickCount() + static_cast<DWORD>(wait);
      while (GetTickCount() < end) { Pump(); Sleep(20); }
    }
    Key(list, VK_RETURN);
  }});
  EXPECT_EQ(result, IDOK);
}

}  // namespace

namespace {

TEST_F(IconGlyphPickEdt, TabReachesEveryButtonAndSpacePressesIt) {
  dlg.AllowFile = dlg.AllowCursor = dlg.AllowSystem = true;
  std::vector<HWND> reached;
  std::deque<std::function<void()>> steps;
  for (int i = 0; i < 14; ++i)
    steps.push_back([&] {
      reached.push_back(GetFocus());
      Key(GetFocus(), VK_TAB);
    });
  steps.push_back([&] {
    // Space pressed on a check box, Tab, let go on a mode button; pressed on
    // the button, the focus away and back, let go: neither is a click.
    SendMessageW(dlg.Control("cbFlat"), WM_KEYDOWN, VK_SPACE, 1);
    SetFocus(dlg.isbSystem.Handle());
    SendMessageW(dlg.isbSystem.Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
    SendMessageW(dlg.isbSystem.Handle(), WM_KEYDOWN, VK_SPACE, 1);
    SetFocus(dlg.Control("IconList"));
    SetFocus(dlg.isbSystem.Handle());
    SendMessageW(dlg.isbSystem.Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
    EXPECT_TRUE(dlg.isbFile.Down()) << "a Space let go that began elsewhere switched the mode";
    EXPECT_FALSE(dlg.isbSystem.Down());
    Key(dlg.isbSystem.Handle(), VK_SPACE);
  });
  steps.push_back([&] {
    EXPECT_TRUE(dlg.isbSystem.Down()) << "Space pressed the system icons' button";
    SetFocus(dlg.isbLarge.Handle());
    Key(dlg.isbLarge.Handle(), VK_SPACE);
  });
  steps.push_back([&] {
    EXPECT_TRUE(dlg.isbLarge.Down());
    Key(GetFocus(), VK_ESCAPE);
  });
  EXPECT_EQ(RunModal(dlg, std::move(steps)), IDCANCEL);
  for (TIconSpeedBtn* b : {&dlg.isbFile, &dlg.sbtnCursor, &dlg.isbSystem, &dlg.isbSmall, &dlg.isbLarge})
    EXPECT_NE(std::find(reached.begin(), reached.end(), b->Handle()), reached.end()) << "Tab never reached a button";
  for (const char* name : {"IconList", "btnOk", "btnCancel", "bbLoad"})
    EXPECT_NE(std::find(reached.begin(), reached.end(), dlg.Control(name)), reached.end()) << name;
}

// F1 opens the help page where the entry editor's icon is told of; only a
// real key press makes Windows ask for help.
TEST_F(IconGlyphPickEdt, F1OpensTheHelpAtTheIcon) {
  std::vector<std::u16string> pages;
  app.OpenHelpPage = [&pages](HWND, const std::u16string& page) {
    pages.push_back(page.substr(page.find_last_of(u'\\') + 1));
    return 42;
  };
  dlg.AllowFile = true;
  const int result = RunModal(dlg, {[&] {
                                      SetForegroundWindow(dlg.Handle());
                                      SetFocus(dlg.Control("IconList"));
                                      PressKeys({VK_F1});
                                    },
                                    [&] { PostMessageW(dlg.Handle(), WM_COMMAND, IDCANCEL, 0); }});
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(pages, std::vector<std::u16string>{u"Dorvane.html#icon"});
}

}  // namespace

namespace {

// The cell of a list item in a picture of the list's client area: how many
// of its pixels, at the icon's place, are not the button face.
int IconPixels(const TBitmap& painted, const RECT& cell, int offset, int size) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  int n = 0;
  for (int y = cell.top + offset; y < std::min<int>(cell.top + offset + size, painted.Height()); ++y)
    for (int x = cell.left + offset; x < std::min<int>(cell.left + offset + size, painted.Width()); ++x)
      n += painted.Pixel(x, y) != face;
  return n;
}

// The columns of a cell, from its left, with a pixel that is not the face.
int IconWidth(const TBitmap& painted, const RECT& cell) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  int right = 0;
  for (int y = cell.top; y < std::min<int>(cell.bottom, painted.Height()); ++y)
    for (int x = cell.left; x < std::min<int>(cell.right, painted.Width()); ++x)
      if (painted.Pixel(x, y) != face) right = std::max(right, static_cast<int>(x - cell.left + 1));
  return right;
}

// A library of 320 icons, shown at once and drawn as the user scrolls:
// every item drawn with its icon, small, large and small again, and picks
// give the file's index.
TEST_F(IconGlyphPickEdt, ScrollingThroughALargeLibraryDrawsEveryItem) {
  dlg.AllowFile = true;
  const std::u16string library = Beside(u"picker_bench_icons.dll");
  const HWND list = dlg.Control("IconList");
  const int result = RunModal(dlg, {[&] {
    SetFocus(dlg.Control("btnCancel"));  // no focus frame over a cell
    dlg.LoadIconsFromFile(library);
    ASSERT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 320);
    // Small again at the end: by then icons out of sight have been let go
    // of, and come back from the file when seen again.
    for (TIconSpeedBtn* size : {&dlg.isbSmall, &dlg.isbLarge, &dlg.isbSmall}) {
      SendMessageW(size->Handle(), BM_CLICK, 0, 0);
      const int icon = GetSystemMetrics(size == &dlg.isbLarge ? SM_CXICON : SM_CXSMICON);
      std::vector<int> drawn(320, -1);
      for (int top = 0; top < 320;) {
        SendMessageW(list, LB_SETTOPINDEX, top, 0);
        const TBitmap painted = PrintClient(list);
        RECT client{};
        GetClientRect(list, &client);
        int next = top;
        for (int i = top; i < 320; ++i) {
          RECT cell{};
          SendMessageW(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&cell));
          if (cell.left >= client.right) break;
          if (cell.right > client.right || cell.bottom > client.bottom) continue;  // not whole in sight
          drawn[i] = IconPixels(painted, cell, dlg.Scale(4), icon);
          // Nothing drawn beyond the icon's size: drawn from the file at it.
          EXPECT_LE(IconWidth(painted, cell), dlg.Scale(4) + icon) << i;
          next = i + 1;
        }
        ASSERT_GT(next, top) << "no whole item in sight";
        top = next;
      }
      for (int i = 0; i < 320; ++i)
        EXPECT_GT(drawn[i], icon * icon / 3) << "item " << i << (size == &dlg.isbLarge ? " large" : " small");
    }
    ClickItem(list, SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    EXPECT_EQ(g.IconIndex(), SendMessageW(list, LB_GETTOPINDEX, 0, 0));
    EXPECT_EQ(g.FileName(), library);
    Key(list, VK_RETURN);
  }});
  EXPECT_EQ(result, IDOK);
}

// At 144 DPI the icons are the file's own larger pictures and the shell's
// list for that size, not the system DPI's stretched.
TEST_F(IconGlyphPickEdt, AnotherDpiDrawsTheIconsOfItsSize) {
  dlg.AllowFile = dlg.AllowSystem = true;
  g.SetIconSize(isLarge);
  const HWND list = dlg.Control("IconList");
  const int result = RunModal(dlg, {[&] {
    dlg.LoadIconsFromFile(Shell32());
    RECT r{};
    GetWindowRect(dlg.Handle(), &r);
    const RECT suggested{r.left, r.top, r.left + (r.right - r.left) * 3 / 2, r.top + (r.bottom - r.top) * 3 / 2};
    SendMessageW(dlg.Handle(), kDpiChanged, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    const int size = SystemIconSize(isLarge, 144).cx;
    const int offset = dlg.Scale(4);
    // The file's picture at 48 pixels, laid on the face as the list draws it.
    TBitmap expected;
    FillBitmap(expected, clBtnFace, size, size);
    const UniqueIcon icon = ExtractIconOfSize(SystemFileName(Shell32()), 3, {size, size});
    ASSERT_TRUE(icon);
    {
      const TBitmapCanvas c(expected);
      DrawIconEx(c.DC(), 0, 0, icon.Get(), size, size, 0, nullptr, DI_NORMAL);
    }
    UpdateWindow(list);
    TBitmap painted = PrintClient(list);
    RECT cell{};
    SendMessageW(list, LB_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&cell));
    int differ = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) differ += painted.Pixel(cell.left + offset + x, cell.top + offset + y) != expected.Pixel(x, y);
    EXPECT_LT(differ, size * size / 20) << "the file's icon of 144 DPI's size";

    // The shell fills its lists as it is asked for icons.
    for (const std::u16string& file : {Shell32(), DataFile(u"red.ico"), Beside(u"")}) {
      SHFILEINFOW info{};
      SHGetFileInfoW(SystemFileName(file).c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_LARGEICON);
    }
    SendMessageW(dlg.isbSystem.Handle(), BM_CLICK, 0, 0);
    const int shown = static_cast<int>(std::min<LRESULT>(SendMessageW(list, LB_GETCOUNT, 0, 0), 6));
    ASSERT_GT(shown, 0);
    UpdateWindow(list);
    painted = PrintClient(list);
    int widest = 0;
    for (int i = 0; i < shown; ++i) {
      SendMessageW(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&cell));
      widest = std::max(widest, IconWidth(painted, cell) - offset);
    }
    EXPECT_GT(widest, SystemIconSize(isLarge, 96).cx) << "the shell's icons at 144 DPI's size";
    EXPECT_LE(widest, size);
    Key(list, VK_ESCAPE);
  }});
  EXPECT_EQ(result, IDCANCEL);
}

// An icon file whose only image is text: listed at Load, found out when
// drawn, and the item goes once the list has painted.
TEST_F(IconGlyphPickEdt, AnIconFoundDamagedWhenDrawnLeavesTheList) {
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring file = std::wstring(temp) + L"dorvane-damaged-" + std::to_wstring(GetCurrentProcessId()) + L".ico";
  const char text[41] = "not an icon image, only forty bytes long";
  std::string bytes("\0\0\1\0\1\0" "\x20\x20\0\0\1\0\x20\0" "\x28\0\0\0" "\x16\0\0\0", 22);
  bytes.append(text, 40);
  const HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(h);
  const HWND list = dlg.Control("IconList");
  dlg.AllowFile = true;
  const int result = RunModal(dlg, {
      [&] {
        dlg.LoadIconsFromFile(U16(file));
        EXPECT_EQ(Items(list), std::vector<std::wstring>{L"0"});
        UpdateWindow(list);
      },
      [&] {
        EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
        ClickItem(list, 0);  // nothing there: nothing happens
        EXPECT_EQ(g.IconType(), itFileDefault);
        Key(list, VK_ESCAPE);
      },
  });
  EXPECT_EQ(result, IDCANCEL);
  DeleteFileW(file.c_str());
}

}  // namespace
