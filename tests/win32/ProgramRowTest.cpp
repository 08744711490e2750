// The tabs and program buttons of the main window over a real settings file.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>

#include "core/WinSupport.h"
#include "win32/MainWin.h"

#include <algorithm>

#include "IconTestSupport.h"
#include "WindowTestSupport.h"

namespace {

std::string Entry(const std::string& title, const std::string& command) {
  return "item Title = '" + title + "' Command = '" + command + "' end ";
}

class ProgramRow : public testing::Test {
 protected:
  TTempFolder temp{L"Dorvane row"};
  std::wstring settingsFile = temp.Path() + L"SkiffData.dat";
  TApplication app{GetModuleHandleW(nullptr)};
  std::vector<std::u16string> boxes;
  std::vector<std::u16string> runs;
  std::unique_ptr<TMainForm> form;

  void SetUp() override {
    app.MessageBoxProc = [this](HWND, const std::u16string& text, const std::u16string&, UINT) {
      boxes.push_back(text);
      return IDOK;
    };
  }

  // wait: until what follows the first paint is done too.
  TMainForm& Start(const std::string& body, bool wait = true) {
    std::ofstream(settingsFile.c_str(), std::ios::binary) << "object TSkiffData " << body << " end";
    TMainFormEnv env;
    env.SettingsFile = settingsFile;
    env.EndsProgram = false;
    env.IniFolder = settingsFile.substr(0, settingsFile.find_last_of(L'\\') + 1);
    form = std::make_unique<TMainForm>(app, env);
    form->Create();
    form->Show();
    if (wait) PumpUntil([this] { return form->AfterFirstPaintDone(); }, 2000);
    return *form;
  }

  int TabCount() { return TabCtrl_GetItemCount(form->Control("ProgramPages")); }
  std::wstring TabCaption(int tab) {
    wchar_t caption[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = 64;
    TabCtrl_GetItem(form->Control("ProgramPages"), tab, &item);
    return caption;
  }
  void SelectTab(int tab) {
    TabCtrl_SetCurSel(form->Control("ProgramPages"), tab);
    NMHDR hdr{form->Control("ProgramPages"), 0, TCN_SELCHANGE};
    SendMessageW(form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&hdr));
    UpdateWindow(form->Handle());  // what shows now is painted, as in the running program
  }
  int VisibleButtons() {
    int n = 0;
    for (int i = 0; i <= form->Row.HighButton(); ++i) n += IsWindowVisible(form->Row.FindButton(i)->Handle()) ? 1 : 0;
    return n;
  }
};

const std::string kShell32 = "C:\\windows\\system32\\shell32.dll";

TEST_F(ProgramRow, OneTabPerGroupAndEachIconExtractedOnce) {
  TMainForm& f = Start("ShowInfo = True Drives = 'cd' BtnSize = 2 Groups = < item Name = 'Office' Apps = < " +
                       Entry("Notepad", "C:\\windows\\notepad.exe") + Entry("Shell", kShell32) +
                       Entry("Cmd", "C:\\windows\\system32\\cmd.exe") + "> end item Name = 'Tools' Apps = < " +
                       Entry("Reg", "C:\\windows\\regedit.exe") + "> end >");
  ASSERT_EQ(TabCount(), 3);
  EXPECT_EQ(TabCaption(0), L"Sys Info");
  EXPECT_EQ(TabCaption(2), L"Tools");
  EXPECT_EQ(TabCtrl_GetCurSel(f.Control("ProgramPages")), 1);  // the first group, filled at once
  EXPECT_EQ(VisibleButtons(), 3);
  EXPECT_EQ(f.Row.IconExtractions(), 3);
  EXPECT_EQ(f.Row.ilstLarge.Count(), 3);
  SelectTab(2);
  EXPECT_EQ(VisibleButtons(), 1);
  EXPECT_EQ(f.Row.HighButton(), 2);  // the surplus buttons are hidden, not freed
  SelectTab(0);
  EXPECT_EQ(VisibleButtons(), 2);  // the drives
  for (int i = 0; i < 5; ++i) {
    SelectTab(1);
    SelectTab(2);
  }
  EXPECT_EQ(f.Row.IconExtractions(), 4);
  EXPECT_EQ(f.Row.ilstLarge.Count(), 4);
  ASSERT_NE(f.Settings->Groups[0].Apps[0].ImageIndex, -1);
}

// Each tab inserted lays out all before it, and each button is a window: at
// the start only those a row as wide as the screen shows are made before the
// window shows, the rest, in their order, once it is painted.
TEST_F(ProgramRow, AHundredGroupsShowTheirFirstScreenOfTabsAndButtonsFirst) {
  std::string apps;
  for (int i = 0; i < 50; ++i) apps += Entry("p" + std::to_string(i), kShell32) + "\n";  // lines of a length read
  std::string groups = "item Name = 'Group 1' Apps = < " + apps + "> end ";
  for (int g = 2; g <= 99; ++g) groups += "item Name = 'Group " + std::to_string(g) + "' end\n";
  TMainForm& f = Start("BtnSize = 2 Groups = < " + groups + ">", false);
  const HWND pages = f.Control("ProgramPages");
  ASSERT_EQ(boxes, std::vector<std::u16string>{});
  const int first = TabCount();
  ASSERT_GT(first, 1);
  EXPECT_LT(first, 99);
  RECT last{};
  TabCtrl_GetItemRect(pages, first - 1, &last);
  EXPECT_GT(last.right, GetSystemMetrics(SM_CXSCREEN) - 200) << "as many as the screen can show";
  const int buttons = f.Row.HighButton() + 1;
  EXPECT_LT(buttons, 50);
  EXPECT_GE(buttons * f.Row.ButtonWidth, GetSystemMetrics(SM_CXSCREEN));
  ASSERT_TRUE(PumpUntil([&] { return f.AfterFirstPaintDone(); }, 2000));
  ASSERT_EQ(TabCount(), 99);
  ASSERT_EQ(f.Row.HighButton(), 49);
  RECT panel{};
  GetClientRect(f.Control("pnlProgramButtons"), &panel);
  EXPECT_EQ(panel.right, 50 * f.Row.ButtonWidth) << "room for the whole row";
  EXPECT_TRUE(IsWindowVisible(f.Row.FindButton(49)->Handle()));
  for (int tab : {first - 1, first, 98}) EXPECT_EQ(TabCaption(tab), L"Group " + std::to_wstring(tab + 1));
  EXPECT_EQ(TabCtrl_GetCurSel(pages), 0);
}

TEST_F(ProgramRow, LargeButtonFaceHasCaptionLinesAndTheIcon) {
  TMainForm& f = Start("BtnSize = 2 Groups = < item Name = 'A' Apps = < " + Entry("Shell", kShell32) + "> end >");
  const TAppItem& app = f.Settings->Groups[0].Apps[0];
  ASSERT_GE(app.ImageIndex, 0);
  const TBitmap& face = f.Row.FindButton(0)->Glyph();
  ASSERT_EQ(face.Width(), f.Scale(60));
  ASSERT_EQ(face.Height(), f.Scale(70));
  const COLORREF fill = face.Pixel(0, face.Height() - 1);
  auto differs = [&](int x0, int y0, int x1, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) n += face.Pixel(x, y) != fill ? 1 : 0;
    return n;
  };
  EXPECT_EQ(differs(0, 0, face.Width(), 3), 0);     // nothing above the upper line
  EXPECT_EQ(differs(0, 3, face.Width(), 15), 0);    // a one-word title goes on the lower line
  EXPECT_GT(differs(0, 15, face.Width(), 27), 0);   // the lower line
  EXPECT_GT(differs(14, 32, 46, 64), 50);           // the icon at 14,32
  EXPECT_EQ(differs(0, 32, 14, 64), 0);

