// Hooks of the stage code installed for one test: a recorder of the triggers fired with another
// character, and item-command handlers.
#pragma once

#include <vector>

#include "stage/chara_base.h"
#include "stage/chara_damage.h"
#include "stage/chara_items.h"

namespace t4::test {

struct FiredTrigger {
  const cCharaBase* chara;
  int kind;
  const cCharaBase* other;
  int flowId;
  bool operator==(const FiredTrigger&) const = default;
};

class TriggerRecorder {
 public:
  TriggerRecorder() {
    Log().clear();
    m_Previous = SetTriggerWithHandler(&Record);
  }
  ~TriggerRecorder() { SetTriggerWithHandler(m_Previous); }
  TriggerRecorder(const TriggerRecorder&) = delete;
  TriggerRecorder& operator=(const TriggerRecorder&) = delete;

  static std::vector<FiredTrigger>& Log() {
    static std::vector<FiredTrigger> log;
    return log;
  }
  // The kinds fired on `chara`, in order.
  static std::vector<int> KindsOf(const cCharaBase& chara) {
    std::vector<int> kinds;
    for (const FiredTrigger& t : Log())
      if (t.chara == &chara) kinds.push_back(t.kind);
    return kinds;
  }

 private:
  static void Record(cCharaBase& chara, int kind, cCharaBase* other, int flowId) {
    Log().push_back({&chara, kind, other, flowId});
  }
  TriggerWithHandler m_Previous = nullptr;
};

// Installs an item-command handler for one test.
class ScopedItemCmd {
 public:
  ScopedItemCmd(int kind, ItemCmdHandler handler) : m_nKind(kind), m_Previous(SetItemCmdHandler(kind, handler)) {}
  ~ScopedItemCmd() { SetItemCmdHandler(m_nKind, m_Previous); }
  ScopedItemCmd(const ScopedItemCmd&) = delete;
  ScopedItemCmd& operator=(const ScopedItemCmd&) = delete;

 private:
  int m_nKind;
  ItemCmdHandler m_Previous;
};

}  // namespace t4::test
