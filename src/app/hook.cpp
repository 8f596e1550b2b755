#include "app/hook.h"

#include <cstddef>
#include <utility>
#include <vector>

#include "platform/messages.h"
#include "platform/window/input_devices.h"

namespace {

bool g_bHooked = false;
int32_t g_bCtrlHeld = 0;
// Which hook serves which window (the window property of the hook).
std::vector<std::pair<HWND, cHook*>> g_HookWindows;

cHook* HookOf(HWND hWnd) {
  if (!hWnd) return nullptr;
  for (auto& [w, hook] : g_HookWindows)
    if (w == hWnd) return hook;
  return nullptr;
}

constexpr LPARAM KEY_UP_FLAGS = static_cast<LPARAM>(0xC0000000u);

}  // namespace

bool cHook::Attach(HWND hWnd, int nMode) {
  Detach();
  m_hWnd = hWnd;
  m_nMode = nMode;
  g_HookWindows.emplace_back(hWnd, this);
  g_bHooked = true;
  return g_bHooked;
}

void cHook::Detach() {
  for (size_t i = 0; i < g_HookWindows.size(); ++i)
    if (g_HookWindows[i].second == this) {
      g_HookWindows.erase(g_HookWindows.begin() + static_cast<ptrdiff_t>(i));
      break;
    }
  m_hWnd = nullptr;
}

bool cHook::IsSpecialKey(int vk) {
  return vk == VK_SPACE || vk == VK_LEFT || vk == VK_UP || vk == VK_RIGHT || vk == VK_DOWN || vk == VK_DELETE ||
         (vk >= VK_F1 && vk <= VK_F1 + 7);
}

bool cHook::HookProc(HWND hActive, bool bComposing, int vk, bool bDown) {
  if (!g_bHooked) return false;
  cHook* hook = HookOf(hActive);
  if (!hook) return !bComposing && vk == VK_ESCAPE;
  if (hook->m_hWnd != hActive) return false;
  const WPARAM key = static_cast<WPARAM>(vk);
  if (!bDown) {
    if (vk == VK_CONTROL) g_bCtrlHeld = 0;
    if (hook->m_nMode == 0 || !g_bCtrlHeld) t4::platform::PostMessage(hActive, WM_KEYUP, key, KEY_UP_FLAGS);
    return false;
  }
  if ((vk == VK_RETURN && bComposing) || vk == VK_TAB) return false;
  if (IsSpecialKey(vk) && !bComposing) {
    t4::platform::PostMessage(hActive, WM_HOOK_SPECIAL_KEY, key, 0);
    return false;
  }
  if (vk == VK_CONTROL) g_bCtrlHeld = 1;
  if (hook->m_nMode == 0 || !g_bCtrlHeld) t4::platform::PostMessage(hActive, WM_KEYDOWN, key, 0);
  return false;
}

bool IsKeyboardHooked() { return g_bHooked; }

void UnhookKeyboard() {
  g_bHooked = false;
  g_bCtrlHeld = 0;
}
