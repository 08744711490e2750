#include "win32/ButtonFaces.h"

#include "win32/WinSupport.h"

HFONT CreateCaptionFont(UINT dpi) {
  return CreateFontW(-MulDiv(7, static_cast<int>(dpi), 72), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                     DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, L"Small Fonts");
}

int TextWidth(HDC dc, std::u16string_view text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(text.data()), static_cast<int>(text.size()), &size);
  return size.cx;
}

void DrawDrivePicture(TBitmap& picture, SIZE size) {
  picture.SetSize(size.cx, size.cy);
  TBitmapCanvas canvas(picture);
  const HDC dc = canvas.DC();
  const int w = picture.Width(), h = picture.Height();
  UniqueBrush white(CreateSolidBrush(RGB(255, 255, 255))), navy(CreateSolidBrush(RGB(0, 0, 128))),
      red(CreateSolidBrush(RGB(255, 0, 0)));
  const RECT all{0, 0, w, h};
  FillRect(dc, &all, white.Get());
  const HGDIOBJ oldPen = SelectObject(dc, GetStockObject(BLACK_PEN));
  const HGDIOBJ oldBrush = SelectObject(dc, navy.Get());
  Ellipse(dc, 1, 1, w - 2, w - 2);
  SelectObject(dc, red.Get());
  Pie(dc, 1, 1, w - 2, w - 2, 1, 1, 10, 20);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
}

void ComposeButtonGlyph(TBitmap& face, const std::u16string& upper, const std::u16string& lower,
                        const TBitmap& icon, COLORREF fill, int btnSize, UINT dpi, HFONT captionFont) {
  TBitmapCanvas canvas(face);
  const HDC dc = canvas.DC();
  const int w = face.Width(), h = face.Height();
  UniqueBrush brush(CreateSolidBrush(fill));
  const RECT all{0, 0, w, h};
  FillRect(dc, &all, brush.Get());
  if (btnSize < 0 || btnSize > 2 || !icon.Handle()) return;
  TBitmapCanvas iconCanvas(icon);
  const auto scale = [dpi](int v) { return MulDiv(v, static_cast<int>(dpi), 96); };
  if (btnSize == 0) {
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, 0, 0, scale(17), scale(18), iconCanvas.DC(), 0, 0, icon.Width(), icon.Height(), SRCCOPY);
  } else if (btnSize == 1) {
    BitBlt(dc, 0, 0, icon.Width(), icon.Height(), iconCanvas.DC(), 0, 0, SRCCOPY);
  } else {
    const HGDIOBJ old = SelectObject(dc, captionFont);
    SetBkColor(dc, fill);
    SetBkMode(dc, OPAQUE);
    SetTextColor(dc, RGB(0, 0, 0));
    TextOutW(dc, (w - TextWidth(dc, upper)) / 2, scale(3), W(upper), static_cast<int>(upper.size()));
    TextOutW(dc, (w - TextWidth(dc, lower)) / 2, scale(15), W(lower), static_cast<int>(lower.size()));
    SelectObject(dc, old);
    BitBlt(dc, scale(14) + (scale(32) - icon.Width()) / 2, scale(32) + (scale(33) - icon.Height()) / 2, icon.Width(),
           icon.Height(), iconCanvas.DC(), 0, 0, SRCCOPY);
  }
}
