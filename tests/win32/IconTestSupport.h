// What the icon tests share: their data files, pixel checks and a count of
// the process's GDI and USER objects.
#pragma once

#include <windows.h>

#include <string>

#include "win32/IconProcs.h"

namespace icontest {

// A file of tests/win32/data (made by make-icon-files.py).
std::u16string DataFile(std::u16string_view name);
// shell32.dll in the system directory.
std::u16string Shell32();

// Every pixel of the bitmap, row by row.
std::vector<COLORREF> Pixels(const TBitmap& bitmap);
// Pixels of one rectangle (for comparing an icon without its added row).
std::vector<COLORREF> Pixels(const TBitmap& bitmap, int width, int height);
// How many pixels are not the given colour.
int CountOther(const TBitmap& bitmap, COLORREF color);

// A window's client area as the window paints it.
TBitmap PrintClient(HWND window);

enum class GuiObjects { Gdi, User };
// GetGuiResources where the system has it; where it is a stub (Wine answers
// 0 with ERROR_CALL_NOT_IMPLEMENTED) the objects are counted directly.
int CountGuiObjects(GuiObjects kind);

}  // namespace icontest
