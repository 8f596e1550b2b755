#include "platform/present/sdl_display.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace t4::platform {

namespace {
constexpr int SCREEN_W = 640;
constexpr int SCREEN_H = 480;
}  // namespace

SdlDisplay::~SdlDisplay() { Close(); }

bool SdlDisplay::Open(const char* titleUtf8, int scale, bool fullScreen, bool vsync, int x, int y) {
  m_bNoDisplay = false;
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    m_bNoDisplay = true;
    return false;
  }
  // Without a display SDL settles on a driver that shows nothing; a window nobody can see is
  // a failed start, not a run.
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0) {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    m_bNoDisplay = true;
    return false;
  }
  SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
  SDL_DisplayMode mode;
  if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
    const int bpp = static_cast<int>(SDL_BITSPERPIXEL(mode.format));
    // A 24-bit desktop is shown to the game as 32 bits, like the drivers it was written for.
    m_desktopBpp = bpp == 24 || bpp == 0 ? 32 : bpp;
    m_refreshRate = mode.refresh_rate > 0 ? mode.refresh_rate : 60;
  }
  m_scale = std::clamp(scale, 1, 5);
  const Uint32 flags = fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0;
  m_window = SDL_CreateWindow(titleUtf8, x, y, SCREEN_W * m_scale, SCREEN_H * m_scale, flags);
  if (!m_window) return false;
  m_renderer = SDL_CreateRenderer(m_window, -1, vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
  if (!m_renderer) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
  if (!m_renderer) return false;
  SDL_RenderSetLogicalSize(m_renderer, SCREEN_W, SCREEN_H);
  SDL_RenderSetIntegerScale(m_renderer, SDL_TRUE);
  m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, SCREEN_W, SCREEN_H);
  if (!m_texture) return false;
  m_wakeEvent = SDL_RegisterEvents(1);
  SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
  SDL_RenderClear(m_renderer);
  SDL_RenderPresent(m_renderer);
  return true;
}

void SdlDisplay::Close() {
  if (m_texture) SDL_DestroyTexture(m_texture);
  if (m_renderer) SDL_DestroyRenderer(m_renderer);
  if (m_window) SDL_DestroyWindow(m_window);
  m_texture = nullptr;
  m_renderer = nullptr;
  m_window = nullptr;
}

void SdlDisplay::SetScale(int scale) {
  m_scale = std::clamp(scale, 1, 5);
  if (m_window) SDL_SetWindowSize(m_window, SCREEN_W * m_scale, SCREEN_H * m_scale);
}

bool SdlDisplay::Pump() {
  Mailbox box;
  {
    std::lock_guard lock(m_mutex);
    box = std::move(m_box);
    m_box = {};
  }
  if (!m_window) return false;
  if (box.fullScreen) SDL_SetWindowFullscreen(m_window, *box.fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
  if (box.cursor) SDL_ShowCursor(*box.cursor ? SDL_ENABLE : SDL_DISABLE);
  if (box.minimise) {
    if (*box.minimise)
      SDL_MinimizeWindow(m_window);
    else
      SDL_RestoreWindow(m_window);
  }
  if (!box.frame || box.frame->width != SCREEN_W || box.frame->height != SCREEN_H) return false;
  SDL_UpdateTexture(m_texture, nullptr, box.frame->pixels.data(), SCREEN_W * 4);
  SDL_RenderClear(m_renderer);
  SDL_RenderCopy(m_renderer, m_texture, nullptr, nullptr);
  SDL_RenderPresent(m_renderer);
  return true;
}

void SdlDisplay::PresentFrame(Frame frame) {
  {
    std::lock_guard lock(m_mutex);
    m_box.frame = std::move(frame);
  }
  // Wakes the window thread's event wait; SDL_PushEvent is safe from any thread.
  if (m_wakeEvent != 0 && m_wakeEvent != static_cast<uint32_t>(-1)) {
    SDL_Event e{};
    e.type = m_wakeEvent;
    SDL_PushEvent(&e);
  }
}

void SdlDisplay::SetFullScreen(bool fullScreen) {
  std::lock_guard lock(m_mutex);
  m_box.fullScreen = fullScreen;
}

void SdlDisplay::ShowCursor(bool show) {
  std::lock_guard lock(m_mutex);
  m_box.cursor = show;
}

void SdlDisplay::Minimise() {
  std::lock_guard lock(m_mutex);
  m_box.minimise = true;
}

void SdlDisplay::RestoreWindow() {
  std::lock_guard lock(m_mutex);
  m_box.minimise = false;
}

}  // namespace t4::platform
