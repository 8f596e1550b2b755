// The second status command, taking an item, the graphic and animation commands, code, arrange
// and the loop marker, with their flow-command handlers.
#include "flow/cmd_state.h"

#include <algorithm>

#include "core/report_log.h"
#include "data/database.h"
#include "data/flow_kinds.h"
#include "data/palette.h"
#include "data/stage_file.h"
#include "flow/exec_status.h"
#include "flow/expression.h"
#include "flow/flow_runner.h"
#include "flow/stage_binding.h"
#include "persist/system_data.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/scroll.h"
#include "stage/stage_globals.h"
#include "stage/main_hero.h"

namespace {

// A command shorter than its flow kind's parameter count (damaged data) does nothing.
bool HasParams(const cFlowCommand* cmd, int kind) {
  return cmd && static_cast<int>(cmd->m_Params.size()) >= GetCmdParamCount(CMDCAT_FLOW, kind);
}

void SetSystemScroll(int axis, int32_t flag) {
  if (axis == 0) {
    g_Stage.m_nScrollModeX = flag;
    ScrollX().SetAutoScroll(flag, g_Stage.m_nAutoScrollX);
  } else {
    g_Stage.m_nScrollModeY = flag;
    ScrollY().SetAutoScroll(flag, g_Stage.m_nAutoScrollY);
  }
}

void SetGiant(cCharaBase& o, int32_t value) {
  // Sizes outside the editor's choices would give empty or inverted boxes.
  const int scale = std::clamp<int32_t>(value, GIANT_SCALE_MIN, GIANT_SCALE_MAX);
  const int old = o.m_Def.m_cSize;
  if (!g_SystemData.ScaleFootFixed() && scale != old) o.m_nStopCount = 2;
  o.SetScale(scale, old, 0);
  o.m_Def.m_cSize = static_cast<int8_t>(scale);
  if (o.m_nSide == 0)
    if (cHero* hero = MainHeroOrNull()) hero->BuildHitBoxView();
}

// An item whose list gives itself, directly or through other items, would recurse without end.
constexpr int MAX_ITEM_DEPTH = 32;
int s_nItemDepth = 0;
// Set when a chain reached the limit: every get-item of that chain does nothing until the outermost
// one returns, so a list that gives several items does not branch on below the limit.
bool s_bItemChainCut = false;

}  // namespace

void ExecStatus2(cCharaBase* c, cFlowCommand* cmd) {
  if (!c || !HasParams(cmd, CMD_STATUS2)) return;
  const cSafeVector<int32_t>& p = cmd->m_Params;
  const int owner = p.At(0);
  const int flag = p.At(1);
  const int32_t value = p.At(2);
  if (owner == OWNER_SYSTEM) {
    if (flag == 0 || flag == 1) SetSystemScroll(flag, value);
    return;
  }
  cCharaBase* o = c;
  if (owner >= 1 && owner <= 4) {
    o = c->m_Targets.At(owner - 1);
    if (!o) return;
  }
  cCharaDef& d = o->m_Def;
  const auto byte = static_cast<int8_t>(value);
  switch (flag) {
    case STATUS2_VANISH: MarkVanished(*o, c); break;
    case STATUS2_TRANSPARENT: d.m_cTransparent = byte; break;
    case STATUS2_FIXED_FACING: d.m_cFixedFacing = byte; break;
    case STATUS2_FLIGHT:
      if (o->m_nSide == 0)
        if (cHero* hero = MainHeroOrNull()) hero->SetForm(value, 1, p.At(3), p.At(4));
      break;
    case STATUS2_INVINCIBLE: d.m_cInvincible = byte; break;
    case STATUS2_GIANT: SetGiant(*o, value); break;
    case STATUS2_SCROLL_SYNC:
      d.m_cScrollSync = byte;
      o->m_bScrollRide = static_cast<uint8_t>(byte);
      break;
    default: break;
  }
}

