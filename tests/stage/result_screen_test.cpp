// The result screen after a clear: the press that closes the rankings stays with them, and the
// registration hint is drawn in the 16-dot font.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>

#include "core/globals.h"
#include "core/sjis_text.h"
#include "data/data_refs.h"
#include "data/stage_file.h"
#include "gfx/font.h"
#include "draw_probe.h"
#include "message_fixture.h"
#include "persist/ranking.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "persist/system_data_records.h"
#include "persist/user_records.h"
#include "platform/window/input_devices.h"
#include "play_constants.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"

namespace t4::test {
namespace {

constexpr int VK_F3_KEY = VK_F1 + 2;
constexpr int TEXT_REGISTRATION_HINT = 28;

// A stage without the clear caption, so that the results take button 1 from the second frame.
cStage FloorWithoutCaption() {
  cStage stage = StageFromRows({
      "..............................",
      "....H.........................",
      "##############################",
  });
  stage.m_nCollisionLevel = 11;
  stage.m_nShowClearCaption = 0;
  return stage;
}

// Cleared with a score that takes first place in every ranking kind the stage has, registered
// under registration mode `mode` with the options' fixed name.
struct RankedResults {
  StageHarness h;
  explicit RankedResults(int mode) {
    h.Start(FloorWithoutCaption());
    EXPECT_GE(h.RunUntilState(PLAY_PLAY), 0);
    g_bTestPlay = 0;
    g_Game.m_bRanking = 1;
    cRankingRule& rule = g_SystemData.m_RankingRules.At(g_Game.m_nGameMode);
    rule.m_bEnabled = 1;
    rule.m_Kinds.assign(5, 1);
    g_Stage.m_RankingKinds.assign(5, 1);
    g_Ranking.Reset();
    g_OptionData.m_nRankingMode = mode;
    g_OptionData.m_strFixedRankingName = "abc";
    g_SaveData.m_strStageName = "entry.";
    g_SaveData.m_nStageScore = 700;
    std::filesystem::create_directories(h.ProjectDir() / "user_data" / "free");
    h.Scene().m_nEndRequest = 1;
    h.Frame();
    EXPECT_EQ(h.State(), PLAY_STAGE_END);
    EXPECT_EQ(h.Scene().m_bRanked, 1);
  }
};

TEST(ResultScreen, ThePressThatClosesTheRankingsDoesNotAlsoLeaveTheResults) {
  RankedResults r(1);
  ThreadedMainWindow window;  // serves the rankings' sounds while the game thread waits
  r.h.Frame();
  // F3 shows the rankings; five frames later button 1 (Z) closes them and stays held.
  int shown = 0;
  r.h.OnPresent([&shown](int, const platform::Frame&) {
    if (++shown == 5) platform::SetKeyDown('Z', true);
  });
  r.h.SetKey(VK_F3_KEY, true);
  r.h.Frame();
  r.h.SetKey(VK_F3_KEY, false);
  r.h.OnPresent(nullptr);
  ASSERT_EQ(r.h.Scene().m_bRankEntered, 1);
  EXPECT_EQ(shown, 5);
  EXPECT_EQ(window.Sounds(), (std::vector<int>{16, 1}));
  // Still held on the following frames: the results stay.
  r.h.Frames(3, 0, BUTTON_1);
  EXPECT_EQ(r.h.State(), PLAY_STAGE_END);
  platform::SetKeyDown('Z', false);
  // Let go and pressed anew, it leaves.
  r.h.Frame();
  r.h.Frame(0, BUTTON_1);
  EXPECT_EQ(r.h.State(), PLAY_FADE_OUT);
}

// The rectangle in which two frames differ: {left, top, right, bottom}, right and bottom
// exclusive; all zero when they do not differ.
std::array<int, 4> Difference(const platform::Frame& a, const platform::Frame& b) {
  std::array<int, 4> box = {a.width, a.height, 0, 0};
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x)
      if (a.At(x, y) != b.At(x, y))
        box = {std::min(box[0], x), std::min(box[1], y), std::max(box[2], x + 1), std::max(box[3], y + 1)};
  return box[2] == 0 ? std::array<int, 4>{} : box;
}

TEST(ResultScreen, TheRegistrationHintIsDrawnInTheSixteenDotFontCentred) {
  RankedResults r(0);
  // Text in red, to stand out from the stage's white.
  SetPaletteRgb(241, RED);
  ScopedGameFonts fonts;
  std::string& hint = g_SystemData.m_Texts.At(TEXT_REGISTRATION_HINT);
  hint = "F3キーでランキングへ登録";
  r.h.Frame();
  const platform::Frame with = GrabFrame();
  hint = "";
  r.h.Frame();
  const platform::Frame without = GrabFrame();
  ASSERT_EQ(with.width, platform::SCREEN_WIDTH);
  // 13 characters in 16-dot cells: 208 dots from x 216, from y 456.
  const int width = CountChars("F3キーでランキングへ登録") * 16;
  const std::array<int, 4> box = Difference(with, without);
  EXPECT_GE(box[0], 320 - width / 2);
  EXPECT_LE(box[2], 320 + width / 2);
  EXPECT_GT(box[2] - box[0], width * 3 / 4) << "as wide as 16-dot cells";
  EXPECT_GE(box[1], 456);
  EXPECT_GT(box[3] - box[1], 10) << "taller than the 10-dot font";
}

}  // namespace
}  // namespace t4::test
