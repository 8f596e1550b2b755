// Flows, key conditions and flow commands: round trips, older versions, validation, damage.
#include <gtest/gtest.h>

#include <climits>

#include "data/flow.h"
#include "data/flow_kinds.h"
#include "data_test_util.h"
#include "layouts.h"
#include "support/scoped_value.h"
#include "support/temp_dir.h"

using namespace t4::test;

namespace {

cFlowCommand Command(int category, int kind, std::vector<int32_t> params) {
  cFlowCommand cmd;
  cmd.m_cCategory = static_cast<int8_t>(category);
  cmd.m_cKind = static_cast<int8_t>(kind);
  cmd.m_Params.assign(params.begin(), params.end());
  return cmd;
}

cFlow Tree() {
  cFlow flow;
  flow.m_cId = 2;
  flow.m_cTrigger = TRIG_HIT_BLOCK;
  flow.m_Conds.resize(2);
  flow.m_Conds[1].m_cKind = COND_STATUS;
  flow.m_Conds[1].m_nValue = -7;
  flow.m_KeyConds.resize(1);
  flow.m_KeyConds[0].m_Keys.At(11) = 1;
  flow.m_KeyConds[0].m_sMaxFrames = 30;

  cFlowCommand move = Command(CMDCAT_FLOW, CMD_STRAIGHT_MOVE, {});
  MakeEdMove(move.m_pMove);
  move.m_pMove->m_dBrake = 0.25;
  cFlowCommand shot = Command(CMDCAT_FLOW, CMD_SHOT, {});
  MakeEdShot(shot.m_pShot);
  shot.m_pShot->m_nPower = 123456;
  cFlowCommand control = Command(CMDCAT_FLOW, CMD_FLOW_CONTROL, {1, 2, 3, 4});
  MakeCondList(control.m_pConds);
  control.m_pConds->m_cEnabled = 1;
  control.m_pConds->m_Conds.resize(1);
  cFlowCommand message = Command(CMDCAT_FLOW, CMD_MESSAGE, std::vector<int32_t>(19, -1));
  message.m_strText = "こんにちは\nworld";
  cFlowCommand change = Command(CMDCAT_ITEM, ITEMCMD_CHANGE_FLOW, {0, 1});
  change.m_Flows.resize(1);
  change.m_Flows[0].m_Cmds.push_back(Command(CMDCAT_FLOW, CMD_WAIT, {}));
  flow.m_Cmds = {move, shot, control, message, change};
  return flow;
}

TEST(FlowRecords, TreeRoundTripsToTheSameBytes) {
  TempDir dir;
  std::string path = (dir.Path() / "flow.dat").string();
  cFlow original = Tree();
  ASSERT_EQ(original.SaveToFile(path.c_str()), 1);
  std::string first = dir.ReadFile("flow.dat");

  cFlow loaded;
  ASSERT_EQ(loaded.LoadFromFile(path.c_str()), 1);
  ASSERT_EQ(loaded.m_Cmds.size(), 5u);
  EXPECT_EQ(loaded.m_Cmds[0].m_pMove->m_dBrake, 0.25);
  EXPECT_EQ(loaded.m_Cmds[1].m_pShot->m_nPower, 123456);
  EXPECT_EQ(loaded.m_Cmds[2].m_pConds->m_Conds.size(), 1u);
  EXPECT_EQ(loaded.m_Cmds[3].m_strText, "こんにちは\nworld");
  EXPECT_EQ(loaded.m_Cmds[4].m_Flows[0].m_Cmds[0].m_cKind, CMD_WAIT);
  EXPECT_EQ(loaded.m_Conds[1].m_nValue, -7);
  EXPECT_EQ(loaded.m_KeyConds[0].m_Keys.At(11), 1);
  ASSERT_EQ(loaded.SaveToFile(path.c_str()), 1);
  EXPECT_EQ(dir.ReadFile("flow.dat"), first);
}

TEST(FlowRecords, WaitCommandBytes) {
  cFlowCommand wait = Command(CMDCAT_FLOW, CMD_WAIT, {});
  wait.m_sTime = 5;
  std::string expected = LeWriter()
                             .I32(8)
                             .U8(0)
                             .U8(CMD_WAIT)
                             .I16(5)
                             .I16(0)
                             .U8(0)
                             .I16(0)
                             .U8(1)
                             .I16(0)
                             .I32(1)
                             .I32(1)
                             .I32(0)
                             .I32(0)
                             .I32(0)
                             .I32(0)
                             .I32(0)
                             .Bytes();
  EXPECT_EQ(SaveBody(wait), expected);
  EXPECT_EQ(wait.GetMemberBytes(), 12);
  cFlow flow;
  EXPECT_EQ(flow.GetMemberCount(), 10);
  EXPECT_EQ(flow.m_cKeyGap, 3);
  cKeyCond key;
  EXPECT_EQ(key.GetMemberCount(), 5);
}

TEST(FlowRecords, CopiesAreDeep) {
  cFlow source = Tree();
  cFlow copy = source;
  copy.m_Cmds[0].m_pMove->m_sSpeed = 77;
  copy.m_Cmds[2].m_pConds->m_Conds.clear();
  EXPECT_NE(copy.m_Cmds[0].m_pMove.get(), source.m_Cmds[0].m_pMove.get());
  EXPECT_EQ(source.m_Cmds[0].m_pMove->m_sSpeed, 10);
  EXPECT_EQ(source.m_Cmds[2].m_pConds->m_Conds.size(), 1u);
  cFlowCommand assigned;
  assigned = source.m_Cmds[1];
  EXPECT_NE(assigned.m_pShot.get(), source.m_Cmds[1].m_pShot.get());
  EXPECT_EQ(SaveBody(assigned), SaveBody(source.m_Cmds[1]));
}

std::string FlowBody(int v, int trigger, int group, const std::string& name = "n") {
  LeWriter body = LayoutBody(FLOW_LAYOUT, v, {{2, group}, {6, trigger}, {9, 3}},
                             v >= 676 ? std::vector<std::string>{name} : std::vector<std::string>{});
  return body.I32(0).I32(0).I32(0).Bytes();
}

TEST(FlowRecords, OlderFlowTriggersAreRenumbered) {
  struct Case {
    int version, trigger, group, expectedTrigger, expectedGroup;
  };
  const Case cases[] = {
      {899, 1, 0, TRIG_DAMAGED_SETTING, 0},
      {899, 2, 0, TRIG_IMPACTED_SETTING, 0},
      {899, 3, 0, TRIG_DEATH, 0},
      {899, 18, 0, TRIG_ATTACK_DAMAGE_SETTING, 0},
      {899, 20, 0, TRIG_ATTACK_HIT, 0},
      {130, 11, 0, TRIG_BLOCK_TOP, 0},
      {162, 4, 3, TRIG_HIT_CHARA, 0},
      {162, 0, 3, 0, 3},
      {675, 0, 0, 0, 0},
      {902, 5, 2, 5, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    cFlow flow;
    bool consumed = false;
    ASSERT_EQ(LoadBody(flow, c.version, FlowBody(c.version, c.trigger, c.group), &consumed), 1);
    EXPECT_TRUE(consumed);
    EXPECT_EQ(flow.m_cTrigger, c.expectedTrigger);
    EXPECT_EQ(flow.m_cGroup, c.expectedGroup);
    EXPECT_EQ(flow.m_strName, "");
    EXPECT_EQ(flow.m_cKeyGap, 3);
  }
}

TEST(FlowRecords, KeyListsAreAlwaysNineteenLong) {
  for (int stored : {0, 5, 19, 25}) {
    SCOPED_TRACE(stored);
    std::string body =
        LeWriter().I32(5).U8(1).I16(2).I16(3).U8(0).U8(1).I32(0).I32(stored).Raw(std::string(stored, '\x02')).Bytes();
    cKeyCond key;
    bool consumed = false;
    ASSERT_EQ(LoadBody(key, 902, body, &consumed), 1);
    EXPECT_TRUE(consumed);
    ASSERT_EQ(key.m_Keys.size(), 19u);
    EXPECT_EQ(key.m_Keys.At(0), stored ? 2 : 0);
    EXPECT_EQ(key.m_Keys.At(18), stored >= 19 ? 2 : 0);
    EXPECT_EQ(key.m_sMaxFrames, 3);
  }
}

// A command body as a file of version v stores it.
std::string CommandBody(int v, int category, int kind, const std::vector<int32_t>& params, const std::string& move = {},
                        const std::string& shot = {}) {
  LeWriter body = LayoutBody(COMMAND_LAYOUT, v, {{1, category}, {2, kind}, {7, 1}}, {""});
  body.I32(move.empty() ? 0 : 1).Raw(move).I32(shot.empty() ? 0 : 1).Raw(shot);
  if (v >= 764) body.I32(0);
  body.I32(0).I32(static_cast<int64_t>(params.size()));
  for (int32_t p : params) body.I32(p);
  return body.Bytes();
}

TEST(FlowRecords, OlderCommandsAreUpgraded) {
  struct Case {
    int version, category, kind;
    std::vector<int32_t> params;
    int expectedKind;
    std::vector<int32_t> expected;
  };
  const std::vector<int32_t> fifteen = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
  const std::vector<int32_t> target = {0, 1, 2, 0, 3, 4, 5, 6, 7, 8, 9, 0, 1, 12, 13, 0};
  const Case cases[] = {
      {733, CMDCAT_FLOW, 24, {1, 5}, CMD_GET_ITEM, {1, 5}},
      {733, CMDCAT_ITEM, 9, {1, 5}, 10, {1, 5}},
      {165, CMDCAT_FLOW, 35, {7}, CMD_BGM, {7, 1}},
      {144, CMDCAT_FLOW, CMD_STAGE_CLEAR, {2}, CMD_STAGE_CLEAR, {3, 0, 0, 0, 0, 0, 0, 0, 0}},
      // Inserted at 2 (v < 189), three fixed values (v < 747), inserted at 0 (v < 767).
      {188, CMDCAT_FLOW, CMD_SET_TARGET, fifteen, CMD_SET_TARGET, target},
      {188, CMDCAT_ITEM, 6, fifteen, 6, target},
      {725, CMDCAT_FLOW, 37, {0, 2}, CMD_ARRANGE, {11, 5, 0, 0, 0}},
      {897, CMDCAT_FLOW, CMD_ARRANGE, {22, 0, 0, 0, 0}, CMD_ARRANGE, {22, 2, 0, 0, 0}},
      {897, CMDCAT_FLOW, CMD_ARRANGE, {32, 0, 0, 0, 0}, CMD_ARRANGE, {32, 1, 0, 0, 0}},
      {898, CMDCAT_ITEM, 23, {11, 14, 0, 0, 0}, 23, {11, 15, 0, 0, 0}},
      {881, CMDCAT_FLOW, CMD_STATUS, {0, 0, 0, 0, 6, 0, 2, 0, 0, 0, 0, 0, 5, 6}, CMD_STATUS, {0, 0, 0, 0, 8, 0, 2, 0,
                                                                                              0, 0, 0, 0, 5, 6, 0, 0,
                                                                                              0, 0, 0, 0, 2, 0}},
      {890, CMDCAT_FLOW, CMD_MESSAGE, {8}, CMD_MESSAGE, {9, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      // Stored without the parameters the rules read: they count as 0 and nothing is written past the end.
      {100, CMDCAT_FLOW, CMD_STATUS, {}, CMD_STATUS, {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                                      0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0}},
      {100, CMDCAT_FLOW, CMD_STATUS2, {}, CMD_STATUS2, {0, 0, 0, 0, 0}},
      {100, CMDCAT_FLOW, 37, {}, CMD_ARRANGE, {11, 0, 0, 0, 0}},
      {202, CMDCAT_FLOW, CMD_SUMMON_CHARA, {4, 4}, CMD_SUMMON_CHARA, {}},
      {902, CMDCAT_FLOW, CMD_TURN, {1, 2, 3}, CMD_TURN, {1}},
      {902, CMDCAT_FLOW, 45, {1, 2, 3}, 45, {1, 2, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.version << " cat " << c.category << " kind " << c.kind);
    cFlowCommand cmd;
    bool consumed = false;
    ASSERT_EQ(LoadBody(cmd, c.version, CommandBody(c.version, c.category, c.kind, c.params), &consumed), 1);
    EXPECT_TRUE(consumed);
    EXPECT_EQ(cmd.m_cKind, c.expectedKind);
    EXPECT_EQ(std::vector<int32_t>(cmd.m_Params.begin(), cmd.m_Params.end()), c.expected);
  }
}

TEST(FlowRecords, OlderCommandsUpgradeTheirRecordsOnlyWhenPresent) {
  cFlowCommand warp;
  std::string move = LayoutBody(MOVE_LAYOUT, 766, {{1, 2}}).Bytes();
  ASSERT_EQ(LoadBody(warp, 766, CommandBody(766, CMDCAT_FLOW, CMD_WARP, {}, move)), 1);
  ASSERT_TRUE(warp.m_pMove);
  EXPECT_EQ(warp.m_pMove->m_cMode, 5);
  EXPECT_EQ(warp.m_pMove->m_cUseX, 1);
  EXPECT_EQ(warp.m_pMove->m_cYPoint, 2);

  cFlowCommand shot;
  std::string shotBody = LayoutBody(SHOT_LAYOUT, 219, {{20, 119}}).Bytes();
  ASSERT_EQ(LoadBody(shot, 219, CommandBody(219, CMDCAT_FLOW, CMD_SHOT, {}, {}, shotBody)), 1);
  EXPECT_EQ(shot.m_pShot->m_sGraphic, 119);

  // Stored without their records: the rules that read them are skipped, nothing is created.
  for (auto [version, kind] : {std::pair{513, CMD_CHARGE_MOVE}, {766, CMD_WARP}, {219, CMD_SHOT}, {902, CMD_SWORD}}) {
    FakeDataRefs refs;
    cFlowCommand bare;
    ASSERT_EQ(LoadBody(bare, version, CommandBody(version, CMDCAT_FLOW, kind, {})), 1);
    EXPECT_FALSE(bare.m_pMove);
    EXPECT_FALSE(bare.m_pShot);
    bare.ValidatePaletteRefs();
  }

  cFlowCommand control;
  ASSERT_EQ(LoadBody(control, 759, CommandBody(759, CMDCAT_FLOW, CMD_FLOW_CONTROL, {1, 2, 3, 9})), 1);
  ASSERT_TRUE(control.m_pConds);
  EXPECT_EQ(control.m_pConds->m_cEnabled, 0);
  EXPECT_EQ(std::vector<int32_t>(control.m_Params.begin(), control.m_Params.end()), (std::vector<int32_t>{1, 2, 3, 0}));
}

TEST(FlowRecords, ValidationResetsDatabaseIndexes) {
  FakeDataRefs refs;  // every list holds 10 entries
  refs.m_SwordDurations = {{5000, 6000}, {3}};
  struct Case {
    int category, kind;
    std::vector<int32_t> params;
    std::vector<int32_t> expected;
  };
  const Case cases[] = {
      {CMDCAT_FLOW, CMD_EFFECT, {10}, {1, 0, 0, 0, 0, 0, 0, 0, 0}},
      {CMDCAT_FLOW, CMD_EFFECT, {0}, {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {CMDCAT_FLOW, CMD_PICTURE, {-1}, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {CMDCAT_FLOW, CMD_CHANGE_ANIMESET, {10}, {0}},
      {CMDCAT_FLOW, CMD_CHANGE_GRAPHIC, {3, 50, 0}, {3, 50, 0}},
      {CMDCAT_FLOW, CMD_CHANGE_GRAPHIC, {4, 50, 0}, {4, 1, 0}},
      {CMDCAT_FLOW, CMD_BGM, {9, 1}, {9, 1}},
      {CMDCAT_ITEM, 20, {12}, {1}},
      {CMDCAT_ITEM, 12, {10}, {0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "cat " << c.category << " kind " << c.kind);
    cFlowCommand cmd = Command(c.category, c.kind, c.params);
    cmd.Validate();
    EXPECT_EQ(std::vector<int32_t>(cmd.m_Params.begin(), cmd.m_Params.end()), c.expected);
  }

  cFlowCommand cmd = Command(CMDCAT_FLOW, CMD_WAIT, {});
  cmd.m_sAnime = 10;
  cmd.m_sSound = 9;
  cmd.Validate();
  EXPECT_EQ(cmd.m_sAnime, 0);
  EXPECT_EQ(cmd.m_sSound, 9);

  cFlowCommand sword = Command(CMDCAT_FLOW, CMD_SWORD, {});
  MakeEdShot(sword.m_pShot);
  sword.Validate();
  EXPECT_EQ(sword.m_sTime, 9999);
  sword.m_pShot->m_cMoveType = 1;
  sword.Validate();
  EXPECT_EQ(sword.m_sTime, 3);
  sword.m_pShot->m_cMoveType = 12;
  sword.Validate();
  EXPECT_EQ(sword.m_pShot->m_cMoveType, 0);
  refs.m_SwordDurations = {{INT_MAX, INT_MAX, -5}};
  sword.Validate();
  EXPECT_EQ(sword.m_sTime, 9994);
  refs.m_SwordDurations = {{-40000}};
  sword.Validate();
  EXPECT_EQ(sword.m_sTime, INT16_MIN);
}

TEST(FlowRecords, PaletteReferencesPastTheEndAreReset) {
  FakeDataRefs refs;  // every palette list holds 10 entries
  cFlowCommand shot = Command(CMDCAT_FLOW, CMD_SHOT, {});
  MakeEdShot(shot.m_pShot);
  shot.m_pShot->m_cItemKind = 2;
  shot.m_pShot->m_sItem = 10;
  cFlowCommand summon = Command(CMDCAT_FLOW, CMD_SUMMON_CHARA, {});
  MakeEdShot(summon.m_pShot);
  summon.m_pShot->m_cSummonPalette = 1;
  summon.m_pShot->m_sSummonIndex = 10;
  cFlowCommand give = Command(CMDCAT_ITEM, 10, {0, 10});
  cFlowCommand keep = Command(CMDCAT_FLOW, CMD_GET_ITEM, {1, 9});
  cFlow nested;
  nested.m_Cmds = {give};
  cFlowCommand change = Command(CMDCAT_ITEM, ITEMCMD_CHANGE_FLOW, {0, 0});
  change.m_Flows = {nested};
  for (cFlowCommand* cmd : {&shot, &summon, &keep, &change}) cmd->ValidatePaletteRefs();
  EXPECT_EQ(shot.m_pShot->m_cItemKind, 0);
  EXPECT_EQ(shot.m_pShot->m_sItem, 0);
  EXPECT_EQ(summon.m_pShot->m_sSummonIndex, 1);
  EXPECT_EQ(keep.m_Params.At(1), 9);
  EXPECT_EQ(change.m_Flows[0].m_Cmds[0].m_Params.At(1), 1);

  refs.m_PaletteCounts[PALETTE_STAGE][PALLIST_CHARA] = -1;  // stage palette not loaded: no check
  summon.m_pShot->m_sSummonIndex = 50;
  summon.ValidatePaletteRefs();
  EXPECT_EQ(summon.m_pShot->m_sSummonIndex, 50);
}

TEST(FlowRecords, TestPlayFlowsAreRemovedOutsideATestPlay) {
  cFlowCommand change = Command(CMDCAT_ITEM, ITEMCMD_CHANGE_FLOW, {0, 0});
  change.m_Flows.resize(4);
  for (int i = 0; i < 4; ++i) change.m_Flows[static_cast<size_t>(i)].m_cId = static_cast<int8_t>(i + 1);
  change.m_Flows[0].m_cTestPlayOnly = 1;
  change.m_Flows[2].m_cTestPlayOnly = 1;
  std::string body = SaveBody(change);

  struct Case {
    int testPlay, keep;
    std::vector<int> ids;
  };
  for (Case c : {Case{0, 0, {2, 4}}, Case{1, 0, {1, 2, 3, 4}}, Case{0, 1, {1, 2, 3, 4}}}) {
    FakeDataRefs refs;
    refs.m_bKeepTestFlows = c.keep;
    cFlowCommand loaded;
    {
      t4::test::ScopedValue<int32_t> testPlay(g_bTestPlay, c.testPlay);
      ASSERT_EQ(LoadBody(loaded, 902, body), 1);
    }
    std::vector<int> ids;
    for (const cFlow& flow : loaded.m_Flows) ids.push_back(flow.m_cId);
    EXPECT_EQ(ids, c.ids);
  }
}

TEST(FlowRecords, DamagedCommandListsAreRefused) {
  auto load = [](const std::string& body) {
    cSafeVector<cFlowCommand> cmds;
    return LoadStream(902, body, [&](FILE* fp) { return LoadFlowCommandVector(cmds, fp); });
  };
  std::string wait = CommandBody(902, CMDCAT_FLOW, CMD_WAIT, {});
  EXPECT_EQ(load(LeWriter().I32(1).Raw(wait).Bytes()), 1);
  EXPECT_EQ(load(LeWriter().I32(-1).Bytes()), 0);
  EXPECT_EQ(load(LeWriter().I32(INT_MAX).Raw(wait).Bytes()), 0);
  EXPECT_EQ(load(LeWriter().I32(2).Raw(wait).Bytes()), 0);
  // A presence flag other than 0 or 1.
  std::string badFlag = LayoutBody(COMMAND_LAYOUT, 902, {}, {""}).I32(2).Bytes();
  EXPECT_EQ(load(LeWriter().I32(1).Raw(badFlag).Bytes()), 0);
  // Parameter count beyond the file, and negative.
  std::string params = LayoutBody(COMMAND_LAYOUT, 902, {}, {""}).I32(0).I32(0).I32(0).I32(0).Bytes();
  EXPECT_EQ(load(LeWriter().I32(1).Raw(params).I32(1000).I32(1).Bytes()), 0);
  EXPECT_EQ(load(LeWriter().I32(1).Raw(params).I32(-3).Bytes()), 0);
}

TEST(FlowRecords, DeeplyNestedFlowsAreRefused) {
  // command -> flow -> command -> ... , far deeper than any project.
  std::string inner = CommandBody(902, CMDCAT_ITEM, ITEMCMD_CHANGE_FLOW, {0, 0});
  for (int depth = 0; depth < 40; ++depth) {
    std::string flow = LayoutBody(FLOW_LAYOUT, 902, {}, {""}).I32(0).I32(0).I32(1).Raw(inner).Bytes();
    inner =
        LayoutBody(COMMAND_LAYOUT, 902, {{1, 1}, {2, 1}}, {""}).I32(0).I32(0).I32(0).I32(1).Raw(flow).I32(0).Bytes();
  }
  cFlowCommand cmd;
  EXPECT_EQ(LoadBody(cmd, 902, inner), 0);
}

TEST(FlowRecords, EveryTruncationOfATreeFails) {
  cFlow tree = Tree();
  std::string body = SaveBody(tree);
  for (size_t length = 0; length < body.size(); ++length) {
    cFlow flow;
    ASSERT_EQ(LoadBody(flow, 902, body.substr(0, length)), 0) << length;
  }
  cFlow flow;
  EXPECT_EQ(LoadBody(flow, 902, body), 1);
}

}  // namespace
