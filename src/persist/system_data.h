// The project's game settings (data\System.dat): title, menus, screen texts, game-mode rules,
// status line, scene music, colour mode, the System.ini key table and the switches that keep the
// behaviour of projects made with older versions. Loaded once at start-up, read-only afterwards.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "core/sound_request.h"  // SYSTEM_SOUND_COUNT
#include "data/record.h"
#include "persist/menu_command.h"
#include "persist/system_data_records.h"
#include "platform/win_types.h"

// Game modes index the per-mode lists.
constexpr int GAME_MODE_STORY = 0;
constexpr int GAME_MODE_CHALLENGE = 1;
constexpr int GAME_MODE_FREE = 2;
constexpr int GAME_MODE_REPLAY = 3;
constexpr int GAME_MODE_COUNT = 4;

// Scene music indexes.
constexpr int SCENE_BGM_TITLE = 0;
constexpr int SCENE_BGM_WORLD_MAP = 1;
constexpr int SCENE_BGM_CHALLENGE = 2;
constexpr int SCENE_BGM_OPTION = 3;

// Lengths of the lists that the screens read at fixed indexes.
constexpr int CARRY_KIND_COUNT = 25;
constexpr int STATUS_ITEM_COUNT = 5;
constexpr int SYSTEM_TEXT_COUNT = 29;
constexpr int SCENE_BGM_COUNT = 4;
constexpr int TITLE_MENU_COUNT = 7;
constexpr int MAP_MENU_COUNT = 4;
constexpr int OPTION_MENU_COUNT = 6;
constexpr int RANKING_MODE_COUNT = 4;
constexpr int INI_KEY_COUNT = 11;
// The save data keeps one result per challenge entry: a damaged count must not make that list
// unbounded.
constexpr int32_t CHALLENGE_COUNT_MAX = 9999;

class cSystemData : public cRecord {
 public:
  cSystemData();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  // The settings of a new project.
  void SetDefaults();

  // Number of ranking kinds kept in a game mode; 0 when the mode keeps no ranking.
  int GetRankingKindCount(int nMode) const;
  // Whether a gauge (status item 2 HP, 3 SP) is at or below its low threshold.
  bool CheckGaugeLevel(int nItem, int nValue, int nMax) const;
  // Left edge that centres the column of texts first .. first + count - 1 on x (a cursor cell
  // before the texts when bCursor is set).
  int GetTextListX(int x, int nFirst, int nCount, bool bCursor) const;

