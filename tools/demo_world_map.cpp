// The demo's world map: an island drawn as text, one character per cell:
//   ~  sea   .  grass   T  forest   M  mountain (none of them can be walked on)
//   -  road   @  the start (on the road)   1 to 4  the points with their stages (on the road)
#include <cstdio>
#include <string>
#include <vector>

#include "data/world_map.h"
#include "demo_project.h"

namespace demo {
namespace {

// Row of the event picture that shows a point which is still shut.
constexpr int32_t LOCK_ICON_ROW = 4;

enum : int32_t { CHIP_SEA = 0, CHIP_GRASS, CHIP_ROAD, CHIP_FOREST, CHIP_MOUNTAIN, CHIP_COUNT };

// clang-format off
const char* const ISLAND[] = {
    "~~~~~~~~~~~~~~~~~~~~",
    "~~....TT......MM..~~",
    "~...TTTT.....MMMM..~",
    "~..TT..........MM..~",
    "~..................~",
    "~....@---1.........~",
    "~........-.........~",
    "~..T.....-----2-...~",
    "~.TTT..........-..~~",
    "~..T.......MM..3..~~",
    "~.........MMMM.-..~~",
    "~~......4-------.~~~",
    "~~~~....~~~~....~~~~",
    "~~~~~~~~~~~~~~~~~~~~",
    "~~~~~~~~~~~~~~~~~~~~",
};
// clang-format on

cWorldMapChip Chip(const char* caption, int32_t blocked) {
  cWorldMapChip chip;
  chip.m_strCaption = caption;
  chip.m_nBlocked = blocked;
  return chip;
}

cWorldMapStage StageEntry(const char* caption, const char* file, int32_t clearFlag, int32_t iconRow) {
  cWorldMapStage entry;
  entry.m_nKind = MAPENTRY_STAGE;
  entry.m_strCaption = caption;
  entry.m_strStageFile = file;
  entry.m_nClearFlag = clearFlag;
  entry.m_nValue2 = iconRow;
  entry.m_nReplayable = 1;
  return entry;
}

}  // namespace

bool WriteWorldMap() {
  cWorldMap map;
  map.m_strName = "デモの島";
  map.m_nBackColor = 3 * 16 + 9;  // the sea's blue
  const char* const names[CHIP_COUNT] = {"海", "草原", "道", "森", "山"};
  for (int32_t i = 0; i < CHIP_COUNT; ++i) {
    map.m_Chips.push_back(Chip(names[i], i == CHIP_ROAD ? 0 : 1));
    map.m_Chips.back().m_nImage = i;
  }
  const int height = static_cast<int>(std::size(ISLAND));
  const int width = static_cast<int>(std::string(ISLAND[0]).size());
  if (!map.SetSize(width, height)) return false;

  // Each point after the first is a wall until the stage before it is cleared.
  struct PointText {
    const char* name;
    const char* caption;
    const char* file;
  };
  const PointText texts[] = {{"草原", "はじまりの草原", STAGE_SERIES_1},
                             {"洞窟", "石の洞窟", STAGE_SERIES_2},
                             {"空の庭", "雲の上の庭", STAGE_SERIES_3},
                             {"魔王の城", "魔王の城", STAGE_SERIES_4}};
  std::vector<cWorldMapPoint> points;
  for (int32_t i = 0; i < static_cast<int32_t>(std::size(texts)); ++i) {
    cWorldMapPoint point;
    point.m_strName = texts[i].name;
    point.m_Entries.push_back(StageEntry(texts[i].caption, texts[i].file, i + 1, i));
    if (i > 0) {
      point.m_Entries.back().m_nNeedFlag = i;
      cWorldMapStage wall;
      wall.m_nKind = MAPENTRY_WALL;
      wall.m_nValue2 = LOCK_ICON_ROW;
      point.m_Entries.push_back(wall);
    }
    points.push_back(point);
  }

  for (int y = 0; y < height; ++y) {
    const std::string row = ISLAND[y];
    if (static_cast<int>(row.size()) != width) {
      std::fprintf(stderr, "make_demo_project: row %d of the world map has the wrong width\n", y);
      return false;
    }
    for (int x = 0; x < width; ++x) {
      int32_t chip = CHIP_ROAD;
      switch (row[static_cast<size_t>(x)]) {
        case '~': chip = CHIP_SEA; break;
        case '.': chip = CHIP_GRASS; break;
        case 'T': chip = CHIP_FOREST; break;
        case 'M': chip = CHIP_MOUNTAIN; break;
        case '@':
          map.m_nStartX = x;
          map.m_nStartY = y;
          break;
        case '1':
        case '2':
        case '3':
        case '4': {
          cWorldMapPoint& point = points[static_cast<size_t>(row[static_cast<size_t>(x)] - '1')];
          point.m_nX = x;
          point.m_nY = y;
          break;
        }
        default: break;
      }
      map.m_Cells[static_cast<size_t>(x + (y << map.m_nPitchShift))] = chip;
    }
  }
  for (const cWorldMapPoint& point : points) map.m_Points.push_back(point);
  return map.SaveToFile("data\\WorldMap.dat") != 0;
}

}  // namespace demo
