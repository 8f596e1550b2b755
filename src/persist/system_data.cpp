#include "persist/system_data.h"

#include <algorithm>
#include <cstdio>

#include "core/sjis_text.h"
#include "data/data_file.h"
#include "data/data_refs.h"
#include "persist/list_io.h"

cSystemData::cSystemData() { SetDefaults(); }

void cSystemData::Register(int nVersion) {
  ClearMemberTables();
  AddString(&m_strTitle);
  auto add = [this, nVersion](int32_t* field, int nSince) {
    if (nVersion >= nSince) AddMember4(field, 1);
  };
  add(&m_bExtraLifeByScore, 185);
  add(&m_nExtraLifeScore, 0);
  add(&m_bSpacePause, 838);
  add(&m_bPauseDrawsStage, 0);
  add(&m_bFontSymbols, 0);
  add(&m_nFontFace, 205);
  add(&m_bFontCentreGlyphs, 170);
  add(&m_bKeepTestFlows, 113);
  add(&m_bCompat855, 855);
  add(&m_bReplay, 184);
  add(&m_bPlainTitleMenu, 157);
  add(&m_bAskSlotAtNewGame, 821);
  add(&m_bStoryLivesCarry, 0);
  add(&m_bStoryContinue, 191);
  add(&m_bMapShowsLives, 191);
  add(&m_nChallengeCount, 0);
  add(&m_bAllChallengesOpen, 0);
  add(&m_bMapShowsScore, 167);
  add(&m_bMenuShowsTotal, 167);
  add(&m_bRestoreVarsStory, 188);
  add(&m_bPauseRetryStory, 224);
  add(&m_bChallengeShowsBest, 167);
  add(&m_bChallengeShowsTotal, 167);
  add(&m_bRestoreVarsChallenge, 188);
  add(&m_bPauseRetryChallenge, 224);
  add(&m_bRestoreVarsFree, 188);
  add(&m_bRestoreVarsDirect, 192);
  add(&m_bFullColour, 187);
  if (nVersion >= 187) {
    AddMember1(&m_cTransRed, 1);
    AddMember1(&m_cTransGreen, 1);
    AddMember1(&m_cTransBlue, 1);
  }
  add(&m_bCompat214, 214);
  // A value that only versions 221 to 259 stored; read and thrown away.
  if (nVersion >= 221 && nVersion <= 259) AddMember4(&g_nDummyMember, 1);
  add(&m_bCompat261, 261);
  add(&m_bOption272, 272);
  add(&m_bOption287, 287);
  add(&m_nMenuPulseStep, 515);
  add(&m_bPaletteCycling, 289);
  add(&m_bPauseMapStory, 757);
  add(&m_bCompat525, 525);
  add(&m_bCompat555, 555);
  add(&m_bCompat637, 637);
  add(&m_bCompat669, 669);
  add(&m_bCompat677, 677);
  add(&m_bCompat695, 695);
  add(&m_bCompat696, 696);
  add(&m_bCompat697, 697);
  add(&m_bCompat721, 721);
  add(&m_bCompat728, 728);
  add(&m_bCompat733, 733);
  add(&m_bCompat744, 744);
  add(&m_bCompat749, 749);
  add(&m_bCompat752, 752);
  add(&m_bCompat763a, 763);
  add(&m_bCompat763b, 763);
  add(&m_bCompat768, 768);
  add(&m_bCompat773, 773);
  add(&m_bCompat781, 781);
  add(&m_bCompat782, 782);
  add(&m_bCompat783, 783);
  add(&m_bCompat793, 793);
  add(&m_bCompat805, 805);
  add(&m_bCompat808, 808);
  add(&m_bCompat818a, 818);
  add(&m_bCompat818b, 818);
  add(&m_bCompat819, 819);
  add(&m_bCompat822, 822);
  add(&m_bCompat827, 827);
  add(&m_bCompat831, 831);
  add(&m_bCompat833, 833);
  add(&m_bCompat837, 837);
  add(&m_bCompat839, 839);
  add(&m_bCompat841, 841);
  add(&m_bCompat845a, 845);
  add(&m_bCompat845b, 845);
  add(&m_bCompat845c, 845);
  add(&m_bCompat845d, 845);
  add(&m_bCompat861, 861);
  add(&m_bCompat875, 875);
  add(&m_bCompat894, 894);
  add(&m_bCompat895, 895);
  add(&m_bCompat896, 896);
  add(&m_bCompat897, 897);
  add(&m_nD3DColourDepth, 670);
  add(&m_nDDColourDepth, 670);
  add(&m_bDirectStartToTitle, 880);
}

