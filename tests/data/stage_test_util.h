// Stored forms of stage files of any version, written out here member by member (independently
// of the stage record's own registration), and a stage built in code with a player.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "data/stage.h"
#include "data/stage_file.h"
#include "def_test_util.h"

namespace t4::test {

// Stage numbers 2 to 99 in file order: layout position p holds number p + 1.
inline std::vector<MemberSpec> MakeStageLayout() {
  std::vector<MemberSpec> layout(98, MemberSpec{4, 1, 0});
  auto set = [&](int first, int last, int size, int since) {
    for (int no = first; no <= last; ++no) layout[static_cast<size_t>(no - 2)] = {size, 1, since};
  };
  set(22, 22, 8, 0);
  set(26, 26, 4, 166);
  set(27, 27, 4, 199);
  set(31, 31, 4, 183);
  set(32, 32, 4, 184);
  set(34, 34, 4, 225);
  set(37, 40, 4, 200);
  set(43, 44, 4, 155);
  set(49, 50, 4, 200);
  set(51, 52, 4, 155);
  set(53, 53, 4, 200);
  set(57, 57, 4, 200);
  set(61, 64, 4, 200);
  set(67, 68, 4, 155);
  set(71, 72, 4, 200);
  set(73, 74, 4, 155);
  set(89, 93, 8, 0);
  return layout;
}
inline const std::vector<MemberSpec> STAGE_LAYOUT = MakeStageLayout();

// Layout position (1-based, as LayoutBody takes values) of stage number `no`.
constexpr int StageNo(int no) { return no - 1; }

inline int64_t DoubleBits(double value) {
  int64_t bits = 0;
  std::memcpy(&bits, &value, sizeof(bits));
  return bits;
}

// A background layer of version `v` with its auto-scroll switches and ratios.
inline LeWriter BackgroundForm(int v, int32_t autoX, double ratioX, int32_t visible = 1) {
  LeWriter form;
  int count = 0;
  LeWriter members;
  if (v >= 62) members.I32(visible), ++count;
  members.I32(0).I32(16).I32(0);
  count += 3;
  if (v >= 61) {
    members.F64(ratioX).F64(0.5).I32(autoX).I32(0);
    count += 4;
  } else {
    members.I32(7).I32(7);
    count += 2;
  }
  if (v >= 876) members.F64(0.0).F64(0.0), count += 2;
  if (v >= 62) {
    members.F64(0.0).F64(0.0);
    count += 2;
  } else if (v == 61) {
    members.I32(9).I32(9);
    count += 2;
  }
  form.I32(count).Append(members).I32(1).Str("bg.bmp");
  return form;
}

// The end marker as stored: 15 CD 5B 07.
constexpr int64_t STAGE_END_MARKER_VALUE = 0x075BCD15;

// What follows the member body in a stage file.
struct StageTail {
  std::vector<int32_t> ranking = {1, 1, 1, 1, 1};
  bool bWithPlayer = true;
  int nBackgrounds = 1;
  int32_t nAutoX = 0;
  int nVarInfos = 2;
  bool bMarker = true;
};

// A whole stage file image of version `v`: header, members (by stage number), the lists.
inline std::string StageFileImage(int v, const std::map<int, int64_t>& numbers, const StageTail& tail = {}) {
  std::map<int, int64_t> values;
  values[StageNo(2)] = 30;   // width
  values[StageNo(5)] = 20;   // height
  values[StageNo(23)] = 10;  // collision level
  values[StageNo(22)] = DoubleBits(0.4);
  for (const auto& [no, value] : numbers) values[StageNo(no)] = value;
  LeWriter file;
  file.I32(v).Append(LayoutBody(STAGE_LAYOUT, v, values, {"title"}));
  file.I32(static_cast<int64_t>(tail.ranking.size()));
  for (int32_t kind : tail.ranking) file.I32(kind);
  for (int i = 0; i < STAGE_AREA_COUNT; ++i) {
    file.Append(
        LayoutBody({{4, 1, 0}, {4, 1, 125}, {4, 1, 125}, {4, 1, 125}, {4, 1, 0}, {4, 1, 0}, {4, 1, 0}, {4, 1, 0}}, v,
                   {{1, i + 1}, {2, 1}, {5, 7}}));
  }
  const DefTail blockTail{}, itemTail{};
  DefTail charaTail;
  charaTail.bCharaForm = true;
  // Palette lists: one block, two characters, one item.
  file.I32(1).Append(DefForm(BLOCK_LAYOUT, v, {{BLOCK_M_GRAPHIC_NO, 3}}, blockTail));
  file.I32(2).Append(DefForm(CHARA_LAYOUT, v, {{CHARA_M_GRAPHIC_NO, 5}}, charaTail, "zero"));
  file.Append(DefForm(CHARA_LAYOUT, v, {{CHARA_M_GRAPHIC_NO, 6}}, charaTail, "one"));
  file.I32(1).Append(DefForm(ITEM_LAYOUT, v, {{ITEM_M_GRAPHIC_NO, 2}}, itemTail));
  // Placements: one block, the player (when asked for) and one computer character, one item.
  file.I32(1).I32(0).Append(DefForm(BLOCK_LAYOUT, v, {{BLOCK_M_GRAPHIC_NO, 3}}, blockTail));
  file.I32(tail.bWithPlayer ? 2 : 1);
  if (tail.bWithPlayer) {
    file.I32(0).Append(DefForm(CHARA_LAYOUT, v, {{CHARA_M_GRAPHIC_NO, 4}, {CHARA_M_CONTROLLER, 0}}, charaTail, "hero"));
  }
  file.I32(0).Append(DefForm(CHARA_LAYOUT, v, {{CHARA_M_GRAPHIC_NO, 4}, {CHARA_M_CONTROLLER, 1}}, charaTail, "enemy"));
  file.I32(1).I32(0).Append(DefForm(ITEM_LAYOUT, v, {{ITEM_M_GRAPHIC_NO, 2}}, itemTail));
  file.I32(tail.nBackgrounds);
  for (int i = 0; i < tail.nBackgrounds; ++i) file.Append(BackgroundForm(v, tail.nAutoX, 0.25));
  file.I32(tail.nVarInfos);
  for (int i = 0; i < tail.nVarInfos; ++i) file.I32(0).I32(1).Str("var" + std::to_string(i));
  if (tail.bMarker && v >= 173) file.I32(STAGE_END_MARKER_VALUE);
  return file.Bytes();
}

// Loads a whole file image (header included) with the record's own Load.
inline int LoadImage(cRecord& record, const std::string& image, bool* consumed = nullptr) {
  int32_t version = 0;
  std::memcpy(&version, image.data(), sizeof(version));
  return LoadBody(record, version, image.substr(sizeof(version)), consumed);
}

// The body SaveForReplay writes.
inline std::string SaveReplayBody(cStage& stage, const cStage& settings) {
  FILE* fp = std::tmpfile();
  stage.SaveForReplay(fp, settings);
  std::fflush(fp);
  std::string bytes(static_cast<size_t>(std::ftell(fp)), '\0');
  std::rewind(fp);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), fp));
  std::fclose(fp);
  return bytes;
}

