#include <gtest/gtest.h>

#include <filesystem>

#include "data/data_refs.h"
#include "data/stage_file.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "platform/random.h"
#include "platform/window/input_devices.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/menu.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"
#include "draw_probe.h"
#include "play_constants.h"

namespace t4::test {
namespace {

constexpr int16_t BUTTON_2 = 2;

const std::vector<std::string> FLAT = {
    "....................",
    "....................",
    ".H....w.............",
    "####################",
};

// Puts a started stage into the play state and opens the pause menu (the menu's first frame
// has run: the cursor stands on "resume").
void OpenPauseMenu(StageHarness& h) {
  g_SystemData.m_bSpacePause = 1;
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  h.SetKey(VK_SPACE, true);
  h.Frame();
  h.SetKey(VK_SPACE, false);
  ASSERT_EQ(h.State(), PLAY_PAUSE);
  h.Frame();
  ASSERT_EQ(g_MenuCursor.m_lpCurrent->nRow, 1);
}

TEST(ScenePlay, FadeInThenStraightIntoPlayOnATestPlay) {
  StageHarness h;
  h.Start(StageFromRows(FLAT));
  // Ten fade steps of the game's fade speed; a test play started on a file shows no caption.
  h.Frames(9);
  EXPECT_EQ(h.State(), PLAY_FADE_IN);
  h.Frame();
  EXPECT_EQ(h.State(), PLAY_START);
  h.Frame();
  EXPECT_EQ(h.State(), PLAY_PLAY);
  EXPECT_EQ(h.Scene().m_nPlayFrame, 0);
  h.Frame();
  EXPECT_EQ(h.Scene().m_nPlayFrame, 1);
}

TEST(ScenePlay, CaptionsHoldTheStartState) {
  struct Case {
    const char* name;
    int stageCaption, startCaption;
    int framesToPlay;  // after the ten fade-in frames
  } cases[] = {
      {"no caption", 0, 0, 1},
      {"stage caption", 1, 0, 80},
      {"start caption", 0, 1, 80},
      {"both", 1, 1, 159},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    cStage stage = StageFromRows(FLAT);
    stage.m_nShowStageCaption = c.stageCaption;
    stage.m_nShowStartCaption = c.startCaption;
    StageHarness h;
    h.Start(stage);
    g_bTestPlay = 0;  // a free stage started from the title shows its captions
    h.Frames(10);
    ASSERT_EQ(h.State(), PLAY_START);
    EXPECT_EQ(h.RunUntilState(PLAY_PLAY), c.framesToPlay);
    EXPECT_EQ(h.Scene().m_nCaptionCount, 0);
  }
}

TEST(ScenePlay, TheStageCaptionShowsThePositionInTheNumberedSeries) {
  // The caption's digits are 32 x 32 cells of the word sheet's row at y 128, drawn from x 384 on;
  // each digit cell is painted in a colour of its own. The world flag / challenge number does not
  // show.
  struct Case {
    int sequenceNo, stageNo;
    uint32_t first, second;  // colours of the first two digit places (0: not a digit)
  } cases[] = {
      {3, 7, GREEN, 0},
      {2, 1, YELLOW, 0},
      {12, 1, BLUE, YELLOW},
  };
  const uint32_t digitColour[10] = {GREY, BLUE, YELLOW, GREEN, GREY, GREY, GREY, RED, GREY, GREY};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sequenceNo);
    cStage stage = StageFromRows(FLAT);
    stage.m_nShowStageCaption = 1;
    StageHarness h;
    h.Start(stage);
    g_bTestPlay = 0;  // a free stage started from the title shows its captions
    h.Frames(10);
    ASSERT_EQ(h.State(), PLAY_START);
    DDSURFACEDATA* word = &g_SurfaceTable[IMAGE_WORD_SHEET];
    NewSurface(word, 320, 160);
    for (int d = 0; d < 10; ++d) Paint(word, d * 32, 128, 32, 32, digitColour[d]);
    g_SaveData.m_nSequenceNo = c.sequenceNo;
    g_SaveData.m_nStageNo = c.stageNo;
    h.Frame();
    ASSERT_EQ(h.State(), PLAY_START);
    EXPECT_EQ(At(384 + 16, 224 + 16), c.first);
    if (c.second != 0) {
      EXPECT_EQ(At(416 + 16, 224 + 16), c.second);
    }
  }
}

