// The splash window shown while the main window is made.
#pragma once

#include "win32/Forms.h"
#include "win32/Just1_32.h"

class TSplashForm : public Form {
 public:
  using Form::Form;
  ~TSplashForm() override;
  // Creates the window, ends this process when another copy runs (after
  // bringing that one forward), and paints the window at once, before any
  // message loop runs.
  void Create(const TPreviousInstance& previous);

 private:
  UniqueBitmap FPicture;
};
