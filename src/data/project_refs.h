// The look-ups that flow, command and shot validation makes, answered from the loaded database
// and the two palettes.
#pragma once

#include <cstdint>

#include "data/data_refs.h"

class cProjectDataRefs : public cDataRefs {
 public:
  int GetDatabaseCount(int nList) const override;
  int GetSwordEntryCount(int nType) const override;
  int32_t GetSwordEntryDuration(int nType, int nEntry) const override;
  int GetPaletteCount(int nPalette, int nList) const override;
  int KeepTestFlows() const override { return m_bKeepTestFlows; }

  // System data's switch, copied in once System.dat is loaded.
  int32_t m_bKeepTestFlows = 0;
};

extern cProjectDataRefs g_ProjectDataRefs;
