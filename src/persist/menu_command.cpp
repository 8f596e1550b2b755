#include "persist/menu_command.h"

#include "core/message_box.h"

cCmd::cCmd() : cCmd(1, "") {}

cCmd::cCmd(int32_t bEnabled, const char* caption) {
  Register(DATA_VERSION);
  Clear();
  m_bEnabled = bEnabled;
  m_strCaption = caption;
}

void cCmd::Register(int) {
  ClearMemberTables();
  AddMember4(&m_bEnabled, 1);
  AddString(&m_strCaption);
}

int cCmd::GetCmdCount(const cSafeVector<cCmd>& menu) {
  int count = 0;
  for (const cCmd& cmd : menu) {
    if (cmd.m_bEnabled) ++count;
  }
  return count;
}

int cCmd::GetCmdNum(int n, const cSafeVector<cCmd>& menu) {
  int shown = 0;
  for (int i = 0; i < static_cast<int>(menu.size()); ++i) {
    if (!menu.At(i).m_bEnabled) continue;
    if (shown == n) return i;
    ++shown;
  }
  DebugErrorBoxf("cCmd::GetCmdNum 番号が不正です！");
  return 0;
}
