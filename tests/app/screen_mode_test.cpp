#include <gtest/gtest.h>

#include <string>

#include "app/screen_mode.h"

namespace {

constexpr const char* WINDOW_DEPTH_ERROR =
    "画面モードが不正です！\nウインドウモードではSystem.iniの設定と画面の色の設定を合わせて下さい！";
constexpr const char* GENERAL_ERROR = "画面モードが不正です！\nSystem.iniと画面の設定を見直して下さい！";

TEST(ScreenModeTest, DepthAndVSyncFollowTheSettingsAndTheDesktop) {
  struct Case {
    const char* name;
    SCREENMODEINPUT in;
    int32_t bpp;
    int32_t vsync;
    const char* error;
  } cases[] = {
      // d3d, window mode, bpp, vsync, desktop, full colour, d3d depth, dd depth, modern
      {"d3d window takes the desktop depth", {1, 1, 0, 2, 32, 0, 0, 0, 1}, 32, 1, nullptr},
      {"d3d full screen prefers 16", {1, 0, 0, 2, 32, 0, 1, 0, 1}, 16, 1, nullptr},
      {"dd full screen 8 bits for a palette project", {0, 0, 0, 2, 32, 0, 0, 2, 1}, 8, 0, nullptr},
      {"dd full screen full colour gets 32", {0, 0, 0, 2, 32, 1, 0, 2, 0}, 32, 1, nullptr},
      {"dd window never waits", {0, 1, 0, 1, 16, 0, 0, 0, 1}, 16, 0, nullptr},
      {"window 16 on a 32-bit desktop", {1, 1, 16, 2, 32, 0, 0, 0, 1}, 16, 1, WINDOW_DEPTH_ERROR},
      {"8 bits with Direct3D", {1, 0, 8, 2, 32, 0, 0, 0, 1}, 8, 1, GENERAL_ERROR},
      {"8 bits in a DirectDraw window", {0, 1, 8, 2, 8, 0, 0, 0, 1}, 8, 0, GENERAL_ERROR},
  };
  for (const Case& c : cases) {
    const SCREENMODE m = SelectScreenMode(c.in);
    EXPECT_EQ(m.nBpp, c.bpp) << c.name;
    EXPECT_EQ(m.nVSync, c.vsync) << c.name;
    EXPECT_EQ(m.bValid, c.error ? 0 : 1) << c.name;
    EXPECT_EQ(std::string(m.lpError ? m.lpError : ""), std::string(c.error ? c.error : "")) << c.name;
  }
}

}  // namespace
