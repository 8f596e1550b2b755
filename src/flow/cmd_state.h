// The commands that change state at once: state flags, removal of characters and shots, taking an
// item, the graphic and the animations, expression code, parameter arranges and the loop marker.
// Each body is shared by the flow command and by its item-command twin.
#pragma once

#include <cstdint>

class cCharaBase;
class cFlowCommand;
class cFlowCommandState;

// Flags of the second status command (p1).
enum : int {
  STATUS2_VANISH = 0,
  STATUS2_TRANSPARENT,
  STATUS2_FIXED_FACING,
  STATUS2_FLIGHT,
  STATUS2_INVINCIBLE,
  STATUS2_GIANT,
  STATUS2_SCROLL_SYNC
};

// Removal rules of the vanish command (p0).
enum : int {
  VANISH_GROUP_CHARAS = 0,
  VANISH_GROUP_SHOTS,
  VANISH_DESCENDANTS,
  VANISH_OWN_SHOTS,
  VANISH_ALL_OF_LINE,
  VANISH_DESCENDANTS_AND_SHOTS
};

// The sizes the editor offers for the giant flag.
constexpr int GIANT_SCALE_MIN = 1;
constexpr int GIANT_SCALE_MAX = 10;
// Summons of summons are followed this deep.
constexpr int VANISH_DEPTH_LIMIT = 1000;

void ExecStatus2(cCharaBase* c, cFlowCommand* cmd);
void ExecVanish(cCharaBase* c, cFlowCommand* cmd);
// The item list's result becomes the scene's end request unless it is 0: a stage clear or a death
// asked for earlier in the sub-step stays asked for.
void ExecGetItem(cCharaBase* c, cFlowCommand* cmd);
void ExecChangeGraphic(cCharaBase* c, cFlowCommand* cmd);
void ExecChangeAnimeSet(cCharaBase* c, cFlowCommand* cmd);
void ExecPlayAnime(cCharaBase* c, cFlowCommand* cmd);
// The result of the code run: 1 done, 0 a script error (already shown).
int ExecCode(cCharaBase* c, cFlowCommand* cmd);
// Queues the command's five values: an item command's on the main hero, a flow command's on the
// running flow.
void ExecArrange(cCharaBase* c, cFlowCommand* cmd);

// A removed character: the enemy side leaves without the death routine, the hero side dies the
// ordinary way through its HP. The HP check is asked for unless it is the executing character.
void MarkVanished(cCharaBase& o, const cCharaBase* executing);
// Marks every summon of `x` (and theirs, deepest first) for removal; with `alsoShots` their shots
// go too.
void VanishDescendants(cCharaBase* x, int depth, int alsoShots);
// Removes the shots and swords `x` fired (while the contact pass runs they are only flagged).
void VanishOwnShots(cCharaBase* x);

// Execution handlers of the flow commands.
void CmdStatus2(cCharaBase* c, cFlowCommandState* s);
void CmdVanish(cCharaBase* c, cFlowCommandState* s);
void CmdGetItem(cCharaBase* c, cFlowCommandState* s);
void CmdChangeGraphic(cCharaBase* c, cFlowCommandState* s);
void CmdChangeAnimeSet(cCharaBase* c, cFlowCommandState* s);
void CmdPlayAnime(cCharaBase* c, cFlowCommandState* s);
void CmdCode(cCharaBase* c, cFlowCommandState* s);
void CmdArrange(cCharaBase* c, cFlowCommandState* s);
void CmdLoop(cCharaBase* c, cFlowCommandState* s);
