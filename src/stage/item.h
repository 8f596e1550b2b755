// An item lying in the stage or carried by a character.
#pragma once

#include <cstdint>

#include "data/item_def.h"
#include "gfx/dd_types.h"
#include "stage/stage_object.h"

class cItem : public cStageObject {
 public:
  // Takes a live copy of the definition; `bCarried` for an item a character holds.
  void Setup(int id, const cItemDef& def, int bCarried);
  // Puts the item on stage tile (tx, ty), its foot on the tile's floor when `bKeepFoot`.
  void SetBlockPos(int tx, int ty, int bKeepFoot);
  // Its picture and mark at its screen rectangle (item_draw.cpp).
  void Draw(DDSURFACEDATA* dst, int noAdvance);

  cItemDef m_Def;
  int32_t m_bCarried = 0;
};
