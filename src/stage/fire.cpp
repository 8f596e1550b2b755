// The shot command's volleys, the summons, and the creation of each placed object.
#include "stage/fire.h"

#include <cmath>

#include "core/rand_range.h"
#include "data/block.h"
#include "data/chara_def.h"
#include "data/ed_shot.h"
#include "data/flow_command.h"
#include "data/item_def.h"
#include "data/palette.h"
#include "data/ed_move.h"
#include "stage/chara.h"
#include "stage/flow_hooks.h"
#include "stage/game.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

const double FIRE_K = 1.0 / std::sqrt(2.0);

int ResolveFireDirection(int dir, int facingRight) {
  switch (dir) {
    case 0: return facingRight ? 3 : 2;
    case 1: return facingRight ? 2 : 3;
    case 4: return facingRight ? 7 : 6;
    case 5: return facingRight ? 6 : 7;
    case 12: return ConvertDirectionCode(FireInputDirection(), 0, facingRight, g_Game.PlayedReplayVersion());
    default: return dir;
  }
}

int DirectionAngleInt(int dir) {
  switch (dir) {
    case 3: return 180;
    case 6: return 90;
    case 7: return 270;
    case 8: return 45;
    case 9: return 315;
    case 10: return 135;
    case 11: return 225;
    default: return 0;
  }
}

double DirectionAngle(int dir) { return DirectionAngleInt(dir); }

int FireInputDirection() {
  const cScenePlay* scene = g_lpScenePlay;
  return scene && scene->m_lpCurrentFlow ? scene->m_lpCurrentFlow->m_nHeldKey : 0;
}

double ShotOffsetX(const cEdShot& p, int clone, int facingRight) {
  const double v = p.m_sOfsX + clone * p.m_sOfsXPerClone;
  return facingRight && p.m_cMirrorX ? -v : v;
}

double ShotOffsetY(const cEdShot& p, int clone, int facingRight) {
  const double v = p.m_sOfsY + clone * p.m_sOfsYPerClone;
  return facingRight && p.m_cMirrorY ? -v : v;
}

namespace {

using FormationFn = void (*)(cSafeList<cShot>&, cCharaBase&, const cFlowCommand&, cEdShot&, FIREPARAM&);

void RunFormation(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p, FIREPARAM& f) {
  static const FormationFn TABLE[SHOT_FORMATION_COUNT] = {FormationStraightA, FormationStraightB, FormationSpread,
                                                          FormationLightning, FormationExplosion, FormationSurround};
  if (p.m_cFormation >= 0 && p.m_cFormation < SHOT_FORMATION_COUNT) TABLE[p.m_cFormation](shots, shooter, cmd, p, f);
}

void RefreshIfEnemySide(cCharaBase* c) {
  if (c && c->m_nSide != 0) c->UpdateScreenRect();
}

// The angle of volley `volley` with a fresh random spread.
int VolleyAngle(const cEdShot& p, int volley, int facingRight) {
  const int turn = p.m_sAngleOfs + volley * p.m_sAngleOfsPerClone;
  int angle = p.m_cAngleMirror && facingRight ? 360 - turn : turn;
  if (p.m_sSpread != 0) angle += RandRange(-p.m_sSpread, p.m_sSpread);
  return angle;
}

template <class T>
T* PaletteEntry(cSafeVector<T>* list, int index) {
  if (!list || IsOutsideList(index, list->size())) return nullptr;
  return &list->At(index);
}

// Summon records name the common palette by 0 and the stage palette by 1, the palette lists by 1
// and 2.
int PaletteKindOfSummon(const cEdShot& p) {
  return p.m_cSummonPalette == 0 || p.m_cSummonPalette == 1 ? p.m_cSummonPalette + 1 : 0;
}

// Only ordinary characters are summoned: player definitions leave the flag clear.
bool IsSummonable(const cCharaDef& def) { return def.m_cSpareFlag == 1; }

void BeginSummon(FIREPARAM& f, cCharaBase& summoner, const cEdShot& p, int size) {
  f = FIREPARAM{};
  f.nWidth = f.nHeight = size;
  f.dSpeed = 1.0;
  f.nDir = ResolveFireDirection(p.m_cDir, summoner.m_bRight);
  summoner.UpdateScreenRect();
  f.nOffsetX = TruncToInt(ShotOffsetX(p, 0, summoner.m_bRight));
  f.nOffsetY = TruncToInt(ShotOffsetY(p, 0, summoner.m_bRight));
}

}  // namespace

cCharaDef* SummonCharaDef(const cEdShot& p) {
  cCharaDef* def = PaletteEntry(GetPaletteCharas(PaletteKindOfSummon(p)), p.m_sSummonIndex);
  return def && IsSummonable(*def) ? def : nullptr;
}

