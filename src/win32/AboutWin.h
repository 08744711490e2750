// The about box: created for one showing and freed by its opener. Also the
// program's help, which the about box, F1 and the dialogs open.
#pragma once

#include <string>

#include "win32/Forms.h"

class TAboutForm : public Form {
 public:
  using Form::Form;
  ~TAboutForm() override;
  void Create(HWND owner);
  void HelpBtnClick();

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  UniqueBitmap FPicture;
};

// Puts the splash and about picture into a picture control; the caller
// keeps the bitmap alive as long as the control shows it.
UniqueBitmap ShowSplashPicture(HINSTANCE instance, HWND picture);

// The help: the WinHelp file named after the program where there is one,
// else the help page beside the program, at `section` (an anchor of the
// page; empty for its top). A page that does not open is reported.
void ShowHelp(TApplication& app, HWND owner, std::u16string_view section = {});

// What the about box says of the build: "v " and the version, and the day
// the program was linked ("9 Dec 2026"), in UTC, from its own header.
std::u16string VersionCaption();
std::u16string BuildDateCaption(HMODULE module);
