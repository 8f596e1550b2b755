// Every drawing mode the start-up allows draws the same game: the title, the options, the world
// map, a stage in play with its pause menu and a message window, its clear display and a frame of
// every demo stage, each compared with the render mode's 32-bit window. The differences allowed
// are those the modes are known to have, each with its own rule; anything else fails with the
// scene, the mode and the first pixel that differs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/menu_scene.h"
#include "demo_routes.h"
#include "gfx/font.h"
#include "menu_driver.h"
#include "scene_test_util.h"
#include "persist/system_data.h"
#include "platform/window/input_devices.h"
#include "stage/input.h"
#include "stage/message_window.h"
#include "stage/scene_play.h"
#include "platform/present/display.h"
#include "stage/game.h"
#include "support/dd_fixture.h"
#include "support/scoped_value.h"

namespace t4::test {
namespace {

// The modes of the start-up: render mode at 32 and 16 bits, window and full screen; blit mode at
// 32 and 16 bits, window and full screen, and at 8 bits full screen.
constexpr DDMode kParityModes[] = {
    {"d3d32_window", true, 32, 1}, {"d3d32_full", true, 32, 0},   {"d3d16_window", true, 16, 1},
    {"d3d16_full", true, 16, 0},   {"dd32_window", false, 32, 1}, {"dd32_full", false, 32, 0},
    {"dd16_window", false, 16, 1}, {"dd16_full", false, 16, 0},   {"dd8_full", false, 8, 0},
};

using Shots = std::map<std::string, platform::Frame>;

// The game's fonts and digit strips, as the program's start-up makes them.
class ScopedProgramFonts {
 public:
  ScopedProgramFonts() {
    EXPECT_EQ(DDCreateFonts(g_Fonts, g_FontDescs, 3), 1);
    EXPECT_EQ(DDCreateDigitStrips(g_DigitStripSD, g_DigitStripSlots, 3, g_Fonts, g_FontDescs), 1);
  }
  ~ScopedProgramFonts() {
    for (DDSURFACEDATA& sd : g_DigitStripSD) DDReleaseSurface(&sd);
    for (cFont& f : g_Fonts) f.Release();
  }
  ScopedProgramFonts(const ScopedProgramFonts&) = delete;
  ScopedProgramFonts& operator=(const ScopedProgramFonts&) = delete;
};

// The frame the scene drew, presented as the game's frame loop ends each frame and read back from
// the screen (through the hardware palette at 8 bits).
platform::Frame Shot(StageHarness& h) {
  g_Game.Present();
  return h.LastFrame();
}

// The scenes of one run in `mode`.
Shots TakeShots(const DDMode& mode) {
  Shots shots;
  {
    MenuDriver d(SCENE_TITLE, mode);
    ScopedProgramFonts fonts;
    const auto take = [&](const char* name) { shots[name] = Shot(d.Harness()); };
    EXPECT_TRUE(d.RunUntilState(TITLE_MENU, 200));
    d.Frames(2);
    take("title");
    // A new game in the first slot, to the world map.
    d.Button(MENU_BUTTON_1);
    d.Frame();
    d.Button(MENU_BUTTON_1);
    EXPECT_TRUE(d.RunUntilScene(SCENE_WORLDMAP, MAP_WALK));
    d.Frames(2);
    take("world_map");
    // Along the road to the meadow, "yes", and into play.
    for (int i = 0; i < 4; ++i) d.Press(INPUT_RIGHT);
    d.Press(INPUT_UP);
    d.Button(MENU_BUTTON_1);
    EXPECT_TRUE(d.RunUntilScene(SCENE_PLAY, PLAY_PLAY, 400));
    d.Frames(30);
    take("meadow_in_play");
    // The pause menu over the stage, opened with the space key and closed with button 2.
    {
      ScopedValue<int32_t> spacePause(g_SystemData.m_bSpacePause, 1);
      d.Harness().SetKey(VK_SPACE, true);
      d.Frame();
      d.Harness().SetKey(VK_SPACE, false);
      EXPECT_EQ(d.State(), PLAY_PAUSE);
      d.Frames(5);
      take("pause_menu");
      d.Button(MENU_BUTTON_2);
      EXPECT_EQ(d.State(), PLAY_PLAY);
    }
    // A boxed message window in the stage.
    MSGWINDOWPARAM text;
    text.nKind = MSGWIN_TEXT;
    text.lpText = "Hello, world!\nScore 1234";
    text.nPlacement = 7;
    text.nUnit = 1;
    text.nX = 40;
    text.nY = 120;
    text.bFixed = 1;
    text.bBox = 1;
    text.nDuration = MSGWIN_UNTIL_END;
    AddMessageWindow(g_lpScenePlay->m_MessageWindows, text);
    g_lpScenePlay->DrawFrozen();
    take("message_window");
    g_lpScenePlay->m_MessageWindows.clear();
    EXPECT_GT(PlayToClear(d, MEADOW_1), 0);
    d.Frames(40);
    take("clear_display");
  }
  {
    MenuDriver d(SCENE_OPTION, mode);
    ScopedProgramFonts fonts;
    EXPECT_TRUE(d.RunUntilState(OPTION_MENU, 200));
    d.Frames(2);
    shots["options"] = Shot(d.Harness());
  }
  for (const char* stage : {"demo1-2", "demo2-1", "demo3-1", "demo4-1", "c01-1", "c02-1", "c03-1"}) {
    StageHarness h(mode);
    ScopedProgramFonts fonts;
    EXPECT_TRUE(h.StartFile(std::string("data\\stg4\\") + stage + ".stg4")) << stage;
    EXPECT_GE(h.RunUntilState(PLAY_PLAY), 0) << stage;
    h.Frames(30);
    shots[stage] = Shot(h);
  }
  return shots;
}

// How far two colours are apart: the largest channel difference.
int Distance(uint32_t a, uint32_t b) {
  int d = 0;
  for (int shift = 0; shift < 24; shift += 8)
    d = std::max(d, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
  return d;
}

struct Difference {
  int pixels = 0;   // pixels that differ at all
  int beyond = 0;   // pixels that differ by more than the mode allows
  int largest = 0;  // the largest channel difference seen
  int firstX = -1, firstY = -1;
};

// The mode's allowance for one pixel, given the reference's pixel and the mode's.
//  - 16 bits: each channel is kept in 5 or 6 bits, the low bits cut off, and shown again with
//    its top bits repeated below, so a colour shows up to 7 of 255 away from its 32-bit value
//    (one 5-bit step less one).
//  - Glyph edges (blended into the ground in the render mode, one colour in the blit mode) need no
//    allowance here: the suite's fixed-metric face draws whole-colour glyphs in every mode.
//  - The 8-bit palette effects (fades, cycling) are not running in any of the frames taken.
bool Allowed(const DDMode& mode, uint32_t ref, uint32_t got) {
  const int d = Distance(ref, got);
  if (d == 0) return true;
  return mode.bpp == 16 && d <= 7;
}

// Pixels no mode decides: the world map's walker steps on a counter that runs on across scenes
// and across the runs of this test, so its cell shows either step whatever the mode.
bool Masked(const std::string& scene, int x, int y) {
  return scene == "world_map" && x >= 288 && x < 288 + 32 && y >= 224 && y < 224 + 32;
}

Difference Compare(const DDMode& mode, const std::string& scene, const platform::Frame& ref,
                   const platform::Frame& got) {
  Difference diff;
  if (ref.width != got.width || ref.height != got.height || ref.pixels.size() != got.pixels.size()) {
    diff.beyond = diff.pixels = 640 * 480;
    return diff;
  }
  for (int y = 0; y < ref.height; ++y)
    for (int x = 0; x < ref.width; ++x) {
      const size_t i = static_cast<size_t>(y) * ref.width + x;
      if (ref.pixels[i] == got.pixels[i] || Masked(scene, x, y)) continue;
      ++diff.pixels;
      diff.largest = std::max(diff.largest, Distance(ref.pixels[i], got.pixels[i]));
      if (Allowed(mode, ref.pixels[i], got.pixels[i])) continue;
      if (diff.beyond++ == 0) {
        diff.firstX = x;
        diff.firstY = y;
      }
    }
  return diff;
}

const Shots& Reference() {
  static const Shots shots = TakeShots(kParityModes[0]);
  return shots;
}

class ModeParity : public ::testing::TestWithParam<DDMode> {};

TEST_P(ModeParity, EveryModeDrawsTheScenesAsTheRenderWindowDoes) {
  const Shots& ref = Reference();
  const Shots got = TakeShots(GetParam());
  ASSERT_EQ(got.size(), ref.size());
  for (const auto& [scene, frame] : ref) {
    SCOPED_TRACE(scene);
    // A picture, not an empty screen: the comparison means something only then.
    ASSERT_EQ(frame.width, 640);
    EXPECT_GE(std::set<uint32_t>(frame.pixels.begin(), frame.pixels.end()).size(), 4u);
    ASSERT_TRUE(got.count(scene));
    // T4_DUMP_FRAMES=DIR keeps each mode's pictures for a look by eye.
    if (const char* dir = std::getenv("T4_DUMP_FRAMES")) {
      platform::WritePng(got.at(scene), std::string(dir) + "/" + GetParam().name + "_" + scene + ".png");
      platform::WritePng(frame, std::string(dir) + "/reference_" + scene + ".png");
    }
    const Difference d = Compare(GetParam(), scene, frame, got.at(scene));
    // The measured differences, for a person to read in the test's output.
    std::printf("[parity] %-14s %-16s differing %6d (largest %3d) beyond allowance %6d\n", GetParam().name,
                scene.c_str(), d.pixels, d.largest, d.beyond);
    EXPECT_EQ(d.beyond, 0) << "first at (" << d.firstX << ", " << d.firstY << ")";
  }
}

INSTANTIATE_TEST_SUITE_P(Modes, ModeParity, ::testing::ValuesIn(kParityModes), ModeName);

}  // namespace
}  // namespace t4::test
