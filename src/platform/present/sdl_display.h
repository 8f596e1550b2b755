// The game window: an SDL2 window showing the 640 x 480 frames at 100-500% or full screen with
// letter-boxing and integer scaling, or, in a window the player sizes, scaled to fit with its 4:3
// shape kept. Every SDL call happens on the window thread (in Open, SetScale, SetResizable and
// Pump); the drawing thread only drops frames and requests into the mailbox.
#pragma once

#include <mutex>
#include <optional>

#include "platform/present/display.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;

namespace t4::platform {

class SdlDisplay final : public Display {
 public:
  SdlDisplay() = default;
  ~SdlDisplay() override;

  // Window thread. Creates the window at (x, y) with `scale` (1-5) times the screen size. Fails,
  // with NoDisplay() true, when SDL finds no display and would fall back to an invisible driver.
  bool Open(const char* titleUtf8, int scale, bool fullScreen, bool vsync, int x, int y);
  // Window thread: applies pending requests and shows the newest frame. True when it showed one.
  bool Pump();
  void Close();
  // Window thread: the 100-500% sizes of the window.
  void SetScale(int scale);
  // Window thread: lets the player size the window; the picture then fills it as far as its
  // shape allows instead of keeping to whole multiples.
  void SetResizable(bool resizable);
  SDL_Window* Window() const { return m_window; }
  bool NoDisplay() const { return m_bNoDisplay; }

  void PresentFrame(Frame& frame) override;
  void SetFullScreen(bool fullScreen) override;
  void ShowCursor(bool show) override;
  void Minimise() override;
  void RestoreWindow() override;
  int DesktopBpp() const override { return m_desktopBpp; }
  int RefreshRate() const override { return m_refreshRate; }

 private:
  // The newest frame waits in `frame` (when `hasFrame`); frames are swapped, never copied.
  struct Mailbox {
    Frame frame;
    bool hasFrame = false;
    std::optional<bool> fullScreen;
    std::optional<bool> cursor;
    std::optional<bool> minimise;
  };
  std::mutex m_mutex;
  Mailbox m_box;
  Frame m_shown;  // window thread: the frame being uploaded
  // Window thread: draws m_shown letter-boxed into the window as it is now.
  void Draw();
  // The size to letter-box into: the renderer's output, cut to what the window really shows.
  bool OutputSize(int& w, int& h) const;
  SDL_Window* m_window = nullptr;
  SDL_Renderer* m_renderer = nullptr;
  SDL_Texture* m_texture = nullptr;
  int m_scale = 1;
  bool m_bResizable = false;
  // The client size the shown frame was last drawn for: a new size redraws it at once.
  int m_drawnWidth = 0;
  int m_drawnHeight = 0;
  int m_desktopBpp = 32;
  int m_refreshRate = 60;
  uint32_t m_wakeEvent = 0;
  bool m_bNoDisplay = false;
};

}  // namespace t4::platform
