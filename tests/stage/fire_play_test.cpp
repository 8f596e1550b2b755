// Shot commands and summons in a played stage: the six formations place every object and give it
// its velocity, clone volleys turn, directions resolve with the facing, and the summons create
// characters, items and blocks from the palettes. One sub-step a frame, so velocities per
// sub-step equal the fire speed (0.1 dot per frame).
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "data/flow_command.h"
#include "data/palette.h"
#include "data/stage_file.h"
#include "stage/chara.h"
#include "stage/fire.h"
#include "stage/hero.h"
#include "stage/item.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"

namespace t4::test {
namespace {

constexpr int PLAY_STATE = 2;

// The hero stands on the floor at stage tile (4, 1), facing left: screen rectangle
// (128, 32)-(159, 63), 32 x 32, view at (320, 320).
cStage Floor() {
  cStage stage = StageFromRows({
      "..............................",
      "....H.........................",
      "##############################",
      "..............................",
  });
  stage.m_nCollisionLevel = 11;
  return stage;
}

struct Started {
  StageHarness h;
  explicit Started(const cStage& stage = Floor()) {
    h.Start(stage);
    EXPECT_GE(h.RunUntilState(PLAY_STATE), 0);
  }
};

cFlowCommand Command(int kind) {
  cFlowCommand cmd;
  cmd.m_cKind = static_cast<int8_t>(kind);
  return cmd;
}

cEdShot Record(int formation, int count, int dir) {
  cEdShot p;
  p.m_cFormation = static_cast<int8_t>(formation);
  p.m_cCount = static_cast<int8_t>(count);
  p.m_cDir = static_cast<int8_t>(dir);
  p.m_sSpeed = 40;
  return p;
}

struct Placed {
  double x, y, vx, vy;
};

std::vector<Placed> Fire(StageHarness& h, cEdShot p) {
  FireShot(h.Scene().m_Shots, h.Hero(), Command(CMD_KIND_SHOT), p);
  std::vector<Placed> out;
  for (const cShot& s : h.Scene().m_Shots) out.push_back({s.m_dX, s.m_dY, s.m_dVelX, s.m_dVelY});
  return out;
}

void ExpectPlaced(const std::vector<Placed>& got, const std::vector<Placed>& want) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    SCOPED_TRACE(testing::Message() << "object " << i);
    EXPECT_EQ(got[i].x, want[i].x);
    EXPECT_EQ(got[i].y, want[i].y);
    EXPECT_NEAR(got[i].vx, want[i].vx, 1e-4);
    EXPECT_NEAR(got[i].vy, want[i].vy, 1e-4);
  }
}

