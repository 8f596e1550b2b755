// A block definition (graphic, contact, passing layer, floor effect, handed-out item, existence
// conditions, palette template) and the map cell the stage grid is made of.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/cond.h"
#include "data/record.h"

constexpr int BLOCK_INHERIT_GROUP_COUNT = 11;

class cBlock : public cRecord {
 public:
  cBlock();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  // Clears every member, then the block defaults: solid, no passing layer, no graphic.
  void SetDefault();
  // Drops a template that is not in its palette and the contact of a block without graphic.
  void ValidatePalette();
  // Drops an item reference that is not in its palette; returns the index as it was found.
  int16_t ValidateItem();
  // Copies the flagged groups from the template named by kind and index.
  void ApplyInheritance();
  // Contact kind for an object of collision layer `layer` (0 while the conditions fail).
  int8_t GetHit(int layer);

  // The condition list's mode and latch bytes live in the two spare bytes, which no inheritance
  // group covers; the stage code reads them through these two names only.
  int8_t& CondMode() { return m_cSpareA; }
  int8_t& CondLatch() { return m_cSpareB; }

  int16_t m_sBlockX = 0;
  int16_t m_sBlockY = 0;
  int8_t m_cInheritKind = 0;
  int16_t m_sInheritIndex = 0;
  cSafeVector<int8_t> m_InheritFlags;
  std::string m_strName;
  cSafeVector<cCond> m_Conds;
  int8_t m_cSpareA = 0;
  int8_t m_cSpareB = 0;
  int16_t m_sGraphicNo = 0;
  int8_t m_cGraphicKind = 0;
  int16_t m_sGraphicOffset = 0;
  int8_t m_cDrawPass = 0;
  int8_t m_cHidden = 0;
  int8_t m_cGroup5Byte = 0;
  int16_t m_sGroup5Word = 0;
  int8_t m_cHit = 1;
  int8_t m_cPassLayer = -1;  // stored 255: no layer passes
  int8_t m_cFloorEffect = 0;
  int32_t m_nFloorValue = 0;
  int8_t m_cItemKind = 0;
  int16_t m_sItemIndex = 0;
  int8_t m_cHit2 = 0;

 private:
  void CopyGroup(int group, const cBlock& src);
};

// A block as it stands in the stage grid, with the run-time latch state of its conditions.
class cMapCell : public cBlock {
 public:
  cMapCell& operator=(const cBlock& block) {
    cBlock::operator=(block);
    return *this;
  }

  int8_t m_cState = 0;
};

// Whether a block's conditions hold now. The play scene installs the test; until then every
// block exists.
using BlockCondCheck = bool (*)(cBlock& block);
void SetBlockCondCheck(BlockCondCheck check);
// The installed test for `block` (true without one).
bool CheckBlockCond(cBlock& block);
