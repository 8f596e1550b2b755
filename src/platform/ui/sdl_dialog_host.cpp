#include "platform/ui/sdl_dialog_host.h"

#include <SDL.h>

#include <memory>
#include <vector>

#include "platform/present/sdl_display.h"
#include "platform/text/rasterizer.h"
#include "platform/text_codec.h"
#include "platform/ui/dialog_painter.h"
#include "platform/window/input_devices.h"

namespace t4::platform::ui {

namespace {

// A stick counts as pushed past a quarter of its travel; only the push itself moves the focus.
constexpr int STICK_THRESHOLD = 16384;

struct StickState {
  int x = 0;
  int y = 0;
};

int AxisDirection(int value) { return value < -STICK_THRESHOLD ? -1 : value > STICK_THRESHOLD ? 1 : 0; }

// Events the window's own host must still see after the dialog: a joystick plugged in or out,
// and a close of the game's window (which closes the dialog first).
bool KeepForLater(const SDL_Event& e) {
  return e.type == SDL_JOYDEVICEADDED || e.type == SDL_JOYDEVICEREMOVED || e.type == SDL_QUIT ||
         (e.type == SDL_WINDOWEVENT && e.window.event == SDL_WINDOWEVENT_CLOSE);
}

void HandleEvent(const SDL_Event& e, DialogModel& model, StickState& stick) {
  switch (e.type) {
    case SDL_QUIT: model.RequestClose(); break;
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) model.RequestClose();
      if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) ReleaseAllKeys();
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const bool down = e.type == SDL_KEYDOWN;
      if (down && (e.key.keysym.mod & KMOD_CTRL) && e.key.keysym.sym == SDLK_v) {
        if (char* clip = SDL_GetClipboardText()) {
          model.TypeText(Utf8ToCp932Lossy(clip));
          SDL_free(clip);
        }
        break;
      }
      const int vk = VirtualKeyFromSdlKey(e.key.keysym.sym);
      if (vk == 0) break;
      SetKeyDown(vk, down);
      model.Key(SharedVirtualKey(vk), down, (e.key.keysym.mod & KMOD_SHIFT) != 0);
      break;
    }
    case SDL_TEXTEDITING: model.SetComposition(Utf8ToCp932Lossy(e.edit.text)); break;
    case SDL_TEXTINPUT:
      model.SetComposition("");
      model.TypeText(Utf8ToCp932Lossy(e.text.text));
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (e.button.button == SDL_BUTTON_LEFT) model.MouseDown(e.button.x, e.button.y, e.button.clicks >= 2);
      break;
    case SDL_JOYBUTTONDOWN: model.JoyButton(e.jbutton.button); break;
    case SDL_JOYHATMOTION: {
      const Uint8 h = e.jhat.value;
      const int dx = (h & SDL_HAT_LEFT) ? -1 : (h & SDL_HAT_RIGHT) ? 1 : 0;
      const int dy = (h & SDL_HAT_UP) ? -1 : (h & SDL_HAT_DOWN) ? 1 : 0;
      if (dx != 0 || dy != 0) model.JoyDirection(dx, dy);
      break;
    }
    case SDL_JOYAXISMOTION: {
      if (e.jaxis.axis > 1) break;
      int& was = e.jaxis.axis == 0 ? stick.x : stick.y;
      const int now = AxisDirection(e.jaxis.value);
      if (now != was && now != 0) model.JoyDirection(e.jaxis.axis == 0 ? now : 0, e.jaxis.axis == 1 ? now : 0);
      was = now;
      break;
    }
    default: break;
  }
}

}  // namespace

void SdlDialogHost::RunModal(DialogModel& model, const std::function<bool()>& done,
                             const std::function<void()>& serve) {
  std::unique_ptr<text::Face> face = OpenDialogFont(model.Template());
  SDL_StartTextInput();
  // The mouse works in dialogs also where the game hides it (full screen).
  const int cursorWas = SDL_ShowCursor(SDL_QUERY);
  SDL_ShowCursor(SDL_ENABLE);
  if (model.CursorX() >= 0 && SDL_GetWindowFlags(m_display.Window()) & SDL_WINDOW_INPUT_FOCUS) {
    SDL_Renderer* renderer = SDL_GetRenderer(m_display.Window());
    float wx = static_cast<float>(model.CursorX());
    float wy = static_cast<float>(model.CursorY());
    int x = 0;
    int y = 0;
    if (renderer) {
      SDL_RenderLogicalToWindow(renderer, wx, wy, &x, &y);
      SDL_WarpMouseInWindow(m_display.Window(), x, y);
    }
  }
  std::vector<SDL_Event> later;
  StickState stick;
  while (!done()) {
    Frame frame = m_background ? m_background() : Frame{};
    if (frame.width != FRAME_W || frame.height != FRAME_H) {
      frame.width = FRAME_W;
      frame.height = FRAME_H;
      frame.pixels.assign(static_cast<size_t>(FRAME_W) * FRAME_H, 0);
    }
    if (face) PaintDialog(model, *face, frame);
    m_display.PresentFrame(frame);
    m_display.Pump();
    SDL_Event e;
    bool more = SDL_WaitEventTimeout(&e, 20) != 0;
    while (more) {
      if (KeepForLater(e)) later.push_back(e);
      HandleEvent(e, model, stick);
      more = !done() && SDL_PollEvent(&e);
    }
    if (serve) serve();
  }
  SDL_StopTextInput();
  SDL_ShowCursor(cursorWas);
  for (SDL_Event& e : later) SDL_PushEvent(&e);
  // Keys still held when the dialog ends must not reach the game as fresh presses.
  ReleaseAllKeys();
}

}  // namespace t4::platform::ui
