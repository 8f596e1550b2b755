// Shared set-up of the flow tests: a fake stage with an executing character, four targets and a
// hero, clean save data and System.dat switches, and message boxes that are recorded.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/stage.h"
#include "data/stage_file.h"
#include "fake_flow_stage.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "platform/message_box.h"
#include "platform/random.h"

namespace t4::test {

class FlowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t4::platform::SeedRand(1);
    g_SaveData.m_CommonVars.assign(COMMON_VAR_COUNT, 0);
    g_SaveData.m_nStageScore = 0;
    g_SaveData.m_nLives = 3;
    g_SystemData.m_bCompat752 = 0;
    g_SystemData.m_bCompat819 = 0;
    g_SystemData.m_bCompat895 = 0;
    g_SystemData.m_bCompat896 = 0;
    g_Stage.m_nScrollModeX = 1;
    g_Stage.m_nScrollModeY = 0;
    g_Stage.m_nAutoScrollX = 0;
    g_Stage.m_nAutoScrollY = 0;
    me = &stage.AddChara();
    for (int i = 0; i < 4; ++i) {
      targets[i] = &stage.AddChara();
      targets[i]->side = 1;
    }
    hero = &stage.AddChara();
    stage.hero = hero;
    for (FakeChara* c : {me, targets[0], targets[1], targets[2], targets[3], hero}) {
      c->def.m_nMaxHp = 100;
      c->def.m_nMaxSp = 50;
      c->hp = 80;
      c->sp = 30;
    }
    LinkTargets();
  }

  void LinkTargets() {
    for (int i = 0; i < 4; ++i) me->targets[i] = targets[i];
  }
  cCharaBase* Me() { return FakeFlowStage::Handle(me); }

  std::vector<std::string> BoxTexts() const {
    std::vector<std::string> texts;
    for (const auto& box : m_boxes.Boxes()) texts.push_back(box.text);
    return texts;
  }
  std::vector<std::string> BoxCaptions() const {
    std::vector<std::string> captions;
    for (const auto& box : m_boxes.Boxes()) captions.push_back(box.caption);
    return captions;
  }

  FakeFlowStage stage;
  FakeChara* me = nullptr;
  FakeChara* targets[4] = {};
  FakeChara* hero = nullptr;
  t4::platform::ScriptedMessageBoxBackend m_boxes;
  t4::platform::ScopedMessageBoxBackend m_installedBoxes{m_boxes};
};

}  // namespace t4::test
