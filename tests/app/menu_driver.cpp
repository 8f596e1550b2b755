#include "menu_driver.h"

#include <gtest/gtest.h>

#include "app/scene_factory.h"
#include "core/globals.h"
#include "core/sound_request.h"
#include "data/data_refs.h"
#include "data/world_map.h"
#include "gfx/dd.h"
#include "persist/project_layout.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "persist/story_slots.h"
#include "persist/user_records.h"
#include "platform/messages.h"
#include "stage/game.h"
#include "stage/input.h"
#include "stage/menu.h"
#include "stage/private_messages.h"

namespace t4::test {

MenuDriver::MenuDriver(int scene) : m_Harness(std::make_unique<StageHarness>()) { SetUp(scene); }

MenuDriver::MenuDriver(int scene, const DDMode& mode) : m_Harness(std::make_unique<StageHarness>(mode)) {
  SetUp(scene);
}

void MenuDriver::SetUp(int scene) {
  m_hWnd = platform::CreateMessageWindow(&MenuDriver::WindowProc, this);
  g_hWnd = m_hWnd;
  SetSceneFactory(&CreateScene);
  g_bTestPlay = 0;
  g_bFreeStageStart = 0;
  g_Input.At(0).SetRepeat(18, 6);
  // The folder tree start-up makes (story slots, challenge record, rankings).
  EXPECT_EQ(CreateProjectFolders(), 0);
  EXPECT_TRUE(g_WorldMap.LoadFromFile(g_Paths[PATH_WORLD_MAP]));
  g_OptionData = cOptionData();
  g_SaveData.Reset(g_SystemData.m_nChallengeCount);
  g_StorySlots.assign(STORY_SLOT_COUNT, cSlotInfo());
  g_MenuCursor.Reset();
  g_Game.m_nScene = scene;
}

MenuDriver::~MenuDriver() {
  g_Game.DeleteScenes();
  g_MenuCursor.Reset();
  g_StorySlots.assign(STORY_SLOT_COUNT, cSlotInfo());
  g_SaveData.Reset(0);
  g_WorldMap = cWorldMap();
  platform::DestroyWindow(m_hWnd);
}

LRESULT MenuDriver::WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM) {
  auto* self = static_cast<MenuDriver*>(platform::GetWindowUserData(hWnd));
  if (!self) return 0;
  switch (msg) {
    case WM_CLOSE: ++self->m_nCloseRequests; break;
    case WM_PLAY_SOUND: self->m_Sounds.push_back(static_cast<int>(wParam)); break;
    case WM_USER_MUSIC: self->m_MusicSlots.push_back(static_cast<int>(wParam)); break;
    case WM_USER_LOAD_STAGE:
    case WM_USER_LOAD_REPLAY:
      g_bFileRequestOk = self->m_FileAnswer && self->m_FileAnswer(msg) ? 1 : 0;
      g_bFileRequestDone = 1;
      break;
    case WM_USER_NAME_ENTRY:
      if (self->m_FileAnswer) self->m_FileAnswer(msg);
      g_bNameEntryDone = 1;
      break;
    default: break;
  }
  return 0;
}

void MenuDriver::Frame(int16_t dir, int16_t buttons) {
  g_Game.SwitchScene(g_Game.m_nScene);
  cInput& in = g_Input.At(0);
  in.m_sDir = dir;
  in.m_sButton = buttons;
  in.m_nDirNum = cInput::GetDirNum(dir);
  if (cScene* scene = g_Game.GetScene(g_Game.m_nScene)) scene->Update();
  MSG msg;
  while (platform::PeekMessage(&msg, PM_REMOVE)) platform::DispatchMessage(&msg);
}

bool MenuDriver::RunUntilState(int state, int limit) {
  for (int i = 0; i < limit && State() != state; ++i) Frame();
  return State() == state;
}

bool MenuDriver::RunUntilScene(int scene, int state, int limit) {
  for (int i = 0; i < limit && (Scene() != scene || State() != state); ++i) Frame();
  return Scene() == scene && State() == state;
}

int MenuDriver::Scene() const { return g_Game.m_nScene; }

int MenuDriver::State() const {
  const cScene* scene = g_Game.GetScene(g_Game.m_nScene);
  return scene ? scene->m_nState : -2;
}

int MenuDriver::Row() const { return g_MenuCursor.m_lpCurrent->nRow; }

uint64_t MenuDriver::BackBufferHash() {
  cSurfaceLock lock;
  if (!lock.Lock(&BackBuffer)) return 0;
  uint64_t h = 14695981039346656037ull;
  for (int y = 0; y < lock.Height(); ++y)
    for (int x = 0; x < lock.Width(); ++x) h = (h ^ lock.Get(x, y)) * 1099511628211ull;
  return h;
}

}  // namespace t4::test
