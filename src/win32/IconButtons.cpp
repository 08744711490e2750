#include "win32/IconButtons.h"

#include <windowsx.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "core/TextCodec.h"
#include "win32/ButtonAccessible.h"

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
  GdiFlush();  // once, for both bitmaps: the loops below read and write them directly
  const COLORREF transparent = FGlyph.RawPixel(0, h - 1);
  const COLORREF highlight = GetSysColor(COLOR_BTNHIGHLIGHT), shadow = GetSysColor(COLOR_BTNSHADOW);
  auto put = [&](int px, int py, COLORREF c) {
    if (px >= 0 && py >= 0 && px < canvas.Width() && py < canvas.Height()) canvas.SetRawPixel(px, py, c);
  };
  if (enabled) {
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i)
        if (const COLORREF c = FGlyph.RawPixel(i, j); c != transparent) put(x + i, y + j, c);
    return;
  }
  // Embossed: the dark parts in highlight, one pixel down and right, then
  // in shadow on top.
  for (const bool top : {false, true})
    for (int j = 0; j < h; ++j)
      for (int i = 0; i < w; ++i)
        if (const COLORREF c = FGlyph.RawPixel(i, j); c != transparent && IsInk(c))
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
    case WM_NCPAINT:
      // No frame to draw: the default would still take a device context
      // for it, at every showing of every button.
      if (HasNoFrame(FHandle)) return 0;
      break;
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
      if (const LRESULT result = ButtonAccessibleObject(FHandle, wParam, lParam)) return result;
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
      FSpaceDown = false;
      [[fallthrough]];
    case WM_UPDATEUISTATE: {
      const LRESULT r = DefWindowProcW(Handle(), message, wParam, lParam);
      Invalidate();
      return r;
    }
  }
  // A button a dialog's Tab reaches is pressed with Space, as a push button
  // is: the press began here, or a Space pressed elsewhere and let go after
  // a Tab would click it.
  if (GetWindowLongPtrW(Handle(), GWL_STYLE) & WS_TABSTOP) {
    switch (message) {
      case WM_GETDLGCODE: return DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
      case WM_KEYDOWN:
        if (wParam != VK_SPACE) break;
        FSpaceDown = true;
        return 0;
      case WM_KEYUP:
        if (wParam != VK_SPACE) break;
        if (std::exchange(FSpaceDown, false) && IsWindowEnabled(Handle())) Click();
        return 0;
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
