#include "win32/IconButtons.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <optional>

#include "core/TextCodec.h"

namespace {

void RegisterButtonClass(const wchar_t* name, WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(GetModuleHandleW(nullptr), name, &wc)) return;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = name;
  if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    throw Exception(SysErrorMessage(GetLastError()));
}

bool IsInk(COLORREF c) {
  // Light parts of a picture vanish in the embossed form, as on any
  // disabled button.
  return (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100 < 192;
}

void Fill(HDC dc, const RECT& r, COLORREF color) {
  const UniqueBrush brush(CreateSolidBrush(color));
  FillRect(dc, &r, brush.Get());
}

// The face of a button that stays pressed: button face and highlight in a
// checker pattern.
void FillChecked(HDC dc, const RECT& r) {
  static const WORD kChecker[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  const UniqueBitmap pattern(CreateBitmap(8, 8, 1, 1, kChecker));
  const UniqueBrush brush(CreatePatternBrush(pattern.Get()));
  const COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_BTNFACE));
  const COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
  FillRect(dc, &r, brush.Get());
  SetTextColor(dc, oldText);
  SetBkColor(dc, oldBack);
}

}  // namespace

// What a screen reader sees of a button: the button's window as a push
// button with its name, description and state. It holds the window, not
// the button, so that a reader that keeps it longer than the button lives
// gets an error, never a freed object.
class TButtonAccessible : public IAccessible {
 public:
  explicit TButtonAccessible(HWND window) : FWindow(window) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
    if (!out) return E_POINTER;
    if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
      *out = static_cast<IAccessible*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&FRefs)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG refs = InterlockedDecrement(&FRefs);
    if (refs == 0) delete this;
    return static_cast<ULONG>(refs);
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count) *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    return AccessibleObjectFromWindow(FWindow, static_cast<DWORD>(OBJID_WINDOW), __uuidof(IDispatch),
                                      reinterpret_cast<void**>(parent));
  }
  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override { return Answer(count, 0L); }
  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** child) override {
    if (child) *child = nullptr;
    return E_INVALIDARG;
  }
  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    const TIconButton* b = Button(child);
    if (!b) return Fail(name);
    const std::u16string text = b->FAccessibleName.empty() ? WindowTextOf(FWindow) : b->FAccessibleName;
    return String(name, text);
  }
  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT, BSTR* value) override { return Fail(value, S_FALSE); }
  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    const TIconButton* b = Button(child);
    if (!b) return Fail(description);
    std::u16string text = b->FHint;
    for (char16_t& c : text)
      if (c == u'\r' || c == u'\n') c = u' ';
    for (std::size_t at; (at = text.find(u"  ")) != std::u16string::npos;) text.erase(at, 1);
    return String(description, text);
  }
  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    VariantInit(role);
    if (!Button(child)) return E_INVALIDARG;
    role->vt = VT_I4;
    role->lVal = ROLE_SYSTEM_PUSHBUTTON;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    VariantInit(state);
    if (!Button(child)) return E_INVALIDARG;
    long s = STATE_SYSTEM_FOCUSABLE;
    if (!IsWindowEnabled(FWindow)) s |= STATE_SYSTEM_UNAVAILABLE;
    if (!IsWindowVisible(FWindow)) s |= STATE_SYSTEM_INVISIBLE;
    if (GetFocus() == FWindow) s |= STATE_SYSTEM_FOCUSED;
    if (SendMessageW(FWindow, BM_GETCHECK, 0, 0) == BST_CHECKED) s |= STATE_SYSTEM_PRESSED;
    state->vt = VT_I4;
    state->lVal = s;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT, BSTR* help) override { return Fail(help, S_FALSE); }
  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT, long* topic) override {
    if (topic) *topic = 0;
    return Fail(file, S_FALSE);
  }
  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT, BSTR* shortcut) override {
    return Fail(shortcut, S_FALSE);
  }
  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    VariantInit(focus);
    if (GetFocus() != FWindow) return S_FALSE;
    focus->vt = VT_I4;
    focus->lVal = CHILDID_SELF;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (selection) VariantInit(selection);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!Button(child)) return Fail(action);
    return String(action, u"Press");
  }
  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    if (!Button(child)) return E_INVALIDARG;
    if (flags & SELFLAG_TAKEFOCUS) SetFocus(FWindow);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    if (!Button(child)) return E_INVALIDARG;
    RECT r{};
    GetWindowRect(FWindow, &r);
    *left = r.left;
    *top = r.top;
    *width = r.right - r.left;
    *height = r.bottom - r.top;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accNavigate(long, VARIANT, VARIANT* end) override {
    if (end) VariantInit(end);
    return S_FALSE;
  }
  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override {
    if (!child) return E_POINTER;
    VariantInit(child);
    RECT r{};
    GetWindowRect(FWindow, &r);
    if (!PtInRect(&r, POINT{x, y})) return S_FALSE;
    child->vt = VT_I4;
    child->lVal = CHILDID_SELF;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    if (!Button(child)) return E_INVALIDARG;
    // Posted, as a click is: the press may open a modal box.
    PostMessageW(FWindow, BM_CLICK, 0, 0);
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  virtual ~TButtonAccessible() = default;
  // The button when it still lives and the child named is the button itself.
  const TIconButton* Button(const VARIANT& child) const {
    if (child.vt != VT_I4 || child.lVal != CHILDID_SELF || !IsWindow(FWindow)) return nullptr;
    return reinterpret_cast<const TIconButton*>(GetWindowLongPtrW(FWindow, GWLP_USERDATA));
  }
  static std::u16string WindowTextOf(HWND window) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return U16(text);
  }
  static HRESULT String(BSTR* out, const std::u16string& text) {
    if (!out) return E_POINTER;
    *out = text.empty() ? nullptr : SysAllocString(reinterpret_cast<const OLECHAR*>(text.c_str()));
    return text.empty() ? S_FALSE : (*out ? S_OK : E_OUTOFMEMORY);
  }
  static HRESULT Fail(BSTR* out, HRESULT result = E_INVALIDARG) {
    if (out) *out = nullptr;
    return result;
  }
  template <class T>
  static HRESULT Answer(T* out, T value) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
  }

  HWND FWindow;
  LONG FRefs = 1;
};

