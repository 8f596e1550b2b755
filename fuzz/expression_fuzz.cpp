// Feeds arbitrary text to the expression language of the code-run command. No text may crash,
// hang or leave a variable or status outside the range an assignment can give it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../tests/flow/fake_flow_stage.h"
#include "data/stage.h"
#include "data/stage_file.h"
#include "flow/expression.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "platform/message_box.h"

namespace {

using t4::test::FakeChara;
using t4::test::FakeFlowStage;

void Check(bool ok) {
  if (!ok) std::abort();
}

bool InRange(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

void CheckChara(const FakeChara& c) {
  const cCharaDef& d = c.def;
  Check(InRange(d.m_cCharaId, 0, 99) && InRange(d.m_cZOrder, 0, 7) && InRange(d.m_sBadgeNo, 0, 119));
  Check(InRange(d.m_cSightRange, 0, 40) && InRange(d.m_cBodyImpact, -20, 20) && InRange(d.m_cImpactResist, 0, 20));
  Check(InRange(d.m_sStopping, 0, 200) && InRange(d.m_nMaxHp, 1, 999999) && InRange(d.m_nMaxSp, 1, 999999));
  Check(InRange(c.hp, 0, 999999) && InRange(c.sp, 0, 999999));
  for (int32_t v : c.vars) Check(InRange(v, -999999, 999999));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static t4::platform::ScriptedMessageBoxBackend boxes;
  t4::platform::SetMessageBoxBackend(&boxes);
  boxes.Clear();

  FakeFlowStage stage;
  FakeChara& me = stage.AddChara();
  FakeChara& target = stage.AddChara();
  FakeChara& hero = stage.AddChara();
  me.targets[0] = &target;
  me.targets[2] = &hero;
  stage.hero = &hero;
  for (FakeChara* c : {&me, &target, &hero}) {
    c->def.m_nMaxHp = 100;
    c->def.m_nMaxSp = 50;
    c->hp = 80;
    c->sp = 30;
  }
  g_SaveData.m_CommonVars.assign(COMMON_VAR_COUNT, 0);
  g_SaveData.m_nStageScore = 0;
  g_SaveData.m_nLives = (size & 1) ? LIVES_INFINITE : 3;
  g_SystemData.m_bCompat752 = (size >> 1) & 1;
  g_SystemData.m_bCompat819 = (size >> 2) & 1;
  g_SystemData.m_bCompat896 = (size >> 3) & 1;
  g_Stage.m_nAutoScrollX = g_Stage.m_nAutoScrollY = 0;

  std::string text(reinterpret_cast<const char*>(data), size);
  RunCode(stage, text, FakeFlowStage::Handle(&me));

  for (int32_t v : g_SaveData.m_CommonVars) Check(InRange(v, -999999, 999999));
  for (int32_t v : stage.stageVars) Check(InRange(v, -999999, 999999));
  Check(InRange(stage.time, 0, 999) && InRange(g_Stage.m_nAutoScrollX, -480, 480) &&
        InRange(g_Stage.m_nAutoScrollY, -480, 480));
  Check(InRange(g_SaveData.m_nStageScore, 0, 999999));
  Check(InRange(g_SaveData.m_nLives, 0, 99) || g_SaveData.m_nLives == LIVES_INFINITE);
  for (const FakeChara& c : stage.charas) CheckChara(c);
  return 0;
}
