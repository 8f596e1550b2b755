#include "data/block.h"

#include <algorithm>

#include "data/def_head.h"
#include "data/palette.h"

namespace {
BlockCondCheck g_pfnBlockCondCheck = nullptr;
}  // namespace

void SetBlockCondCheck(BlockCondCheck check) { g_pfnBlockCondCheck = check; }

bool CheckBlockCond(cBlock& block) { return !g_pfnBlockCondCheck || g_pfnBlockCondCheck(block); }

cBlock::cBlock() {
  Register(DATA_VERSION);
  SetDefault();
}

void cBlock::Register(int) {
  ClearMemberTables();
  AddMember1(&m_cInheritKind, 1);
  AddMember2(&m_sInheritIndex, 1);
  AddMember1(&m_cSpareA, 1);
  AddMember1(&m_cSpareB, 1);
  AddMember2(&m_sGraphicNo, 1);
  AddMember1(&m_cGraphicKind, 1);
  AddMember2(&m_sGraphicOffset, 1);
  AddMember1(&m_cDrawPass, 1);
  AddMember1(&m_cHidden, 1);
  AddMember1(&m_cGroup5Byte, 1);
  AddMember2(&m_sGroup5Word, 1);
  AddMember1(&m_cHit, 1);
  AddMember1(&m_cPassLayer, 1);
  AddMember1(&m_cFloorEffect, 1);
  AddMember4(&m_nFloorValue, 1);
  AddMember1(&m_cItemKind, 1);
  AddMember2(&m_sItemIndex, 1);
  AddMember1(&m_cHit2, 1);
  AddString(&m_strName);
}

void cBlock::SetDefault() {
  Clear();
  m_cHit = 1;
  m_InheritFlags.assign(BLOCK_INHERIT_GROUP_COUNT, 0);
  m_cPassLayer = -1;
  m_sGraphicNo = 0;
}

int cBlock::Load(FILE* fp) {
  cRecord::Load(fp);
  LoadDefHead(fp, *this);
  LoadCondVector(m_Conds, fp);
  UpgradeShotGraphic(*this, g_nFileVersion);
  ApplyInheritance();
  ValidatePalette();
  return IsDataReadFailed(fp) ? 0 : 1;
}

void cBlock::Save(FILE* fp) {
  ValidatePalette();
  cRecord::Save(fp);
  SaveDefHead(fp, *this);
  SaveCondVector(m_Conds, fp);
}

void cBlock::ValidatePalette() {
  ResetOutsideTemplate(*this, GetPaletteBlocks(m_cInheritKind));
  if (m_sGraphicNo == 0) {
    m_cHit = 0;
    m_cHit2 = 0;
  }
}

int16_t cBlock::ValidateItem() {
  int16_t found = m_sItemIndex;
  const cSafeVector<cItemDef>* list = GetPaletteItems(m_cItemKind);
  if (list && IsOutsideList(m_sItemIndex, list->size())) {
    m_cItemKind = 0;
    m_sItemIndex = 0;
  }
  return found;
}

void cBlock::ApplyInheritance() {
  ApplyPaletteTemplate(*this, GetPaletteBlocks(m_cInheritKind), BLOCK_INHERIT_GROUP_COUNT,
                       [this](int group, const cBlock& source) { CopyGroup(group, source); });
}

void cBlock::CopyGroup(int group, const cBlock& src) {
  switch (group) {
    case 0: m_strName = src.m_strName; break;
    case 1: m_Conds = src.m_Conds; break;
    case 2:
      m_cGraphicKind = src.m_cGraphicKind;
      m_sGraphicNo = src.m_sGraphicNo;
      m_sGraphicOffset = src.m_sGraphicOffset;
      break;
    case 3: m_cDrawPass = src.m_cDrawPass; break;
    case 4: m_cHidden = src.m_cHidden; break;
    case 5:
      m_cGroup5Byte = src.m_cGroup5Byte;
      m_sGroup5Word = src.m_sGroup5Word;
      break;
    case 6: m_cHit = src.m_cHit; break;
    case 7: m_cPassLayer = src.m_cPassLayer; break;
    case 8:
      m_cFloorEffect = src.m_cFloorEffect;
      m_nFloorValue = src.m_nFloorValue;
      break;
    case 9:
      m_cItemKind = src.m_cItemKind;
      m_sItemIndex = src.m_sItemIndex;
      break;
    case 10: m_cHit2 = src.m_cHit2; break;
    default: break;
  }
}

int8_t cBlock::GetHit(int layer) {
  if (g_pfnBlockCondCheck && !g_pfnBlockCondCheck(*this)) return 0;
  // The pass layer is compared as a signed byte: the stored 255 (-1) is never a layer.
  if (layer == m_cPassLayer) return 0;
  return m_cHit;
}
