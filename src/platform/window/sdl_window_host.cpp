#include <SDL.h>

#include <algorithm>

#include "platform/messages.h"
#include "platform/present/sdl_display.h"
#include "platform/text_codec.h"
#include "platform/window/input_devices.h"
#include "platform/window/window_host.h"

namespace t4::platform {

namespace {

constexpr int SDL_AXIS_TO_JOY = 32768;
constexpr int MAX_CLIENT_SIZE = 16384;

// A hat is read as the two axes, so pads whose cross is a hat steer like a stick.
void SetHat(int slot, Uint8 hat) {
  SetJoystickHat(slot, 0, (hat & SDL_HAT_LEFT) ? 0 : (hat & SDL_HAT_RIGHT) ? 65535 : JOY_CENTRE);
  SetJoystickHat(slot, 1, (hat & SDL_HAT_UP) ? 0 : (hat & SDL_HAT_DOWN) ? 65535 : JOY_CENTRE);
}

}  // namespace

SdlWindowHost::SdlWindowHost(SdlDisplay& display) : m_display(display) {
  SDL_InitSubSystem(SDL_INIT_JOYSTICK);
  SDL_JoystickEventState(SDL_ENABLE);
}

SdlWindowHost::~SdlWindowHost() {
  for (auto& [id, handle] : m_joyHandles) SDL_JoystickClose(static_cast<SDL_Joystick*>(handle));
  SDL_QuitSubSystem(SDL_INIT_JOYSTICK);
}

void SdlWindowHost::SetTitle(std::string_view titleSjis) {
  if (SDL_Window* w = m_display.Window()) SDL_SetWindowTitle(w, Cp932ToUtf8Lossy(titleSjis).c_str());
}

WindowPlacement SdlWindowHost::Placement() const {
  WindowPlacement p;
  SDL_Window* w = m_display.Window();
  if (!w) return p;
  SDL_GetWindowPosition(w, &p.x, &p.y);
  SDL_GetWindowSize(w, &p.clientWidth, &p.clientHeight);
  const Uint32 flags = SDL_GetWindowFlags(w);
  p.minimised = (flags & SDL_WINDOW_MINIMIZED) != 0;
  p.maximised = (flags & SDL_WINDOW_MAXIMIZED) != 0;
  return p;
}

void SdlWindowHost::MoveTo(int x, int y) {
  if (SDL_Window* w = m_display.Window()) SDL_SetWindowPosition(w, x, y);
}

void SdlWindowHost::SetClientSize(int width, int height) {
  // Sizes come from Window.dat too, which nothing bounds; X has no windows past 32767 pixels.
  if (width <= 0 || height <= 0) return;
  if (SDL_Window* w = m_display.Window())
    SDL_SetWindowSize(w, std::min(width, MAX_CLIENT_SIZE), std::min(height, MAX_CLIENT_SIZE));
}

void SdlWindowHost::SetResizable(bool resizable) { m_display.SetResizable(resizable); }

RECT SdlWindowHost::WorkArea() const {
  SDL_Rect r{0, 0, SCREEN_WIDTH, SCREEN_HEIGHT};
  if (SDL_GetDisplayUsableBounds(0, &r) != 0) SDL_GetDisplayBounds(0, &r);
  return RECT{r.x, r.y, r.x + r.w, r.y + r.h};
}

void SdlWindowHost::Show(HWND hWnd, bool maximised) {
  if (SDL_Window* w = m_display.Window()) {
    SDL_ShowWindow(w);
    if (maximised) SDL_MaximizeWindow(w);
  }
  // No window manager under a bare X server ever sends focus: the first show activates.
  PostMessage(hWnd, WM_ACTIVATEAPP, 1, 0);
}

void SdlWindowHost::OpenJoystick(int deviceIndex) {
  SDL_Joystick* j = SDL_JoystickOpen(deviceIndex);
  if (!j) return;
  const int32_t id = SDL_JoystickInstanceID(j);
  if (m_joySlots.count(id)) return;
  for (int slot = 0; slot < JOYSTICK_SLOTS; ++slot) {
    bool used = false;
    for (auto& [other, s] : m_joySlots) used = used || s == slot;
    if (used) continue;
    m_joySlots[id] = slot;
    m_joyHandles[id] = j;
    SetJoystickAttached(slot, true);
    return;
  }
  SDL_JoystickClose(j);
}

void SdlWindowHost::CloseJoystick(int32_t instanceId) {
  auto it = m_joySlots.find(instanceId);
  if (it == m_joySlots.end()) return;
  SetJoystickAttached(it->second, false);
  SDL_JoystickClose(static_cast<SDL_Joystick*>(m_joyHandles[instanceId]));
  m_joyHandles.erase(instanceId);
  m_joySlots.erase(it);
}

void SdlWindowHost::Pump(HWND hWnd) {
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    switch (e.type) {
      case SDL_QUIT: PostMessage(hWnd, WM_CLOSE, 0, 0); break;
      case SDL_WINDOWEVENT:
        switch (e.window.event) {
          case SDL_WINDOWEVENT_CLOSE: PostMessage(hWnd, WM_CLOSE, 0, 0); break;
          case SDL_WINDOWEVENT_FOCUS_GAINED:
          case SDL_WINDOWEVENT_RESTORED: PostMessage(hWnd, WM_ACTIVATEAPP, 1, 0); break;
          case SDL_WINDOWEVENT_FOCUS_LOST:
          case SDL_WINDOWEVENT_MINIMIZED:
            // Keys let go while the window is away never send their key-up.
            ReleaseAllKeys();
            PostMessage(hWnd, WM_ACTIVATEAPP, 0, 0);
            break;
          case SDL_WINDOWEVENT_MOVED: PostMessage(hWnd, WM_MOVE, 0, 0); break;
          case SDL_WINDOWEVENT_SIZE_CHANGED: PostMessage(hWnd, WM_SIZE, 0, 0); break;
          default: break;
        }
        break;
      case SDL_KEYDOWN:
      case SDL_KEYUP: {
        const int vk = VirtualKeyFromSdlKey(e.key.keysym.sym);
        if (vk == 0) break;
        const bool down = e.type == SDL_KEYDOWN;
        SetKeyDown(vk, down);
        // Alt+1 .. Alt+5 stand for the 100% .. 500% items of the window menu.
        if (down && (e.key.keysym.mod & KMOD_ALT) && vk >= '1' && vk <= '5')
          PostMessage(hWnd, WM_SYSCOMMAND, static_cast<WPARAM>(vk - '0'), 0);
        else if (down)
          PostMessage(hWnd, WM_KEYDOWN, static_cast<WPARAM>(SharedVirtualKey(vk)), 0);
        break;
      }
      case SDL_JOYDEVICEADDED: OpenJoystick(e.jdevice.which); break;
      case SDL_JOYDEVICEREMOVED: CloseJoystick(e.jdevice.which); break;
      case SDL_JOYAXISMOTION: {
        auto it = m_joySlots.find(e.jaxis.which);
        if (it != m_joySlots.end() && e.jaxis.axis < 2)
          SetJoystickAxis(it->second, e.jaxis.axis, static_cast<DWORD>(e.jaxis.value + SDL_AXIS_TO_JOY));
        break;
      }
      case SDL_JOYHATMOTION: {
        auto it = m_joySlots.find(e.jhat.which);
        if (it != m_joySlots.end() && e.jhat.hat == 0) SetHat(it->second, e.jhat.value);
        break;
      }
      case SDL_JOYBUTTONDOWN:
      case SDL_JOYBUTTONUP: {
        auto it = m_joySlots.find(e.jbutton.which);
        if (it != m_joySlots.end()) SetJoystickButton(it->second, e.jbutton.button, e.type == SDL_JOYBUTTONDOWN);
        break;
      }
      default: break;
    }
  }
  m_display.Pump();
}

}  // namespace t4::platform
