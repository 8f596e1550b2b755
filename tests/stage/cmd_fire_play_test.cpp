// Shot, sword and summon commands run by flows in a played stage: how often each fires over the
// command's time, the one sword of a sword command and its link to the shooter, and the
// on-screen rule of their sounds.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "data/database.h"
#include "data/flow_kinds.h"
#include "data/palette.h"
#include "stage/chara.h"
#include "stage/chara_links.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/shot.h"
#include "stage/stage_globals.h"
#include "support/scoped_value.h"
#include "support/stage_harness.h"
#include "play_constants.h"
#include "timed_command.h"

namespace t4::test {
namespace {

constexpr int16_t SOUND = 3;
constexpr int SOUND_ID = SOUND + 16;
constexpr int16_t BLOCK_GRAPHIC = 77;

// A command creating one object straight ahead per firing, with a sound for every screen.
cFlowCommand Firing(int kind, int16_t time) {
  cFlowCommand c = TimedCommand(kind, time);
  c.m_pShot.reset(new cEdShot);
  c.m_pShot->m_cFormation = 0;
  c.m_pShot->m_cCount = 1;
  c.m_pShot->m_sSpeed = 10;
  c.m_sSound = SOUND;
  c.m_cSoundOnScreen = 0;
  return c;
}

class FirePlay : public ::testing::Test {
 protected:
  // The hero on a floor gets `flow`; `level` is the stage's collision level.
  void Start(cFlow flow, int level = 11, std::vector<std::string> rows = {}) {
    if (rows.empty())
      rows = {"..............................", ".H............................", "##############################"};
    cStage stage = StageFromRows(rows);
    stage.m_nCollisionLevel = level;
    for (cCharaDef& d : stage.m_CharaPlaces) {
      if (d.m_cController == (m_bHero ? 0 : 1)) d.m_Flows.push_back(flow);
      if (d.m_cController != 0) d.m_cActiveRange = 3;  // acts off screen too
    }
    h.reset();
    h = std::make_unique<StageHarness>();
    h->Start(stage);
    ASSERT_GE(h->RunUntilState(PLAY_PLAY), 0);
    h->OnSystemSound([this](int id) { m_nSounds += id == SOUND_ID; });
  }
  int32_t m_bHero = 1;
  int m_nSounds = 0;
  std::unique_ptr<StageHarness> h;
};

TEST_F(FirePlay, ShotCommandFiresAtItsStartAndEveryTenth) {
  struct Case {
    int16_t time;
    int level;
    int frames;
    int volleys;
  };
  // Time 0 runs one sub-step; time 3 at two sub-steps a frame fires at sub-steps 0, 12 and 24.
  for (const Case& c : {Case{0, 11, 10, 1}, Case{3, 2, 30, 3}, Case{5, 11, 40, 5}}) {
    SCOPED_TRACE(testing::Message() << "time " << c.time << ", level " << c.level);
    m_nSounds = 0;
    Start(Once({Firing(CMD_SHOT, c.time)}), c.level);
    ASSERT_FALSE(HasFatalFailure());
    const int first = h->Scene().m_nShotIdCount;
    h->Frames(c.frames);
    EXPECT_EQ(h->Scene().m_nShotIdCount - first, c.volleys);
    EXPECT_EQ(m_nSounds, c.volleys);
  }
}

TEST_F(FirePlay, SwordCommandBuildsOneSwordLinkedToItsShooter) {
  cSafeVector<cSwordType> types(1);
  types.At(0).m_Entries.resize(1);
  types.At(0).m_Entries.At(0).m_nWidth = 40;
  types.At(0).m_Entries.At(0).m_nHeight = 20;
  types.At(0).m_Entries.At(0).m_nTime = 100;
  // Two sword commands of one tenth each.
  Start(Once({Firing(CMD_SWORD, 1), Firing(CMD_SWORD, 1)}));
  ScopedValue<cSafeVector<cSwordType>> installed(g_Database.m_SwordTypes, types);
  auto swords = [this] {
    std::vector<const cShot*> out;
    for (const cShot& s : h->Scene().m_Shots)
      if (!s.m_bShot) out.push_back(&s);
    return out;
  };
  h->Frames(6);
  ASSERT_EQ(swords().size(), 1u);
  EXPECT_EQ(swords()[0]->m_nHitWidth, 40);
  EXPECT_EQ(swords()[0]->m_pShooter, &h->Hero());
  EXPECT_EQ(swords()[0]->m_pTarget, nullptr);
  h->Frame();
  ASSERT_EQ(swords().size(), 2u);
  EXPECT_EQ(m_nSounds, 2);
  for (const cShot* s : swords()) {
    int links = 0;
    for (const SHOTLINK& l : h->Hero().m_ShotLinks) links += l.pShot == s && l.nKind == SHOTLINK_SHOOTER;
    EXPECT_EQ(links, 1);
  }
}

TEST_F(FirePlay, SwordOfATypeWithoutEntriesIsNotBuilt) {
  for (size_t count : {size_t{0}, size_t{1}}) {
    SCOPED_TRACE(count);
    Start(Once({Firing(CMD_SWORD, 1)}));
    ASSERT_FALSE(HasFatalFailure());
    // No sword types at all, or one without entries.
    cSafeVector<cSwordType> types(count);
    for (cSwordType& t : types) t.m_Entries.clear();
    ScopedValue<cSafeVector<cSwordType>> installed(g_Database.m_SwordTypes, types);
    const int first = h->Scene().m_nShotIdCount;
    h->Frames(6);
    EXPECT_EQ(h->Scene().m_nShotIdCount, first);
    EXPECT_TRUE(h->Scene().m_Shots.empty());
    EXPECT_EQ(h->CloseRequests(), 0);
  }
}

// A summonable flying character in the stage palette.
cCharaDef Summoned() {
  cCharaDef def = StageFromRows({"f"}).m_CharaPlaces.At(0);
  def.m_cSpareFlag = 1;
  return def;
}

TEST_F(FirePlay, SummonsRepeatEveryTenthAndKeepQuietOffScreenWhenAsked) {
  // A walker that acts wherever it is summons characters, items or blocks; its sound is for the
  // screen only. On screen at tile 5, off screen at tile 35.
  struct Case {
    const char* name;
    int kind;
    int tile;
    int16_t time;
    int made;
    int sounds;
  };
  const Case cases[] = {
      {"characters, on screen", CMD_SUMMON_CHARA, 5, 2, 2, 2},
      {"characters, off screen: silent", CMD_SUMMON_CHARA, 35, 2, 2, 0},
      {"items", CMD_SUMMON_ITEM, 5, 3, 3, 3},
      {"blocks", CMD_SUMMON_BLOCK, 5, 1, 1, 1},
  };
  m_bHero = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    m_nSounds = 0;
    cFlowCommand cmd = Firing(c.kind, c.time);
    cmd.m_cSoundOnScreen = 1;
    cmd.m_pShot->m_cSummonPalette = 1;  // the stage palette
    cmd.m_pShot->m_sSummonIndex = 0;
    std::string row(40, '.');
    row[static_cast<size_t>(c.tile)] = 'w';
    std::vector<std::string> rows = {std::string(40, '.'), ".H" + std::string(38, '.'), row, std::string(40, '#')};
    Start(Once({cmd}), 11, rows);
    ASSERT_FALSE(HasFatalFailure());
    GetStagePalette().m_Charas.assign(1, Summoned());
    GetStagePalette().m_Items.assign(1, cItemDef());
    cBlock block;
    block.m_sGraphicNo = BLOCK_GRAPHIC;
    GetStagePalette().m_Blocks.assign(1, block);
    const int charas = static_cast<int>(h->Charas().size());
    const int items = static_cast<int>(g_ItemList.size());
    h->Frames(c.time * 6 + 2);
    int blocks = 0;
    for (const cMapCell& cell : g_MapGrid) blocks += cell.m_sGraphicNo == BLOCK_GRAPHIC;
    const int made = c.kind == CMD_SUMMON_CHARA  ? static_cast<int>(h->Charas().size()) - charas
                     : c.kind == CMD_SUMMON_ITEM ? static_cast<int>(g_ItemList.size()) - items
                                                 : blocks;
    EXPECT_EQ(made, c.made);
    EXPECT_EQ(m_nSounds, c.sounds);
  }
}

}  // namespace
}  // namespace t4::test
