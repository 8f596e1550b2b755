// The built demo project read back with the program's own loaders: the database, the common
// palette, every stage of the world map's series and the world map itself, and the pictures of
// every image slot the game needs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "app/scene_challenge.h"
#include "core/path_helpers.h"
#include "data/database.h"
#include "data/flow_kinds.h"
#include "data/palette.h"
#include "data/project_refs.h"
#include "data/stage_file.h"
#include "data/world_map.h"
#include "gfx/image_slots.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "persist/system_data.h"
#include "platform/raster/bmp_reader.h"
#include "support/temp_dir.h"

namespace {

class DemoProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(g_Database.Load(), 1);
    SetDataRefs(&g_ProjectDataRefs);
    ASSERT_EQ(g_CommonPalette.LoadFromFile("data\\CommonPalette.cplt4"), 1);
    ASSERT_EQ(m_Map.LoadFromFile("data\\WorldMap.dat"), 1);
  }
  void TearDown() override {
    EXPECT_TRUE(m_Boxes.Boxes().empty()) << m_Boxes.Boxes().front().text;
    g_Stage.SetDefault();
    g_StageSettings.SetDefault();
    g_CommonPalette = cPalette();
    g_Database.SetDefault();
    SetDataRefs(m_pPreviousRefs);
  }

  // The stage names of the series an entry starts: base-1, base-2, ... while a numbered file exists.
  static std::vector<std::string> Series(const std::string& entryFile) {
    const std::string stem = entryFile.substr(0, entryFile.rfind("-1.stg4"));
    std::vector<std::string> names;
    for (int n = 1;; ++n) {
      const std::string name = stem + "-" + std::to_string(n) + ".stg4";
      std::string found;
      if (!FindLastNumberedFileStr(found, name, "stg4")) return names;
      names.push_back(name);
    }
  }

  // The whole file at a game path ("bmp\\x.bmp"); false when it cannot be opened.
  static bool ReadAll(const char* path, std::vector<uint8_t>& bytes) {
    FILE* fp = t4::platform::OpenFile(path, "rb");
    if (!fp) return false;
    for (int c; (c = std::fgetc(fp)) != EOF;) bytes.push_back(static_cast<uint8_t>(c));
    std::fclose(fp);
    return true;
  }

  t4::test::ScopedCurrentDir m_Cwd{T4_DEMO_DIR};
  t4::platform::ScriptedMessageBoxBackend m_Boxes;
  t4::platform::ScopedMessageBoxBackend m_InstalledBoxes{m_Boxes};
  const cDataRefs* m_pPreviousRefs = GetDataRefs();
  cWorldMap m_Map;
};

bool ClearsTheStage(const cItemDef& item) {
  for (const cFlowCommand& cmd : item.m_Cmds)
    if (cmd.GetFlowKind() == CMD_STAGE_CLEAR) return true;
  return false;
}

// A character whose death clears the stage, as a boss's does.
bool DeathClearsTheStage(const cCharaDef& c) {
  for (const cFlow& flow : c.m_Flows)
    if (flow.m_cTrigger == TRIG_DEATH)
      for (const cFlowCommand& cmd : flow.m_Cmds)
        if (cmd.GetFlowKind() == CMD_STAGE_CLEAR) return true;
  return false;
}

