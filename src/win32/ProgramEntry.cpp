#include "win32/ProgramEntry.h"

#include <commctrl.h>

#include "core/Errors.h"
#include "win32/SplashWin.h"

int RunDorvane(HINSTANCE instance, const TMainFormEnv& env) {
  // First of all: the named mutex that tells a second copy about this one.
  const TPreviousInstance previous = CheckPreviousInstance();
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_WIN95_CLASSES | ICC_BAR_CLASSES | ICC_TAB_CLASSES};
  InitCommonControlsEx(&controls);
  TApplication app(instance);
  try {
    auto splash = std::make_unique<TSplashForm>(app);
    splash->Create(previous);
    TMainForm main(app, env);
    main.Create();
    main.Show();
    splash.reset();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) main.HandleQueuedMessage(msg);
    return static_cast<int>(msg.wParam);
  } catch (const std::exception& e) {
    // The main window's going asked for the end of the loop: a pending quit
    // would close the box at once.
    MSG quit;
    PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    app.ShowError(nullptr, ExceptionMessage(e));
    return 1;
  }
}
