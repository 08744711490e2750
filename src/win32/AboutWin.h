// The about box: created for one showing and freed by its opener.
#pragma once

#include <functional>
#include <string>

#include "win32/Forms.h"

class TAboutForm : public Form {
 public:
  using Form::Form;
  ~TAboutForm() override;
  void Create(HWND owner);
  void HelpBtnClick();

  // Opens the help page (a full path) with the shell and returns the
  // shell's result; tests put a stand-in here.
  std::function<int(HWND owner, const std::u16string& page)> OpenHelpPage;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  UniqueBitmap FPicture;
};

// Puts the splash and about picture into a picture control; the caller
// keeps the bitmap alive as long as the control shows it.
UniqueBitmap ShowSplashPicture(HINSTANCE instance, HWND picture);
