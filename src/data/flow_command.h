// One step of a flow or of an item definition's command list: category and kind, int parameters
// whose number the kind fixes, a text, timing, sound and animation, the optional movement, shot
// and condition-list records, and nested flows (item command "change of flows").
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include <boost/shared_ptr.hpp>

#include "core/safe_containers.h"
#include "data/cond.h"
#include "data/ed_move.h"
#include "data/ed_shot.h"
#include "data/record.h"

class cFlow;

class cFlowCommand : public cRecord {
 public:
  cFlowCommand();
  // Copies are deep: the optional records are cloned, never shared.
  cFlowCommand(const cFlowCommand& src);
  cFlowCommand& operator=(const cFlowCommand& src);
  ~cFlowCommand() override;

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  // Empties the optional records, zeroes the registered members, sound only on screen 1.
  void Clear();
  // Fits the parameters to the kind and resets database indexes that are out of range.
  void Validate();
  // Resets palette indexes that are past the end of their palette list.
  void ValidatePaletteRefs();

  // Command kind in the flow numbering (item kinds 2 to 24 are flow kinds 17 to 39); -1 for the
  // item kinds without a flow counterpart and for unknown categories.
  int GetFlowKind() const;

  int8_t m_cCategory = 0;
  int8_t m_cKind = 0;
  cSafeVector<int32_t> m_Params;
  std::string m_strText;
  boost::shared_ptr<cEdMove> m_pMove;
  boost::shared_ptr<cEdShot> m_pShot;
  int16_t m_sTime = 0;
  int16_t m_sTimePerClone = 0;
  int8_t m_cParallel = 0;
  int16_t m_sSound = 0;
  int8_t m_cSoundOnScreen = 1;
  int16_t m_sAnime = 0;
  boost::shared_ptr<cCondList> m_pConds;
  cSafeVector<cFlow> m_Flows;

 private:
  int LoadParts(FILE* fp);
  void Upgrade(int v);
  void CopyFrom(const cFlowCommand& src);
};

// Reads a counted list of commands into `cmds` (old elements replaced). 0 on a damaged file.
int LoadFlowCommandVector(cSafeVector<cFlowCommand>& cmds, FILE* fp);
void SaveFlowCommandVector(cSafeVector<cFlowCommand>& cmds, FILE* fp);
