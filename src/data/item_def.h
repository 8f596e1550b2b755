// An item definition: graphic, activation conditions, how often it can be taken, and what taking
// it does (sound, notice, item commands run on the taker), with an optional palette template.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/cond.h"
#include "data/flow_command.h"
#include "data/record.h"

constexpr int ITEM_INHERIT_GROUP_COUNT = 13;

class cItemDef : public cRecord {
 public:
  cItemDef();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  void SetDefault();
  void ValidatePalette();
  // Palette references of the item commands.
  void ValidateCommands();
  void ApplyInheritance();

  int16_t m_sBlockX = 0;
  int16_t m_sBlockY = 0;
  int8_t m_cInheritKind = 0;
  int16_t m_sInheritIndex = 0;
  cSafeVector<int8_t> m_InheritFlags;
  std::string m_Name;
  cSafeVector<cCond> m_Conds;
  int8_t m_cCondMode = 0;
  int8_t m_cCondLatch = 0;
  int16_t m_sOffsetX = 0;
  int16_t m_sOffsetY = 0;
  int16_t m_sGraphicNo = 0;
  int8_t m_cGraphicKind = 2;
  int16_t m_sGraphicOffset = 0;
  int8_t m_cSpareValue = 6;
  int8_t m_cTransparent = 0;
  int8_t m_cShowBadge = 0;
  int16_t m_sBadgeNo = 0;
  int8_t m_cTakeMode = 0;  // 0 once, 1 again after the taker left it, 2 never
  int8_t m_cTakeNotice = 1;
  int8_t m_cSize = 1;
  int16_t m_sTakeSound = 0;
  cSafeVector<cFlowCommand> m_Cmds;

 private:
  void CopyGroup(int group, const cItemDef& src);
};
