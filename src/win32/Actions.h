// Commands shared by tool buttons and menu items: a change of an action's
// state shows on every control linked to it at once; menus are built from
// the actions each time they open.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TAction {
 public:
  TAction(int id, std::u16string caption, std::u16string hint, int imageIndex, std::function<void()> onExecute)
      : Id(id), Caption(std::move(caption)), FHint(std::move(hint)), FImageIndex(imageIndex),
        FOnExecute(std::move(onExecute)) {}

  const int Id;  // the command id of its buttons and menu items
  const std::u16string Caption;

  const std::u16string& Hint() const { return FHint; }
  void SetHint(std::u16string hint) { FHint = std::move(hint); }  // tool tips ask for it when they show
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int index);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool enabled);
  bool Visible() const { return FVisible; }
  void SetVisible(bool visible);

  // Runs the command unless the action is disabled.
  void Execute();
  // Adds a button for this action at the end of a tool bar.
  void AddToolButton(HWND toolBar);
  // Adds a menu item for this action when it is visible.
  void AppendTo(HMENU menu) const;

 private:
  std::u16string FHint;
  int FImageIndex;
  bool FEnabled = true;
  bool FVisible = true;
  std::function<void()> FOnExecute;
  std::vector<HWND> FToolBars;
};

class TActionList {
 public:
  TAction& Add(std::u16string caption, std::u16string hint, int imageIndex, std::function<void()> onExecute);
  TAction* Find(int id) const;
  // Runs the action with this command id; false when no action has it.
  bool Execute(int id);
  // Answers a tool tip's request for text (WM_NOTIFY, TTN_GETDISPINFOW).
  bool HandleToolTip(LPARAM lParam) const;

 private:
  static constexpr int kFirstId = 1000;
  std::vector<std::unique_ptr<TAction>> FActions;
};
