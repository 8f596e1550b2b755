// Every character that is not a player character: enemies, allies, block characters and summoned
// characters, with the item each may carry for the hero.
#pragma once

#include <cstdint>

#include "stage/chara_base.h"
#include "stage/item.h"

class cChara : public cCharaBase {
 public:
  cChara();
  // The character part copies as a character does (no links); every member of the character's own
  // as it stands.
  cChara(const cChara& other);
  cChara& operator=(const cChara& other);
  ~cChara() override;

  void Setup(int id, cCharaDef* def, const cItem* item, double placeX, double placeY, int cloneValue,
             cCharaBase* owner);
  void SetBlockPos(int bx, int by);

  void ScaleHitBoxes(int scale) override;
  void UpdateHitBoxX() override;
  void UpdateHitBoxY() override;
  cItem* GetItem() override;
  int AfterMoveX() override;
  int AfterMoveY() override;
  int MoveX() override;
  int MoveY() override;
  int RunFlows(int deathOnly) override;
  void Jump(cFlowCommandState& jumpState) override;

  int TestView(cSafeVector<uint8_t>& groupFlags);
  int ShouldActivate(cSafeVector<uint8_t>& groupFlags);
  int OverlapsRect(double left, double top, double right, double bottom) const;
  // The carried item's blinking icon over the character (item_draw.cpp).
  void DrawItemIcon(DDSURFACEDATA* dst);

  int32_t m_bInView = 0;
  cItem m_Item;
  int32_t m_nItemBlink = 0;
  int32_t m_bViewIgnoreX = 0;
  int32_t m_bViewIgnoreY = 0;
  int32_t m_bWasActive = 0;
  // Active and group-active in the current sub-step: the passes move and run it.
  int32_t m_bActing = 0;

 private:
  // The activation group of the definition when it is one of the stage's groups, else -1.
  int ActGroup() const;
};

// Moves copy number `copy` of a placement by the definition's repeat offset (the place position
// too, unless the system keeps it) and settles it; false when that copy falls outside the stage.
bool PlaceRepeatCopy(cChara& c, const cCharaDef& def, int copy);

// Activation groups a stage has.
constexpr int ACT_GROUP_COUNT = 60;
