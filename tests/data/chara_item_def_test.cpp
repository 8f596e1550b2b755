// Character and item definitions: stored forms, version upgrades, templates and validation.
#include <gtest/gtest.h>

#include <functional>

#include "data/block.h"
#include "data/chara_def.h"
#include "data/flow_kinds.h"
#include "data/item_def.h"
#include "def_test_util.h"
#include "support/scoped_value.h"

using namespace t4::test;

namespace {

class CharaDefTest : public ProjectDataTest {};

cFlow FlowWithTrigger(int trigger) {
  cFlow flow;
  flow.m_cTrigger = static_cast<int8_t>(trigger);
  return flow;
}

TEST_F(CharaDefTest, RoundTripAt902) {
  cCharaDef def;
  def.m_sBlockX = 4;
  def.m_nPlaceExtra = -1;
  def.m_Name = "勇者";
  def.m_cController = 0;
  def.m_cSize = 3;
  def.m_nMaxHp = 123456;
  def.m_cBodyImpact = -20;
  def.m_Conds.resize(2);
  def.m_Conds[1].m_nValue = 9;
  def.m_Flows = {FlowWithTrigger(TRIG_HIT_BLOCK)};
  def.m_Flows[0].m_Cmds.resize(1);
  cCharaDef loaded = RoundTrip(def);
  EXPECT_EQ(loaded.m_Name, "勇者");
  EXPECT_EQ(loaded.m_nPlaceExtra, -1);
  EXPECT_EQ(loaded.m_cBodyImpact, -20);
  EXPECT_EQ(loaded.m_Conds.At(1).m_nValue, 9);
  ASSERT_EQ(loaded.m_Flows.size(), 1u);
  EXPECT_EQ(loaded.m_Flows[0].m_cTrigger, TRIG_HIT_BLOCK);
  EXPECT_EQ(loaded.GetMemberCount(), 53);
}

TEST_F(CharaDefTest, UpgradesByVersion) {
  // Stored values 2 for the body box and run type, 7 for the colour, 1 for the scroll switch, 50
  // for the defence: an upgrade that applies replaces them.
  const std::map<int, int64_t> values = {{CHARA_M_APPEAR_RUN, 2},  {CHARA_M_INVINCIBLE_COLOR, 7},
                                         {CHARA_M_SCROLL_SYNC, 1}, {CHARA_M_BODY_BOX, 2},
                                         {CHARA_M_DEFENCE, 50},    {CHARA_M_SIZE, 1}};
  struct Case {
    int nVersion, nMembers;
    int nDefence, nRun, nBodyBox, nScroll, nColor;
    std::vector<int> onFlags;  // with no flag stored on
  } cases[] = {
      {150, 47, 0, 0, 0, 0, 1, {21, 25, 29}}, {167, 47, 0, 0, 0, 0, 1, {21, 25, 29}},
      {168, 48, 50, 0, 0, 0, 1, {21, 25}},    {196, 50, 50, 2, 0, 0, 1, {21, 25}},
      {201, 51, 50, 2, 3, 0, 1, {21}},        {206, 51, 50, 2, 2, 0, 1, {21}},
      {210, 52, 50, 2, 2, 1, 1, {}},          {285, 53, 50, 2, 2, 1, 7, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nVersion);
    std::vector<uint8_t> stored(c.nVersion < 168 ? 34 : c.nVersion < 201 ? 35 : c.nVersion < 210 ? 36 : 37, 0);
    std::string form = DefForm(CHARA_LAYOUT, c.nVersion, values, {stored, 0, true}).Bytes();
    cCharaDef def;
    bool consumed = false;
    ASSERT_EQ(LoadBody(def, c.nVersion, form, &consumed), 1);
    EXPECT_TRUE(consumed);
    EXPECT_EQ(def.m_nDefence, c.nDefence);
    EXPECT_EQ(def.m_cAppearEffectRun, c.nRun);
    EXPECT_EQ(def.m_cBodyBox, c.nBodyBox);
    EXPECT_EQ(def.m_cScrollSync, c.nScroll);
    EXPECT_EQ(def.m_cInvincibleColor, c.nColor);
    ASSERT_EQ(def.m_InheritFlags.size(), 37u);
    for (int g = 0; g < 37; ++g) {
      bool on = std::find(c.onFlags.begin(), c.onFlags.end(), g) != c.onFlags.end();
      EXPECT_EQ(def.m_InheritFlags.At(g), on ? 1 : 0) << "flag " << g;
    }
    // The loaded record describes the current layout again; the old one had fewer members.
    EXPECT_EQ(def.GetMemberCount(), 53);
    def.Register(c.nVersion);
    EXPECT_EQ(def.GetMemberCount(), c.nMembers);
  }
}

TEST_F(CharaDefTest, OlderFlagsMoveUpWithTheGroups) {
  // A version-150 file names the size at 20 and the body-contact effect at 26; the groups inserted
  // at 24 and 21 since then move the latter to 28.
  std::vector<uint8_t> stored(34, 0);
  stored[20] = 1;
  stored[26] = 1;
  std::string form = DefForm(CHARA_LAYOUT, 150, {{CHARA_M_SIZE, 1}}, {stored, 0, true}).Bytes();
  cCharaDef def;
  ASSERT_EQ(LoadBody(def, 150, form), 1);
  EXPECT_EQ(def.m_InheritFlags.At(20), 1);
  EXPECT_EQ(def.m_InheritFlags.At(26), 0);
  EXPECT_EQ(def.m_InheritFlags.At(28), 1);
}

TEST_F(CharaDefTest, TemplateGroupsAndFaultyReferences) {
  cCharaDef source;
  source.m_Name = "もと";
  source.m_nMaxHp = 99;
  source.m_nScore = 500;
  source.m_Flows = {FlowWithTrigger(TRIG_HIT_BLOCK)};
  g_CommonPalette.m_Charas.resize(2);
  g_CommonPalette.m_Charas[1] = source;
  m_Stage.m_Charas.resize(3);
  m_Stage.m_Charas[2] = source;
  m_Stage.m_Charas[2].m_nMaxHp = 7;

  struct Case {
    int nKind, nIndex, nFlagCount;
    int nKindAfter, nHp;
    const char* name;
  } cases[] = {
      {PALKIND_COMMON, 1, 37, PALKIND_COMMON, 99, "もと"},
      {PALKIND_STAGE, 2, 37, PALKIND_STAGE, 7, "もと"},
      {PALKIND_STAGE, 2, 60, PALKIND_STAGE, 7, "もと"},  // flags past the table are ignored
      {PALKIND_COMMON, 0, 37, PALKIND_COMMON, 10, ""},   // index 0: no template
      {PALKIND_COMMON, 2, 37, 0, 10, ""},                // index = list size
      {PALKIND_COMMON, -3, 37, 0, 10, ""},               // negative index
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nIndex);
    cCharaDef def;
    def.m_cInheritKind = static_cast<int8_t>(c.nKind);
    def.m_sInheritIndex = static_cast<int16_t>(c.nIndex);
    def.m_InheritFlags.assign(static_cast<size_t>(c.nFlagCount), 1);
    def.m_InheritFlags.At(34) = 0;  // not the score
    def.ApplyInheritance();
    def.Validate();
    EXPECT_EQ(def.m_cInheritKind, c.nKindAfter);
    EXPECT_EQ(def.m_nMaxHp, c.nHp);
    EXPECT_EQ(def.m_Name, c.name);
    EXPECT_EQ(def.m_nScore, 0);
    EXPECT_EQ(def.m_Flows.size(), c.nHp == 10 ? 0u : 1u);
  }
}

