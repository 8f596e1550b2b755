// Opens the game window, draws a known pattern through the drawing layer and presents it, then
// keeps the window up until the file named on the command line exists (or 20 seconds pass).
// Usage: t4_gfx_window_demo SCALE DONE_FILE
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "gfx/dd.h"
#include "platform/present/sdl_display.h"
#include "window_demo_loop.h"

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  const int scale = std::atoi(argv[1]);
  t4::platform::SdlDisplay display;
  if (!display.Open("demo", scale, false, false, 0, 0)) {
    std::fprintf(stderr, "window: %s\n", SDL_GetError());
    return 1;
  }
  t4::platform::raster::GraphicsSystem system(display);
  t4::platform::raster::ScopedGraphicsSystem installedSystem(system);
  static DDSURFACEDATA table[72];
  static IMAGESLOT slots[72];
  if (!DDInit(TRUE, nullptr, 640, 480, 32, FALSE, 1, 1, 60, FALSE, table, slots, 72)) return 1;
  DDFillRect(&BackBuffer, 0, 0, 320, 240, 0xFFFF0000);
  DDFillRect(&BackBuffer, 320, 0, 320, 240, 0xFF00FF00);
  DDFillRect(&BackBuffer, 0, 240, 320, 240, 0xFF0000FF);
  DDFillRect(&BackBuffer, 320, 240, 320, 240, 0xFFFFFFFF);
  DDSURFACEDATA dot;
  DDCreateSurface(&dot, 1, 1, FALSE, 0, DTMEMORYTYPE_VIDEO_RT, nullptr);
  DDFillRect(&dot, 0, 0, 1, 1, 0xFFFF00FF);
  DDBlt(&BackBuffer, 100, 100, 1, 1, &dot, 0, 0, BLT_OPAQUE);
  DDFlip(60);
  t4::test::PresentUntilDone(display, argv[2]);
  DDReleaseSurface(&dot);
  DDRelease();
  display.Close();
  SDL_Quit();
  return 0;
}
