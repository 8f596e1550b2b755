// A stand-in stage for the status operations and the expression language: characters are plain
// records, and every call the flow code makes on the stage is recorded. Header-only so that the
// expression fuzz target can use it too.
#pragma once

#include <cstdint>
#include <deque>
#include <vector>

#include "data/chara_def.h"
#include "data/ed_move.h"
#include "data/flow_command.h"
#include "data/flow_kinds.h"
#include "flow/flow_stage.h"

namespace t4::test {

struct FakeChara {
  cCharaDef def;
  int32_t hp = 0;
  int32_t sp = 0;
  cSafeVector<int32_t> vars = cSafeVector<int32_t>(9, 0);  // variables 1..8 at their own index
  int side = 0;
  bool bInvincible = false;
  bool bWalking = true;
  cScreenRect rect;
  FakeChara* targets[4] = {};

  // What the flow code asked of this character.
  std::vector<int32_t> addHp;
  std::vector<int32_t> addSp;
  std::vector<int> addHpGauge;
  std::vector<int32_t> hpGauge;
  std::vector<int32_t> spGauge;
  int32_t sightRadius = -1;
  int frictionRefreshes = 0;
};

struct FakeWarp {
  FakeChara* chara = nullptr;
  cEdMove move;
};

struct FakeAutoScroll {
  int axis = 0;
  int32_t flag = 0;
  int32_t speed = 0;
};

class FakeFlowStage final : public cFlowStage {
 public:
  static cCharaBase* Handle(FakeChara* c) { return reinterpret_cast<cCharaBase*>(c); }
  static FakeChara& F(cCharaBase* c) { return *reinterpret_cast<FakeChara*>(c); }

  FakeChara& AddChara() { return charas.emplace_back(); }

  cCharaBase* Target(cCharaBase* c, int slot) override {
    return slot >= 0 && slot < 4 ? Handle(F(c).targets[slot]) : nullptr;
  }
  cCharaBase* Hero() override { return Handle(hero); }
  cCharaDef& Def(cCharaBase* c) override { return F(c).def; }
  int32_t& Hp(cCharaBase* c) override { return F(c).hp; }
  int32_t& Sp(cCharaBase* c) override { return F(c).sp; }
  cSafeVector<int32_t>& Vars(cCharaBase* c) override { return F(c).vars; }
  int Side(cCharaBase* c) override { return F(c).side; }
  bool IsInvincible(cCharaBase* c) override { return F(c).bInvincible; }
  bool IsWalking(cCharaBase* c) override { return F(c).bWalking; }
  cScreenRect ScreenRect(cCharaBase* c) override { return F(c).rect; }

  // Like the character's own: the change is clamped to 0..maximum.
  void AddHp(cCharaBase* c, int32_t delta, int force, int gauge) override {
    FakeChara& f = F(c);
    f.addHp.push_back(delta);
    f.addHpGauge.push_back(gauge);
    (void)force;
    f.hp = Clamp(int64_t{f.hp} + delta, f.def.m_nMaxHp);
  }
  void AddSp(cCharaBase* c, int32_t delta, int gauge) override {
    FakeChara& f = F(c);
    f.addSp.push_back(delta);
    (void)gauge;
    f.sp = Clamp(int64_t{f.sp} + delta, f.def.m_nMaxSp);
  }
  void StartHpGauge(cCharaBase* c, int32_t delta) override { F(c).hpGauge.push_back(delta); }
  void StartSpGauge(cCharaBase* c, int32_t delta) override { F(c).spGauge.push_back(delta); }
  void SetSightRadius(cCharaBase* c, int32_t dots) override { F(c).sightRadius = dots; }
  void RefreshFriction(cCharaBase* c) override { ++F(c).frictionRefreshes; }
  void ExecWarp(cCharaBase* c, cFlowCommand& command) override {
    FakeWarp warp;
    warp.chara = &F(c);
    if (command.m_cKind == CMD_WARP && command.m_pMove) warp.move = *command.m_pMove;
    warps.push_back(warp);
  }

  cSafeVector<int32_t>& StageVars() override { return stageVars; }
  int32_t& TimeCounter() override { return time; }
  bool NoTimeLimit() override { return bNoTimeLimit; }
  void RequestHpCheck() override { ++hpCheckRequests; }
  double ScrollPos(int axis) override { return scrollPos[axis & 1]; }
  int32_t ScrollMargin(int axis) override { return scrollMargin[axis & 1]; }
  void SetAutoScroll(int axis, int32_t flag, int32_t speed) override { autoScroll.push_back({axis, flag, speed}); }

  std::deque<FakeChara> charas;  // stable addresses
  FakeChara* hero = nullptr;
  cSafeVector<int32_t> stageVars = cSafeVector<int32_t>(1000, 0);
  int32_t time = 0;
  bool bNoTimeLimit = false;
  int hpCheckRequests = 0;
  double scrollPos[2] = {0, 0};
  int32_t scrollMargin[2] = {0, 0};
  std::vector<FakeAutoScroll> autoScroll;
  std::vector<FakeWarp> warps;

 private:
  static int32_t Clamp(int64_t v, int32_t maximum) {
    if (v > maximum) v = maximum;
    if (v < 0) v = 0;
    return static_cast<int32_t>(v);
  }
};

}  // namespace t4::test
