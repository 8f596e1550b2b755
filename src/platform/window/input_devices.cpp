#include "platform/window/input_devices.h"

#include <SDL.h>

#include <array>
#include <atomic>
#include <mutex>

namespace t4::platform {

namespace {

std::array<std::atomic<uint8_t>, 256> g_keys{};

struct JoySlot {
  bool attached = false;
  DWORD axes[2] = {32767, 32767};
  DWORD buttons = 0;
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

bool IsKeyDown(int vk) { return vk > 0 && vk < 256 && g_keys[static_cast<size_t>(vk)].load() != 0; }

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

int VirtualKeyFromSdlKey(int32_t keycode) {
  if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
  if (keycode >= SDLK_0 && keycode <= SDLK_9) return '0' + (keycode - SDLK_0);
  if (keycode >= SDLK_F1 && keycode <= SDLK_F12) return VK_F1 + (keycode - SDLK_F1);
  if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (keycode - SDLK_KP_1);
  switch (keycode) {
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_UP: return VK_UP;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_RETURN: case SDLK_KP_ENTER: return VK_RETURN;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_TAB: return VK_TAB;
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_LSHIFT: case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL: case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT: case SDLK_RALT: return VK_MENU;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_HOME: return VK_HOME;
    case SDLK_END: return VK_END;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_KP_0: return VK_NUMPAD0;
    case SDLK_KP_MULTIPLY: return VK_MULTIPLY;
    case SDLK_KP_PLUS: return VK_ADD;
    case SDLK_KP_MINUS: return VK_SUBTRACT;
    case SDLK_KP_PERIOD: return VK_DECIMAL;
    case SDLK_KP_DIVIDE: return VK_DIVIDE;
    case SDLK_COMMA: return 0xBC;
    case SDLK_MINUS: return 0xBD;
    case SDLK_PERIOD: return 0xBE;
    case SDLK_SLASH: return 0xBF;
    default: return 0;
  }
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
  info->dwXpos = j.axes[0];
  info->dwYpos = j.axes[1];
  info->dwButtons = j.buttons;
  return JOYERR_NOERROR;
}
