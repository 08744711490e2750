#include "win32/MainPressHost.h"

#include "win32/MainWin.h"

bool TMainPressHost::ButtonBusy() const { return F.ButtonBusy; }

void TMainPressHost::ArmBusyGuard() {
  F.ButtonBusy = true;
  SetTimer(F.Handle(), kBusyTimer, 1000, nullptr);
}

bool TMainPressHost::ShowMessage(std::u16string_view view, TMessageKind kind) {
  const std::u16string text(view);
  switch (kind) {
    case TMessageKind::mkWarning: F.App.ShowMessage(F.Handle(), text, MB_OK | MB_ICONWARNING); return true;
    case TMessageKind::mkConfirmation:
      return F.App.ShowMessage(F.Handle(), text, MB_YESNO | MB_ICONQUESTION) == IDYES;
    case TMessageKind::mkInformation:
      return F.App.ShowMessage(F.Handle(), text, MB_OKCANCEL | MB_ICONINFORMATION) == IDOK;
    case TMessageKind::mkPlain: F.App.ShowMessage(F.Handle(), text, MB_OK); return true;
  }
  return false;
}

void TMainPressHost::MinimizeApplication() { ShowWindow(F.Handle(), SW_MINIMIZE); }

int TMainPressHost::RunProgram(const std::u16string& file, const std::u16string& parameters,
                               const std::u16string& folder, int showCommand) {
  return Run(F.Handle(), file, parameters, folder, showCommand);
}