// Loads a stage as the game does and checks that it can be played to its end: a hero, enemies
// with flows, ground or spikes under every column, and one way to clear it (a goal item or a
// boss).
void CheckStage(const std::string& name) {
  SCOPED_TRACE(name);
  ASSERT_EQ(LoadStageInGame(name.c_str(), 1, &g_StageSettings, &g_PlayerCharaDef), 1);
  const cStage& stage = g_Stage;
  EXPECT_EQ(g_PlayerCharaDef.m_cController, 0);
  EXPECT_FALSE(g_PlayerCharaDef.m_Flows.empty());
  // The references into the database survived the validation of the load.
  EXPECT_NE(g_StageSettings.m_nBgm, 0);

  std::vector<int> floor(static_cast<size_t>(stage.m_nWidth), 0);
  int deadly = 0;
  for (const cBlock& b : stage.m_BlockPlaces) {
    ASSERT_TRUE(b.m_sBlockX >= 0 && b.m_sBlockX < stage.m_nWidth && b.m_sBlockY >= 0 && b.m_sBlockY < stage.m_nHeight);
    EXPECT_NE(b.m_sGraphicNo, 0);
    if (b.m_sBlockY == stage.m_nHeight - 1 && b.m_cHit != 0) floor[static_cast<size_t>(b.m_sBlockX)] = 1;
    if (b.m_cHit == 2) ++deadly;
  }
  // Nothing falls out of the bottom: every column ends in a solid or a deadly block.
  EXPECT_EQ(std::count(floor.begin(), floor.end(), 0), 0);

  int enemies = 0, goals = 0;
  for (const cCharaDef& c : stage.m_CharaPlaces) {
    EXPECT_TRUE(c.m_sBlockX >= 0 && c.m_sBlockX < stage.m_nWidth && c.m_sBlockY >= 0 && c.m_sBlockY < stage.m_nHeight);
    if (c.m_cController != 0 && !c.m_Flows.empty() && c.m_nBodyPower > 0) ++enemies;
    if (DeathClearsTheStage(c)) ++goals;
  }
  EXPECT_GE(enemies, goals > 0 ? 1 : 2);
  // A stage without a boss has something deadly under foot.
  if (goals == 0) {
    EXPECT_GT(deadly, 0);
  }

  int takeSounds = 0;
  for (const cItemDef& item : stage.m_ItemPlaces) {
    EXPECT_TRUE(item.m_sBlockX >= 0 && item.m_sBlockX < stage.m_nWidth && item.m_sBlockY >= 0 &&
                item.m_sBlockY < stage.m_nHeight);
    if (ClearsTheStage(item)) ++goals;
    // Items taken once sound; a signpost stays and speaks instead.
    if (item.m_sTakeSound != 0 || item.m_cTakeMode == 1) ++takeSounds;
  }
  EXPECT_EQ(goals, 1);
  EXPECT_EQ(takeSounds, static_cast<int>(stage.m_ItemPlaces.size()));
}

TEST_F(DemoProjectTest, EveryStageOfTheWorldMapLoadsWithItsPlacements) {
  int stages = 0;
  for (const cWorldMapPoint& point : m_Map.m_Points) {
    for (const cWorldMapStage& entry : point.m_Entries) {
      if (entry.m_nKind != MAPENTRY_STAGE) continue;
      const std::vector<std::string> series = Series(entry.m_strStageFile);
      ASSERT_FALSE(series.empty()) << entry.m_strStageFile;
      for (const std::string& name : series) {
        ++stages;
        CheckStage(name);
      }
    }
  }
  EXPECT_EQ(stages, 5);
}

// The challenge list shows System.dat's count of stages; each of them is there and playable.
TEST_F(DemoProjectTest, EveryChallengeStageLoadsWithItsPlacements) {
  cSystemData system;
  ASSERT_EQ(system.LoadFromFile("data\\System.dat"), 1);
  EXPECT_EQ(system.m_nChallengeCount, 3);
  EXPECT_EQ(system.m_bAllChallengesOpen, 1);
  for (int n = 1; n <= system.m_nChallengeCount; ++n) CheckStage(ChallengeStageFile(n));
  // Nothing past the count that the list could reach.
  std::string found;
  EXPECT_FALSE(FindLastNumberedFileStr(found, ChallengeStageFile(system.m_nChallengeCount + 1), "stg4"));
}

class Progress : public cWorldMapProgress {
 public:
  int32_t GetWorldFlag(int32_t index) const override { return index == m_nFlag ? 1 : 0; }
  int32_t GetCommonVar(int32_t) const override { return 0; }
  int32_t GetRunningTotal() const override { return 0; }
  int32_t m_nFlag = 0;
};