TEST(FirePlayTest, FormationsPlaceAndAimEveryObject) {
  struct Case {
    const char* name;
    cEdShot p;
    std::vector<Placed> want;
  };
  std::vector<Case> cases;
  {
    // Three in a column centred on the right muzzle (480, 360), 16 + 16 dots apart.
    cEdShot p = Record(0, 3, 3);
    p.m_sFormParam[0] = 1;
    cases.push_back({"straight A", p, {{480, 328, 4, 0}, {480, 360, 4, 0}, {480, 392, 4, 0}}});
  }
  {
    // Stacked upward from the hero's feet: y = 320 + 63 - 16 + 1, then 16 dots up each.
    cEdShot p = Record(1, 3, 3);
    cases.push_back({"straight B", p, {{480, 368, 4, 0}, {480, 352, 4, 0}, {480, 336, 4, 0}}});
  }
  {
    // Four spread 30 degrees apart around 180 (right): 135, 165, 195, 225.
    cEdShot p = Record(2, 4, 3);
    p.m_sFormParam[0] = 30;
    cases.push_back({"spread of four",
                     p,
                     {{480, 360, 2.82843, -2.82843},
                      {480, 360, 3.86370, -1.03528},
                      {480, 360, 3.86370, 1.03528},
                      {480, 360, 2.82843, 2.82843}}});
  }
  {
    cEdShot p = Record(2, 3, 3);
    p.m_sFormParam[0] = 30;
    cases.push_back({"spread of three", p, {{480, 360, 3.46410, -2}, {480, 360, 4, 0}, {480, 360, 3.46410, 2}}});
  }
  {
    // Eight from the hero's centre (456, 360) every 45 degrees, from 0 (left).
    cEdShot p = Record(4, 8, 2);
    cases.push_back({"explosion",
                     p,
                     {{456, 360, -4, 0},
                      {456, 360, -2.82843, -2.82843},
                      {456, 360, 0, -4},
                      {456, 360, 2.82843, -2.82843},
                      {456, 360, 4, 0},
                      {456, 360, 2.82843, 2.82843},
                      {456, 360, 0, 4},
                      {456, 360, -2.82843, 2.82843}}});
  }
  {
    // Around the hero at distance 0: all on its centre, each with its own heading.
    cEdShot p = Record(5, 4, 2);
    p.m_cFormTarget = 1;
    p.m_sFormParam[0] = 0;
    cases.push_back({"surround, distance 0", p, {{456, 360, -4, 0}, {456, 360, 0, -4}, {456, 360, 4, 0}, {456, 360, 0, 4}}});
  }
  {
    // Distance 2 hbl: 32 dots out, truncated toward zero after adding 0.5, moving inward.
    cEdShot p = Record(5, 4, 2);
    p.m_cFormTarget = 1;
    p.m_sFormParam[0] = 2;
    cases.push_back({"surround, distance 2", p, {{488, 360, -4, 0}, {456, 392, 0, -4}, {425, 360, 4, 0}, {456, 329, 0, 4}}});
  }
  {
    // Down onto the hero from the top of the view: x = 320 + 16 + 128 - 8 = 456, less half the
    // 32-dot column spacing; two columns, two rows 16 + 16 dots apart.
    cEdShot p = Record(3, 2, 7);
    p.m_cFormTarget = 1;
    p.m_sFormParam[0] = 1;
    p.m_sFormParam[1] = 2;
    p.m_sFormParam[2] = 2;
    cases.push_back({"lightning", p, {{440, 320, 0, 4}, {472, 320, 0, 4}, {440, 352, 0, 4}, {472, 352, 0, 4}}});
  }
  {
    // Without a target in the slot, lightning and surround create nothing.
    cEdShot p = Record(3, 2, 7);
    p.m_sFormParam[1] = 1;
    p.m_cFormSlot = 3;
    cases.push_back({"lightning without target", p, {}});
    cEdShot q = Record(5, 2, 7);
    q.m_cFormSlot = 3;
    cases.push_back({"surround without target", q, {}});
  }
  {
    // "前Y" for a hero facing left: upward from the top muzzle (456, 320 + 32 - 16).
    cEdShot p = Record(0, 1, 4);
    cases.push_back({"forward Y, facing left", p, {{456, 336, 0, -4}}});
  }
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Started s;
    ASSERT_EQ(s.h.Hero().m_Targets.At(3), nullptr);
    ExpectPlaced(Fire(s.h, c.p), c.want);
  }
}

TEST(FirePlayTest, ForwardYFiresDownForAHeroFacingRight) {
  Started s;
  s.h.Hero().m_bRight = 1;
  // Bottom muzzle: y = 320 + 63 + 1.
  ExpectPlaced(Fire(s.h, Record(0, 1, 4)), {{456, 384, 0, 4}});
}

