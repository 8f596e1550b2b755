// Blocks and palettes: stored form, version fix-ups, validation, templates, palette files.
#include <gtest/gtest.h>

#include "data/block.h"
#include "data/palette.h"
#include "def_test_util.h"
#include "support/temp_dir.h"

using namespace t4::test;

namespace {

class BlockTest : public ProjectDataTest {};

cBlock FilledBlock() {
  cBlock block;
  block.m_sBlockX = 12;
  block.m_sBlockY = -3;
  block.m_strName = "かべ";
  block.m_Conds.resize(1);
  block.m_Conds[0].m_nValue = 77;
  block.m_cSpareA = 1;
  block.m_cSpareB = 1;
  block.m_sGraphicNo = 44;
  block.m_cGraphicKind = 4;
  block.m_sGraphicOffset = 2;
  block.m_cDrawPass = 1;
  block.m_cHidden = 1;
  block.m_cGroup5Byte = 1;
  block.m_sGroup5Word = 118;
  block.m_cHit = 2;
  block.m_cPassLayer = 5;
  block.m_cFloorEffect = 3;
  block.m_nFloorValue = -150;
  block.m_cItemKind = 1;
  block.m_sItemIndex = 1;
  block.m_cHit2 = 1;
  return block;
}

TEST_F(BlockTest, RoundTripAndStoredForm) {
  cBlock block = FilledBlock();
  cBlock loaded = RoundTrip(block);
  EXPECT_EQ(loaded.m_strName, "かべ");
  EXPECT_EQ(loaded.m_sBlockY, -3);
  EXPECT_EQ(loaded.m_nFloorValue, -150);
  EXPECT_EQ(loaded.m_Conds.At(0).m_nValue, 77);
  EXPECT_EQ(loaded.CondLatch(), 1);

  // A default block: 18 members in 26 bytes, the name, position, 11 flags, no conditions.
  cBlock fresh;
  std::string expected = LayoutBody(BLOCK_LAYOUT, DATA_VERSION, {{BLOCK_M_HIT, 0}, {13, 255}}, {""})
                             .I16(0)
                             .I16(0)
                             .I32(11)
                             .Raw(std::string(11, '\0'))
                             .I32(0)
                             .Bytes();
  EXPECT_EQ(SaveBody(fresh), expected);  // no graphic: the contact is cleared on save
}

TEST_F(BlockTest, GetHitByLayer) {
  cBlock block;
  block.m_sGraphicNo = 1;
  block.m_cHit = 1;
  block.m_cPassLayer = 3;
  EXPECT_EQ(block.GetHit(3), 0);
  EXPECT_EQ(block.GetHit(2), 1);
  block.m_cPassLayer = -1;  // stored 255
  for (int layer = 0; layer < 8; ++layer) EXPECT_EQ(block.GetHit(layer), 1);

  SetBlockCondCheck([](cBlock& b) { return b.m_Conds.empty(); });
  block.m_Conds.resize(1);
  EXPECT_EQ(block.GetHit(0), 0);
  SetBlockCondCheck(nullptr);
}

TEST_F(BlockTest, TemplateGroupsFromBothPalettes) {
  cBlock source = FilledBlock();
  source.m_cItemKind = 0;
  g_CommonPalette.m_Blocks.resize(3);
  g_CommonPalette.m_Blocks[2] = source;
  m_Stage.m_Blocks.resize(2);
  m_Stage.m_Blocks[1] = source;
  m_Stage.m_Blocks[1].m_cHit = 0;

  for (int kind : {PALKIND_COMMON, PALKIND_STAGE}) {
    cBlock block;
    block.m_cInheritKind = static_cast<int8_t>(kind);
    block.m_sInheritIndex = static_cast<int16_t>(kind == PALKIND_COMMON ? 2 : 1);
    block.m_InheritFlags.Fill(0);
    block.m_InheritFlags.At(2) = 1;  // graphic
    block.m_InheritFlags.At(6) = 1;  // contact kind
    // Flags past the eleventh name no group.
    block.m_InheritFlags.resize(40, 1);
    block.ApplyInheritance();
    EXPECT_EQ(block.m_sGraphicNo, 44);
    EXPECT_EQ(block.m_cGraphicKind, 4);
    EXPECT_EQ(block.m_cHit, kind == PALKIND_COMMON ? 2 : 0);
    EXPECT_EQ(block.m_strName, "");     // group 0 not flagged
    EXPECT_EQ(block.m_nFloorValue, 0);  // group 8 not flagged
    EXPECT_EQ(block.m_cPassLayer, -1);  // group 7 not flagged
    EXPECT_EQ(block.m_cInheritKind, kind);
  }
}

TEST_F(BlockTest, TemplateOutsideItsListIsDropped) {
  for (int16_t index : {int16_t(1), int16_t(-1)}) {  // the common list has one entry
    cBlock block;
    block.m_cInheritKind = PALKIND_COMMON;
    block.m_sInheritIndex = index;
    block.m_InheritFlags.Fill(1);
    block.m_sGraphicNo = 9;
    block.ApplyInheritance();
    EXPECT_EQ(block.m_cInheritKind, 0);
    EXPECT_EQ(block.m_sGraphicNo, 9);
    block.m_cInheritKind = PALKIND_COMMON;
    block.ValidatePalette();
    EXPECT_EQ(block.m_cInheritKind, 0);
    EXPECT_EQ(block.m_sInheritIndex, 0);
  }
}

TEST_F(BlockTest, ItemReferenceValidation) {
  g_CommonPalette.m_Items.resize(5);
  struct Case {
    int nKind, nIndex, nKindAfter, nIndexAfter;
  } cases[] = {{1, 4, 1, 4}, {1, 7, 0, 0}, {1, -2, 0, 0}, {2, 1, 0, 0}, {3, 99, 3, 99}};
  for (const Case& c : cases) {
    cBlock block;
    block.m_cItemKind = static_cast<int8_t>(c.nKind);
    block.m_sItemIndex = static_cast<int16_t>(c.nIndex);
    EXPECT_EQ(block.ValidateItem(), c.nIndex);
    EXPECT_EQ(block.m_cItemKind, c.nKindAfter);
    EXPECT_EQ(block.m_sItemIndex, c.nIndexAfter);
  }
}

class PaletteTest : public ProjectDataTest {};

TEST_F(PaletteTest, FileRoundTripKeepsEntriesAndDropsFlags) {
  cPalette palette;
  palette.m_Blocks.resize(3);
  palette.m_Blocks[0].m_sGraphicNo = 7;  // entry 0 is always the default
  palette.m_Blocks[2] = FilledBlock();
  palette.m_Blocks[2].m_cItemKind = 0;
  palette.m_Charas.resize(4);
  palette.m_Charas[3].m_Name = "てき";
  palette.m_Charas[3].m_InheritFlags.Fill(1);
  palette.m_Items.resize(2);
  palette.m_Items[1].m_sTakeSound = 1;

  TempDir dir;
  std::string path = (dir.Path() / "CommonPalette.cplt4").string();
  ASSERT_EQ(palette.SaveToFile(path.c_str()), 1);
  ASSERT_EQ(g_CommonPalette.LoadFromFile(path.c_str()), 1);
  EXPECT_EQ(g_CommonPalette.m_Blocks.size(), 3u);
  EXPECT_EQ(g_CommonPalette.m_Blocks[0].m_sGraphicNo, 0);
  EXPECT_EQ(g_CommonPalette.m_Blocks[2].m_sGroup5Word, 118);
  EXPECT_EQ(g_CommonPalette.m_Charas[3].m_Name, "てき");
  for (const cCharaDef& chara : g_CommonPalette.m_Charas)
    for (int8_t flag : chara.m_InheritFlags) EXPECT_EQ(flag, 0);
  EXPECT_EQ(g_CommonPalette.m_Items[1].m_sTakeSound, 1);
  ASSERT_EQ(g_CommonPalette.SaveToFile(path.c_str()), 1);
  palette.m_Blocks[0].SetDefault();
  palette.m_Charas[3].m_InheritFlags.Fill(0);
  EXPECT_EQ(dir.ReadFile("CommonPalette.cplt4").substr(4), SaveBody(palette));
}

TEST_F(PaletteTest, ShortListsGrowAndTemplatesResolveWhileLoading) {
  // Blocks: none stored. Characters: entry 2 takes its name and HP from entry 1 of the list being
  // loaded. Items: one entry.
  LeWriter file;
  file.I32(DATA_VERSION).I32(0).I32(0);
  file.I32(0);
  std::vector<uint8_t> flags(CHARA_INHERIT_GROUP_COUNT, 0);
  flags[0] = 1;
  flags[23] = 1;
  file.I32(3)
      .Append(DefForm(CHARA_LAYOUT, DATA_VERSION, {{CHARA_M_SIZE, 1}}, {{}, 0, true}, "zero"))
      .Append(DefForm(CHARA_LAYOUT, DATA_VERSION, {{CHARA_M_SIZE, 1}, {39, 55}}, {{}, 0, true}, "one"))
      .Append(DefForm(CHARA_LAYOUT, DATA_VERSION,
                      {{CHARA_M_INHERIT_KIND, PALKIND_COMMON}, {CHARA_M_INHERIT_INDEX, 1}, {CHARA_M_SIZE, 1}},
                      {flags, 0, true}, "two"));
  file.I32(1).Append(DefForm(ITEM_LAYOUT, DATA_VERSION, {{ITEM_M_SIZE, 1}}, {}));
  TempDir dir;
  std::string path = dir.WriteFile("p.cplt4", file.Bytes()).string();

  ASSERT_EQ(g_CommonPalette.LoadFromFile(path.c_str()), 1);
  EXPECT_EQ(g_CommonPalette.m_Blocks.size(), 2u);
  EXPECT_EQ(g_CommonPalette.m_Blocks[1].m_cHit, 0);  // a default block without graphic
  ASSERT_EQ(g_CommonPalette.m_Charas.size(), 3u);
  EXPECT_EQ(g_CommonPalette.m_Charas[0].m_Name, "");  // entry 0 reset
  EXPECT_EQ(g_CommonPalette.m_Charas[2].m_Name, "one");
  EXPECT_EQ(g_CommonPalette.m_Charas[2].m_nMaxHp, 55);
  EXPECT_EQ(g_CommonPalette.m_Items.size(), 2u);
}

TEST_F(PaletteTest, DamagedFileIsRefusedAndLeavesAUsablePalette) {
  LeWriter file;
  file.I32(DATA_VERSION).I32(0).I32(0).I32(0x7FFFFFFF);  // a block count the file cannot hold
  TempDir dir;
  std::string path = dir.WriteFile("bad.cplt4", file.Bytes()).string();
  EXPECT_EQ(g_CommonPalette.LoadFromFile(path.c_str()), 0);
  EXPECT_GE(g_CommonPalette.m_Blocks.size(), 2u);
  EXPECT_GE(g_CommonPalette.m_Charas.size(), 2u);
  EXPECT_GE(g_CommonPalette.m_Items.size(), 2u);
}

TEST_F(PaletteTest, GetPaletteItemDef) {
  g_CommonPalette.m_Items.resize(3);
  m_Stage.m_Items.resize(2);
  EXPECT_EQ(GetPaletteItemDef(1, 2), &g_CommonPalette.m_Items[2]);
  EXPECT_EQ(GetPaletteItemDef(2, 1), &m_Stage.m_Items[1]);
  EXPECT_EQ(GetPaletteItemDef(1, -1), nullptr);
  EXPECT_EQ(GetPaletteItemDef(2, 2), nullptr);
  EXPECT_EQ(GetPaletteItemDef(3, 0), nullptr);
  EXPECT_EQ(GetPaletteItemDef(0, 0), nullptr);
}

}  // namespace
