// The demo's definitions and stages. The maps are drawn as text, one character per block:
//   #  ground (grass where nothing stands on it, earth below)   B  brick   =  wooden platform
//   ^  spikes (deadly)   S  spring   R  cave rock
//   H  the hero   s  slime   b  bird   K  knight   c  coin   G  goal
#include <cstdio>
#include <string>
#include <vector>

#include "data/flow_kinds.h"
#include "data/palette.h"
#include "data/stage.h"
#include "demo_project.h"

namespace demo {
namespace {

// Stage palette entries (entry 0 of each list is the palette's empty entry).
enum : int { BLK_GROUND = 1, BLK_EARTH, BLK_BRICK, BLK_PLATFORM, BLK_SPIKES, BLK_SPRING, BLK_ROCK, BLK_COUNT };
enum : int { CHR_HERO = 1, CHR_SLIME, CHR_BIRD, CHR_KNIGHT, CHR_COUNT };
enum : int { ITM_COIN = 1, ITM_GOAL, ITM_COUNT };

// Graphic numbers in the character sheet and the item sheet.
constexpr int16_t GFX_HERO = 1, GFX_SLIME = 2, GFX_BIRD = 3, GFX_KNIGHT = 4;
constexpr int16_t GFX_COIN = 1, GFX_STAR = 3;
constexpr int16_t GFX_FIREBALL = 1;

// Input patterns of a key condition.
constexpr int KEY_LEFT = 1, KEY_RIGHT = 2, KEY_BUTTON1 = 11, KEY_BUTTON2 = 12;
// Facing of a placement.
constexpr int8_t FACE_LEFT = 0, FACE_RIGHT = 1;

cBlock Block(const char* name, int16_t graphic, int8_t hit, int8_t floorEffect = 0, int32_t floorValue = 0) {
  cBlock b;
  b.m_strName = name;
  b.m_sGraphicNo = graphic;
  b.m_cHit = hit;
  b.m_cFloorEffect = floorEffect;
  b.m_nFloorValue = floorValue;
  return b;
}

cFlowCommand Command(int kind, std::vector<int32_t> params = {}) {
  cFlowCommand cmd;
  cmd.m_cCategory = CMDCAT_FLOW;
  cmd.m_cKind = static_cast<int8_t>(kind);
  params.resize(static_cast<size_t>(GetCmdParamCount(CMDCAT_FLOW, kind)), 0);
  cmd.m_Params.assign(params.begin(), params.end());
  return cmd;
}

// A movement in `dir` for `tenths` of a second at `speed` tenths of a dot per frame.
cFlowCommand Move(int kind, int dir, int16_t speed, int16_t tenths) {
  cFlowCommand cmd = Command(kind);
  MakeEdMove(cmd.m_pMove);
  cmd.m_pMove->m_cDir = static_cast<int8_t>(dir);
  cmd.m_pMove->m_sSpeed = speed;
  cmd.m_sTime = tenths;
  return cmd;
}

cFlowCommand Shot(int16_t speed, int32_t power, int16_t sound) {
  cFlowCommand cmd = Command(CMD_SHOT);
  MakeEdShot(cmd.m_pShot);
  cmd.m_pShot->m_cCount = 1;
  cmd.m_pShot->m_sGraphic = GFX_FIREBALL;
  cmd.m_pShot->m_sSpeed = speed;
  cmd.m_pShot->m_nPower = power;
  cmd.m_sSound = sound;
  cmd.m_sTime = 3;
  return cmd;
}

cFlow Flow(int trigger, std::vector<cFlowCommand> cmds) {
  cFlow flow;
  flow.m_cTrigger = static_cast<int8_t>(trigger);
  flow.m_Cmds.assign(cmds.begin(), cmds.end());
  return flow;
}

// A flow that runs while the input pattern `key` is down (`repeat`) or once per press.
cFlow KeyFlow(int key, bool repeat, std::vector<cFlowCommand> cmds) {
  cFlow flow = Flow(TRIG_ALWAYS, std::move(cmds));
  cKeyCond step;
  ResizeKeyList(step);
  step.m_Keys[static_cast<size_t>(key)] = 1;
  step.m_cAnyLength = 1;
  flow.m_KeyConds.push_back(step);
  flow.m_cKeyRepeat = repeat ? 1 : 0;
  return flow;
}

cCharaDef Chara(const char* name, int16_t graphic, int32_t hp, std::vector<cFlow> flows) {
  cCharaDef c;
  c.m_Name = name;
  c.m_sGraphicNo = graphic;
  c.m_nMaxHp = hp;
  c.m_Flows.assign(flows.begin(), flows.end());
  return c;
}

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

cCharaDef Enemy(const char* name, int16_t graphic, int32_t hp, int32_t score, std::vector<cFlow> flows) {
  cCharaDef c = Chara(name, graphic, hp, std::move(flows));
  c.m_nBodyPower = 1;
  c.m_nScore = score;
  return c;
}

cItemDef Item(const char* name, int16_t graphic, int16_t sound, std::vector<cFlowCommand> cmds = {}) {
  cItemDef item;
  item.m_Name = name;
  item.m_sGraphicNo = graphic;
  item.m_sTakeSound = sound;
  item.m_Cmds.assign(cmds.begin(), cmds.end());
  return item;
}

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
  p.m_Charas[CHR_SLIME] = Enemy("スライム", GFX_SLIME, 1, 100,
                                {Flow(TRIG_ALWAYS, {Move(CMD_GROUND_TURN_MOVE, DIR_FORWARD, 10, 30)})});
  // Flies through the air, bobbing up and down.
  cCharaDef bird = Enemy("トリ", GFX_BIRD, 1, 200,
                         {Flow(TRIG_ALWAYS, {Move(CMD_STRAIGHT_MOVE, DIR_UP, 10, 6),
                                             Move(CMD_STRAIGHT_MOVE, DIR_DOWN, 10, 6)})});
  bird.m_cFlight = 1;
  p.m_Charas[CHR_BIRD] = bird;
  // Marches on, turns at a wall, and throws a fireball now and then.
  p.m_Charas[CHR_KNIGHT] = Enemy("ナイト", GFX_KNIGHT, 3, 500,
                                 {Flow(TRIG_ALWAYS, {Move(CMD_STRAIGHT_MOVE, DIR_FORWARD, 8, 10)}),
                                  Flow(TRIG_BLOCK_SIDE, {Command(CMD_TURN)}),
                                  Flow(TRIG_ALWAYS, {Command(CMD_WAIT), Shot(40, 1, 0)})});
  p.m_Charas[CHR_KNIGHT].m_Flows[2].m_Cmds[0].m_sTime = 30;
  // Flows of one group run one at a time: the knight walks while it waits to throw.
  p.m_Charas[CHR_KNIGHT].m_Flows[0].m_cGroup = 1;

