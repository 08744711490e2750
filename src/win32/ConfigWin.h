// The configuration dialog: the groups and entries as a tree (add, rename,
// delete, reorder by drag and drop), and the options page. It works on the
// main window's live settings; the tree's order reaches them through
// StoreTree after the dialog has closed.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "core/ConfigWin.h"
#include "core/DataClasses.h"
#include "win32/Actions.h"
#include "win32/EntryEditor.h"
#include "win32/Forms.h"
#include "win32/IconButtons.h"
#include "win32/IconProcs.h"
#include "win32/OptionsPage.h"
#include "win32/TreeDrag.h"

class TConfigForm : public Form {
 public:
  TConfigForm(TApplication& app, TSkiffData& settings);
  ~TConfigForm() override;
  void Create(HWND owner);

  // The options page from the settings and back; the opener loads it
  // before showing, every option control's exit stores all of it.
  void LoadOptions(const TSkiffData& settings);
  void HidePMCBExit();
  // Writes the tree's groups and entries back into the settings in the
  // tree's order (the opener calls it when DataChanged is set; a group's
  // deletion first, so that it takes exactly the entries shown under it).
  // The nodes then stand for the new objects.
  void StoreTree(TSkiffData& settings);

  bool DataChanged = false;
  bool OptionsChanged = false;
  bool AppChanged = false;
  TGroupItem* CurrentGroup = nullptr;
  int GroupIndex = -1;
  TAppItem* CurrentApp = nullptr;
  int AppIndex = -1;

  TActionList actMain;
  TAction* actAddGroup = nullptr;
  TAction* actDeleteGroup = nullptr;
  TAction* actAddItem = nullptr;
  TAction* actDeleteItem = nullptr;
  TAction* actRenameEntry = nullptr;

  HWND Tree() const { return Control("tvApps"); }
  // The group or entry a node stands for, and what kind it is.
  TCollectionItem* NodeObject(HTREEITEM node) const;
  static bool IsEntryNode(HWND tree, HTREEITEM node) { return node && TreeView_GetParent(tree, node); }
  std::u16string NodeText(HTREEITEM node) const;

  void FormShow();
  void FormClose();
  void tvAppsChange();
  void EnableActions();
  void actAddGroupExecute();
  // The open dialog "Add Item": each file chosen becomes an entry by the
  // drop's rules at the end of the selected group (made "Programs" on an
  // empty tree); the first is selected.
  void actAddItemExecute();
  // Browse beside Command (the open dialog) or Start directory (the folder
  // chooser): what is chosen is written as if typed.
  void BrowseEditorField(bool folder);
  void actRenameEntryExecute();
  // False when the name is refused (a group's empty one).
  bool tvAppsEdited(HTREEITEM node, const std::u16string& text);
  void tvAppsKeyPress(HTREEITEM node);
  void DeleteNode(HTREEITEM node);
  // The entry editor: loads CurrentApp, and writes every field back into
  // the entry it loaded when one of its controls is left after a change.
  void ShowAppItem(const std::u16string& title);
  void chkIgnoreExit();
  void DrawPreview(const std::u16string& title);
  void mDisplayIconClick();

  TEntryEditor Editor{*this};
  TTreeDrag Drag{*this};
  TOptionsPage Options;

 protected:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  bool PreTranslateMessage(MSG& msg) override;

 private:
  friend class TTreeDrag;
  void FormCreate();
  HTREEITEM AddNode(HTREEITEM parent, HTREEITEM after, TCollectionItem& object, const std::u16string& text);
  // Selects a node and loads it at once, without the selection delay.
  void SelectNode(HTREEITEM node);
  HTREEITEM NodeAt(POINT screen) const;
  void EditorCommand(const char* name, WORD code);

  void ShowPopup(POINT at);
  void DrawTrash();
  // Splitter between the tree and the right panel.
  void SplitterMove(int screenX);

  TSkiffData& FSettings;
  UniqueImageList FImages;  // imglstConfig
  TBitmap FTrash;
  UniqueIcon FIcon;
  UniqueOwner<HWND, DestroyWindow> FTrashTip;
  bool FSplitting = false;
  int FSplitStartX = 0;
  int FSplitStartWidth = 0;
};
