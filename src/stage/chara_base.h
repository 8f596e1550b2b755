// The common class of every character in a stage (heroes and all others): the live definition
// copy, target and owner links with their back-links, flow states, jump, landing and impact state,
// HP and SP, character variables, hit boxes; plus the character physics.
#pragma once

#include <cstdint>
#include <list>

#include "core/safe_containers.h"
#include "data/block.h"
#include "data/chara_def.h"
#include "stage/effect_states.h"
#include "stage/flow_hooks.h"
#include "stage/graphic_source.h"
#include "stage/stage_object.h"

class cCharaBase;
class cItem;
class cShot;

struct TARGETLINK {
  cCharaBase* pChara = nullptr;
  int32_t nSlot = 0;
};

struct SHOTLINK {
  cShot* pShot = nullptr;
  int32_t nKind = 0;
};

inline int EqualLink(const TARGETLINK& a, const TARGETLINK& b) { return a.pChara == b.pChara && a.nSlot == b.nSlot; }
inline int EqualLink(const SHOTLINK& a, const SHOTLINK& b) { return a.pShot == b.pShot && a.nKind == b.nKind; }

struct GAUGEANIME {
  int32_t nFrames = 0;
  double dMoving = 0.0;
  double dDecrease = 0.0;
  int32_t nLength = 0;
};

struct HITCOOLDOWN {
  int32_t nAttackerId = 0;
  int32_t nLeft = 0;
};

struct RUNNINGANIME {
  cAnime m_Anime;
  int32_t m_nAnime = 0;
  int32_t m_bScheduled = 0;
  int32_t m_nWait = 0;
  int32_t m_nHold = 0;
  int32_t m_nFlowSerial = -1;
  int32_t m_bPaused = 0;
};

struct HITBOX {
  double dLeft = 0.0;
  double dTop = 0.0;
  double dRight = 0.0;
  double dBottom = 0.0;
  int32_t nOffsetX = 0;
  int32_t nOffsetY = 0;
  int32_t nWidth = 0;
  int32_t nHeight = 0;
  int32_t nBaseOffsetX = 0;
  int32_t nBaseOffsetY = 0;
  int32_t nBaseWidth = 0;
  int32_t nBaseHeight = 0;

  // Both the current and the base values.
  void SetBase(int offX, int offY, int w, int h);
  // Current offsets and size = scale x base.
  void Scale(int scale);
  // Left/right (X) or top/bottom (Y) from the truncated object position.
  void FollowX(double x);
  void FollowY(double y);
};

// Map cells are referred to by their index in the grid (-1 = none) rather than by address, so a
// grid rebuilt under a living character can never leave it a dangling pointer.
constexpr int32_t NO_BLOCK = -1;

