// A shot or sword in the stage: set-up from a shot-parameter record and a fire record, movement by
// its movement kind, range and lifetime, block hits, the sword's following of its owner, and its
// picture.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "data/ed_shot.h"
#include "stage/stage_object.h"

class cCharaBase;
struct DDSURFACEDATA;
struct SHOTLINK;
class cSwordTypeEntry;

// Command kinds that create objects from a formation.
constexpr int CMD_KIND_SHOT = 11;
constexpr int CMD_KIND_SWORD = 12;
constexpr int CMD_KIND_SUMMON_BLOCK = 13;
constexpr int CMD_KIND_SUMMON_CHARA = 14;
constexpr int CMD_KIND_SUMMON_ITEM = 15;

// The fire record one command fills for each object it places.
struct FIREPARAM {
  int16_t nClone = 0;
  double dSpeed = 0.0;  // dots per frame
  int32_t nAngle = 0;   // degrees, spread included
  int32_t nRange = 0;   // hbl
  int32_t nLife = 0;    // tenths of a second
  double dVelX = 0.0;   // dots per frame
  double dVelY = 0.0;
  int32_t nX = 0;
  int32_t nY = 0;
  int32_t nBaseX = 0;
  int32_t nBaseY = 0;
  int32_t nStepX = 0;
  int32_t nStepY = 0;
  int32_t nColStepX = 0;
  int32_t nColStepY = 0;
  int32_t nWidth = 0;
  int32_t nHeight = 0;
  int32_t nOffsetX = 0;
  int32_t nOffsetY = 0;
  int32_t nDir = 0;
};

class cShot : public cStageObject {
 public:
  cShot();
  // Takes every member as it stands, the links to target and shooter too.
  cShot(const cShot& other);
  cShot& operator=(const cShot&) = delete;
  ~cShot() override;

  // Slots 3-6.
  void ScaleHitBoxes(int scale) override;
  void KeepFootOnScale(int newScale, int oldScale, int keepFoot) override;
  void UpdateHitBoxX() override;
  void UpdateHitBoxY() override;

  // `kind`: CMD_KIND_SHOT or CMD_KIND_SWORD. A size of 0 in `p` is stored as 1.
  void Setup(int id, cCharaBase* shooter, int kind, cEdShot& p, const FIREPARAM& f);
  // One sub-step of movement bookkeeping: 1 when the shot or sword must be removed.
  int Update();
  int UpdateSword();
  int StepX();
  int StepY();
  // 3 when it clamped the shot into the grid.
  int ClampX();
  // 1 when the shot overlaps a block that hits its faction.
  int HitBlocks();
  void Draw(DDSURFACEDATA* dest, int frozen);
  void SetAccel(double& ax, double& ay, double vx, double vy) const;
  void HomeStep(cCharaBase* target);
  // Removes the back links the shot's target and shooter keep of it and forgets both.
  void DetachLinks();

  int32_t m_nShooterId = 0;
  int32_t m_bShot = 1;
  int32_t m_nRangeSteps = 0;
  int32_t m_nLifeSteps = 0;
  int32_t m_nTick = 0;
  int32_t m_nSwordEntry = 0;
  double m_dAccel = 0.0;
  double m_dMoveSpeed = 0.0;
  double m_dVelX = 0.0;
  double m_dVelY = 0.0;
  int32_t m_bAccel = 0;
  int32_t m_nMoveStart = 0;
  int32_t m_nMoveEnd = 0;
  int32_t m_bMoveDone = 0;
  double m_dWavePhase = 0.0;
  double m_dWaveSin = 0.0;
  double m_dWaveCos = 0.0;
  double m_dHitLeft = 0.0;
  double m_dHitTop = 0.0;
  double m_dHitRight = 0.0;
  double m_dHitBottom = 0.0;
  int32_t m_nHitOffsetX = 0;
  int32_t m_nHitOffsetY = 0;
  int32_t m_nHitBoxWidth = 0;
  int32_t m_nHitBoxHeight = 0;
  int32_t m_nBaseHitOffsetX = 0;
  int32_t m_nBaseHitOffsetY = 0;
  int32_t m_nBaseHitBoxWidth = 0;
  int32_t m_nBaseHitBoxHeight = 0;
  cSafeList<cCharaBase*> m_HitList;
  cEdShot m_Def;
  cCharaBase* m_pTarget = nullptr;
  cCharaBase* m_pShooter = nullptr;
  int32_t m_bVanish = 0;
  int32_t m_bHitTrigger = 0;
  uint8_t m_nFlowId = 0;

 private:
  void StepMovement();
  void WaveStep();
  void AimAt(cCharaBase* chara);
  // Base speeds of a sub-step from the auto-scroll (step 2 of Update).
  void SetScrollSpeeds();
};

// A step count from a double, kept inside int so that a tiny speed cannot wrap it negative.
int ShotStepsOf(double v);

// Entry `entry` of sword type `type`; null when the type has no such entry (a bad type is
// reported and type 0 is used).
const cSwordTypeEntry* FindSwordEntry(int type, int entry);

// 1 when the shot-link vector holds an entry equal to `link`.
int HasShotLink(const cSafeVector<SHOTLINK>& links, const SHOTLINK& link);
