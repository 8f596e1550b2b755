// The stage kit of the demo builder: command and flow makers and the writer that turns rows of
// map characters into a stage file.
#include "demo_stage_kit.h"

#include <cstdio>
#include <string>

#include "data/flow_kinds.h"
#include "demo_project.h"

namespace demo {

cBlock Block(const char* name, int16_t graphic, int8_t hit, int8_t floorEffect, int32_t floorValue) {
  cBlock b;
  b.m_strName = name;
  b.m_sGraphicNo = graphic;
  b.m_cHit = hit;
  b.m_cFloorEffect = floorEffect;
  b.m_nFloorValue = floorValue;
  return b;
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

cCharaDef Enemy(const char* name, int16_t graphic, int32_t hp, int32_t score, std::vector<cFlow> flows) {
  cCharaDef c = Chara(name, graphic, hp, std::move(flows));
  c.m_nBodyPower = 1;
  c.m_nScore = score;
  return c;
}

cItemDef Item(const char* name, int16_t graphic, int16_t sound, std::vector<cFlowCommand> cmds) {
  cItemDef item;
  item.m_Name = name;
  item.m_sGraphicNo = graphic;
  item.m_sTakeSound = sound;
  item.m_Cmds.assign(cmds.begin(), cmds.end());
  return item;
}

cFlowCommand ClearCommand() {
  cFlowCommand clear;
  clear.m_cCategory = CMDCAT_ITEM;
  clear.m_cKind = CMD_STAGE_CLEAR - ITEMCMD_KIND_OFFSET;
  clear.m_Params.resize(static_cast<size_t>(GetCmdParamCount(CMDCAT_ITEM, clear.m_cKind)), 0);
  return clear;
}

namespace {

constexpr int32_t NO_CARRIED_ITEM = -1;

template <class T>
void Place(cSafeVector<T>& places, const T& def, int x, int y) {
  T placed = def;
  placed.m_sBlockX = static_cast<int16_t>(x);
  placed.m_sBlockY = static_cast<int16_t>(y);
  places.push_back(placed);
}

// The later stages' entries, which the first palette does not have.
template <class T>
bool PlaceMore(cSafeVector<T>& places, const cSafeVector<T>& defs, int index, int x, int y) {
  if (static_cast<size_t>(index) >= defs.size()) return false;
  Place(places, defs[static_cast<size_t>(index)], x, y);
  return true;
}

}  // namespace

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
      bool ok = true;
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
        case 'L': ok = PlaceMore(stage.m_CharaPlaces, defs.m_Charas, CHR_LIFT_SIDE, x, y); break;
        case 'U': ok = PlaceMore(stage.m_CharaPlaces, defs.m_Charas, CHR_LIFT_UP, x, y); break;
        case 'X': ok = PlaceMore(stage.m_CharaPlaces, defs.m_Charas, CHR_BOSS, x, y); break;
        case 'i': ok = PlaceMore(stage.m_ItemPlaces, defs.m_Items, ITM_SIGN, x, y); break;
        case 'j': ok = PlaceMore(stage.m_CharaPlaces, defs.m_Charas, CHR_HOPPER, x, y); break;
        case 'h': ok = PlaceMore(stage.m_ItemPlaces, defs.m_Items, ITM_HEART, x, y); break;
        case '.': break;
        default: ok = false; break;
      }
      if (!ok) {
        std::fprintf(stderr, "make_demo_project: unknown map character in %s\n", text.file);
        return false;
      }
    }
  }
  // The hero looks into the stage.
  stage.m_CharaPlaces.At(stage.FindPlayerPlacement()).m_cFacing = FACE_RIGHT;
  for (cCharaDef& c : stage.m_CharaPlaces)
    if (c.m_cController != 0) c.m_cFacing = FACE_LEFT;
  if (!text.carryFirstItem)
    for (cCharaDef& c : stage.m_CharaPlaces) c.m_nPlaceExtra = NO_CARRIED_ITEM;
  if (text.finish) text.finish(stage);
  return stage.SaveToFile(text.file) != 0;
}

}  // namespace demo
