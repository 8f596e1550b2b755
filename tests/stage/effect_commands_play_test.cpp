// The screen-colour, background, sound and music commands, and the character and screen effect
// commands' numbers, run through the command table for characters of a played stage.
#include "effect_fixture.h"

namespace t4::test {
namespace {

class EffectCommands : public EffectStage {
 protected:
  void SetUp() override {
    Start();
    ASSERT_FALSE(HasFatalFailure());
  }
};

TEST_F(EffectCommands, ScreenColourIsSetFromTheEightParameters) {
  Exec(Hero(), CMD_SCREEN_COLOR, {255, 128, 7, 40, 0, 2, 1, 3});
  const cScreenColor& c = Scene().m_Draw.m_ScreenColor;
  EXPECT_EQ(c.m_cRed, 255);
  EXPECT_EQ(c.m_cGreen, 128);
  EXPECT_EQ(c.m_cBlue, 7);
  EXPECT_EQ(c.m_nPercent, 40);
  EXPECT_EQ(c.m_nDuration, 12);
  EXPECT_EQ(c.m_bBlink, 1);
  EXPECT_EQ(c.m_nBlinkCount, 3);
  EXPECT_EQ(c.m_bActive, 1);
}

TEST_F(EffectCommands, BackgroundLayersShowHideAndToggle) {
  g_Stage.m_Backgrounds.resize(2);
  g_Stage.m_Backgrounds[0].m_nVisible = 0;
  g_Stage.m_Backgrounds[1].m_nVisible = 1;
  struct Case {
    int layer, action;
    int shown0, shown1;
  } cases[] = {
      {1, 0, 1, 1}, {2, 1, 1, 0}, {2, 2, 1, 1}, {1, 2, 0, 1}, {1, 3, 0, 1}, {0, 0, 0, 1}, {3, 0, 0, 1}, {-1, 2, 0, 1},
  };
  for (const Case& k : cases) {
    Exec(Hero(), CMD_BACKGROUND, {k.layer, k.action});
    EXPECT_EQ(g_Stage.m_Backgrounds[0].m_nVisible, k.shown0) << k.layer << " " << k.action;
    EXPECT_EQ(g_Stage.m_Backgrounds[1].m_nVisible, k.shown1) << k.layer << " " << k.action;
  }
}

TEST_F(EffectCommands, SoundsPlayForCharactersOnScreenOrEverywhere) {
  std::vector<int> played;
  H().OnSystemSound([&](int id) { played.push_back(id); });
  Hero().m_bOnScreen = 1;
  Other().m_bOnScreen = 0;
  Exec(Hero(), CMD_SOUND, {3}, 1);
  Exec(Other(), CMD_SOUND, {4}, 1);
  Exec(Other(), CMD_SOUND, {5}, 0);
  Exec(Hero(), CMD_SOUND, {0}, 0);
  EXPECT_EQ(played, (std::vector<int>{3 + 16, 5 + 16}));
}

TEST_F(EffectCommands, MusicRequestsGoToTheStageSlot) {
  const size_t before = H().MusicRequests().size();
  Exec(Hero(), CMD_BGM, {2, 1});
  Exec(Hero(), CMD_BGM, {0, 0});
  H().Frame();
  ASSERT_EQ(H().MusicRequests().size(), before + 2);
  EXPECT_EQ(H().MusicRequests()[before], 2);
  EXPECT_EQ(H().MusicRequests()[before + 1], 0);
}

TEST_F(EffectCommands, EffectNumbersThatNameNoneStopTheEffect) {
  const int chara = AddCharaEffect(11, {10, 32, 64});
  const int screen = AddScrEffect(11, {10, 640, 1280});
  Exec(Other(), CMD_CHARA_EFFECT, {chara, 2, 1});
  Exec(Hero(), CMD_SCREEN_EFFECT, {screen, 1, 0});
  EXPECT_EQ(Other().m_Effect.m_nEffect, chara);
  EXPECT_EQ(Other().m_Effect.m_nRun, 2);
  EXPECT_EQ(Other().m_Effect.m_bLoop, 1);
  EXPECT_EQ(Scene().m_Draw.m_ScrEffect.m_nEffect, screen);
  EXPECT_EQ(Scene().m_Draw.m_ScrEffect.m_dValue, 1280.0);
  for (int none : {0, -1, chara + 100}) {
    Exec(Other(), CMD_CHARA_EFFECT, {chara, 0, 0});
    Exec(Other(), CMD_CHARA_EFFECT, {none, 0, 0});
    EXPECT_EQ(Other().m_Effect.m_nEffect, 0);
  }
  Exec(Hero(), CMD_SCREEN_EFFECT, {0, 0, 0});
  EXPECT_EQ(Scene().m_Draw.m_ScrEffect.m_nEffect, 0);
}

}  // namespace
}  // namespace t4::test