TEST_F(DemoProjectTest, WorldMapLeadsFromTheStartToEachPointInTurn) {
  ASSERT_EQ(m_Map.m_Points.size(), 4u);
  // What the player meets at each point: the first stage is open at once, every later one
  // behind a wall until the clear flag of the stage before it is set.
  Progress fresh;
  ASSERT_EQ(m_Map.m_Points[0].FindApplyingEntry(fresh), 0);
  for (size_t i = 1; i < m_Map.m_Points.size(); ++i) {
    SCOPED_TRACE(i);
    const cWorldMapPoint& point = m_Map.m_Points[i];
    Progress afterPrevious;
    afterPrevious.m_nFlag = m_Map.m_Points[i - 1].m_Entries[0].m_nClearFlag;
    EXPECT_EQ(point.m_Entries.At(point.FindApplyingEntry(fresh)).m_nKind, MAPENTRY_WALL);
    EXPECT_EQ(point.m_Entries.At(point.FindApplyingEntry(afterPrevious)).m_nKind, MAPENTRY_STAGE);
    EXPECT_NE(point.m_Entries[0].m_nClearFlag, afterPrevious.m_nFlag);
  }

  // Cells reachable from the start over chips that can be walked on.
  auto walkable = [this](int x, int y) {
    const int32_t chip = m_Map.GetCell(x, y);
    return chip >= 0 && m_Map.m_Chips.At(chip).m_nBlocked == 0;
  };
  ASSERT_TRUE(walkable(m_Map.m_nStartX, m_Map.m_nStartY));
  std::vector<int> seen(static_cast<size_t>(m_Map.m_nWidth * m_Map.m_nHeight), 0);
  std::deque<WORLDMAPPOS> open{{m_Map.m_nStartX, m_Map.m_nStartY}};
  seen[static_cast<size_t>(m_Map.m_nStartY * m_Map.m_nWidth + m_Map.m_nStartX)] = 1;
  while (!open.empty()) {
    const WORLDMAPPOS at = open.front();
    open.pop_front();
    for (const WORLDMAPPOS step : {WORLDMAPPOS{1, 0}, WORLDMAPPOS{-1, 0}, WORLDMAPPOS{0, 1}, WORLDMAPPOS{0, -1}}) {
      const WORLDMAPPOS next{at.x + step.x, at.y + step.y};
      if (!walkable(next.x, next.y)) continue;
      int& mark = seen[static_cast<size_t>(next.y * m_Map.m_nWidth + next.x)];
      if (!mark) open.push_back(next);
      mark = 1;
    }
  }
  for (const cWorldMapPoint& point : m_Map.m_Points)
    EXPECT_EQ(seen[static_cast<size_t>(point.m_nY * m_Map.m_nWidth + point.m_nX)], 1) << point.m_strName;
}

// Every picture is an 8-bit bitmap on the palette bitmap's colour table, so that the colours of
// an index are the same whether a mode reads them from a colour table or from pixels.
TEST_F(DemoProjectTest, EveryPictureTheGameNeedsIsAReadableBitmapOnThePalette) {
  std::vector<uint8_t> paletteFile;
  ASSERT_TRUE(ReadAll(g_ImageSlotTable[IMAGE_PALETTE].szFile, paletteFile));
  const auto palette = t4::platform::raster::ReadBmp(paletteFile);
  ASSERT_TRUE(palette.has_value());
  const auto table = [](const t4::platform::raster::Bitmap& b) {
    std::vector<uint32_t> colours;
    for (const auto& c : b.colorTable) colours.push_back(c.red << 16 | c.green << 8 | c.blue);
    return colours;
  };
  for (const IMAGESLOT& slot : g_ImageSlotTable) {
    // "E" slots are work surfaces; optional pictures may be missing.
    if (std::string(slot.szFile) == "E" || slot.bOptional) continue;
    SCOPED_TRACE(slot.szFile);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadAll(slot.szFile, bytes));
    const auto bmp = t4::platform::raster::ReadBmp(bytes);
    ASSERT_TRUE(bmp.has_value());
    EXPECT_EQ(bmp->bitCount, 8);
    EXPECT_EQ(table(*bmp), table(*palette));
  }
}

