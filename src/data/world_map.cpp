#include "data/world_map.h"

#include <cstdlib>
#include <cstring>

#include "core/message_box.h"
#include "core/path_helpers.h"

cWorldMap g_WorldMap;

namespace {

// Smallest stored forms: a record body, plus a point's entry count.
constexpr size_t MIN_POINT_BYTES = MIN_RECORD_BODY_BYTES + 4;
// Largest pitch shift a cell index can use without overflow.
constexpr int32_t PITCH_SHIFT_MAX = 30;
// Chips an old file gets: the first half cannot be walked on.
constexpr int OLD_CHIP_COUNT = 10;
constexpr int OLD_BLOCKED_CHIPS = 5;

bool IsMapSize(int32_t width, int32_t height) {
  return width >= 1 && height >= 1 && width <= WORLDMAP_SIZE_MAX && height <= WORLDMAP_SIZE_MAX;
}

bool IsPitchShift(int32_t shift) { return shift >= 0 && shift <= PITCH_SHIFT_MAX; }

int64_t CellIndex(int32_t x, int32_t y, int32_t shift) {
  return static_cast<int64_t>(x) + (static_cast<int64_t>(y) << shift);
}

cWorldMapChip ClearedChip() {
  cWorldMapChip chip;
  chip.Clear();
  return chip;
}

}  // namespace

int32_t WorldMapPitchShift(int32_t width) {
  int32_t shift = 0;
  for (int32_t rest = width - 1; rest > 0; rest >>= 1) ++shift;
  return shift;
}

// ---- cWorldMapStage ----

cWorldMapStage::cWorldMapStage() {
  Register(DATA_VERSION);
  SetDefault();
}

void cWorldMapStage::Register(int nVersion) {
  ClearMemberTables();
  AddMember4(&m_nKind, 1);
  AddMember4(&m_nValue2, 1);
  AddMember4(&m_nClearFlag, 1);
  AddMember4(&m_nPassable, 1);
  AddMember4(&m_nReplayable, 1);
  AddMember4(&m_nValue6, 1);
  AddMember4(&m_nNeedFlag, 1);
  AddMember4(&m_nCondVar, 1);
  AddMember4(&m_nCondValue, 1);
  AddMember4(&m_nCondCmp, 1);
  if (nVersion > 208) AddMember4(&m_nNeedTotal, 1);
  if (nVersion > 757) {
    AddMember4(&m_nSeparate, 1);
    AddMember4(&m_nKey1, 1);
    AddMember4(&m_nKey2, 1);
  }
  AddString(&m_strCaption);
  AddString(&m_strStageFile);
}

void cWorldMapStage::SetDefault() {
  Clear();
  m_nKey1 = 1;
}

int cWorldMapStage::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  if (g_nFileVersion <= 208) m_nNeedTotal = 0;
  return ok;
}

bool cWorldMapStage::CompareVar(int32_t var) const {
  // In 64 bits: the absolute value of the lowest int32 and a remainder by -1 stay defined.
  const int64_t a = var;
  const int64_t b = m_nCondValue;
  switch (m_nCondCmp) {
    case MAPCMP_EQUAL: return a == b;
    case MAPCMP_NOT_EQUAL: return a != b;
    case MAPCMP_AT_LEAST: return a >= b;
    case MAPCMP_AT_MOST: return a <= b;
    case MAPCMP_GREATER: return a > b;
    case MAPCMP_LESS: return a < b;
    case MAPCMP_DIVISIBLE: return b == 0 || std::llabs(a) % b == 0;
    case MAPCMP_NOT_DIVISIBLE: return b != 0 && std::llabs(a) % b != 0;
    default: return false;
  }
}

bool cWorldMapStage::Applies(const cWorldMapProgress& progress) const {
  if (m_nNeedFlag > 0 && !progress.GetWorldFlag(m_nNeedFlag)) return false;
  if (m_nCondVar != 0 && !CompareVar(progress.GetCommonVar(m_nCondVar))) return false;
  return progress.GetRunningTotal() >= m_nNeedTotal;
}

// ---- cWorldMapPoint ----

cWorldMapPoint::cWorldMapPoint() { Register(DATA_VERSION); }

void cWorldMapPoint::Register(int) {
  ClearMemberTables();
  AddMember4(&m_nX, 1);
  AddMember4(&m_nY, 1);
  AddString(&m_strName);
}

int cWorldMapPoint::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  if (ok) ok = LoadRecordVector(m_Entries, fp, cWorldMapStage());
  return ok;
}

void cWorldMapPoint::Save(FILE* fp) {
  cRecord::Save(fp);
  SaveRecordVector(m_Entries, fp);
}