  TMainForm& g = Start("BtnSize = 2 TextOnTop = True Groups = < item Name = 'A' Apps = < " + Entry("Shell", kShell32) +
                       "> end >");
  const TBitmap& top = g.Row.FindButton(0)->Glyph();
  const COLORREF topFill = top.Pixel(0, top.Height() - 1);
  auto topDiffers = [&](int y0, int y1) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = 0; x < top.Width(); ++x) n += top.Pixel(x, y) != topFill ? 1 : 0;
    return n;
  };
  EXPECT_GT(topDiffers(3, 15), 0);  // a one-word title on the upper line
  EXPECT_EQ(topDiffers(15, 27), 0);
}

TEST_F(ProgramRow, PressesReachTheShellAndReportItsErrors) {
  TMainForm& f = Start("Groups = < item Name = 'A' Apps = < " + Entry("Missing", "C:\\no\\such\\program.exe") +
                       Entry("Nothing", "") + "> end >");
  PostMessageW(f.Row.FindButton(0)->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
  PostMessageW(f.Row.FindButton(0)->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  f.ProgramBtnClick(1);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0], u"Cannot run the program: The specified file was not found.\nC:\\no\\such\\program.exe");
  EXPECT_EQ(boxes[1], u"There is no program to run.");
}

TEST_F(ProgramRow, ButtonSizesAndPositions) {
  struct Case {
    int btnSize, width, height;
    TIconSize icons;
  };
  const Case cases[] = {{0, 21, 22, isSmall}, {1, 36, 37, isLarge}, {2, 64, 74, isLarge}, {7, 64, 74, isLarge}};
  for (const Case& c : cases) {
    TMainForm& f = Start("BtnSize = " + std::to_string(c.btnSize) + " Groups = < item Name = 'A' Apps = < " +
                         Entry("a", kShell32) + Entry("b", kShell32) + Entry("c", kShell32) + "> end >");
    ASSERT_EQ(f.Row.HighButton(), 2) << c.btnSize;
    for (int i = 0; i < 3; ++i) {
      RECT r{};
      GetWindowRect(f.Row.FindButton(i)->Handle(), &r);
      MapWindowPoints(nullptr, f.Control("pnlProgramButtons"), reinterpret_cast<POINT*>(&r), 2);
      EXPECT_EQ(r.left, i * f.Scale(c.width)) << c.btnSize;
      EXPECT_EQ(r.top, 0);
      EXPECT_EQ(r.right - r.left, f.Scale(c.width));
      EXPECT_EQ(r.bottom - r.top, f.Scale(c.height));
    }
    const TImageList& used = c.icons == isSmall ? f.Row.ilstSmall : f.Row.ilstLarge;
    EXPECT_EQ(used.Count(), 3) << c.btnSize;
    EXPECT_EQ(f.Settings->BtnSize, c.btnSize);  // kept as it was
  }
}

