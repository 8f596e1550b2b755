// Stored bytes that the files define as unsigned keep values of 128 and above.
#include <gtest/gtest.h>

#include "data/ed_shot.h"
#include "data/flow_command.h"
#include "data/flow_kinds.h"
#include "data_test_util.h"

using namespace t4::test;

namespace {

// 200 sword types; type t has the entries {t, 1}, so its sword lasts t + 1 tenths.
void InstallSwordTypes(FakeDataRefs& refs) {
  refs.m_Counts[DBLIST_SWORDTYPE] = 200;
  refs.m_SwordDurations.clear();
  for (int t = 0; t < 200; ++t) refs.m_SwordDurations.push_back({t, 1});
}

cFlowCommand Sword(int type) {
  cFlowCommand cmd;
  cmd.m_cCategory = CMDCAT_FLOW;
  cmd.m_cKind = static_cast<int8_t>(CMD_SWORD);
  MakeEdShot(cmd.m_pShot);
  cmd.m_pShot->m_cMoveType = static_cast<uint8_t>(type);
  return cmd;
}

}  // namespace

TEST(UnsignedBytes, SwordTypesAbove127KeepTheirEntryAndTime) {
  FakeDataRefs refs;
  InstallSwordTypes(refs);
  struct Case {
    int type;
    int expectedType;
    int expectedTime;
  };
  for (const Case& c : {Case{0, 0, 1}, Case{127, 127, 128}, Case{128, 128, 129}, Case{150, 150, 151},
                        Case{199, 199, 200}, Case{200, 0, 1}, Case{255, 0, 1}}) {
    SCOPED_TRACE(c.type);
    cFlowCommand cmd = Sword(c.type);
    cmd.Validate();
    EXPECT_EQ(cmd.m_pShot->m_cMoveType, c.expectedType);
    EXPECT_EQ(cmd.m_sTime, c.expectedTime);
  }
}

TEST(UnsignedBytes, SwordType150SurvivesSaveAndLoad) {
  FakeDataRefs refs;
  InstallSwordTypes(refs);
  cFlowCommand saved = Sword(150);
  std::string body = SaveBody(saved);
  cFlowCommand loaded;
  bool consumed = false;
  ASSERT_EQ(LoadBody(loaded, DATA_VERSION, body, &consumed), 1);
  EXPECT_TRUE(consumed);
  ASSERT_TRUE(loaded.m_pShot);
  EXPECT_EQ(loaded.m_pShot->m_cMoveType, 150);
  EXPECT_EQ(loaded.m_sTime, 151);

  // The byte in the body is 150 itself, not a sign-extended or clamped value.
  cEdShot shot;
  shot.m_cMoveType = 150;
  std::string shotBody = SaveBody(shot);
  cEdShot back;
  ASSERT_EQ(LoadBody(back, DATA_VERSION, shotBody), 1);
  EXPECT_EQ(back.m_cMoveType, 150);
}
