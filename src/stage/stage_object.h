// The base of everything that moves in a stage: identity, facing, animation player, screen
// rectangle, position and edges in stage dots, speeds, hit size, side and layer, and the bounds,
// stepping, friction, view and impact operations that characters, items and shots share.
#pragma once

#include <cstdint>

#include "stage/anime_player.h"

class cStageAreaSetting;
class cFlowCommandState;

// Maps a double to int as the processor's truncating conversion does: NaN and values outside the
// int range give INT_MIN instead of undefined behaviour.
int TruncToInt(double d);
// The 32-dot map column or row an edge lies in.
inline int TileOf(double edge) { return TruncToInt(edge) >> 5; }

class cStageObject {
 public:
  cStageObject();
  // Copies take every member as it stands (the compiler's copy, so none can be left out).
  cStageObject(const cStageObject& other);
  cStageObject& operator=(const cStageObject& other);
  virtual ~cStageObject();

  // Slots 1-12. CopyBase copies the stage-object part alone, as the copy assignment does.
  virtual void CopyBase(const cStageObject& other);
  virtual void SetScale(int newScale, int oldScale, int keepFoot);
  virtual void ScaleHitBoxes(int scale);
  virtual void KeepFootOnScale(int newScale, int oldScale, int keepFoot);
  virtual void UpdateHitBoxX();
  virtual void UpdateHitBoxY();
  virtual void SetCenter(int x, int y);
  virtual void ArriveAt(int x, int y, cFlowCommandState* moveState);
  virtual void SetCenterX(int x);
  virtual void ArriveAtX(int x, cFlowCommandState* moveState);
  virtual void SetCenterY(int y);
  virtual void ArriveAtY(int y, cFlowCommandState* moveState);

  void Init(int id, int side, int ownerKind, int layer, int graphic, const cSafeVector<ANIMEFRAMELIST>* animeTable,
            int anime, int drawOffsetX, int drawOffsetY, int hitWidth, int hitHeight, int drawWidth, int drawHeight,
            int facingRight, int moveType, int cloneValue);
  void SetMoveType(int type);

  // Holds a speed within the stage's speed limit per sub-step, either way.
  static void LimitSpeed(double& speed);
  int CheckBoundsX(int mode);
  int CheckBoundsY(int mode);
  int StepX(int mode);
  int StepY(int mode);
  void ApplyGravity();
  void ApplyFriction(double& speed, int enabled) const;
  int GetDirSign() const { return m_bRight ? 1 : -1; }

  void UpdateScreenRect();
  int IsOnScreen() const;
  int IsOnScreenAxis(int ignoreX, int ignoreY) const;
  int IsInStage(int wholeGrid) const;
  int IsOutOfArea(const cStageAreaSetting& area) const;

  static void SplitImpact(double& impactX, double& impactY, int8_t power, double dx, double dy, double* keptSpeed);

  int HitCornerBlocks();
  int HitCornerBlocks2(int unused);

  static void CalcJudgeSpan(int& start, int& end, int pos, int size, int lenBefore, int lenAfter, int bothSides);
  static int JudgeRange(int pos, int size, int targetStart, int targetEnd, int targetOffset, int lenBefore,
                        int lenAfter, int bothSides, int vertical, const cStageObject& target);

  void KeepCentreXOnScale(int newScale, int oldScale);
  void ScaleKeepPosition(int newScale, int oldScale, int keepFoot);

  // Rebuilds the edges and tile fields of one axis from the position and hit size.
  void UpdateEdgesX();
  void UpdateEdgesY();

  int32_t m_nId = 0;
  int32_t m_nLife = 0x7FFFFFFF;
  int32_t m_bRight = 0;
  int16_t m_nCloneValue = 0;
  int32_t m_nGraphic = 0;
  cAnime m_Anime;
  int32_t m_rcScreen[4] = {};
  int32_t m_nDrawOffsetX = 0;
  int32_t m_nDrawOffsetY = 0;
  int32_t m_nDrawWidth = 0;
  int32_t m_nDrawHeight = 0;
  int32_t m_nBaseDrawOffsetX = 0;
  int32_t m_nBaseDrawOffsetY = 0;
  int32_t m_nBaseDrawWidth = 0;
  int32_t m_nBaseDrawHeight = 0;
  int32_t m_nSide = 0;
  int32_t m_nOwnerKind = 0;
  int32_t m_nLayer = 0;
  double m_dX = 0.0;
  double m_dY = 0.0;
  double m_dRight = 0.0;
  double m_dBottom = 0.0;
  int32_t m_nTileLeft = 0;
  int32_t m_nTileTop = 0;
  int32_t m_nTileRight = 0;
  int32_t m_nTileBottom = 0;
  double m_dSpeedX = 0.0;
  double m_dSpeedY = 0.0;
  double m_dInertiaX = 0.0;
  double m_dInertiaY = 0.0;
  double m_dFriction = 0.0;
  int32_t m_bFrictionX = 0;
  int32_t m_bFrictionY = 0;
  int32_t m_bScrollRide = 0;
  int32_t m_nHitWidth = 0;
  int32_t m_nHitHeight = 0;
  int32_t m_nBaseHitWidth = 0;
  int32_t m_nBaseHitHeight = 0;
  int32_t m_bFly = 0;
  int8_t m_nFlyKind = 1;
  int32_t m_bActive = 0;
  int32_t m_bOnScreen = 0;
  int8_t m_bCondLatched = 0;
};
