#include "data/item_def.h"

#include <algorithm>

#include "data/database.h"
#include "data/def_head.h"
#include "data/palette.h"

cItemDef::cItemDef() {
  Register(DATA_VERSION);
  SetDefault();
}

void cItemDef::Register(int) {
  ClearMemberTables();
  AddMember1(&m_cInheritKind, 1);
  AddMember2(&m_sInheritIndex, 1);
  AddMember1(&m_cCondMode, 1);
  AddMember1(&m_cCondLatch, 1);
  AddMember2(&m_sOffsetX, 1);
  AddMember2(&m_sOffsetY, 1);
  AddMember2(&m_sGraphicNo, 1);
  AddMember1(&m_cGraphicKind, 1);
  AddMember2(&m_sGraphicOffset, 1);
  AddMember1(&m_cSpareValue, 1);
  AddMember1(&m_cTransparent, 1);
  AddMember1(&m_cShowBadge, 1);
  AddMember2(&m_sBadgeNo, 1);
  // The notice is stored before the take mode.
  AddMember1(&m_cTakeNotice, 1);
  AddMember1(&m_cTakeMode, 1);
  AddMember1(&m_cSize, 1);
  AddMember2(&m_sTakeSound, 1);
  AddString(&m_Name);
}

void cItemDef::SetDefault() {
  Register(DATA_VERSION);
  m_sBlockX = 0;
  m_sBlockY = 0;
  Clear();
  m_InheritFlags.assign(ITEM_INHERIT_GROUP_COUNT, 0);
  m_Conds.clear();
  m_Cmds.clear();
  m_cGraphicKind = 2;
  m_cSpareValue = 6;
  m_cTakeNotice = 1;
  m_cSize = 1;
}

int cItemDef::Load(FILE* fp) {
  cRecord::Load(fp);
  LoadDefHead(fp, *this);
  LoadCondVector(m_Conds, fp);
  LoadFlowCommandVector(m_Cmds, fp);
  UpgradeShotGraphic(*this, g_nFileVersion);
  ApplyInheritance();
  ValidatePalette();
  return IsDataReadFailed(fp) ? 0 : 1;
}

void cItemDef::Save(FILE* fp) {
  ValidatePalette();
  cRecord::Save(fp);
  SaveDefHead(fp, *this);
  SaveCondVector(m_Conds, fp);
  SaveFlowCommandVector(m_Cmds, fp);
}

void cItemDef::ApplyInheritance() {
  ApplyPaletteTemplate(*this, GetPaletteItems(m_cInheritKind), ITEM_INHERIT_GROUP_COUNT,
                       [this](int group, const cItemDef& source) { CopyGroup(group, source); });
}

void cItemDef::CopyGroup(int group, const cItemDef& src) {
  switch (group) {
    case 0: m_Name = src.m_Name; break;
    case 1:
      m_Conds = src.m_Conds;
      m_cCondMode = src.m_cCondMode;
      m_cCondLatch = src.m_cCondLatch;
      break;
    case 2: m_sOffsetX = src.m_sOffsetX; break;
    case 3: m_sOffsetY = src.m_sOffsetY; break;
    case 4:
      m_cGraphicKind = src.m_cGraphicKind;
      m_sGraphicNo = src.m_sGraphicNo;
      m_sGraphicOffset = src.m_sGraphicOffset;
      break;
    case 5: m_cSpareValue = src.m_cSpareValue; break;
    case 6: m_cTransparent = src.m_cTransparent; break;
    case 7:
      m_cShowBadge = src.m_cShowBadge;
      m_sBadgeNo = src.m_sBadgeNo;
      break;
    case 8: m_cSize = src.m_cSize; break;
    case 9: m_cTakeMode = src.m_cTakeMode; break;
    case 10: m_cTakeNotice = src.m_cTakeNotice; break;
    case 11: m_sTakeSound = src.m_sTakeSound; break;
    case 12: m_Cmds = src.m_Cmds; break;
    default: break;
  }
}

void cItemDef::ValidatePalette() {
  ResetOutsideTemplate(*this, GetPaletteItems(m_cInheritKind));
  if (m_cSize <= 0) m_cSize = 1;
  if (IsOutsideList(m_sTakeSound, g_Database.m_Sounds.size())) m_sTakeSound = 0;
  for (cFlowCommand& cmd : m_Cmds) cmd.Validate();
}

void cItemDef::ValidateCommands() {
  for (cFlowCommand& cmd : m_Cmds) cmd.ValidatePaletteRefs();
}
