#include "stage/chara_items.h"

#include <array>

#include "core/report_log.h"
#include "core/sound_request.h"
#include "data/flow_command.h"
#include "stage/flow_hooks.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/item.h"
#include "stage/scene_play.h"

namespace {

std::array<ItemCmdHandler, ITEMCMD_KIND_COUNT> g_ItemCmdHandlers{};

}  // namespace

ItemCmdHandler SetItemCmdHandler(int kind, ItemCmdHandler handler) {
  if (kind < 0 || kind >= ITEMCMD_KIND_COUNT) return nullptr;
  const ItemCmdHandler previous = g_ItemCmdHandlers[static_cast<size_t>(kind)];
  g_ItemCmdHandlers[static_cast<size_t>(kind)] = handler;
  return previous;
}

int RunItemCmd(cCharaBase& chara, cFlowCommand& command) {
  const int kind = command.m_cKind;
  if (kind < 0 || kind >= ITEMCMD_KIND_COUNT) {
    DebugLogf("err item command kind %d", kind);
    return 0;
  }
  const ItemCmdHandler handler = g_ItemCmdHandlers[static_cast<size_t>(kind)];
  return handler ? handler(chara, command) : g_ItemCmdExecTable[kind](chara, command);
}

int cCharaBase::RunItemCommands(cSafeVector<cFlowCommand>& commands) {
  if (g_lpScenePlay) g_lpScenePlay->m_bItemMessage = 0;
  for (cFlowCommand& command : commands) {
    // Pending parameter changes go to the command after the arranges that queued them.
    if (command.m_cKind != ITEMCMD_ARRANGE) {
      if (auto* hero = dynamic_cast<cHero*>(this)) {
        ApplyItemArranges(command, *hero);
        hero->m_PendingArranges.clear();
      }
    }
    const int r = RunItemCmd(*this, command);
    if (m_nHp <= 0) return 2;
    if (r != 0) return r;
  }
  return m_nHp <= 0 ? 2 : 0;
}

int TakeItem(cItem* item, cHero* taker) {
  if (!item || !taker || item->m_Def.m_sGraphicNo == 0 || item->m_Def.m_cTakeMode == ITEM_TAKE_NEVER ||
      !item->m_bActive)
    return 0;
  const cItemDef& def = item->m_Def;
  if (def.m_cTakeNotice) ShowItemNotice(*taker, def.m_cGraphicKind, def.m_sGraphicNo, def.m_sGraphicOffset);
  PlayUserSound(def.m_sTakeSound);
  return taker->RunItemCommands(item->m_Def.m_Cmds);
}

int TakeItemFromDef(cHero& hero, cItemDef& def) {
  cItem item;
  item.Setup(0, def, 1);
  return TakeItem(&item, &hero);
}
