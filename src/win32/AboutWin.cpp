#include "win32/AboutWin.h"

#include "win32/res/resource.h"

namespace {

constexpr int kHelpId = 10;
// The help page that ships beside the program.
constexpr wchar_t kHelpPage[] = L"Dorvane.html";

int ShellOpen(HWND owner, const std::u16string& page) { return RunProgram(owner, page, u"", u"", SW_SHOWNORMAL); }

const TFormDef kAboutDef = {L"About Dorvane", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                            WS_EX_DLGMODALFRAME, CW_USEDEFAULT, 0, 309, 422, true, {L"MS Sans Serif", -11}};

const TControlDef kAboutControls[] = {
    {TControlKind::Panel, "Panel2", nullptr, TAlign::Top, 0, 0, 309, 38},
    {TControlKind::Label, "Title", "Panel2", TAlign::None, 53, 2, 250, 34, L"Dorvane",
     {L"Times New Roman", -29, true}},
    {TControlKind::Panel, "Panel1", nullptr, TAlign::Top, 0, 0, 309, 49},
    {TControlKind::Label, "lblVersion", "Panel1", TAlign::None, 55, 6, 120, 14, L"v 1.8.0"},
    {TControlKind::Label, "Label4", "Panel1", TAlign::None, 197, 6, 100, 14, L"23 Sep 2005"},
    {TControlKind::Label, "Label1", "Panel1", TAlign::None, 8, 22, 293, 12,
     L"A program starter for shared and public workstations."},
    {TControlKind::Label, "Label2", "Panel1", TAlign::None, 8, 34, 293, 12,
     L"All settings live in SkiffData.dat beside the program."},
    {TControlKind::Panel, "Panel4", nullptr, TAlign::Bottom, 0, 0, 309, 35},
    {TControlKind::Button, "OkBtn", "Panel4", TAlign::None, 117, 5, 75, 25, L"Ok", {}, BS_DEFPUSHBUTTON, 0, IDOK},
    {TControlKind::Button, "HelpBtn", "Panel4", TAlign::None, 229, 5, 75, 25, L"Help", {}, 0, 0, kHelpId},
    {TControlKind::Panel, "Panel3", nullptr, TAlign::Client, 0, 0, 309, 300},
    {TControlKind::Picture, "Image1", "Panel3", TAlign::Client},
};

}  // namespace

UniqueBitmap ShowSplashPicture(HINSTANCE instance, HWND picture) {
  UniqueBitmap bitmap(static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDB_SPLASH), IMAGE_BITMAP, 0, 0, 0)));
  SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap.Get()));
  return bitmap;
}

TAboutForm::~TAboutForm() {
  if (Handle()) DestroyWindow(Handle());
}

void TAboutForm::Create(HWND owner) {
  if (!OpenHelpPage) OpenHelpPage = ShellOpen;
  CreateForm(kAboutDef, kAboutControls, owner);
  FPicture = ShowSplashPicture(App.Instance, Control("Image1"));
}

void TAboutForm::HelpBtnClick() {
  // The help file is the program's own name with ".HLP".
  const std::wstring exe = ExeFileName();
  std::wstring help = exe;
  const std::size_t dot = help.find_last_of(L'.');
  if (dot != std::wstring::npos && help.find_first_of(L"\\/", dot) == std::wstring::npos) help.resize(dot);
  help += L".HLP";
  // Windows has had no WinHelp viewer since Vista (only a stub that says
  // so), and no viewer shows a file that is not there: then the help page
  // beside the program opens in the browser instead.
  const bool shown = GetFileAttributesW(ExtendedPath(help).c_str()) != INVALID_FILE_ATTRIBUTES &&
                     WinHelpW(Handle(), help.c_str(), HELP_CONTENTS, 0);
  if (!shown) {
    const std::u16string page = U16(exe.substr(0, exe.find_last_of(L'\\') + 1) + kHelpPage);
    if (OpenHelpPage(Handle(), page) <= 32)
      App.ShowMessage(Handle(), u"The help page " + page + u" could not be opened.", MB_OK | MB_ICONWARNING);
  }
  ModalResult = IDCANCEL;
}

LRESULT TAboutForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    switch (LOWORD(wParam)) {
      case IDOK:
        ModalResult = IDOK;
        return 0;
      case IDCANCEL:
        ModalResult = IDCANCEL;
        return 0;
      case kHelpId:
        HelpBtnClick();
        return 0;
    }
  }
  return Form::HandleMessage(message, wParam, lParam);
}