void cWorldMapPoint::SetDefault() {
  Clear();
  m_Entries.resize(1);
}

int cWorldMapPoint::FindApplyingEntry(const cWorldMapProgress& progress) const {
  for (size_t i = 0; i < m_Entries.size(); ++i) {
    if (m_Entries[i].Applies(progress)) return static_cast<int>(i);
  }
  return -1;
}

// ---- cWorldMapChip ----

cWorldMapChip::cWorldMapChip() { Register(DATA_VERSION); }

void cWorldMapChip::Register(int) {
  ClearMemberTables();
  AddMember4(&m_nValue1, 1);
  AddMember4(&m_nBlocked, 1);
  AddMember4(&m_nImage, 1);
  AddString(&m_strCaption);
  AddString(&m_strMemo);
}

// ---- cWorldMap ----

cWorldMap::cWorldMap() {
  Register(DATA_VERSION);
  SetDefault();
}

void cWorldMap::Register(int) {
  ClearMemberTables();
  AddMember4(&m_nWidth, 1);
  AddMember4(&m_nHeight, 1);
  AddMember4(&m_nPitch, 1);
  AddMember4(&m_nPitchShift, 1);
  AddMember4(&m_nStartX, 1);
  AddMember4(&m_nStartY, 1);
  AddMember4(&m_nBackColor, 1);
  AddMember4(&m_nBackImageOn, 1);
  AddString(&m_strName);
  AddString(&m_strBackImage);
}

void cWorldMap::SetDefault() {
  Clear();
  m_strName = "ワールド";
  m_nStartX = 9;
  m_nStartY = 7;
  m_nBackColor = 16;
  m_nBackImageOn = 0;
  SetSize(20, 15);
  m_Points.clear();
  m_PointsB.assign(1, cWorldMapPoint());
  m_PointsB.At(0).SetDefault();
  m_PointsB.At(0).m_strName = "デフォルト";
}

int cWorldMap::SetSize(int width, int height) {
  if (width == 0 || height == 0) {
    DebugErrorBoxf("SetSize()で 0 を指定しました！");
    return 0;
  }
  // A negative size would never end the shift count; a huge one would allocate without bound.
  if (!IsMapSize(width, height)) return 0;
  cSafeVector<int32_t> oldCells;
  const int32_t oldWidth = m_nWidth;
  const int32_t oldHeight = m_nHeight;
  const int32_t oldShift = m_nPitchShift;
  if (!m_Cells.empty()) {
    DebugErrorBoxf("nBeforeWidth = %d,nBeforePitch = %d,nBeforePitch_Shift = %d", oldWidth, m_nPitch, oldShift);
    oldCells.swap(m_Cells);
  }
  m_nWidth = width;
  m_nHeight = height;
  m_nPitchShift = WorldMapPitchShift(width);
  m_nPitch = 1 << m_nPitchShift;
  m_Cells.assign(static_cast<size_t>(height) << m_nPitchShift, 0);
  if (!oldCells.empty() && IsPitchShift(oldShift)) {
    for (int32_t y = 0; y < height && y < oldHeight; ++y) {
      for (int32_t x = 0; x < width && x < oldWidth; ++x) {
        const int64_t from = CellIndex(x, y, oldShift);
        if (from < static_cast<int64_t>(oldCells.size())) {
          m_Cells[static_cast<size_t>(CellIndex(x, y, m_nPitchShift))] = oldCells[static_cast<size_t>(from)];
        }
      }
    }
  }
  return 1;
}

int cWorldMap::Load(FILE* fp) {
  const int v = g_nFileVersion;
  bool ok = cRecord::Load(fp) != 0;
  if (ok && !IsMapSize(m_nWidth, m_nHeight)) {
    FailDataRead(fp, "マップの大きさが不正です");
    ok = false;
  }
  if (ok) ok = LoadRecordVector(m_Chips, fp, ClearedChip()) != 0;
  int32_t n = 0;
  if (ok) ok = ReadCount(fp, &n, sizeof(int32_t));
  if (ok && n > 0) {
    m_Cells.assign(static_cast<size_t>(n), 0);
    ok = ReadData(fp, m_Cells.data(), m_Cells.size() * sizeof(int32_t));
  }
  if (ok) ok = LoadRecordVector(m_Points, fp, cWorldMapPoint(), MIN_POINT_BYTES) != 0;
  if (ok) ok = LoadRecordVector(m_PointsB, fp, cWorldMapPoint(), MIN_POINT_BYTES) != 0;
  if (!ok) {
    // Half a map would index its cells with the wrong layout: the defaults stand instead.
    SetDefault();
    return 0;
  }
  if (v < WORLDMAP_CHIPS_VERSION) UpgradeChips();
  ReconcileCells();
  Validate();
  return 1;
}