TEST_F(ProgramRow, ChangingTheSizeExtractsEveryIconAgain) {
  TMainForm& f = Start("BtnSize = 0 Groups = < item Name = 'A' Apps = < " + Entry("a", kShell32) +
                       Entry("b", "C:\\windows\\notepad.exe") + "> end >");
  EXPECT_EQ(f.Row.IconExtractions(), 2);
  EXPECT_EQ(f.Row.ilstSmall.Count(), 2);
  f.Settings->BtnSize = 2;
  f.Row.ClearButtons(true);
  f.ApplyButtonSize();
  f.Row.RebuildTabs(0);
  UpdateWindow(f.Handle());
  EXPECT_EQ(f.Row.IconExtractions(), 4);
  EXPECT_EQ(f.Row.ilstSmall.Count(), 0);
  EXPECT_EQ(f.Row.ilstLarge.Count(), 2);
  EXPECT_EQ(f.Row.FindButton(0)->Glyph().Width(), f.Scale(60));
}

TEST_F(ProgramRow, ALongRowMakesOnlyTheButtonsThatShowUntilTheSliderMoves) {
  std::string apps;
  for (int i = 0; i < 30; ++i) apps += Entry("p" + std::to_string(i), i % 2 ? kShell32 : "C:\\windows\\notepad.exe");
  TMainForm& f = Start("BtnSize = 2 Groups = < item Name = 'A' Apps = < " + apps + "> end >");
  TAppCollection& entries = f.Settings->Groups[0].Apps;
  ASSERT_EQ(f.Row.HighButton(), 29);
  auto made = [&] {
    int n = 0;
    for (int i = 0; i < entries.Count(); ++i) n += entries[i].ImageIndex != -1 ? 1 : 0;
    return n;
  };
  // 679 pixels hold about ten large buttons: the others wait.
  const int shown = f.Row.IconExtractions();
  EXPECT_GE(shown, 5);
  EXPECT_LE(shown, 12);
  EXPECT_EQ(made(), shown);
  EXPECT_EQ(entries[29].ImageIndex, -1);

  // A picture asked for is made at once, shown or not.
  const TBitmap& face = f.Row.FindButton(20)->Glyph();
  EXPECT_EQ(face.Width(), f.Scale(60));
  EXPECT_NE(entries[20].ImageIndex, -1);
  EXPECT_EQ(f.Row.IconExtractions(), shown + 1);

  const HWND slider = f.Control("ProgramSlider");
  ASSERT_TRUE(IsWindowVisible(slider));
  SendMessageW(slider, TBM_SETPOS, TRUE, SendMessageW(slider, TBM_GETRANGEMAX, 0, 0));
  f.Row.ProgramSliderChange();
  UpdateWindow(f.Handle());
  EXPECT_NE(entries[29].ImageIndex, -1);  // the end of the row came into view
  EXPECT_GT(f.Row.IconExtractions(), shown + 1);
  SendMessageW(slider, TBM_SETPOS, TRUE, 0);
  f.Row.ProgramSliderChange();
  UpdateWindow(f.Handle());
  // However the row moved, every icon was taken from its file once.
  EXPECT_EQ(f.Row.IconExtractions(), made());
  EXPECT_EQ(f.Row.ilstLarge.Count(), made());
}

