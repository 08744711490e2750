// Dorvane's entry: splash window, main window, message loop.
#include <windows.h>
#include <commctrl.h>

#include "win32/MainWin.h"
#include "win32/SplashWin.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  // First of all: the named mutex that tells a second copy about this one.
  const TPreviousInstance previous = CheckPreviousInstance();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  TApplication app(instance);
  int exitCode = 0;
  {
    auto splash = std::make_unique<TSplashForm>(app);
    splash->Create(previous);
    TMainForm main(app);
    main.Create();
    main.Show();
    splash.reset();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) main.HandleQueuedMessage(msg);
    exitCode = static_cast<int>(msg.wParam);
  }
  return exitCode;
}
