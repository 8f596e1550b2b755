// Rankings of one stage: for each of five kinds (0 score, 1 remaining time, 2 clear time,
// 3 remaining HP, 4 remaining SP) a table of 20 rows of registration name and value, kept in one
// ranking file per game mode and stage; and the number texts the ranking screens share.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/safe_containers.h"
#include "data/record.h"

constexpr int RANKING_KIND_COUNT = 5;
constexpr int RANKING_ROW_COUNT = 20;
constexpr int RANKING_KIND_CLEAR_TIME = 2;

struct DDSURFACEDATA;

class cRankingItem : public cRecord {
 public:
  cRankingItem();

  void Register(int nVersion) override;

  int32_t m_bValid = 0;
  int32_t m_nValue = 0;
  std::string m_strName;
};

class cRankingList : public cRecord {
 public:
  cRankingList();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  // The row a new value would take, or -1. An equal value ranks below the older entry.
  int GetRank(int value) const;
  // Enters a value at its rank; the table keeps its length.
  void Insert(const std::string& name, int value);
  // Lowest first, exactly 20 rows (added rows invalid).
  void Normalize();
  // The table with its title, valid rows and, unless highlightRow is -1, the marker before that
  // row; `gameMode` decides whether the kind-switch hint is shown (ranking_draw.cpp).
  void Draw(DDSURFACEDATA* lpSD, int x, int y, int kind, int highlightRow, int gameMode) const;

  int32_t m_bHigherFirst = 0;
  cSafeVector<cRankingItem> m_Rows;
};

class cRanking : public cRecord {
 public:
  cRanking();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  void Reset();
  // 1 when the stage's ranking file was read; otherwise the tables are reset and 0 returned.
  int LoadFile(int mode, const char* stageName, int varSet, int varIndex, int varValue);
  // 1 when written; 0 (nothing written) for a mode without ranking files or a failed write.
  int SaveFile(int mode, const char* stageName, int varSet, int varIndex, int varValue);
  // The table of one kind; a kind without a table draws nothing.
  void Draw(DDSURFACEDATA* lpSD, int x, int y, int kind, int highlightRow, int gameMode) const;

  cSafeVector<cRankingList> m_Lists;
};

extern cRanking g_Ranking;

// The ranking file of a stage in a game mode (story, challenge or free play); false when the mode
// has none or the name does not fit a path.
bool GetRankingPath(std::string& path, int mode, const char* stageName, int varSet, int varIndex, int varValue);

// The results of the stage just ended: one line per kind that the stage and the game mode's
// ranking rule show, and the marker on the line of each kind that took the row ranks[kind]
// (-1: none) in its table.
void DrawStageResult(DDSURFACEDATA* lpSD, int x, int y, const std::vector<int>& ranks, int gameMode);

// Clear time in hundredths as "MM:SS.hh" (minutes with at least two digits); a negative time
// shows as 0.
void FormatTime(std::string& out, int hundredths);
// Decimal digits of a value's magnitude, 1 to 10.
int GetDigitCount(int value);
