// The pieces the demo's stages are made of: palette entries, command and flow makers, and the
// stage writer that turns rows of map characters into a stage file.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "data/palette.h"
#include "data/stage.h"
#include "support/flow_builders.h"

namespace demo {

// Stage palette entries (entry 0 of each list is the palette's empty entry). The entries from
// BLK_COUNT, CHR_COUNT and ITM_COUNT on exist only in the palette of the later stages.
enum : int { BLK_GROUND = 1, BLK_EARTH, BLK_BRICK, BLK_PLATFORM, BLK_SPIKES, BLK_SPRING, BLK_ROCK, BLK_COUNT };
enum : int {
  CHR_HERO = 1,
  CHR_SLIME,
  CHR_BIRD,
  CHR_KNIGHT,
  CHR_COUNT,
  CHR_LIFT_SIDE = CHR_COUNT,
  CHR_LIFT_UP,
  CHR_BOSS,
  CHR_HOPPER,
  CHR_MORE_COUNT
};
enum : int { ITM_COIN = 1, ITM_GOAL, ITM_COUNT, ITM_HEART = ITM_COUNT, ITM_SIGN, ITM_MORE_COUNT };

// Graphic numbers in the character sheet and the item sheet.
constexpr int16_t GFX_HERO = 1, GFX_SLIME = 2, GFX_BIRD = 3, GFX_KNIGHT = 4;
constexpr int16_t GFX_LIFT = 5, GFX_BOSS = 6, GFX_HOPPER = 8;
constexpr int16_t GFX_COIN = 1, GFX_HEART = 2, GFX_STAR = 3, GFX_SIGN = 4;
constexpr int16_t GFX_FIREBALL = 1;

// Input patterns of a key condition.
constexpr int KEY_LEFT = 1, KEY_RIGHT = 2, KEY_BUTTON1 = 11, KEY_BUTTON2 = 12;
// Facing of a placement.
constexpr int8_t FACE_LEFT = 0, FACE_RIGHT = 1;

cBlock Block(const char* name, int16_t graphic, int8_t hit, int8_t floorEffect = 0, int32_t floorValue = 0);
// Commands, movements and flows are made as the tests make theirs.
using t4::test::Command;
using t4::test::Flow;
using t4::test::Move;
cFlowCommand Shot(int16_t speed, int32_t power, int16_t sound);
// A flow that runs while the input pattern `key` is down (`repeat`) or once per press.
cFlow KeyFlow(int key, bool repeat, std::vector<cFlowCommand> cmds);
cCharaDef Chara(const char* name, int16_t graphic, int32_t hp, std::vector<cFlow> flows);
cCharaDef Enemy(const char* name, int16_t graphic, int32_t hp, int32_t score, std::vector<cFlow> flows);
cItemDef Item(const char* name, int16_t graphic, int16_t sound, std::vector<cFlowCommand> cmds = {});
// The item command that clears the stage.
cFlowCommand ClearCommand();

// The definitions of the first stages (demo_stages.cpp); the common palette holds them too.
cPalette Definitions();
// Those definitions and the entries the later stages add (demo_stages_more.cpp).
cPalette MoreDefinitions();

// A stage drawn as text, one character per block:
//   #  ground (grass where nothing stands on it, earth below)   B  brick   =  wooden platform
//   ^  spikes (deadly)   S  spring   R  cave rock
//   H  the hero   s  slime   b  bird   K  knight   c  coin   G  goal
// and, with MoreDefinitions only:
//   L  a lift that rides left and right   U  a lift that rides up and down   X  the boss
//   i  a signpost that speaks when the hero passes it   j  a hopping frog   h  a heart
struct StageText {
  const char* file;
  const char* title;
  int32_t backColour;
  int32_t timeLimit;  // seconds; 0: none
  std::vector<const char*> rows;
  // Last touches to the stage before it is saved (texts of signposts, scroll, ...).
  std::function<void(cStage&)> finish = nullptr;
  // The characters' placements keep the stored default, which hands them item placement 0 (the
  // first stages were made so); otherwise they carry no item.
  bool carryFirstItem = false;
};

bool WriteStage(const StageText& text, const cPalette& defs);

// The later stages of the world map and the challenge stages (demo_stages_more.cpp,
// demo_challenges.cpp).
bool WriteMoreStages();
bool WriteChallengeStages();

}  // namespace demo
