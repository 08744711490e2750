#include "win32/OptionsPage.h"

#include <cstring>

#include "core/ConfigWin.h"
#include "core/MainWin.h"

bool TOptionsPage::IsOptionControl(const char* name) {
  if (!name) return false;
  for (const TOptionCheck& o : kOptionChecks)
    if (std::strcmp(o.Control, name) == 0) return true;
  for (const TOptionText& o : kOptionTexts)
    if (std::strcmp(o.Control, name) == 0) return true;
  for (const char* radio : kButtonSizeRadios)
    if (std::strcmp(radio, name) == 0) return true;
  return false;
}

void TOptionsPage::Load(const TSkiffData& settings) {
  for (const TOptionCheck& o : kOptionChecks) SetChecked(FForm.Control(o.Control), settings.*o.Property);
  for (const TOptionText& o : kOptionTexts) SetWindowTextW(FForm.Control(o.Control), W(settings.*o.Property));
  for (int i = 0; i < 3; ++i) SetChecked(FForm.Control(kButtonSizeRadios[i]), ShownBtnSize(settings.BtnSize) == i);
}

void TOptionsPage::Commit() {
  for (const TOptionCheck& o : kOptionChecks) FSettings.*o.Property = Checked(FForm.Control(o.Control));
  for (const TOptionText& o : kOptionTexts) FSettings.*o.Property = WindowText(FForm.Control(o.Control));
  // A size the dialog does not offer stays as it was until one is chosen.
  for (int i = 0; i < 3; ++i)
    if (Checked(FForm.Control(kButtonSizeRadios[i]))) FSettings.BtnSize = i;
}

bool TOptionsPage::Command(WORD code) {
  switch (code) {
    case BN_CLICKED:
    case EN_CHANGE:
      return true;  // HidePMCBClick
    case BN_KILLFOCUS:
    case EN_KILLFOCUS:
      Commit();
      break;
  }
  return false;
}

void TOptionsPage::BrowseDirBtnClick() {
  const HWND edit = FForm.Control("ExpStartDir");
  std::u16string folder;
  if (!ChooseFolderDialog(FForm.Handle(), L"Explorer Startup Directory", WindowText(edit), folder)) return;
  SetWindowTextW(edit, W(folder));  // counts as a change
  Commit();
}