// --- TIconButton ----------------------------------------------------------------

TIconButton::TIconButton() {
  IconGlyph.OnChange = [this](TIconGlyph& sender) { GlyphChanged(sender); };
}

TIconButton::~TIconButton() {
  IconGlyph.OnChange = nullptr;
  Destroy();
}

void TIconButton::Destroy() {
  if (!FHandle) return;
  // The kind's own handlers are gone by the time a base destructor runs:
  // the window goes on without this object.
  SetWindowLongPtrW(FHandle, GWLP_USERDATA, 0);
  FToolTip.Reset();
  DestroyWindow(FHandle);
  FHandle = nullptr;
}

void TIconButton::Create(HWND parent, int id, const RECT& bounds96, const TIconButtonProps& props, bool fromForm) {
  RegisterButtonClass(ClassName(), &WindowProc);
  Destroy();  // a second Create replaces the window
  FDpi = props.Dpi ? props.Dpi : WindowDpi(parent);
  FLoading = fromForm;
  FHint = props.Hint;
  Created(props);
  const RECT r{Scale(bounds96.left), Scale(bounds96.top), Scale(bounds96.right), Scale(bounds96.bottom)};
  const HWND window = CreateWindowExW(0, ClassName(), W(props.Caption),
                                      WS_CHILD | WS_VISIBLE | Style() | (props.Enabled ? 0 : WS_DISABLED) |
                                          (props.TabStop ? WS_TABSTOP : 0),
                                      r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr),
                                      this);
  if (!window) throw Exception(SysErrorMessage(GetLastError()));
  if (parent) FFont = reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0));
  SetHint(props.Hint);
}

void TIconButton::SetIconGlyph(const TIconGlyph& glyph) {
  if (&glyph != &IconGlyph) IconGlyph.Assign(glyph);
}

const TBitmap& TIconButton::Glyph() {
  MakeWaitingGlyph();
  return FGlyph;
}

void TIconButton::SetGlyph(const TBitmap& picture) {
  FGlyphMaker = nullptr;
  FDrawn = false;
  FGlyph.Assign(picture);
  Invalidate();
}

void TIconButton::SetGlyphMaker(std::function<void()> make) {
  FGlyphMaker = std::move(make);
  Invalidate();
}

void TIconButton::MakeWaitingGlyph() {
  if (!FGlyphMaker) return;
  // Taken out first: the maker ends in SetGlyph, which drops the waiting one.
  const std::function<void()> make = std::move(FGlyphMaker);
  FGlyphMaker = nullptr;
  try {
    make();
  } catch (const std::exception& e) {
    ReportException(e);
  }
}

