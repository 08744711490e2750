#include "win32/TreeDrag.h"

#include "win32/ConfigWin.h"
#include "win32/WinSupport.h"

void TTreeDrag::Start(HTREEITEM node) {
  TreeView_SelectItem(F.Tree(), node);
  FNode = node;
  SendMessageW(F.Control("sbrMain"), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(W(F.NodeText(node))));
}

void TTreeDrag::Finish() {
  FNode = nullptr;
  SendMessageW(F.Control("sbrMain"), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(L""));
}

void TTreeDrag::DropOn(HTREEITEM target) {
  if (!target || !FNode) return;
  const HWND tree = F.Tree();
  switch (DropEffectFor(F.IsEntryNode(tree, FNode), F.IsEntryNode(tree, target), target == FNode)) {
    case TDropEffect::deNone: break;
    case TDropEffect::deAppBefore: MoveAppNode(target, false); break;
    case TDropEffect::deAppAsLast: MoveAppNode(target, true); break;
    case TDropEffect::deGroupBefore: MoveGroupNode(target); break;
    case TDropEffect::deRefuse: F.App.ShowMessage(F.Handle(), kMustDropGroup, MB_OK); break;
  }
}

void TTreeDrag::MoveAppNode(HTREEITEM target, bool asChild) {
  const HWND tree = F.Tree();
  if (target == FNode) return;
  TCollectionItem& object = *F.NodeObject(FNode);
  const std::u16string text = F.NodeText(FNode);
  HTREEITEM made;
  if (asChild) {
    made = F.AddNode(target, TVI_LAST, object, text);
  } else {
    const HTREEITEM before = TreeView_GetPrevSibling(tree, target);
    made = F.AddNode(TreeView_GetParent(tree, target), before ? before : TVI_FIRST, object, text);
  }
  TreeView_DeleteItem(tree, FNode);
  FNode = nullptr;
  TreeView_SelectItem(tree, made);
  F.DataChanged = true;
}

void TTreeDrag::MoveGroupNode(HTREEITEM target) {
  const HWND tree = F.Tree();
  if (target == FNode) return;
  const HTREEITEM before = TreeView_GetPrevSibling(tree, target);
  const HTREEITEM made = F.AddNode(nullptr, before ? before : TVI_FIRST, *F.NodeObject(FNode), F.NodeText(FNode));
  for (HTREEITEM child = TreeView_GetChild(tree, FNode); child; child = TreeView_GetNextSibling(tree, child))
    F.AddNode(made, TVI_LAST, *F.NodeObject(child), F.NodeText(child));
  TreeView_DeleteItem(tree, FNode);
  FNode = nullptr;
  TreeView_SelectItem(tree, made);
  F.DataChanged = true;
}

void TTreeDrag::DropOnTrash() {
  if (FNode) F.DeleteNode(FNode);
}

void TTreeDrag::BeginMouse(HTREEITEM node) {
  Start(node);
  FDragging = true;
  SetCapture(F.Handle());
}

void TTreeDrag::MouseMove(POINT at) {
  TreeView_SelectDropTarget(F.Tree(), F.NodeAt(at));
  const bool accepted = PointIn(F.Tree(), at) || PointIn(F.Control("imgTrash"), at);
  SetCursor(LoadCursorW(nullptr, accepted ? IDC_ARROW : IDC_NO));
}

void TTreeDrag::MouseUp(POINT at, bool drop) {
  FDragging = false;
  const HWND tree = F.Tree();
  TreeView_SelectDropTarget(tree, nullptr);
  if (GetCapture() == F.Handle()) ReleaseCapture();
  if (drop) {
    if (PointIn(tree, at)) {
      DropOn(F.NodeAt(at));
    } else if (PointIn(F.Control("imgTrash"), at)) {
      DropOnTrash();
    }
  }
  Finish();
}

bool TTreeDrag::Cancel() {
  if (!FDragging) return false;
  POINT at{};
  GetCursorPos(&at);
  MouseUp(at, false);
  return true;
}
