#include "win32/ConfigWin.h"

#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/Errors.h"
#include "core/MainWin.h"
#include "core/filedrag.h"
#include "win32/AboutWin.h"
#include "win32/ConfigLayout.h"
#include "win32/WinSupport.h"
#include "win32/res/resource.h"

namespace {

constexpr UINT_PTR kChangeTimer = 1;
constexpr UINT kChangeDelay = 50;  // ms after the last selection change
constexpr int kTreeMin = 100, kTreeMax = 200, kRightMin = 311;

}  // namespace

TConfigForm::TConfigForm(TApplication& app, TSkiffData& settings)
    : Form(app), Options(*this, settings), FSettings(settings) {}

TConfigForm::~TConfigForm() {
  if (Handle()) DestroyWindow(Handle());
}

void TConfigForm::Create(HWND owner) {
  CreateForm(kConfigDef, ConfigControls(), owner);
  FormCreate();
}

void TConfigForm::FormCreate() {
  actAddGroup = &actMain.Add(u"Add Group", u"", 0, [this] { actAddGroupExecute(); });
  actDeleteGroup = &actMain.Add(u"Delete Group", u"", 1, [this] { DeleteNode(TreeView_GetSelection(Tree())); });
  actAddItem = &actMain.Add(u"Add Item", u"", 0, [this] { actAddItemExecute(); });
  actDeleteItem = &actMain.Add(u"Delete Item", u"", 1, [this] { DeleteNode(TreeView_GetSelection(Tree())); });
  actRenameEntry = &actMain.Add(u"Rename Entry", u"", 2, [this] { actRenameEntryExecute(); });

  FImages = UniqueImageList(ImageList_Create(16, 16, ILC_COLOR32, 3, 0));
  UniqueBitmap strip(static_cast<HBITMAP>(
      LoadImageW(App.Instance, MAKEINTRESOURCEW(IDB_CONFIGIMAGES), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
  ImageList_Add(FImages.Get(), strip.Get(), nullptr);
  // The dialog's own icon: its rename picture, the one that says "edit".
  FIcon = UniqueIcon(ImageList_GetIcon(FImages.Get(), 2, ILD_NORMAL));
  SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(FIcon.Get()));
  TreeView_SetIndent(Tree(), Scale(19));

  FTrashTip = UniqueOwner<HWND, DestroyWindow>(CreateWindowExW(
      WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
      CW_USEDEFAULT, CW_USEDEFAULT, Handle(), nullptr, App.Instance, nullptr));
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = Handle();
  tool.uId = reinterpret_cast<UINT_PTR>(Control("imgTrash"));
  tool.lpszText = const_cast<wchar_t*>(L"Drag item here to delete");
  SendMessageW(FTrashTip.Get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  ShowWindow(Control("ShowInfoCB"), SW_HIDE);  // kept, and written back, but never offered
  // The Tab key follows the layout: the pages first, Done last.
  SetWindowPos(Control("BtnPanel"), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  Editor.Create();
  Editor.IconBrowseBtn.OnClick = [this] { mDisplayIconClick(); };
}

// ------------------------------------------------------------- options

void TConfigForm::LoadOptions(const TSkiffData& settings) { Options.Load(settings); }

void TConfigForm::HidePMCBExit() { Options.Commit(); }

// ---------------------------------------------------------------- tree

TCollectionItem* TConfigForm::NodeObject(HTREEITEM node) const {
  if (!node) return nullptr;
  TVITEMW item{};
  item.mask = TVIF_PARAM | TVIF_HANDLE;
  item.hItem = node;
  TreeView_GetItem(Tree(), &item);
  return reinterpret_cast<TCollectionItem*>(item.lParam);
}

std::u16string TConfigForm::NodeText(HTREEITEM node) const {
  TCollectionItem* object = NodeObject(node);
  if (!object) return {};
  return IsEntryNode(Tree(), node) ? static_cast<TAppItem*>(object)->Title : static_cast<TGroupItem*>(object)->Name;
}

HTREEITEM TConfigForm::AddNode(HTREEITEM parent, HTREEITEM after, TCollectionItem& object,
                               const std::u16string& text) {
  TVINSERTSTRUCTW insert{};
  insert.hParent = parent ? parent : TVI_ROOT;
  insert.hInsertAfter = after;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<wchar_t*>(W(text));
  insert.item.lParam = reinterpret_cast<LPARAM>(&object);
  return TreeView_InsertItem(Tree(), &insert);
}

void TConfigForm::SelectNode(HTREEITEM node) {
  TreeView_SelectItem(Tree(), node);
  KillTimer(Handle(), kChangeTimer);
  tvAppsChange();
}

HTREEITEM TConfigForm::NodeAt(POINT screen) const {
  const HWND tree = Tree();
  if (!PointIn(tree, screen)) return nullptr;
  TVHITTESTINFO hit{};
  hit.pt = screen;
  ScreenToClient(tree, &hit.pt);
  return TreeView_HitTest(tree, &hit);
}

void TConfigForm::FormShow() {
  DataChanged = false;
  OptionsChanged = false;
  CurrentGroup = nullptr;
  GroupIndex = -1;
  CurrentApp = nullptr;
  AppIndex = -1;
  Editor.Forget();
  ShowPage("PageControl", 0);
  ShowWindow(Control("pnlApps"), SW_HIDE);
  const HWND tree = Tree();
  TreeView_DeleteAllItems(tree);
  for (int g = 0; g < FSettings.Groups.Count(); ++g) {
    TGroupItem& group = FSettings.Groups[g];
    const HTREEITEM node = AddNode(nullptr, TVI_LAST, group, group.Name);
    for (int a = 0; a < group.Apps.Count(); ++a) AddNode(node, TVI_LAST, group.Apps[a], group.Apps[a].Title);
  }
  if (const HTREEITEM first = TreeView_GetRoot(tree)) SelectNode(first);
  DrawTrash();
  EnableActions();
  SetFocus(tree);
}

void TConfigForm::DrawTrash() {
  TIconGlyph glyph;
  glyph.SetIconSize(isLarge);
  glyph.SetIconType(itStandard);
  glyph.SetStandardIcon(siRecycleBinEmpty);
  // At the size of the monitor the dialog is on.
  DrawToBitmap(glyph, FTrash, Dpi());
  if (glyph.FileName().empty()) {
    // A recycle bin registered with its default picture only.
    glyph.SetStandardIcon(siRecycleBinDefault);
    DrawToBitmap(glyph, FTrash, Dpi());
  }
  const HWND image = Control("imgTrash");
  SendMessageW(image, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(FTrash.Handle()));
  SetWindowPos(image, nullptr, Scale(4), Scale(2), FTrash.Width(), FTrash.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TConfigForm::tvAppsChange() {
  // What was typed belongs to the entry it was typed for.
  chkIgnoreExit();
  const HWND tree = Tree();
  const HTREEITEM node = TreeView_GetSelection(tree);
  CurrentGroup = nullptr;
  GroupIndex = -1;
  CurrentApp = nullptr;
  AppIndex = -1;
  if (node) {
    const bool entry = IsEntryNode(tree, node);
    CurrentGroup = static_cast<TGroupItem*>(NodeObject(entry ? TreeView_GetParent(tree, node) : node));
    GroupIndex = FSettings.Groups.IndexOf(*CurrentGroup);
    if (entry) {
      CurrentApp = static_cast<TAppItem*>(NodeObject(node));
      AppIndex = CurrentGroup->Apps.IndexOf(*CurrentApp);  // -1 while it was moved here
      ShowAppItem(CurrentApp->Title);
    }
    ShowWindow(Control("pnlApps"), entry ? SW_SHOW : SW_HIDE);
  } else {
    ShowWindow(Control("pnlApps"), SW_HIDE);
  }
  EnableActions();
}

// ---------------------------------------------------------- entry editor

void TConfigForm::ShowAppItem(const std::u16string& title) {
  if (CurrentApp) Editor.Show(*CurrentApp, title);
}

void TConfigForm::DrawPreview(const std::u16string& title) { Editor.DrawPreview(title); }

void TConfigForm::EditorCommand(const char* name, WORD code) {
  switch (code) {
    case EN_CHANGE:
    case CBN_SELCHANGE:
    case BN_CLICKED:
      if (Editor.Loading()) return;
      Editor.Changed(name);
      AppChanged = true;  // edtCommandChange, chkIgnoreClick
      DataChanged = true;
      break;
    case EN_KILLFOCUS:
    case CBN_KILLFOCUS:
    case BN_KILLFOCUS:
      chkIgnoreExit();
      break;
  }
}

void TConfigForm::chkIgnoreExit() {
  if (Editor.Commit()) DataChanged = true;
}

void TConfigForm::mDisplayIconClick() {
  if (Editor.ChooseIcon(NodeText(TreeView_GetSelection(Tree())))) DataChanged = true;
}

void TConfigForm::EnableActions() {
  actDeleteGroup->SetEnabled(false);
  actDeleteItem->SetEnabled(false);
  // Add Item always has a group to add to: the selected one's, or one it makes.
  const HTREEITEM node = TreeView_GetSelection(Tree());
  // Renaming needs a node to act on.
  actRenameEntry->SetEnabled(node != nullptr);
  if (!node) return;
  if (IsEntryNode(Tree(), node)) {
    actDeleteItem->SetEnabled(true);
  } else {
    actDeleteGroup->SetEnabled(true);
  }
}

void TConfigForm::actAddGroupExecute() {
  TGroupItem& group = FSettings.Groups.Add();
  group.Name = kNewGroupName;
  const HTREEITEM node = AddNode(nullptr, TVI_LAST, group, group.Name);
  DataChanged = true;
  // A new group is named at once.
  SelectNode(node);
  actRenameEntryExecute();
}

void TConfigForm::actAddItemExecute() {
  const HWND tree = Tree();
  const HTREEITEM selected = TreeView_GetSelection(tree);
  HTREEITEM groupNode = selected && IsEntryNode(tree, selected) ? TreeView_GetParent(tree, selected) : selected;
  if (!groupNode) groupNode = TreeView_GetRoot(tree);
  // The selected entry's folder, typed or stored, also before its selection settled.
  chkIgnoreExit();
  std::u16string folder;
  if (selected && IsEntryNode(tree, selected))
    folder = CommandFolder(static_cast<const TAppItem*>(NodeObject(selected))->Command);
  if (folder.empty()) {
    wchar_t programs[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programs)))
      folder = U16(programs);
  }
  std::vector<std::u16string> files;
  if (!OpenFilesDialog(Handle(), L"Add Item", kAddItemFilter, folder, files) || files.empty()) return;
  if (!groupNode) {
    TGroupItem& group = FSettings.Groups.Add();
    group.Name = kFirstGroupName;
    groupNode = AddNode(nullptr, TVI_LAST, group, group.Name);
  }
  // The drop's rules make each entry, in the order chosen.
  TGroupItem& group = *static_cast<TGroupItem*>(NodeObject(groupNode));
  HTREEITEM first = nullptr;
  for (const std::u16string& file : files) {
    TAppItem& entry = AddDroppedEntry(group.Apps, file);
    const HTREEITEM node = AddNode(groupNode, TVI_LAST, entry, entry.Title);
    if (!first) first = node;
  }
  DataChanged = true;
  TreeView_Expand(tree, groupNode, TVE_EXPAND);
  SelectNode(first);
}

void TConfigForm::BrowseEditorField(bool folder) {
  if (!CurrentApp) return;
  const HWND edit = Control(folder ? "edtStartDir" : "edtCommand");
  const std::u16string now = WindowText(edit);
  std::u16string chosen;
  if (folder) {
    if (!ChooseFolderDialog(Handle(), L"Start directory", now, chosen)) return;
  } else {
    if (!OpenFileDialog(Handle(), kAddItemFilter, CommandFolder(now), chosen, L"Command", true)) return;
  }
  // As if typed, and then left.
  SetWindowTextW(edit, W(chosen));
  chkIgnoreExit();
}

void TConfigForm::actRenameEntryExecute() {
  const HTREEITEM node = TreeView_GetSelection(Tree());
  if (!node) return;
  SetFocus(Tree());
  TreeView_EditLabel(Tree(), node);
}

bool TConfigForm::tvAppsEdited(HTREEITEM node, const std::u16string& text) {
  TCollectionItem* object = NodeObject(node);
  if (!object) return false;
  if (IsEntryNode(Tree(), node)) {
    static_cast<TAppItem*>(object)->Title = text;
    if (object == CurrentApp) ShowAppItem(text);
  } else {
    // A group without a name would be a blank tab: the old name stays.
    if (text.empty()) return false;
    static_cast<TGroupItem*>(object)->Name = text;
  }
  DataChanged = true;
  return true;
}

void TConfigForm::tvAppsKeyPress(HTREEITEM node) {
  if (!node) return;
  const HWND tree = Tree();
  if (TreeView_GetItemState(tree, node, TVIS_EXPANDED) & TVIS_EXPANDED) {
    // Collapsed with everything below it, so it opens one level next time.
    for (HTREEITEM child = TreeView_GetChild(tree, node); child; child = TreeView_GetNextSibling(tree, child))
      TreeView_Expand(tree, child, TVE_COLLAPSE);
    TreeView_Expand(tree, node, TVE_COLLAPSE);
  } else {
    TreeView_Expand(tree, node, TVE_EXPAND);
  }
}

// ------------------------------------------------------------- deleting

void TConfigForm::DeleteNode(HTREEITEM node) {
  const HWND tree = Tree();
  TCollectionItem* object = NodeObject(node);
  if (!object) return;
  const bool entry = IsEntryNode(tree, node);
  const TGroupItem& group = *static_cast<TGroupItem*>(NodeObject(entry ? TreeView_GetParent(tree, node) : node));
  const std::u16string prompt = DeletePrompt(entry ? static_cast<TAppItem*>(object) : nullptr,
                                             entry ? group : *static_cast<TGroupItem*>(object));
  if (App.MessageBoxProc(Handle(), prompt, kConfirmCaption, MB_YESNO | MB_ICONQUESTION) != IDYES) {
    EnableActions();
    return;
  }
  HTREEITEM next = TreeView_GetNextSibling(tree, node);
  if (!next) next = TreeView_GetPrevSibling(tree, node);
  if (!next && entry) next = TreeView_GetParent(tree, node);
  if (!entry) StoreTree(FSettings);
  object = NodeObject(node);
  // Nothing may point at what goes now.
  chkIgnoreExit();
  Editor.Forget();
  CurrentApp = nullptr;
  CurrentGroup = nullptr;
  TCollection& owner = object->Collection();
  const int index = owner.IndexOf(*object);
  TreeView_DeleteItem(tree, node);
  owner.Delete(index);
  SelectNode(next);
  DataChanged = true;
}

void TConfigForm::StoreTree(TSkiffData& settings) {
  const HWND tree = Tree();
  std::vector<TTreeGroup> order;
  for (HTREEITEM g = TreeView_GetRoot(tree); g; g = TreeView_GetNextSibling(tree, g)) {
    TTreeGroup& group = order.emplace_back(TTreeGroup{static_cast<TGroupItem*>(NodeObject(g)), {}});
    for (HTREEITEM a = TreeView_GetChild(tree, g); a; a = TreeView_GetNextSibling(tree, a))
      group.Apps.push_back(static_cast<TAppItem*>(NodeObject(a)));
  }
  chkIgnoreExit();
  Editor.Forget();
  ::StoreTree(order, settings);
  // The nodes now stand for the fresh objects, which are in tree order.
  int gi = 0;
  for (HTREEITEM g = TreeView_GetRoot(tree); g; g = TreeView_GetNextSibling(tree, g), ++gi) {
    TGroupItem& group = settings.Groups[gi];
    TVITEMW item{};
    item.mask = TVIF_PARAM | TVIF_HANDLE;
    item.hItem = g;
    item.lParam = reinterpret_cast<LPARAM>(&group);
    TreeView_SetItem(tree, &item);
    int ai = 0;
    for (HTREEITEM a = TreeView_GetChild(tree, g); a; a = TreeView_GetNextSibling(tree, a), ++ai) {
      item.hItem = a;
      item.lParam = reinterpret_cast<LPARAM>(&group.Apps[ai]);
      TreeView_SetItem(tree, &item);
    }
  }
  CurrentGroup = nullptr;
  CurrentApp = nullptr;
}

// --------------------------------------------------------------- closing

void TConfigForm::FormClose() {
  // The control that had the focus commits what was typed in it first.
  SetFocus(Control("DoneBtn"));
  ModalResult = IDOK;
}

void TConfigForm::ShowPopup(POINT at) {
  UniqueMenu menu(CreatePopupMenu());
  actRenameEntry->AppendTo(menu.Get());
  AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
  actAddGroup->AppendTo(menu.Get());
  actDeleteGroup->AppendTo(menu.Get());
  AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
  actAddItem->AppendTo(menu.Get());
  actDeleteItem->AppendTo(menu.Get());
  // Each item's picture is drawn from the image list when the menu paints.
  for (int i = 0, n = GetMenuItemCount(menu.Get()); i < n; ++i) {
    const TAction* action = actMain.Find(static_cast<int>(GetMenuItemID(menu.Get(), i)));
    if (!action) continue;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP | MIIM_DATA;
    info.hbmpItem = HBMMENU_CALLBACK;
    info.dwItemData = static_cast<ULONG_PTR>(action->ImageIndex());
    SetMenuItemInfoW(menu.Get(), static_cast<UINT>(i), TRUE, &info);
  }
  TrackPopupMenu(menu.Get(), TPM_RIGHTBUTTON, at.x, at.y, 0, Handle(), nullptr);
}

void TConfigForm::SplitterMove(int screenX) {
  RECT page{};
  GetClientRect(Control("AppTab"), &page);
  const int most = std::min(Scale(kTreeMax), static_cast<int>(page.right) - Scale(kSplitterWidth + kRightMin));
  const int width = std::max(Scale(kTreeMin), std::min(most, FSplitStartWidth + screenX - FSplitStartX));
  RECT r{};
  GetWindowRect(Tree(), &r);
  SetWindowPos(Tree(), nullptr, 0, 0, width, r.bottom - r.top, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Realign();
}

// ------------------------------------------------------------- messages

bool TConfigForm::PreTranslateMessage(MSG& msg) {
  const HWND tree = Tree();
  const HWND editor = TreeView_GetEditControl(tree);
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && Drag.Cancel()) return true;
  // The label editor takes Enter and Esc itself, not as OK and Cancel.
  if (editor && msg.hwnd == editor && msg.message == WM_KEYDOWN &&
      (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
  }
  if (msg.message == WM_SYSCHAR && (msg.wParam == 'a' || msg.wParam == 'A' || msg.wParam == 'o' || msg.wParam == 'O')) {
    const bool options = msg.wParam == 'o' || msg.wParam == 'O';
    ShowPage("PageControl", options ? 1 : 0);
    // The page's first control the keyboard can reach: a hidden option
    // must never be ticked unseen.
    SetFocus(options ? GetNextDlgTabItem(Control("OptionsTab"), nullptr, FALSE) : tree);
    return true;
  }
  if (msg.hwnd != tree) return false;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  if ((msg.message == WM_KEYDOWN && msg.wParam == VK_APPS) ||
      (msg.message == WM_SYSKEYDOWN && msg.wParam == VK_F10 && shift)) {
    RECT r{};
    POINT at{0, 0};
    if (const HTREEITEM node = TreeView_GetSelection(tree); node && TreeView_GetItemRect(tree, node, &r, TRUE))
      at = {r.left, r.bottom};
    ClientToScreen(tree, &at);
    ShowPopup(at);
    return true;
  }
  if (msg.message == WM_CHAR && msg.wParam == VK_RETURN) return true;
  if (msg.message != WM_KEYDOWN) return false;
  switch (msg.wParam) {
    case VK_RETURN:
      tvAppsKeyPress(TreeView_GetSelection(tree));
      return true;
    case VK_F2:
      actRenameEntry->Execute();
      return true;
    case VK_INSERT:
      actAddItem->Execute();
      return true;
    case VK_DELETE: {
      const HTREEITEM node = TreeView_GetSelection(tree);
      if (node) (IsEntryNode(tree, node) ? actDeleteItem : actDeleteGroup)->Execute();
      return true;
    }
  }
  return false;
}

LRESULT TConfigForm::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SHOWWINDOW:
      // Its own showing only: Windows shows it again (lParam set) when the
      // minimised owner comes back, and that must not reset the dialog.
      if (wParam && lParam == 0) FormShow();
      break;
    case kDpiChanged: {
      const LRESULT result = Form::HandleMessage(message, wParam, lParam);
      Editor.DpiChanged();
      DrawTrash();
      return result;
    }
    case WM_CLOSE:
      FormClose();
      return 0;
    case WM_HELP:
      // The help page at the part that tells of the page shown.
      ShowHelp(App, Handle(), TabCtrl_GetCurSel(Control("PageControl")) == 1 ? u"options" : u"config");
      return TRUE;
    case WM_TIMER:
      if (wParam == kChangeTimer) {
        KillTimer(Handle(), kChangeTimer);
        tvAppsChange();
        return 0;
      }
      break;
    case WM_COMMAND: {
      const WORD id = LOWORD(wParam), code = HIWORD(wParam);
      if (lParam == 0 && actMain.Execute(id)) return 0;
      const char* name = ControlName(reinterpret_cast<HWND>(lParam));
      if (id == IDCANCEL || (name && std::strcmp(name, "DoneBtn") == 0 && code == BN_CLICKED) ||
          (id == IDOK && GetFocus() == Control("DoneBtn"))) {  // Esc, Done, Enter on Done
        FormClose();
        return 0;
      }
      if (id == IDOK) {
        // Enter in an editor field or an option takes it in, as leaving
        // it does; the dialog stays.
        const char* focused = ControlName(GetFocus());
        if (TEntryEditor::IsEditorControl(focused)) chkIgnoreExit();
        else if (TOptionsPage::IsOptionControl(focused)) HidePMCBExit();
        return 0;
      }
      if (TEntryEditor::IsEditorControl(name)) {
        EditorCommand(name, code);
        return 0;
      }
      if (TOptionsPage::IsOptionControl(name)) {
        if (Options.Command(code)) OptionsChanged = true;
        return 0;
      }
      if (name && code == BN_CLICKED) {
        if (std::strcmp(name, "BrowseDirBtn") == 0) Options.BrowseDirBtnClick();
        else if (std::strcmp(name, "btnAddItem") == 0) actAddItem->Execute();
        else if (std::strcmp(name, "btnBrowseCommand") == 0) BrowseEditorField(false);
        else if (std::strcmp(name, "btnBrowseStartDir") == 0) BrowseEditorField(true);
        else break;
        return 0;
      }
      break;
    }
    case WM_NOTIFY: {
      const auto* hdr = reinterpret_cast<const NMHDR*>(lParam);
      if (hdr->hwndFrom != Tree()) break;
      switch (hdr->code) {
        case TVN_SELCHANGEDW:
          SetTimer(Handle(), kChangeTimer, kChangeDelay, nullptr);
          return 0;
        case TVN_BEGINLABELEDITW:
          // The tree's edit holds MAX_PATH - 1 characters: a longer name
          // would be cut without a word.
          if (const HWND edit = TreeView_GetEditControl(Tree())) {
            SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
            SetWindowTextW(edit, W(NodeText(reinterpret_cast<const NMTVDISPINFOW*>(lParam)->item.hItem)));
          }
          return FALSE;
        case TVN_ENDLABELEDITW: {
          const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(lParam);
          if (!info->item.pszText) return FALSE;  // cancelled
          // The whole text, from the edit itself rather than the tree's copy.
          const HWND edit = TreeView_GetEditControl(Tree());
          const std::u16string text = edit ? WindowText(edit) : U16(info->item.pszText);
          if (!tvAppsEdited(info->item.hItem, text)) return FALSE;
          TVITEMW item{};
          item.mask = TVIF_TEXT | TVIF_HANDLE;
          item.hItem = info->item.hItem;
          item.pszText = const_cast<wchar_t*>(W(text));
          TreeView_SetItem(Tree(), &item);
          return FALSE;  // set above, whole
        }
        case TVN_BEGINDRAGW:
          Drag.BeginMouse(reinterpret_cast<const NMTREEVIEWW*>(lParam)->itemNew.hItem);
          return 0;
        case NM_RCLICK: {
          POINT at{};
          GetCursorPos(&at);
          if (const HTREEITEM node = NodeAt(at)) SelectNode(node);
          ShowPopup(at);
          return TRUE;
        }
      }
      break;
    }
    case WM_MEASUREITEM: {
      auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_MENU) break;
      item->itemWidth = static_cast<UINT>(Scale(16));
      item->itemHeight = static_cast<UINT>(Scale(16));
      return TRUE;
    }
    case WM_DRAWITEM: {
      const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (item->CtlType != ODT_MENU) break;
      // The pictures exist at 16 pixels: centred in a larger place, never
      // wider, which would show the next picture of the strip beside it.
      const int inset = std::max(0, Scale(16) - 16) / 2;
      ImageList_DrawEx(FImages.Get(), static_cast<int>(item->itemData), item->hDC, item->rcItem.left + inset,
                       item->rcItem.top + inset, 16, 16, CLR_NONE, CLR_NONE,
                       (item->itemState & ODS_GRAYED) ? ILD_BLEND50 : ILD_TRANSPARENT);
      return TRUE;
    }
    case WM_MOUSEMOVE:
      if (Drag.Dragging() || FSplitting) {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(Handle(), &at);
        if (Drag.Dragging()) Drag.MouseMove(at);
        else SplitterMove(at.x);
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (Drag.Dragging() || FSplitting) {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(Handle(), &at);
        if (Drag.Dragging()) {
          Drag.MouseUp(at, true);
        } else {
          FSplitting = false;
          ReleaseCapture();
        }
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (reinterpret_cast<HWND>(lParam) != Handle()) Drag.Cancel();
      FSplitting = false;
      break;
    case WM_PARENTNOTIFY:
      if (LOWORD(wParam) == WM_LBUTTONDOWN) {
        POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
        ClientToScreen(Handle(), &at);
        if (PointIn(Control("splConfig"), at)) {
          RECT r{};
          GetWindowRect(Tree(), &r);
          FSplitting = true;
          FSplitStartX = at.x;
          FSplitStartWidth = r.right - r.left;
          SetCapture(Handle());
        }
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == Control("splConfig")) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        return TRUE;
      }
      break;
  }
  return Form::HandleMessage(message, wParam, lParam);
}
