#include "win32/Forms.h"

#include <commctrl.h>

#include <cstring>

#include "core/Errors.h"
#include "core/TextCodec.h"

namespace {

constexpr wchar_t kFormClass[] = L"DorvaneForm";
constexpr wchar_t kPanelClass[] = L"DorvanePanel";

// Panels only group controls: what their children report goes on to the
// form, which owns every handler.
LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return SendMessageW(GetParent(window), message, wParam, lParam);
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClasses(HINSTANCE instance, WNDPROC formProc) {
  static bool done = false;
  if (done) return;
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = formProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kFormClass;
  RegisterClassExW(&wc);
  wc.style = 0;
  wc.lpfnWndProc = PanelProc;
  wc.hIcon = nullptr;
  wc.lpszClassName = kPanelClass;
  RegisterClassExW(&wc);
  done = true;
}

bool SameParent(const char* a, const char* b) {
  return (!a && !b) || (a && b && std::strcmp(a, b) == 0);
}

}  // namespace

TApplication::TApplication(HINSTANCE instance)
    : Instance(instance),
      Title(u"Quorvel Dorvane"),
      MessageBoxProc([](HWND owner, const std::u16string& text, const std::u16string& caption, UINT type) {
        return MessageBoxW(owner, W(text), W(caption), type);
      }) {}

int TApplication::ShowMessage(HWND owner, const std::u16string& text, UINT type) {
  return MessageBoxProc(owner, text, Title, type);
}

void TApplication::ShowError(HWND owner, const std::u16string& text) {
  ShowMessage(owner, text, MB_OK | MB_ICONERROR);
}

Form::~Form() {
  if (FHandle) {
    // A derived form is gone by now: no message may reach it any more.
    SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
  }
}

HWND Form::Control(std::string_view name) const {
  for (const TControl& c : FControls)
    if (name == c.Def->Name) return c.Handle;
  return nullptr;
}

void Form::CreateForm(const TFormDef& form, std::span<const TControlDef> controls, HWND owner) {
  RegisterClasses(App.Instance, &Form::WindowProc);
  FDef = &form;
  FDefs = controls;
  FDpi = WindowDpi(nullptr);
  FFonts.clear();
  FFonts.emplace_back(MakeFont(form.Font));
  RECT frame{0, 0, Scale(form.Width), Scale(form.Height)};
  if (form.ClientSize) AdjustWindowRectEx(&frame, form.Style, FALSE, form.ExStyle);
  const int width = frame.right - frame.left, height = frame.bottom - frame.top;
  int left = Scale(form.Left), top = Scale(form.Top);
  if (form.Left == CW_USEDEFAULT) {
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    left = work.left + (work.right - work.left - width) / 2;
    top = work.top + (work.bottom - work.top - height) / 2;
  }
  CreateWindowExW(form.ExStyle, kFormClass, form.Caption, form.Style & ~WS_VISIBLE, left, top, width, height,
                  owner, nullptr, App.Instance, this);
  if (!FHandle) throw Exception(u"Cannot create the window: " + SysErrorMessage(GetLastError()));
  // The monitor the window landed on decides its scale.
  const UINT dpi = WindowDpi(FHandle);
  if (dpi != FDpi) {
    FDpi = dpi;
    FFonts.front() = UniqueFont(MakeFont(form.Font));
  }
  SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FormFont()), FALSE);
  CreateControls();
  Realign();
}

HFONT Form::MakeFont(const TFontDef& font) {
  if (!font.Name) return nullptr;
  return CreateFontW(Scale(font.Height), 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, font.Name);
}

void Form::CreateControls() {
  for (const TControlDef& def : FDefs) {
    const wchar_t* cls = WC_STATICW;
    DWORD style = WS_CHILD | WS_VISIBLE;
    switch (def.Kind) {
      case TControlKind::Panel: cls = kPanelClass; style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS; break;
      case TControlKind::Label: style |= SS_LEFT | SS_NOPREFIX; break;
      case TControlKind::Button: cls = WC_BUTTONW; style |= BS_PUSHBUTTON | WS_TABSTOP; break;
      case TControlKind::TabControl: cls = WC_TABCONTROLW; style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS; break;
      case TControlKind::TrackBar: cls = TRACKBAR_CLASSW; style |= TBS_HORZ; break;
      case TControlKind::ToolBar:
        cls = TOOLBARCLASSNAMEW;
        style |= TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN;
        break;
      case TControlKind::Picture: style |= SS_BITMAP | SS_CENTERIMAGE; break;
    }
    const HWND parent = def.Parent ? Control(def.Parent) : FHandle;
    const HWND handle = CreateWindowExW(def.ExStyle, cls, def.Text, style | def.Style, Scale(def.Left),
                                        Scale(def.Top), Scale(def.Width), Scale(def.Height), parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.Id)), App.Instance, nullptr);
    if (!handle) throw Exception(u"Cannot create the window: " + SysErrorMessage(GetLastError()));
    if (def.Kind == TControlKind::ToolBar) SendMessageW(handle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    HFONT font = FormFont();
    if (def.Font.Name) {
      FFonts.emplace_back(MakeFont(def.Font));
      font = FFonts.back().Get();
    }
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    FControls.push_back({&def, handle, font});
  }
}

