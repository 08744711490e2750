#include "win32/ConfigWin.h"

#include <shlobj.h>
#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "core/Errors.h"
#include "win32/ConfigLayout.h"
#include "win32/WinSupport.h"
#include "win32/res/resource.h"

namespace {

constexpr UINT_PTR kChangeTimer = 1;
constexpr UINT kChangeDelay = 50;  // ms after the last selection change
constexpr int kTreeMin = 100, kTreeMax = 200, kRightMin = 311;

bool IsOptionControl(const char* name) {
  if (!name) return false;
  for (const TOptionCheck& o : kOptionChecks)
    if (std::strcmp(o.Control, name) == 0) return true;
  for (const TOptionText& o : kOptionTexts)
    if (std::strcmp(o.Control, name) == 0) return true;
  for (const char* radio : kButtonSizeRadios)
    if (std::strcmp(radio, name) == 0) return true;
  return false;
}

}  // namespace

TConfigForm::TConfigForm(TApplication& app, TSkiffData& settings) : Form(app), FSettings(settings) {}

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
  // Entries are made on the main window from dropped files.
  actAddItem = &actMain.Add(u"Add Item", u"", 0, nullptr);
  actAddItem->SetVisible(false);
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

  Editor.Create();
  Editor.IconBrowseBtn.OnClick = [this] { mDisplayIconClick(); };
}

// ------------------------------------------------------------- options

void TConfigForm::LoadOptions(const TSkiffData& settings) {
  for (const TOptionCheck& o : kOptionChecks) SetChecked(Control(o.Control), settings.*o.Property);
  for (const TOptionText& o : kOptionTexts) SetWindowTextW(Control(o.Control), W(settings.*o.Property));
  for (int i = 0; i < 3; ++i) SetChecked(Control(kButtonSizeRadios[i]), settings.BtnSize == i);
}

void TConfigForm::HidePMCBExit() {
  for (const TOptionCheck& o : kOptionChecks) FSettings.*o.Property = Checked(Control(o.Control));
  for (const TOptionText& o : kOptionTexts) FSettings.*o.Property = WindowText(Control(o.Control));
  // A size the dialog does not offer stays as it was until one is chosen.
  for (int i = 0; i < 3; ++i)
    if (Checked(Control(kButtonSizeRadios[i]))) FSettings.BtnSize = i;
}

void TConfigForm::OptionControlCommand(WORD code) {
  switch (code) {
    case BN_CLICKED:
    case EN_CHANGE:
      OptionsChanged = true;  // HidePMCBClick
      break;
    case BN_KILLFOCUS:
    case EN_KILLFOCUS:
      HidePMCBExit();
      break;
  }
}

void TConfigForm::BrowseDirBtnClick() {
  BROWSEINFOW info{};
  info.hwndOwner = Handle();
  info.lpszTitle = L"Explorer Startup Directory";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderW(&info);
  if (!chosen) return;
  std::wstring path(32768, L'\0');
  const bool ok = SHGetPathFromIDListEx(chosen, path.data(), static_cast<DWORD>(path.size()), GPFIDL_DEFAULT);
  CoTaskMemFree(chosen);
  if (!ok) return;
  path.resize(std::wcslen(path.c_str()));
  SetWindowTextW(Control("ExpStartDir"), path.c_str());  // counts as a change
  HidePMCBExit();
}

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
}

void TConfigForm::DrawTrash() {
  TIconGlyph glyph;
  glyph.SetIconSize(isLarge);
  glyph.SetIconType(itStandard);
  glyph.SetStandardIcon(siRecycleBinEmpty);
  DrawToBitmap(glyph, FTrash);
  if (glyph.FileName().empty()) {
    // A recycle bin registered with its default picture only.
    glyph.SetStandardIcon(siRecycleBinDefault);
    DrawToBitmap(glyph, FTrash);
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

void TConfigForm::EditorCommand(WORD code) {
  switch (code) {
    case EN_CHANGE:
    case CBN_SELCHANGE:
    case BN_CLICKED:
      if (Editor.Loading()) return;
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
  if (AppChanged && Editor.Commit()) DataChanged = true;
}

void TConfigForm::mDisplayIconClick() {
  if (Editor.ChooseIcon(NodeText(TreeView_GetSelection(Tree())))) DataChanged = true;
}

void TConfigForm::EnableActions() {
  actDeleteGroup->SetEnabled(false);
  actDeleteItem->SetEnabled(false);
  actAddItem->SetEnabled(false);
  const HTREEITEM node = TreeView_GetSelection(Tree());
  // Renaming needs a node to act on.
  actRenameEntry->SetEnabled(node != nullptr);
  if (!node) return;
  if (IsEntryNode(Tree(), node)) {
    actDeleteItem->SetEnabled(true);
  } else {
    actDeleteGroup->SetEnabled(true);
    actAddItem->SetEnabled(true);
  }
}

void TConfigForm::actAddGroupExecute() {
  TGroupItem& group = FSettings.Groups.Add();
  group.Name = kNewGroupName;
  AddNode(nullptr, TVI_LAST, group, group.Name);
  DataChanged = true;
}

void TConfigForm::actRenameEntryExecute() {
  const HTREEITEM node = TreeView_GetSelection(Tree());
  if (!node) return;
  SetFocus(Tree());
  TreeView_EditLabel(Tree(), node);
}

void TConfigForm::tvAppsEdited(HTREEITEM node, const std::u16string& text) {
  TCollectionItem* object = NodeObject(node);
  if (!object) return;
  if (IsEntryNode(Tree(), node)) {
    static_cast<TAppItem*>(object)->Title = text;
    if (object == CurrentApp) ShowAppItem(text);
  } else {
    static_cast<TGroupItem*>(object)->Name = text;
  }
  DataChanged = true;
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
    SetFocus(options ? Control("HidePMCB") : tree);
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
      if (wParam) FormShow();
      break;
    case kDpiChanged: {
      const LRESULT result = Form::HandleMessage(message, wParam, lParam);
      Editor.DpiChanged();
      return result;
    }
    case WM_CLOSE:
      FormClose();
      return 0;
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
      if (id == IDOK || id == IDCANCEL) {  // Done, Enter and Esc
        FormClose();
        return 0;
      }
      const char* name = ControlName(reinterpret_cast<HWND>(lParam));
      if (TEntryEditor::IsEditorControl(name)) {
        EditorCommand(code);
        return 0;
      }
      if (IsOptionControl(name)) {
        OptionControlCommand(code);
        return 0;
      }
      if (name && std::strcmp(name, "BrowseDirBtn") == 0 && code == BN_CLICKED) {
        BrowseDirBtnClick();
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
          return FALSE;
        case TVN_ENDLABELEDITW: {
          const auto* info = reinterpret_cast<const NMTVDISPINFOW*>(lParam);
          if (!info->item.pszText) return FALSE;  // cancelled
          tvAppsEdited(info->item.hItem, U16(info->item.pszText));
          return TRUE;
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
      ImageList_DrawEx(FImages.Get(), static_cast<int>(item->itemData), item->hDC, item->rcItem.left,
                       item->rcItem.top, Scale(16), Scale(16), CLR_NONE, CLR_NONE,
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
