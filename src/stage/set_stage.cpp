// Stage set-up: a loaded stage record becomes a playable stage in the play scene.
#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

#include "core/globals.h"
#include "core/message_box.h"
#include "core/report_log.h"
#include "core/timing.h"
#include "data/flow_kinds.h"
#include "data/data_refs.h"
#include "data/stage_file.h"
#include "gfx/dd.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "platform/random.h"
#include "platform/winapi.h"
#include "stage/chara.h"
#include "stage/flow_hooks.h"
#include "stage/hero.h"
#include "stage/input.h"
#include "stage/item.h"
#include "stage/menu.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"
#include "stage/main_hero.h"

namespace {

constexpr int32_t NO_TIME_LIMIT_SECONDS = 999;

// A size the grid can be built for; anything else would index rows that do not exist or ask for
// an impossible amount of memory.
bool IsPlayableSize(int32_t w, int32_t h) {
  return w >= 1 && h >= 1 && w <= STAGE_SIZE_MAX && h <= STAGE_SIZE_MAX &&
         static_cast<int64_t>(w) * h <= STAGE_AREA_MAX;
}

}  // namespace

cSafeVector<int32_t> MakeContactSchedule(int n, int k) {
  cSafeVector<int32_t> schedule;
  if (n <= 0) return schedule;
  if (k <= 0 || k >= n) {
    schedule.assign(static_cast<size_t>(n), 1);
    return schedule;
  }
  schedule.assign(static_cast<size_t>(n), 0);
  // The sub-steps trunc(j x n / k), spread evenly over the frame from its first sub-step.
  for (int j = 0; j < k; ++j) schedule.At(j * n / k) = 1;
  return schedule;
}

