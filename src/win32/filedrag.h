// The file drop receiver: makes one window a drop target for files from the
// shell, sees its WM_DROPFILES before the window does, and hands each drop
// over as three lists (full name, bare name, extension) with one OnDrop.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <exception>
#include <functional>
#include <string>
#include <vector>

#include "core/filedrag.h"

class TFileDrag {
 public:
  TFileDrag() = default;
  // Withdraws the window from drop registration and releases its messages.
  ~TFileDrag();
  TFileDrag(const TFileDrag&) = delete;
  TFileDrag& operator=(const TFileDrag&) = delete;

  // Takes over the window's drop messages and gives it the current
  // EnableDrop. A window set before is released first; null releases only.
  void SetDropWindow(HWND window);
  HWND DropWindow() const { return FWindow; }

  bool EnableDrop() const { return FEnableDrop; }
  // Whether the window accepts drops (DragAcceptFiles); the window's
  // messages stay intercepted either way. Accepting also lets the drop's
  // messages through the message filter, which would keep a drop from a
  // program of lower rights (Explorer) out of an elevated one.
  void SetEnableDrop(bool enable);
  // The filter call; tests watch it.
  using TMessageFilter = BOOL(WINAPI*)(HWND, UINT, DWORD, PCHANGEFILTERSTRUCT);
  TMessageFilter MessageFilter = ChangeWindowMessageFilterEx;

  // The names of the last drop.
  const std::vector<std::u16string>& NameWithPath() const { return FFiles.NameWithPath; }
  const std::vector<std::u16string>& NameOnly() const { return FFiles.NameOnly; }
  const std::vector<std::u16string>& Extension() const { return FFiles.Extension; }
  int FileCount() const { return FFiles.FileCount; }
  const TDroppedFiles& Files() const { return FFiles; }

  // Reads every name of a drop, raises OnDrop and releases the drop, also
  // when OnDrop throws (the exception then goes on to the caller).
  void ReadDroppedFiles(HDROP drop);

  // Once per drop, after the lists are filled.
  std::function<void(TFileDrag&)> OnDrop;
  // Gets what OnDrop raised inside the window's message handling; without
  // one, the error is shown in a message box.
  std::function<void(const std::exception&)> OnException;

 private:
  static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR data) noexcept;
  void UnhookWindow();
  void ReportException(const std::exception& e);

  TDroppedFiles FFiles;
  bool FEnableDrop = false;
  HWND FWindow = nullptr;
};

// Every name of a drop, of any length, in the shell's order.
std::vector<std::u16string> DroppedFileNames(HDROP drop);
