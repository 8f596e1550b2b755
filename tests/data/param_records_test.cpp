// Conditions, condition lists, movement and shot records: layouts and older versions.
#include <gtest/gtest.h>

#include "data/cond.h"
#include "data/ed_move.h"
#include "data/ed_shot.h"
#include "data/flow_kinds.h"
#include "data_test_util.h"
#include "layouts.h"

using namespace t4::test;

namespace {

TEST(ParamRecords, CurrentLayoutsHaveTheStoredCountsAndWidths) {
  cCond cond;
  cCondList list;
  cEdMove move;
  cEdShot shot;
  struct Case {
    const char* name;
    cRecord* record;
    const std::vector<MemberSpec>* layout;
    int members, bytes;
    std::map<int, int64_t> cleared;  // values after Clear and the save's validation
  };
  const Case cases[] = {
      {"cond", &cond, &COND_LAYOUT, 21, 32, {}},
      {"move", &move, &MOVE_LAYOUT, 35, 55, {}},
      {"shot", &shot, &SHOT_LAYOUT, 64, 97, {{26, 1}}},
      {"cond list", &list, nullptr, 2, 2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(c.record->GetMemberCount(), c.members);
    EXPECT_EQ(c.record->GetMemberBytes(), c.bytes);
    EXPECT_EQ(c.record->GetStringCount(), 0);
    if (c.layout) {
      // Same bytes as the independent layout for the same values (all zero after Clear).
      c.record->Clear();
      EXPECT_EQ(SaveBody(*c.record), LayoutBody(*c.layout, 902, c.cleared).Bytes());
    }
  }
}

TEST(ParamRecords, DefaultsOfFreshRecords) {
  cEdMove move;
  EXPECT_EQ(
      move.m_cAngleMirror + move.m_cUseX + move.m_cUseY + move.m_cArrive + move.m_cMirrorX + move.m_cReverseOnTurn, 6);
  EXPECT_EQ(move.m_sSpeed, 10);
  EXPECT_EQ(move.m_dBrake, 1.0);
  EXPECT_EQ(move.m_cMirrorY, 0);
  cEdShot shot;
  EXPECT_EQ(shot.m_cAngleMirror + shot.m_cMirrorX + shot.m_cFactionFromShooter + shot.m_cSize, 4);
  EXPECT_EQ(shot.m_cMirrorY, 0);
}

int CondField(const cCond& c, char field) {
  switch (field) {
    case 'k': return c.m_cKind;
    case 'v': return c.m_nValue;
    case 'o': return c.m_cOwner;
    case 'i': return c.m_cItem;
    case 'l': return c.m_cLeftKind;
    case 'r': return c.m_cRightKind;
    case 'R': return c.m_cRightOwner;
    case 'I': return c.m_cRightItem;
    case 'p': return c.m_cOperator;
    case 'm': return c.m_cRightMode;
    case 'c': return c.m_cCoordL;
    case 'y': return c.m_cYPointL;
    case 's': return c.m_cShape;
    default: return -999;
  }
}

TEST(ParamRecords, OlderConditionsAreBroughtUpToDate) {
  struct Case {
    int version;
    std::map<int, int64_t> stored;  // by member number of the 110+ layout
    std::vector<std::pair<char, int>> expected;
  };
  const Case cases[] = {
      {159, {{1, 5}}, {{'k', COND_DISTANCE}}},
      {160, {{1, COND_STATUS3}, {6, 2}, {15, 1}}, {{'p', 0}}},
      // Status codes 10+, then 5+, then 6+ (by two) were inserted over the versions.
      {167, {{1, COND_STATUS}, {6, 10}}, {{'i', 14}}},
      {167, {{1, COND_STATUS}, {5, 2}, {6, 10}, {10, 2}, {11, 0}, {12, 5}}, {{'i', 10}, {'o', 5}, {'R', 0}, {'I', 8}}},
      {209, {{1, COND_STATUS2}, {5, 0}, {6, 6}}, {{'i', 7}}},
      {656, {{1, COND_DISTANCE}, {5, 3}, {7, 2}}, {{'o', 0}, {'l', 0}, {'r', 1}, {'R', 1}}},
      {766, {{1, COND_STATUS}, {5, 2}}, {{'o', 5}}},
      {882, {{1, COND_STATUS}, {6, 6}}, {{'i', 8}}},
      {891, {{1, COND_STATUS}, {17, 1}}, {{'c', 1}, {'y', 0}}},
      {902, {{1, COND_STATUS}, {6, 6}, {17, 2}, {19, 1}}, {{'i', 6}, {'c', 2}, {'y', 1}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    cCond cond;
    cond.m_cYPointL = 9;
    bool consumed = false;
    ASSERT_EQ(LoadBody(cond, c.version, LayoutBody(COND_LAYOUT, c.version, c.stored).Bytes(), &consumed), 1);
    EXPECT_TRUE(consumed);
    for (auto [field, value] : c.expected) EXPECT_EQ(CondField(cond, field), value) << field;
  }
}

TEST(ParamRecords, ConditionsBefore110HaveTheShortLayout) {
  for (int version : {42, 109}) {
    SCOPED_TRACE(version);
    LeWriter body;
    body.I32(version >= 43 ? 7 : 6).U8(COND_COMMON_VAR).I32(77).I16(-1).I16(-1).U8(3);
    if (version >= 43) body.U8(1);
    body.U8(2).I32(0);
    cCond cond;
    bool consumed = false;
    ASSERT_EQ(LoadBody(cond, version, body.Bytes(), &consumed), 1);
    EXPECT_TRUE(consumed);
    EXPECT_EQ(cond.m_cKind, COND_COMMON_VAR);
    EXPECT_EQ(cond.m_nValue, 77);
    EXPECT_EQ(cond.m_cOperator, 3);
    EXPECT_EQ(cond.m_cRightMode, version >= 43 ? 1 : 0);
    EXPECT_EQ(cond.m_cShape, 2);
    EXPECT_EQ(cond.m_nRandMin + cond.m_sIndex + cond.m_sRightIndex, 0);
  }
}

TEST(ParamRecords, ConditionListsStoreConditionsFrom766) {
  LeWriter old = LeWriter().I32(2).U8(1).U8(0).I32(0);
  cCondList list;
  list.m_Conds.resize(3);
  bool consumed = false;
  ASSERT_EQ(LoadBody(list, 765, old.Bytes(), &consumed), 1);
  EXPECT_TRUE(consumed);
  EXPECT_EQ(list.m_cEnabled, 1);
  EXPECT_EQ(list.m_Conds.size(), 3u);  // nothing stored: the list is not read

  LeWriter current = LeWriter().I32(2).U8(1).U8(1).I32(0).I32(1).Append(LayoutBody(COND_LAYOUT, 766, {{1, 2}, {2, 5}}));
  ASSERT_EQ(LoadBody(list, 766, current.Bytes(), &consumed), 1);
  EXPECT_TRUE(consumed);
  ASSERT_EQ(list.m_Conds.size(), 1u);
  EXPECT_EQ(list.m_Conds[0].m_nValue, 5);
  EXPECT_EQ(SaveBody(list),
            LeWriter().I32(2).U8(1).U8(1).I32(0).I32(1).Append(LayoutBody(COND_LAYOUT, 902, {{1, 2}, {2, 5}})).Bytes());
}

TEST(ParamRecords, OlderMovementRecords) {
  struct Case {
    int version;
    std::map<int, int64_t> stored;
    int angleMirror, useX, anime;
  };
  const Case cases[] = {
      // Before 158: no mirror or use bytes; the mirror is off, the use bytes keep the defaults.
      {157, {{34, 1}}, 0, 1, 0},
      {829, {{5, 1}, {6, 0}, {7, 1}, {34, 1}}, 1, 0, 2},
      {829, {{5, 1}, {6, 1}, {7, 1}, {34, 0}}, 1, 1, 0},
      {830, {{5, 1}, {6, 1}, {7, 1}, {34, 1}}, 1, 1, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    cEdMove move;
    bool consumed = false;
    ASSERT_EQ(LoadBody(move, c.version, LayoutBody(MOVE_LAYOUT, c.version, c.stored).Bytes(), &consumed), 1);
    EXPECT_TRUE(consumed);
    EXPECT_EQ(move.m_cAngleMirror, c.angleMirror);
    EXPECT_EQ(move.m_cUseX, c.useX);
    EXPECT_EQ(move.m_cUseY, 1);
    EXPECT_EQ(move.m_cAnime, c.anime);
  }
  // The double at #33 and the last member land where they belong.
  cEdMove move;
  ASSERT_EQ(LoadBody(move, 902, LayoutBody(MOVE_LAYOUT, 902, {{33, 0x4004000000000000}, {35, 3}}).Bytes()), 1);
  EXPECT_EQ(move.m_dBrake, 2.5);
  EXPECT_EQ(move.m_cTargetSlot, 3);
  EXPECT_EQ(move.LockX(), move.m_cOnlyY);
}

TEST(ParamRecords, OlderShotRecords) {
  struct Case {
    int version;
    std::map<int, int64_t> stored;
    std::vector<std::pair<int, int>> expected;  // member number, value
  };
  const Case cases[] = {
      {157, {{10, 1}}, {{10, 0}}},
      {196, {{56, 3}, {57, 9}}, {{56, 3}, {57, 3}}},
      {211, {{28, 5}, {31, 0}}, {{31, 1}}},
      {211, {{28, 8}, {31, 1}}, {{31, 0}}},
      {212, {{34, 1}, {35, 7}}, {{34, 0}, {35, 0}}},
      {635, {{45, 1}, {46, 0}}, {{46, 1}}},
      {670, {{4, 2}}, {{4, 0}}},
      {671, {{4, 2}}, {{4, 2}}},
      {902, {{26, 0xFD}, {63, 1}, {64, 4}}, {{26, 1}, {63, 1}, {64, 4}}},
  };
  auto field = [](cEdShot& s, int member) -> int {
    switch (member) {
      case 4: return s.m_cFormTarget;
      case 10: return s.m_cAngleMirror;
      case 26: return s.m_cSize;
      case 31: return s.m_cScrollRide;
      case 34: return s.m_cAccelOn;
      case 35: return s.m_sAccel;
      case 46: return s.m_cPierceBlockChara;
      case 56: return s.m_cHeroGuard;
      case 57: return s.m_cCharaGuard;
      case 63: return s.m_cHitTrigger;
      case 64: return s.m_cHitFlowId;
      default: return -999;
    }
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    cEdShot shot;
    shot.m_cFormTarget = 5;
    shot.m_cAccelOn = 1;
    shot.m_sAccel = 9;
    bool consumed = false;
    ASSERT_EQ(LoadBody(shot, c.version, LayoutBody(SHOT_LAYOUT, c.version, c.stored).Bytes(), &consumed), 1);
    EXPECT_TRUE(consumed);
    for (auto [member, value] : c.expected) EXPECT_EQ(field(shot, member), value) << "#" << member;
  }
}

TEST(ParamRecords, ShotValidation) {
  FakeDataRefs refs;
  cEdShot shot;
  shot.m_cSize = -3;
  shot.m_sEffect = 10;  // equal to the count: outside
  SaveBody(shot);
  EXPECT_EQ(shot.m_cSize, 1);
  EXPECT_EQ(shot.m_sEffect, 0);
  shot.m_sEffect = 9;
  shot.Validate();
  EXPECT_EQ(shot.m_sEffect, 9);
}

}  // namespace
