#include "win32/oKXScreenSaver.h"

#include <windows.h>

bool TKXScreenSaver::StartScreenSaver() {
  BOOL active = FALSE;
  if (!SystemParametersInfoW(SPI_GETSCREENSAVEACTIVE, 0, &active, 0) || !active) return false;
  PostMessageW(GetDesktopWindow(), WM_SYSCOMMAND, SC_SCREENSAVE, 0);
  return true;
}