TEST(FirePlayTest, CloneVolleysTurnByTheirAngleStep) {
  // Count 3, one clone, 10 degrees a clone: the second volley of three flies at 180 + 10.
  Started s;
  cEdShot p = Record(0, 3, 3);
  p.m_sFormParam[0] = 1;
  p.m_cClones = 1;
  p.m_sAngleOfsPerClone = 10;
  const std::vector<Placed> got = Fire(s.h, p);
  ExpectPlaced(got, {{480, 328, 4, 0},
                     {480, 360, 4, 0},
                     {480, 392, 4, 0},
                     {480, 328, 3.93923, 0.69459},
                     {480, 360, 3.93923, 0.69459},
                     {480, 392, 3.93923, 0.69459}});
  int clone1 = 0;
  for (const cShot& shot : s.h.Scene().m_Shots) clone1 += shot.m_nCloneValue == 1;
  EXPECT_EQ(clone1, 3);
  // Consecutive shot ids, and each shot is in its faction's list once.
  EXPECT_EQ(s.h.Scene().m_nShotIdCount, 6);
  EXPECT_EQ(s.h.Scene().m_ShotLayers.At(1).size(), 6u);
}

// A character definition in the stage palette for summons.
cCharaDef SummonedChara(int copies, int8_t spare = 1) {
  cCharaDef def = StageFromRows({"w"}).m_CharaPlaces.At(0);
  def.m_cCopies = static_cast<int8_t>(copies);
  def.m_sCopyStepX = 40;
  def.m_cSpareFlag = spare;
  def.m_cFlight = 1;
  return def;
}

cEdShot SummonRecord(int palette, int index) {
  cEdShot p = Record(0, 1, 3);
  p.m_cSummonPalette = static_cast<int8_t>(palette);
  p.m_sSummonIndex = static_cast<int16_t>(index);
  return p;
}

