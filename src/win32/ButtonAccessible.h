// What a screen reader learns of an icon button: its window as a push
// button with its name, description and state.
#pragma once

#include <windows.h>

// Answers WM_GETOBJECT for a button's window: an accessible object for its
// client area, or 0 for the other objects asked about.
LRESULT ButtonAccessibleObject(HWND window, WPARAM wParam, LPARAM lParam);
