// The screen as the drawing layer sees it: finished 640 x 480 frames go in, window state requests
// go out. The SDL presenter shows the frames in a window; the headless one keeps the last frame.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace t4::platform {

// The game's screen: every frame is this size, whatever the window shows.
constexpr int SCREEN_WIDTH = 640;
constexpr int SCREEN_HEIGHT = 480;

// One finished frame, 0x00RRGGBB per pixel, top row first.
struct Frame {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// 64-bit FNV-1a over the size and the pixels: equal frames give equal hashes on every run.
uint64_t HashFrame(const Frame& frame);
// Writes the frame as an 8-bit RGB PNG; false when the file cannot be written.
bool WritePng(const Frame& frame, const std::string& path);

class Display {
 public:
  virtual ~Display() = default;
  // Called on the drawing thread; must not block for long. Takes the frame's pixels and hands back
  // in `frame` a buffer (of any content) for the caller's next frame, so that frames circulate
  // between the drawing and the showing side without being allocated or copied.
  virtual void PresentFrame(Frame& frame) = 0;
  virtual void SetFullScreen(bool fullScreen) = 0;
  virtual void ShowCursor(bool show) = 0;
  virtual void Minimise() = 0;
  virtual void RestoreWindow() = 0;
  // Depth of the desktop (24 is reported as 32) and its refresh rate in Hz.
  virtual int DesktopBpp() const = 0;
  virtual int RefreshRate() const = 0;
};

// Keeps the last frame and the window state for screenshots, hashes and tests.
class HeadlessDisplay final : public Display {
 public:
  void PresentFrame(Frame& frame) override {
    std::swap(m_last, frame);
    ++m_frames;
  }
  void SetFullScreen(bool fullScreen) override { m_fullScreen = fullScreen; }
  void ShowCursor(bool show) override { m_cursor = show; }
  void Minimise() override { m_minimised = true; }
  void RestoreWindow() override { m_minimised = false; }
  int DesktopBpp() const override { return m_desktopBpp == 24 ? 32 : m_desktopBpp; }
  int RefreshRate() const override { return m_refreshRate; }

  void SetDesktop(int bpp, int refreshRate) {
    m_desktopBpp = bpp;
    m_refreshRate = refreshRate;
  }
  const Frame& LastFrame() const { return m_last; }
  int FrameCount() const { return m_frames; }
  bool IsFullScreen() const { return m_fullScreen; }
  bool IsCursorShown() const { return m_cursor; }
  bool IsMinimised() const { return m_minimised; }

 private:
  Frame m_last;
  int m_frames = 0;
  bool m_fullScreen = false;
  bool m_cursor = true;
  bool m_minimised = false;
  int m_desktopBpp = 32;
  int m_refreshRate = 60;
};

}  // namespace t4::platform