TEST_F(CharaDefTest, ValidateResetsDatabaseReferencesAndPlayerSwitches) {
  g_Database.m_AnimeSets.resize(3);
  cCharaDef def;
  def.m_cGraphicKind = 4;
  def.m_sGraphicNo = 2;  // Bmp_CharaExc.dat holds 2
  def.m_sAnimeSet = 2;
  def.m_sAppearEffect = 2;
  def.m_sDeathEffect = -1;
  def.m_sBodyHitEffect = 1;
  def.m_cSize = -4;
  def.m_cController = 0;
  def.m_cCopies = 5;
  def.m_cBlockChara = 1;
  def.m_Flows = {FlowWithTrigger(0), FlowWithTrigger(TRIG_HIT_BLOCK), FlowWithTrigger(0)};
  def.m_Flows[2].m_Conds.resize(1);
  cCharaDef saved = RoundTrip(def);
  EXPECT_EQ(saved.m_sGraphicNo, 1);
  EXPECT_EQ(saved.m_sAnimeSet, 2);
  EXPECT_EQ(saved.m_sAppearEffect, 0);
  EXPECT_EQ(saved.m_sDeathEffect, 0);
  EXPECT_EQ(saved.m_sBodyHitEffect, 1);
  EXPECT_EQ(saved.m_cSize, 1);
  EXPECT_EQ(saved.m_cCopies, 0);
  EXPECT_EQ(saved.m_cBlockChara, 0);
  ASSERT_EQ(saved.m_Flows.size(), 2u);  // the empty flow is gone, the one with a condition stays
  EXPECT_EQ(saved.m_Flows[0].m_cTrigger, TRIG_HIT_BLOCK);
}