  // Names under which the stage runtime, the flow runner and the shell read the switches. Where
  // a switch's reader is matched by its subsystem only, the choice is made here and nowhere else.
  const int32_t& AimAddsScroll() const { return m_bCompat214; }
  const int32_t& NoAutoScrollCarry() const { return m_bCompat214; }
  const int32_t& KeepKilledChara() const { return m_bOption272; }
  const int32_t& LandWhileRising() const { return m_bCompat677; }
  const int32_t& PlainRangeJudge() const { return m_bCompat733; }
  const int32_t& ContactTriggersAtOnce() const { return m_bCompat763a; }
  const int32_t& HarmlessShotsPass() const { return m_bCompat763b; }
  const int32_t& FloorSnapAdd() const { return m_bCompat793; }
  const int32_t& KeepImpactOnChara() const { return m_bCompat808; }
  const int32_t& ClearanceByBlocked() const { return m_bCompat818a; }
  const int32_t& LooseCharaLanding() const { return m_bCompat839; }
  const int32_t& RideKeepsSpeedY() const { return m_bCompat845d; }
  const int32_t& ImpactKeepPrevY() const { return m_bCompat897; }
  const int32_t& ScaleFootFixed() const { return m_bCompat831; }
  const int32_t& ScaleKeepHitBottom() const { return m_bCompat261; }
  const int32_t& HeroJumpScale() const { return m_bCompat845c; }
  const int32_t& CeilingKeepsImpact() const { return m_bCompat781; }
  const int32_t& ImpactOldStep() const { return m_bCompat841; }
  const int32_t& RepeatJump() const { return m_bCompat749; }
  const int32_t& CharaJumpOld() const { return m_bCompat845b; }
  const int32_t& HeroJumpOld() const { return m_bCompat845a; }
  const int32_t& FlyKeepsGround() const { return m_bCompat818b; }
  const int32_t& InvincibleColor() const { return m_bOption287; }
  const int32_t& RepeatKeepsPlacePos() const { return m_bCompat768; }
  const int32_t& ProtectAllCells() const { return m_bCompat837; }
  const int32_t& StopPassingFliers() const { return m_bCompat637; }
  const int32_t& TriggerAllBeforeStart() const { return m_bCompat697; }
  const int32_t& KeepPlayerChangesOnRetry() const { return m_bCompat827; }
  const int32_t& LightningWithoutInterval() const { return m_bCompat555; }
  const int32_t& NoCharaBatch() const { return m_bCompat855; }
  const int32_t& CompatNoFiredCheck() const { return m_bCompat525; }
  const int32_t& CompatKeyOverlap() const { return m_bCompat669; }
  const int32_t& CompatNegativeTime() const { return m_bCompat695; }
  const int32_t& CompatWarpFlying() const { return m_bCompat721; }
  const int32_t& CompatChargeAngle() const { return m_bCompat728; }
  const int32_t& CompatEarlyFiredFlag() const { return m_bCompat744; }
  const int32_t& CompatNoMoveLock() const { return m_bCompat773; }
  const int32_t& CompatReverseAnyMode() const { return m_bCompat783; }
  const int32_t& CompatEdgeTurn() const { return m_bCompat805; }
  const int32_t& CompatWarpBlockPos() const { return m_bCompat822; }
  const int32_t& CompatFiredBeforeCond() const { return m_bCompat861; }
  const int32_t& CompatKeepKeyEdge() const { return m_bCompat875; }
  const int32_t& CompatWarpStatusBlock() const { return m_bCompat895; }
  const int32_t& CompatWarpScreenFoot() const { return m_bCompat894; }
  const int32_t& CompatExprFold() const { return m_bCompat752; }
  const int32_t& CompatDistanceRect() const { return m_bCompat782; }
  const int32_t& CompatLivesZero() const { return m_bCompat819; }
  const int32_t& CompatPictureFollow() const { return m_bCompat833; }
  const int32_t& CompatExprYCentre() const { return m_bCompat896; }

  // The record's only string.
  std::string m_strTitle;