void TIconButton::SetDpi(UINT dpi) {
  if (dpi == 0 || dpi == FDpi) return;
  FDpi = dpi;
  if (FToolTip) SendMessageW(FToolTip.Get(), TTM_SETMAXTIPWIDTH, 0, Scale(400));
  // A picture drawn from the description is drawn again at the new icon
  // size; one set from outside is its owner's to make again.
  if (FDrawn && !FLoading) ConvertGlyph();
  Invalidate();
}

bool TIconButton::Enabled() const { return FHandle && IsWindowEnabled(FHandle); }

void TIconButton::SetEnabled(bool enabled) {
  if (FHandle) EnableWindow(FHandle, enabled);
}

TTTOOLINFOW TIconButton::ToolInfo() const {
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = GetParent(FHandle);
  tool.uId = reinterpret_cast<UINT_PTR>(FHandle);
  tool.lpszText = const_cast<wchar_t*>(W(FHint));
  return tool;
}

void TIconButton::SetHint(const std::u16string& hint) {
  FHint = hint;
  if (!FHandle) return;
  TTTOOLINFOW tool = ToolInfo();
  if (FToolTip) {
    SendMessageW(FToolTip.Get(), TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    return;
  }
  // Made when the mouse first comes over the button: a row of fifty buttons
  // would otherwise open fifty windows before the first one shows.
}

void TIconButton::EnsureToolTip() {
  if (FToolTip || FHint.empty() || !FHandle) return;
  TTTOOLINFOW tool = ToolInfo();
  static const bool initialised = [] {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
    return InitCommonControlsEx(&icc) != FALSE;
  }();
  (void)initialised;
  // Owned by the button's top-level window, which may destroy it first; a
  // destroyed window's handle is never valid again, so the reset is safe.
  FToolTip.Reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, FHandle, nullptr,
                                 GetModuleHandleW(nullptr), nullptr));
  if (!FToolTip) return;
  SendMessageW(FToolTip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  // A width makes line breaks in a hint show as lines.
  SendMessageW(FToolTip.Get(), TTM_SETMAXTIPWIDTH, 0, Scale(400));
}

void TIconButton::GlyphChanged(TIconGlyph&) {
  if (FLoading) return;  // Loaded() decides once everything is read
  ConvertGlyph();
}

void TIconButton::ConvertGlyph() {
  FGlyphMaker = nullptr;
  // Only a lock we took is given back: another window's lock is not ours.
  const HWND parent = FHandle ? GetParent(FHandle) : nullptr;
  const bool locked = parent && LockWindowUpdate(parent);
  try {
    DrawToBitmap(IconGlyph, FGlyph, FDpi);
    FDrawn = true;
  } catch (...) {
    if (locked) LockWindowUpdate(nullptr);
    throw;
  }
  if (locked) LockWindowUpdate(nullptr);
  Invalidate();
}

void TIconButton::Invalidate() const {
  if (FHandle) InvalidateRect(FHandle, nullptr, FALSE);
}

HFONT TIconButton::Font() const {
  return FFont ? FFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void TIconButton::DrawPicture(TBitmap& canvas, int x, int y, bool enabled) const {
  const int w = FGlyph.Width(), h = FGlyph.Height();
  if (w == 0 || h == 0) return;
  const COLORREF transparent = FGlyph.Pixel(0, h - 1);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  auto put = [&](int px, int py, COLORREF c) {
    if (px >= 0 && py >= 0 && px < canvas.Width() && py < canvas.Height()) canvas.SetPixel(px, py, c);
  };
  GdiFlush();
  if (enabled) {
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i)
        if (const COLORREF c = FGlyph.Pixel(i, j); c != transparent) put(x + i, y + j, c);
    return;
  }
  // Embossed: the dark parts in highlight, one pixel down and right, then
  // in shadow on top.
  for (const bool top : {false, true})
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i)
        if (const COLORREF c = FGlyph.Pixel(i, j); c != transparent && IsInk(c))
          top ? put(x + i, y + j, shadow) : put(x + i + 1, y + j + 1, highlight);
}

void TIconButton::PaintTo(HDC dc) {
  RECT client{};
  GetClientRect(FHandle, &client);
  TBitmap canvas;
  canvas.SetSize(client.right, client.bottom);
  if (!canvas.Handle()) return;
  Paint(canvas);
  GdiFlush();
  const TBitmapCanvas source(canvas);
  BitBlt(dc, 0, 0, client.right, client.bottom, source.DC(), 0, 0, SRCCOPY);
}