void ExecGetItem(cCharaBase*, cFlowCommand* cmd) {
  if (!HasParams(cmd, CMD_GET_ITEM)) return;
  const int palette = cmd->m_Params.At(0);
  if (palette != 0 && palette != 1) return;
  cSafeVector<cItemDef>* items = GetPaletteItems(palette == 0 ? PALKIND_COMMON : PALKIND_STAGE);
  cHero* hero = MainHeroOrNull();
  if (!items || items->empty() || !hero) return;
  if (s_bItemChainCut) return;
  if (s_nItemDepth >= MAX_ITEM_DEPTH) {
    WriteReportLogF("Items giving items too deep: %d levels, item %d of palette %d is not taken", MAX_ITEM_DEPTH,
                    cmd->m_Params.At(1), palette);
    s_bItemChainCut = true;
    return;
  }
  cItemDef& def = items->At(cmd->m_Params.At(1));
  // As for an item placed in the stage, the list's loops are written out before it runs.
  UnrollLoops(def.m_Cmds);
  ++s_nItemDepth;
  const int r = hero->RunItemCommands(def.m_Cmds);
  if (--s_nItemDepth == 0) s_bItemChainCut = false;
  // A list that ends normally (0) leaves an end request set earlier in the sub-step in place: an
  // item that merely gives points must not cancel a stage clear or a death decided just before.
  if (r != 0 && g_lpScenePlay) g_lpScenePlay->m_nEndRequest = r;
}

void ExecChangeGraphic(cCharaBase* c, cFlowCommand* cmd) {
  if (!c || !HasParams(cmd, CMD_CHANGE_GRAPHIC)) return;
  const cSafeVector<int32_t>& p = cmd->m_Params;
  // The drawing reads the image kind from the definition copy.
  c->m_Def.m_cGraphicKind = static_cast<int8_t>(p.At(0));
  c->m_Def.m_sGraphicNo = static_cast<int16_t>(p.At(1));
  c->m_nGraphic = c->m_Def.m_sGraphicNo;
  c->m_Def.m_sGraphicOffset = static_cast<int16_t>(p.At(2));
}

void ExecChangeAnimeSet(cCharaBase* c, cFlowCommand* cmd) {
  if (!c || !HasParams(cmd, CMD_CHANGE_ANIMESET)) return;
  c->SetAnimeSet(static_cast<uint16_t>(cmd->m_Params.At(0)), 0);
}

void ExecPlayAnime(cCharaBase* c, cFlowCommand* cmd) {
  if (!c || !HasParams(cmd, CMD_PLAY_ANIME)) return;
  const int anime = cmd->m_Params.At(0);
  if (cmd->m_Params.At(1) != 0) {
    c->RemoveAnime(anime);
    return;
  }
  if (g_AnimeTable.empty()) return;
  RUNNINGANIME ra;
  ra.m_nAnime = anime;
  const cFlowState* flow = CurrentFlow();
  ra.m_nFlowSerial = flow ? flow->m_nSerial : -1;
  cSafeVector<ANIMEFRAMELIST> only;
  only.push_back(g_AnimeTable.At(anime));
  c->m_RunningAnimes.push_front(ra);
  cAnime& player = c->m_RunningAnimes.front().m_Anime;
  player.SetTable(only);
  player.Set(0, 1);
}

int ExecCode(cCharaBase* c, cFlowCommand* cmd) {
  if (!cmd) return 0;
  return RunCode(StageFlowBinding(), cmd->m_strText, c);
}

void ExecArrange(cCharaBase*, cFlowCommand* cmd) {
  if (!HasParams(cmd, CMD_ARRANGE)) return;
  if (cmd->m_cCategory == CMDCAT_ITEM) {
    if (cHero* hero = MainHeroOrNull()) hero->m_PendingArranges.push_back(cmd->m_Params);
  } else if (cFlowState* flow = CurrentFlow()) {
    flow->m_Arranges.push_back(cmd->m_Params);
  }
}

void CmdStatus2(cCharaBase* c, cFlowCommandState* s) { ExecStatus2(c, s->m_pCommand); }
void CmdVanish(cCharaBase* c, cFlowCommandState* s) { ExecVanish(c, s->m_pCommand); }
void CmdGetItem(cCharaBase* c, cFlowCommandState* s) { ExecGetItem(c, s->m_pCommand); }
void CmdChangeGraphic(cCharaBase* c, cFlowCommandState* s) { ExecChangeGraphic(c, s->m_pCommand); }
void CmdChangeAnimeSet(cCharaBase* c, cFlowCommandState* s) { ExecChangeAnimeSet(c, s->m_pCommand); }
void CmdPlayAnime(cCharaBase* c, cFlowCommandState* s) { ExecPlayAnime(c, s->m_pCommand); }
void CmdCode(cCharaBase* c, cFlowCommandState* s) { ExecCode(c, s->m_pCommand); }
void CmdArrange(cCharaBase* c, cFlowCommandState* s) { ExecArrange(c, s->m_pCommand); }
// Loops are expanded before a flow starts, so a loop command never runs.
void CmdLoop(cCharaBase*, cFlowCommandState*) {}
