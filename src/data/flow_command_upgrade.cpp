// Bringing commands of older files up to date. Item commands share the history of the flow
// command kinds they mirror (item kind k is flow kind k + 15), so one table serves both.
#include <algorithm>
#include <cstdint>
#include <limits>

#include "data/flow.h"
#include "data/flow_command.h"
#include "data/flow_kinds.h"

namespace {

// Parameter access for the upgrades. Commands stored with fewer parameters than a rule reads are
// damaged or foreign: a missing parameter reads as 0 and a write to it is skipped, instead of
// indexing past the end of the list.
class cParamEdit {
 public:
  explicit cParamEdit(cSafeVector<int32_t>& params) : m_Params(params) {}

  int32_t Get(int k) const { return k < static_cast<int>(m_Params.size()) ? m_Params[static_cast<size_t>(k)] : 0; }
  void Set(int k, int32_t value) {
    if (k < static_cast<int>(m_Params.size())) m_Params[static_cast<size_t>(k)] = value;
  }
  void Add(int k, int32_t by) {
    int64_t value = static_cast<int64_t>(Get(k)) + by;
    Set(k, static_cast<int32_t>(std::min<int64_t>(value, std::numeric_limits<int32_t>::max())));
  }
  void Resize(int n) { m_Params.resize(static_cast<size_t>(n), 0); }
  // Resize to n, move parameters i..n-2 one place up and set parameter i to x.
  void Insert(int32_t x, int i, int n) {
    Resize(n);
    for (int k = n - 1; k > i; --k) Set(k, Get(k - 1));
    Set(i, x);
  }

 private:
  cSafeVector<int32_t>& m_Params;
};

// Status operations: status codes were inserted over time; the rule shifts the left operand's
// code (p3 -> p4 when p0 is 0) and the right operand's (p12 -> p13 when p6 is 2).
void ShiftStatusCodes(cParamEdit& p, int keptOwner, int threshold, int by) {
  if (p.Get(0) == 0 && p.Get(3) != keptOwner && p.Get(4) > threshold) p.Add(4, by);
  if (p.Get(6) == 2 && p.Get(12) != keptOwner && p.Get(13) > threshold) p.Add(13, by);
}

}  // namespace