void TIconButton::Click() { CallOnClick(); }

void TIconButton::CallOnClick() {
  // The handler may free the button (closing its form): keep a copy.
  if (const auto handler = OnClick) handler();
}

void TIconButton::ReportException(const std::exception& e) {
  if (OnException) {
    OnException(e);
    return;
  }
  ShowExceptionBox(FHandle, e);
}

LRESULT CALLBACK TIconButton::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
  auto* self = reinterpret_cast<TIconButton*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCCREATE) {
    self = static_cast<TIconButton*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->FHandle = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
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
    self->ReportException(e);
  } catch (...) {
    self->ReportException(Exception(std::string_view("Unknown error")));
  }
  return 0;
}

LRESULT TIconButton::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      // Before BeginPaint: making the picture invalidates the button again.
      MakeWaitingGlyph();
      std::optional<Exception> failure;
      {
        const TPaintScope paint(FHandle);
        try {
          PaintTo(paint.DC());
        } catch (const std::exception& e) {
          failure.emplace(ExceptionMessage(e));
        }
      }
      // Reported after the paint has ended, and once: the next paint would
      // most likely fail the same way.
      if (failure && !FPaintFailureReported) {
        FPaintFailureReported = true;
        ReportException(*failure);
      }
      return 0;
    }
    case WM_PRINTCLIENT:
      MakeWaitingGlyph();
      PaintTo(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the paint covers everything
    case WM_SETFONT:
      FFont = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) Invalidate();
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(FFont);
    case WM_ENABLE:
      if (!wParam && FPressed) ReleaseCapture();
      Invalidate();
      return 0;
    case WM_SETTEXT: {
      const LRESULT r = DefWindowProcW(FHandle, message, wParam, lParam);
      Invalidate();
      return r;
    }
    case WM_LBUTTONDOWN:
      FPressed = FMouseInside = true;
      SetCapture(FHandle);
      Invalidate();
      return 0;
    case WM_MOUSEMOVE: {
      if (!FHot) {
        if (!FToolTip && !FHint.empty()) {
          EnsureToolTip();
          if (FToolTip) {
            MSG msg{FHandle, message, wParam, lParam, static_cast<DWORD>(GetMessageTime()), {}};
            SendMessageW(FToolTip.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
          }
        }
        FHot = true;
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
        TrackMouseEvent(&track);
        Invalidate();
      }
      if (FPressed) {
        RECT client;
        GetClientRect(FHandle, &client);
        const bool inside = PtInRect(&client, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) != FALSE;
        if (inside != FMouseInside) {
          FMouseInside = inside;
          Invalidate();
        }
      }
      return 0;
    }
    case WM_MOUSELEAVE:
      FHot = false;
      Invalidate();
      return 0;
    case WM_LBUTTONUP: {
      const bool click = FPressed && FMouseInside;
      if (FPressed) ReleaseCapture();  // WM_CAPTURECHANGED clears the press
      FPressed = false;
      Invalidate();
      if (click) Click();
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (FPressed) {
        FPressed = false;
        Invalidate();
      }
      return 0;
    case BM_CLICK:
      if (IsWindowEnabled(FHandle)) Click();
      return 0;
    case WM_DESTROY:
      FToolTip.Reset();
      return 0;
    case WM_GETOBJECT:
      if (static_cast<LONG>(lParam) == static_cast<LONG>(OBJID_CLIENT)) {
        auto* accessible = new TButtonAccessible(FHandle);
        const LRESULT result = LresultFromObject(__uuidof(IAccessible), wParam, accessible);
        accessible->Release();
        return result;
      }
      break;
    case 0x02E3:  // WM_DPICHANGED_AFTERPARENT: the top-level window moved to another monitor
      SetDpi(WindowDpi(FHandle));
      return 0;
  }
  return DefWindowProcW(FHandle, message, wParam, lParam);
}

// --- TIconSpeedBtn -----------------------------------------------------------

void TIconSpeedBtn::Created(const TIconButtonProps& props) {
  FGroupIndex = props.GroupIndex;
  FFlat = props.Flat;
  FDown = props.Down && props.GroupIndex != 0;
}

void TIconSpeedBtn::Loaded() {
  EndLoading();
  if (!IconGlyph.UseStoredIcon()) ConvertGlyph();
}

