// The splash window shown while the main window is made.
#pragma once

#include "win32/Forms.h"

class TSplashForm : public Form {
 public:
  using Form::Form;
  ~TSplashForm() override;
  // Creates the window and paints it at once, before any message loop runs.
  void Create();

 private:
  UniqueBitmap FPicture;
};