// What a copy of a character takes over as it stands: all of the character's own state but its
// links. Kept apart from the links so that the compiler copies it as a whole, and a member added
// here can never be left out of a copy.
struct CHARABASEFIELDS {
  int32_t m_bOwnerAttack = 0;
  uint8_t m_nOwnerFlowId = 0;
  cCharaDef m_Def;
  int32_t m_nNextFlowSerial = 0;
  cSafeVector<cFlowState> m_FlowStates;
  cSafeVector<uint8_t> m_GroupRunning;
  cSafeVector<uint8_t> m_GroupEnded;
  cSafeVector<uint8_t> m_GroupStarted;
  int32_t m_bGroupEndPending = 0;
  int32_t m_bFlowRemovalPending = 0;
  double m_dPlaceX = 0.0;
  double m_dPlaceY = 0.0;
  int32_t m_bMoveAnimeRequest = 0;
  int32_t m_nMoveAnime = 0;
  int32_t m_nMoveAnimePriority = 0;
  double m_dImpactX = 0.0;
  double m_dImpactY = 0.0;
  int32_t m_bImpacted = 0;
  double m_dPrevImpactY = 0.0;
  int32_t m_bNoGravity = 0;
  int32_t m_nLastBlockSide = -1;
  int32_t m_bAirborne = 1;
  int32_t m_bJumpCut = 0;
  int32_t m_bJumping = 0;
  int32_t m_bCeilingHit = 0;
  int32_t m_nAirFrames = 0;
  int32_t m_pStandBlock = NO_BLOCK;
  int32_t m_pLandBlock = NO_BLOCK;
  int32_t m_pPrevLandBlock = NO_BLOCK;
  int32_t m_nStopCount = 0;
  int32_t m_bFixScreenX = 0;
  int32_t m_bFixScreenY = 0;
  int32_t m_nFixScreenX = 0;
  int32_t m_nFixScreenY = 0;
  int32_t m_bDead = 0;
  int32_t m_nDeathFrames = 0;
  int32_t m_bBlockedLeft = 0;
  int32_t m_bBlockedRight = 0;
  int32_t m_bBlockedTop = 0;
  int32_t m_bBlockedBottom = 0;
  int32_t m_bLandedOnChara = 0;
  int32_t m_bRideChara = 0;
  int32_t m_nRideCharaId = 0;
  double m_dRideX = 0.0;
  double m_dRideY = 0.0;
  double m_dRideRight = 0.0;
  double m_dRideBottom = 0.0;
  double m_dPrevX = 0.0;
  double m_dPrevY = 0.0;
  double m_dPrevRight = 0.0;
  double m_dPrevBottom = 0.0;
  int32_t m_nHp = 0;
  GAUGEANIME m_HpGauge;
  int32_t m_nSp = 0;
  GAUGEANIME m_SpGauge;
  cSafeVector<int32_t> m_Vars;
  int32_t m_nInvincible = 0;
  std::list<HITCOOLDOWN> m_Cooldowns;
  std::list<RUNNINGANIME> m_RunningAnimes;
  cCharaEffect m_Effect;
  int32_t m_bVanish = 0;
  int32_t m_nSightDots = 0;
  int32_t m_bHidden = 0;
  HITBOX m_BoxA;
  HITBOX m_BoxB;
};

// The pointers that lead from and to a character. A plain copy starts without them; CopyFrom takes
// them over as a whole.
struct CHARALINKS {
  int32_t m_bKeepLinks = 0;
  cSafeVector<cCharaBase*> m_Targets;
  cCharaBase* m_pOwner = nullptr;
  cSafeVector<TARGETLINK> m_BackLinks;
  cSafeVector<SHOTLINK> m_ShotLinks;
};

// A character keeps no data members of its own: its state is CHARABASEFIELDS and CHARALINKS, so
// every member is copied as one of the two (a check in chara_base.cpp holds this).
class cCharaBase : public cStageObject, public CHARABASEFIELDS, public CHARALINKS {
 public:
  cCharaBase();
  // A copy of a character takes over no links: the vectors it would share with the original stay
  // empty, so destroying the copy can never clear pointers that lead to the original.
  cCharaBase(const cCharaBase& other);
  cCharaBase& operator=(const cCharaBase& other);
  ~cCharaBase() override;

  // Slots 4, 7-12.
  void KeepFootOnScale(int newScale, int oldScale, int keepFoot) override;
  void SetCenter(int x, int y) override;
  void ArriveAt(int x, int y, cFlowCommandState* moveState) override;
  void SetCenterX(int x) override;
  void ArriveAtX(int x, cFlowCommandState* moveState) override;
  void SetCenterY(int y) override;
  void ArriveAtY(int y, cFlowCommandState* moveState) override;
  // Slots 13-20.
  virtual void CopyFrom(const cCharaBase& other);
  virtual cItem* GetItem();
  virtual int AfterMoveX();
  virtual int AfterMoveY();
  virtual int MoveX();
  virtual int MoveY();
  virtual int RunFlows(int deathOnly);
  virtual void Jump(cFlowCommandState& jumpState);

