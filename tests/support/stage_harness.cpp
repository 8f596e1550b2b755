#include "support/stage_harness.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "core/globals.h"
#include "core/sound_request.h"
#include "core/timing.h"
#include "data/data_refs.h"
#include "data/database.h"
#include "data/project_refs.h"
#include "data/stage_file.h"
#include "gfx/dd.h"
#include "gfx/dd_effects.h"
#include "gfx/image_slots.h"
#include "persist/project_layout.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "platform/messages.h"
#include "platform/random.h"
#include "platform/window/input_devices.h"
#include "stage/chara.h"
#include "stage/effect_states.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/item.h"
#include "stage/private_messages.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

#ifndef T4_DEMO_DIR
#error "the stage harness plays in a copy of the demo project (T4_DEMO_DIR)"
#endif

namespace t4::test {

namespace {

StageHarness* s_lpCurrent = nullptr;

cCharaDef Chara(int16_t graphic, int8_t controller) {
  cCharaDef c;
  c.m_Name = controller == 0 ? "hero" : "chara";
  c.m_sGraphicNo = graphic;
  c.m_cController = controller;
  c.m_nMaxHp = 3;
  c.m_nPlaceExtra = -1;  // carries no item
  return c;
}

cBlock Block(int16_t graphic, int8_t hit) {
  cBlock b;
  b.m_sGraphicNo = graphic;
  b.m_cHit = hit;
  return b;
}

template <class T>
void Place(cSafeVector<T>& places, T def, int x, int y) {
  def.m_sBlockX = static_cast<int16_t>(x);
  def.m_sBlockY = static_cast<int16_t>(y);
  places.push_back(def);
}

class Fnv {
 public:
  template <class T>
  void Add(const T& value) {
    unsigned char bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    for (unsigned char b : bytes) m_hash = (m_hash ^ b) * 1099511628211ull;
  }
  uint64_t Value() const { return m_hash; }

