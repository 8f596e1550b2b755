// Key and pad events as the window thread receives them from SDL: every key of the keyboard
// reaches the key table under its virtual-key code, the two keys of a modifier are one key to the
// shared code, and a pad's cross and stick keep their own positions.
#include <SDL.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/present/sdl_display.h"
#include "platform/window/input_devices.h"
#include "platform/window/window_host.h"

namespace t4::platform {
namespace {

// SDL's event queue without a window: the host reads it as the window thread does.
class SdlInputEvents : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_EVENTS), 0) << SDL_GetError();
    ResetInputDevices();
    m_host = std::make_unique<SdlWindowHost>(m_display);
  }
  void TearDown() override {
    m_host.reset();
    ResetInputDevices();
    SDL_QuitSubSystem(SDL_INIT_EVENTS);
  }
  void Key(SDL_Keycode sym, bool down) {
    SDL_Event e{};
    e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    e.key.keysym.sym = sym;
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
    m_host->Pump(nullptr);
  }
  SdlDisplay m_display;
  std::unique_ptr<SdlWindowHost> m_host;
};

TEST_F(SdlInputEvents, EveryKeyReachesTheKeyTableUnderItsVirtualKeyCode) {
  struct Case {
    SDL_Keycode sym;
    int vk;
  };
  std::vector<Case> cases;
  for (int i = 0; i < 26; ++i) cases.push_back({SDLK_a + i, 'A' + i});
  for (int i = 0; i < 10; ++i) cases.push_back({SDLK_0 + i, '0' + i});
  for (int i = 0; i < 12; ++i) cases.push_back({SDLK_F1 + i, 0x70 + i});
  for (int i = 0; i < 12; ++i) cases.push_back({SDLK_F13 + i, 0x7C + i});
  for (int i = 0; i < 9; ++i) cases.push_back({SDLK_KP_1 + i, 0x61 + i});
  const Case named[] = {
      {SDLK_BACKSPACE, 0x08},   {SDLK_TAB, 0x09},          {SDLK_CLEAR, 0x0C},        {SDLK_RETURN, 0x0D},
      {SDLK_KP_ENTER, 0x0D},    {SDLK_PAUSE, 0x13},        {SDLK_CAPSLOCK, 0x14},     {SDLK_ESCAPE, 0x1B},
      {SDLK_SPACE, 0x20},       {SDLK_PAGEUP, 0x21},       {SDLK_PAGEDOWN, 0x22},     {SDLK_END, 0x23},
      {SDLK_HOME, 0x24},        {SDLK_LEFT, 0x25},         {SDLK_UP, 0x26},           {SDLK_RIGHT, 0x27},
      {SDLK_DOWN, 0x28},        {SDLK_SELECT, 0x29},       {SDLK_EXECUTE, 0x2B},      {SDLK_PRINTSCREEN, 0x2C},
      {SDLK_INSERT, 0x2D},      {SDLK_DELETE, 0x2E},       {SDLK_HELP, 0x2F},         {SDLK_LGUI, 0x5B},
      {SDLK_RGUI, 0x5C},        {SDLK_APPLICATION, 0x5D},  {SDLK_SLEEP, 0x5F},        {SDLK_KP_0, 0x60},
      {SDLK_KP_MULTIPLY, 0x6A}, {SDLK_KP_PLUS, 0x6B},      {SDLK_SEPARATOR, 0x6C},    {SDLK_KP_MINUS, 0x6D},
      {SDLK_KP_PERIOD, 0x6E},   {SDLK_KP_DIVIDE, 0x6F},    {SDLK_NUMLOCKCLEAR, 0x90}, {SDLK_SCROLLLOCK, 0x91},
      {SDLK_LSHIFT, 0xA0},      {SDLK_RSHIFT, 0xA1},       {SDLK_LCTRL, 0xA2},        {SDLK_RCTRL, 0xA3},
      {SDLK_LALT, 0xA4},        {SDLK_RALT, 0xA5},         {SDLK_AC_BACK, 0xA6},      {SDLK_AC_FORWARD, 0xA7},
      {SDLK_AC_REFRESH, 0xA8},  {SDLK_AC_STOP, 0xA9},      {SDLK_AC_SEARCH, 0xAA},    {SDLK_AC_BOOKMARKS, 0xAB},
      {SDLK_AC_HOME, 0xAC},     {SDLK_MUTE, 0xAD},         {SDLK_VOLUMEDOWN, 0xAE},   {SDLK_VOLUMEUP, 0xAF},
      {SDLK_AUDIONEXT, 0xB0},   {SDLK_AUDIOPREV, 0xB1},    {SDLK_AUDIOSTOP, 0xB2},    {SDLK_AUDIOPLAY, 0xB3},
      {SDLK_MAIL, 0xB4},        {SDLK_MEDIASELECT, 0xB5},  {SDLK_COMPUTER, 0xB6},     {SDLK_CALCULATOR, 0xB7},
      {SDLK_SEMICOLON, 0xBA},   {SDLK_EQUALS, 0xBB},       {SDLK_COMMA, 0xBC},        {SDLK_MINUS, 0xBD},
      {SDLK_PERIOD, 0xBE},      {SDLK_SLASH, 0xBF},        {SDLK_BACKQUOTE, 0xC0},    {SDLK_LEFTBRACKET, 0xDB},
      {SDLK_BACKSLASH, 0xDC},   {SDLK_RIGHTBRACKET, 0xDD}, {SDLK_QUOTE, 0xDE},        {SDLK_LESS, 0xE2},
  };
  cases.insert(cases.end(), std::begin(named), std::end(named));
  // A Japanese layout: its @ : ^ and yen keys, and the conversion and non-conversion keys.
  const Case japanese[] = {
      {SDLK_AT, 0xC0},
      {SDLK_COLON, 0xBA},
      {SDLK_CARET, 0xDE},
      {0xA5, 0xDC},
      {SDL_SCANCODE_TO_KEYCODE(SDL_SCANCODE_INTERNATIONAL4), 0x1C},
      {SDL_SCANCODE_TO_KEYCODE(SDL_SCANCODE_INTERNATIONAL5), 0x1D},
  };
  cases.insert(cases.end(), std::begin(japanese), std::end(japanese));
  for (const Case& c : cases) {
    const std::string name = SDL_GetKeyName(c.sym);
    Key(c.sym, true);
    EXPECT_TRUE(IsKeyDown(c.vk)) << name << " as " << c.vk;
    Key(c.sym, false);
    EXPECT_FALSE(IsKeyDown(c.vk)) << name << " let go";
  }
}