TEST_F(CharaDefTest, TestPlayFlowsAreDroppedOutsideTestPlay) {
  cCharaDef def;
  def.m_Flows = {FlowWithTrigger(TRIG_HIT_BLOCK), FlowWithTrigger(TRIG_HIT_BLOCK)};
  def.m_Flows[0].m_cTestPlayOnly = 1;
  std::string form = SaveBody(def);
  for (int32_t testPlay : {0, 1}) {
    t4::test::ScopedValue<int32_t> testPlayGuard(g_bTestPlay, testPlay);
    cCharaDef loaded;
    ASSERT_EQ(LoadBody(loaded, DATA_VERSION, form), 1);
    EXPECT_EQ(loaded.m_Flows.size(), testPlay ? 2u : 1u);
  }
}

TEST_F(CharaDefTest, CopyOffsets) {
  cCharaDef def;
  def.m_sCopyBaseX = 16;
  def.m_sCopyStepX = 32;
  def.m_cCopyMirrorX = 1;
  def.m_sCopyBaseY = -8;
  def.m_sCopyStepY = 4;
  EXPECT_EQ(def.GetRepeatOffsetX(2, 1), -80.0);
  EXPECT_EQ(def.GetRepeatOffsetX(2, 0), 80.0);
  EXPECT_EQ(def.GetRepeatOffsetY(3, 1), 4.0);  // Y not mirrored
}

// Files before 219 number the shot sheet from 0; it gained an empty first cell, so blocks,
// characters and items on that sheet (graphic kind 3) move up one, to the last cell 119 at most.
class ShotSheetTest : public ProjectDataTest {};

