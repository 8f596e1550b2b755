// A menu command: one entry of a menu list (title, world-map and options menus are stored in
// System.dat). A menu shows its enabled entries only, in list order.
#pragma once

#include <cstdint>
#include <string>

#include "core/safe_containers.h"
#include "data/record.h"

class cCmd : public cRecord {
 public:
  // A new command is enabled with an empty caption.
  cCmd();
  cCmd(int32_t bEnabled, const char* caption);

  void Register(int nVersion) override;

  // Number of enabled entries of a menu.
  static int GetCmdCount(const cSafeVector<cCmd>& menu);
  // List index of the n-th enabled entry (n from 0); 0 when there is none.
  static int GetCmdNum(int n, const cSafeVector<cCmd>& menu);

  // In file order.
  int32_t m_bEnabled = 0;
  std::string m_strCaption;
};
