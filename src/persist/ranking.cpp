#include "persist/ranking.h"

#include <algorithm>
#include <cstring>

#include "core/path_helpers.h"
#include "core/sjis_text.h"
#include "persist/project_layout.h"
#include "persist/save_data.h"

namespace {

// Files of this version and older held three lists (score, remaining time, clear time).
constexpr int32_t RANKING_OLD_LIST_VERSION = 180;
constexpr int32_t DEFAULT_HIGHER_FIRST[RANKING_KIND_COUNT] = {1, 1, 0, 1, 1};

}  // namespace

// ---- cRankingItem ----

cRankingItem::cRankingItem() {
  Register(DATA_VERSION);
  Clear();
}

void cRankingItem::Register(int) {
  ClearMemberTables();
  AddMember4(&m_bValid, 1);
  AddMember4(&m_nValue, 1);
  AddString(&m_strName);
}

// ---- cRankingList ----

cRankingList::cRankingList() {
  Register(DATA_VERSION);
  Normalize();
}

void cRankingList::Register(int) {
  ClearMemberTables();
  AddMember4(&m_bHigherFirst, 1);
}

int cRankingList::Load(FILE* fp) {
  if (!cRecord::Load(fp)) return 0;
  return LoadRecordVector(m_Rows, fp, cRankingItem());
}

void cRankingList::Save(FILE* fp) {
  cRecord::Save(fp);
  SaveRecordVector(m_Rows, fp);
}

int cRankingList::GetRank(int value) const {
  for (int i = 0; i < static_cast<int>(m_Rows.size()); ++i) {
    const cRankingItem& row = m_Rows.At(i);
    if (!row.m_bValid) return i;
    if (m_bHigherFirst ? value > row.m_nValue : value < row.m_nValue) return i;
  }
  return -1;
}

void cRankingList::Insert(const std::string& name, int value) {
  int r = GetRank(value);
  if (r == -1) return;
  cRankingItem row;
  row.m_bValid = 1;
  row.m_nValue = value;
  row.m_strName = name;
  m_Rows.insert(m_Rows.begin() + r, row);
  m_Rows.pop_back();
}

void cRankingList::Normalize() {
  m_bHigherFirst = 0;
  m_Rows.resize(RANKING_ROW_COUNT);
}

// ---- cRanking ----

cRanking::cRanking() {
  Register(DATA_VERSION);
  Reset();
}

void cRanking::Register(int) { ClearMemberTables(); }

void cRanking::Reset() {
  m_Lists.assign(RANKING_KIND_COUNT, cRankingList());
  for (int k = 0; k < RANKING_KIND_COUNT; ++k) m_Lists.At(k).m_bHigherFirst = DEFAULT_HIGHER_FIRST[k];
}

int cRanking::Load(FILE* fp) {
  const int32_t v = g_nFileVersion;
  int ok = cRecord::Load(fp) && LoadRecordVector(m_Lists, fp, cRankingList());
  const size_t stored = m_Lists.size();
  // The screens and the stage end index five lists of twenty rows, whatever the file held.
  m_Lists.resize(RANKING_KIND_COUNT);
  for (size_t k = stored; k < m_Lists.size(); ++k) {
    if (v > RANKING_OLD_LIST_VERSION) m_Lists[k].m_bHigherFirst = DEFAULT_HIGHER_FIRST[k];
  }
  for (cRankingList& list : m_Lists) list.m_Rows.resize(RANKING_ROW_COUNT);
  if (v <= RANKING_OLD_LIST_VERSION) {
    m_Lists.At(3).m_bHigherFirst = 1;
    m_Lists.At(4).m_bHigherFirst = 1;
  }
  return ok;
}

void cRanking::Save(FILE* fp) {
  cRecord::Save(fp);
  SaveRecordVector(m_Lists, fp);
}

bool GetRankingPath(std::string& path, int mode, const char* stageName, int varSet, int varIndex, int varValue) {
  int folder = 0;
  switch (mode) {
    case GAME_MODE_STORY: folder = PATH_RANKING_STORY; break;
    case GAME_MODE_CHALLENGE: folder = PATH_RANKING_CHALLENGE; break;
    case GAME_MODE_FREE: folder = PATH_RANKING_FREE; break;
    default: return false;
  }
  if (!stageName || std::strlen(stageName) >= MAX_PATH) return false;
  char name[MAX_PATH];
  std::strcpy(name, stageName);
  StripDirectory(name);
  std::string file = name;
  if (mode == GAME_MODE_STORY) AppendStageSuffix(file, varSet, varIndex, varValue);
  path = std::string(g_Paths[folder]) + file + g_FileExts[EXT_RANKING];
  return path.size() < MAX_PATH;
}

int cRanking::LoadFile(int mode, const char* stageName, int varSet, int varIndex, int varValue) {
  std::string path;
  if (GetRankingPath(path, mode, stageName, varSet, varIndex, varValue) && LoadFromFile(path.c_str())) return 1;
  Reset();
  return 0;
}

int cRanking::SaveFile(int mode, const char* stageName, int varSet, int varIndex, int varValue) {
  std::string path;
  if (!GetRankingPath(path, mode, stageName, varSet, varIndex, varValue)) return 0;
  return SaveToFile(path.c_str());
}

void FormatTime(std::string& out, int hundredths) {
  const int t = std::max(hundredths, 0);
  std::string minutes, seconds, rest;
  FormatNumber(minutes, t / 6000, std::max(GetDigitCount(t / 6000), 2), true, false);
  FormatNumber(seconds, t / 100 % 60, 2, true, false);
  FormatNumber(rest, t % 100, 2, true, false);
  out = minutes + ":" + seconds + "." + rest;
}

int GetDigitCount(int value) {
  int digits = 1;
  for (int v = value / 10; v != 0 && digits < 10; v /= 10) ++digits;
  return digits;
}