 private:
  uint64_t m_hash = 14695981039346656037ull;
};

void AddObject(Fnv& h, const cCharaBase& c) {
  h.Add(c.m_nId);
  h.Add(c.m_dX);
  h.Add(c.m_dY);
  h.Add(c.m_dSpeedX);
  h.Add(c.m_dSpeedY);
  h.Add(c.m_nHp);
  h.Add(c.m_nSp);
  h.Add(c.m_bDead);
  h.Add(c.m_bActive);
  h.Add(c.m_bRight);
  h.Add(c.m_bFly);
  h.Add(c.m_nLife);
  h.Add(c.m_Anime.m_nAnime);
  h.Add(c.m_Anime.m_nFrame);
  h.Add(c.m_Anime.m_nTick);
}

}  // namespace

cStage WithPlainBodies(cStage stage, int level) {
  stage.m_dGravity = 1.0;
  stage.m_nCollisionLevel = level;
  for (int i = 0; i < 4; i += 2) {
    stage.m_CharaBoxA[i] = stage.m_HeroBoxA[i] = 24;
    stage.m_CharaBoxA[i + 1] = stage.m_HeroBoxA[i + 1] = 28;
  }
  stage.m_CharaBoxAAlign[0] = stage.m_CharaBoxAAlign[1] = 1;
  stage.m_HeroBoxAAlign[0] = stage.m_HeroBoxAAlign[1] = 1;
  return stage;
}

cStage StageFromRows(const std::vector<std::string>& rows) {
  cStage stage;
  stage.m_strTitle = "test";
  stage.m_nHeight = static_cast<int32_t>(rows.size());
  stage.m_nWidth = rows.empty() ? 0 : static_cast<int32_t>(rows[0].size());
  stage.m_nAreaWidth = stage.m_nWidth * 32;
  stage.m_nAreaHeight = stage.m_nHeight * 32;
  for (int y = 0; y < stage.m_nHeight; ++y) {
    for (int x = 0; x < static_cast<int>(rows[static_cast<size_t>(y)].size()); ++x) {
      switch (rows[static_cast<size_t>(y)][static_cast<size_t>(x)]) {
        case '#': Place(stage.m_BlockPlaces, Block(1, 1), x, y); break;
        case '^': Place(stage.m_BlockPlaces, Block(5, 2), x, y); break;
        case 'H': Place(stage.m_CharaPlaces, Chara(1, 0), x, y); break;
        case 'w': Place(stage.m_CharaPlaces, Chara(2, 1), x, y); break;
        case 'f': {
          cCharaDef flier = Chara(3, 1);
          flier.m_cFlight = 1;
          Place(stage.m_CharaPlaces, flier, x, y);
          break;
        }
        case 'c': {
          cItemDef item;
          item.m_sGraphicNo = 1;
          Place(stage.m_ItemPlaces, item, x, y);
          break;
        }
        default: break;
      }
    }
  }
  return stage;
}

StageHarness::StageHarness(uint32_t clockMs) : m_Clock(clockMs) {
  SetUp(kD3D32);
  // A fully lit palette, as the fade-in would leave it.
  for (PALETTEENTRY& e : g_Palette) e = PALETTEENTRY{255, 255, 255, 0};
}

StageHarness::StageHarness(const DDMode& mode, uint32_t clockMs) : m_Clock(clockMs) {
  SetUp(mode);
  EXPECT_TRUE(UseProjectPalette());
}

bool UseProjectPalette() {
  const char* palette = g_ImageSlotTable[IMAGE_PALETTE].szFile;
  if (!DDLoadPaletteFromFile(g_Palette, palette)) return false;
  for (int i = 0; i < 256; ++i) g_PaletteWork[i] = g_Palette[i];
  if (g_SystemData.m_bFullColour && g_nBpp != 16)
    DDSetTransmit(g_SystemData.m_cTransRed, g_SystemData.m_cTransGreen, g_SystemData.m_cTransBlue);
  else if (!DDSetTransmitFromFile(palette))
    return false;
  if (g_nBpp == 8 && !lpDTCon) {
    if (!DDLoadColorTable(g_HbtTable, "bmp\\hbt\\hbt00.dat")) return false;
    DDSetPaletteEntries(0, 256, g_PaletteWork);
  }
  return true;
}

void StageHarness::SetUp(const DDMode& mode) {
  // The harness drives the program's globals: one at a time.
  EXPECT_EQ(s_lpCurrent, nullptr);
  std::filesystem::copy(T4_DEMO_DIR, m_Dir.Path(),
                        std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  m_lpCwd = std::make_unique<ScopedCurrentDir>(m_Dir.Path());
  s_lpCurrent = this;
  platform::ResetMessageLayerForTests();
  platform::ResetInputDevices();
  ResetTimingForTests();
  ResetStageWorld();
  // A harness ended in the middle of a fade must not shorten the next stage's fade.
  g_dD3DFadeOutAngle = g_dDDFadeOutAngle = 90;
  g_dD3DFadeInAngle = g_dDDFadeInAngle = 0;
  m_lpGraphics = std::make_unique<platform::raster::GraphicsSystem>(m_Display);
  m_InstalledGraphics.emplace(*m_lpGraphics);
  m_hWnd = platform::CreateMessageWindow(&StageHarness::WindowProc, this);
  g_hWnd = m_hWnd;
  ResetImageSlotTable(g_ImageSlotTable);
  if (mode.windowMode != 0) m_Display.SetDesktop(mode.bpp, 60);
  EXPECT_TRUE(DDInit(mode.d3d, nullptr, 640, 480, mode.bpp, FALSE, mode.windowMode, 1, 60, FALSE, g_SurfaceTable,
                     g_ImageSlotTable, IMAGE_SLOT_COUNT));
  // Mirrored sheets and stretch twins share their plain sheet's picture, as after the program's
  // start-up in the render mode.
  if (lpDTCon) LinkSurfaceData();
  EXPECT_TRUE(g_Database.Load());
  SetDataRefs(&g_ProjectDataRefs);
  BuildAnimeTables(g_AnimeTable);
  BuildEffectTables(g_EffectAnimeTable);
  PrepareEffectStates();
  EXPECT_TRUE(g_SystemData.LoadFromFile(g_Paths[PATH_SYSTEM_DATA]));
  g_Game = cGame();
  g_Game.m_nFps = 60;
  g_Game.m_nFadeSpeed = 10;
  g_bAppActive = 1;
  g_bTestPlay = 1;
  g_bFreeStageStart = 1;
  g_bReturnToTitle = 0;
  g_Input.assign(1, cInput());
  g_Replay.Clear();
  g_ReplayLast.Clear();
  SetSceneFactory([](int type) -> cScene* { return type == SCENE_PLAY ? new cScenePlay : nullptr; });
}

StageHarness::~StageHarness() {
  g_Game.DeleteScenes();
  ResetStageWorld();
  SetSceneFactory(nullptr);
  DDRelease();
  g_SurfaceList.clear();
  g_bDDInitDone = 0;
  g_hWnd = nullptr;
  platform::DestroyWindow(m_hWnd);
  m_InstalledGraphics.reset();
  platform::ResetInputDevices();
  SetDataRefs(nullptr);
  g_bTestPlay = 0;
  g_bFreeStageStart = 0;
  s_lpCurrent = nullptr;
  m_lpCwd.reset();
}

LRESULT StageHarness::WindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = static_cast<StageHarness*>(platform::GetWindowUserData(hWnd));
  if (!self) return 0;
  if (msg == WM_CLOSE) ++self->m_nCloseRequests;
  if (msg == WM_PLAY_SOUND && self->m_SoundHook) self->m_SoundHook(static_cast<int>(wParam));
  if (msg == WM_USER_NAME_ENTRY) {
    ++self->m_nNameEntries;
    if (self->m_NameEntryHook) self->m_NameEntryHook();
    g_bNameEntryDone = 1;
  }
  if (msg == WM_USER_LOAD_REPLAY || msg == WM_USER_SAVE_REPLAY) {
    g_bFileRequestOk = 0;
    if (self->m_FileRequestHook) self->m_FileRequestHook(msg, wParam);
    g_bFileRequestDone = 1;
  }
  // The window thread records the stage music it started, as the program's does.
  if (msg == WM_USER_MUSIC && wParam == 4) {
    self->m_MusicRequests.push_back(static_cast<long>(lParam));
    g_SaveData.m_nBgm = static_cast<int32_t>(lParam);
  }
  return 0;
}

void StageHarness::ServeMessages() {
  MSG msg;
  while (platform::PeekMessage(&msg, PM_REMOVE)) platform::DispatchMessage(&msg);
}

void StageHarness::CreateScene() {
  g_SaveData.Reset(g_SystemData.m_nChallengeCount);
  g_SaveData.m_nStageNo = 1;
  g_SaveData.m_nLivesAtStart = 999999;
  g_SaveData.m_nLives = 999999;
  g_Game.m_nGameMode = GAME_MODE_FREE;
  g_Game.m_nTitleChoice = TITLE_CHOICE_FREE;
  g_Game.m_nScene = SCENE_PLAY;
  g_Game.m_nPrevScene = SCENE_TITLE;
  g_Game.SwitchScene(SCENE_PLAY);
}

void StageHarness::Start(const cStage& stage) {
  g_Stage = stage;
  g_Stage.m_strPath = "data\\stg4\\test.stg4";
  g_Stage.Normalize();
  g_StageSettings.CopySettingsFrom(g_Stage);
  g_StageSettings.ClearDefinitionLists();
  const int player = g_Stage.FindPlayerPlacement();
  if (player >= 0) g_PlayerCharaDef = g_Stage.m_CharaPlaces.At(player);
  CreateScene();
}

bool StageHarness::StartFile(const std::string& path) {
  if (!LoadStageInGame(path.c_str(), 1, &g_StageSettings, &g_PlayerCharaDef)) return false;
  CreateScene();
  return true;
}

void StageHarness::StartPlayback() {
  g_bTestPlay = 0;
  g_bFreeStageStart = 0;
  g_Game.m_nGameMode = GAME_MODE_REPLAY;
  g_Game.m_bRanking = g_SystemData.m_RankingRules.At(GAME_MODE_REPLAY).m_bEnabled;
  g_Game.m_nTitleChoice = TITLE_CHOICE_REPLAY;
  g_Game.m_nScene = SCENE_PLAY;
  g_Game.m_nPrevScene = SCENE_TITLE;
  g_Game.SwitchScene(SCENE_PLAY);
}

void StageHarness::Frame(int16_t dir, int16_t buttons) {
  g_Game.SwitchScene(g_Game.m_nScene);
  cInput& in = g_Input.At(0);
  in.m_sDir = dir;
  in.m_sButton = buttons;
  in.m_nDirNum = cInput::GetDirNum(dir);
  if (cScene* scene = g_Game.GetScene(g_Game.m_nScene)) scene->Update();
  ServeMessages();
}

void StageHarness::Frames(int n, int16_t dir, int16_t buttons) {
  for (int i = 0; i < n; ++i) Frame(dir, buttons);
}

void StageHarness::SetKey(int vk, bool down) { platform::SetKeyDown(vk, down); }

int StageHarness::RunUntilState(int state, int limit) {
  for (int i = 0; i < limit; ++i) {
    if (State() == state) return i;
    Frame();
  }
  return State() == state ? limit : -1;
}

cScenePlay& StageHarness::Scene() { return *g_lpScenePlay; }
cHero& StageHarness::Hero() { return g_Heroes.At(0); }

std::vector<cChara*> StageHarness::Charas() {
  std::vector<cChara*> out;
  for (cChara& c : g_CharaList) out.push_back(&c);
  return out;
}

int StageHarness::State() { return g_lpScenePlay ? g_lpScenePlay->m_nState : -2; }

uint64_t StageHarness::Digest() {
  Fnv h;
  cScenePlay& s = Scene();
  h.Add(s.m_nState);
  h.Add(s.m_nStep);
  h.Add(s.m_nSubStep);
  h.Add(s.m_nSubStepCount);
  h.Add(s.m_nPlayFrame);
  h.Add(s.m_ScrollX.m_dPos);
  h.Add(s.m_ScrollY.m_dPos);
  h.Add(s.m_ScrollX.m_bAtEdge);
  h.Add(s.m_ScrollY.m_bAtEdge);
  h.Add(s.m_nTimeLeft);
  h.Add(s.m_nPlayTime);
  h.Add(s.m_nFrameCounter);
  h.Add(s.m_nSeed);
  for (int32_t v : s.m_StageVars) h.Add(v);
  h.Add(g_SaveData.m_nStageScore);
  h.Add(g_SaveData.m_nLives);
  for (const cHero& hero : g_Heroes) AddObject(h, hero);
  for (const cChara& c : g_CharaList) AddObject(h, c);
  for (const cItem& item : g_ItemList) {
    h.Add(item.m_nId);
    h.Add(item.m_dX);
    h.Add(item.m_dY);
    h.Add(item.m_nLife);
  }
  h.Add(platform::GetRandState());
  return h.Value();
}

}  // namespace t4::test