// The palette bitmap as the loaders read it: 16 x 24, entry n at column n mod 16, row 8 + n / 16
// (the 16- and 32-bit modes take the colours from these pixels), and the top-left pixel, the
// colour key, is entry 0, the transparent colour.
TEST_F(DemoProjectTest, PaletteBitmapHoldsEachEntryWhereTheLoadersReadIt) {
  std::vector<uint8_t> file;
  ASSERT_TRUE(ReadAll(g_ImageSlotTable[IMAGE_PALETTE].szFile, file));
  const auto bmp = t4::platform::raster::ReadBmp(file);
  ASSERT_TRUE(bmp.has_value());
  ASSERT_EQ(bmp->width, 16);
  ASSERT_EQ(bmp->height, 24);
  ASSERT_EQ(bmp->colorTable.size(), 256u);
  EXPECT_EQ(bmp->indexes[0], 0);
  for (int n = 0; n < 256; ++n)
    EXPECT_EQ(bmp->indexes[static_cast<size_t>((8 + n / 16) * 16 + n % 16)], n) << "entry " << n;
}

// Every character the stages place has its picture in each of the sheet's sixteen columns: a
// flying, block or invincible character is drawn from the columns past the first eight.
TEST_F(DemoProjectTest, EveryPlacedCharacterIsDrawnInEveryColumn) {
  std::vector<uint8_t> file;
  ASSERT_TRUE(ReadAll("bmp\\Character1.bmp", file));
  const auto sheet = t4::platform::raster::ReadBmp(file);
  ASSERT_TRUE(sheet.has_value());
  ASSERT_EQ(sheet->width, 512);
  const uint32_t transparent = sheet->Rgb(0, 0);
  std::vector<std::string> stages;
  for (const cWorldMapPoint& point : m_Map.m_Points)
    for (const cWorldMapStage& entry : point.m_Entries)
      if (entry.m_nKind == MAPENTRY_STAGE)
        for (const std::string& name : Series(entry.m_strStageFile)) stages.push_back(name);
  for (int n = 1; n <= 3; ++n) stages.push_back(ChallengeStageFile(n));
  std::vector<int> rows;
  for (const std::string& name : stages) {
    ASSERT_EQ(LoadStageInGame(name.c_str(), 1, &g_StageSettings, &g_PlayerCharaDef), 1) << name;
    for (const cCharaDef& c : g_Stage.m_CharaPlaces) rows.push_back(c.m_sGraphicNo);
  }
  for (int row : rows)
    for (int column = 0; column < 16; ++column) {
      int drawn = 0;
      for (int y = row * 32; y < row * 32 + 32; ++y)
        for (int x = column * 32; x < column * 32 + 32; ++x) drawn += sheet->Rgb(x, y) != transparent;
      EXPECT_GT(drawn, 0) << "graphic " << row << ", column " << column;
    }
}

// Every sound and song a file names is there, as a WAV or a standard MIDI file: the system sounds
// of System.dat, Sound.dat's effects and Bgm.dat's songs (entry 0 of each list is empty).
TEST_F(DemoProjectTest, EverySoundAndSongNamedIsThere) {
  cSystemData system;
  ASSERT_EQ(system.LoadFromFile("data\\System.dat"), 1);
  auto startsWith = [](const std::string& file, const char* magic) {
    std::vector<uint8_t> bytes;
    if (!ReadAll(file.c_str(), bytes)) return false;
    return bytes.size() > 4 && std::string(bytes.begin(), bytes.begin() + 4) == magic;
  };
  ASSERT_EQ(system.m_SystemSounds.size(), 17u);
  for (const std::string& file : system.m_SystemSounds) EXPECT_TRUE(startsWith(file, "RIFF")) << file;
  ASSERT_GE(g_Database.m_Sounds.size(), 4u);
  for (size_t i = 1; i < g_Database.m_Sounds.size(); ++i)
    EXPECT_TRUE(startsWith(g_Database.m_Sounds[i].m_strFile, "RIFF")) << g_Database.m_Sounds[i].m_strFile;
  ASSERT_EQ(g_Database.m_Bgms.size(), 5u);
  for (size_t i = 1; i < g_Database.m_Bgms.size(); ++i)
    EXPECT_TRUE(startsWith(g_Database.m_Bgms[i].m_strFile, "MThd")) << g_Database.m_Bgms[i].m_strFile;
  // The scenes and the stages play songs of the list.
  for (int32_t song : {system.m_SceneBgm.At(SCENE_BGM_TITLE), system.m_SceneBgm.At(SCENE_BGM_WORLD_MAP),
                       system.m_SceneBgm.At(SCENE_BGM_CHALLENGE)}) {
    EXPECT_GT(song, 0);
    EXPECT_LT(song, 5);
  }
}

