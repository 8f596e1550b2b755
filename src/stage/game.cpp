#include "stage/game.h"

#include <new>

#include "stage/input.h"
#include "stage/scene_play.h"
#include "stage/private_messages.h"
#include "core/globals.h"
#include "core/message_box.h"
#include "core/report_log.h"
#include "core/timing.h"
#include "gfx/dd.h"
#include "gfx/scene_surfaces.h"
#include "gfx/image_slots.h"
#include "gfx/font.h"
#include "persist/replay.h"
#include "persist/system_ini.h"
#include "platform/present/display.h"
#include "platform/thread.h"
#include "platform/winapi.h"

cGame g_Game;
cScenePlay* g_lpScenePlay = nullptr;
std::atomic<int32_t> g_bAppActive{0};
int32_t g_bReturnToTitle = 0;
int32_t g_nFrameLimit = 0;
int32_t g_nFramesPlayed = 0;

namespace {

constexpr int FPS_RING_SIZE = 16;
uint32_t s_FpsRing[FPS_RING_SIZE] = {};
int32_t s_nFpsIndex = 0;
int32_t s_nFpsAverage = 0;
SceneFactory s_lpSceneFactory = nullptr;

}  // namespace

cScene*& cGame::Slot(int nType) {
  switch (nType) {
    case SCENE_TITLE: return m_lpTitle;
    case SCENE_WORLDMAP: return m_lpWorldMap;
    case SCENE_MAPMENU: return m_lpMapMenu;
    case SCENE_CHALLENGE: return m_lpChallenge;
    case SCENE_PLAY: return m_lpPlay;
    default: return m_lpOption;
  }
}

cScene* cGame::GetScene(int nType) const {
  return nType >= 0 && nType < SCENE_TYPE_COUNT ? const_cast<cGame*>(this)->Slot(nType) : nullptr;
}

void cGame::SwitchScene(int nType) {
  static const int DELETE_ORDER[SCENE_TYPE_COUNT] = {SCENE_TITLE,     SCENE_MAPMENU, SCENE_WORLDMAP,
                                                     SCENE_CHALLENGE, SCENE_PLAY,    SCENE_OPTION};
  for (int type : DELETE_ORDER) {
    if (type == nType) continue;
    cScene*& p = Slot(type);
    delete p;
    p = nullptr;
    if (type == SCENE_PLAY) g_lpScenePlay = nullptr;
  }
  if (nType < 0 || nType >= SCENE_TYPE_COUNT) return;
  cScene*& p = Slot(nType);
  if (p) return;
  try {
    p = s_lpSceneFactory ? s_lpSceneFactory(nType) : nullptr;
  } catch (const std::bad_alloc&) {
    p = nullptr;
    OutOfMemoryClose();
  }
  if (nType == SCENE_PLAY) g_lpScenePlay = static_cast<cScenePlay*>(p);
}

void SetSceneFactory(SceneFactory factory) { s_lpSceneFactory = factory; }

void cGame::DeleteScenes() {
  for (cScene** p : {&m_lpTitle, &m_lpWorldMap, &m_lpMapMenu, &m_lpChallenge, &m_lpOption, &m_lpPlay}) {
    delete *p;
    *p = nullptr;
  }
  g_lpScenePlay = nullptr;
}

void WaitFrame() {
  if (lpDTCon || !g_lpDDCon) return;
  while (!CheckFrameInterval(static_cast<unsigned>(g_Game.m_nFps))) Sleep(1);
}

void cGame::Present() {
  t4::platform::ThreadSafePoint();
  if (lpDTCon) {
    // The presented frame goes into a mailbox and never waits for the vertical blank, so a
    // synchronised present is paced by the frame gate as an unsynchronised one is.
    if (g_bVSync)
      while (!CheckFrameSchedule(static_cast<unsigned>(m_nFps), false, nullptr)) Sleep(1);
    if (!DDFlip(static_cast<unsigned>(m_nFps), false, nullptr) && g_nWindowMode == 1)
      SendMessage(g_hWnd, WM_USER_RESTORE_DEVICE, 0, 0);
    return;
  }
  if (g_lpDDCon) {
    // Every DirectDraw present is a copy of the back buffer onto the screen: the software
    // screen shows the same frame whether it is flipped or copied.
    DDBlt(&g_PrimarySD, 0, 0, g_nScreenWidth, g_nScreenHeight, &BackBuffer, 0, 0, BLT_OPAQUE);
  }
}

