#include "platform/present/sdl_display.h"

#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/present/letterbox.h"
#include "platform/present/sdl_window_size.h"

namespace t4::platform {

namespace {
constexpr int SCREEN_W = SCREEN_WIDTH;
constexpr int SCREEN_H = SCREEN_HEIGHT;

// Whether a GL renderer draws on the CPU (Mesa's llvmpipe or softpipe, as on a virtual X server):
// there a textured quad per frame costs several times the plain copy of SDL's own software
// renderer. Called right after the renderer is made, while its context is current.
bool DrawsOnTheCpu(SDL_Renderer* renderer) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(renderer, &info) != 0 || !info.name || std::strncmp(info.name, "opengl", 6) != 0)
    return false;
  using GetString = const unsigned char* (*)(unsigned);
  const auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
  const unsigned char* name = getString ? getString(0x1F01 /* GL_RENDERER */) : nullptr;
  if (!name) return false;
  const char* text = reinterpret_cast<const char*>(name);
  return std::strstr(text, "llvmpipe") || std::strstr(text, "softpipe") || std::strstr(text, "Software Rasterizer");
}
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
  // Hidden until the renderer is settled: trying GL first makes SDL replace the window with a new
  // one, and a window shown and then destroyed flickers on screen and misleads anything that found
  // it by its class (an automation tool, a window manager's rules).
  const Uint32 flags = (fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) | SDL_WINDOW_HIDDEN;
  m_window = SDL_CreateWindow(titleUtf8, x, y, SCREEN_W * m_scale, SCREEN_H * m_scale, flags);
  if (!m_window) return false;
  // The software renderer's window surface is shown with a plain image upload, not through GL.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  m_renderer = SDL_CreateRenderer(m_window, -1, vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
  if (m_renderer && DrawsOnTheCpu(m_renderer)) {
    SDL_DestroyRenderer(m_renderer);
    m_renderer = nullptr;
  }
  if (!m_renderer) m_renderer = SDL_CreateRenderer(m_window, -1, SDL_RENDERER_SOFTWARE);
  if (!m_renderer) return false;
  // Draw places the picture itself; the logical size only makes SDL hand mouse positions to the
  // dialogs in screen pixels, through the viewport and scale that Draw leaves behind.
  SDL_RenderSetLogicalSize(m_renderer, SCREEN_W, SCREEN_H);
  SDL_RenderSetIntegerScale(m_renderer, m_bResizable ? SDL_FALSE : SDL_TRUE);
  m_texture = SDL_CreateTexture(m_renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, SCREEN_W, SCREEN_H);
  if (!m_texture) return false;
  m_wakeEvent = SDL_RegisterEvents(1);
  SDL_SetRenderDrawColor(m_renderer, 0, 0, 0, 255);
  SDL_ShowWindow(m_window);
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
  m_drawnWidth = 0;
  m_drawnHeight = 0;
}

void SdlDisplay::SetScale(int scale) {
  m_scale = std::clamp(scale, 1, 5);
  if (m_window) SDL_SetWindowSize(m_window, SCREEN_W * m_scale, SCREEN_H * m_scale);
}

void SdlDisplay::SetResizable(bool resizable) {
  m_bResizable = resizable;
  if (m_window) SDL_SetWindowResizable(m_window, resizable ? SDL_TRUE : SDL_FALSE);
  if (m_renderer) SDL_RenderSetIntegerScale(m_renderer, resizable ? SDL_FALSE : SDL_TRUE);
  m_drawnWidth = 0;  // the same size may now take another picture rectangle
}

bool SdlDisplay::OutputSize(int& w, int& h) const {
  if (SDL_GetRendererOutputSize(m_renderer, &w, &h) != 0) return false;
  // The picture goes into the part of the renderer's output the window really shows. Only a full
  // screen can differ (a windowed size comes back from the server), so only it costs a query.
  int realW = 0, realH = 0;
  if ((SDL_GetWindowFlags(m_window) & SDL_WINDOW_FULLSCREEN) != 0 && RealWindowSize(m_window, realW, realH)) {
    w = std::min(w, realW);
    h = std::min(h, realH);
  }
  return true;
}

void SdlDisplay::Draw() {
  int w = 0;
  int h = 0;
  if (!OutputSize(w, h)) return;
  const PictureRect r = LetterboxRect(w, h, !m_bResizable);
  SDL_RenderSetScale(m_renderer, 1.0f, 1.0f);
  SDL_RenderSetViewport(m_renderer, nullptr);
  SDL_RenderClear(m_renderer);
  const SDL_Rect picture{r.x, r.y, r.w, r.h};
  if (r.w > 0 && r.h > 0) SDL_RenderCopy(m_renderer, m_texture, nullptr, &picture);
  SDL_RenderPresent(m_renderer);
  // Set in window pixels at scale 1, then scaled: SDL maps the mouse (and the dialogs' pointer
  // placement) through exactly the rectangle drawn.
  if (r.w > 0 && r.h > 0) {
    SDL_RenderSetViewport(m_renderer, &picture);
    SDL_RenderSetScale(m_renderer, static_cast<float>(r.w) / SCREEN_W, static_cast<float>(r.h) / SCREEN_H);
  }
  m_drawnWidth = w;
  m_drawnHeight = h;
}

bool SdlDisplay::Pump() {
  Mailbox box;
  bool fresh = false;
  {
    std::lock_guard lock(m_mutex);
    box.fullScreen = std::exchange(m_box.fullScreen, std::nullopt);
    box.cursor = std::exchange(m_box.cursor, std::nullopt);
    box.minimise = std::exchange(m_box.minimise, std::nullopt);
    if (m_box.hasFrame) {
      std::swap(m_box.frame, m_shown);
      m_box.hasFrame = false;
      fresh = true;
    }
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
  if (m_shown.width != SCREEN_W || m_shown.height != SCREEN_H) return false;
  if (fresh) {
    SDL_UpdateTexture(m_texture, nullptr, m_shown.pixels.data(), SCREEN_W * 4);
  } else {
    // No new frame: the texture still holds the last one, shown again only when the window's
    // size changed (the player dragging its frame while the game waits).
    int w = 0;
    int h = 0;
    if (!OutputSize(w, h) || (w == m_drawnWidth && h == m_drawnHeight)) return false;
  }
  Draw();
  return fresh;
}

void SdlDisplay::PresentFrame(Frame& frame) {
  {
    std::lock_guard lock(m_mutex);
    std::swap(m_box.frame, frame);
    m_box.hasFrame = true;
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
