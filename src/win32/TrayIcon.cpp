#include "win32/TrayIcon.h"

#include "core/Errors.h"
#include "core/TextCodec.h"
#include "win32/res/resource.h"

namespace {

constexpr wchar_t kTrayClass[] = L"DorvaneTrayWindow";

void RegisterTrayClass(HINSTANCE instance, WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.lpszClassName = kTrayClass;
  RegisterClassExW(&wc);  // fails harmlessly when a previous icon registered it
}

HICON ProgramIcon(HINSTANCE instance) {
  if (HICON icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_DORVANE), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)))
    return icon;
  return CopyIcon(LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION)));
}

TShiftState KeyShift() {
  TShiftState shift = 0;
  if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
  if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
  if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
  return shift;
}

TShiftState ButtonShift(TMouseButton button) {
  switch (button) {
    case TMouseButton::mbLeft: return ssLeft;
    case TMouseButton::mbRight: return ssRight;
    case TMouseButton::mbMiddle: return ssMiddle;
  }
  return 0;
}

void SetTip(NOTIFYICONDATAW& data, std::u16string_view text) {
  const std::u16string tip = TrayTip(text);
  tip.copy(reinterpret_cast<char16_t*>(data.szTip), tip.size());
  data.szTip[tip.size()] = L'\0';
  if (tip.empty()) data.uFlags &= ~NIF_TIP;
  else data.uFlags |= NIF_TIP;
}

}  // namespace

TTrayIcon::TTrayIcon(TApplication& app, TShellNotify shellNotify)
    : FApp(app), FShellNotify(std::move(shellNotify)), FIcon(ProgramIcon(app.Instance)) {
  RegisterTrayClass(app.Instance, &TTrayIcon::WindowProc);
  // A hidden top-level window rather than a message-only one: only
  // top-level windows hear the shell's "TaskbarCreated" broadcast, and
  // the popup menu needs a window that can take the foreground.
  FWindow.Reset(CreateWindowExW(WS_EX_TOOLWINDOW, kTrayClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                app.Instance, this));
  if (!FWindow) throw EOutOfResources(std::u16string(kCannotCreate));
  FTaskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  // An elevated copy would not hear the shell otherwise.
  ChangeWindowMessageFilterEx(FWindow.Get(), FTaskbarCreated, MSGFLT_ALLOW, nullptr);

  // The first version of the record: the shells of every Windows take it.
  FData.cbSize = NOTIFYICONDATAW_V1_SIZE;
  FData.hWnd = FWindow.Get();
  FData.uID = 0;
  FData.uFlags = NIF_MESSAGE | NIF_ICON;
  FData.uCallbackMessage = kCallbackMessage;
  FData.hIcon = FIcon.Get();
  SetTip(FData, app.Title);
  if (!Notify(NIM_ADD)) throw EOutOfResources(std::u16string(kCannotCreate));
  FAdded = true;
}

TTrayIcon::~TTrayIcon() {
  RemoveIcon();
  SetWindowLongPtrW(FWindow.Get(), GWLP_USERDATA, 0);
}

BOOL TTrayIcon::Notify(DWORD message) {
  return FShellNotify ? FShellNotify(message, FData) : Shell_NotifyIconW(message, &FData);
}

void TTrayIcon::SetHint(const std::u16string& text) {
  if (text == FHint) return;
  FHint = text;
  SetTip(FData, FHint);
  UpdateIcon();
}

void TTrayIcon::SetIcon(HICON icon) {
  if (icon == FIcon.Get()) return;
  FIcon.Reset(icon ? CopyIcon(icon) : nullptr);
  FData.hIcon = FIcon.Get();
  UpdateIcon();
}

void TTrayIcon::UpdateIcon() { Notify(NIM_MODIFY); }

void TTrayIcon::RemoveIcon() { Notify(NIM_DELETE); }

void TTrayIcon::AppMinimize(HWND window) {
  ShowWindow(window, SW_HIDE);
  if (OnMinimize) OnMinimize();
}

void TTrayIcon::AppRestore(HWND window) {
  ShowWindow(window, SW_RESTORE);
  if (OnRestore) OnRestore();
}

void TTrayIcon::ShowPopupMenu() {
  if (!PopupMenu) return;
  const UniqueMenu menu = PopupMenu();
  if (!menu) return;
  POINT at{};
  GetCursorPos(&at);
  // Without the foreground the menu would not close when the user clicks
  // elsewhere; the posted null message lets the shell see it close.
  SetForegroundWindow(FWindow.Get());
  const UINT command = static_cast<UINT>(TrackPopupMenu(
      menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, FWindow.Get(), nullptr));
  PostMessageW(FWindow.Get(), WM_NULL, 0, 0);
  // Posted: the command may open a modal box of its own.
  if (command && PopupOwner) PostMessageW(PopupOwner, WM_COMMAND, MAKEWPARAM(command, 0), 0);
}

void TTrayIcon::HandleMouse(unsigned mouseMessage) {
  for (const TTrayStep& step : FMouse.Translate(mouseMessage)) {
    POINT at{};
    GetCursorPos(&at);
    const TShiftState shift = KeyShift();
    switch (step.Action) {
      case TTrayAction::taMouseMove:
        if (OnMouseMove) OnMouseMove(shift, at.x, at.y);
        break;
      case TTrayAction::taMouseDown:
        if (OnMouseDown) OnMouseDown(step.Button, shift | ButtonShift(step.Button), at.x, at.y);
        break;
      case TTrayAction::taMouseUp:
        if (OnMouseUp) OnMouseUp(step.Button, shift | ButtonShift(step.Button), at.x, at.y);
        break;
      case TTrayAction::taClick:
        if (OnClick) OnClick();
        break;
      case TTrayAction::taDblClick:
        if (OnDblClick) OnDblClick();
        break;
      case TTrayAction::taPopup: ShowPopupMenu(); break;
    }
  }
}

LRESULT TTrayIcon::WndProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kCallbackMessage) {
    HandleMouse(static_cast<unsigned>(lParam));
    return 0;
  }
  if (message == FTaskbarCreated && FTaskbarCreated) {
    // The shell was restarted and has forgotten the icon; a minimised
    // program would otherwise be out of reach.
    FAdded = Notify(NIM_ADD) != FALSE;
    return 0;
  }
  switch (message) {
    case WM_QUERYENDSESSION: return 1;
    case WM_ENDSESSION:
      if (wParam) RemoveIcon();
      return 0;
  }
  return DefWindowProcW(FWindow.Get(), message, wParam, lParam);
}

LRESULT CALLBACK TTrayIcon::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<TTrayIcon*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<TTrayIcon*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  // Until CreateWindowEx has returned the component is not complete.
  if (!self || !self->FWindow) return DefWindowProcW(window, message, wParam, lParam);
  try {
    return self->WndProc(message, wParam, lParam);
  } catch (const std::exception& e) {
    self->FApp.ShowError(nullptr, ExceptionMessage(e));
  }
  return 0;
}
