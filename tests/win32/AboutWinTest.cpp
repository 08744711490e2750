// The about box's Help: where no WinHelp file is beside the program (every
// Windows since Vista), the help page that ships beside it opens instead.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "win32/AboutWin.h"
#include "win32/res/resource.h"

namespace {

struct Box {
  std::u16string Text;
  UINT Type;
};

TEST(AboutBox, HelpOpensTheHelpPageBesideTheProgramAndCloses) {
  std::wstring exe = ExeFileName();
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
  ASSERT_EQ(GetFileAttributesW((exe.substr(0, exe.size() - 4) + L".HLP").c_str()), INVALID_FILE_ATTRIBUTES)
      << "no WinHelp file beside the tests";
  // The build puts the page beside every program it makes.
  EXPECT_NE(GetFileAttributesW((folder + L"Dorvane.html").c_str()), INVALID_FILE_ATTRIBUTES);

  // The shell's answer: a success (above 32), no association, a missing file.
  for (const int shell : {42, 31, 2}) {
    TApplication app{GetModuleHandleW(nullptr)};
    std::vector<Box> boxes;
    app.MessageBoxProc = [&](HWND, const std::u16string& text, const std::u16string&, UINT type) {
      boxes.push_back({text, type});
      return IDOK;
    };
    TAboutForm about(app);
    std::vector<std::u16string> opened;
    app.OpenHelpPage = [&](HWND owner, const std::u16string& page) {
      EXPECT_EQ(owner, about.Handle());
      opened.push_back(page);
      return shell;
    };
    about.Create(nullptr);
    const HWND help = about.Control("HelpBtn");
    ASSERT_TRUE(help);
    PostMessageW(help, BM_CLICK, 0, 0);
    EXPECT_EQ(about.ShowModal(nullptr), IDCANCEL) << shell;

    const std::u16string page = U16(folder + L"Dorvane.html");
    EXPECT_EQ(opened, std::vector<std::u16string>{page}) << shell;
    if (shell > 32) {
      EXPECT_TRUE(boxes.empty());
    } else {
      ASSERT_EQ(boxes.size(), 1u) << shell;
      EXPECT_EQ(boxes[0].Text, u"The help page " + page + u" could not be opened.");
      EXPECT_EQ(boxes[0].Type, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    }
  }
}

// The version comes from VERSION and the date from the program's own
// header: the day its file was written by the linker.
TEST(AboutBox, ShowsTheVersionAndTheDayOfTheBuild) {
  TApplication app{GetModuleHandleW(nullptr)};
  TAboutForm about(app);
  about.Create(nullptr);
  auto text = [&](const char* name) {
    wchar_t buffer[64] = {};
    GetWindowTextW(about.Control(name), buffer, 64);
    return std::wstring(buffer);
  };
  EXPECT_EQ(text("lblVersion"), L"v " DORVANE_VERSION);

  WIN32_FILE_ATTRIBUTE_DATA file{};
  ASSERT_TRUE(GetFileAttributesExW(ExeFileName().c_str(), GetFileExInfoStandard, &file));
  SYSTEMTIME written{};
  FileTimeToSystemTime(&file.ftLastWriteTime, &written);
  const wchar_t* months[] = {L"Jan", L"Feb", L"Mar", L"Apr", L"May", L"Jun",
                             L"Jul", L"Aug", L"Sep", L"Oct", L"Nov", L"Dec"};
  EXPECT_EQ(text("Label4"), std::to_wstring(written.wDay) + L" " + months[written.wMonth - 1] + L" " +
                                std::to_wstring(written.wYear));
}

// The splash and about picture is stored with a palette and compressed: it
// must still load whole, in its colours, with the bottom-left pixel (the
// transparent colour) found nowhere else in it.
TEST(AboutBox, ShowsTheWholePicture) {
  TApplication app{GetModuleHandleW(nullptr)};
  TAboutForm about(app);
  about.Create(nullptr);
  const auto shown = reinterpret_cast<HBITMAP>(SendMessageW(about.Control("Image1"), STM_GETIMAGE, IMAGE_BITMAP, 0));
  ASSERT_TRUE(shown);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, 307, -298, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<std::uint32_t> pixels(307 * 298);
  BITMAP size{};
  ASSERT_TRUE(GetObjectW(shown, sizeof size, &size));
  EXPECT_EQ(size.bmWidth, 307);
  EXPECT_EQ(size.bmHeight, 298);
  const HDC screen = GetDC(nullptr);
  EXPECT_EQ(GetDIBits(screen, shown, 0, 298, pixels.data(), &info, DIB_RGB_COLORS), 298);
  ReleaseDC(nullptr, screen);
  const std::uint32_t corner = pixels[297 * 307] & 0xFFFFFF;
  std::set<std::uint32_t> colours;
  for (std::size_t i = 0; i < pixels.size(); ++i) {
    colours.insert(pixels[i] & 0xFFFFFF);
    if (i != 297 * 307) {
      ASSERT_NE(pixels[i] & 0xFFFFFF, corner) << "pixel " << i % 307 << "," << i / 307;
    }
  }
  // A palette's worth, not a blank or a failed decode.
  EXPECT_GT(colours.size(), 200u);
}

// The program's icon, small sizes as bitmaps and large ones as PNG: each size
// loads whole, drawn for that size, with its transparent corners.
TEST(AboutBox, TheProgramIconLoadsAtEverySizeItHas) {
  for (const int size : {16, 20, 24, 32, 40, 48, 64, 256}) {
    SCOPED_TRACE(size);
    const HICON icon = static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_DORVANE), IMAGE_ICON, size, size, 0));
    ASSERT_TRUE(icon);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bm{};
    GetObjectW(info.hbmColor, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, size);
    EXPECT_EQ(bm.bmHeight, size);
    // Drawn over white and over black: where the two agree, the picture is.
    std::vector<COLORREF> seen[2];
    for (int pass = 0; pass < 2; ++pass) {
      const HDC screen = GetDC(nullptr);
      const HDC dc = CreateCompatibleDC(screen);
      const HBITMAP target = CreateCompatibleBitmap(screen, size, size);
      ReleaseDC(nullptr, screen);
      const HGDIOBJ old = SelectObject(dc, target);
      const RECT all{0, 0, size, size};
      FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(pass ? BLACK_BRUSH : WHITE_BRUSH)));
      DrawIconEx(dc, 0, 0, icon, size, size, 0, nullptr, DI_NORMAL);
      for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) seen[pass].push_back(GetPixel(dc, x, y));
      SelectObject(dc, old);
      DeleteObject(target);
      DeleteDC(dc);
    }
    std::size_t opaque = 0;
    for (std::size_t i = 0; i < seen[0].size(); ++i) opaque += seen[0][i] == seen[1][i];
    EXPECT_GT(opaque, seen[0].size() / 2) << "the picture";
    EXPECT_GT(std::set<COLORREF>(seen[0].begin(), seen[0].end()).size(), 8u) << "drawn, not one colour";
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

}  // namespace