void TIconSpeedBtn::RefreshGlyph() {
  const bool stored = IconGlyph.UseStoredIcon();
  IconGlyph.SetUseStoredIcon(false);
  ConvertGlyph();
  IconGlyph.BeginUpdate();
  IconGlyph.SetUseStoredIcon(stored);
  IconGlyph.EndUpdate();
}

void TIconSpeedBtn::SetDown(bool down) {
  if (FGroupIndex == 0) down = false;
  if (down == FDown) return;
  FDown = down;
  Invalidate();
  if (!down || !Handle()) return;
  const HWND parent = GetParent(Handle());
  const ATOM atom = static_cast<ATOM>(GetClassLongPtrW(Handle(), GCW_ATOM));
  for (HWND w = GetWindow(parent, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
    if (w == Handle() || static_cast<ATOM>(GetClassLongPtrW(w, GCW_ATOM)) != atom) continue;
    // Our class: the window belongs to a tool button.
    auto* other = static_cast<TIconSpeedBtn*>(reinterpret_cast<TIconButton*>(GetWindowLongPtrW(w, GWLP_USERDATA)));
    if (other && other->FGroupIndex == FGroupIndex) other->SetDown(false);
  }
}

void TIconSpeedBtn::SetFlat(bool flat) {
  FFlat = flat;
  Invalidate();
}

void TIconSpeedBtn::Click() {
  if (FGroupIndex != 0) SetDown(true);
  CallOnClick();
}

LRESULT TIconSpeedBtn::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case BM_GETCHECK:
      return FDown ? BST_CHECKED : BST_UNCHECKED;
    case BM_SETCHECK:
      SetDown(wParam == BST_CHECKED);
      return 0;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_UPDATEUISTATE: {
      const LRESULT r = DefWindowProcW(Handle(), message, wParam, lParam);
      Invalidate();
      return r;
    }
  }
  // A button a dialog's Tab reaches is pressed with Space, as a push button is.
  if (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_TABSTOP) {
    switch (message) {
      case WM_GETDLGCODE: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      case WM_KEYDOWN:
        if (wParam == VK_SPACE) return 0;
        break;
      case WM_KEYUP:
        if (wParam == VK_SPACE && IsWindowEnabled(Handle())) Click();
        if (wParam == VK_SPACE) return 0;
        break;
    }
  }
  return TIconButton::HandleMessage(message, wParam, lParam);
}

void TIconSpeedBtn::Paint(TBitmap& canvas) {
  const int w = canvas.Width(), h = canvas.Height();
  const bool enabled = IsWindowEnabled(Handle()) != FALSE;
  const bool sunk = FDown || (enabled && Pressed());
  {
    const TBitmapCanvas c(canvas);
    RECT r{0, 0, w, h};
    Fill(c.DC(), r, GetSysColor(COLOR_BTNFACE));
    if (FFlat) {
      if (sunk) DrawEdge(c.DC(), &r, BDR_SUNKENOUTER, BF_RECT);
      else if (enabled && Hot()) DrawEdge(c.DC(), &r, BDR_RAISEDINNER, BF_RECT);
    } else {
      DrawFrameControl(c.DC(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | (sunk ? DFCS_PUSHED : 0));
    }
    if (FDown && !Pressed()) {
      RECT inner{2, 2, w - 2, h - 2};
      FillChecked(c.DC(), inner);
    }
  }
  // Only the program buttons take the focus (from the keyboard): the
  // usual dotted rectangle shows which one it is.
  const bool focused = GetFocus() == Handle() && !(SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
  const int offset = sunk ? 1 : 0;
  DrawPicture(canvas, (w - Glyph().Width()) / 2 + offset, (h - Glyph().Height()) / 2 + offset, enabled);
  // A tool button without a picture shows its caption ("S", "L").
  wchar_t caption[64] = {};
  if (Glyph().Width() == 0 && GetWindowTextW(Handle(), caption, 64) > 0) {
    const TBitmapCanvas c(canvas);
    const SelectedObject font(c.DC(), Font());
    RECT r{offset, offset, w + offset, h + offset};
    SetBkMode(c.DC(), TRANSPARENT);
    SetTextColor(c.DC(), GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    DrawTextW(c.DC(), caption, -1, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_NOPREFIX);
    GdiFlush();
  }
  if (focused) {
    const TBitmapCanvas c(canvas);
    RECT r{Scale(2), Scale(2), w - Scale(2), h - Scale(2)};
    SetTextColor(c.DC(), RGB(0, 0, 0));
    SetBkColor(c.DC(), RGB(255, 255, 255));
    DrawFocusRect(c.DC(), &r);
    GdiFlush();
  }
}

// --- TIconBitBtn -------------------------------------------------------------

void TIconBitBtn::Loaded() {
  EndLoading();
  ConvertGlyph();
}

std::u16string TIconBitBtn::Caption() const {
  if (!Handle()) return {};
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Handle())) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()))));
  return U16(text);
}