void cScenePlay::SetStage(int bLoadStage, int bStartBgm) {
  DebugLogf("In SetStage bLoadStage = %d", bLoadStage);
  ++m_nSetStageCount;
  m_nPlayFrame = 0;
  m_ShotLayers.assign(FACTION_COUNT, cSafeList<cShot*>());
  m_Shots.clear();
  ++m_nShotChanges;
  m_CharaLayers.assign(FACTION_COUNT, cSafeList<cCharaBase*>());
  ResetStageWorld();

  const bool bPlayback = g_Game.m_nTitleChoice == TITLE_CHOICE_REPLAY;
  if (bLoadStage) {
    if (bPlayback) {
      cStage scratch;
      const std::string path = g_Stage.m_strPath;
      if (!g_Replay.LoadReplayFile(path.c_str(), g_Stage, scratch, g_SaveData)) PostCloseToMainWindow();
      g_Stage.CopySettingsFrom(g_StageSettings);
    } else {
      g_Stage.CopySettingsFrom(g_StageSettings);
      const int p = g_Stage.FindPlayerPlacement();
      if (!g_SystemData.KeepPlayerChangesOnRetry() && p >= 0) g_Stage.m_CharaPlaces.At(p) = g_PlayerCharaDef;
    }
  }

  if (bPlayback) {
    m_nSeed = static_cast<uint32_t>(g_Replay.m_nSeed);
    g_Replay.Rewind();
  } else {
    m_nSeed = timeGetTime();
    if (g_SystemData.m_bReplay) {
      g_SaveDataPrev = g_SaveDataStart;
      g_SaveDataStart = g_SaveData;
      g_ReplayLast.Assign(g_Replay);
      g_Replay.Clear();
      g_Replay.m_nSeed = static_cast<int32_t>(m_nSeed);
    }
  }
  t4::platform::SeedRand(m_nSeed);

  const int player = g_Stage.FindPlayerPlacement();
  if (g_Stage.m_nTakeOverStatus && player >= 0) g_SaveData.RestoreStatus(0, g_Stage.m_CharaPlaces.At(player));

  const int bgm = g_Stage.m_nBgm;
  const int loop = g_Stage.m_nBgmLoop;
  const int current = g_SaveData.m_nBgm;
  if (bStartBgm) {
    if (g_Stage.m_nBgmKeep && current == bgm) {
      if (bgm == 0) PlayBgm(0, loop);
    } else {
      PlayBgm(bgm, loop);
    }
  } else if (current != bgm) {
    PlayBgm(bgm, loop);
  }
  g_Game.m_nLastBgm = 0;
  m_nCharaIdCount = 0;
  m_nItemIdCount = 0;
  m_nShotIdCount = 0;

  g_Stage.SetCollisionLevel(g_Stage.m_nCollisionLevel);
  if (!IsPlayableSize(g_Stage.m_nWidth, g_Stage.m_nHeight) || player < 0) {
    WriteReportLog("SetStage: stage %d x %d, player placement %d: the stage cannot be played", g_Stage.m_nWidth,
                   g_Stage.m_nHeight, player);
    ErrorBox("ステージの初期設定に失敗しました！");
    PostCloseToMainWindow();
    m_bSetupFailed = 1;
    return;
  }
  SetupScroll();
  if (!BuildGrid()) return;

  m_nHeroCount = 1;
  g_Heroes.emplace_back();
  DebugLogf("A");
  cHero& hero = MainHero();
  cCharaDef& p0 = g_Stage.m_CharaPlaces.At(player);
  if (g_SaveData.m_bNextStart) p0.m_cFacing = static_cast<int8_t>(g_SaveData.m_nNextStartDir);
  hero.Setup(m_nCharaIdCount++, &p0, (p0.m_sBlockX + GRID_BORDER_TILES) * 32 + 16,
             (p0.m_sBlockY + GRID_BORDER_TILES) * 32 + 16, nullptr);
  if (g_SaveData.m_bNextStart) {
    p0.m_sBlockX = static_cast<int16_t>(g_SaveData.m_nNextStartX);
    p0.m_sBlockY = static_cast<int16_t>(g_SaveData.m_nNextStartY);
  }
  hero.SetBlockPos(p0.m_sBlockX, p0.m_sBlockY, 1);
  const double ox = p0.GetRepeatOffsetX(0, p0.m_cFacing);
  const double oy = p0.GetRepeatOffsetY(0, p0.m_cFacing);
  hero.m_dX += ox;
  hero.m_dRight += ox;
  hero.m_dY += oy;
  hero.m_dBottom += oy;
  if (g_Stage.m_nTakeOverStatus) g_SaveData.RestoreStatusValues(0, &hero.m_nHp, &hero.m_nSp);
  hero.m_Anime.Set(hero.m_bFly ? 2 : 0, 1);
  DebugLogf("B");

  m_ScrollX.m_dPos = hero.m_dX + hero.m_nHitWidth / 2 - 320;
  m_ScrollX.Clamp(0);
  m_ScrollY.m_dPos = hero.m_dY + hero.m_nHitHeight / 2 - 240;
  m_ScrollY.Clamp(0);
  hero.UpdateHeroScreenRect();

  m_StageVars.assign(STAGE_VARIABLE_COUNT, 0);
  PlaceObjects();

  m_CharaLayers.At(hero.m_nLayer).push_back(&hero);
  for (cChara& c : g_CharaList) m_CharaLayers.At(c.m_nLayer).push_back(&c);
  m_bOutOfAreaChara = g_Stage.m_Areas[STAGE_AREA_CHARA].AnySide() ? 1 : 0;
  m_bOutOfAreaBlockChara = g_Stage.m_Areas[STAGE_AREA_BLOCK_CHARA].AnySide() ? 1 : 0;
  m_bOutOfAreaItem = g_Stage.m_Areas[STAGE_AREA_ITEM].AnySide() ? 1 : 0;
  ClearMessageWindows(m_MessageWindows);
  m_Wait.m_nReserved = 0;
  m_ContactSchedule = MakeContactSchedule(g_Stage.m_nSubSteps, g_Stage.m_nContactChecks);
  m_nEndRequest = 0;
  m_bContactRunning = 0;
  // Blocks exist as their conditions say, seen from the main hero and latched in the cell.
  SetBlockCondCheck(&CheckMapCellCond);
  m_nCaptionCount = 0;
  m_nCaptionCount2 = 0;
  if (g_Stage.m_nTimeLimitOn) {
    m_nTimeLeft = g_Stage.m_nTimeLimit;
    m_bNoTimeLimit = 0;
  } else {
    m_nTimeLeft = NO_TIME_LIMIT_SECONDS;
    m_bNoTimeLimit = 1;
  }
  m_nFrameCounter = 0;
  m_nPlayTime = 0;
  m_GroupActive.assign(ACT_GROUP_COUNT, 0);
  m_nNextStage = 0;
  m_nSubStep = 0;
  m_nSubStepCount = 0;
  m_nDeathShown = 0;
  g_SaveData.m_nStageScore = 0;
  if (bPlayback || (g_bTestPlay && g_bFreeStageStart)) g_SaveData.ClearResults();
  g_SaveData.BackupVariables();
  for (cInput& in : g_Input) in.Reset();
  g_MenuCursor.Reset();
  // A stage without its own rate runs at the usual 60 frames.
  const int fps = g_Stage.m_nFps > 0 ? g_Stage.m_nFps : 60;
  CountFrameTick(0, static_cast<unsigned>(fps));
  for (cBackground& layer : g_Stage.m_Backgrounds) {
    layer.m_dAutoOffsetX = 0.0;
    layer.m_dAutoOffsetY = 0.0;
  }
  m_Effects.clear();
  ClearPictures();
  m_Draw.ResetForStage();
  MakeSightMask();
  if (g_nBpp == 8) {
    std::memcpy(g_PaletteWork, g_Palette, sizeof(g_PaletteWork));
    DDSetPaletteEntries(0, 256, g_PaletteWork);
  }
  g_Game.m_nFps = fps;
  hero.InitLinks(nullptr);
  for (cChara& c : g_CharaList) c.InitLinks(nullptr);
  FireBeforeStart();
  DDSetVirtualBackBuffer(false);
  DebugLogf("Out SetStage");
}

