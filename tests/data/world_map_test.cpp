// The world map: grid sizing, its stored form and the checks after loading, old files, the
// points' entries with their conditions, and the stage look-up of the save data.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <map>

#include "data/world_map.h"
#include "data_test_util.h"

using namespace t4::test;

namespace {

// A stored entry of version `v` for stage file "w1-1": the given values, the rest 0.
LeWriter EntryForm(int v, int32_t kind, int32_t separate = 0, int32_t key1 = 0, int32_t needTotal = 0) {
  LeWriter form;
  form.I32(10 + (v > 208 ? 1 : 0) + (v > 757 ? 3 : 0));
  form.I32(kind);
  for (int i = 0; i < 9; ++i) form.I32(0);
  if (v > 208) form.I32(needTotal);
  if (v > 757) form.I32(separate).I32(key1).I32(0);
  form.I32(2).Str("caption").Str("w1-1");
  return form;
}

struct PointSpec {
  int32_t x = 0, y = 0;
  int nEntries = 1;
};

struct MapSpec {
  int32_t nWidth = 20, nHeight = 15, nPitch = 32, nShift = 5, nStartX = 9, nStartY = 7;
  int nChips = 10;
  std::vector<int32_t> cells = std::vector<int32_t>(15 * 32, 1);
  std::vector<PointSpec> points;
};

std::string WorldMapImage(int v, const MapSpec& m) {
  LeWriter file;
  file.I32(v).I32(8).I32(m.nWidth).I32(m.nHeight).I32(m.nPitch).I32(m.nShift).I32(m.nStartX).I32(m.nStartY);
  file.I32(16).I32(1).I32(2).Str("地図").Str("back.bmp");
  file.I32(m.nChips);
  for (int i = 0; i < m.nChips; ++i) file.I32(3).I32(0).I32(7).I32(40 + i).I32(2).Str("chip").Str("");
  file.I32(static_cast<int64_t>(m.cells.size()));
  for (int32_t cell : m.cells) file.I32(cell);
  file.I32(static_cast<int64_t>(m.points.size()));
  for (const PointSpec& p : m.points) {
    file.I32(2).I32(p.x).I32(p.y).I32(1).Str("p");
    file.I32(p.nEntries);
    for (int e = 0; e < p.nEntries; ++e) file.Append(EntryForm(v, MAPENTRY_STAGE));
  }
  file.I32(0);  // second point list
  return file.Bytes();
}

int LoadMap(cWorldMap& map, const std::string& image) {
  int32_t version = 0;
  std::memcpy(&version, image.data(), sizeof(version));
  return LoadBody(map, version, image.substr(4));
}

TEST(WorldMap, SetSizeLaysOutRowsByPowersOfTwo) {
  struct Case {
    int nWidth, nHeight, nResult, nPitch, nShift;
    size_t nCells;
  } cases[] = {
      {20, 15, 1, 32, 5, 480},
      {33, 2, 1, 64, 6, 128},
      {32, 1, 1, 32, 5, 32},
      {1, 1, 1, 1, 0, 1},
      {0, 5, 0, 32, 5, 480},   // refused, nothing changed
      {-3, 5, 0, 32, 5, 480},  // a negative width would never end the shift count
      {WORLDMAP_SIZE_MAX + 1, 5, 0, 32, 5, 480},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nWidth);
    cWorldMap map;
    EXPECT_EQ(map.SetSize(c.nWidth, c.nHeight), c.nResult);
    EXPECT_EQ(map.m_nPitch, c.nPitch);
    EXPECT_EQ(map.m_nPitchShift, c.nShift);
    EXPECT_EQ(map.m_Cells.size(), c.nCells);
  }
}

TEST(WorldMap, ResizingKeepsCellsAtTheirCoordinates) {
  cWorldMap map;
  ASSERT_EQ(map.SetSize(30, 20), 1);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 30; ++x) map.m_Cells[static_cast<size_t>(x + (y << map.m_nPitchShift))] = y * 100 + x;
  ASSERT_EQ(map.SetSize(10, 10), 1);
  EXPECT_EQ(map.m_nPitch, 16);
  EXPECT_EQ(map.GetCell(9, 9), 909);
  EXPECT_EQ(map.GetCell(3, 7), 703);
  EXPECT_EQ(map.GetCell(10, 0), -1);
  ASSERT_EQ(map.SetSize(40, 12), 1);
  EXPECT_EQ(map.GetCell(9, 9), 909);
  EXPECT_EQ(map.GetCell(12, 3), 0);
}

