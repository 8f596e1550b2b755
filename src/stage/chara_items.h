// Taking items: the item commands run on the taker, the notice and the sound, and the table of
// item-command handlers.
#pragma once

#include <cstdint>

#include "data/flow_kinds.h"

class cCharaBase;
class cFlowCommand;
class cHero;
class cItem;
class cItemDef;

// Runs one item command on a character; 0 to go on, otherwise the value the run returns.
using ItemCmdHandler = int (*)(cCharaBase& chara, cFlowCommand& command);
// Installs a handler of item-command `kind` in place of the command code's own (null puts the
// command code's back); returns the one it replaces.
ItemCmdHandler SetItemCmdHandler(int kind, ItemCmdHandler handler);
// Runs the handler of the command's kind. A kind outside the table comes from bad data: it is
// logged and does nothing (0).
int RunItemCmd(cCharaBase& chara, cFlowCommand& command);

// The taker runs the item's commands after the notice and the sound: 0 nothing special, 2 the
// taker's HP reached 0, other values as the handlers return them. An empty (graphic 0), untakable
// or inactive item gives 0.
int TakeItem(cItem* item, cHero* taker);
// Builds a temporary item from `def` and has the main hero take it.
int TakeItemFromDef(cHero& hero, cItemDef& def);
// The picture of a taken item shown over the taker (a message window of the message code).
void ShowItemNotice(cHero& hero, int imageKind, int graphic, int column);
