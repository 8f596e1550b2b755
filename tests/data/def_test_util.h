// Shared pieces of the definition, palette and database tests: a fixture that gives every test a
// fresh common palette, stage palette and database, the stored layouts of the definitions, and
// builders of their stored forms for any version.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "data/database.h"
#include "data/palette.h"
#include "data_test_util.h"

namespace t4::test {

class ProjectDataTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_pPreviousStage = &GetStagePalette();
    Reset();
  }
  void TearDown() override {
    Reset();
    SetStagePalette(m_pPreviousStage);
  }
  void Reset() {
    g_CommonPalette = cPalette();
    m_Stage = cPalette();
    SetStagePalette(&m_Stage);
    g_Database.SetDefault();
  }

  cPalette m_Stage;
  cPalette* m_pPreviousStage = nullptr;
};

// Block members in file order (no version gates).
inline const std::vector<MemberSpec> BLOCK_LAYOUT = {
    {1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0},
    {1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {4, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 1, 0},
};

// Character definition members in file order, with the version that added each.
inline const std::vector<MemberSpec> CHARA_LAYOUT = {
    {1, 1, 0},   {2, 1, 0},   {1, 1, 0}, {1, 1, 0}, {1, 1, 0},   {1, 1, 0},   {2, 1, 0}, {2, 1, 0}, {2, 1, 0},
    {2, 1, 0},   {1, 1, 0},   {1, 1, 0}, {2, 1, 0}, {1, 1, 0},   {2, 1, 0},   {2, 1, 0}, {1, 1, 0}, {1, 1, 0},
    {2, 1, 0},   {1, 1, 196}, {1, 1, 0}, {2, 1, 0}, {1, 1, 196}, {1, 1, 0},   {2, 1, 0}, {1, 1, 0}, {1, 1, 0},
    {1, 1, 0},   {1, 1, 0},   {1, 1, 0}, {1, 1, 0}, {1, 1, 0},   {1, 1, 285}, {1, 1, 0}, {1, 1, 0}, {1, 1, 210},
    {1, 1, 0},   {1, 1, 0},   {4, 1, 0}, {4, 1, 0}, {2, 1, 0},   {1, 1, 201}, {4, 1, 0}, {1, 1, 0}, {2, 1, 0},
    {4, 1, 168}, {1, 1, 0},   {4, 1, 0}, {1, 1, 0}, {1, 1, 0},   {2, 1, 0},   {1, 1, 0}, {1, 1, 0},
};

// Item definition members in file order (no version gates).
inline const std::vector<MemberSpec> ITEM_LAYOUT = {
    {1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0}, {2, 1, 0}, {2, 1, 0}, {1, 1, 0}, {2, 1, 0},
    {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0}, {1, 1, 0}, {1, 1, 0}, {1, 1, 0}, {2, 1, 0},
};

// 1-based member numbers used by the tests.
enum : int {
  CHARA_M_INHERIT_KIND = 1,
  CHARA_M_INHERIT_INDEX = 2,
  CHARA_M_GRAPHIC_NO = 13,
  CHARA_M_GRAPHIC_KIND = 14,
  CHARA_M_APPEAR_RUN = 20,
  CHARA_M_CONTROLLER = 26,
  CHARA_M_INVINCIBLE_COLOR = 33,
  CHARA_M_SIZE = 35,
  CHARA_M_SCROLL_SYNC = 36,
  CHARA_M_BODY_BOX = 42,
  CHARA_M_DEFENCE = 46,
};
enum : int { ITEM_M_GRAPHIC_NO = 7, ITEM_M_GRAPHIC_KIND = 8, ITEM_M_NOTICE = 14, ITEM_M_MODE = 15, ITEM_M_SIZE = 16 };
enum : int { BLOCK_M_GRAPHIC_NO = 5, BLOCK_M_GRAPHIC_KIND = 6, BLOCK_M_HIT = 12 };

// The parts of a definition's form after its record body.
struct DefTail {
  std::vector<uint8_t> flags;
  int32_t nExtra = 0;       // characters only
  bool bCharaForm = false;  // position is followed by the extra int32, and flows close the form
};

// A stored block, character or item form of version `v` with empty condition (and flow or
// command) lists.
inline LeWriter DefForm(const std::vector<MemberSpec>& layout, int v, const std::map<int, int64_t>& values,
                        const DefTail& tail, const std::string& name = "") {
  LeWriter form = LayoutBody(layout, v, values, {name});
  form.I16(0).I16(0);
  if (tail.bCharaForm) form.I32(tail.nExtra);
  form.I32(static_cast<int64_t>(tail.flags.size()));
  for (uint8_t flag : tail.flags) form.U8(flag);
  form.I32(0);                                // conditions
  if (&layout != &BLOCK_LAYOUT) form.I32(0);  // flows or item commands
  return form;
}

// Saves `record`, loads the bytes into a fresh record of its class, saves that again; the two
// saved images must be the same.
template <class T>
T RoundTrip(T& record) {
  std::string first = SaveBody(record);
  T loaded;
  bool consumed = false;
  EXPECT_EQ(LoadBody(loaded, DATA_VERSION, first, &consumed), 1);
  EXPECT_TRUE(consumed);
  EXPECT_EQ(SaveBody(loaded), first);
  return loaded;
}

}  // namespace t4::test
