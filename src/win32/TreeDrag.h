// Dragging a node of the configuration dialog's tree: onto another node to
// move it (an entry before another or into a group, a group before another),
// onto the trash to delete it. The mouse is tracked with the dialog's
// capture; Esc or a lost capture ends the drag without a drop.
#pragma once

#include <windows.h>
#include <commctrl.h>

class TConfigForm;

class TTreeDrag {
 public:
  explicit TTreeDrag(TConfigForm& form) : F(form) {}

  // The node taken, selected and named in the status bar.
  void Start(HTREEITEM node);
  // The dragged node dropped on target, as the drop rules say.
  void DropOn(HTREEITEM target);
  // The dragged node dropped on the trash: deleted after the question.
  void DropOnTrash();
  void Finish();
  HTREEITEM Node() const { return FNode; }

  // The mouse: the tree's drag notification starts the tracking.
  void BeginMouse(HTREEITEM node);
  bool Dragging() const { return FDragging; }
  void MouseMove(POINT screen);
  void MouseUp(POINT screen, bool drop);
  // Ends a mouse drag without a drop; false when none was going on.
  bool Cancel();

 private:
  void MoveAppNode(HTREEITEM target, bool asChild);
  void MoveGroupNode(HTREEITEM target);

  TConfigForm& F;
  HTREEITEM FNode = nullptr;
  bool FDragging = false;
};
