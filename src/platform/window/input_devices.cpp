#include "platform/window/input_devices.h"

#include <array>
#include <atomic>
#include <mutex>

namespace t4::platform {

namespace {

std::array<std::atomic<uint8_t>, 256> g_keys{};

// A pad reports its stick and its cross apart; each keeps its own position, and a cross that is
// pushed wins over the stick on its axis, so that letting go of one never undoes the other.
struct JoySlot {
  bool attached = false;
  DWORD axes[2] = {JOY_CENTRE, JOY_CENTRE};
  DWORD hat[2] = {JOY_CENTRE, JOY_CENTRE};
  DWORD buttons = 0;
  DWORD Axis(int axis) const { return hat[axis] != JOY_CENTRE ? hat[axis] : axes[axis]; }
};
std::mutex g_joyMutex;
std::array<JoySlot, JOYSTICK_SLOTS> g_joys{};

}  // namespace

void SetKeyDown(int vk, bool down) {
  if (vk > 0 && vk < 256) g_keys[static_cast<size_t>(vk)].store(down ? 1 : 0);
}

void ReleaseAllKeys() {
  for (auto& k : g_keys) k.store(0);
}

namespace {
bool Held(int vk) { return g_keys[static_cast<size_t>(vk)].load() != 0; }
}  // namespace

bool IsKeyDown(int vk) {
  if (vk <= 0 || vk >= 256) return false;
  switch (vk) {
    case VK_SHIFT: return Held(VK_SHIFT) || Held(VK_LSHIFT) || Held(VK_RSHIFT);
    case VK_CONTROL: return Held(VK_CONTROL) || Held(VK_LCONTROL) || Held(VK_RCONTROL);
    case VK_MENU: return Held(VK_MENU) || Held(VK_LMENU) || Held(VK_RMENU);
    default: return Held(vk);
  }
}

int SharedVirtualKey(int vk) {
  switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT: return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL: return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU: return VK_MENU;
    default: return vk;
  }
}

void SetJoystickAttached(int slot, bool attached) {
  if (slot < 0 || slot >= JOYSTICK_SLOTS) return;
  std::lock_guard lock(g_joyMutex);
  g_joys[static_cast<size_t>(slot)] = JoySlot{};
  g_joys[static_cast<size_t>(slot)].attached = attached;
}

void SetJoystickAxis(int slot, int axis, DWORD value) {
  if (slot < 0 || slot >= JOYSTICK_SLOTS || axis < 0 || axis > 1) return;
  std::lock_guard lock(g_joyMutex);
  g_joys[static_cast<size_t>(slot)].axes[axis] = value > 65535 ? 65535 : value;
}

void SetJoystickHat(int slot, int axis, DWORD value) {
  if (slot < 0 || slot >= JOYSTICK_SLOTS || axis < 0 || axis > 1) return;
  std::lock_guard lock(g_joyMutex);
  g_joys[static_cast<size_t>(slot)].hat[axis] = value > 65535 ? 65535 : value;
}

void SetJoystickButton(int slot, int button, bool down) {
  if (slot < 0 || slot >= JOYSTICK_SLOTS || button < 0 || button >= 32) return;
  std::lock_guard lock(g_joyMutex);
  DWORD& b = g_joys[static_cast<size_t>(slot)].buttons;
  b = down ? (b | (DWORD{1} << button)) : (b & ~(DWORD{1} << button));
}

void ResetInputDevices() {
  ReleaseAllKeys();
  std::lock_guard lock(g_joyMutex);
  g_joys = {};
}

}  // namespace t4::platform

int16_t GetAsyncKeyState(int vk) { return t4::platform::IsKeyDown(vk) ? static_cast<int16_t>(0x8000) : 0; }

UINT joyGetPosEx(UINT id, JOYINFOEX* info) {
  using namespace t4::platform;
  if (!info) return JOYERR_PARMS;
  if (id >= static_cast<UINT>(JOYSTICK_SLOTS)) return JOYERR_PARMS;
  std::lock_guard lock(g_joyMutex);
  const JoySlot& j = g_joys[id];
  if (!j.attached) return JOYERR_UNPLUGGED;
  info->dwXpos = j.Axis(0);
  info->dwYpos = j.Axis(1);
  info->dwButtons = j.buttons;
  return JOYERR_NOERROR;
}
