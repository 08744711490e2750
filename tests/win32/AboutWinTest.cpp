// The about box's Help: where no WinHelp file is beside the program (every
// Windows since Vista), the help page that ships beside it opens instead.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "win32/AboutWin.h"

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
    about.OpenHelpPage = [&](HWND owner, const std::u16string& page) {
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

}  // namespace
