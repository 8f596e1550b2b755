// The definitions the later stages add (lifts, the boss, signposts, frogs, hearts) and the stages
// of the third and fourth map points.
#include <functional>
#include <string>
#include <vector>

#include "data/flow_kinds.h"
#include "demo_project.h"
#include "demo_stage_kit.h"

namespace demo {
namespace {

constexpr int8_t ENEMY_FACTION = 2;

// A message in a box over the speaker for `tenths` of a second, not holding up the game; one
// with the same ID replaces it in place.
cFlowCommand Say(const char* text, int32_t id, int32_t tenths) {
  cFlowCommand say = Command(CMD_MESSAGE);
  say.m_Params[0] = 1;       // above the speaker
  say.m_Params[5] = 1;       // kept inside the screen
  say.m_Params[6] = 2;       // timed
  say.m_Params[7] = tenths;  //
  say.m_Params[12] = 1;      // has an ID
  say.m_Params[13] = id;
  say.m_Params[14] = 1;  // in a box
  say.m_strText = text;
  return say;
}

// The status command that adds `amount` to the taker's HP (item command 7).
cFlowCommand AddHp(int32_t amount) {
  cFlowCommand heal;
  heal.m_cCategory = CMDCAT_ITEM;
  heal.m_cKind = CMD_STATUS - ITEMCMD_KIND_OFFSET;
  heal.m_Params.resize(static_cast<size_t>(GetCmdParamCount(CMDCAT_ITEM, heal.m_cKind)), 0);
  heal.m_Params[4] = 1;  // HP
  heal.m_Params[5] = CALC_ADD;
  heal.m_Params[7] = amount;
  return heal;
}

cFlowCommand Wait(int16_t tenths) {
  cFlowCommand wait = Command(CMD_WAIT);
  wait.m_sTime = tenths;
  return wait;
}

// A platform that carries the hero six blocks and back, resting a second at each end so that
// there is time to step on and off: a flying block character that nothing hurts.
cCharaDef Lift(int dirThere, int dirBack) {
  cCharaDef lift = Chara("リフト", GFX_LIFT, 1,
                         {Flow(TRIG_ALWAYS, {Move(CMD_STRAIGHT_MOVE, dirThere, 16, 20), Wait(10),
                                             Move(CMD_STRAIGHT_MOVE, dirBack, 16, 20), Wait(10)})});
  lift.m_cFlight = 1;
  lift.m_cBlockChara = 1;
  lift.m_cInvincible = 1;
  lift.m_cFixedFacing = 1;
  lift.m_cLayer = ENEMY_FACTION;
  // The whole cell is solid, so that the hero can stand on its plank.
  lift.m_cBodyBox = 3;
  return lift;
}

cCharaDef Boss() {
  cCharaDef boss = Enemy(
      "魔王", GFX_BOSS, 20, 5000,
      {// Paces the hall and turns at its walls.
       Flow(TRIG_ALWAYS, {Move(CMD_STRAIGHT_MOVE, DIR_FORWARD, 15, 10)}), Flow(TRIG_BLOCK_SIDE, {Command(CMD_TURN)}),
       // Every two seconds a hop and a fireball.
       Flow(TRIG_ALWAYS, {Wait(20), Command(CMD_JUMP, {0, 0, 6}), Shot(50, 1, SOUND_SHOT)}),
       // A word when the fight begins, once.
       Flow(TRIG_ALWAYS, {Say("よくぞ来た！ 勝負だ！", 1, 30), Command(CMD_FLOW_CONTROL, {5, 0})}),
       // Beaten, it gives the stage to the hero.
       Flow(TRIG_DEATH, {Command(CMD_STAGE_CLEAR)})});
  boss.m_Flows[0].m_cGroup = 1;
  boss.m_cLayer = ENEMY_FACTION;
  boss.m_cFixedFacing = 0;
  return boss;
}

}  // namespace

cPalette MoreDefinitions() {
  cPalette p = Definitions();
  p.m_Charas.resize(CHR_MORE_COUNT);
  // The hero and the others stand in different factions, so that they touch and shoot each other.
  for (int i = CHR_SLIME; i < CHR_COUNT; ++i) p.m_Charas[static_cast<size_t>(i)].m_cLayer = ENEMY_FACTION;
  p.m_Charas[CHR_LIFT_SIDE] = Lift(DIR_RIGHT, DIR_LEFT);
  p.m_Charas[CHR_LIFT_UP] = Lift(DIR_UP, DIR_DOWN);
  p.m_Charas[CHR_BOSS] = Boss();
  // Sits, then leaps high.
  p.m_Charas[CHR_HOPPER] =
      Enemy("カエル", GFX_HOPPER, 2, 300, {Flow(TRIG_ALWAYS, {Wait(15), Command(CMD_JUMP, {SOUND_JUMP, 0, 8})})});
  p.m_Charas[CHR_HOPPER].m_cLayer = ENEMY_FACTION;

  p.m_Items.resize(ITM_MORE_COUNT);
  p.m_Items[ITM_HEART] = Item("ハート", GFX_HEART, SOUND_COIN, {AddHp(1)});
  // Speaks each time the hero passes it, and stays; each stage gives its signposts their words.
  cItemDef sign = Item("立て札", GFX_SIGN, 0, {Say("", 2, 30)});
  sign.m_Cmds.At(0).m_cCategory = CMDCAT_ITEM;
  sign.m_Cmds.At(0).m_cKind = CMD_MESSAGE - ITEMCMD_KIND_OFFSET;
  sign.m_cTakeMode = 1;
  sign.m_cTakeNotice = 0;
  p.m_Items[ITM_SIGN] = sign;
  return p;
}

namespace {

// Gives the signposts of a stage their words, in the order they stand in the rows.
std::function<void(cStage&)> Signs(std::vector<const char*> texts, int32_t bgm) {
  return [texts, bgm](cStage& stage) {
    stage.m_nBgm = bgm;
    size_t next = 0;
    for (cItemDef& item : stage.m_ItemPlaces)
      if (item.m_sGraphicNo == GFX_SIGN && next < texts.size()) item.m_Cmds.At(0).m_strText = texts[next++];
  };
}

// clang-format off
const StageText MORE_STAGES[] = {
    {"data\\stg4\\demo3-1.stg4_001", "雲の上の庭", 11 * 16 + 13, 200,
     {
         "............................................................",
         "............................................................",
         "............................................................",
         "............................................................",
         "............................................................",
         "............................................................",
         "............................................................",
         "............................................................",
         "..............................b........BBB...ccc............",
         "............ccc....ccc.................BBB...===............",
         "...................===.......ccc.......BBB..................",
         ".......................................BBB..................",
         ".H..i.................j............h...BBB......K....j....G.",
         "##########L......##########L......####UBBB##################",
         "##########^^^^^^^##########^^^^^^^####^BBB##################",
     },
     Signs({"リフトに乗って谷をこえよう！"}, BGM_FIELD)},
    {"data\\stg4\\demo4-1.stg4_001", "魔王の城", 14 * 16 + 1, 300,
     {
         "BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB",
         "B..........................................................B",
         "B..........................................................B",
         "B..........................................................B",
         "B..........................................................B",
         "B..........................................................B",
         "B..........................................................B",
         "B.................................h........................B",
         "B...............................BBBBBB.....................B",
         "B..............ccc....ccc.......BBBBBB......==.......==....B",
         "B.....................===.......BBBBBB.....................B",
         "B...............................BBBBBB.....................B",
         "B.H..i...s...............K..j...BBBBBB..............X......B",
         "BBBBBBBBBBBBBL......BBBBBBBBBBBUBBBBBBBBBBBBBBBBBBBBBBBBBBBB",
         "BBBBBBBBBBBBB^^^^^^^BBBBBBBBBBB^BBBBBBBBBBBBBBBBBBBBBBBBBBBB",
     },
     Signs({"この先に魔王がいる。ショットで倒せ！"}, BGM_CASTLE)},
};
// clang-format on

}  // namespace

bool WriteMoreStages() {
  const cPalette defs = MoreDefinitions();
  bool ok = true;
  for (const StageText& stage : MORE_STAGES) ok = ok && WriteStage(stage, defs);
  return ok;
}

}  // namespace demo