TEST(WorldMap, FreshMapHasTheDefaults) {
  cWorldMap map;
  EXPECT_EQ(map.m_strName, "ワールド");
  EXPECT_EQ(map.m_nWidth, 20);
  EXPECT_EQ(map.m_nStartX, 9);
  EXPECT_EQ(map.m_nBackColor, 16);
  EXPECT_TRUE(map.m_Points.empty());
  ASSERT_EQ(map.m_PointsB.size(), 1u);
  EXPECT_EQ(map.m_PointsB[0].m_strName, "デフォルト");
  ASSERT_EQ(map.m_PointsB[0].m_Entries.size(), 1u);
  EXPECT_EQ(map.m_PointsB[0].m_Entries[0].m_nKey1, 1);
}

TEST(WorldMap, MapBuiltInCodeReadsBackEqual) {
  cWorldMap map;
  map.m_Chips.resize(3);
  map.m_Chips[2].m_nBlocked = 1;
  map.m_Chips[2].m_strCaption = "山";
  ASSERT_EQ(map.SetSize(25, 18), 1);
  map.m_Cells[static_cast<size_t>(4 + (6 << map.m_nPitchShift))] = 2;
  map.m_nStartX = 4;
  map.m_nStartY = 6;
  cWorldMapPoint point;
  point.SetDefault();
  point.m_nX = 4;
  point.m_nY = 6;
  point.m_strName = "城";
  point.m_Entries[0].m_strStageFile = "data\\stg4\\w1-1.stg4";
  point.m_Entries[0].m_nNeedTotal = 300;
  point.m_Entries[0].m_nKey2 = 5;
  point.m_Entries.emplace_back();
  point.m_Entries[1].m_nKind = MAPENTRY_WALL;
  map.m_Points.push_back(point);

  std::string first = SaveBody(map);
  cWorldMap loaded;
  bool consumed = false;
  ASSERT_EQ(LoadBody(loaded, DATA_VERSION, first, &consumed), 1);
  EXPECT_TRUE(consumed);
  EXPECT_EQ(SaveBody(loaded), first);
  EXPECT_EQ(loaded.m_nPitch, 32);
  EXPECT_EQ(loaded.GetCell(4, 6), 2);
  EXPECT_EQ(loaded.m_Chips.at(2).m_strCaption, "山");
  cWorldMapPoint* found = loaded.FindPointAt({4, 6});
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->m_strName, "城");
  ASSERT_EQ(found->m_Entries.size(), 2u);
  EXPECT_EQ(found->m_Entries[0].m_nNeedTotal, 300);
  EXPECT_EQ(found->m_Entries[0].m_nKey2, 5);
  EXPECT_EQ(found->m_Entries[1].m_nKind, MAPENTRY_WALL);
  EXPECT_EQ(loaded.FindPointAt({5, 6}), nullptr);
}

TEST(WorldMap, LoadDropsWhatLiesOutsideTheMap) {
  MapSpec spec;
  spec.cells[static_cast<size_t>(3 + (2 << 5))] = 12;  // no such chip
  spec.cells[static_cast<size_t>(4 + (2 << 5))] = -1;
  spec.cells[static_cast<size_t>(5 + (2 << 5))] = 9;
  spec.points = {{20, 3}, {1, 1}, {2, 15}, {-1, 4}, {19, 14, 0}};
  struct {
    int32_t nStartX, nStartY, nExpectedX, nExpectedY;
  } starts[] = {{9, 7, 9, 7}, {25, 15, 19, 14}, {-4, -1, 0, 0}};
  for (const auto& s : starts) {
    spec.nStartX = s.nStartX;
    spec.nStartY = s.nStartY;
    cWorldMap map;
    ASSERT_EQ(LoadMap(map, WorldMapImage(DATA_VERSION, spec)), 1);
    EXPECT_EQ(map.m_nStartX, s.nExpectedX);
    EXPECT_EQ(map.m_nStartY, s.nExpectedY);
    EXPECT_EQ(map.GetCell(3, 2), 0);
    EXPECT_EQ(map.GetCell(4, 2), 0);
    EXPECT_EQ(map.GetCell(5, 2), 9);
    ASSERT_EQ(map.m_Points.size(), 3u);  // column 20 and row 15 are outside; negative ones stay
    EXPECT_EQ(map.m_Points[0].m_nX, 1);
    EXPECT_EQ(map.m_Points[1].m_nX, -1);
    EXPECT_TRUE(map.m_Points[2].m_Entries.empty());  // an empty entry list stays empty
  }
}