void cScenePlay::SetupScroll() {
  const int32_t w = g_Stage.m_nWidth;
  const int32_t h = g_Stage.m_nHeight;
  m_ScrollX.Setup(0, w, g_Stage.m_nAreaWidth, BitCount(static_cast<uint32_t>(w + 19)));
  m_ScrollX.SetAutoScroll(g_Stage.m_nScrollModeX, g_Stage.m_nAutoScrollX);
  m_ScrollX.SetLimits(g_Stage.m_nLimitLeft, g_Stage.m_nLimitRight, g_Stage.m_nLimitLeftOn, g_Stage.m_nLimitRightOn);
  m_ScrollY.Setup(1, h, g_Stage.m_nAreaHeight, 0);
  m_ScrollY.SetAutoScroll(g_Stage.m_nScrollModeY, g_Stage.m_nAutoScrollY);
  m_ScrollY.SetLimits(g_Stage.m_nLimitTop, g_Stage.m_nLimitBottom, g_Stage.m_nLimitTopOn, g_Stage.m_nLimitBottomOn);
}

int cScenePlay::BuildGrid() {
  const int32_t w = g_Stage.m_nWidth;
  const int32_t h = g_Stage.m_nHeight;
  const int k = m_ScrollX.m_nPitchShift;
  g_MapGrid.clear();
  try {
    g_MapGrid.resize(static_cast<size_t>(h + 2 * GRID_BORDER_TILES) << k);
  } catch (const std::bad_alloc&) {
    g_MapGrid.clear();
  } catch (const std::length_error&) {
    g_MapGrid.clear();
  }
  if (g_MapGrid.empty()) {
    ErrorBox("メモリ不足により、ステージの初期設定に失敗しました！");
    PostCloseToMainWindow();
    m_bSetupFailed = 1;
    return 0;
  }
  for (cMapCell& cell : g_MapGrid) {
    cell.m_sGraphicNo = 0;
    cell.m_cHit = 0;
    cell.m_cHit2 = 0;
    cell.m_cState = 0;
  }
  for (const cBlock& block : g_Stage.m_BlockPlaces) {
    // A placement outside the stage would land in another row or outside the grid.
    if (block.m_sBlockX < 0 || block.m_sBlockX >= w || block.m_sBlockY < 0 || block.m_sBlockY >= h) continue;
    const int index = (block.m_sBlockX + GRID_BORDER_TILES) + ((block.m_sBlockY + GRID_BORDER_TILES) << k);
    cMapCell& cell = g_MapGrid.At(index);
    cell = block;
    cell.m_cState = 0;
  }
  return 1;
}

void cScenePlay::PlaceObjects() {
  DebugLogf("10");
  cSafeVector<uint8_t> carried(g_Stage.m_ItemPlaces.size(), 0);
  for (cCharaDef& place : g_Stage.m_CharaPlaces) {
    if (place.m_cController == 0) continue;
    const int j = g_Stage.GetCarriedItemPlacement(place);
    if (j < 0) {
      SpawnCharas(g_CharaList, place.m_sBlockX, place.m_sBlockY, m_nCharaIdCount, place, nullptr);
      continue;
    }
    cItem item;
    item.Setup(m_nItemIdCount++, g_Stage.m_ItemPlaces.At(j), 1);
    SpawnCharas(g_CharaList, place.m_sBlockX, place.m_sBlockY, m_nCharaIdCount, place, &item);
    carried.At(j) = 1;
  }
  for (int j = 0; j < static_cast<int>(g_Stage.m_ItemPlaces.size()); ++j) {
    if (carried.At(j)) continue;
    cItemDef& place = g_Stage.m_ItemPlaces.At(j);
    SpawnItem(g_ItemList, place.m_sBlockX, place.m_sBlockY, m_nItemIdCount, place);
  }
  DebugLogf("11");
  DebugLogf("12");
  DebugLogf("C");
  DebugLogf("D");
}

void cScenePlay::FireBeforeStart() {
  const bool bAll = g_SystemData.TriggerAllBeforeStart() != 0;
  if (!bAll) UpdateActive();
  MainHero().FireTrigger(TRIG_BEFORE_STAGE_START);
  for (auto it = g_CharaList.begin(); it != g_CharaList.end();) {
    cChara& c = *it;
    if (!bAll && !c.m_bActive) {
      ++it;
      continue;
    }
    c.FireTrigger(TRIG_BEFORE_STAGE_START);
    if (c.m_bVanish) {
      it = EraseChara(it);
    } else if (c.m_nHp <= 0) {
      KillChara(c);
      it = EraseChara(it);
    } else {
      ++it;
    }
  }
  UpdateActive();
}
