// TIconBitBtn: a focusable push button with a caption and the picture an
// icon description makes, pressed with the mouse or the space bar.
#pragma once

#include <string>

#include "win32/IconButtons.h"

class TIconBitBtn : public TIconButton {
 public:
  TIconBitBtn() = default;

  // Always draws the description.
  void Loaded() override;

  std::u16string Caption() const;
  void SetCaption(const std::u16string& caption);

 protected:
  const wchar_t* ClassName() const override { return L"DorvaneIconBitBtn"; }
  DWORD Style() const override { return WS_TABSTOP; }
  void Paint(TBitmap& canvas) override;
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool FDefault = false;   // BS_DEFPUSHBUTTON through BM_SETSTYLE
  bool FKeyDown = false;   // the space bar is held
};
