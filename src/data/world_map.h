// The story mode's world map: chip types, the cell grid, the points with their stage entries,
// the start position and the background.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/record.h"

// Entry kinds of a point.
enum : int32_t { MAPENTRY_STAGE = 0, MAPENTRY_ROAD = 1, MAPENTRY_WALL = 2 };
// Comparisons of an entry's variable condition (the variable on the left).
enum : int32_t {
  MAPCMP_EQUAL = 0,
  MAPCMP_NOT_EQUAL,
  MAPCMP_AT_LEAST,
  MAPCMP_AT_MOST,
  MAPCMP_GREATER,
  MAPCMP_LESS,
  MAPCMP_DIVISIBLE,
  MAPCMP_NOT_DIVISIBLE,
};
// Largest grid a world map file may have (cells per side).
constexpr int32_t WORLDMAP_SIZE_MAX = 1024;
// Files before this version get the ten standard chips.
constexpr int32_t WORLDMAP_CHIPS_VERSION = 812;

// What an entry's conditions are tested against: the story's progress (the save data answers).
class cWorldMapProgress {
 public:
  virtual ~cWorldMapProgress() = default;
  // 0 for an index outside the world flags or the common variables.
  virtual int32_t GetWorldFlag(int32_t index) const = 0;
  virtual int32_t GetCommonVar(int32_t index) const = 0;
  virtual int32_t GetRunningTotal() const = 0;
};

// One entry of a point: what the point is and under which conditions.
class cWorldMapStage : public cRecord {
 public:
  cWorldMapStage();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void SetDefault();

  // Whether the variable condition holds for the variable's value `var`.
  bool CompareVar(int32_t var) const;
  // Whether the entry applies: needed world flag, variable condition and running total.
  bool Applies(const cWorldMapProgress& progress) const;

  // What follows the clear of this entry's stage, and the icon row of the entry on the map.
  int32_t GetAfterClearAction() const { return m_nValue6; }
  int32_t GetIconRow() const { return m_nValue2; }

  int32_t m_nKind = 0;
  int32_t m_nValue2 = 0;
  int32_t m_nClearFlag = 0;
  int32_t m_nPassable = 0;
  int32_t m_nReplayable = 0;
  int32_t m_nValue6 = 0;
  int32_t m_nNeedFlag = 0;
  int32_t m_nCondVar = 0;
  int32_t m_nCondValue = 0;
  int32_t m_nCondCmp = 0;
  int32_t m_nNeedTotal = 0;
  int32_t m_nSeparate = 0;
  int32_t m_nKey1 = 0;
  int32_t m_nKey2 = 0;
  std::string m_strCaption;
  std::string m_strStageFile;
};

// A point of the map: a cell with a name and its entries.
class cWorldMapPoint : public cRecord {
 public:
  cWorldMapPoint();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;
  // Cleared, with exactly one default entry.
  void SetDefault();
  // Index of the first entry that applies, or -1.
  int FindApplyingEntry(const cWorldMapProgress& progress) const;

  int32_t m_nX = 0;
  int32_t m_nY = 0;
  std::string m_strName;
  cSafeVector<cWorldMapStage> m_Entries;
};

// A chip type: its picture and whether it can be walked on.
class cWorldMapChip : public cRecord {
 public:
  cWorldMapChip();

  void Register(int nVersion) override;

  int32_t m_nValue1 = 0;
  int32_t m_nBlocked = 0;
  int32_t m_nImage = 0;
  std::string m_strCaption;
  std::string m_strMemo;
};

// A cell position.
struct WORLDMAPPOS {
  int32_t x = 0;
  int32_t y = 0;
};

class cWorldMap : public cRecord {
 public:
  cWorldMap();

  void Register(int nVersion) override;
  // Reads WorldMap.dat's body. 0 when the file is short or damaged or its size is impossible;
  // the map then holds its defaults.
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  void SetDefault();
  // 1 on success; 0 with nothing changed for a size outside 1..WORLDMAP_SIZE_MAX.
  int SetSize(int width, int height);
  void Validate();
  cWorldMapPoint* FindPointAt(WORLDMAPPOS pos);
  int HasStage(const char* name, int separate, int key1, int key2) const;

  // Chip index of cell (x, y), or -1 outside the grid.
  int32_t GetCell(int x, int y) const;

  int32_t m_nWidth = 0;
  int32_t m_nHeight = 0;
  int32_t m_nPitch = 0;
  int32_t m_nPitchShift = 0;
  int32_t m_nStartX = 0;
  int32_t m_nStartY = 0;
  int32_t m_nBackColor = 0;
  int32_t m_nBackImageOn = 0;
  std::string m_strName;
  std::string m_strBackImage;
  cSafeVector<cWorldMapChip> m_Chips;
  cSafeVector<int32_t> m_Cells;
  cSafeVector<cWorldMapPoint> m_Points;
  cSafeVector<cWorldMapPoint> m_PointsB;

 private:
  // Lays the cells read from a file out for the stored width again; see Load.
  void ReconcileCells();
  void UpgradeChips();
};

extern cWorldMap g_WorldMap;

// Shift of the row pitch for a width: how often width - 1 can be halved before it reaches 0.
int32_t WorldMapPitchShift(int32_t width);
