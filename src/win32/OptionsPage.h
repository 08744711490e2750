// The configuration dialog's "Options" page: its controls show the global
// options, and all of them go back into the settings whenever one of them
// is left. The form's table makes the controls.
#pragma once

#include <windows.h>

#include "core/DataClasses.h"
#include "win32/Forms.h"

class TOptionsPage {
 public:
  TOptionsPage(Form& form, TSkiffData& settings) : FForm(form), FSettings(settings) {}
  TOptionsPage(const TOptionsPage&) = delete;
  TOptionsPage& operator=(const TOptionsPage&) = delete;

  static bool IsOptionControl(const char* name);
  // The controls from a settings object (the opener's, before showing).
  void Load(const TSkiffData& settings);
  // Every option from its control into the live settings.
  void Commit();
  // A notification of an option control; true when it was a change.
  bool Command(WORD code);
  // The folder chooser for the Explorer's start folder.
  void BrowseDirBtnClick();

 private:
  Form& FForm;
  TSkiffData& FSettings;
};