cItemDef* SummonItemDef(const cEdShot& p) {
  return PaletteEntry(GetPaletteItems(PaletteKindOfSummon(p)), p.m_sSummonIndex);
}

cBlock* SummonBlockDef(const cEdShot& p) {
  return PaletteEntry(GetPaletteBlocks(PaletteKindOfSummon(p)), p.m_sSummonIndex);
}

void FireShot(cSafeList<cShot>& shots, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p) {
  if (p.m_cSize == 0) p.m_cSize = 1;
  FIREPARAM f;
  f.nWidth = f.nHeight = p.m_cSize * 16;
  const int right = shooter.m_bRight;
  f.nDir = ResolveFireDirection(p.m_cDir, right);
  if (shooter.m_nSide != 0) {
    shooter.UpdateScreenRect();
    RefreshIfEnemySide(shooter.m_Targets.At(p.m_cFormSlot));
    RefreshIfEnemySide(shooter.m_Targets.At(p.m_cShotSlot));
  }
  f.dSpeed = p.m_sSpeed * 0.1;
  f.nAngle = VolleyAngle(p, 0, right);
  f.nRange = p.m_sRange;
  f.nLife = p.m_sLife;
  for (int i = 0; i <= p.m_cClones; ++i) {
    f.nClone = static_cast<int16_t>(i);
    f.nOffsetX = TruncToInt(ShotOffsetX(p, i, right));
    f.nOffsetY = TruncToInt(ShotOffsetY(p, i, right));
    RunFormation(shots, shooter, cmd, p, f);
    f.dSpeed += p.m_sSpeedPerClone * 0.1;
    f.nAngle = VolleyAngle(p, i + 1, right);
    f.nRange += p.m_sRangePerClone;
    f.nLife += p.m_sLifePerClone;
  }
}

void SummonChara(cCharaBase& summoner, const cFlowCommand& cmd, cEdShot& p) {
  const cCharaDef* def = SummonCharaDef(p);
  if (!def || !g_lpScenePlay) return;
  FIREPARAM f;
  BeginSummon(f, summoner, p, def->m_cSize * 32);
  RunFormation(g_lpScenePlay->m_Shots, summoner, cmd, p, f);
}

void SummonItem(cCharaBase& summoner, const cFlowCommand& cmd, cEdShot& p) {
  const cItemDef* def = SummonItemDef(p);
  if (!def || !g_lpScenePlay) return;
  FIREPARAM f;
  BeginSummon(f, summoner, p, def->m_cSize * 32);
  RunFormation(g_lpScenePlay->m_Shots, summoner, cmd, p, f);
}

void SummonBlock(cCharaBase& summoner, const cFlowCommand& cmd, cEdShot& p) {
  if (!SummonBlockDef(p) || !g_lpScenePlay) return;
  FIREPARAM f;
  BeginSummon(f, summoner, p, 32);
  // One firing toggles a cell at most once.
  if (p.SummonMode() == 2) g_lpScenePlay->m_ToggledCells.clear();
  RunFormation(g_lpScenePlay->m_Shots, summoner, cmd, p, f);
}

void SpawnAtFormation(cSafeList<cShot>& shots, FIREPARAM& f, cCharaBase& shooter, const cFlowCommand& cmd, cEdShot& p) {
  cScenePlay* scene = g_lpScenePlay;
  if (!scene) return;
  switch (cmd.m_cKind) {
    case CMD_KIND_SHOT: {
      if (&shots != &scene->m_Shots) return;
      // AddShot links the shot to its target and shooter.
      scene->AddShot(scene->m_nShotIdCount, &shooter, CMD_KIND_SHOT, p, f);
      ++scene->m_nShotIdCount;
      break;
    }
    case CMD_KIND_SUMMON_BLOCK:
      if (cBlock* def = SummonBlockDef(p)) scene->SummonBlockAt(f.nX, f.nY, shooter.m_bRight, p, *def);
      break;
    case CMD_KIND_SUMMON_CHARA:
      if (cCharaDef* def = SummonCharaDef(p)) {
        const int facing = p.ReverseFacing() ? !shooter.m_bRight : shooter.m_bRight;
        const int mode = p.SummonFactionMode();
        const int faction = mode == 1 ? shooter.m_Def.m_cLayer : mode == 2 ? p.m_cFaction : def->m_cLayer;
        scene->SpawnSummonedChara(g_CharaList, f.nX, f.nY, faction, facing, p, *def, scene->m_nCharaIdCount, &shooter);
      }
      break;
    case CMD_KIND_SUMMON_ITEM:
      if (cItemDef* def = SummonItemDef(p))
        scene->SpawnSummonedItem(g_ItemList, f.nX, f.nY, p, *def, scene->m_nItemIdCount);
      break;
    default: break;
  }
}