TEST(ScenePlay, PauseFreezesPlayAndButtonTwoResumes) {
  StageHarness h;
  h.Start(StageFromRows(FLAT));
  OpenPauseMenu(h);
  const int frame = h.Scene().m_nPlayFrame;
  const int subSteps = h.Scene().m_nSubStepCount;
  h.Frames(5);
  EXPECT_EQ(h.State(), PLAY_PAUSE);
  EXPECT_EQ(h.Scene().m_nPlayFrame, frame);
  EXPECT_EQ(h.Scene().m_nSubStepCount, subSteps);
  h.Frame(0, BUTTON_2);
  EXPECT_EQ(h.State(), PLAY_PLAY);
  EXPECT_EQ(h.Scene().m_bButtonLock, 1);
  // The button that closed the menu reaches nobody until every button is let go.
  h.Frame(0, BUTTON_2);
  EXPECT_EQ(g_Input.At(0).m_sButton, 0);
  h.Frame(0, 0);
  EXPECT_EQ(h.Scene().m_bButtonLock, 0);
  h.Frame(0, BUTTON_1);
  EXPECT_EQ(g_Input.At(0).m_sButton, BUTTON_1);
  EXPECT_EQ(h.Scene().m_nPlayFrame, frame + 3);
}

TEST(ScenePlay, QuitInADirectlyStartedStageClosesTheProgram) {
  StageHarness h;
  h.Start(StageFromRows(FLAT));
  OpenPauseMenu(h);
  h.Frame(INPUT_UP, 0);
  EXPECT_EQ(g_MenuCursor.m_lpCurrent->nRow, 0);
  h.Frame(0, BUTTON_1);
  EXPECT_EQ(h.State(), PLAY_FADE_OUT);
  EXPECT_EQ(h.CloseRequests(), 1);
}

TEST(ScenePlay, RetrySetsTheStageUpAgainWithANewSeed) {
  StageHarness h(500);
  h.Start(StageFromRows(FLAT));
  OpenPauseMenu(h);
  h.Clock().Set(777);
  h.Frame(INPUT_DOWN, 0);
  EXPECT_EQ(g_MenuCursor.m_lpCurrent->nRow, 2);
  h.Frame(0, BUTTON_1);
  EXPECT_EQ(h.State(), PLAY_START);
  EXPECT_EQ(h.Scene().m_nSeed, 777u);
  EXPECT_EQ(h.Scene().m_nPlayFrame, 0);
  // The frozen frame that set the stage up keeps the new seed's numbers.
  EXPECT_EQ(platform::GetRandState(), 777u);
}

// A recorded play and its replay must draw the same numbers whatever the player did in the
// menus, so a frozen frame hands the game thread's generator back as it found it, while the
// numbers a play frame draws stay drawn. The sound hook stands in for anything on the frame's
// path that draws numbers.
TEST(ScenePlay, FrozenFramesLeaveTheRandomNumbersAsTheyFoundThem) {
  StageHarness h;
  h.Start(StageFromRows(FLAT));
  int draws = 0;
  h.OnSystemSound([&draws](int) {
    platform::Rand();
    ++draws;
  });
  OpenPauseMenu(h);
  ASSERT_GT(draws, 0);  // the pause key's sound, played by the play frame
  // One draw from state 1 leaves 1 x 214013 + 2531011.
  platform::SetRandState(1);
  h.Frames(3);  // the menu stands still, nothing sounds
  h.Frame(INPUT_DOWN, 0);
  h.Frame(0, 0);
  const int before = draws;
  h.Frame(0, BUTTON_2);  // leaves the menu with the cancel sound
  ASSERT_EQ(h.State(), PLAY_PLAY);
  ASSERT_GT(draws, before);
  EXPECT_EQ(platform::GetRandState(), 1u);

  g_SystemData.m_bSpacePause = 1;
  h.Frames(2);
  platform::SetRandState(1);
  draws = 0;
  h.SetKey(VK_SPACE, true);
  h.Frame();  // a play frame: its pause sound draws for real
  h.SetKey(VK_SPACE, false);
  ASSERT_EQ(h.State(), PLAY_PAUSE);
  ASSERT_EQ(draws, 1);
  EXPECT_EQ(platform::GetRandState(), 2745024u);
}

