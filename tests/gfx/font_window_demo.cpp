// Opens the game window and draws Japanese text through the game's fonts (cached and uncached,
// in a framed text box), then keeps the window up until the file named on the command line
// exists (or 20 seconds pass). For a look at real text on screen under an X server.
// Usage: t4_gfx_font_window_demo DONE_FILE
#include <SDL.h>

#include <cstdio>
#include <filesystem>

#include "gfx/font.h"
#include "platform/present/sdl_display.h"
#include "platform/text/rasterizer.h"
#include "window_demo_loop.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  t4::platform::SdlDisplay display;
  if (!display.Open("font demo", 1, false, false, 0, 0)) {
    std::fprintf(stderr, "window: %s\n", SDL_GetError());
    return 1;
  }
  const auto freeType = t4::platform::text::MakeFreeTypeRasterizer();
  t4::platform::text::ScopedRasterizer installedRasterizer(*freeType);
  t4::platform::raster::GraphicsSystem system(display);
  t4::platform::raster::ScopedGraphicsSystem installedSystem(system);
  static DDSURFACEDATA table[72];
  static IMAGESLOT slots[72];
  if (!DDInit(TRUE, nullptr, 640, 480, 32, FALSE, 1, 1, 60, FALSE, table, slots, 72)) return 1;
  DDSetTransmit(255, 0, 255);
  g_Palette[9] = {255, 255, 255, 0};
  g_Palette[10] = {255, 220, 64, 0};
  g_Palette[7] = {64, 160, 255, 0};
  DDFillRect(&BackBuffer, 0, 0, 640, 480, 0xFF203040);
  cFont small, large;
  small.Create("ＭＳ ゴシック", 0, 16, 16, 16, 9, nullptr, 2, 7, nullptr, 1);
  large.Create("ＭＳ 明朝", 0, 30, 32, 32, 10, nullptr, 2, 7, nullptr, 0);
  small.Draw(&BackBuffer, 40, 40,
             "日本語のテキスト表示テスト。\nひらがな、カタカナ、ｶﾀｶﾅ、漢字。\nScore 12345  残り時間 99");
  large.Draw(&BackBuffer, 40, 140, "ゲームオーバー\n続けますか？");
  small.DrawTextBox(&BackBuffer, 40, 300, 0, 0, "メッセージウィンドウの文章です。", 4);
  DDFlip(60);
  t4::test::PresentUntilDone(display, argv[1]);
  small.Release();
  large.Release();
  DDRelease();
  display.Close();
  SDL_Quit();
  return 0;
}
