// The keyboard and joystick state that the game reads once per frame: a key table indexed by
// virtual-key code (the codes of the key configuration files, so stored files keep their meaning)
// and up to 16 joystick slots. The window thread writes both from its events; the game thread
// reads them. Tests write them directly.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

// Virtual-key codes of the keyboard (the values of the key configuration files).
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_CLEAR = 0x0C;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_CONVERT = 0x1C;     // the conversion key of a Japanese keyboard
constexpr int VK_NONCONVERT = 0x1D;  // and its non-conversion key
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_SELECT = 0x29;
constexpr int VK_EXECUTE = 0x2B;
constexpr int VK_SNAPSHOT = 0x2C;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_HELP = 0x2F;
constexpr int VK_LWIN = 0x5B;
constexpr int VK_RWIN = 0x5C;
constexpr int VK_APPS = 0x5D;
constexpr int VK_SLEEP = 0x5F;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SEPARATOR = 0x6C;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F12 = 0x7B;
constexpr int VK_F13 = 0x7C;
constexpr int VK_F24 = 0x87;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;
constexpr int VK_BROWSER_BACK = 0xA6;
constexpr int VK_BROWSER_FORWARD = 0xA7;
constexpr int VK_BROWSER_REFRESH = 0xA8;
constexpr int VK_BROWSER_STOP = 0xA9;
constexpr int VK_BROWSER_SEARCH = 0xAA;
constexpr int VK_BROWSER_FAVORITES = 0xAB;
constexpr int VK_BROWSER_HOME = 0xAC;
constexpr int VK_VOLUME_MUTE = 0xAD;
constexpr int VK_VOLUME_DOWN = 0xAE;
constexpr int VK_VOLUME_UP = 0xAF;
constexpr int VK_MEDIA_NEXT_TRACK = 0xB0;
constexpr int VK_MEDIA_PREV_TRACK = 0xB1;
constexpr int VK_MEDIA_STOP = 0xB2;
constexpr int VK_MEDIA_PLAY_PAUSE = 0xB3;
constexpr int VK_LAUNCH_MAIL = 0xB4;
constexpr int VK_LAUNCH_MEDIA_SELECT = 0xB5;
constexpr int VK_LAUNCH_APP1 = 0xB6;
constexpr int VK_LAUNCH_APP2 = 0xB7;
constexpr int VK_OEM_1 = 0xBA;       // ; :
constexpr int VK_OEM_PLUS = 0xBB;    // = +
constexpr int VK_OEM_COMMA = 0xBC;   // , <
constexpr int VK_OEM_MINUS = 0xBD;   // - _
constexpr int VK_OEM_PERIOD = 0xBE;  // . >
constexpr int VK_OEM_2 = 0xBF;       // / ?
constexpr int VK_OEM_3 = 0xC0;       // ` ~
constexpr int VK_OEM_4 = 0xDB;       // [ {
constexpr int VK_OEM_5 = 0xDC;       // \ |
constexpr int VK_OEM_6 = 0xDD;       // ] }
constexpr int VK_OEM_7 = 0xDE;       // ' "
constexpr int VK_OEM_102 = 0xE2;     // the extra key beside the left Shift

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
// An axis at rest.
constexpr DWORD JOY_CENTRE = 32767;

// Key table: down or up per virtual-key code. The shared Shift, Ctrl and Alt codes read as down
// while either of their left and right keys is down.
void SetKeyDown(int vk, bool down);
// Lets every key go (the window lost the focus, so no key-up will come).
void ReleaseAllKeys();
bool IsKeyDown(int vk);

// Joystick slots: a slot is attached or not; axes 0..65535, buttons as a bit mask.
void SetJoystickAttached(int slot, bool attached);
void SetJoystickAxis(int slot, int axis, DWORD value);  // the stick; axis 0 X, 1 Y
// The cross (hat) of the pad, kept apart from the stick: while pushed, it gives the axis.
void SetJoystickHat(int slot, int axis, DWORD value);
void SetJoystickButton(int slot, int button, bool down);
void ResetInputDevices();

// The standard mapping of a key of the keyboard to its virtual-key code; 0 for keys without one.
// `keycode` is an SDL key code. The modifiers give their left and right codes (0xA0 to 0xA5).
int VirtualKeyFromSdlKey(int32_t keycode);
// The code a key message carries: the shared Shift, Ctrl or Alt code for a left or right one.
int SharedVirtualKey(int vk);

}  // namespace t4::platform

// The two queries of the game's input code.
int16_t GetAsyncKeyState(int vk);
UINT joyGetPosEx(UINT id, JOYINFOEX* info);