TEST(ScenePlay, PauseMenuEntriesFollowTheGameMode) {
  struct Case {
    const char* name;
    int mode;
    int retryOption;
    int mapOption;
    int done;  // world flag of the stage / challenge result cleared
    std::vector<int32_t> enabled;
  } cases[] = {
      {"free", GAME_MODE_FREE, 0, 0, 0, {1, 1, 1, 0}},
      {"replay", GAME_MODE_REPLAY, 0, 0, 0, {1, 1, 1, 0}},
      {"story, options on, world done", GAME_MODE_STORY, 1, 1, 1, {1, 1, 1, 1}},
      {"story, options on, world not done", GAME_MODE_STORY, 1, 1, 0, {1, 1, 0, 0}},
      {"story, options off", GAME_MODE_STORY, 0, 0, 1, {1, 1, 0, 0}},
      {"challenge cleared", GAME_MODE_CHALLENGE, 1, 1, 1, {1, 1, 1, 0}},
      {"challenge not cleared", GAME_MODE_CHALLENGE, 1, 1, 0, {1, 1, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StageHarness h;
    h.Start(StageFromRows(FLAT));
    g_SystemData.m_bPauseRetryStory = c.retryOption;
    g_SystemData.m_bPauseMapStory = c.mapOption;
    g_SystemData.m_bPauseRetryChallenge = c.retryOption;
    OpenPauseMenu(h);
    g_Game.m_nGameMode = c.mode;
    if (g_SaveData.m_WorldFlags.size() < 2) g_SaveData.m_WorldFlags.resize(2);
    g_SaveData.m_WorldFlags.At(1) = c.done;
    g_Game.m_nChallengeRow = 0;
    if (g_SaveData.m_ChallengeResults.empty()) g_SaveData.m_ChallengeResults.resize(1);
    g_SaveData.m_ChallengeResults.At(0).m_bCleared = c.done;
    h.Frame();
    std::vector<int32_t> enabled;
    for (const cCmd& cmd : h.Scene().m_PauseMenu) enabled.push_back(cmd.m_bEnabled);
    EXPECT_EQ(enabled, c.enabled);
  }
}

TEST(ScenePlay, LoseLife) {
  struct Case {
    int freeStart;
    int lives;
    int result;
    int livesAfter;
  } cases[] = {
      {1, 0, 1, 0}, {0, 999999, 1, 999999}, {0, 3, 1, 2}, {0, 1, 1, 0}, {0, 0, 0, 0},
  };
  StageHarness h;
  h.Start(StageFromRows(FLAT));
  h.Frame();
  for (const Case& c : cases) {
    g_bFreeStageStart = c.freeStart;
    cSaveData sd;
    sd.m_nLives = c.lives;
    EXPECT_EQ(h.Scene().LoseLife(sd), c.result);
    EXPECT_EQ(sd.m_nLives, c.livesAfter);
  }
}

TEST(ScenePlay, AfterTheHerosDeathPlayGoesOnByTheRules) {
  struct Case {
    const char* name;
    int freeStart;
    int mode;
    int lives;
    int storyContinue;
    int expectedState;
  } cases[] = {
      {"free stage started directly: retry", 1, GAME_MODE_FREE, 0, 0, PLAY_START},
      {"a life left: retry", 0, GAME_MODE_FREE, 2, 0, PLAY_START},
      {"no life left: game over", 0, GAME_MODE_FREE, 0, 0, PLAY_GAME_OVER},
      {"story with the continue option", 0, GAME_MODE_STORY, 2, 1, PLAY_CONTINUE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StageHarness h;
    h.Start(StageFromRows(PIT));
    g_SystemData.m_bStoryContinue = c.storyContinue;
    ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
    g_bFreeStageStart = c.freeStart;
    g_Game.m_nGameMode = c.mode;
    g_SaveData.m_nLives = c.lives;
    const int setups = h.Scene().m_nSetStageCount;
    int frames = 0;
    while (!h.Hero().m_bDead && frames < 300) {
      h.Frame();
      ++frames;
    }
    ASSERT_TRUE(h.Hero().m_bDead);
    // The dead hero is shown for a while; the frame that ends the display decides.
    h.Frames(59);
    EXPECT_EQ(h.State(), PLAY_PLAY);
    h.Frame();
    EXPECT_EQ(h.State(), c.expectedState);
    EXPECT_EQ(h.Scene().m_nSetStageCount, setups + (c.expectedState == PLAY_START ? 1 : 0));
  }
}

TEST(ScenePlay, ContinueMenuRetriesTheStage) {
  StageHarness h;
  h.Start(StageFromRows(PIT));
  g_SystemData.m_bStoryContinue = 1;
  ASSERT_GE(h.RunUntilState(PLAY_PLAY), 0);
  g_bFreeStageStart = 0;
  g_Game.m_nGameMode = GAME_MODE_STORY;
  g_SaveData.m_nLives = 2;
  ASSERT_GE(h.RunUntilState(PLAY_CONTINUE, 400), 0);
  h.Frame();
  EXPECT_EQ(g_MenuCursor.m_lpCurrent->nRow, 0);
  h.Frame(0, BUTTON_1);
  EXPECT_EQ(h.State(), PLAY_START);
  EXPECT_FALSE(h.Hero().m_bDead);
}

// An entry whose pictures cannot be loaded asks the program to close; the frames until then run
// nothing, where they would otherwise reach for a hero that was never made.
TEST(ScenePlay, FailedEntryRunsNothingUntilTheClose) {
  StageHarness h;
  std::filesystem::remove(h.ProjectDir() / "bmp" / "Block.bmp");
  h.Start(StageFromRows(FLAT));
  h.Frames(30, INPUT_RIGHT, BUTTON_1);
  EXPECT_EQ(h.CloseRequests(), 1);
  EXPECT_EQ(h.State(), PLAY_FADE_IN);
  EXPECT_TRUE(g_Heroes.empty());
}

}  // namespace
}  // namespace t4::test