  cFlowCommand clear;
  clear.m_cCategory = CMDCAT_ITEM;
  clear.m_cKind = CMD_STAGE_CLEAR - ITEMCMD_KIND_OFFSET;
  clear.m_Params.resize(static_cast<size_t>(GetCmdParamCount(CMDCAT_ITEM, clear.m_cKind)), 0);
  p.m_Items.resize(ITM_COUNT);
  p.m_Items[ITM_COIN] = Item("コイン", GFX_COIN, SOUND_COIN);
  // Taking the star clears the stage and goes on to the next one of the series.
  p.m_Items[ITM_GOAL] = Item("ゴール", GFX_STAR, SOUND_COIN, {clear});
  return p;
}

struct StageText {
  const char* file;
  const char* title;
  int32_t backColour;
  int32_t timeLimit;  // 0: none
  std::vector<const char*> rows;
};

template <class T>
void Place(cSafeVector<T>& places, const T& def, int x, int y) {
  T placed = def;
  placed.m_sBlockX = static_cast<int16_t>(x);
  placed.m_sBlockY = static_cast<int16_t>(y);
  places.push_back(placed);
}

bool WriteStage(const StageText& text, const cPalette& defs) {
  cStage stage;
  stage.m_strTitle = text.title;
  stage.m_nHeight = static_cast<int32_t>(text.rows.size());
  stage.m_nWidth = static_cast<int32_t>(std::string(text.rows.at(0)).size());
  stage.m_nAreaWidth = stage.m_nWidth * 32;
  stage.m_nAreaHeight = stage.m_nHeight * 32;
  stage.m_nBgm = BGM_STAGE;
  stage.m_nBgmLoop = 1;
  stage.m_nShowStageCaption = 1;
  stage.m_nTimeLimitOn = text.timeLimit > 0 ? 1 : 0;
  if (text.timeLimit > 0) stage.m_nTimeLimit = text.timeLimit;
  stage.m_Palette = defs;
  cBackground sky;
  sky.SetDefault();
  sky.m_nFillOn = 1;
  sky.m_nFillColor = text.backColour;
  stage.m_Backgrounds.push_back(sky);

  for (int y = 0; y < stage.m_nHeight; ++y) {
    const std::string row = text.rows[static_cast<size_t>(y)];
    if (static_cast<int32_t>(row.size()) != stage.m_nWidth) {
      std::fprintf(stderr, "make_demo_project: row %d of %s has the wrong width\n", y, text.file);
      return false;
    }
    for (int x = 0; x < stage.m_nWidth; ++x) {
      const bool open = y == 0 || text.rows[static_cast<size_t>(y - 1)][x] != '#';
      switch (row[static_cast<size_t>(x)]) {
        case '#': Place(stage.m_BlockPlaces, defs.m_Blocks[open ? BLK_GROUND : BLK_EARTH], x, y); break;
        case 'B': Place(stage.m_BlockPlaces, defs.m_Blocks[BLK_BRICK], x, y); break;
        case '=': Place(stage.m_BlockPlaces, defs.m_Blocks[BLK_PLATFORM], x, y); break;
        case '^': Place(stage.m_BlockPlaces, defs.m_Blocks[BLK_SPIKES], x, y); break;
        case 'S': Place(stage.m_BlockPlaces, defs.m_Blocks[BLK_SPRING], x, y); break;
        case 'R': Place(stage.m_BlockPlaces, defs.m_Blocks[BLK_ROCK], x, y); break;
        case 'H': Place(stage.m_CharaPlaces, defs.m_Charas[CHR_HERO], x, y); break;
        case 's': Place(stage.m_CharaPlaces, defs.m_Charas[CHR_SLIME], x, y); break;
        case 'b': Place(stage.m_CharaPlaces, defs.m_Charas[CHR_BIRD], x, y); break;
        case 'K': Place(stage.m_CharaPlaces, defs.m_Charas[CHR_KNIGHT], x, y); break;
        case 'c': Place(stage.m_ItemPlaces, defs.m_Items[ITM_COIN], x, y); break;
        case 'G': Place(stage.m_ItemPlaces, defs.m_Items[ITM_GOAL], x, y); break;
        case '.': break;
        default:
          std::fprintf(stderr, "make_demo_project: unknown map character in %s\n", text.file);
          return false;
      }
    }
  }
  // The hero looks into the stage.
  stage.m_CharaPlaces.At(stage.FindPlayerPlacement()).m_cFacing = FACE_RIGHT;
  for (cCharaDef& c : stage.m_CharaPlaces)
    if (c.m_cController != 0) c.m_cFacing = FACE_LEFT;
  return stage.SaveToFile(text.file) != 0;
}

const StageText STAGES[] = {
    {"data\\stg4\\demo1-1.stg4_001", "はじまりの草原", 11 * 16 + 12, 0,
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
     }},
    {"data\\stg4\\demo1-2.stg4_001", "風の丘", 11 * 16 + 10, 300,
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
     }},
    {"data\\stg4\\demo2-1.stg4_001", "石の洞窟", 14 * 16 + 2, 300,
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
     }},
};

}  // namespace

bool WriteStages() {
  const cPalette defs = Definitions();
  g_CommonPalette = defs;
  bool ok = g_CommonPalette.SaveToFile("data\\CommonPalette.cplt4") != 0;
  for (const StageText& stage : STAGES) ok = ok && WriteStage(stage, defs);
  const struct {
    const char* file;
    const char* title;
    const StageText& map;
  } challenges[CHALLENGE_STAGE_COUNT] = {
      {"data\\stg4\\c01-1.stg4_001", "チャレンジ１　草原", STAGES[0]},
      {"data\\stg4\\c02-1.stg4_001", "チャレンジ２　洞窟", STAGES[2]},
  };
  for (const auto& c : challenges) {
    StageText text = c.map;
    text.file = c.file;
    text.title = c.title;
    ok = ok && WriteStage(text, defs);
  }
  return ok;
}

}  // namespace demo
