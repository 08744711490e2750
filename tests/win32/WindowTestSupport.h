// What the Windows tests share for windows of their own.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>

// Dispatches what is waiting in this thread's queue.
void Pump();

// Waits up to `ms` for `done`, handling this thread's messages meanwhile:
// another process showing or hiding a window of ours waits for them.
bool PumpUntil(const std::function<bool()>& done, int ms);
// Whether the window is (or within 2 s becomes) visible or hidden as asked:
// the shell's windows are shown and hidden asynchronously.
bool ComesTo(HWND window, bool visible);
// Real key presses to the window in front, through the system's input
// queue, as a person's hand gives them: the keys go down in order and come
// up in reverse (modifiers first, as in Ctrl+Shift+Tab).
void PressKeys(std::initializer_list<WORD> keys);

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

// A folder made anew under the temporary folder, removed with everything in
// it when the test is done. Wine hands out the same process ids on every
// run, so a folder named from them alone would meet an earlier run's files:
// a counter of tries goes on until a folder that did not exist is made.
class TTempFolder {
 public:
  explicit TTempFolder(const std::wstring& stem);
  TTempFolder(const TTempFolder&) = delete;
  TTempFolder& operator=(const TTempFolder&) = delete;
  ~TTempFolder();
  // With a trailing backslash.
  const std::wstring& Path() const { return FPath; }

 private:
  std::wstring FPath;
};