void TIconBitBtn::SetCaption(const std::u16string& caption) {
  if (Handle()) SetWindowTextW(Handle(), W(caption));
}

LRESULT TIconBitBtn::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_GETDLGCODE:
      return DLGC_BUTTON | (FDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
    case BM_SETSTYLE:
      FDefault = (wParam & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
      if (lParam) Invalidate();
      return 0;
    case WM_LBUTTONDOWN:
      SetFocus(Handle());
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      FKeyDown = false;
      Invalidate();
      return 0;
    case WM_KEYDOWN:
      if (wParam == VK_SPACE && !FKeyDown) {
        FKeyDown = true;
        Invalidate();
      }
      return 0;
    case WM_KEYUP:
      if (wParam == VK_SPACE && FKeyDown) {
        FKeyDown = false;
        Invalidate();
        Click();
      }
      return 0;
    case WM_UPDATEUISTATE: {
      const LRESULT r = DefWindowProcW(Handle(), message, wParam, lParam);
      Invalidate();
      return r;
    }
  }
  return TIconButton::HandleMessage(message, wParam, lParam);
}

void TIconBitBtn::Paint(TBitmap& canvas) {
  const int w = canvas.Width(), h = canvas.Height();
  const bool enabled = IsWindowEnabled(Handle()) != FALSE;
  const bool focused = GetFocus() == Handle();
  const bool sunk = enabled && (Pressed() || FKeyDown);
  const std::u16string caption = Caption();
  const int gap = caption.empty() || Glyph().Width() == 0 ? 0 : Scale(4);
  SIZE text{};
  const TBitmapCanvas c(canvas);
  const SelectedObject font(c.DC(), Font());
  RECT r{0, 0, w, h};
  Fill(c.DC(), r, GetSysColor(COLOR_BTNFACE));
  if (FDefault || focused) {
    FrameRect(c.DC(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(c.DC(), &r, DFC_BUTTON, DFCS_BUTTONPUSH | (sunk ? DFCS_PUSHED | DFCS_FLAT : 0));
  if (sunk) {
    const UniqueBrush shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
    FrameRect(c.DC(), &r, shadow.Get());
  }
  const UINT format = DT_SINGLELINE | DT_VCENTER | DT_LEFT |
                      ((SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0);
  if (!caption.empty()) {
    RECT measure{0, 0, w, h};
    DrawTextW(c.DC(), W(caption), -1, &measure, format | DT_CALCRECT);
    text = {measure.right - measure.left, measure.bottom - measure.top};
  }
  const int offset = sunk ? 1 : 0;
  const int content = Glyph().Width() + gap + text.cx;
  const int left = std::max(Scale(4), (w - content) / 2) + offset;
  RECT textRect{left + Glyph().Width() + gap, offset, w, h + offset};
  SetBkMode(c.DC(), TRANSPARENT);
  if (!caption.empty()) {
    if (enabled) {
      SetTextColor(c.DC(), GetSysColor(COLOR_BTNTEXT));
      DrawTextW(c.DC(), W(caption), -1, &textRect, format);
    } else {
      RECT lower = textRect;
      OffsetRect(&lower, 1, 1);
      SetTextColor(c.DC(), GetSysColor(COLOR_BTNHIGHLIGHT));
      DrawTextW(c.DC(), W(caption), -1, &lower, format);
      SetTextColor(c.DC(), GetSysColor(COLOR_BTNSHADOW));
      DrawTextW(c.DC(), W(caption), -1, &textRect, format);
    }
  }
  if (focused && !(SendMessageW(Handle(), WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS)) {
    RECT focus{Scale(4), Scale(4), w - Scale(4), h - Scale(4)};
    DrawFocusRect(c.DC(), &focus);
  }
  GdiFlush();
  DrawPicture(canvas, left, (h - Glyph().Height()) / 2 + offset, enabled);
}