  // Registered members, in file order.
  int32_t m_bExtraLifeByScore = 0;
  int32_t m_nExtraLifeScore = 0;
  int32_t m_bSpacePause = 0;
  int32_t m_bPauseDrawsStage = 0;
  int32_t m_bFontSymbols = 0;
  int32_t m_nFontFace = 0;
  int32_t m_bFontCentreGlyphs = 0;
  int32_t m_bKeepTestFlows = 0;
  int32_t m_bCompat855 = 0;
  int32_t m_bReplay = 0;
  int32_t m_bPlainTitleMenu = 0;
  int32_t m_bAskSlotAtNewGame = 0;
  int32_t m_bStoryLivesCarry = 0;
  int32_t m_bStoryContinue = 0;
  int32_t m_bMapShowsLives = 0;
  int32_t m_nChallengeCount = 0;
  int32_t m_bAllChallengesOpen = 0;
  int32_t m_bMapShowsScore = 0;
  int32_t m_bMenuShowsTotal = 0;
  int32_t m_bRestoreVarsStory = 0;
  int32_t m_bPauseRetryStory = 0;
  int32_t m_bChallengeShowsBest = 0;
  int32_t m_bChallengeShowsTotal = 0;
  int32_t m_bRestoreVarsChallenge = 0;
  int32_t m_bPauseRetryChallenge = 0;
  int32_t m_bRestoreVarsFree = 0;
  int32_t m_bRestoreVarsDirect = 0;
  int32_t m_bFullColour = 0;
  // Transparent colour of full-colour mode, one unsigned byte each.
  BYTE m_cTransRed = 0;
  BYTE m_cTransGreen = 0;
  BYTE m_cTransBlue = 0;
  int32_t m_bCompat214 = 0;
  int32_t m_bCompat261 = 0;
  int32_t m_bOption272 = 0;
  int32_t m_bOption287 = 0;
  int32_t m_nMenuPulseStep = 0;
  int32_t m_bPaletteCycling = 0;
  int32_t m_bPauseMapStory = 0;
  int32_t m_bCompat525 = 0;
  int32_t m_bCompat555 = 0;
  int32_t m_bCompat637 = 0;
  int32_t m_bCompat669 = 0;
  int32_t m_bCompat677 = 0;
  int32_t m_bCompat695 = 0;
  int32_t m_bCompat696 = 0;
  int32_t m_bCompat697 = 0;
  int32_t m_bCompat721 = 0;
  int32_t m_bCompat728 = 0;
  int32_t m_bCompat733 = 0;
  int32_t m_bCompat744 = 0;
  int32_t m_bCompat749 = 0;
  int32_t m_bCompat752 = 0;
  int32_t m_bCompat763a = 0;
  int32_t m_bCompat763b = 0;
  int32_t m_bCompat768 = 0;
  int32_t m_bCompat773 = 0;
  int32_t m_bCompat781 = 0;
  int32_t m_bCompat782 = 0;
  int32_t m_bCompat783 = 0;
  int32_t m_bCompat793 = 0;
  int32_t m_bCompat805 = 0;
  int32_t m_bCompat808 = 0;
  int32_t m_bCompat818a = 0;
  int32_t m_bCompat818b = 0;
  int32_t m_bCompat819 = 0;
  int32_t m_bCompat822 = 0;
  int32_t m_bCompat827 = 0;
  int32_t m_bCompat831 = 0;
  int32_t m_bCompat833 = 0;
  int32_t m_bCompat837 = 0;
  int32_t m_bCompat839 = 0;
  int32_t m_bCompat841 = 0;
  int32_t m_bCompat845a = 0;
  int32_t m_bCompat845b = 0;
  int32_t m_bCompat845c = 0;
  int32_t m_bCompat845d = 0;
  int32_t m_bCompat861 = 0;
  int32_t m_bCompat875 = 0;
  int32_t m_bCompat894 = 0;
  int32_t m_bCompat895 = 0;
  int32_t m_bCompat896 = 0;
  int32_t m_bCompat897 = 0;
  int32_t m_nD3DColourDepth = 0;
  int32_t m_nDDColourDepth = 0;
  int32_t m_bDirectStartToTitle = 0;

  // Lists after the string block, in file order.
  cSafeVector<BYTE> m_CarryFlags;       // per carry-over kind: stored at stage end
  cSafeVector<BYTE> m_CarryResetFlags;  // per carry-over kind: cleared after a death
  cSafeVector<cStatusItem> m_StatusItems;
  cSafeVector<int32_t> m_InitialLives;       // per game mode
  cSafeVector<int32_t> m_InfiniteLives;      // per game mode
  cSafeVector<cRankingRule> m_RankingRules;  // per game mode
  cSafeVector<std::string> m_Texts;
  cSafeVector<std::string> m_SystemSounds;  // sound ids 0 to 16
  cSafeVector<int32_t> m_SceneBgm;          // Bgm.dat number per scene, 0 none
  cSafeVector<BYTE> m_SceneBgmLoop;
  cSafeVector<cCmd> m_TitleMenu;
  cSafeVector<cCmd> m_MapMenu;
  cSafeVector<cCmd> m_OptionMenu;
  cSafeVector<std::string> m_RankingModeNames;
  cSafeVector<cIniKey> m_IniKeys;

 private:
  bool LoadLists(FILE* fp, int v);
  void Upgrade(int v);
  // Lists that a file holds short are completed with the entries of a new project, so that the
  // screens' fixed indexes always exist.
  void PadLists();
  // Scene music numbers outside Bgm.dat become 0 (no music); nothing to check against before the
  // database is loaded.
  void ClampSceneBgm();
};

extern cSystemData g_SystemData;

// The screen texts first .. first + count - 1 of g_SystemData, one a line, in one box of the
// second game font on the back buffer, each after a blank cell for the menu cursor when bCursor
// is set (system_data_draw.cpp). Nothing is drawn for a count of 0.
void DrawTextList(int x, int y, int nFirst, int nCount, bool bCursor);
