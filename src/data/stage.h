// The stage record: settings, out-of-area records, ranking switches, the stage palette, the
// placements of blocks, characters and items, background layers and stage variable names.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/block.h"
#include "data/chara_def.h"
#include "data/item_def.h"
#include "data/palette.h"
#include "data/record.h"

// Out-of-area records, in m_Areas order.
enum : int {
  STAGE_AREA_CHARA = 0,
  STAGE_AREA_BLOCK_CHARA,
  STAGE_AREA_ITEM,
  STAGE_AREA_HERO_SHOT,
  STAGE_AREA_ENEMY_SHOT,
  STAGE_AREA_COUNT
};

// Ranking kinds a stage takes part in: score, remaining time, clear time, remaining HP and SP.
constexpr int STAGE_RANKING_KINDS = 5;
// Collision levels; a level outside the range is taken as the default.
constexpr int32_t COLLISION_LEVEL_MIN = 1;
constexpr int32_t COLLISION_LEVEL_MAX = 19;
constexpr int32_t COLLISION_LEVEL_DEFAULT = 10;
// The view in blocks (640 x 480 dots).
constexpr int32_t VIEW_BLOCKS_X = 20;
constexpr int32_t VIEW_BLOCKS_Y = 15;
// Map sizes a stage file may have: the play scene builds a grid of the map plus its border from
// them, so a damaged size must not reach it.
constexpr int32_t STAGE_SIZE_MAX = 4000;
constexpr int64_t STAGE_AREA_MAX = 1000000;
// Old files get exactly this many stage variable names.
constexpr int STAGE_VAR_COUNT = 1000;

class cStageAreaSetting : public cRecord {
 public:
  cStageAreaSetting();

  void Register(int nVersion) override;
  void Set(int32_t leftOn, int32_t rightOn, int32_t topOn, int32_t bottomOn, int32_t leftMargin, int32_t rightMargin,
           int32_t topMargin, int32_t bottomMargin);
  // Whether any side is tested.
  bool AnySide() const { return m_nLeftOn || m_nRightOn || m_nTopOn || m_nBottomOn; }

  int32_t m_nLeftOn = 0;
  int32_t m_nRightOn = 0;
  int32_t m_nTopOn = 0;
  int32_t m_nBottomOn = 0;
  int32_t m_nLeftMargin = 0;
  int32_t m_nRightMargin = 0;
  int32_t m_nTopMargin = 0;
  int32_t m_nBottomMargin = 0;
};

// One background layer, drawn behind or in front of the map.
class cBackground : public cRecord {
 public:
  cBackground();

  void Register(int nVersion) override;
  void SetDefault();

  int32_t m_nVisible = 0;
  int32_t m_nFillOn = 0;
  int32_t m_nFillColor = 0;
  int32_t m_nFront = 0;
  double m_dRatioX = 0.0;
  double m_dRatioY = 0.0;
  int32_t m_nAutoX = 0;
  int32_t m_nAutoY = 0;
  double m_dAutoSpeedX = 0.0;
  double m_dAutoSpeedY = 0.0;
  std::string m_strImage;
  double m_dAutoOffsetX = 0.0;
  double m_dAutoOffsetY = 0.0;
};

// The name of one stage variable.
class cVarInfo : public cRecord {
 public:
  cVarInfo();

  void Register(int nVersion) override;

  std::string m_strName;
};

class cStage : public cRecord {
 public:
  cStage();

  void Register(int nVersion) override;
  // Reads a stage file's body (after its version header). 0 when the file is short or damaged
  // or its map size is impossible.
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;
  // The body that replay files embed: settings and layers from `settings`, the palette and
  // placements from this stage.
  void SaveForReplay(FILE* fp, const cStage& settings);

  void SetDefault();
  void SetCollisionLevel(int level);
  void Normalize();
  int FindPlayerPlacement() const;
  bool HasPlayer() const { return FindPlayerPlacement() != -1; }
  // The item placement a character placement carries (its extra value), or -1 for none: any value
  // that is not an item placement index means none.
  int GetCarriedItemPlacement(const cCharaDef& placement) const;
  // The stage stores no switch of its own for clearing the carried status after a miss; the
  // carry-over switch stands for it.
  int32_t ClearsCarriedStatusOnMiss() const { return m_nTakeOverStatus; }

  void ResetBlockList(unsigned n);
  void ResetCharaList(unsigned n);
  void ResetItemList(unsigned n);
  void ResetBackgrounds(unsigned n);

  // Registered members and strings, layers, variable names, area records and ranking switches of
  // `src`: what the loader keeps as the settings copy and what a stage start restores from it.
  void CopySettingsFrom(const cStage& src);
  // Empties the three placement lists and the three stage palette lists.
  void ClearDefinitionLists();

  // Stage palette and placements.
  cSafeVector<cBlock>& PalBlocks() { return m_Palette.m_Blocks; }
  cSafeVector<cCharaDef>& PalCharas() { return m_Palette.m_Charas; }
  cSafeVector<cItemDef>& PalItems() { return m_Palette.m_Items; }