TEST(WorldMap, StoredPitchIsReconciledWithTheWidth) {
  // Cells stored with a wider pitch than the width needs keep their coordinates.
  MapSpec wide;
  wide.nHeight = 3;
  wide.nPitch = 64;
  wide.nShift = 6;
  wide.nChips = 400;
  wide.cells.assign(3 * 64, 0);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 20; ++x) wide.cells[static_cast<size_t>(x + y * 64)] = y * 100 + x + 1;
  cWorldMap map;
  ASSERT_EQ(LoadMap(map, WorldMapImage(DATA_VERSION, wide)), 1);
  EXPECT_EQ(map.m_nPitch, 32);
  EXPECT_EQ(map.m_nPitchShift, 5);
  EXPECT_EQ(map.m_Cells.size(), 96u);
  EXPECT_EQ(map.GetCell(19, 2), 220);
  EXPECT_EQ(map.GetCell(0, 1), 101);

  // A shift no index could use, or too few cells: the map is laid out anew, missing cells 0.
  struct {
    int32_t nShift;
    size_t nStored;
  } cases[] = {{40, 96}, {-2, 96}, {5, 0}, {5, 40}};
  for (const auto& c : cases) {
    MapSpec odd;
    odd.nHeight = 3;
    odd.nShift = c.nShift;
    odd.cells.assign(c.nStored, 1);
    cWorldMap loaded;
    ASSERT_EQ(LoadMap(loaded, WorldMapImage(DATA_VERSION, odd)), 1);
    EXPECT_EQ(loaded.m_nPitchShift, 5);
    EXPECT_EQ(loaded.m_Cells.size(), 96u);
    EXPECT_EQ(loaded.GetCell(19, 2), c.nStored == 96 ? 1 : 0);
  }
}

TEST(WorldMap, ImpossibleSizesAreRefused) {
  for (auto [width, height] : {std::pair{0, 15}, {20, -1}, {-20, 15}, {WORLDMAP_SIZE_MAX + 1, 1}, {INT_MAX, INT_MAX}}) {
    SCOPED_TRACE(width);
    MapSpec spec;
    spec.nWidth = width;
    spec.nHeight = height;
    cWorldMap map;
    EXPECT_EQ(LoadMap(map, WorldMapImage(DATA_VERSION, spec)), 0);
    EXPECT_EQ(map.m_nWidth, 20);  // the defaults stand
    EXPECT_EQ(map.m_Cells.size(), 480u);
  }
  std::string whole = WorldMapImage(DATA_VERSION, MapSpec{.points = {{1, 1, 2}}});
  for (size_t size = 4; size < whole.size(); size += 3) {
    cWorldMap cut;
    ASSERT_EQ(LoadMap(cut, whole.substr(0, size)), 0) << size;
  }
}

TEST(WorldMap, OldFilesGetTheTenStandardChips) {
  struct Case {
    int nVersion, nStored;
    size_t nExpected;
  } cases[] = {{811, 12, 10}, {811, 3, 10}, {812, 12, 12}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nStored);
    MapSpec spec;
    spec.nChips = c.nStored;
    cWorldMap map;
    ASSERT_EQ(LoadMap(map, WorldMapImage(c.nVersion, spec)), 1);
    ASSERT_EQ(map.m_Chips.size(), c.nExpected);
    if (c.nVersion >= WORLDMAP_CHIPS_VERSION) {
      EXPECT_EQ(map.m_Chips[11].m_nImage, 51);
      continue;
    }
    for (int i = 0; i < 10; ++i) {
      EXPECT_EQ(map.m_Chips[static_cast<size_t>(i)].m_nImage, i);
      EXPECT_EQ(map.m_Chips[static_cast<size_t>(i)].m_nBlocked, i < 5 ? 1 : 0);
      EXPECT_EQ(map.m_Chips[static_cast<size_t>(i)].m_strCaption, i < 5 ? "移動不可" : "移動可");
      EXPECT_EQ(map.m_Chips[static_cast<size_t>(i)].m_strMemo, "");
    }
  }
}

TEST(WorldMapEntry, OlderEntriesReadTheirDefaults) {
  struct Case {
    int nVersion;
    int32_t nKey1;
  } cases[] = {{208, 1}, {209, 1}, {757, 1}, {758, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.nVersion);
    cWorldMapStage entry;
    entry.m_nNeedTotal = 9;
    bool consumed = false;
    ASSERT_EQ(LoadBody(entry, c.nVersion, EntryForm(c.nVersion, MAPENTRY_ROAD, 1, 4, 77).Bytes(), &consumed), 1);
    EXPECT_TRUE(consumed);
    EXPECT_EQ(entry.m_nKind, MAPENTRY_ROAD);
    EXPECT_EQ(entry.m_nNeedTotal, c.nVersion <= 208 ? 0 : 77);
    EXPECT_EQ(entry.m_nKey1, c.nKey1);
    EXPECT_EQ(entry.m_nSeparate, c.nVersion > 757 ? 1 : 0);
    EXPECT_EQ(entry.m_strStageFile, "w1-1");
  }
}

