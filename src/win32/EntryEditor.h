// The configuration dialog's entry editor: the controls of its pnlApps
// panel show one entry, the fields changed go back into that entry when a
// control is left, and a preview shows the entry's button as the
// main window draws it in the large size. The form's table makes the
// controls; the editor fills the lists and makes the two icon buttons.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "core/DataClasses.h"
#include "win32/Forms.h"
#include "win32/IconBitBtn.h"

class TEntryEditor {
 public:
  explicit TEntryEditor(Form& form) : FForm(form) {}
  TEntryEditor(const TEntryEditor&) = delete;
  TEntryEditor& operator=(const TEntryEditor&) = delete;

  void Create();
  static bool IsEditorControl(const char* name);

  // Loads an entry (filling the controls is no change) and draws its
  // preview with the given title.
  void Show(TAppItem& entry, const std::u16string& title);
  bool Loading() const { return FLoading; }
  // The user changed the control of that name (a change while loading is
  // none).
  void Changed(const char* name);
  // Writes the fields the user changed into the entry that was loaded;
  // false when there was none or nothing changed.
  bool Commit();
  // The entry loaded is going away.
  void Forget() {
    FShownApp = nullptr;
    FChanged = 0;
  }
  void DrawPreview(const std::u16string& title);
  // The icon picker over the loaded entry; true when it stored a choice.
  bool ChooseIcon(const std::u16string& title);
  void DpiChanged();

  // The edits' hints: each shows the value as it was loaded.
  HWND Hints() const { return FHints.Get(); }

  TIconSpeedBtn IconPreviewBtn;  // the entry's button as the main window shows it
  TIconBitBtn IconBrowseBtn;

 private:
  // Both icon buttons take the entry's icon: its location, or the shell's
  // icon for its command. A broken location shows no icon, not an error.
  void ShowEntryIcon(const TAppItem& app);
  TTTOOLINFOW HintTool(const char* edit) const;

  Form& FForm;
  UniqueOwner<HWND, DestroyWindow> FHints;
  TAppItem* FShownApp = nullptr;
  bool FLoading = false;
  unsigned FChanged = 0;  // the controls changed since loading, by position
};