int cSystemData::Load(FILE* fp) {
  const int v = g_nFileVersion;
  // Every written System.dat has a version and stores its settings. A zero-filled or cut-off file
  // would otherwise read as an empty record with every list empty, and the game would start
  // without its texts, menus and sounds.
  if (v <= 0) {
    FailDataRead(fp, "バージョンが不正です");
    return 0;
  }
  const long at = std::ftell(fp);
  int32_t stored = 0;
  const bool counted = std::fread(&stored, 1, sizeof(stored), fp) == sizeof(stored);
  if (at < 0 || std::fseek(fp, at, SEEK_SET) != 0 || !counted || stored <= 0) {
    FailDataRead(fp, "設定がありません");
    return 0;
  }
  if (!cRecord::Load(fp)) return 0;
  if (!LoadLists(fp, v)) return 0;
  if (v < DATA_VERSION) Upgrade(v);
  PadLists();
  m_nChallengeCount = std::clamp(m_nChallengeCount, 0, CHALLENGE_COUNT_MAX);
  ClampSceneBgm();
  return 1;
}

bool cSystemData::LoadLists(FILE* fp, int v) {
  return LoadByteList(fp, m_CarryFlags) && (v < 501 || LoadByteList(fp, m_CarryResetFlags)) &&
         LoadRecordList(fp, m_StatusItems) && LoadIntList(fp, m_InitialLives) &&
         (v < 191 || LoadIntList(fp, m_InfiniteLives)) && (v < 186 || LoadRecordList(fp, m_RankingRules)) &&
         LoadTextList(fp, m_Texts) && LoadTextList(fp, m_SystemSounds) && LoadIntList(fp, m_SceneBgm) &&
         (v < 202 || LoadByteList(fp, m_SceneBgmLoop)) && LoadRecordList(fp, m_TitleMenu) &&
         LoadRecordList(fp, m_MapMenu) && LoadRecordList(fp, m_OptionMenu) &&
         (v < 674 || LoadTextList(fp, m_RankingModeNames)) && LoadRecordList(fp, m_IniKeys);
}

void cSystemData::Save(FILE* fp) {
  ClampSceneBgm();
  cRecord::Save(fp);
  SaveByteList(fp, m_CarryFlags);
  SaveByteList(fp, m_CarryResetFlags);
  SaveRecordVector(m_StatusItems, fp);
  SaveIntList(fp, m_InitialLives);
  SaveIntList(fp, m_InfiniteLives);
  SaveRecordVector(m_RankingRules, fp);
  SaveTextList(fp, m_Texts);
  SaveTextList(fp, m_SystemSounds);
  SaveIntList(fp, m_SceneBgm);
  SaveByteList(fp, m_SceneBgmLoop);
  SaveRecordVector(m_TitleMenu, fp);
  SaveRecordVector(m_MapMenu, fp);
  SaveRecordVector(m_OptionMenu, fp);
  SaveTextList(fp, m_RankingModeNames);
  SaveRecordVector(m_IniKeys, fp);
}

void cSystemData::ClampSceneBgm() {
  for (int32_t& nBgm : m_SceneBgm) {
    if (IsOutsideDatabase(DBLIST_BGM, nBgm)) nBgm = 0;
  }
}

int cSystemData::GetRankingKindCount(int nMode) const {
  const cRankingRule& rule = m_RankingRules.At(nMode);
  if (!rule.m_bEnabled) return 0;
  return static_cast<int>(std::count_if(rule.m_Kinds.begin(), rule.m_Kinds.end(), [](BYTE c) { return c != 0; }));
}

bool cSystemData::CheckGaugeLevel(int nItem, int nValue, int nMax) const {
  const cStatusItem& item = m_StatusItems.At(nItem);
  if (!item.m_bLowPercent) return nValue <= item.m_nLowLevel;
  // A maximum of 0 gives an infinite or undefined percentage, which compares false.
  return item.m_nLowLevel >= nValue * 100.0 / nMax;
}

int cSystemData::GetTextListX(int x, int nFirst, int nCount, bool bCursor) const {
  int nLongest = 0;
  for (int i = nFirst; i < nFirst + nCount; ++i) nLongest = std::max(nLongest, CountChars(m_Texts.At(i).c_str()));
  return x - ((nLongest + (bCursor ? 1 : 0)) * 16) / 2;
}
