// An item lying in the stage or carried by a character.
#pragma once

#include <cstdint>

#include "data/item_def.h"
#include "gfx/dd_types.h"
#include "stage/stage_object.h"

// Take modes of an item.
constexpr int ITEM_TAKE_ONCE = 0;
constexpr int ITEM_TAKE_AGAIN = 1;
constexpr int ITEM_TAKE_NEVER = 2;

class cItem : public cStageObject {
 public:
  // Takes a live copy of the definition; `bCarried` for an item handed over directly (a
  // character's or a block's item): active at once and not scaled.
  void Setup(int id, const cItemDef& def, int bCarried);
  // Puts the item on stage tile (tx, ty), its foot on the tile's floor when `bKeepFoot`.
  int SetBlockPos(int tx, int ty, int bKeepFoot);
  void KeepFootOnScale(int newScale, int oldScale, int keepFoot) override;
  // Its picture and mark at its screen rectangle (item_draw.cpp).
  void Draw(DDSURFACEDATA* dst, int noAdvance);

  cItemDef m_Def;
  int32_t m_bCarried = 0;
  // Set when an item that is taken once has been taken: no touch takes it again, even one made
  // while its own commands run.
  int32_t m_bTaken = 0;
};
