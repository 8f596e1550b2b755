#include "bench_stages.h"

#include <string>
#include <vector>

#include "data/chara_def.h"
#include "data/ed_move.h"
#include "data/ed_shot.h"
#include "data/flow.h"
#include "data/flow_command.h"
#include "data/flow_kinds.h"
#include "data/palette.h"
#include "stage/input.h"
#include "support/flow_builders.h"

namespace t4::bench {
namespace {

// Graphic numbers in the demo's sheets.
constexpr int16_t GFX_HERO = 1, GFX_SLIME = 2, GFX_BIRD = 3, GFX_KNIGHT = 4, GFX_FIREBALL = 1;
constexpr int16_t GFX_GROUND = 1, GFX_BRICK = 3, GFX_PLATFORM = 4;

using t4::test::Command;
using t4::test::Flow;
using t4::test::Move;

cFlowCommand Wait(int16_t tenths) {
  cFlowCommand cmd = Command(CMD_WAIT);
  cmd.m_sTime = tenths;
  return cmd;
}

// Fires one harmless shot each tenth of a second for `tenths`; each lives `life` tenths and passes
// through blocks, so the number alive stays steady.
cFlowCommand Shot(int16_t tenths, int16_t life, int dir) {
  cFlowCommand cmd = Command(CMD_SHOT);
  MakeEdShot(cmd.m_pShot);
  cEdShot& p = *cmd.m_pShot;
  p.m_cCount = 1;
  p.m_cDir = static_cast<int8_t>(dir);
  p.m_sGraphic = GFX_FIREBALL;
  p.m_sSpeed = 30;
  p.m_nPower = 0;
  p.m_cLifeOn = 1;
  p.m_sLife = life;
  p.PassBlocks() = 1;
  p.OutOfAreaOption() = 0;  // kept off screen too, for the whole of its life
  cmd.m_sTime = tenths;
  return cmd;
}

// Summons stage palette entry `index` each tenth of a second for `tenths`; the summoned
// character lives `lifetime` tenths.
cFlowCommand Summon(int16_t index, int16_t tenths, int16_t lifetime) {
  cFlowCommand cmd = Command(CMD_SUMMON_CHARA);
  MakeEdShot(cmd.m_pShot);
  cEdShot& p = *cmd.m_pShot;
  p.m_cCount = 1;
  p.m_cSummonPalette = 1;
  p.m_sSummonIndex = index;
  p.m_cLifeOn = 1;
  p.SummonLifetime() = lifetime;
  cmd.m_sTime = tenths;
  return cmd;
}

cCharaDef Chara(int16_t graphic, int8_t controller, std::vector<cFlow> flows) {
  cCharaDef c;
  c.m_Name = controller == 0 ? "hero" : "chara";
  c.m_sGraphicNo = graphic;
  c.m_cController = controller;
  c.m_nMaxHp = 999999;
  c.m_nPlaceExtra = -1;  // carries no item
  c.m_Flows.assign(flows.begin(), flows.end());
  return c;
}

cBlock Block(int16_t graphic) {
  cBlock b;
  b.m_sGraphicNo = graphic;
  b.m_cHit = 1;
  return b;
}

template <class T>
void Place(cSafeVector<T>& places, T def, int x, int y) {
  def.m_sBlockX = static_cast<int16_t>(x);
  def.m_sBlockY = static_cast<int16_t>(y);
  places.push_back(def);
}

cStage EmptyStage(int width, int height) {
  cStage stage;
  stage.m_strTitle = "bench";
  stage.m_nWidth = width;
  stage.m_nHeight = height;
  stage.m_nAreaWidth = width * 32;
  stage.m_nAreaHeight = height * 32;
  stage.m_nCollisionLevel = 1;
  return stage;
}

// A floor along the bottom with a ledge every 12 columns, so walkers turn and the map has
// blocks on every screen.
void Floor(cStage& stage) {
  const int bottom = stage.m_nHeight - 1;
  for (int x = 0; x < stage.m_nWidth; ++x) {
    Place(stage.m_BlockPlaces, Block(GFX_GROUND), x, bottom);
    if (x % 12 == 0) Place(stage.m_BlockPlaces, Block(GFX_BRICK), x, bottom - 1);
    if (x % 12 >= 4 && x % 12 < 8) Place(stage.m_BlockPlaces, Block(GFX_PLATFORM), x, bottom - 5);
  }
}

cCharaDef Hero() {
  cCharaDef hero = Chara(GFX_HERO, 0, {});
  hero.m_cFacing = 1;
  return hero;
}

cBackground Layer(const char* image, double ratio, int autoScroll) {
  cBackground bg;
  bg.SetDefault();
  bg.m_nVisible = 1;
  bg.m_strImage = image;
  bg.m_dRatioX = ratio;
  bg.m_dRatioY = ratio;
  bg.m_nAutoX = autoScroll;
  bg.m_dAutoSpeedX = 0.5 * autoScroll;
  return bg;
}

}  // namespace

namespace {

cStage CrowdStage(int charas) {
  cStage stage = EmptyStage(320, 60);
  // A picture behind everything and three see-through ones scrolling at their own rates.
  stage.m_Backgrounds.push_back(Layer("bmp\\Title.bmp", 0.25, 0));
  stage.m_Backgrounds.push_back(Layer("bmp\\WorldMapChip.bmp", 0.5, 1));
  stage.m_Backgrounds.push_back(Layer("bmp\\Block.bmp", 0.75, 0));
  stage.m_Backgrounds.push_back(Layer("bmp\\Item.bmp", 1.0, 1));
  Floor(stage);
  Place(stage.m_CharaPlaces, Hero(), 4, 57);

  // Walkers that turn at walls, fliers that bob, and knights that walk while they throw; all act
  // wherever they are.
  const cFlow walk = Flow(TRIG_ALWAYS, {Move(CMD_GROUND_TURN_MOVE, DIR_FORWARD, 10, 30)});
  const cFlow bob =
      Flow(TRIG_ALWAYS, {Move(CMD_STRAIGHT_MOVE, DIR_UP, 10, 6), Move(CMD_STRAIGHT_MOVE, DIR_DOWN, 10, 6)});
  const cFlow turn = Flow(TRIG_BLOCK_SIDE, {Command(CMD_TURN)});
  int placed = 0;
  for (int i = 0; placed < charas; ++i, ++placed) {
    // A third of them crowd the first two screens, where the hero starts, the rest spread over
    // the map.
    const bool near = placed < charas / 3;
    const int x = near ? 1 + (i * 7) % 38 : 2 + (i * 13) % 316;
    const int y = near ? 45 + (i * 5) % 12 : 10 + (i * 5) % 46;
    cCharaDef c;
    switch (i % 3) {
      case 0: c = Chara(GFX_SLIME, 1, {walk, Flow(TRIG_ALWAYS, {Shot(3, 5, DIR_FORWARD), Wait(1)}, 1)}); break;
      case 1:
        c = Chara(GFX_BIRD, 1, {bob, Flow(TRIG_ALWAYS, {Shot(3, 5, DIR_DOWN), Wait(1)}, 1)});
        c.m_cFlight = 1;
        break;
      default:
        c = Chara(GFX_KNIGHT, 1,
                  {Flow(TRIG_ALWAYS, {Move(CMD_STRAIGHT_MOVE, DIR_FORWARD, 8, 10)}), turn,
                   Flow(TRIG_ALWAYS, {Shot(3, 5, DIR_FORWARD), Wait(1)}, 1)});
        break;
    }
    // One activation group: once one of them is in view, all of them act, and keep acting.
    c.m_cInGroup = 1;
    c.m_sGroupNo = 1;
    c.m_cActiveMode = 1;
    c.m_cFacing = static_cast<int8_t>(i % 2);
    Place(stage.m_CharaPlaces, c, x, y);
  }
  return stage;
}

}  // namespace

cStage HeavyStage() { return CrowdStage(300); }

cStage CrowdedStage() { return CrowdStage(1000); }

cStage ChurnStage() {
  cStage stage = EmptyStage(40, 15);
  Floor(stage);
  Place(stage.m_CharaPlaces, Hero(), 2, 12);
  // Palette entry 0: a walker that lives two seconds.
  stage.m_Palette.m_Charas.push_back(
      Chara(GFX_SLIME, 1, {Flow(TRIG_ALWAYS, {Move(CMD_GROUND_TURN_MOVE, DIR_FORWARD, 20, 30)})}));
  // Palette entry 1: a bird that flies off and lives three.
  cCharaDef bird = Chara(GFX_BIRD, 1, {Flow(TRIG_ALWAYS, {Move(CMD_STRAIGHT_MOVE, DIR_FORWARD, 20, 30)})});
  bird.m_cFlight = 1;
  stage.m_Palette.m_Charas.push_back(bird);
  for (int i = 0; i < 8; ++i) {
    cCharaDef summoner =
        Chara(GFX_KNIGHT, 1,
              {Flow(TRIG_ALWAYS, {Summon(static_cast<int16_t>(i % 2), 1, static_cast<int16_t>(20 + 10 * (i % 2))),
                                  Wait(static_cast<int16_t>(3 + i % 3))})});
    summoner.m_cFlight = 1;
    summoner.m_cActiveMode = 1;
    summoner.m_cFacing = static_cast<int8_t>(i % 2);
    Place(stage.m_CharaPlaces, summoner, 3 + i * 4, 4 + i % 3);
  }
  return stage;
}

void PlayerInput(int frame, int16_t& dir, int16_t& buttons) {
  // Right for eight seconds, left for four, jumping every 40 frames; then the same again.
  const int t = frame % 720;
  dir = t < 480 ? INPUT_RIGHT : INPUT_LEFT;
  buttons = frame % 40 < 3 ? 1 : 0;
}

}  // namespace t4::bench
