// The main window at the DPI of its monitor: the tests run at the DPI the
// Wine prefix sets (96, 120 or 144; the test scripts run them in a prefix of
// each) and move the window to monitors of other DPIs with WM_DPICHANGED.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <fstream>

#include "DeskTestSupport.h"

namespace {

std::string Entries(int n) {
  std::string body;
  for (int i = 0; i < n; ++i)
    body += "item Title = 'Shell " + std::to_string(i) + "' Command = 'C:\\windows\\system32\\shell32.dll' end ";
  return body;
}

SIZE IconSizeOf(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) return {0, 0};
  BITMAP bm{};
  GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return {bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
}

RECT RectIn(HWND window, HWND parent) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

class Dpi : public TDeskTest {
 protected:
  void MoveToDpi(UINT dpi) {
    RECT r{};
    GetWindowRect(form->Handle(), &r);
    const int width = MulDiv(r.right - r.left, static_cast<int>(dpi), static_cast<int>(form->Dpi()));
    const RECT suggested{r.left, r.top, r.left + width, r.bottom};
    SendMessageW(form->Handle(), kDpiChanged, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    UpdateWindow(form->Handle());
  }
};

// The sizes a window at `dpi` must have, for a row of `count` buttons of a
// design size.
void ExpectSizesAt(const TMainForm& f, UINT dpi, int count, SIZE design, const char* what) {
  SCOPED_TRACE(std::string(what) + " at " + std::to_string(dpi) + " DPI");
  ASSERT_EQ(f.Dpi(), dpi);
  const int width = MulDiv(design.cx, static_cast<int>(dpi), 96);
  EXPECT_EQ(f.Row.ButtonWidth, width);
  EXPECT_EQ(f.Row.ButtonHeight, MulDiv(design.cy, static_cast<int>(dpi), 96));
  // Edge to edge: button i at exactly i button widths, every one as wide.
  const HWND panel = f.Control("pnlProgramButtons");
  for (int i = 0; i < count; ++i) {
    const RECT r = RectIn(f.Row.FindButton(i)->Handle(), panel);
    EXPECT_EQ(r.left, i * width) << "button " << i;
    EXPECT_EQ(r.right - r.left, width) << "button " << i;
  }
  const RECT row = RectIn(panel, GetParent(panel));
  EXPECT_EQ(row.right - row.left, count * width);
  RECT window{};
  GetWindowRect(f.Handle(), &window);
  EXPECT_EQ(window.bottom - window.top, f.FixedHeight());
  const LRESULT bar = SendMessageW(f.Control("tbrRight"), TB_GETBUTTONSIZE, 0, 0);
  EXPECT_EQ(LOWORD(bar), MulDiv(23, static_cast<int>(dpi), 96));
  EXPECT_EQ(HIWORD(bar), MulDiv(22, static_cast<int>(dpi), 96));
  int w = 0, h = 0;
  ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageW(f.Control("tbrRight"), TB_GETIMAGELIST, 0, 0)),
                        &w, &h);
  EXPECT_EQ(w, MulDiv(16, static_cast<int>(dpi), 96));  // 20 and 24 are drawn, not stretched
  // The entries' icons at the icon size of that DPI (48 at 144: not a
  // stretched 32), and the tray icon at the small icon size the shell asks.
  EXPECT_EQ(f.Row.ilstLarge.Width(), SystemMetricForDpi(SM_CXICON, dpi));
  EXPECT_EQ(f.Row.ilstSmall.Width(), SystemMetricForDpi(SM_CXSMICON, dpi));
  EXPECT_EQ(IconSizeOf(f.TrayIcon->Icon()).cx, SystemMetricForDpi(SM_CXSMICON, dpi));
  // The tabs: 18 high at 96 DPI and never lower than their captions need;
  // more tabs than fit show their scroll arrows on the tab row.
  const HWND pages = f.Control("ProgramPages");
  RECT tab{};
  TabCtrl_GetItemRect(pages, 0, &tab);
  TEXTMETRICW metrics{};
  const HDC dc = GetDC(pages);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(pages, WM_GETFONT, 0, 0)));
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(pages, dc);
  EXPECT_GE(tab.bottom - tab.top, MulDiv(18, static_cast<int>(dpi), 96));
  EXPECT_GE(tab.bottom - tab.top, metrics.tmHeight + MulDiv(4, static_cast<int>(dpi), 96)) << "the caption fits";
  const HWND arrows = FindWindowExW(pages, nullptr, UPDOWN_CLASSW, nullptr);
  ASSERT_TRUE(arrows);
  EXPECT_TRUE(IsWindowVisible(arrows));
  const RECT arrowsRect = RectIn(arrows, pages);
  EXPECT_TRUE(arrowsRect.top < tab.bottom && arrowsRect.bottom > tab.top) << "on the tab row";
}

