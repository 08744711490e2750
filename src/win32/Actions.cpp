#include "win32/Actions.h"

#include <commctrl.h>

#include "win32/WinSupport.h"

void TAction::SetImageIndex(int index) {
  FImageIndex = index;
  for (HWND bar : FToolBars) SendMessageW(bar, TB_CHANGEBITMAP, Id, index);
}

void TAction::SetEnabled(bool enabled) {
  FEnabled = enabled;
  for (HWND bar : FToolBars) SendMessageW(bar, TB_ENABLEBUTTON, Id, MAKELPARAM(enabled, 0));
}

void TAction::SetVisible(bool visible) {
  FVisible = visible;
  for (HWND bar : FToolBars) SendMessageW(bar, TB_HIDEBUTTON, Id, MAKELPARAM(!visible, 0));
}

void TAction::Execute() {
  if (FEnabled && FOnExecute) FOnExecute();
}

void TAction::AddToolButton(HWND toolBar) {
  TBBUTTON button{};
  button.iBitmap = FImageIndex;
  button.idCommand = Id;
  button.fsState = static_cast<BYTE>((FEnabled ? TBSTATE_ENABLED : 0) | (FVisible ? 0 : TBSTATE_HIDDEN));
  button.fsStyle = BTNS_BUTTON;
  button.iString = -1;
  SendMessageW(toolBar, TB_ADDBUTTONSW, 1, reinterpret_cast<LPARAM>(&button));
  FToolBars.push_back(toolBar);
}

void TAction::AppendTo(HMENU menu) const {
  if (FVisible) AppendMenuW(menu, MF_STRING | (FEnabled ? MF_ENABLED : MF_GRAYED), Id, W(Caption));
}

TAction& TActionList::Add(std::u16string caption, std::u16string hint, int imageIndex,
                          std::function<void()> onExecute) {
  const int id = kFirstId + static_cast<int>(FActions.size());
  return *FActions.emplace_back(
      std::make_unique<TAction>(id, std::move(caption), std::move(hint), imageIndex, std::move(onExecute)));
}

TAction* TActionList::Find(int id) const {
  for (const auto& a : FActions)
    if (a->Id == id) return a.get();
  return nullptr;
}

bool TActionList::Execute(int id) {
  TAction* action = Find(id);
  if (!action) return false;
  action->Execute();
  return true;
}

bool TActionList::HandleToolTip(LPARAM lParam) const {
  auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
  if (info->hdr.code != TTN_GETDISPINFOW) return false;
  const TAction* action = Find(static_cast<int>(info->hdr.idFrom));
  if (!action) return false;
  info->lpszText = const_cast<wchar_t*>(W(action->Hint()));
  return true;
}