  void Reset(const cCharaDef* def, double placeX, double placeY, int cloneValue);
  void InitLinks(cCharaBase* owner);
  void SetHitBoxA(int bottomAligned, int width, int height);
  void DetachLinks();
  // Whether any pointer leads from or to this character.
  bool IsLinked() const;
  void SetAnimeSet(int set, int force);
  void FireTrigger(int trigger);
  // Forgets which flows were fired or started in the last frame.
  void ClearTriggerFlags();
  // Damage bookkeeping of a sub-step: invincibility and per-attacker cool-downs run down.
  void CountDownInvincible();
  // The death routine: 1 when the death ends the stage.
  int Die();

  // HP and SP with their gauges, damage against the defence, invincibility and cool-downs
  // (chara_damage.cpp).
  int AddHp(int delta, int force, int showGauge);
  int AddSp(int delta, int showGauge);
  void StartHpGauge(int delta);
  void StartSpGauge(int delta);
  void StartInvincible();
  void StartInvincibleAndCooldown(int attackerId);
  int IsInvincible() const;
  int IsInvincibleAgainst(int attackerId) const;
  int ApplyCharaDamage(cCharaBase& attacker, int& damageOut, int& impactOut);
  void FireCharaHitTriggers(cCharaBase& attacker, int damage, int impact);
  int ApplyShotDamage(cShot& shot, int& damageOut, int& impactOut);
  void FireShotHitTriggers(cShot& shot, int damage, int impact);
  // The knock-back of a shot or sword (with the shot code).
  void ApplyShotImpact(const cShot& shot, int& impactOut);

  // Running animations started by flows on top of the basic set (chara_links.cpp).
  void RemoveAnimeOfFlow(int serial);
  void RemoveAnime(int anime);
  void PauseAnimeOfFlow(int serial);
  void ResumeAnimeOfFlow(int serial);
  int GetCurrentPattern(int noAdvance);

  // Runs an item's command list on this character: 0, 2 when its HP ran out, or what a handler
  // returned (chara_items.cpp).
  int RunItemCommands(cSafeVector<cFlowCommand>& commands);

  // Physics.
  double JumpSpeedFromHeight(double h) const;
  double JumpSpeedFromHbl(int8_t h) const;
  int JumpStepsFromSpeed(double v) const;
  int JumpFramesFromHbl(int8_t h) const;
  void SetBlockX(int bx);
  void SetBlockY(int by, int keepFoot);
  void SetBlockPos(int bx, int by, int keepFoot);
  void ClearBlockedFlags();
  void SavePrevPos();
  void RestorePrevPos();
  void ApplyGravity();
  int IsOnGround();
  void Land();
  void HitCeiling();
  void StopOnChara(int landed);
  void ApplyImpact(int8_t power, double dx, double dy, int& impactOut);
  void ApplyBodyImpact(const cCharaBase& attacker, int& impactOut);
  void ImpactStepY();
  void ClearImpactY();
  void DecayImpactX();
  void DecayImpactY();

  // Drawing (chara_draw.cpp, chara_effect_draw.cpp).
  int GetCharaImage(DRAWDESC& desc);
  void DrawChara(DDSURFACEDATA* dst, int noAdvance);
  int DrawDying(DDSURFACEDATA* dst, int noAdvance);
  void StepEffectOnly(int noAdvance);
  int RunEffect(DDSURFACEDATA* dst, DRAWDESC& desc, int noAdvance, int draw);
  void DrawToWork(DDSURFACEDATA* work, const DRAWDESC& desc);
  void BlitWork(DDSURFACEDATA* dst, DDSURFACEDATA* work, const DRAWDESC& desc);
  void DrawHpGauge(DDSURFACEDATA* dst);
  void DrawSpGauge(DDSURFACEDATA* dst);

 private:
  void CopyFields(const cCharaBase& other, bool withLinks);
};

// Unit conversions of the character physics.
int HblToDot(int8_t h);
double ScaleAccel(int16_t a);
int UseFootPoint(int refMode, int flying);

// The first hero with that id, else the first character of the list with it, else null.
cCharaBase* FindCharaById(int id);