TEST(WorldMapEntry, VariableConditionComparisons) {
  struct Case {
    int32_t nCmp, nVar, nValue;
    bool bHolds;
  } cases[] = {
      {MAPCMP_EQUAL, 5, 5, true},
      {MAPCMP_NOT_EQUAL, 5, 5, false},
      {MAPCMP_AT_LEAST, 5, 5, true},
      {MAPCMP_AT_MOST, 4, 5, true},
      {MAPCMP_GREATER, 5, 5, false},
      {MAPCMP_LESS, 4, 5, true},
      {MAPCMP_DIVISIBLE, -9, 3, true},
      {MAPCMP_DIVISIBLE, 7, 0, true},
      {MAPCMP_NOT_DIVISIBLE, 7, 0, false},
      {MAPCMP_NOT_DIVISIBLE, 7, -3, true},
      {MAPCMP_DIVISIBLE, INT_MIN, -1, true},
      {8, 5, 5, false},
      {-1, 5, 5, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.nCmp << " " << c.nVar << " " << c.nValue);
    cWorldMapStage entry;
    entry.m_nCondCmp = c.nCmp;
    entry.m_nCondValue = c.nValue;
    EXPECT_EQ(entry.CompareVar(c.nVar), c.bHolds);
  }
}

class Progress : public cWorldMapProgress {
 public:
  int32_t GetWorldFlag(int32_t index) const override { return flags.count(index) ? flags.at(index) : 0; }
  int32_t GetCommonVar(int32_t index) const override { return vars.count(index) ? vars.at(index) : 0; }
  int32_t GetRunningTotal() const override { return total; }

  std::map<int32_t, int32_t> flags, vars;
  int32_t total = 0;
};

TEST(WorldMapEntry, FirstApplyingEntryIsChosen) {
  cWorldMapPoint point;
  point.m_Entries.resize(4);
  point.m_Entries[0].m_nNeedFlag = 3;
  point.m_Entries[1].m_nCondVar = 10;
  point.m_Entries[1].m_nCondCmp = MAPCMP_AT_LEAST;
  point.m_Entries[1].m_nCondValue = 2;
  point.m_Entries[2].m_nNeedTotal = 500;
  Progress progress;
  EXPECT_EQ(point.FindApplyingEntry(progress), 3);
  progress.total = 500;
  EXPECT_EQ(point.FindApplyingEntry(progress), 2);
  progress.vars[10] = 2;
  EXPECT_EQ(point.FindApplyingEntry(progress), 1);
  progress.flags[3] = 1;
  EXPECT_EQ(point.FindApplyingEntry(progress), 0);
  cWorldMapPoint none;
  EXPECT_EQ(none.FindApplyingEntry(progress), -1);
}

TEST(WorldMapEntry, HasStageComparesTheNameWithoutItsSequencePart) {
  cWorldMap map;
  auto addEntry = [&](const char* file, int32_t kind, int32_t separate, int32_t key1, int32_t key2) {
    cWorldMapPoint point;
    point.m_Entries.resize(1);
    point.m_Entries[0].m_strStageFile = file;
    point.m_Entries[0].m_nKind = kind;
    point.m_Entries[0].m_nSeparate = separate;
    point.m_Entries[0].m_nKey1 = key1;
    point.m_Entries[0].m_nKey2 = key2;
    map.m_Points.push_back(point);
  };
  addEntry("w1-1.stg4", MAPENTRY_STAGE, 0, 1, 0);
  addEntry("w1-2.stg4", MAPENTRY_STAGE, 0, 1, 0);
  addEntry("w2-10.stg4", MAPENTRY_STAGE, 0, 1, 0);
  addEntry("w3-1.stg4", MAPENTRY_ROAD, 0, 1, 0);
  addEntry("w4-1.stg4", MAPENTRY_STAGE, 1, 2, 3);
  struct Case {
    const char* name;
    int separate, key1, key2, nResult;
  } cases[] = {
      {"w1.", 0, 0, 0, 1}, {"w1-2.", 0, 0, 0, 1}, {"w2.", 0, 0, 0, 1}, {"w1-1.", 0, 0, 0, 0},
      {"w3.", 0, 0, 0, 0},  // not a stage entry
      {"w4.", 0, 0, 0, 0},  // stored under its own name only
      {"w4.", 1, 2, 3, 1}, {"w4.", 1, 2, 4, 0},   {"w1.", 1, 1, 0, 0}, {"W1.", 0, 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(map.HasStage(c.name, c.separate, c.key1, c.key2), c.nResult);
  }
}

}  // namespace