  cSafeVector<cBlock> m_BlockPlaces;
  cSafeVector<cCharaDef> m_CharaPlaces;
  cSafeVector<cItemDef> m_ItemPlaces;
  // The stage palette: definitions that name palette kind 2 look here while this stage is
  // loaded, normalised or saved, and while it is the installed stage (g_Stage).
  cPalette m_Palette;
  cSafeVector<cBackground> m_Backgrounds;
  cSafeVector<cVarInfo> m_VarInfos;
  cSafeVector<int32_t> m_RankingKinds;
  cStageAreaSetting m_Areas[STAGE_AREA_COUNT];
  std::string m_strPath;
  int32_t m_bResolveNumbered = 0;
  int32_t m_bLoaded = 0;
  int32_t m_nCmdTimeUnit = 0;

  // Registered members, in file order (their defaults are set by SetDefault).
  std::string m_strTitle;
  int32_t m_nWidth = 0;
  int32_t m_nEditorValue1 = 0;
  int32_t m_nEditorValue2 = 0;
  int32_t m_nHeight = 0;
  int32_t m_nLimitLeftOn = 0;
  int32_t m_nLimitRightOn = 0;
  int32_t m_nLimitTopOn = 0;
  int32_t m_nLimitBottomOn = 0;
  int32_t m_nLimitLeft = 0;
  int32_t m_nLimitRight = 0;
  int32_t m_nLimitTop = 0;
  int32_t m_nLimitBottom = 0;
  int32_t m_nFps = 0;
  int32_t m_nTimeLimitOn = 0;
  int32_t m_nTimeLimit = 0;
  int32_t m_nTimeWarning = 0;
  int32_t m_nScrollModeX = 0;
  int32_t m_nScrollModeY = 0;
  int32_t m_nAutoScrollX = 0;
  int32_t m_nAutoScrollY = 0;
  double m_dGravity = 0.0;
  int32_t m_nCollisionLevel = 0;
  int32_t m_nContactChecks = 0;
  int32_t m_nBgm = 0;
  int32_t m_nBgmLoop = 0;
  int32_t m_nBgmKeep = 0;
  int32_t m_nUseLayers = 0;
  int32_t m_nTakeOverStatus = 0;
  int32_t m_nHandOverStatus = 0;
  int32_t m_nShowStatus = 0;
  int32_t m_nAutoEnd = 0;
  int32_t m_nShowStageCaption = 0;
  int32_t m_nShowStartCaption = 0;
  int32_t m_nShowClearCaption = 0;
  int32_t m_nShowGameOverCaption = 0;
  // Box pairs: elements 0/1 the normal (walking) size, 2/3 the alternate (flying) size.
  int32_t m_HeroBoxA[4] = {};
  int32_t m_HeroBoxB[4] = {};
  int32_t m_HeroBoxC[4] = {};
  int32_t m_HeroBoxAAlign[2] = {};
  int32_t m_HeroBoxBAlign[2] = {};
  int32_t m_HeroBoxShow[4] = {};
  int32_t m_HeroBoxColor[4] = {};
  int32_t m_CharaBoxA[4] = {};
  int32_t m_CharaBoxB[4] = {};
  int32_t m_CharaBoxC[2] = {};
  int32_t m_CharaBoxAAlign[2] = {};
  int32_t m_CharaBoxBAlign[2] = {};
  int32_t m_ItemBox[2] = {};
  int32_t m_ShotBoxes[8] = {};
  int32_t m_nBoxReserved = 0;
  int32_t m_nAreaWidth = 0;
  int32_t m_nAreaHeight = 0;
  int32_t m_nSubSteps = 0;
  double m_dSubSteps = 0.0;
  double m_dSubStepsSq = 0.0;
  double m_dSpeedLimit = 0.0;
  double m_dGravityStep = 0.0;
  double m_dSpeedLimitStep = 0.0;
  int32_t m_nAirDelay = 0;
  int32_t m_nTargetFlag = 0;
  int32_t m_nHeroHitInterval = 0;
  int32_t m_nHeroDamagePause = 0;
  int32_t m_nEnemyHitInterval = 0;
  int32_t m_nEnemyDamagePause = 0;

 private:
  void ApplyFixUps(int v);
  int LoadPlacements(FILE* fp);
  // Items 2 to 13 of the stored form: members, switches, areas, layers and names from `settings`,
  // palette and placements from this stage.
  void WriteBody(FILE* fp, cStage& settings);
};

// Installs a stage's palette as the stage palette for a scope, so that the definitions of that
// stage find their own palette whichever stage is the installed one.
class cStagePaletteScope {
 public:
  explicit cStagePaletteScope(cStage& stage);
  ~cStagePaletteScope();
  cStagePaletteScope(const cStagePaletteScope&) = delete;
  cStagePaletteScope& operator=(const cStagePaletteScope&) = delete;

 private:
  cPalette* m_lpPrevious = nullptr;
};
