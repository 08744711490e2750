#include "WindowTestSupport.h"

void Pump() {
  MSG m;
  while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageW(&m);
  }
}

TestWindow::TestWindow(const wchar_t* title, int left, int top, int width, int height, bool visible) {
  static const ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    wc.lpszClassName = L"DorvaneTestWindow";
    return RegisterClassW(&wc);
  }();
  (void)atom;
  FHandle = CreateWindowExW(0, L"DorvaneTestWindow", title, WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0), left,
                            top, width, height, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  Pump();
}
