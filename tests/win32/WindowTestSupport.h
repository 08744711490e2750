// What the Windows tests share for windows of their own.
#pragma once

#include <windows.h>

// Dispatches what is waiting in this thread's queue.
void Pump();

// A plain top-level window (button face colour, no behaviour of its own)
// to hold controls or stand in for a form; shown and pumped once unless
// asked to stay hidden.
class TestWindow {
 public:
  TestWindow(const wchar_t* title, int left, int top, int width, int height, bool visible = true);
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;
  ~TestWindow() { DestroyWindow(FHandle); }
  HWND Get() const { return FHandle; }

 private:
  HWND FHandle;
};
