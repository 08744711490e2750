#include "win32/Forms.h"

#include <commctrl.h>
#include <cderr.h>
#include <commdlg.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <cwchar>

#include "core/Errors.h"
#include "core/TextCodec.h"

namespace {

constexpr char16_t kTooManyFiles[] = u"Too many files were chosen at once. Please choose fewer.";

constexpr wchar_t kFormClass[] = L"DorvaneForm";
constexpr wchar_t kPanelClass[] = L"DorvanePanel";

constexpr LONG_PTR kGroupFrame = 0x10000;  // beside a panel's BDR_* flags
constexpr wchar_t kFontProp[] = L"DorvaneFont";

int EdgeWidth(LONG_PTR flags) {
  return ((flags & BDR_OUTER) ? 1 : 0) + ((flags & BDR_INNER) ? 1 : 0);
}

// A group box's frame and caption, drawn by the panel that holds its
// controls, so that what they report reaches the form like any panel's.
void PaintGroupFrame(HWND window, HDC dc) {
  RECT r{};
  GetClientRect(window, &r);
  const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(GetPropW(window, kFontProp)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  r.top += metrics.tmHeight / 2;
  DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
  wchar_t text[256] = {};
  const int length = GetWindowTextW(window, text, 256);
  if (length > 0) {
    SIZE extent{};
    GetTextExtentPoint32W(dc, text, length, &extent);
    RECT caption{metrics.tmAveCharWidth, 0, metrics.tmAveCharWidth + extent.cx + 2, metrics.tmHeight};
    FillRect(dc, &caption, GetSysColorBrush(COLOR_BTNFACE));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(IsWindowEnabled(window) ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    TextOutW(dc, caption.left + 1, 0, text, length);
  }
  SelectObject(dc, old);
}

// Panels only group controls: what their children report goes straight to
// the form, which owns every handler (a page's parent, the tab control,
// would keep it). A panel may have a bevel (its non-client edge) or the
// frame of a group box.
LRESULT CALLBACK PanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LONG_PTR flags = GetWindowLongPtrW(window, GWLP_USERDATA);
  switch (message) {
    case WM_COMMAND:
    case WM_NOTIFY:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_DRAWITEM:
    case WM_MEASUREITEM:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
      return SendMessageW(GetAncestor(window, GA_ROOT), message, wParam, lParam);
    case WM_SETFONT:
      SetPropW(window, kFontProp, reinterpret_cast<HANDLE>(wParam));
      if (LOWORD(lParam)) InvalidateRect(window, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(GetPropW(window, kFontProp));
    case WM_NCDESTROY:
      RemovePropW(window, kFontProp);
      break;
    case WM_NCCALCSIZE:
      if (const int edge = EdgeWidth(flags)) {
        LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        RECT* r = reinterpret_cast<RECT*>(lParam);  // the first rectangle in both forms
        InflateRect(r, -edge, -edge);
        return result;
      }
      break;
    case WM_NCPAINT:
      if (EdgeWidth(flags)) {
        DefWindowProcW(window, message, wParam, lParam);
        HDC dc = GetWindowDC(window);
        RECT r{};
        GetWindowRect(window, &r);
        OffsetRect(&r, -r.left, -r.top);
        DrawEdge(dc, &r, static_cast<UINT>(flags & (BDR_OUTER | BDR_INNER)), BF_RECT);
        ReleaseDC(window, dc);
        return 0;
      }
      if (HasNoFrame(window)) return 0;  // nothing to draw: no device context taken for it
      break;
    case WM_PAINT:
      if (flags & kGroupFrame) {
        const TPaintScope paint(window);
        PaintGroupFrame(window, paint.DC());
        return 0;
      }
      break;
    case WM_SETTEXT:
      if (flags & kGroupFrame) InvalidateRect(window, nullptr, TRUE);
      break;
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

bool Checked(HWND button) { return SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND button, bool checked) {
  SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::u16string WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
  return U16(text);
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
    DWORD exStyle = def.ExStyle;
    switch (def.Kind) {
      case TControlKind::Panel:
      case TControlKind::GroupBox:
        // Tab and the arrow keys go into a panel's controls.
        cls = kPanelClass;
        style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
        exStyle |= WS_EX_CONTROLPARENT;
        break;
      case TControlKind::Label:
        // A label that names a mnemonic ("&Command") passes Alt+letter on
        // to the control after it.
        style |= SS_LEFT | (std::wcschr(def.Text, L'&') ? 0 : SS_NOPREFIX);
        break;
      case TControlKind::Button: cls = WC_BUTTONW; style |= BS_PUSHBUTTON | WS_TABSTOP; break;
      case TControlKind::CheckBox: cls = WC_BUTTONW; style |= BS_AUTOCHECKBOX | WS_TABSTOP; break;
      case TControlKind::RadioButton: cls = WC_BUTTONW; style |= BS_AUTORADIOBUTTON; break;
      case TControlKind::Edit:
        cls = WC_EDITW;
        style |= ES_AUTOHSCROLL | WS_TABSTOP;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case TControlKind::ComboBox: cls = WC_COMBOBOXW; style |= CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP; break;
      case TControlKind::ListBox:
        cls = WC_LISTBOXW;
        style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_TABSTOP;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case TControlKind::TreeView:
        cls = WC_TREEVIEWW;
        style |= TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | WS_TABSTOP;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case TControlKind::StatusBar: cls = STATUSCLASSNAMEW; style |= CCS_NORESIZE | CCS_NOPARENTALIGN; break;
      case TControlKind::TabControl:
        cls = WC_TABCONTROLW;
        style |= WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_TABSTOP;
        exStyle |= WS_EX_CONTROLPARENT;
        break;
      case TControlKind::TrackBar: cls = TRACKBAR_CLASSW; style |= TBS_HORZ; break;
      case TControlKind::ToolBar:
        cls = TOOLBARCLASSNAMEW;
        style |= TBSTYLE_TOOLTIPS | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN;
        break;
      case TControlKind::Picture: style |= SS_BITMAP | SS_CENTERIMAGE; break;
    }
    const TControlDef* parentDef = def.Parent ? Definition(def.Parent) : nullptr;
    const HWND parent = def.Parent ? Control(def.Parent) : FHandle;
    // A panel with a caption on a tab control is a page of it: one tab
    // each, and only the first page shows at first.
    const bool page = def.Kind == TControlKind::Panel && parentDef && parentDef->Kind == TControlKind::TabControl &&
                      def.Text[0] != L'\0';
    int pageIndex = 0;
    if (page) {
      pageIndex = TabCtrl_GetItemCount(parent);
      if (pageIndex > 0) style &= ~WS_VISIBLE;
    }
    const HWND handle = CreateWindowExW(exStyle, cls, page ? L"" : def.Text, style | def.Style, Scale(def.Left),
                                        Scale(def.Top), Scale(def.Width), Scale(def.Height), parent,
                                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(def.Id)), App.Instance, nullptr);
    if (!handle) throw Exception(u"Cannot create the window: " + SysErrorMessage(GetLastError()));
    if (page) {
      TCITEMW item{};
      item.mask = TCIF_TEXT;
      item.pszText = const_cast<wchar_t*>(def.Text);
      TabCtrl_InsertItem(parent, pageIndex, &item);
    }
    if (def.Kind == TControlKind::ToolBar) SendMessageW(handle, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    if (def.Kind == TControlKind::StatusBar) {
      // One panel across the whole bar.
      const int right = -1;
      SendMessageW(handle, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(&right));
    }
    if (cls == kPanelClass && (def.Edge || def.Kind == TControlKind::GroupBox)) {
      SetWindowLongPtrW(handle, GWLP_USERDATA,
                        static_cast<LONG_PTR>(def.Edge) | (def.Kind == TControlKind::GroupBox ? kGroupFrame : 0));
      SetWindowPos(handle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    HFONT font = FormFont();
    if (def.Font.Name) {
      FFonts.emplace_back(MakeFont(def.Font));
      font = FFonts.back().Get();
    }
    SendMessageW(handle, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    FControls.push_back({&def, handle, font});
  }
}

const char* Form::ControlName(HWND control) const {
  for (const TControl& c : FControls)
    if (c.Handle == control) return c.Def->Name;
  return nullptr;
}

const TControlDef* Form::Definition(std::string_view name) const {
  for (const TControlDef& def : FDefs)
    if (name == def.Name) return &def;
  return nullptr;
}

void Form::ShowPage(std::string_view pageControl, int index) {
  const HWND tabs = Control(pageControl);
  TabCtrl_SetCurSel(tabs, index);
  int i = 0;
  for (const TControl& c : FControls) {
    if (c.Def->Kind != TControlKind::Panel || !c.Def->Parent || pageControl != c.Def->Parent ||
        c.Def->Text[0] == L'\0')
      continue;
    ShowWindow(c.Handle, i++ == index ? SW_SHOW : SW_HIDE);
  }
}

int Form::DesignClientWidth(const char* parent) const {
  if (!parent) {
    if (FDef->ClientSize) return Scale(FDef->Width);
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, FDef->Style, FALSE, FDef->ExStyle);
    return Scale(FDef->Width) - (frame.right - frame.left);
  }
  const TControlDef* def = Definition(parent);
  const HWND handle = Control(parent);
  RECT outer{}, inner{};
  GetWindowRect(handle, &outer);
  GetClientRect(handle, &inner);
  return Scale(def->Width) - ((outer.right - outer.left) - inner.right);
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
  // Anchored controls follow how much wider the parent is than designed.
  const int grown = (area.right - area.left) - DesignClientWidth(parent);
  for (const TControl& c : FControls) {
    if (c.Def->Align != TAlign::None || c.Def->Anchor == TAnchor::akLeft || !SameParent(c.Def->Parent, parent))
      continue;
    RECT now{};
    GetWindowRect(c.Handle, &now);
    MapWindowPoints(nullptr, GetParent(c.Handle), reinterpret_cast<POINT*>(&now), 2);
    const int width = std::max(0, Scale(c.Def->Width) + (c.Def->Anchor == TAnchor::akStretch ? grown : 0));
    const int left = Scale(c.Def->Left) + (c.Def->Anchor == TAnchor::akRight ? grown : 0);
    SetWindowPos(c.Handle, nullptr, left, now.top, width, now.bottom - now.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
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

bool Form::ProcessDialogMessage(MSG& msg) {
  return PreTranslateMessage(msg) || IsDialogMessageW(FHandle, &msg);
}

int Form::ShowModal(HWND owner) {
  ModalResult = 0;
  FModal = true;
  const bool ownerWasEnabled = owner && IsWindowEnabled(owner);
  // Windows takes the focus from a window it disables: the owner's control
  // that had it gets it back afterwards.
  const HWND ownerFocus = owner && IsChild(owner, GetFocus()) ? GetFocus() : nullptr;
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  ShowWindow(FHandle, SW_SHOW);
  if (!IsChild(FHandle, GetFocus())) {
    if (const HWND first = GetNextDlgTabItem(FHandle, nullptr, FALSE)) SetFocus(first);
  }
  MSG msg;
  while (ModalResult == 0 && IsWindow(FHandle)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));  // the program is ending: pass it on
      break;
    }
    // What a key starts here fails as a click's does: reported, and the
    // dialog goes on (and its owner is enabled again when it ends).
    bool taken = true;
    try {
      taken = ProcessDialogMessage(msg);
    } catch (const std::exception& e) {
      App.ShowError(FHandle, ExceptionMessage(e));
    }
    if (!taken) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // The owner first, so that it gets the focus back when this one goes.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  if (IsWindow(FHandle)) ShowWindow(FHandle, SW_HIDE);
  if (ownerFocus && IsWindowVisible(ownerFocus) && GetActiveWindow() == owner) SetFocus(ownerFocus);
  FModal = false;
  if (ModalResult == 0) ModalResult = IDCANCEL;
  return ModalResult;
}

LRESULT Form::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      Realign();
      break;
    case WM_GETMINMAXINFO:
      if (FDef && FDef->MinWidth > 0) {
        auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
        info->ptMinTrackSize = {Scale(FDef->MinWidth), Scale(FDef->MinHeight)};
        return 0;
      }
      break;
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
      if (hdr->code == TCN_SELCHANGE) {
        for (const TControl& c : FControls)
          if (c.Handle == hdr->hwndFrom) ShowPage(c.Def->Name, TabCtrl_GetCurSel(c.Handle));
      }
      break;
    }
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

namespace {

// The open dialog's run: the filter's "|" made into the list of pairs, the
// chosen names in a buffer for the longest path (or many names).
bool RunOpenDialog(HWND owner, const wchar_t* title, std::u16string_view filter, const std::u16string& initialDir,
                   DWORD flags, std::wstring& buffer) {
  std::wstring pairs = WStr(filter);
  for (wchar_t& c : pairs)
    if (c == L'|') c = L'\0';
  pairs.append(2, L'\0');
  buffer.assign(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrTitle = title;
  ofn.lpstrFilter = pairs.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = buffer.data();
  ofn.nMaxFile = static_cast<DWORD>(buffer.size());
  const std::wstring dir = WStr(initialDir);
  ofn.lpstrInitialDir = dir.empty() ? nullptr : dir.c_str();
  // The program's current folder is not the dialog's to change.
  ofn.Flags = flags | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR |
              OFN_ENABLESIZING | OFN_DONTADDTORECENT;
  if (GetOpenFileNameW(&ofn)) return true;
  // More names than the buffer holds: said, not taken for a Cancel.
  if (CommDlgExtendedError() == FNERR_BUFFERTOOSMALL) throw Exception(kTooManyFiles);
  return false;
}

// Releases a COM interface when it goes.
template <class T>
struct ComRef {
  T* P = nullptr;
  ~ComRef() {
    if (P) P->Release();
  }
  T* operator->() const { return P; }
};

}  // namespace

bool OpenFileDialog(HWND owner, std::u16string_view filter, const std::u16string& initialDir,
                    std::u16string& fileName, const wchar_t* title, bool keepShortcuts) {
  std::wstring buffer;
  if (!RunOpenDialog(owner, title, filter, initialDir, keepShortcuts ? OFN_NODEREFERENCELINKS : 0, buffer))
    return false;
  fileName = U16(buffer.c_str());
  return true;
}

bool OpenFilesDialog(HWND owner, const wchar_t* title, std::u16string_view filter, const std::u16string& initialDir,
                     std::vector<std::u16string>& fileNames) {
  std::wstring buffer;
  // A shortcut is taken as itself, as when it is dropped.
  if (!RunOpenDialog(owner, title, filter, initialDir, OFN_ALLOWMULTISELECT | OFN_NODEREFERENCELINKS, buffer))
    return false;
  // One name: the full path. Several: the folder, then each bare name.
  fileNames.clear();
  const wchar_t* folder = buffer.c_str();
  const wchar_t* name = folder + std::wcslen(folder) + 1;
  if (!*name) {
    fileNames.push_back(U16(folder));
    return true;
  }
  std::wstring prefix = folder;
  if (!prefix.empty() && prefix.back() != L'\\') prefix += L'\\';
  for (; *name; name += std::wcslen(name) + 1) fileNames.push_back(U16(prefix + name));
  return true;
}

bool ChooseFolderDialog(HWND owner, const wchar_t* title, const std::u16string& initial, std::u16string& folder) {
  // The dialog is a COM object: the thread may not have COM yet (a test,
  // a tool), and must keep what it had.
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  struct ComScope {
    bool Own;
    ~ComScope() {
      if (Own) CoUninitialize();
    }
  } scope{SUCCEEDED(com)};
  ComRef<IFileOpenDialog> dialog;
  if (FAILED(CoCreateInstance(__uuidof(FileOpenDialog), nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog.P))))
    return false;
  FILEOPENDIALOGOPTIONS options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM | FOS_PATHMUSTEXIST | FOS_NOCHANGEDIR);
  dialog->SetTitle(title);
  // A folder that is gone opens where the dialog likes.
  if (!initial.empty()) {
    ComRef<IShellItem> start;
    if (SUCCEEDED(SHCreateItemFromParsingName(W(initial), nullptr, IID_PPV_ARGS(&start.P))))
      dialog->SetFolder(start.P);
  }
  if (FAILED(dialog->Show(owner))) return false;  // cancelled, too
  ComRef<IShellItem> chosen;
  if (FAILED(dialog->GetResult(&chosen.P))) return false;
  wchar_t* path = nullptr;
  if (FAILED(chosen->GetDisplayName(SIGDN_FILESYSPATH, &path))) return false;
  folder = U16(path);
  CoTaskMemFree(path);
  return true;
}
