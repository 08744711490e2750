// What a program button's press asks of the main window, for the press's
// own rules: the repeat guard, the messages, minimising and the start.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "core/MainWin.h"

class TMainForm;

// The timer that ends the repeat guard a press arms.
inline constexpr UINT_PTR kBusyTimer = 1;

class TMainPressHost : public TPressHost {
 public:
  using TRun = std::function<int(HWND, const std::u16string&, const std::u16string&, const std::u16string&, int)>;
  TMainPressHost(TMainForm& form, TRun& run) : F(form), Run(run) {}
  bool ButtonBusy() const override;
  void ArmBusyGuard() override;
  bool ShowMessage(std::u16string_view view, TMessageKind kind) override;
  void MinimizeApplication() override;
  int RunProgram(const std::u16string& file, const std::u16string& parameters, const std::u16string& folder,
                 int showCommand) override;

 private:
  TMainForm& F;
  TRun& Run;
};