TEST_F(ProgramRow, AMonitorOfAnotherDpiGetsTheRowBuiltAnew) {
  TMainForm& f = Start("BtnSize = 2 Groups = < item Name = 'A' Apps = < " + Entry("a", kShell32) +
                       Entry("b", "C:\\windows\\notepad.exe") + "> end item Name = 'B' Apps = < " +
                       Entry("c", kShell32) + "> end >");
  SelectTab(1);
  const int extracted = f.Row.IconExtractions();
  RECT r{};
  GetWindowRect(f.Handle(), &r);
  const RECT suggested{r.left, r.top, r.left + (r.right - r.left) * 3 / 2, r.bottom + 100};
  SendMessageW(f.Handle(), 0x02E0 /* WM_DPICHANGED */, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  UpdateWindow(f.Handle());
  ASSERT_EQ(f.Scale(64), 96);
  EXPECT_EQ(TabCtrl_GetCurSel(f.Control("ProgramPages")), 1);  // the same tab
  EXPECT_EQ(VisibleButtons(), 1);
  GetWindowRect(f.Row.FindButton(0)->Handle(), &r);
  EXPECT_EQ(r.right - r.left, 96);
  EXPECT_EQ(r.bottom - r.top, f.Scale(74));
  EXPECT_EQ(f.Row.FindButton(0)->Glyph().Width(), f.Scale(60));
  EXPECT_EQ(f.Row.IconExtractions(), extracted + 1);  // the shown entry's icon, once more
  SelectTab(0);
  GetWindowRect(f.Row.FindButton(1)->Handle(), &r);
  MapWindowPoints(nullptr, f.Control("pnlProgramButtons"), reinterpret_cast<POINT*>(&r), 2);
  EXPECT_EQ(r.left, 96);
}

TEST_F(ProgramRow, HintsShowBarsAsLineBreaksOrTheCommand) {
  TMainForm& f = Start("Groups = < item Name = 'A' Apps = < item Title = 'x' Command = 'C:\\x.exe' "
                       "Hint = 'First|Second' end > end >");
  EXPECT_EQ(f.Row.FindButton(0)->Hint(), u"First\r\nSecond");
  TMainForm& g = Start("ProgramAsHint = True Groups = < item Name = 'A' Apps = < item Title = 'x' "
                       "Command = 'C:\\x.exe' Hint = 'First|Second' end > end >");
  EXPECT_EQ(g.Row.FindButton(0)->Hint(), u"C:\\x.exe");
}

TEST_F(ProgramRow, ARealProgramStartsWithTheEntrysShowCommand) {
  std::wstring self(MAX_PATH, L'\0');
  self.resize(GetModuleFileNameW(nullptr, self.data(), MAX_PATH));
  const std::pair<char, int> cases[] = {{'M', SW_MINIMIZE}, {'X', SW_MAXIMIZE}, {'N', SW_SHOWNORMAL}};
  for (auto [state, show] : cases) {
    const std::wstring report = settingsFile + L"." + std::wstring(1, state) + L".txt";
    std::string selfA(self.begin(), self.end()), reportA(report.begin(), report.end());
    TMainForm& f = Start("Groups = < item Name = 'A' Apps = < item Title = 'probe' Command = '" + selfA +
                         "' Parameters = '--show-probe \"" + reportA + "\"' WindowState = '" + state + "' end > end >");
    f.ProgramBtnClick(0);
    std::string got;
    for (int i = 0; i < 200 && got.empty(); ++i) {
      Sleep(50);
      std::ifstream in(report.c_str());
      std::getline(in, got);
    }
    EXPECT_EQ(got, std::to_string(show)) << state;
    EXPECT_TRUE(boxes.empty());
  }
}

// The configuration dialog's preview is the face the main window gives the
// same entry's large button, pixel for pixel, two-line title and own icon.
TEST_F(ProgramRow, TheConfigurationPreviewIsTheLargeButtonsFace) {
  for (const char* options : {"VertBarLineBreak = True", "TextOnTop = True"}) {
    SCOPED_TRACE(options);
    TMainForm& f = Start(std::string("BtnSize = 2 ") + options +
                         " Groups = < item Name = 'A' Apps = < item Title = 'Shell|Icons here' Command = '" +
                         kShell32 + "' IconLocation = '" + kShell32 + ",3' end > end >");
    std::vector<COLORREF> preview;
    f.Commands.OnConfigShow = [&](TConfigForm& c) {
      ShowWindow(c.Handle(), SW_SHOW);
      const HWND tree = c.Tree();
      TreeView_SelectItem(tree, TreeView_GetChild(tree, TreeView_GetRoot(tree)));
      for (int i = 0; i < 10 && !c.CurrentApp; ++i) {
        Sleep(20);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      }
      preview = icontest::Pixels(c.Editor.IconPreviewBtn.Glyph());
      SendMessageW(c.Handle(), WM_CLOSE, 0, 0);
    };
    f.Commands.ConfigBtnClick();
    const std::vector<COLORREF> face = icontest::Pixels(f.Row.FindButton(0)->Glyph());
    ASSERT_EQ(preview.size(), face.size());
    EXPECT_TRUE(preview == face);
    EXPECT_GT(std::count(face.begin(), face.end(), face[0]), 0);
  }
}

}  // namespace
