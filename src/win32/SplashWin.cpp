#include "win32/SplashWin.h"

#include "win32/AboutWin.h"

namespace {

const TFormDef kSplashDef = {L"Dorvane", WS_POPUP | WS_CLIPCHILDREN, WS_EX_TOOLWINDOW, CW_USEDEFAULT, 0, 324, 366,
                             true, {L"MS Sans Serif", -11}};

const TControlDef kSplashControls[] = {
    {TControlKind::Panel, "Panel1", nullptr, TAlign::Client, 0, 0, 324, 366, L"", {}, WS_BORDER, WS_EX_STATICEDGE},
    {TControlKind::Panel, "Panel2", "Panel1", TAlign::None, 6, 6, 309, 47},
    {TControlKind::Label, "Title", "Panel2", TAlign::None, 8, 4, 180, 38, L"Dorvane", {L"Times New Roman", -32}},
    {TControlKind::Label, "Label1", "Panel2", TAlign::None, 190, 28, 115, 12, L"Starting your programs",
     {L"Small Fonts", -9}},
    {TControlKind::Panel, "Panel3", "Panel1", TAlign::None, 6, 56, 309, 300},
    {TControlKind::Picture, "Image1", "Panel3", TAlign::Client},
};

}  // namespace

TSplashForm::~TSplashForm() {
  if (Handle()) DestroyWindow(Handle());
}

void TSplashForm::Create(const TPreviousInstance& previous) {
  CreateForm(kSplashDef, kSplashControls, nullptr);
  TJustOne32 guard(previous);
  FPicture = ShowSplashPicture(App.Instance, Control("Image1"));
  ShowWindow(Handle(), SW_SHOW);
  UpdateWindow(Handle());
}
