// The keyboard and joystick state that the game reads once per frame: a key table indexed by
// virtual-key code (the codes of the key configuration files, so stored files keep their meaning)
// and up to 16 joystick slots. The window thread writes both from its events; the game thread
// reads them. Tests write them directly.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

// Virtual-key codes the program names.
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F12 = 0x7B;

// joyGetPosEx results and the parts of JOYINFOEX the game reads.
constexpr UINT JOYERR_NOERROR = 0;
constexpr UINT JOYERR_PARMS = 165;
constexpr UINT JOYERR_UNPLUGGED = 167;
constexpr DWORD JOY_RETURNX = 0x1;
constexpr DWORD JOY_RETURNY = 0x2;
constexpr DWORD JOY_RETURNBUTTONS = 0x80;

struct JOYINFOEX {
  DWORD dwSize = 52;
  DWORD dwFlags = 0;
  DWORD dwXpos = 0;  // 0..65535, centre 32767
  DWORD dwYpos = 0;
  DWORD dwButtons = 0;  // bit i = button i + 1
};

namespace t4::platform {

constexpr int JOYSTICK_SLOTS = 16;

// Key table: down or up per virtual-key code.
void SetKeyDown(int vk, bool down);
// Lets every key go (the window lost the focus, so no key-up will come).
void ReleaseAllKeys();
bool IsKeyDown(int vk);

// Joystick slots: a slot is attached or not; axes 0..65535, buttons as a bit mask.
void SetJoystickAttached(int slot, bool attached);
void SetJoystickAxis(int slot, int axis, DWORD value);  // axis 0 X, 1 Y
void SetJoystickButton(int slot, int button, bool down);
void ResetInputDevices();

// The standard mapping of a key of the keyboard to its virtual-key code; 0 for keys the game has
// no code for. `keycode` is an SDL key code.
int VirtualKeyFromSdlKey(int32_t keycode);

}  // namespace t4::platform

// The two queries of the game's input code.
int16_t GetAsyncKeyState(int vk);
UINT joyGetPosEx(UINT id, JOYINFOEX* info);
