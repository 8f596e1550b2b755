#include "flow/cmd_fire.h"

#include "core/report_log.h"
#include "data/database.h"
#include "data/flow_command.h"
#include "data/stage_file.h"
#include "flow/cmd_move.h"
#include "stage/chara_base.h"
#include "stage/fire.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "flow/frame_steps.h"

namespace {

cEdShot* ShotOf(const cFlowCommandState* cs) {
  return cs && cs->m_pCommand && cs->m_pCommand->m_pShot ? cs->m_pCommand->m_pShot.get() : nullptr;
}

using FIREFN = void (*)(cCharaBase& c, const cFlowCommand& cmd, cEdShot& p);

// Fires at the command's first sub-step and again each tenth of a second.
void Repeating(cCharaBase* c, cFlowCommandState* cs, FIREFN fire) {
  if (cs->m_nCount == 0) {
    PlayCommandSound(*c, *cs);
    if (cEdShot* p = ShotOf(cs)) fire(*c, *cs->m_pCommand, *p);
  }
  if (++cs->m_nCount >= 6 * FrameSubSteps()) cs->m_nCount = 0;
}

void Shoot(cCharaBase& c, const cFlowCommand& cmd, cEdShot& p) {
  if (g_lpScenePlay) FireShot(g_lpScenePlay->m_Shots, c, cmd, p);
}

// Whether the record's sword type has an entry to take the sword's size from. A database without
// sword types, or a type without entries, makes no sword and is logged, instead of the checked
// access that would close the program: a damaged database loses the sword, not the game.
bool SwordTypeUsable(const cEdShot& p) {
  const auto& types = g_Database.m_SwordTypes;
  if (types.empty()) {
    WriteReportLogAndDebugLogF("sword type %d: the database has no sword types", p.m_cMoveType);
    return false;
  }
  if (types.At(p.m_cMoveType).m_Entries.empty()) {
    WriteReportLogAndDebugLogF("sword type %d has no entries", p.m_cMoveType);
    return false;
  }
  return true;
}

}  // namespace

void CmdShot(cCharaBase* c, cFlowCommandState* cs) { Repeating(c, cs, Shoot); }
void CmdSummonBlock(cCharaBase* c, cFlowCommandState* cs) { Repeating(c, cs, SummonBlock); }
void CmdSummonChara(cCharaBase* c, cFlowCommandState* cs) { Repeating(c, cs, SummonChara); }
void CmdSummonItem(cCharaBase* c, cFlowCommandState* cs) { Repeating(c, cs, SummonItem); }

void CmdSword(cCharaBase* c, cFlowCommandState* cs) {
  if (cs->m_nCount == 0) {
    PlayCommandSound(*c, *cs);
    cEdShot* p = ShotOf(cs);
    cScenePlay* scene = g_lpScenePlay;
    if (p && scene && SwordTypeUsable(*p)) {
      // The sword has no speed, range or lifetime of its own; its size comes from its type.
      const FIREPARAM f{};
      cShot sword;
      sword.Setup(scene->m_nShotIdCount, c, CMD_KIND_SWORD, *p, f);
      // The list's copy is linked to its shooter; a sword keeps no target.
      scene->AddShot(sword);
      ++scene->m_nShotIdCount;
    }
  }
  // No wrap: one sword however long the command lasts.
  if (cs->m_nCount < 2147483647) cs->m_nCount++;
}
