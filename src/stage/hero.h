// A player character: its forms and boxes, the camera follow, movement under its own speed limit
// and the floor effects, the flow run with jump-key bookkeeping, the key-held jump, the stop state
// and the items it touches.
#pragma once

#include <cstdint>
#include <list>

#include "core/safe_containers.h"
#include "data/flow_command.h"
#include "stage/chara_base.h"

class cInput;

struct HITBOXVIEW {
  int32_t nKind = 0;
  int32_t nMode = 0;
  int32_t nPalette = 0;
  int32_t nX = 0;
  int32_t nY = 0;
  int32_t nWidth = 0;
  int32_t nHeight = 0;
  int32_t nCounter = 0;
};

class cHero : public cCharaBase {
 public:
  cHero();
  // The character part copies as a character does (no links); every member of the hero's own as
  // it stands.
  cHero(const cHero& other);
  cHero& operator=(const cHero& other);
  ~cHero() override;

  void Setup(int id, cCharaDef* def, double placeX, double placeY, cCharaBase* owner);
  void GetBody(int& offX, int& offY, int& w, int& h) const;
  void SetForm(int form, int rescale, int keepPos, int restoreOnStop);
  void BuildHitBoxView();
  int IsStopped();
  int IsNewTouch(int id) const;
  void ForgetTouch(int id);
  void SaveFacing() { m_bFacingRight = m_bRight; }
  void KeepLandBlock() { m_pPrevLandBlock = m_pLandBlock; }
  // Screen rectangle per axis: truncation before the scroll on an auto-scrolling axis.
  void UpdateHeroScreenRect();
  // Per-frame display upkeep before the hero is drawn: its screen rectangle.
  void DisplayUpkeep();
  // The character drawing and the hit-box view; the darkness over the screen (hero_draw.cpp).
  void Draw(DDSURFACEDATA* dst, int noAdvance);
  void DrawSightMask(DDSURFACEDATA* dst);

  void ScaleHitBoxes(int scale) override;
  void UpdateHitBoxX() override;
  void UpdateHitBoxY() override;
  cItem* GetItem() override { return nullptr; }
  int AfterMoveX() override;
  int AfterMoveY() override;
  int MoveX() override;
  int MoveY() override;
  int RunFlows(int deathOnly) override;
  void Jump(cFlowCommandState& jumpState) override;

  cInput* m_pInput = nullptr;
  int32_t m_nJumpHold = 0;
  int32_t m_bJumpReady = 1;
  int32_t m_bNoJump = 0;
  double m_dFloorAccelBase = 0.0;
  int32_t m_bJumpDone = 0;
  int32_t m_bFacingRight = 0;
  int32_t m_bKeepPos = 0;
  double m_dSavedX = 0.0;
  double m_dSavedY = 0.0;
  double m_dSavedRight = 0.0;
  double m_dSavedBottom = 0.0;
  int32_t m_bRestoreOnStop = 0;
  std::list<int32_t> m_TouchedItems;
  int32_t m_nFloorEffect = 0;
  double m_dFloorValue = 0.0;
  int32_t m_nFloorTime = 0;
  int32_t m_nBlockItemCooldown = 0;
  int32_t m_nFrameCount = 0;
  HITBOX m_BoxC;
  cSafeVector<HITBOXVIEW> m_HitBoxView;
  cSafeVector<cFlowCommand> m_PendingItemCmds;
  std::list<ARRANGEENTRY> m_PendingArranges;
  // Locks the frame applies to the main hero before input is recorded: while set, the direction
  // words of the hero's player are held at their values when the lock began / buttons read 0.
  int32_t m_bDirLock = 0;
  int32_t m_bButtonLock = 0;
};