// A stage as the editor would make it: a 40 x 25 map, a palette, a block, the player, an item,
// two layers and three variable names.
inline cStage MakeStage() {
  cStage stage;
  stage.m_strTitle = "第一面";
  stage.m_nWidth = 40;
  stage.m_nHeight = 25;
  stage.m_dGravity = 0.5;
  stage.m_nCollisionLevel = 12;
  stage.m_nLimitRightOn = 1;
  stage.m_nLimitRight = 30;
  stage.m_HeroBoxC[3] = 20;
  stage.m_nEnemyDamagePause = 7;
  stage.ResetCharaList(3);
  stage.PalCharas()[2].m_sGraphicNo = 7;
  cBlock block;
  block.m_sGraphicNo = 9;
  block.m_sBlockX = 1;
  block.m_sBlockY = 2;
  stage.m_BlockPlaces.push_back(block);
  cCharaDef hero;
  hero.m_sGraphicNo = 4;
  hero.m_cController = 0;
  hero.m_sBlockX = 3;
  hero.m_sBlockY = 5;
  hero.m_Name = "主人公";
  stage.m_CharaPlaces.push_back(hero);
  cItemDef item;
  item.m_sGraphicNo = 2;
  item.m_sBlockX = 6;
  stage.m_ItemPlaces.push_back(item);
  stage.m_Backgrounds.resize(2);
  stage.m_Backgrounds[1].m_strImage = "bg2.bmp";
  stage.m_Backgrounds[1].m_dAutoSpeedX = 1.5;
  stage.m_VarInfos.resize(3);
  stage.m_VarInfos[2].m_strName = "鍵";
  stage.m_RankingKinds = {1, 0, 1, 0, 1};
  stage.m_Areas[STAGE_AREA_ITEM].Set(1, 0, 0, 0, 4, 0, 0, 0);
  return stage;
}

}  // namespace t4::test