void Form::Realign() {
  if (!FHandle) return;
  RECT client{};
  GetClientRect(FHandle, &client);
  AlignChildren(nullptr, client);
}

// Edges first, in the order top, bottom, left, right, then the client
// control takes what is left; each control keeps its own height (top,
// bottom) or width (left, right).
void Form::AlignChildren(const char* parent, RECT area) {
  for (TAlign pass : {TAlign::Top, TAlign::Bottom, TAlign::Left, TAlign::Right, TAlign::Client}) {
    for (const TControl& c : FControls) {
      if (c.Def->Align != pass || !SameParent(c.Def->Parent, parent)) continue;
      RECT now{};
      GetWindowRect(c.Handle, &now);
      const int w = now.right - now.left, h = now.bottom - now.top;
      RECT r = area;
      switch (pass) {
        case TAlign::Top: r.bottom = r.top + h; area.top = r.bottom; break;
        case TAlign::Bottom: r.top = r.bottom - h; area.bottom = r.top; break;
        case TAlign::Left: r.right = r.left + w; area.left = r.right; break;
        case TAlign::Right: r.left = r.right - w; area.right = r.left; break;
        default: break;
      }
      SetWindowPos(c.Handle, nullptr, r.left, r.top, std::max(0L, r.right - r.left), std::max(0L, r.bottom - r.top),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  for (const TControl& c : FControls) {
    if (!SameParent(c.Def->Parent, parent)) continue;
    RECT inner{};
    GetClientRect(c.Handle, &inner);
    if (c.Def->Kind == TControlKind::TabControl) TabCtrl_AdjustRect(c.Handle, FALSE, &inner);
    AlignChildren(c.Def->Name, inner);
  }
}

int Form::ShowModal(HWND owner) {
  ModalResult = 0;
  FModal = true;
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  ShowWindow(FHandle, SW_SHOW);
  MSG msg;
  while (ModalResult == 0 && IsWindow(FHandle)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // the program is ending: pass it on
      break;
    }
    if (!IsDialogMessageW(FHandle, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // The owner first, so that it gets the focus back when this one goes.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  if (IsWindow(FHandle)) ShowWindow(FHandle, SW_HIDE);
  FModal = false;
  if (ModalResult == 0) ModalResult = IDCANCEL;
  return ModalResult;
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Realign();
      break;
    case WM_CLOSE:
      // A form shown modally is closed by ending its modal loop.
      if (FModal) {
        ModalResult = IDCANCEL;
        return 0;
      }
      break;
    case kDpiChanged: {
      // Everything keeps its place and size, measured in the new DPI; sizes
      // changed at run time are kept too.
      const UINT oldDpi = FDpi;
      FDpi = HIWORD(wParam);
      std::vector<UniqueFont> fonts;
      fonts.emplace_back(MakeFont(FDef->Font));
      SendMessageW(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(fonts.front().Get()), FALSE);
      for (TControl& c : FControls) {
        c.Font = fonts.front().Get();
        if (c.Def->Font.Name) {
          fonts.emplace_back(MakeFont(c.Def->Font));
          c.Font = fonts.back().Get();
        }
        SendMessageW(c.Handle, WM_SETFONT, reinterpret_cast<WPARAM>(c.Font), TRUE);
        RECT r{};
        GetWindowRect(c.Handle, &r);
        MapWindowPoints(nullptr, GetParent(c.Handle), reinterpret_cast<POINT*>(&r), 2);
        auto scale = [&](LONG v) { return MulDiv(v, static_cast<int>(FDpi), static_cast<int>(oldDpi)); };
        SetWindowPos(c.Handle, nullptr, scale(r.left), scale(r.top), scale(r.right - r.left), scale(r.bottom - r.top),
                     SWP_NOZORDER | SWP_NOACTIVATE);
      }
      FFonts = std::move(fonts);
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(FHandle, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                   suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
      Realign();
      return 0;
    }
  }
  return DefWindowProcW(FHandle, message, wParam, lParam);
}

LRESULT CALLBACK Form::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  Form* self = nullptr;
  if (message == WM_NCCREATE) {
    self = static_cast<Form*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    self->FHandle = window;
  } else {
    self = reinterpret_cast<Form*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    self->FHandle = nullptr;
    return DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    return self->HandleMessage(message, wParam, lParam);
  } catch (const std::exception& e) {
    self->App.ShowError(window, ExceptionMessage(e));
  }
  return 0;
}
