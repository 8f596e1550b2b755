// What the status operations and the expression language need of the running stage.
//
// Characters are the stage's own objects and stay opaque here: a cCharaBase pointer is only ever
// handed back to the stage. Everything that lives in the save data (common variables, score,
// lives), in System.dat (older-version switches) or in the installed stage record (auto-scroll
// settings) is used directly.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"

class cCharaBase;
class cCharaDef;
class cFlowCommand;

// A character's screen rectangle (refreshed by the stage before it is returned).
struct cScreenRect {
  int32_t nLeft = 0;
  int32_t nTop = 0;
  int32_t nRight = 0;
  int32_t nBottom = 0;
  int32_t nDrawWidth = 0;
  int32_t nDrawHeight = 0;
};

constexpr int SCROLL_AXIS_X = 0;
constexpr int SCROLL_AXIS_Y = 1;

class cFlowStage {
 public:
  virtual ~cFlowStage() = default;

  // Objects. Target slots 0..3 of a character (null when empty) and hero 0 (null when none).
  virtual cCharaBase* Target(cCharaBase* c, int slot) = 0;
  virtual cCharaBase* Hero() = 0;

  // The character's live definition copy: every status but HP, SP and the variables lives there.
  virtual cCharaDef& Def(cCharaBase* c) = 0;
  virtual int32_t& Hp(cCharaBase* c) = 0;
  virtual int32_t& Sp(cCharaBase* c) = 0;
  virtual cSafeVector<int32_t>& Vars(cCharaBase* c) = 0;
  virtual int Side(cCharaBase* c) = 0;
  virtual bool IsInvincible(cCharaBase* c) = 0;
  // True when the character walks (not flying): its foot point is the bottom centre.
  virtual bool IsWalking(cCharaBase* c) = 0;
  virtual cScreenRect ScreenRect(cCharaBase* c) = 0;

  // Character actions.
  virtual void AddHp(cCharaBase* c, int32_t delta, int force, int gauge) = 0;
  virtual void AddSp(cCharaBase* c, int32_t delta, int gauge) = 0;
  virtual void StartHpGauge(cCharaBase* c, int32_t delta) = 0;
  virtual void StartSpGauge(cCharaBase* c, int32_t delta) = 0;
  // Sight radius in dots of a side-0 character; the darkness mask is rebuilt.
  virtual void SetSightRadius(cCharaBase* c, int32_t dots) = 0;
  // Per-sub-step friction from the character's stop-ease.
  virtual void RefreshFriction(cCharaBase* c) = 0;
  // Runs the warp command's body on the character with the status-call flag set.
  virtual void ExecWarp(cCharaBase* c, cFlowCommand& command) = 0;

  // Play scene.
  virtual cSafeVector<int32_t>& StageVars() = 0;
  virtual int32_t& TimeCounter() = 0;
  virtual bool NoTimeLimit() = 0;
  virtual void RequestHpCheck() = 0;
  virtual double ScrollPos(int axis) = 0;
  virtual int32_t ScrollMargin(int axis) = 0;
  virtual void SetAutoScroll(int axis, int32_t flag, int32_t speed) = 0;
};
