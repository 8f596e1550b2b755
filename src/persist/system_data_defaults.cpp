// The settings of a new project, and the completion of lists that a file holds short.
#include <initializer_list>

#include "persist/system_data.h"

namespace {

cStatusItem MakeStatusItem(const char* label, int32_t nDigits) {
  cStatusItem item;
  item.m_bShown = 1;
  item.m_bIcon = 1;
  item.m_strLabel = label;
  item.m_nDigits = nDigits;
  return item;
}

cRankingRule MakeRankingRule(int32_t bOn) {
  cRankingRule rule;
  rule.m_bEnabled = bOn;
  rule.m_Kinds.assign(cRankingRule::KIND_COUNT, static_cast<BYTE>(bOn));
  return rule;
}

void SetMenu(cSafeVector<cCmd>& menu, std::initializer_list<const char*> captions) {
  menu.clear();
  for (const char* caption : captions) menu.emplace_back(1, caption);
}

// Appends the entries of `defaults` from the list's length up to `n`.
template <class T>
void PadTo(cSafeVector<T>& list, const cSafeVector<T>& defaults, int n) {
  for (int i = static_cast<int>(list.size()); i < n; ++i) list.push_back(defaults.At(i));
}

}  // namespace

void cSystemData::SetDefaults() {
  Register(DATA_VERSION);
  Clear();
  m_nExtraLifeScore = 100;
  m_bPauseDrawsStage = 1;
  m_bFontSymbols = 0;
  m_nFontFace = 60;
  m_bReplay = 1;
  m_bPlainTitleMenu = 1;
  m_bAskSlotAtNewGame = 1;
  m_bRestoreVarsStory = m_bRestoreVarsChallenge = m_bRestoreVarsFree = 1;
  m_bPauseRetryStory = m_bPauseMapStory = m_bPauseRetryChallenge = 1;
  m_nMenuPulseStep = 16;
  m_bStoryLivesCarry = m_bStoryContinue = m_bMapShowsLives = 1;
  m_nChallengeCount = 40;
  m_bAllChallengesOpen = 1;
  m_bMapShowsScore = m_bMenuShowsTotal = m_bChallengeShowsBest = m_bChallengeShowsTotal = 1;

  m_CarryFlags.assign(CARRY_KIND_COUNT, 0);
  for (int i : {0, 1, 13, 14, 16, 17, 19, 20, 21}) m_CarryFlags.At(i) = 1;
  m_CarryResetFlags.assign(CARRY_KIND_COUNT, 0);
  m_CarryResetFlags.At(11) = 1;
  m_CarryResetFlags.At(12) = 1;

  m_StatusItems = {MakeStatusItem("スコア", 4), MakeStatusItem("スコア", 3), MakeStatusItem("HP", 0),
                   MakeStatusItem("SP", 0), MakeStatusItem("人", 2)};
  m_RankingRules = {MakeRankingRule(1), MakeRankingRule(1), MakeRankingRule(1), MakeRankingRule(0)};

  SetMenu(m_TitleMenu, {"はじめから", "つづきから", "チャレンジ", "フリー", "リプレイ", "オプション", "しゅうりょう"});
  SetMenu(m_MapMenu, {"セーブ", "オートセーブ", "もどる", "タイトルへ"});
  SetMenu(m_OptionMenu, {"", "BGM", "SE", "ランキング登録", "ランキング登録名", "もどる"});
  m_RankingModeNames = {"手動登録（登録名入力）", "手動登録（登録名固定）", "自動登録（登録名入力）",
                        "自動登録（登録名固定）"};

  m_InitialLives = {5, 5, 5, 99};
  m_InfiniteLives = {1, 1, 1, 1};

  m_Texts = {"ワールド",
             "ステージ",
             "スコア",
             "ハイスコア",
             "トータルスコア",
             "スコア",
             "残り時間",
             "クリア時間",
             "残りHP",
             "残りSP",
             "ステージに挑む",
             "やっぱりやめる",
             "セーブする",
             "やっぱりやめる",
             "オートセーブＯＮ",
             "オートセーブＯＦＦ",
             "保存先が不明です！一度は「セーブ」して下さい！",
             "タイトルへ戻る",
             "やっぱりやめる",
             "しゅうりょう",
             "つづける",
             "リトライ",
             "マップへ戻る",
             "リトライ",
             "マップへ戻る",
             "Vキーでジャンルの切り替え",
             "スペースキーでタイトルへ戻る",
             "スペースキーで終了",
             "F3キーでランキングへ登録"};
  m_SystemSounds.assign(SYSTEM_SOUND_COUNT, std::string());
  m_SceneBgm.assign(SCENE_BGM_COUNT, 0);
  m_SceneBgmLoop.assign(SCENE_BGM_COUNT, 1);

  m_IniKeys = {cIniKey::MakeNumber("Direct3D", 2),
               cIniKey::MakeNumber("WindowMode", 0),
               cIniKey::MakeNumber("Bpp", 0),
               cIniKey::MakeNumber("VSync", 2),
               cIniKey::MakeNumber("D3D_FontCache", 0),
               cIniKey::MakeNumber("DD_FontCache", 1),
               cIniKey::MakeNumber("DD_VideoStretch", 0),
               cIniKey::MakeNumber("ShowFps", 1),
               cIniKey::MakeText("FreeStage", ""),
               cIniKey::MakeNumber("English", 0),
               cIniKey::MakeNumber("Midi_DirectMusic", 1)};

  m_nD3DColourDepth = 0;
  m_nDDColourDepth = 2;
  m_bDirectStartToTitle = 0;
}

void cSystemData::PadLists() {
  const cSystemData defaults;
  PadTo(m_CarryFlags, defaults.m_CarryFlags, CARRY_KIND_COUNT);
  PadTo(m_CarryResetFlags, defaults.m_CarryResetFlags, CARRY_KIND_COUNT);
  PadTo(m_StatusItems, defaults.m_StatusItems, STATUS_ITEM_COUNT);
  PadTo(m_InitialLives, defaults.m_InitialLives, GAME_MODE_COUNT);
  PadTo(m_InfiniteLives, defaults.m_InfiniteLives, GAME_MODE_COUNT);
  PadTo(m_RankingRules, defaults.m_RankingRules, GAME_MODE_COUNT);
  // Readers take each mode's kind flags by kind number; a short list counts as kinds off.
  for (cRankingRule& rule : m_RankingRules) {
    if (rule.m_Kinds.size() < cRankingRule::KIND_COUNT) rule.m_Kinds.resize(cRankingRule::KIND_COUNT, 0);
  }
  PadTo(m_Texts, defaults.m_Texts, SYSTEM_TEXT_COUNT);
  PadTo(m_SystemSounds, defaults.m_SystemSounds, SYSTEM_SOUND_COUNT);
  PadTo(m_SceneBgm, defaults.m_SceneBgm, SCENE_BGM_COUNT);
  PadTo(m_SceneBgmLoop, defaults.m_SceneBgmLoop, SCENE_BGM_COUNT);
  PadTo(m_TitleMenu, defaults.m_TitleMenu, TITLE_MENU_COUNT);
  PadTo(m_MapMenu, defaults.m_MapMenu, MAP_MENU_COUNT);
  PadTo(m_OptionMenu, defaults.m_OptionMenu, OPTION_MENU_COUNT);
  PadTo(m_RankingModeNames, defaults.m_RankingModeNames, RANKING_MODE_COUNT);
  PadTo(m_IniKeys, defaults.m_IniKeys, INI_KEY_COUNT);
}