void cFlowCommand::Upgrade(int v) {
  int kind = GetFlowKind();
  if (kind < 0) return;
  cParamEdit p(m_Params);
  const bool item = m_cCategory == CMDCAT_ITEM;

  if (v < 145 && kind == CMD_STAGE_CLEAR) p.Resize(9);
  if (v < 166 && kind == 35) {
    p.Resize(2);
    p.Set(1, 1);
  }
  if (v < 168 && kind == CMD_STATUS) ShiftStatusCodes(p, 2, 9, 1);
  if (v < 189 && kind == CMD_SET_TARGET) p.Insert(0, 2, 16);
  if (v < 194 && kind == 31) p.Insert(1, 6, 16);
  if (v < 195 && (kind == 29 || kind == 30)) p.Insert(0, 1, 3);
  if (v < 203 && (kind == CMD_SUMMON_CHARA || kind == CMD_SUMMON_ITEM)) p.Resize(0);
  if (v < 203 && kind == CMD_FLOW_CONTROL) p.Resize(4);
  if (v < 203 && kind == CMD_STATUS) ShiftStatusCodes(p, 2, 4, 1);
  if (v < 210 && kind == CMD_STATUS2 && p.Get(0) != 2 && p.Get(1) > 5) p.Add(1, 1);
  if (v < 219 && kind == 25 && p.Get(0) == 3)
    p.Set(1, static_cast<int32_t>(std::min<int64_t>(int64_t{p.Get(1)} + 1, 119)));
  if (v < 220 && kind == CMD_SHOT && m_pShot)
    m_pShot->m_sGraphic = static_cast<int16_t>(std::min(m_pShot->m_sGraphic + 1, 119));
  if (v < 514 && kind == CMD_CHARGE_MOVE && m_pMove) {
    m_pMove->m_sAngle = 0;
    m_pMove->m_sAnglePerClone = 0;
    m_pMove->m_cAngleMirror = 1;
  }
  if (v < 545 && kind == CMD_MESSAGE) {
    p.Resize(19);
    p.Set(10, 1);
  }
  if (v < 545 && kind == 31) {
    p.Resize(16);
    p.Set(11, 0);
  }
  if (v < 546 && kind == CMD_MESSAGE) p.Set(10, (p.Get(0) == 0 || p.Get(0) == 7) ? 1 : 0);
  if (v < 547 && kind == CMD_MESSAGE) {
    p.Resize(19);
    p.Set(11, 0);
    p.Set(12, 0);
    p.Set(13, 0);
    p.Set(14, 1);
    p.Set(15, 0);
  }
  if (v < 547 && kind == 31) {
    p.Resize(16);
    p.Set(12, 0);
    p.Set(13, 0);
  }
  if (v < 556 && kind == CMD_MESSAGE) {
    p.Resize(19);
    p.Set(16, 1);
  }
  if (v < 722 && kind == CMD_STAGE_CLEAR && p.Get(0) > 1) p.Add(0, 1);
  if (v < 723 && kind == CMD_MESSAGE) {
    p.Resize(19);
    p.Set(17, 0);
  }
  if (v < 723 && kind == 31) {
    p.Resize(16);
    p.Set(14, 0);
  }
  if (v < 726 && kind == 37) {
    p.Resize(5);
    p.Set(0, 11);
  }
  if (v < 727 && kind == 37 && p.Get(0) == 11) {
    for (int32_t threshold : {1, 2, 3, 13, 14, 15, 16}) {
      if (p.Get(1) > threshold) p.Add(1, 1);
    }
  }
  if (v < 734 && kind > 23) {
    // A kind was inserted before the old kind 24.
    ++kind;
    m_cKind = static_cast<int8_t>(item ? kind - ITEMCMD_KIND_OFFSET : kind);
    if (kind == CMD_ARRANGE && p.Get(0) > 23) p.Add(0, 1);
  }
  // From here on the kinds are those of the current numbering.
  if (v < 747 && kind == CMD_SET_TARGET) {
    p.Resize(16);
    p.Set(10, 0);
    p.Set(11, 1);
    p.Set(14, 0);
  }
  if (v < 760 && kind == CMD_FLOW_CONTROL) {
    p.Resize(4);
    p.Set(3, 0);
  }
  if (v < 764 && kind == CMD_FLOW_CONTROL) MakeCondList(m_pConds);
  if (v < 767 && kind == CMD_TURN && p.Get(0) > 3) p.Add(0, 6);
  if (v < 767 && kind == CMD_WARP && m_pMove && StoredByte(m_pMove->m_cMode) > 1)
    m_pMove->m_cMode = static_cast<int8_t>(m_pMove->m_cMode + 3);
  if (v < 767 && kind == CMD_SET_TARGET) p.Insert(0, 0, 16);
  if (v < 767 && kind == CMD_STATUS) {
    if (p.Get(0) == 0 && p.Get(3) > 1) p.Add(3, 3);
    if (p.Get(6) == 2 && p.Get(12) > 1) p.Add(12, 3);
  }
  if (v < 767 && kind == CMD_STATUS2 && p.Get(0) > 1) p.Add(0, 3);
  if (v < 820 && kind == CMD_STATUS2) p.Resize(5);
  if (v < 879 && kind == CMD_PLAY_ANIME) {
    p.Resize(2);
    p.Set(1, 0);
  }
  if (v < 882 && kind == CMD_WARP && m_pMove) {
    m_pMove->m_cUseX = 1;
    m_pMove->m_cUseY = 1;
  }
  if (v < 882 && kind == CMD_STATUS) {
    p.Resize(22);
    p.Set(18, 0);
    p.Set(19, 0);
    ShiftStatusCodes(p, 5, 5, 2);
  }
  if (v < 891 && kind == CMD_MESSAGE) {
    p.Resize(19);
    if (p.Get(0) == 8) p.Add(0, 1);
  }
  if (v < 891 && kind == CMD_EFFECT) {
    p.Resize(9);
    if (p.Get(1) == 4) p.Add(1, 1);
  }
  if (v < 891 && kind == CMD_PICTURE) {
    p.Resize(16);
    if (p.Get(1) == 4) p.Add(1, 1);
  }
  if (v < 892 && kind == CMD_WARP && m_pMove) m_pMove->m_cYPoint = 2;
  if (v < 892 && kind == CMD_STATUS) {
    p.Resize(22);
    p.Set(20, 2);
    p.Set(21, 0);
  }
  if (v < 898 && kind == CMD_ARRANGE && p.Get(0) == 32 && p.Get(1) >= 0) p.Add(1, 1);
  if (v < 899 && kind == CMD_ARRANGE) {
    switch (p.Get(0)) {
      case 11:
        if (p.Get(1) >= 14) p.Add(1, 1);
        break;
      case 13:
      case 14:
      case 15:
      case 29:
        if (p.Get(1) >= 0) p.Add(1, 1);
        break;
      case 22:
        if (p.Get(1) >= 0) p.Add(1, 1);
        if (p.Get(1) >= 1) p.Add(1, 1);
        break;
      default: break;
    }
  }
}
