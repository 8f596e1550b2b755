#include <SDL.h>

#include "platform/window/input_devices.h"

namespace t4::platform {

namespace {

struct KeyCode {
  SDL_Keycode sdl;
  int vk;
};

// Every key of the keyboard that has a virtual-key code, apart from the letters, digits, F keys and
// keypad digits (ranges, below). Left and right modifiers keep codes of their own; the key table
// answers the shared Shift, Ctrl and Alt codes from them.
constexpr KeyCode KEY_CODES[] = {
    {SDLK_BACKSPACE, VK_BACK},
    {SDLK_TAB, VK_TAB},
    {SDLK_CLEAR, VK_CLEAR},
    {SDLK_KP_CLEAR, VK_CLEAR},
    {SDLK_RETURN, VK_RETURN},
    {SDLK_RETURN2, VK_RETURN},
    {SDLK_KP_ENTER, VK_RETURN},
    {SDLK_PAUSE, VK_PAUSE},
    {SDLK_CAPSLOCK, VK_CAPITAL},
    {SDLK_ESCAPE, VK_ESCAPE},
    {SDLK_SPACE, VK_SPACE},
    {SDLK_PAGEUP, VK_PRIOR},
    {SDLK_PAGEDOWN, VK_NEXT},
    {SDLK_END, VK_END},
    {SDLK_HOME, VK_HOME},
    {SDLK_LEFT, VK_LEFT},
    {SDLK_UP, VK_UP},
    {SDLK_RIGHT, VK_RIGHT},
    {SDLK_DOWN, VK_DOWN},
    {SDLK_SELECT, VK_SELECT},
    {SDLK_EXECUTE, VK_EXECUTE},
    {SDLK_PRINTSCREEN, VK_SNAPSHOT},
    {SDLK_INSERT, VK_INSERT},
    {SDLK_DELETE, VK_DELETE},
    {SDLK_HELP, VK_HELP},
    {SDLK_LGUI, VK_LWIN},
    {SDLK_RGUI, VK_RWIN},
    {SDLK_APPLICATION, VK_APPS},
    {SDLK_SLEEP, VK_SLEEP},
    {SDLK_KP_0, VK_NUMPAD0},
    {SDLK_KP_MULTIPLY, VK_MULTIPLY},
    {SDLK_KP_PLUS, VK_ADD},
    {SDLK_SEPARATOR, VK_SEPARATOR},
    {SDLK_KP_MINUS, VK_SUBTRACT},
    {SDLK_KP_PERIOD, VK_DECIMAL},
    {SDLK_KP_DECIMAL, VK_DECIMAL},
    {SDLK_KP_DIVIDE, VK_DIVIDE},
    {SDLK_NUMLOCKCLEAR, VK_NUMLOCK},
    {SDLK_SCROLLLOCK, VK_SCROLL},
    {SDLK_LSHIFT, VK_LSHIFT},
    {SDLK_RSHIFT, VK_RSHIFT},
    {SDLK_LCTRL, VK_LCONTROL},
    {SDLK_RCTRL, VK_RCONTROL},
    {SDLK_LALT, VK_LMENU},
    {SDLK_RALT, VK_RMENU},
    {SDLK_AC_BACK, VK_BROWSER_BACK},
    {SDLK_AC_FORWARD, VK_BROWSER_FORWARD},
    {SDLK_AC_REFRESH, VK_BROWSER_REFRESH},
    {SDLK_AC_STOP, VK_BROWSER_STOP},
    {SDLK_AC_SEARCH, VK_BROWSER_SEARCH},
    {SDLK_AC_BOOKMARKS, VK_BROWSER_FAVORITES},
    {SDLK_AC_HOME, VK_BROWSER_HOME},
    {SDLK_MUTE, VK_VOLUME_MUTE},
    {SDLK_VOLUMEDOWN, VK_VOLUME_DOWN},
    {SDLK_VOLUMEUP, VK_VOLUME_UP},
    {SDLK_AUDIONEXT, VK_MEDIA_NEXT_TRACK},
    {SDLK_AUDIOPREV, VK_MEDIA_PREV_TRACK},
    {SDLK_AUDIOSTOP, VK_MEDIA_STOP},
    {SDLK_AUDIOPLAY, VK_MEDIA_PLAY_PAUSE},
    {SDLK_MAIL, VK_LAUNCH_MAIL},
    {SDLK_MEDIASELECT, VK_LAUNCH_MEDIA_SELECT},
    {SDLK_COMPUTER, VK_LAUNCH_APP1},
    {SDLK_CALCULATOR, VK_LAUNCH_APP2},
    {SDLK_SEMICOLON, VK_OEM_1},
    {SDLK_EQUALS, VK_OEM_PLUS},
    {SDLK_COMMA, VK_OEM_COMMA},
    {SDLK_MINUS, VK_OEM_MINUS},
    {SDLK_PERIOD, VK_OEM_PERIOD},
    {SDLK_SLASH, VK_OEM_2},
    {SDLK_BACKQUOTE, VK_OEM_3},
    {SDLK_LEFTBRACKET, VK_OEM_4},
    {SDLK_BACKSLASH, VK_OEM_5},
    {SDLK_RIGHTBRACKET, VK_OEM_6},
    {SDLK_QUOTE, VK_OEM_7},
    {SDLK_LESS, VK_OEM_102},
    // The keys of a Japanese keyboard that have no match above: its @ : ^ and yen keys, and the
    // conversion keys beside the space bar.
    {SDLK_AT, VK_OEM_3},
    {SDLK_COLON, VK_OEM_1},
    {SDLK_CARET, VK_OEM_7},
    {0xA5, VK_OEM_5},
    {SDL_SCANCODE_TO_KEYCODE(SDL_SCANCODE_INTERNATIONAL4), VK_CONVERT},
    {SDL_SCANCODE_TO_KEYCODE(SDL_SCANCODE_INTERNATIONAL5), VK_NONCONVERT},
};

}  // namespace

int VirtualKeyFromSdlKey(int32_t keycode) {
  if (keycode >= SDLK_a && keycode <= SDLK_z) return 'A' + (keycode - SDLK_a);
  if (keycode >= SDLK_0 && keycode <= SDLK_9) return '0' + (keycode - SDLK_0);
  if (keycode >= SDLK_F1 && keycode <= SDLK_F12) return VK_F1 + (keycode - SDLK_F1);
  if (keycode >= SDLK_F13 && keycode <= SDLK_F24) return VK_F13 + (keycode - SDLK_F13);
  if (keycode >= SDLK_KP_1 && keycode <= SDLK_KP_9) return VK_NUMPAD0 + 1 + (keycode - SDLK_KP_1);
  for (const KeyCode& k : KEY_CODES)
    if (k.sdl == keycode) return k.vk;
  return 0;
}

}  // namespace t4::platform
