// The program's icon in the taskbar's notification area: its tool tip, its
// mouse events, its popup menu, and the hiding of the main window while the
// program is minimised (the icon is then the only way back).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <string>

#include "core/TrayIcon.h"
#include "win32/Forms.h"
#include "win32/WinSupport.h"

// Modifier keys as the mouse events report them, plus the button concerned.
enum TShiftFlag : unsigned { ssShift = 1, ssAlt = 2, ssCtrl = 4, ssLeft = 8, ssRight = 16, ssMiddle = 32 };
using TShiftState = unsigned;

using UniqueWindow = UniqueOwner<HWND, DestroyWindow>;

class TTrayIcon {
 public:
  // What the shell calls for the icon go through here, so that tests can
  // watch them; empty: Shell_NotifyIconW.
  using TShellNotify = std::function<BOOL(DWORD message, NOTIFYICONDATAW& data)>;
  using TNotifyEvent = std::function<void()>;
  using TMouseMoveEvent = std::function<void(TShiftState shift, int x, int y)>;
  using TMouseEvent = std::function<void(TMouseButton button, TShiftState shift, int x, int y)>;

  // The message the shell sends to the icon's window for mouse actions.
  static constexpr UINT kCallbackMessage = WM_USER + 1;
  static constexpr const char16_t* kCannotCreate = u"Cannot create shell notification icon";

  // Adds the icon: a copy of the program's icon, the application title as
  // tool tip. Throws EOutOfResources with kCannotCreate when the shell
  // refuses it; nothing is left behind then.
  explicit TTrayIcon(TApplication& app, TShellNotify shellNotify = {});
  // Removes the icon from the notification area.
  ~TTrayIcon();
  TTrayIcon(const TTrayIcon&) = delete;
  TTrayIcon& operator=(const TTrayIcon&) = delete;

  const std::u16string& Hint() const { return FHint; }
  // The tool tip shows the first 63 characters; an empty hint shows none.
  void SetHint(const std::u16string& text);
  HICON Icon() const { return FIcon.Get(); }
  // Shows a copy of `icon`; the caller keeps its own.
  void SetIcon(HICON icon);

  // Makes the menu opened by a right press on the icon; none when empty or
  // when it gives no menu.
  std::function<UniqueMenu()> PopupMenu;
  // Receives the chosen menu item as a posted WM_COMMAND.
  HWND PopupOwner = nullptr;

  TNotifyEvent OnClick, OnDblClick, OnMinimize, OnRestore;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseDown, OnMouseUp;

  // While minimised the program has no taskbar button: the window is
  // hidden and the icon is the way back. The main window calls this when it
  // has been minimised, and AppRestore to come back.
  void AppMinimize(HWND window);
  void AppRestore(HWND window);

  void UpdateIcon();
  void RemoveIcon();
  // Whether the notification area shows the icon: a restarted shell may
  // refuse it again.
  bool Added() const { return FAdded; }
  // Opens the popup menu at the cursor and posts the chosen command.
  void ShowPopupMenu();

  // The hidden window that receives the shell's messages for the icon.
  HWND Handle() const { return FWindow.Get(); }
  const NOTIFYICONDATAW& Data() const { return FData; }

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
  LRESULT WndProc(UINT message, WPARAM wParam, LPARAM lParam);
  void HandleMouse(unsigned mouseMessage);
  BOOL Notify(DWORD message);

  TApplication& FApp;
  TShellNotify FShellNotify;
  NOTIFYICONDATAW FData{};
  UniqueIcon FIcon;
  std::u16string FHint;
  TTrayMouse FMouse;
  UINT FTaskbarCreated = 0;
  bool FAdded = false;
  UniqueWindow FWindow;
};
