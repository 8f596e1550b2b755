#include "data/cond.h"

#include "data/flow_kinds.h"

cCond::cCond() {
  Register(DATA_VERSION);
  Clear();
}

void cCond::Register(int nVersion) {
  ClearMemberTables();
  AddMember1(&m_cKind, 1);
  AddMember4(&m_nValue, 1);
  if (nVersion >= 110) {
    AddMember4(&m_nRandMin, 1);
    AddMember4(&m_nRandMax, 1);
    AddMember1(&m_cOwner, 1);
    AddMember1(&m_cItem, 1);
    AddMember1(&m_cLeftKind, 1);
    AddMember1(&m_cLeftScope, 1);
    AddMember2(&m_sIndex, 1);
    AddMember1(&m_cRightKind, 1);
    AddMember1(&m_cRightOwner, 1);
    AddMember1(&m_cRightItem, 1);
    AddMember1(&m_cRightScope, 1);
    AddMember2(&m_sRightIndex, 1);
  } else {
    // Two old 16-bit values that no later version uses.
    AddMember2(&g_nDummyMember, 1);
    AddMember2(&g_nDummyMember, 1);
  }
  AddMember1(&m_cOperator, 1);
  if (nVersion >= 43) AddMember1(&m_cRightMode, 1);
  if (nVersion >= 110) {
    if (nVersion >= 883) {
      AddMember1(&m_cCoordL, 1);
      AddMember1(&m_cCoordR, 1);
    }
    if (nVersion >= 893) {
      AddMember1(&m_cYPointL, 1);
      AddMember1(&m_cYPointR, 1);
    }
  }
  AddMember1(&m_cShape, 1);
}

int cCond::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  if (g_nFileVersion < DATA_VERSION) Upgrade(g_nFileVersion);
  return ok;
}

void cCond::Upgrade(int v) {
  if (v < 160 && StoredByte(m_cKind) >= 5) m_cKind = static_cast<int8_t>(m_cKind + 2);
  if (v < 161 && m_cKind == COND_STATUS3 && m_cItem == 2) m_cOperator = static_cast<int8_t>(m_cOperator ^ 1);
  auto shiftStatus = [this](int ownerKept, int threshold, int by) {
    if (m_cLeftKind == 0 && m_cOwner != ownerKept && StoredByte(m_cItem) >= threshold)
      m_cItem = static_cast<int8_t>(m_cItem + by);
    if (m_cRightKind == 2 && m_cRightOwner != ownerKept && StoredByte(m_cRightItem) >= threshold)
      m_cRightItem = static_cast<int8_t>(m_cRightItem + by);
  };
  if (v < 168 && m_cKind == COND_STATUS) shiftStatus(2, 10, 1);
  if (v < 203 && m_cKind == COND_STATUS) shiftStatus(2, 5, 1);
  if (v < 210 && m_cKind == COND_STATUS2 && m_cOwner != 2 && StoredByte(m_cItem) >= 6)
    m_cItem = static_cast<int8_t>(m_cItem + 1);
  if (v < 657 && m_cKind == COND_DISTANCE) m_cOwner = 0;
  if (v < 745 && m_cKind == COND_DISTANCE) m_cLeftKind = 0;
  if (v < 746 && m_cKind == COND_DISTANCE) {
    m_cRightKind = 1;
    m_cRightOwner = 1;
  }
  if (v < 767 && (m_cKind == COND_STATUS || m_cKind == COND_STATUS2)) {
    // Target slots 2 to 4 were inserted before the system owner.
    if (StoredByte(m_cOwner) >= 2) m_cOwner = static_cast<int8_t>(m_cOwner + 3);
    if (StoredByte(m_cRightOwner) >= 2) m_cRightOwner = static_cast<int8_t>(m_cRightOwner + 3);
  }
  if (v < 883 && m_cKind == COND_STATUS) {
    m_cCoordL = 0;
    m_cCoordR = 0;
    shiftStatus(5, 6, 2);
  }
  if (v < 892 && m_cKind == COND_STATUS) {
    m_cYPointL = 0;
    m_cYPointR = 0;
  }
}

cCondList::cCondList() {
  Register(DATA_VERSION);
  Clear();
}

void cCondList::Register(int) {
  ClearMemberTables();
  AddMember1(&m_cEnabled, 1);
  AddMember1(&m_cMode, 1);
}

int cCondList::Load(FILE* fp) {
  if (!cRecord::Load(fp)) return 0;
  if (g_nFileVersion > 765) return LoadCondVector(m_Conds, fp);
  return 1;
}

void cCondList::Save(FILE* fp) {
  cRecord::Save(fp);
  SaveCondVector(m_Conds, fp);
}

int LoadCondVector(cSafeVector<cCond>& conds, FILE* fp) { return LoadRecordVector(conds, fp, cCond()); }

void SaveCondVector(cSafeVector<cCond>& conds, FILE* fp) { SaveRecordVector(conds, fp); }

void MakeCondList(boost::shared_ptr<cCondList>& pList) { pList.reset(new cCondList()); }