TEST_F(Dpi, RowsToolBarsAndIconsOfEverySizeFollowTheMonitor) {
  const UINT start = WindowDpi(nullptr);
  std::printf("DPI tests at %u DPI\n", start);
  struct {
    int BtnSize;
    SIZE Design;
    const char* What;
  } const sizes[] = {{0, {21, 22}, "mini"}, {1, {36, 37}, "small"}, {2, {64, 74}, "large"}};
  for (const auto& size : sizes) {
    std::string groups;
    for (int i = 1; i <= 12; ++i) groups += "item Name = 'Group number " + std::to_string(i) + "' end ";
    TMainForm& f = Start("BtnSize = " + std::to_string(size.BtnSize) + " Groups = < item Name = 'A' Apps = < " +
                         Entries(7) + "> end " + groups + ">");
    // At the start, on monitors of other DPIs, and back where it started.
    for (const UINT dpi : {start, 120u, 144u, 96u, start}) {
      if (dpi != f.Dpi()) MoveToDpi(dpi);
      ExpectSizesAt(f, dpi, 7, size.Design, size.What);
    }
    if (size.BtnSize == 2) {
      // The icon on a large button's face is the whole icon of that DPI.
      const TBitmap& face = f.Row.FindButton(0)->Glyph();
      const int icon = SystemMetricForDpi(SM_CXICON, start);
      const COLORREF fill = face.Pixel(0, face.Height() - 1);
      int left = face.Width(), right = -1;
      for (int y = 0; y < face.Height(); ++y)
        for (int x = 0; x < face.Width(); ++x)
          if (y > f.Scale(30) && face.Pixel(x, y) != fill) left = std::min(left, x), right = std::max(right, x);
      EXPECT_GT(right - left + 1, icon * 3 / 4) << "the icon is drawn at " << icon << " pixels";
    }
  }
}

TEST_F(Dpi, APositionSavedAtAnotherDpiOpensWhereItWasLeftAtTheSameSize) {
  const UINT now = WindowDpi(nullptr);
  const int saved = now == 96 ? 144 : 96;
  std::ofstream((folder + L"Deradiv.INI").c_str(), std::ios::binary)
      << "[Window Position]\r\nTMainForm_Width=" << MulDiv(600, saved, 96) << "\r\nTMainForm_Height=99\r\n"
      << "TMainForm_Top=150\r\nTMainForm_Left=170\r\nTMainForm_WindowState=2\r\nTMainForm_Visible=1\r\n"
      << "TMainForm_PixelsPerInch=" << saved << "\r\n";
  TMainForm& f = Start("");
  RECT r{};
  GetWindowRect(f.Handle(), &r);
  EXPECT_EQ(r.left, 170);
  EXPECT_EQ(r.top, 150);
  EXPECT_EQ(r.right - r.left, MulDiv(600, static_cast<int>(now), 96));
  EXPECT_EQ(r.bottom - r.top, f.FixedHeight());
  // Closing writes the DPI the size is in.
  SendMessageW(f.Handle(), WM_CLOSE, 0, 0);  // answered No: the window stays
  wchar_t value[16] = {};
  GetPrivateProfileStringW(L"Window Position", L"TMainForm_PixelsPerInch", L"", value, 16,
                           (folder + L"Deradiv.INI").c_str());
  EXPECT_EQ(std::wstring(value), std::to_wstring(now));
}

TEST_F(Dpi, IconButtonsFollowTheirMonitor) {
  TestWindow parent(L"buttons", 0, 0, 300, 200);
  TIconBitBtn browse;
  TIconButtonProps props;
  props.Caption = u"Browse";
  props.Dpi = 96;
  browse.Create(parent.Get(), 0, RECT{10, 10, 85, 35}, props);
  browse.IconGlyph.BeginUpdate();
  browse.IconGlyph.SetIconType(itFileInfo);
  browse.IconGlyph.SetFileInfo(u"C:\\windows\\system32\\shell32.dll,3");
  browse.IconGlyph.SetColorProcessing(cpAddLine);
  browse.IconGlyph.SetUseStoredIcon(false);
  browse.IconGlyph.EndUpdate();
  browse.Loaded();
  for (const UINT dpi : {144u, 120u, 96u}) {
    browse.SetDpi(dpi);
    EXPECT_EQ(browse.Glyph().Width(), SystemMetricForDpi(SM_CXSMICON, dpi)) << dpi;
    EXPECT_EQ(browse.Glyph().Height(), SystemMetricForDpi(SM_CYSMICON, dpi) + 1) << dpi;
  }
  // What the system tells a child when its window moved to another monitor.
  SendMessageW(browse.Handle(), 0x02E3 /* WM_DPICHANGED_AFTERPARENT */, 0, 0);
  EXPECT_EQ(browse.Dpi(), WindowDpi(browse.Handle()));
}

}  // namespace
