// Brings the settings of a System.dat written by an older version to the current layout.
#include <initializer_list>
#include <utility>

#include "persist/system_data.h"

namespace {

// Makes the list exactly n entries long (new entries 0, empty or new records).
template <class T>
void ForceSize(cSafeVector<T>& list, int n) {
  list.resize(static_cast<size_t>(n), T());
}

// Moves entries i .. n-2 up by one (the last one drops out) and stores `value` at i.
template <class T>
void OpenSlot(cSafeVector<T>& list, int i, const T& value) {
  for (int k = static_cast<int>(list.size()) - 1; k > i; --k) list.At(k) = list.At(k - 1);
  list.At(i) = value;
}

using SwitchMember = int32_t cSystemData::*;

}  // namespace

void cSystemData::Upgrade(int v) {
  // Switches that only exist from a version on: the older rule holds for older projects.
  auto keepOlderRules = [this, v](std::initializer_list<std::pair<int, SwitchMember>> switches) {
    for (const auto& [nVersion, member] : switches) {
      if (v < nVersion) this->*member = 1;
    }
  };

  if (v < 113) m_bKeepTestFlows = 0;
  if (v < 157) m_bPlainTitleMenu = 0;
  if (v < 167) m_bMapShowsScore = m_bMenuShowsTotal = m_bChallengeShowsBest = m_bChallengeShowsTotal = 1;
  if (v < 168) {
    ForceSize(m_CarryFlags, CARRY_KIND_COUNT);
    OpenSlot<BYTE>(m_CarryFlags, 16, 1);
  }
  if (v < 169) {
    ForceSize(m_MapMenu, MAP_MENU_COUNT);
    OpenSlot(m_MapMenu, 1, cCmd(1, "オートセーブ"));
    ForceSize(m_Texts, SYSTEM_TEXT_COUNT);
    OpenSlot<std::string>(m_Texts, 12, "保存先が不明です！一度は「セーブ」して下さい！");
    OpenSlot<std::string>(m_Texts, 12, "オートセーブＯＦＦ");
    OpenSlot<std::string>(m_Texts, 12, "オートセーブＯＮ");
  }
  if (v < 170) m_bFontCentreGlyphs = 0;
  if (v < 181) {
    // Files of these versions carry no rules, so the list holds the four of a new project.
    for (int i = 0; i < GAME_MODE_COUNT && i < static_cast<int>(m_RankingRules.size()); ++i) {
      cRankingRule& rule = m_RankingRules.At(i);
      ForceSize(rule.m_Kinds, cRankingRule::KIND_COUNT);
      rule.m_Kinds.At(3) = 0;
      rule.m_Kinds.At(4) = 0;
    }
    ForceSize(m_Texts, SYSTEM_TEXT_COUNT);
    OpenSlot<std::string>(m_Texts, 8, "残りHP");
    OpenSlot<std::string>(m_Texts, 9, "残りSP");
  }
  if (v < 184) m_bReplay = 1;
  if (v < 185) m_bExtraLifeByScore = 1;
  if (v < 187) {
    m_bFullColour = 0;
    m_cTransRed = 0;
    m_cTransGreen = 177;
    m_cTransBlue = 0;
  }
  if (v < 188) m_bRestoreVarsStory = m_bRestoreVarsChallenge = m_bRestoreVarsFree = 1;
  if (v < 191) {
    m_InfiniteLives = {0, 0, 0, 1};
    m_bStoryContinue = m_bMapShowsLives = 0;
  }
  if (v < 192) m_bRestoreVarsDirect = 1;
  if (v < 193) {
    ForceSize(m_Texts, SYSTEM_TEXT_COUNT);
    OpenSlot<std::string>(m_Texts, 22, "リトライ");
    OpenSlot<std::string>(m_Texts, 23, "マップへ戻る");
  }
  if (v < 201) {
    ForceSize(m_CarryFlags, CARRY_KIND_COUNT);
    OpenSlot<BYTE>(m_CarryFlags, 14, 0);
  }
  if (v < 202) m_SceneBgmLoop.assign(SCENE_BGM_COUNT, 1);
  if (v < 205) m_nFontFace = 60;
  if (v < 210) {
    ForceSize(m_CarryFlags, CARRY_KIND_COUNT);
    OpenSlot<BYTE>(m_CarryFlags, 9, 0);
  }
  if (v < 214) m_bCompat214 = 1;
  if (v < 224) m_bPauseRetryStory = m_bPauseRetryChallenge = 0;
  if (v < 261) m_bCompat261 = 1;
  if (v < 272) m_bOption272 = 0;
  if (v < 286) {
    ForceSize(m_IniKeys, INI_KEY_COUNT);
    OpenSlot(m_IniKeys, 0, cIniKey::MakeNumber("Direct3D", 1));
    if (m_IniKeys.At(3).m_nValue >= 3) m_IniKeys.At(3).m_nValue = 2;
  }
  if (v < 287) m_bOption287 = 0;
  if (v < 289) m_bPaletteCycling = m_bFullColour == 0 ? 1 : 0;
  if (v < 501) m_CarryResetFlags.assign(CARRY_KIND_COUNT, 0);
  if (v < 515) m_nMenuPulseStep = 16;
  keepOlderRules({{525, &cSystemData::m_bCompat525}, {555, &cSystemData::m_bCompat555}});
  if (v < 567) {
    ForceSize(m_IniKeys, INI_KEY_COUNT);
    OpenSlot(m_IniKeys, 4, cIniKey::MakeNumber("DD_VideoStretch", 0));
  }
  if (v < 568) {
    ForceSize(m_IniKeys, INI_KEY_COUNT);
    OpenSlot(m_IniKeys, 4, cIniKey::MakeNumber("D3D_FontCache", 0));
    OpenSlot(m_IniKeys, 5, cIniKey::MakeNumber("DD_FontCache", 1));
  }
  if (v < 587) {
    ForceSize(m_StatusItems, STATUS_ITEM_COUNT);
    for (int i : {2, 3}) {
      m_StatusItems.At(i).m_nLowLevel = 33;
      m_StatusItems.At(i).m_bLowPercent = 1;
    }
  }
  if (v < 637) m_bCompat637 = v <= 616 ? 1 : 0;
  if (v < 669) m_bCompat669 = 1;
  if (v < 670) {
    m_nD3DColourDepth = 0;
    m_nDDColourDepth = 2;
  }
  if (v < 672) {
    ForceSize(m_IniKeys, INI_KEY_COUNT);
    m_IniKeys.At(9) = cIniKey::MakeNumber("English", 0);
  }
  keepOlderRules({{677, &cSystemData::m_bCompat677},
                  {695, &cSystemData::m_bCompat695},
                  {696, &cSystemData::m_bCompat696},
                  {697, &cSystemData::m_bCompat697},
                  {721, &cSystemData::m_bCompat721},
                  {728, &cSystemData::m_bCompat728},
                  {733, &cSystemData::m_bCompat733},
                  {744, &cSystemData::m_bCompat744},
                  {749, &cSystemData::m_bCompat749},
                  {752, &cSystemData::m_bCompat752}});
  if (v < 756) {
    ForceSize(m_Texts, SYSTEM_TEXT_COUNT);
    OpenSlot<std::string>(m_Texts, 22, "マップへ戻る");
  }
  if (v < 757) m_bPauseMapStory = 0;
  keepOlderRules({{763, &cSystemData::m_bCompat763a},
                  {763, &cSystemData::m_bCompat763b},
                  {768, &cSystemData::m_bCompat768},
                  {773, &cSystemData::m_bCompat773},
                  {781, &cSystemData::m_bCompat781},
                  {782, &cSystemData::m_bCompat782},
                  {783, &cSystemData::m_bCompat783},
                  {793, &cSystemData::m_bCompat793},
                  {805, &cSystemData::m_bCompat805},
                  {808, &cSystemData::m_bCompat808},
                  {818, &cSystemData::m_bCompat818a},
                  {818, &cSystemData::m_bCompat818b},
                  {819, &cSystemData::m_bCompat819}});
  if (v < 821) m_bAskSlotAtNewGame = 0;
  keepOlderRules(
      {{822, &cSystemData::m_bCompat822}, {827, &cSystemData::m_bCompat827}, {831, &cSystemData::m_bCompat831}});
  if (v >= 817 && v <= 832) m_bCompat833 = 1;
  if (v < 837) m_bCompat837 = 1;
  if (v < 838) m_bSpacePause = 1;
  keepOlderRules({{839, &cSystemData::m_bCompat839}, {841, &cSystemData::m_bCompat841}});
  if (v < 842) {
    ForceSize(m_IniKeys, INI_KEY_COUNT);
    m_IniKeys.At(10) = cIniKey::MakeNumber("Midi_DirectMusic", 1);
  }
  if (v < 845) {
    m_bCompat845a = m_bCompat845b = m_bCompat845c = 1;
    m_bCompat845d = v >= 656 ? 1 : 0;
  }
  keepOlderRules(
      {{855, &cSystemData::m_bCompat855}, {861, &cSystemData::m_bCompat861}, {875, &cSystemData::m_bCompat875}});
  if (v >= 822 && v < 894) m_bCompat894 = 1;
  if (v < 895) m_bCompat895 = 1;
  if (v >= 890 && v < 896) m_bCompat896 = 1;
  if (v < 897) m_bCompat897 = 1;
}
