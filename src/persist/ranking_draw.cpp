#include <algorithm>
#include <string>

#include "core/report_log.h"
#include "core/sjis_text.h"
#include "data/stage_file.h"
#include "persist/panel_font.h"
#include "persist/ranking.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "persist/system_ini.h"

namespace {

constexpr int RANKING_BOX_W = 270;
constexpr int RANKING_BOX_H = 350;
constexpr int RANKING_HINT_CENTRE = 136;
constexpr int CLEAR_TIME_CELLS = 8;
constexpr int TEXT_KIND_LABEL = 5;  // screen texts 5 to 9 name the kinds
constexpr int TEXT_KIND_HINT = 25;

const std::string& KindLabel(int kind) { return g_SystemData.m_Texts.At(TEXT_KIND_LABEL + kind); }

bool IsKind(int kind) { return kind >= 0 && kind < RANKING_KIND_COUNT; }

// The 16 x 16 marker of a ranked row, from the accessory picture.
void DrawRankMarker(DDSURFACEDATA* lpSD, int x, int y) {
  DDBlt(lpSD, x, y, 16, 16, &g_SurfaceTable[IMAGE_ACCESSORY], 16, 48, BLT_TRANSPARENT);
}

}  // namespace

void cRankingList::Draw(DDSURFACEDATA* lpSD, int x, int y, int kind, int highlightRow, int gameMode) const {
  cFont& font = PanelFont();
  // Names and labels are the player's and the project's letters, never symbol cells.
  const BOOL bNoSymbols = g_SystemData.m_bFontSymbols ? TRUE : FALSE;
  font.DrawBox(lpSD, x + 1, y + 1, RANKING_BOX_W, RANKING_BOX_H);
  const std::string label = IsKind(kind) ? KindLabel(kind) : std::string();
  std::string text;
  // Only the English title switches the symbol cells off; the Japanese one draws them.
  if (g_SystemIni.m_nEnglish) {
    FormatString(text, "Ranking     %s", label.c_str());
    font.Draw(lpSD, x, y, text.c_str(), bNoSymbols);
  } else {
    FormatString(text, "ランキング    %s", label.c_str());
    font.Draw(lpSD, x, y, text.c_str());
  }

  const int rows = static_cast<int>(m_Rows.size());
  int valueCells = CLEAR_TIME_CELLS;
  if (kind != RANKING_KIND_CLEAR_TIME) valueCells = rows > 0 ? GetDigitCount(m_Rows.At(0).m_nValue) : 1;
  for (int i = 0; i < rows; ++i) {
    const cRankingItem& row = m_Rows.At(i);
    if (!row.m_bValid) continue;
    const int line = y + PANEL_LINE_H * (i + 1);
    font.DrawF(lpSD, x + 16, line, "%d", i + 1);
    font.Draw(lpSD, x + 64, line, row.m_strName.c_str(), bNoSymbols);
    if (kind == RANKING_KIND_CLEAR_TIME) {
      FormatTime(text, row.m_nValue);
      font.Draw(lpSD, x + 144, line, text.c_str());
    } else if (IsKind(kind)) {
      font.DrawF(lpSD, x + (valueCells - GetDigitCount(row.m_nValue) + 9) * 16, line, "%d", row.m_nValue);
    }
  }

  if (g_SystemData.GetRankingKindCount(gameMode) > 1) {
    const std::string& hint = g_SystemData.m_Texts.At(TEXT_KIND_HINT);
    font.Draw(lpSD, x + RANKING_HINT_CENTRE - CountChars(hint.c_str()) * 16 / 2, y + PANEL_LINE_H * (rows + 1),
              hint.c_str());
  }
  if (highlightRow != -1) DrawRankMarker(lpSD, x, y + PANEL_LINE_H * (highlightRow + 1));
}

void cRanking::Draw(DDSURFACEDATA* lpSD, int x, int y, int kind, int highlightRow, int gameMode) const {
  // The kind comes from save data; a damaged one shows no table rather than closing the game.
  if (kind < 0 || kind >= static_cast<int>(m_Lists.size())) return;
  m_Lists.At(kind).Draw(lpSD, x, y, kind, highlightRow, gameMode);
}

void DrawStageResult(DDSURFACEDATA* lpSD, int x, int y, const std::vector<int>& ranks, int gameMode) {
  const cSaveData& data = g_SaveData;
  const int32_t values[RANKING_KIND_COUNT] = {data.m_nResultScore, data.m_nResultTime, data.m_nResultClearTime,
                                              data.m_nResultHp, data.m_nResultSp};
  const cSafeVector<BYTE>& modeKinds = g_SystemData.m_RankingRules.At(gameMode).m_Kinds;
  const cSafeVector<int32_t>& stageKinds = g_Stage.m_RankingKinds;

  bool shown[RANKING_KIND_COUNT] = {};
  int lines = 0;
  int labelCells = 1;
  int valueCells = 1;
  for (int k = 0; k < RANKING_KIND_COUNT; ++k) {
    // A stage or rule that holds fewer flags than kinds leaves the missing kinds off.
    const bool stageShows = k < static_cast<int>(stageKinds.size()) && stageKinds.At(k) != 0;
    const bool modeShows = k < static_cast<int>(modeKinds.size()) && modeKinds.At(k) != 0;
    shown[k] = stageShows && (g_bFreeStageStart || modeShows);
    if (!shown[k]) continue;
    ++lines;
    labelCells = std::max(labelCells, CountChars(KindLabel(k).c_str()));
    valueCells = std::max(valueCells, k == RANKING_KIND_CLEAR_TIME ? CLEAR_TIME_CELLS : GetDigitCount(values[k]));
  }
  if (lines == 0) return;

  cFont& font = PanelFont();
  font.DrawBox(lpSD, x, y, (valueCells + labelCells + 3) * 16, lines * PANEL_LINE_H);
  int line = y;
  std::string text;
  for (int k = 0; k < RANKING_KIND_COUNT; ++k) {
    if (!shown[k]) continue;
    font.Draw(lpSD, x + 16, line, KindLabel(k).c_str());
    if (k == RANKING_KIND_CLEAR_TIME) {
      FormatTime(text, values[k]);
    } else {
      FormatString(text, "%d", values[k]);
    }
    font.Draw(lpSD, x + 32 + 16 * labelCells, line, text.c_str());
    // Each marker stands on the line of the kind that took the row.
    if (k < static_cast<int>(ranks.size()) && ranks[k] != -1) DrawRankMarker(lpSD, x, line);
    line += PANEL_LINE_H;
  }
}
