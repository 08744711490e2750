#include "win32/IconBitBtn.h"

#include <algorithm>

#include "core/TextCodec.h"

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
  FillRect(c.DC(), &r, GetSysColorBrush(COLOR_BTNFACE));
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