TEST_F(ShotSheetTest, NumbersOfOlderFilesMoveUpOnEveryRecordKind) {
  struct Case {
    int nVersion, nKind, nStored, nLoaded;
  };
  const Case cases[] = {
      {218, 3, 0, 1}, {218, 3, 5, 6}, {218, 3, 118, 119}, {218, 3, 119, 119},
      {200, 3, 5, 6}, {218, 2, 5, 5}, {219, 3, 5, 5},     {902, 3, 5, 5},
  };
  // Each record kind's stored form with the graphic kind and number given, loaded; the loaded
  // number, or -1 when the load failed.
  struct Kind {
    const char* name;
    std::function<int(const Case&)> load;
  };
  auto loaded = [](cRecord& record, int16_t& number, int version, const std::string& form) {
    return LoadBody(record, version, form) == 1 ? number : -1;
  };
  const Kind kinds[] = {
      {"block",
       [&](const Case& c) {
         cBlock block;
         return loaded(
             block, block.m_sGraphicNo, c.nVersion,
             DefForm(BLOCK_LAYOUT, c.nVersion, {{BLOCK_M_GRAPHIC_KIND, c.nKind}, {BLOCK_M_GRAPHIC_NO, c.nStored}},
                     {std::vector<uint8_t>(11, 0)})
                 .Bytes());
       }},
      {"character",
       [&](const Case& c) {
         cCharaDef chara;
         return loaded(chara, chara.m_sGraphicNo, c.nVersion,
                       DefForm(CHARA_LAYOUT, c.nVersion,
                               {{CHARA_M_GRAPHIC_KIND, c.nKind}, {CHARA_M_GRAPHIC_NO, c.nStored}, {CHARA_M_SIZE, 1}},
                               {std::vector<uint8_t>(37, 0), 0, true})
                           .Bytes());
       }},
      {"item",
       [&](const Case& c) {
         cItemDef item;
         return loaded(item, item.m_sGraphicNo, c.nVersion,
                       DefForm(ITEM_LAYOUT, c.nVersion,
                               {{ITEM_M_GRAPHIC_KIND, c.nKind}, {ITEM_M_GRAPHIC_NO, c.nStored}, {ITEM_M_SIZE, 1}}, {})
                           .Bytes());
       }},
  };
  for (const Case& c : cases)
    for (const Kind& kind : kinds)
      EXPECT_EQ(kind.load(c), c.nLoaded) << kind.name << ", version " << c.nVersion << ", graphic kind " << c.nKind
                                         << ", number " << c.nStored;
}

class ItemDefTest : public ProjectDataTest {};

TEST_F(ItemDefTest, RoundTripAndNoticeBeforeMode) {
  cItemDef item;
  item.m_Name = "コイン";
  item.m_cTakeMode = 2;
  item.m_cTakeNotice = 0;
  item.m_sOffsetY = -16;
  item.m_sTakeSound = 1;
  item.m_Cmds.resize(1);
  item.m_Cmds[0].m_cCategory = CMDCAT_ITEM;
  cItemDef loaded = RoundTrip(item);
  EXPECT_EQ(loaded.m_Name, "コイン");
  EXPECT_EQ(loaded.m_sOffsetY, -16);
  EXPECT_EQ(loaded.m_Cmds.size(), 1u);
  EXPECT_EQ(loaded.GetMemberCount(), 17);

  std::string form = DefForm(ITEM_LAYOUT, DATA_VERSION, {{ITEM_M_NOTICE, 0}, {ITEM_M_MODE, 1}, {ITEM_M_SIZE, 0}},
                             {std::vector<uint8_t>(13, 0)})
                         .Bytes();
  cItemDef stored;
  ASSERT_EQ(LoadBody(stored, DATA_VERSION, form), 1);
  EXPECT_EQ(stored.m_cTakeNotice, 0);
  EXPECT_EQ(stored.m_cTakeMode, 1);
  EXPECT_EQ(stored.m_cSize, 1);  // 0 becomes 1
}

TEST_F(ItemDefTest, TemplateGroupsAndValidation) {
  cItemDef source;
  source.m_sOffsetX = 8;
  source.m_sOffsetY = 9;
  source.m_sTakeSound = 1;
  m_Stage.m_Items.resize(2);
  m_Stage.m_Items[1] = source;
  cItemDef item;
  item.m_cInheritKind = PALKIND_STAGE;
  item.m_sInheritIndex = 1;
  item.m_InheritFlags.At(2) = 1;  // offset X only
  item.m_InheritFlags.resize(20, 0);
  item.m_InheritFlags.At(19) = 1;  // past the 13 groups
  item.ApplyInheritance();
  EXPECT_EQ(item.m_sOffsetX, 8);
  EXPECT_EQ(item.m_sOffsetY, 0);

  item.m_sTakeSound = 2;  // Sound.dat holds 2
  item.m_sInheritIndex = -1;
  item.ValidatePalette();
  EXPECT_EQ(item.m_sTakeSound, 0);
  EXPECT_EQ(item.m_cInheritKind, 0);
}

}  // namespace
