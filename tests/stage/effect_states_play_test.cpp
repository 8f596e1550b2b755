// Character and screen effects started by the hero's flows and run by the stage drawing: the
// value of each drawn frame for every run type, with and without loop, and the steps of the
// prepared states themselves.
#include <string>

#include "effect_fixture.h"
#include "timed_command.h"

namespace t4::test {
namespace {

constexpr int ZOOM = 11;

// The values of the first `frames` frames, "|" once the effect is over.
template <class STATE>
std::string Values(StageHarness& h, STATE& state, int frames) {
  std::string out;
  for (int i = 0; i < frames; ++i) {
    h.Frame();
    out += state.m_nEffect == 0 ? "|" : std::to_string(static_cast<int>(state.m_dValue)) + " ";
    if (state.m_nEffect == 0) break;
  }
  return out;
}

struct RunCase {
  int run, loop;
  const char* values;
};

// Zoom from 32 to 38 in 0.1 s: one dot a frame.
const RunCase RUNS[] = {
    {0, 0, "33 34 35 36 37 38 |"},
    {1, 0, "37 36 35 34 33 32 |"},
    {2, 0, "33 34 35 36 37 38 38 37 36 35 34 33 32 |"},
    {0, 1, "33 34 35 36 37 38 32 33 34 35 36 37 38 32 33 "},
    {2, 1, "33 34 35 36 37 38 38 37 36 35 34 33 32 32 33 "},
    {1, 1, "37 36 35 34 33 32 38 37 36 35 34 33 32 38 37 "},
};

class EffectRuns : public EffectStage {};

TEST_F(EffectRuns, CharacterEffectOfEachRunType) {
  for (const RunCase& k : RUNS) {
    SCOPED_TRACE(k.run * 10 + k.loop);
    StartWith([&] {
      const int n = AddCharaEffect(ZOOM, {1, 32, 38});
      return std::vector{Once({Command(CMD_CHARA_EFFECT, {n, k.run, k.loop})})};
    });
    ASSERT_FALSE(HasFatalFailure());
    cCharaEffect& e = Hero().m_Effect;
    ASSERT_EQ(e.m_nEffect, 0);
    EXPECT_EQ(Values(H(), e, 15), k.values);
  }
}

TEST_F(EffectRuns, ScreenEffectOfEachRunType) {
  for (const RunCase& k : RUNS) {
    SCOPED_TRACE(k.run * 10 + k.loop);
    StartWith([&] {
      const int n = AddScrEffect(ZOOM, {1, 32, 38});
      return std::vector{Once({Command(CMD_SCREEN_EFFECT, {n, k.run, k.loop})})};
    });
    ASSERT_FALSE(HasFatalFailure());
    EXPECT_EQ(Values(H(), Scene().m_Draw.m_ScrEffect, 15), k.values);
  }
}

TEST_F(EffectRuns, BackwardRunsReadTheExchangedCopyAndLeaveTheDatabaseAsItWas) {
  Start();
  const int move = AddScrEffect(1, {10, 0, 5, 60, 30});
  cScrEffect& s = Scene().m_Draw.m_ScrEffect;
  s.Start(move, 1, 0);
  // A backward move starts at the end point and heads for the start point.
  EXPECT_EQ(s.m_nKind1, 60);
  EXPECT_EQ(s.m_nKind2, 30);
  EXPECT_EQ(s.Params()[3], 0);
  s.Start(move, 0, 0);
  EXPECT_EQ(s.m_nKind1, 0);
  EXPECT_EQ(s.m_nKind2, 5);
  const int wave = AddCharaEffect(4, {10, 0, 32, 2, 2});
  Hero().m_Effect.Start(wave, 1, 0);
  EXPECT_EQ(Hero().m_Effect.Def()->m_nParam[1], 32);
  EXPECT_EQ(Hero().m_Effect.m_nStart, 32);
  EXPECT_EQ(Hero().m_Effect.m_nEnd, 0);
  const cCharaEffectDef& stored = g_Database.m_CharaEffects[static_cast<size_t>(wave)];
  EXPECT_EQ(stored.m_nParam[1], 0);
  EXPECT_EQ(stored.m_nParam[2], 32);
}

// Equal ends run on a timer of the run time: a sum of sixths that reaches 10 only after 60 of
// them, but passes 100 one call before the 600th sixth.
TEST_F(EffectRuns, TimerRunsEndAfterTheirTime) {
  Start();
  struct Case {
    int tenths, endsOn;
  } cases[] = {{10, 61}, {100, 600}, {0, 1}, {-5, 1}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.tenths);
    cCharaEffect e;
    e.Start(AddCharaEffect(ZOOM, {k.tenths, 40, 40}), 0, 0);
    int calls = 1;
    while (!e.Step() && calls < 1000) ++calls;
    EXPECT_EQ(calls, k.endsOn);
  }
  // A ramp from 0 to 60 in 1 s grows one a frame and ends on the 61st step.
  cCharaEffect ramp;
  ramp.Start(AddCharaEffect(ZOOM, {10, 0, 60}), 0, 0);
  for (int i = 1; i <= 60; ++i) ASSERT_EQ(ramp.Step(), 0) << i;
  EXPECT_DOUBLE_EQ(ramp.m_dValue, 60.0);
  EXPECT_EQ(ramp.Step(), 1);
}

}  // namespace
}  // namespace t4::test
