#include "win32/ShellKeys.h"

#include "core/Errors.h"
#include "win32/WinSupport.h"

TShellKeyFilter TShellKeyBlock::FFilter;

TShellKeyBlock::TShellKeyBlock() : FHook(SetWindowsHookExW(WH_KEYBOARD_LL, HookProc, GetModuleHandleW(nullptr), 0)) {
  if (!FHook) throw Exception(SysErrorMessage(GetLastError()));
  FFilter = {};
}

TShellKeyBlock::~TShellKeyBlock() { UnhookWindowsHookEx(FHook); }

LRESULT CALLBACK TShellKeyBlock::HookProc(int code, WPARAM wParam, LPARAM lParam) noexcept {
  if (code == HC_ACTION) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(lParam);
    const bool up = wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
    // The flag alone is not enough: not every system sets it on injected keys.
    const bool alt = (key->flags & LLKHF_ALTDOWN) || GetAsyncKeyState(VK_MENU) < 0;
    if (FFilter.Swallow(key->vkCode, up, GetAsyncKeyState(VK_CONTROL) < 0, alt)) return 1;
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