TEST_F(SdlInputEvents, AModifierStaysDownWhileEitherOfItsKeysIsHeld) {
  const struct {
    SDL_Keycode left, right;
    int shared;
  } modifiers[] = {{SDLK_LSHIFT, SDLK_RSHIFT, 0x10}, {SDLK_LCTRL, SDLK_RCTRL, 0x11}, {SDLK_LALT, SDLK_RALT, 0x12}};
  for (const auto& m : modifiers) {
    for (const auto& [first, second] : {std::pair{m.left, m.right}, std::pair{m.right, m.left}}) {
      Key(first, true);
      Key(second, true);
      Key(first, false);
      EXPECT_TRUE(IsKeyDown(m.shared)) << SDL_GetKeyName(first) << " let go, " << SDL_GetKeyName(second) << " held";
      Key(second, false);
      EXPECT_FALSE(IsKeyDown(m.shared)) << SDL_GetKeyName(second) << " let go too";
    }
  }
}

TEST_F(SdlInputEvents, ThePadsCrossAndStickKeepTheirOwnPositions) {
  const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, 2, 0, 1);
  ASSERT_GE(index, 0) << SDL_GetError();
  SDL_Joystick* pad = SDL_JoystickOpen(index);
  ASSERT_NE(pad, nullptr) << SDL_GetError();
  auto update = [&] {
    SDL_JoystickUpdate();
    m_host->Pump(nullptr);
  };
  update();  // the host opens the pad it is told of
  JOYINFOEX info;
  ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
  // The stick pushed left, then the cross pushed right and let go: the stick still points left.
  SDL_JoystickSetVirtualAxis(pad, 0, -32768);
  update();
  ASSERT_EQ(joyGetPosEx(0, &info), JOYERR_NOERROR);
  EXPECT_EQ(info.dwXpos, 0u);
  SDL_JoystickSetVirtualHat(pad, 0, SDL_HAT_RIGHT);
  update();
  joyGetPosEx(0, &info);
  EXPECT_EQ(info.dwXpos, 65535u) << "the cross, while pushed";
  SDL_JoystickSetVirtualHat(pad, 0, SDL_HAT_CENTERED);
  update();
  joyGetPosEx(0, &info);
  EXPECT_EQ(info.dwXpos, 0u) << "the cross let go does not re-centre the stick";
  // The cross held down while the stick comes back: down stays.
  SDL_JoystickSetVirtualHat(pad, 0, SDL_HAT_DOWN);
  SDL_JoystickSetVirtualAxis(pad, 0, 0);
  update();
  joyGetPosEx(0, &info);
  EXPECT_EQ(info.dwYpos, 65535u);
  SDL_JoystickSetVirtualAxis(pad, 1, 0);
  update();
  joyGetPosEx(0, &info);
  EXPECT_EQ(info.dwYpos, 65535u) << "the stick at rest does not undo the cross";
  SDL_JoystickClose(pad);
  SDL_JoystickDetachVirtual(index);
  update();
}

}  // namespace
}  // namespace t4::platform
