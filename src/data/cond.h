// Conditions (a variable, a status or a distance compared with a value) and the condition list
// that guards a flow-control command.
#pragma once

#include <cstdint>
#include <cstdio>

#include <boost/shared_ptr.hpp>

#include "core/safe_containers.h"
#include "data/record.h"

class cCond : public cRecord {
 public:
  cCond();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;

  // The distance condition reuses three bytes for its display choices (0 off, 1 on, 2 only with
  // the range display; also for hidden characters; colour number).
  int8_t& DistanceDisplay() { return m_cLeftKind; }
  int8_t& DistanceForHidden() { return m_cRightKind; }
  int8_t& DistanceColor() { return m_cRightOwner; }

  // In file order.
  int8_t m_cKind = 0;
  int32_t m_nValue = 0;
  int32_t m_nRandMin = 0;
  int32_t m_nRandMax = 0;
  int8_t m_cOwner = 0;
  int8_t m_cItem = 0;
  int8_t m_cLeftKind = 0;
  int8_t m_cLeftScope = 0;
  int16_t m_sIndex = 0;
  int8_t m_cRightKind = 0;
  int8_t m_cRightOwner = 0;
  int8_t m_cRightItem = 0;
  int8_t m_cRightScope = 0;
  int16_t m_sRightIndex = 0;
  int8_t m_cOperator = 0;
  int8_t m_cRightMode = 0;
  int8_t m_cCoordL = 0;
  int8_t m_cCoordR = 0;
  int8_t m_cYPointL = 0;
  int8_t m_cYPointR = 0;
  int8_t m_cShape = 0;

 private:
  void Upgrade(int v);
};

class cCondList : public cRecord {
 public:
  cCondList();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  int8_t m_cEnabled = 0;
  int8_t m_cMode = 0;
  cSafeVector<cCond> m_Conds;
};

// Reads a counted list of conditions into `conds` (old elements replaced). 0 on a damaged file.
int LoadCondVector(cSafeVector<cCond>& conds, FILE* fp);
void SaveCondVector(cSafeVector<cCond>& conds, FILE* fp);

// Replaces the pointer's contents with a new, cleared list (enabled 0, mode 0, no conditions).
void MakeCondList(boost::shared_ptr<cCondList>& pList);
