// Drawing a program button's face: the caption font, the drive picture of
// the information tab, and the face itself.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "win32/IconProcs.h"

// The font of the large buttons' captions at a DPI; the caller owns it.
HFONT CreateCaptionFont(UINT dpi);
int TextWidth(HDC dc, std::u16string_view text);
// The drive buttons' picture, a disc, at the given icon size.
void DrawDrivePicture(TBitmap& picture, SIZE size);
// Draws a program button's face: the fill, the icon and, on a large button,
// the two caption lines in captionFont.
void ComposeButtonGlyph(TBitmap& face, const std::u16string& upper, const std::u16string& lower,
                        const TBitmap& icon, COLORREF fill, int btnSize, UINT dpi, HFONT captionFont);