TEST(FirePlayTest, SummonedCharactersComeFromTheirPaletteEntry) {
  struct Case {
    const char* name;
    int index;
    int8_t spare;
    size_t created;
  };
  const Case cases[] = {
      {"three copies", 0, 1, 3},
      {"past the end", 1, 1, 0},
      {"negative index", -1, 1, 0},
      {"player definition", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Started s;
    GetStagePalette().m_Charas.clear();
    GetStagePalette().m_Charas.push_back(SummonedChara(2, c.spare));
    const int firstId = s.h.Scene().m_nCharaIdCount;
    cEdShot p = SummonRecord(1, c.index);
    p.SummonFactionMode() = 2;
    p.m_cFaction = 5;
    SummonChara(s.h.Hero(), Command(CMD_KIND_SUMMON_CHARA), p);
    const std::vector<cChara*> charas = s.h.Charas();
    ASSERT_EQ(charas.size(), c.created);
    EXPECT_EQ(s.h.Scene().m_nCharaIdCount, firstId + static_cast<int>(c.created));
    for (size_t i = 0; i < charas.size(); ++i) {
      EXPECT_EQ(charas[i]->m_nId, firstId + static_cast<int>(i));
      EXPECT_EQ(charas[i]->m_nCloneValue, static_cast<int>(i));
      EXPECT_EQ(charas[i]->m_nLayer, 5);
      EXPECT_EQ(charas[i]->m_pOwner, &s.h.Hero());
      // Each copy stands 40 dots further right than the one before.
      EXPECT_EQ(charas[i]->m_dX, charas[0]->m_dX + 40.0 * static_cast<double>(i));
    }
    EXPECT_EQ(s.h.Scene().m_CharaLayers.At(5).size(), c.created);
    EXPECT_EQ(s.h.CloseRequests(), 0);
  }
}

TEST(FirePlayTest, SummonedCharacterInAWallIsMovedOneDotOrRemoved) {
  // A wall at stage column 10 (grid dots 640..671) from the top to the floor.
  cStage stage = StageFromRows({
      "..........#...................",
      "....H.....#...................",
      "##############################",
  });
  stage.m_nCollisionLevel = 11;
  Started s(stage);
  cCharaDef def = SummonedChara(0);
  def.m_cFlight = 0;  // a walker: blocks hold it
  cEdShot p = SummonRecord(1, 0);
  cScenePlay& scene = s.h.Scene();
  // A first one in the open tells where a summoned character's box lies in its place.
  scene.SpawnSummonedChara(g_CharaList, 480, 352, 1, 0, p, def, scene.m_nCharaIdCount, &s.h.Hero());
  ASSERT_EQ(s.h.Charas().size(), 1u);
  const cChara& probe = *s.h.Charas()[0];
  const double offX = probe.m_dX - 480;
  const double width = probe.m_dRight - probe.m_dX + 1;
  struct Case {
    const char* name;
    double depth;  // dots of the box inside the wall
    bool kept;
  };
  const Case cases[] = {{"one dot in", 1, true}, {"three dots in", 3, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const size_t before = s.h.Charas().size();
    const int id = scene.m_nCharaIdCount;
    const double x = 640 + c.depth - 1 - (width - 1) - offX;
    scene.SpawnSummonedChara(g_CharaList, x, 352, 1, 0, p, def, scene.m_nCharaIdCount, &s.h.Hero());
    ASSERT_EQ(s.h.Charas().size(), before + (c.kept ? 1 : 0));
    EXPECT_EQ(scene.m_nCharaIdCount, id + (c.kept ? 1 : 0));
    if (c.kept) {
      // Moved one dot left, clear of the wall.
      EXPECT_EQ(s.h.Charas().back()->m_dRight, 639);
    }
  }
}

TEST(FirePlayTest, SummonedItemsTakeTheCommonOrTheStagePalette) {
  // Summon records name the common palette 0 and the stage palette 1.
  Started s;
  const cSafeVector<cItemDef> savedCommon = g_CommonPalette.m_Items;
  cItemDef common;
  common.m_sGraphicNo = 77;
  cItemDef staged;
  staged.m_sGraphicNo = 88;
  g_CommonPalette.m_Items.assign(1, common);
  GetStagePalette().m_Items.assign(1, staged);
  const size_t before = g_ItemList.size();
  cEdShot fromCommon = SummonRecord(0, 0);
  SummonItem(s.h.Hero(), Command(CMD_KIND_SUMMON_ITEM), fromCommon);
  ASSERT_EQ(g_ItemList.size(), before + 1);
  EXPECT_EQ(g_ItemList.back().m_Def.m_sGraphicNo, 77);
  cEdShot fromStage = SummonRecord(1, 0);
  SummonItem(s.h.Hero(), Command(CMD_KIND_SUMMON_ITEM), fromStage);
  ASSERT_EQ(g_ItemList.size(), before + 2);
  EXPECT_EQ(g_ItemList.back().m_Def.m_sGraphicNo, 88);
  // Right of the hero: the 32 x 32 place at (480, 352).
  EXPECT_EQ(g_ItemList.back().m_dX, 480 + g_ItemList.back().m_nDrawOffsetX);
  g_CommonPalette.m_Items = savedCommon;
}

int GraphicAt(int column, int row) { return g_MapGrid.At(column + (row << ScrollX().m_nPitchShift)).m_sGraphicNo; }

cEdShot BlockRecord(int mode) {
  cEdShot p = SummonRecord(1, 0);
  p.SummonMode() = static_cast<int8_t>(mode);
  return p;
}

void InstallSummonBlock() {
  cBlock block;
  block.m_sGraphicNo = 9;
  block.m_cHit = 1;
  GetStagePalette().m_Blocks.assign(1, block);
}

TEST(FirePlayTest, BlockSummonPlacesErasesAndTogglesOncePerFiring) {
  Started s;
  InstallSummonBlock();
  // The place right of the hero (480, 352) is grid cell (15, 11).
  cEdShot place = BlockRecord(0);
  SummonBlock(s.h.Hero(), Command(CMD_KIND_SUMMON_BLOCK), place);
  EXPECT_EQ(GraphicAt(15, 11), 9);
  cEdShot erase = BlockRecord(1);
  SummonBlock(s.h.Hero(), Command(CMD_KIND_SUMMON_BLOCK), erase);
  EXPECT_EQ(GraphicAt(15, 11), 0);
  // An explosion of two puts both on one cell: one firing toggles it once, the next back.
  cEdShot toggle = BlockRecord(2);
  toggle.m_cFormation = 4;
  toggle.m_cCount = 2;
  toggle.m_sOfsX = 64;  // from the hero's cell (14, 11) to (16, 11)
  SummonBlock(s.h.Hero(), Command(CMD_KIND_SUMMON_BLOCK), toggle);
  EXPECT_EQ(GraphicAt(16, 11), 9);
  SummonBlock(s.h.Hero(), Command(CMD_KIND_SUMMON_BLOCK), toggle);
  EXPECT_EQ(GraphicAt(16, 11), 0);
}

TEST(FirePlayTest, BlockSummonOverTheHeroStopsItAndAGuardUndoesIt) {
  for (int guard : {0, 1}) {
    SCOPED_TRACE(guard);
    Started s;
    InstallSummonBlock();
    cEdShot p = BlockRecord(0);
    p.m_cFormation = 4;  // on the hero's own cell (14, 11)
    p.HeroGuard() = static_cast<int8_t>(guard);
    SummonBlock(s.h.Hero(), Command(CMD_KIND_SUMMON_BLOCK), p);
    EXPECT_EQ(s.h.Hero().m_nStopCount, 2);
    EXPECT_EQ(GraphicAt(14, 11), guard ? 0 : 9);
  }
}

TEST(FirePlayTest, BlockSummonOutsideTheGridChangesNoCell) {
  // Columns left of the grid or past its width must not wrap into a neighbouring row.
  Started s;
  InstallSummonBlock();
  std::vector<int> before;
  for (const cMapCell& cell : g_MapGrid) before.push_back(cell.m_sGraphicNo);
  const double pastRight = 32.0 * ScrollX().m_nGridTiles + 8;
  const std::pair<double, double> places[] = {{-40, 352}, {pastRight, 352}, {480, -40}, {480, 32.0 * ScrollY().m_nGridTiles}};
  for (const auto& [x, y] : places) {
    cEdShot p = BlockRecord(0);
    s.h.Scene().SummonBlockAt(x, y, 0, p, GetStagePalette().m_Blocks.At(0));
  }
  std::vector<int> after;
  for (const cMapCell& cell : g_MapGrid) after.push_back(cell.m_sGraphicNo);
  EXPECT_EQ(after, before);
  EXPECT_EQ(s.h.CloseRequests(), 0);
}

TEST(FirePlayTest, PlacementRepeatCountMakesCopiesAndSkipsThoseOutsideTheGrid) {
  // Three copies 200 dots apart leftward from stage column 2: copy 2 would stand 400 dots left,
  // outside the grid, so it is skipped and the next placement takes its id.
  cStage stage = Floor();
  cCharaDef repeated = StageFromRows({"w"}).m_CharaPlaces.At(0);
  repeated.m_cCopies = 2;
  repeated.m_sCopyStepX = -200;
  repeated.m_sBlockX = 2;
  repeated.m_sBlockY = 1;
  repeated.m_cFlight = 1;
  stage.m_CharaPlaces.push_back(repeated);
  cCharaDef single = repeated;
  single.m_cCopies = 0;
  single.m_sBlockX = 20;
  stage.m_CharaPlaces.push_back(single);
  Started s(stage);
  const std::vector<cChara*> charas = s.h.Charas();
  ASSERT_EQ(charas.size(), 3u);
  EXPECT_EQ(charas[0]->m_nCloneValue, 0);
  EXPECT_EQ(charas[1]->m_nCloneValue, 1);
  EXPECT_EQ(charas[1]->m_dX, charas[0]->m_dX - 200);
  EXPECT_EQ(charas[1]->m_nId, charas[0]->m_nId + 1);
  EXPECT_EQ(charas[2]->m_nId, charas[0]->m_nId + 2);
  EXPECT_EQ(charas[2]->m_nCloneValue, 0);
}

}  // namespace
}  // namespace t4::test
