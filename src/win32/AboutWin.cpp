#include "win32/AboutWin.h"

#include <shlwapi.h>
#include <wininet.h>

#include "DorvaneVersion.h"
#include "win32/res/resource.h"

namespace {

constexpr int kHelpId = 10;
// The help page that ships beside the program.
constexpr wchar_t kHelpPage[] = L"Dorvane.html";

int ShellOpen(HWND owner, const std::u16string& page) {
  const std::size_t hash = page.find(u'#');
  const std::u16string file = page.substr(0, hash);
  if (hash != std::u16string::npos) {
    // The shell opens a file without its "#section", so the browser of the
    // page's type is handed the page's address instead.
    wchar_t browser[MAX_PATH] = {};
    DWORD browserSize = MAX_PATH;
    wchar_t url[INTERNET_MAX_URL_LENGTH] = {};
    DWORD urlSize = INTERNET_MAX_URL_LENGTH;
    if (SUCCEEDED(AssocQueryStringW(ASSOCF_NOTRUNCATE, ASSOCSTR_EXECUTABLE, L".html", L"open", browser, &browserSize)) &&
        SUCCEEDED(UrlCreateFromPathW(W(file), url, &urlSize, 0))) {
      const int result =
          RunProgram(owner, U16(browser), u"\"" + U16(url) + page.substr(hash) + u"\"", u"", SW_SHOWNORMAL);
      if (result > 32) return result;
    }
  }
  return RunProgram(owner, file, u"", u"", SW_SHOWNORMAL);
}

const TFormDef kAboutDef = {L"About Dorvane", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN,
                            WS_EX_DLGMODALFRAME, CW_USEDEFAULT, 0, 309, 422, true, {L"MS Sans Serif", -11}};

const TControlDef kAboutControls[] = {
    {TControlKind::Panel, "Panel2", nullptr, TAlign::Top, 0, 0, 309, 38},
    {TControlKind::Label, "Title", "Panel2", TAlign::None, 53, 2, 250, 34, L"Dorvane",
     {L"Times New Roman", -29, true}},
    {TControlKind::Panel, "Panel1", nullptr, TAlign::Top, 0, 0, 309, 49},
    {TControlKind::Label, "lblVersion", "Panel1", TAlign::None, 55, 6, 120, 14, L""},
    {TControlKind::Label, "Label4", "Panel1", TAlign::None, 197, 6, 100, 14, L""},
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

std::u16string VersionCaption() { return u"v " + U16(DORVANE_VERSION_TEXT); }

std::u16string BuildDateCaption(HMODULE module) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const DWORD linked = nt->FileHeader.TimeDateStamp;  // seconds since 1970, UTC
  if (linked == 0) return {};                         // linked without a date
  const ULONGLONG ticks = (ULONGLONG{linked} + 11644473600ULL) * 10000000ULL;
  const FILETIME file{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME day{};
  wchar_t text[32] = {};
  if (!FileTimeToSystemTime(&file, &day) ||
      !GetDateFormatEx(LOCALE_NAME_INVARIANT, 0, &day, L"d MMM yyyy", text, 32, nullptr))
    return {};
  return U16(text);
}

void ShowHelp(TApplication& app, HWND owner, std::u16string_view section) {
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
                     WinHelpW(owner, help.c_str(), HELP_CONTENTS, 0);
  if (!shown) {
    const std::u16string page = U16(exe.substr(0, exe.find_last_of(L'\\') + 1) + kHelpPage);
    const auto& open = app.OpenHelpPage ? app.OpenHelpPage : ShellOpen;
    if (open(owner, section.empty() ? page : page + u"#" + std::u16string(section)) <= 32)
      app.ShowMessage(owner, u"The help page " + page + u" could not be opened.", MB_OK | MB_ICONWARNING);
  }
}

void TAboutForm::Create(HWND owner) {
  CreateForm(kAboutDef, kAboutControls, owner);
  FPicture = ShowSplashPicture(App.Instance, Control("Image1"));
  SetWindowTextW(Control("lblVersion"), W(VersionCaption()));
  SetWindowTextW(Control("Label4"), W(BuildDateCaption(GetModuleHandleW(nullptr))));
}

void TAboutForm::HelpBtnClick() {
  ShowHelp(App, Handle());
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
