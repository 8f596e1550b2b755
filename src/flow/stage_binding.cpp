#include "flow/stage_binding.h"

#include <algorithm>

#include "flow/cmd_warp_target.h"
#include "stage/chara_base.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/scroll.h"
#include "stage/stage_globals.h"

namespace {

constexpr int32_t GRID_BORDER_BLOCKS = 10;

class cStageFlowBinding final : public cFlowStage {
 public:
  cCharaBase* Target(cCharaBase* c, int slot) override {
    return c && slot >= 0 && slot < static_cast<int>(c->m_Targets.size()) ? c->m_Targets.At(slot) : nullptr;
  }
  cCharaBase* Hero() override { return g_Heroes.empty() ? nullptr : &g_Heroes.front(); }
  cCharaDef& Def(cCharaBase* c) override { return c->m_Def; }
  int32_t& Hp(cCharaBase* c) override { return c->m_nHp; }
  int32_t& Sp(cCharaBase* c) override { return c->m_nSp; }
  cSafeVector<int32_t>& Vars(cCharaBase* c) override { return c->m_Vars; }
  int Side(cCharaBase* c) override { return c->m_nSide; }
  bool IsInvincible(cCharaBase* c) override { return c->m_nInvincible > 0 || c->m_Def.m_cInvincible != 0; }
  bool IsWalking(cCharaBase* c) override { return !c->m_bFly; }
  cScreenRect ScreenRect(cCharaBase* c) override {
    c->UpdateScreenRect();
    return {c->m_rcScreen[0], c->m_rcScreen[1], c->m_rcScreen[2], c->m_rcScreen[3], c->m_nDrawWidth, c->m_nDrawHeight};
  }

  // The character's own changes, so that the gauges show what a status operation or a code did.
  void AddHp(cCharaBase* c, int32_t delta, int force, int gauge) override {
    const int32_t before = c->m_nHp;
    c->AddHp(delta, force, gauge);
    if (c->m_nHp != before) RequestHpCheck();
  }
  void AddSp(cCharaBase* c, int32_t delta, int gauge) override { c->AddSp(delta, gauge); }
  void StartHpGauge(cCharaBase* c, int32_t delta) override { c->StartHpGauge(delta); }
  void StartSpGauge(cCharaBase* c, int32_t delta) override { c->StartSpGauge(delta); }
  void SetSightRadius(cCharaBase* c, int32_t dots) override { c->m_nSightDots = dots; }
  void RefreshFriction(cCharaBase* c) override { c->m_dFriction = ScaleAccel(c->m_Def.m_sStopping); }
  void ExecWarp(cCharaBase* c, cFlowCommand& command) override { ::ExecWarp(*c, command, 1); }

  cSafeVector<int32_t>& StageVars() override { return g_lpScenePlay ? g_lpScenePlay->m_StageVars : m_NoVars; }
  int32_t& TimeCounter() override { return g_lpScenePlay ? g_lpScenePlay->m_nTimeLeft : m_nNoTime; }
  bool NoTimeLimit() override { return !g_lpScenePlay || g_lpScenePlay->m_bNoTimeLimit; }
  void RequestHpCheck() override {
    if (g_lpScenePlay) g_lpScenePlay->m_bHpChanged = 1;
  }
  double ScrollPos(int axis) override { return (axis == SCROLL_AXIS_X ? ScrollX() : ScrollY()).m_dPos; }
  int32_t ScrollMargin(int) override { return GRID_BORDER_BLOCKS; }
  void SetAutoScroll(int axis, int32_t flag, int32_t speed) override {
    (axis == SCROLL_AXIS_X ? ScrollX() : ScrollY()).SetAutoScroll(flag, speed);
  }

 private:
  cSafeVector<int32_t> m_NoVars;
  int32_t m_nNoTime = 0;
};

cStageFlowBinding g_StageFlowBinding;

}  // namespace

cFlowStage& StageFlowBinding() { return g_StageFlowBinding; }