void cWorldMap::UpgradeChips() {
  m_Chips.resize(OLD_CHIP_COUNT, ClearedChip());
  for (int i = 0; i < OLD_CHIP_COUNT; ++i) {
    cWorldMapChip& chip = m_Chips.At(i);
    chip.m_nImage = i;
    chip.m_nBlocked = i < OLD_BLOCKED_CHIPS ? 1 : 0;
    chip.m_strCaption = i < OLD_BLOCKED_CHIPS ? "移動不可" : "移動可";
    chip.m_strMemo.clear();
  }
}

void cWorldMap::ReconcileCells() {
  // The stored pitch, shift and cell count may disagree with the width; the pitch follows the
  // width, and cells stored with a usable shift keep their positions.
  const int32_t shift = WorldMapPitchShift(m_nWidth);
  const int32_t stored = IsPitchShift(m_nPitchShift) ? m_nPitchShift : shift;
  const size_t size = static_cast<size_t>(m_nHeight) << shift;
  if (stored != shift || m_Cells.size() != size) {
    cSafeVector<int32_t> cells(size, 0);
    for (int32_t y = 0; y < m_nHeight; ++y) {
      for (int32_t x = 0; x < m_nWidth; ++x) {
        const int64_t from = CellIndex(x, y, stored);
        if (from < static_cast<int64_t>(m_Cells.size())) {
          cells[static_cast<size_t>(CellIndex(x, y, shift))] = m_Cells[static_cast<size_t>(from)];
        }
      }
    }
    m_Cells.swap(cells);
  }
  m_nPitchShift = shift;
  m_nPitch = 1 << shift;
}

void cWorldMap::Save(FILE* fp) {
  Validate();
  cRecord::Save(fp);
  SaveRecordVector(m_Chips, fp);
  WriteInt32(fp, static_cast<int32_t>(m_Cells.size()));
  WriteData(fp, m_Cells.data(), m_Cells.size() * sizeof(int32_t));
  SaveRecordVector(m_Points, fp);
  SaveRecordVector(m_PointsB, fp);
}

void cWorldMap::Validate() {
  if (m_nStartX >= m_nWidth) m_nStartX = m_nWidth - 1;
  if (m_nStartY >= m_nHeight) m_nStartY = m_nHeight - 1;
  // A start left of or above the map would put the walker outside it.
  if (m_nStartX < 0) m_nStartX = 0;
  if (m_nStartY < 0) m_nStartY = 0;
  if (IsPitchShift(m_nPitchShift)) {
    for (int32_t y = 0; y < m_nHeight; ++y) {
      for (int32_t x = 0; x < m_nWidth; ++x) {
        const int64_t index = CellIndex(x, y, m_nPitchShift);
        if (index >= static_cast<int64_t>(m_Cells.size())) continue;
        int32_t& cell = m_Cells[static_cast<size_t>(index)];
        if (static_cast<uint32_t>(cell) >= m_Chips.size()) cell = 0;
      }
    }
  }
  for (size_t i = 0; i < m_Points.size();) {
    const cWorldMapPoint& point = m_Points[i];
    if (point.m_nX >= m_nWidth || point.m_nY >= m_nHeight) {
      m_Points.erase(m_Points.begin() + static_cast<ptrdiff_t>(i));
    } else {
      ++i;
    }
  }
}

cWorldMapPoint* cWorldMap::FindPointAt(WORLDMAPPOS pos) {
  for (cWorldMapPoint& point : m_Points) {
    if (point.m_nX == pos.x && point.m_nY == pos.y) return &point;
  }
  return nullptr;
}

int32_t cWorldMap::GetCell(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight || !IsPitchShift(m_nPitchShift)) return -1;
  const int64_t index = CellIndex(x, y, m_nPitchShift);
  if (index >= static_cast<int64_t>(m_Cells.size())) return -1;
  return m_Cells[static_cast<size_t>(index)];
}

int cWorldMap::HasStage(const char* name, int separate, int key1, int key2) const {
  if (!name) return 0;
  for (const cWorldMapPoint& point : m_Points) {
    for (const cWorldMapStage& entry : point.m_Entries) {
      if (entry.m_nKind != MAPENTRY_STAGE) continue;
      // Results are kept under the name the progress gives the played file.
      std::string stem = entry.m_strStageFile;
      StageResultName(stem);
      if (stem != name) continue;
      if (separate == 0) {
        if (entry.m_nSeparate == 0) return 1;
      } else if (entry.m_nSeparate != 0 && entry.m_nKey1 == key1 && entry.m_nKey2 == key2) {
        return 1;
      }
    }
  }
  return 0;
}
