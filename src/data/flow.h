// Flows (one behaviour of a character: trigger, ID, exclusive group, conditions, a key sequence
// and the commands that run) and the steps of a key sequence.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/cond.h"
#include "data/flow_command.h"
#include "data/record.h"

// Input patterns a key condition tests, one entry each.
constexpr int KEYCOND_KEY_COUNT = 19;

class cKeyCond : public cRecord {
 public:
  cKeyCond();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  cSafeVector<int8_t> m_Keys;  // 0 ignored, 1 pressed, 2 released
  int8_t m_cMirror = 0;
  int16_t m_sMinFrames = 0;
  int16_t m_sMaxFrames = 0;
  int8_t m_cAnyLength = 0;
  int8_t m_cMode = 0;
};

// Makes the key list exactly KEYCOND_KEY_COUNT entries long (appending 0, dropping the excess).
void ResizeKeyList(cKeyCond& keyCond);

class cFlow : public cRecord {
 public:
  cFlow();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  void Validate();
  void ValidatePaletteRefs();

  std::string m_strName;
  int8_t m_cId = 0;
  int8_t m_cGroup = 0;
  int8_t m_cTestPlayOnly = 0;
  cSafeVector<cCond> m_Conds;
  int8_t m_cCondMode = 0;
  int8_t m_cCondLatch = 0;
  int8_t m_cTrigger = 0;
  int8_t m_cTriggerTarget = 0;
  int8_t m_cTargetSlot = 0;
  int8_t m_cKeyGap = 3;
  int8_t m_cKeyRepeat = 0;
  cSafeVector<cKeyCond> m_KeyConds;
  cSafeVector<cFlowCommand> m_Cmds;

 private:
  void UpgradeTrigger(int v);
};

int LoadKeyCondVector(cSafeVector<cKeyCond>& keyConds, FILE* fp);
// Reads a counted list of flows. Lists nest (flows hold commands that hold flows); a file nesting
// them deeper than any project does is refused.
int LoadFlowVector(cSafeVector<cFlow>& flows, FILE* fp);
void SaveFlowVector(cSafeVector<cFlow>& flows, FILE* fp);

// Removes every flow marked test-play-only, keeping the order of the others.
void RemoveTestPlayFlows(cSafeVector<cFlow>& flows);
