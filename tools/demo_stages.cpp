// The demo's first definitions and the stages of the first two map points (map characters: see
// demo_stage_kit.h).
#include <string>
#include <vector>

#include "data/flow_kinds.h"
#include "data/palette.h"
#include "data/stage.h"
#include "demo_project.h"
#include "demo_stage_kit.h"

namespace demo {
namespace {

cCharaDef Hero() {
  cCharaDef hero = Chara("主人公", GFX_HERO, 3,
                         {KeyFlow(KEY_LEFT, true, {Move(CMD_STRAIGHT_MOVE, DIR_LEFT, 30, 1)}),
                          KeyFlow(KEY_RIGHT, true, {Move(CMD_STRAIGHT_MOVE, DIR_RIGHT, 30, 1)}),
                          KeyFlow(KEY_BUTTON1, false, {Command(CMD_JUMP, {SOUND_JUMP, 0, 7})}),
                          KeyFlow(KEY_BUTTON2, false, {Shot(60, 1, SOUND_SHOT)})});
  hero.m_cController = 0;
  hero.m_cFixedFacing = 0;
  return hero;
}

}  // namespace

// The definitions every stage of the demo places from; the common palette holds them too.
cPalette Definitions() {
  cPalette p;
  p.m_Blocks.resize(BLK_COUNT);
  p.m_Blocks[BLK_GROUND] = Block("草地", 1, 1);
  p.m_Blocks[BLK_EARTH] = Block("土", 2, 1);
  p.m_Blocks[BLK_BRICK] = Block("レンガ", 3, 1);
  p.m_Blocks[BLK_PLATFORM] = Block("足場", 4, 1);
  p.m_Blocks[BLK_SPIKES] = Block("トゲ", 5, 2);
  p.m_Blocks[BLK_SPRING] = Block("ジャンプ台", 6, 1, 1, 12);
  p.m_Blocks[BLK_ROCK] = Block("岩", 7, 1);

  p.m_Charas.resize(CHR_COUNT);
  p.m_Charas[CHR_HERO] = Hero();
  // Walks and turns back at walls and ledges.
  p.m_Charas[CHR_SLIME] =
      Enemy("スライム", GFX_SLIME, 1, 100, {Flow(TRIG_ALWAYS, {Move(CMD_GROUND_TURN_MOVE, DIR_FORWARD, 10, 30)})});
  // Flies through the air, bobbing up and down.
  cCharaDef bird =
      Enemy("トリ", GFX_BIRD, 1, 200,
            {Flow(TRIG_ALWAYS, {Move(CMD_STRAIGHT_MOVE, DIR_UP, 10, 6), Move(CMD_STRAIGHT_MOVE, DIR_DOWN, 10, 6)})});
  bird.m_cFlight = 1;
  p.m_Charas[CHR_BIRD] = bird;
  // Marches on, turns at a wall, and throws a fireball now and then.
  p.m_Charas[CHR_KNIGHT] =
      Enemy("ナイト", GFX_KNIGHT, 3, 500,
            {Flow(TRIG_ALWAYS, {Move(CMD_STRAIGHT_MOVE, DIR_FORWARD, 8, 10)}),
             Flow(TRIG_BLOCK_SIDE, {Command(CMD_TURN)}), Flow(TRIG_ALWAYS, {Command(CMD_WAIT), Shot(40, 1, 0)})});
  p.m_Charas[CHR_KNIGHT].m_Flows[2].m_Cmds[0].m_sTime = 30;
  // Flows of one group run one at a time: the knight walks while it waits to throw.
  p.m_Charas[CHR_KNIGHT].m_Flows[0].m_cGroup = 1;

  p.m_Items.resize(ITM_COUNT);
  p.m_Items[ITM_COIN] = Item("コイン", GFX_COIN, SOUND_COIN);
  // Taking the star clears the stage and goes on to the next one of the series.
  p.m_Items[ITM_GOAL] = Item("ゴール", GFX_STAR, SOUND_COIN, {ClearCommand()});
  return p;
}

namespace {

const StageText STAGES[] = {
    {"data\\stg4\\demo1-1.stg4_001",
     "はじまりの草原",
     11 * 16 + 12,
     0,
     {
         "........................................",
         "........................................",
         "........................................",
         "........................................",
         "........................................",
         "........................................",
         "...................ccc..................",
         "...................===..................",
         "........................................",
         "..........ccc.............b.............",
         "..........===...........................",
         "............................ccc.......G.",
         ".H.....s..........K.........===.......B.",
         "##########....##S######.....############",
         "##########^^^^#########^^^^^############",
     },
     nullptr,
     true},
    {"data\\stg4\\demo1-2.stg4_001",
     "風の丘",
     11 * 16 + 10,
     300,
     {
         "............................................................",
         "............................................................",
         "............................................................",
         "............................................................",
         "..........................b.................................",
         "......................................ccc...................",
         "..............ccc.....................===.........b.........",
         "..............===...........................................",
         "..........................ccc...............................",
         ".........................=====.........................ccc..",
         "..........................................=====........===.G",
         "..............................s..................K.......B.B",
         ".H.....s...........K.....................s..........s....B.B",
         "########.....#####S####....################....#############",
         "########^^^^^##########^^^^################^^^^#############",
     },
     nullptr,
     true},
    {"data\\stg4\\demo2-1.stg4_001",
     "石の洞窟",
     14 * 16 + 2,
     300,
     {
         "RRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRR",
         "R..........................................................R",
         "R..........................................................R",
         "R..........................................................R",
         "R...........ccc.......................b....................R",
         "R...........BBB...................................ccc......R",
         "R.........................ccc.....................BBB......R",
         "R.........................BBB..............................R",
         "R.......................................BBBB...............R",
         "R..................BBB.....................................R",
         "R....................................K.....................R",
         "R.......s...........K......s.......BBBBBB.........s......G.R",
         "R.H.........BBB............................................R",
         "RRRRRRRRRRRRRRRRR^^^^RRRRRRRRRRRRRRRRRRRRRR^^^RRRRRRRSRRRRRR",
         "RRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRRR",
     },
     nullptr,
     true},
};

}  // namespace

bool WriteStages() {
  const cPalette defs = Definitions();
  g_CommonPalette = defs;
  bool ok = g_CommonPalette.SaveToFile("data\\CommonPalette.cplt4") != 0;
  for (const StageText& stage : STAGES) ok = ok && WriteStage(stage, defs);
  return ok && WriteMoreStages() && WriteChallengeStages();
}

}  // namespace demo