// The 8-bit mixing tables, checked against the palette bitmap as the palette-variation loader
// arranges it: variation n < 12 turns entries 16 to 207 by 16 x n toward lower indexes, variation
// n >= 12 copies block n - 11 over blocks 1 to 12.
TEST_F(DemoProjectTest, MixingTablesFollowEachPaletteVariation) {
  std::vector<uint8_t> paletteFile;
  ASSERT_TRUE(ReadAll("bmp\\plt\\Palette.bmp", paletteFile));
  const auto palette = t4::platform::raster::ReadBmp(paletteFile);
  ASSERT_TRUE(palette.has_value());
  ASSERT_EQ(palette->colorTable.size(), 256u);
  auto colour = [&](int index) {
    const t4::platform::raster::BmpColor& c = palette->colorTable[static_cast<size_t>(index)];
    return (c.red << 16) | (c.green << 8) | c.blue;
  };
  std::vector<std::vector<uint8_t>> tables(24);
  for (int n = 0; n < 24; ++n) {
    char path[32];
    std::snprintf(path, sizeof(path), "bmp\\hbt\\hbt%02d.dat", n);
    SCOPED_TRACE(path);
    ASSERT_TRUE(ReadAll(path, tables[n]));
    ASSERT_EQ(tables[n].size(), 65536u);
    // Index 0 is the transparent colour, which no mix may produce.
    EXPECT_EQ(std::count(tables[n].begin(), tables[n].end(), 0), 0);
  }
  // Entries 15 (white) and 1 (white at 2/16, 0x1F1F1F) mix to 0x8F8F8F, entry 8 (white at 9/16).
  ASSERT_EQ(colour(15), 0xFFFFFF);
  ASSERT_EQ(colour(1), 0x1F1F1F);
  ASSERT_EQ(colour(8), 0x8F8F8F);
  EXPECT_EQ(tables[0][15 + 1 * 256], 8);
  EXPECT_EQ(tables[0][1 + 15 * 256], 8);
  // A colour mixed with itself stays that colour, wherever the variation has put it.
  const struct {
    int variation, index, original;
  } cases[] = {
      {0, 40, 40},     // untouched
      {1, 16, 32},     // turned by 16: entry 16 shows what entry 32 showed
      {1, 200, 24},    // entry 200 wraps round to entry 24
      {11, 16, 192},   // turned by 176
      {12, 40, 24},    // block 1 copied over blocks 1 to 12
      {23, 16, 192},   // block 12 copied over blocks 1 to 12
      {23, 220, 220},  // past entry 207 nothing moves
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.variation);
    SCOPED_TRACE(c.index);
    const int mixed = tables[c.variation][c.index + c.index * 256];
    // Map the found index back to its colour under the same variation.
    int source = mixed;
    if (mixed >= 16 && mixed <= 207)
      source = c.variation < 12 ? 16 + (mixed - 16 + 16 * c.variation) % 192 : 16 * (c.variation - 11) + mixed % 16;
    EXPECT_EQ(colour(source), colour(c.original));
  }
}

}  // namespace