int cGame::RestoreLostSurfaces() {
  if (lpDTCon || !g_lpDDCon || !DDIsPrimaryLost()) return 1;
  if (!DDRestore()) return 0;
  return RestoreSceneSurfaces();
}

void cGame::ReadInput() { ReadInput(g_Input.At(0)); }

void cGame::ReadInput(cInput& in) {
  if (g_KeyConfig.m_bCustom)
    in.PollConfig(1, 60);
  else
    in.Poll(0, 3, 60);
}

void cGame::RequestSceneBgm(int nNumber, bool bLoop, int nSlot) {
  if (nNumber != 0 && bLoop && nNumber == m_nLastBgm && m_bLastBgmLoop) return;
  m_nLastBgm = nNumber;
  m_bLastBgmLoop = bLoop ? 1 : 0;
  SendMessage(g_hWnd, WM_USER_MUSIC, static_cast<WPARAM>(nSlot), 0);
}

int32_t cGame::PlayedReplayVersion() const {
  return m_nTitleChoice == TITLE_CHOICE_REPLAY ? g_Replay.m_nFileVersion : 0;
}

void cGame::DrawFps(int nFps, int nWork) {
  s_FpsRing[s_nFpsIndex] = static_cast<uint32_t>(nWork);
  if (++s_nFpsIndex >= FPS_RING_SIZE) {
    s_nFpsIndex = 0;
    uint32_t sum = 0;
    for (uint32_t v : s_FpsRing) sum += v;
    s_nFpsAverage = static_cast<int32_t>(sum >> 4);
  }
  if (g_SystemIni.m_nShowFps == 2)
    g_Fonts[0].DrawF(&BackBuffer, 549, 469, "FPS%2d(%2d)", nFps, s_nFpsAverage);
  else
    g_Fonts[1].DrawTextBoxF(&BackBuffer, 495, 463, 0, 0, "FPS%2d(%2d)", nFps, s_nFpsAverage);
}

int cGame::Frame() {
  t4::platform::ThreadSafePoint();
  WaitFrame();
  StartFrameTimer();
  if (g_lpDDCon && !lpDTCon && !RestoreLostSurfaces()) return 0;
  ReadInput();
  SwitchScene(m_nScene);
  if (cScene* scene = GetScene(m_nScene))
    scene->Update();
  else
    DDClearPal(&BackBuffer, EMPTY_PALETTE_ENTRY);
  const int fps = CountFps(true);
  const int work = static_cast<int>(GetFrameTime(true));
  if (g_SystemIni.m_nShowFps != 0) DrawFps(fps, work);
  Present();
  return 1;
}

unsigned GameLoop(void*) {
  for (;;) {
    MSG msg;
    if (PeekMessage(&msg, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        DebugLogf("GameLoop WM_QUIT!");
        return 1;
      }
      continue;
    }
    // A run with a frame limit has played its frames: it waits for its own close.
    if (!g_bAppActive || (g_nFrameLimit > 0 && g_nFramesPlayed >= g_nFrameLimit)) {
      t4::platform::WaitMessage(1);
      continue;
    }
    if (!g_Game.Frame()) {
      PostCloseToMainWindow();
      return 1;
    }
    CountFrameTowardLimit();
  }
}

void CountFrameTowardLimit() {
  if (g_nFrameLimit > 0 && ++g_nFramesPlayed == g_nFrameLimit) PostMessage(g_hWnd, WM_CLOSE, CLOSE_WITHOUT_QUESTION, 0);
}

void ShowLoading() {
  DDSURFACEDATA& sd = g_SurfaceTable[IMAGE_LOADING];
  if (!sd.lpDT && !sd.lpDDPart) return;
  DDBlt(&BackBuffer, 0, 0, t4::platform::SCREEN_WIDTH, t4::platform::SCREEN_HEIGHT, &sd, 0, 0, BLT_TRANSPARENT);
  g_Game.Present();
}
