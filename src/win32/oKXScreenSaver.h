// Starting the screen saver at once.
#pragma once

class TKXScreenSaver {
 public:
  TKXScreenSaver() = delete;
  // Asks the desktop to start the screen saver when the system has one
  // switched on; the message is posted, so it starts after the current one.
  static bool StartScreenSaver();
};
