// The game object: the scene objects, which scene is current, next and previous, the game mode
// and the run-wide frame values; the scene base; the game thread's loop and the frame services
// that the pause and ranking loops share.
#pragma once

#include <atomic>
#include <cstdint>

#include "gfx/dd_types.h"
#include "platform/win_types.h"

constexpr int SCENE_TITLE = 0;
constexpr int SCENE_WORLDMAP = 1;
constexpr int SCENE_MAPMENU = 2;
constexpr int SCENE_CHALLENGE = 3;
constexpr int SCENE_PLAY = 4;
constexpr int SCENE_OPTION = 5;
constexpr int SCENE_TYPE_COUNT = 6;

// Title choices the play scene tells apart.
constexpr int32_t TITLE_CHOICE_FREE = 3;
constexpr int32_t TITLE_CHOICE_REPLAY = 4;

// Palette entry the screen is cleared to between scenes.
constexpr DWORD EMPTY_PALETTE_ENTRY = 16;

class cScene {
 public:
  virtual ~cScene() = default;
  virtual void Update() {}
  virtual void Enter() {}
  virtual void FadeIn() {}
  virtual void FadeOut() {}

  int32_t m_nState = -1;  // -1 until entered
  int32_t m_nStep = 0;
};

class cScenePlay;
class cInput;
extern cScenePlay* g_lpScenePlay;

class cGame {
 public:
  int Frame();
  void SwitchScene(int nType);
  void DeleteScenes();
  void Present();
  int RestoreLostSurfaces();
  void ReadInput();
  // Reads player 0's devices into `in` (the pause thread keeps its own copy).
  void ReadInput(cInput& in);
  void RequestSceneBgm(int nNumber, bool bLoop, int nSlot);
  // The version of the replay file being played (a replay chosen on the title), or 0 when the
  // play is no replay: older replays replay the rules of their version.
  int32_t PlayedReplayVersion() const;
  cScene* GetScene(int nType) const;

  // In the order of the stored object: the options pointer comes before the play pointer.
  cScene* m_lpTitle = nullptr;
  cScene* m_lpWorldMap = nullptr;
  cScene* m_lpMapMenu = nullptr;
  cScene* m_lpChallenge = nullptr;
  cScene* m_lpOption = nullptr;
  cScene* m_lpPlay = nullptr;
  int32_t m_nScene = SCENE_TITLE;
  int32_t m_nNextScene = 0;
  int32_t m_nPrevScene = 0;
  int32_t m_nTitleChoice = 0;
  int32_t m_nGameMode = 0;
  int32_t m_nChallengeRow = 0;
  int32_t m_nChallengeScroll = 0;
  int32_t m_bRanking = 0;
  int32_t m_nFps = 0;
  int32_t m_nFadeSpeed = 0;
  int32_t m_nLastBgm = 0;
  int32_t m_bLastBgmLoop = 0;

 private:
  cScene*& Slot(int nType);
  void DrawFps(int nFps, int nWork);
};

extern cGame g_Game;

// The application is active (the window thread follows activation; the game loop runs frames
// only while it is set).
// Written by the window thread, read by the game thread.
extern std::atomic<int32_t> g_bAppActive;
// After the stage, the title follows (a free stage started directly that returns to the title).
extern int32_t g_bReturnToTitle;
// Frames the run may play before it closes itself (0: no limit), and the frames played so far.
extern int32_t g_nFrameLimit;
extern int32_t g_nFramesPlayed;
// Counts one shown frame toward the limit (game frames, and the frames of the presentations that
// hold the game thread); the frame that reaches it closes the program without the question.
void CountFrameTowardLimit();

// Body of thGame.
unsigned GameLoop(void* param);
void WaitFrame();
void ShowLoading();

// Creates the object of a scene type; null for a type whose scene is not part of this build. The
// program installs its factory at start-up (the menu scenes live above the stage library).
using SceneFactory = cScene* (*)(int nType);
void SetSceneFactory(SceneFactory factory);
