// The numeric vocabulary of flows: command categories and kinds with their parameter counts,
// item-command kinds, flow triggers, condition kinds, comparison operators and value operations.
#pragma once

#include <cstdint>
#include <string>

#include "core/safe_containers.h"

// Command categories.
constexpr int CMDCAT_FLOW = 0;
constexpr int CMDCAT_ITEM = 1;

// Command kinds (category CMDCAT_FLOW).
enum CmdKind : int {
  CMD_NONE = 0,
  CMD_WAIT,
  CMD_STRAIGHT_MOVE,
  CMD_GROUND_TURN_MOVE,
  CMD_CIRCLE_MOVE,
  CMD_CHARGE_MOVE,
  CMD_HOMING_MOVE,
  CMD_SCREEN_AVOID_MOVE,
  CMD_STOP_MOVE,
  CMD_TURN,
  CMD_JUMP,
  CMD_SHOT,
  CMD_SWORD,
  CMD_SUMMON_BLOCK,
  CMD_SUMMON_CHARA,
  CMD_SUMMON_ITEM,
  CMD_FLOW_CONTROL,
  CMD_STAGE_CLEAR,
  CMD_GAME_WAIT,
  CMD_MESSAGE,
  CMD_WARP,
  CMD_SET_TARGET,
  CMD_STATUS,
  CMD_STATUS2,
  CMD_VANISH,
  CMD_GET_ITEM,
  CMD_CHANGE_GRAPHIC,
  CMD_CHANGE_ANIMESET,
  CMD_PLAY_ANIME,
  CMD_EFFECT,
  CMD_CHARA_EFFECT,
  CMD_SCREEN_EFFECT,
  CMD_PICTURE,
  CMD_SCREEN_COLOR,
  CMD_BACKGROUND,
  CMD_SOUND,
  CMD_BGM,
  CMD_CODE,
  CMD_ARRANGE,
  CMD_LOOP,
  CMD_KIND_COUNT
};

// Parameters of the jump command. The mode: 0 the height is fixed; 1 the jump rises while the keys
// of the flow's last key condition are held (heroes only); 2 the height follows the run-up speed
// (heroes only): the full height from the full speed up, the low height at the low speed and below.
// Speeds in 0.1 dot per frame, heights in half blocks.
enum : int { JP_MODE = 0, JP_FULL_SPEED = 1, JP_HEIGHT = 2, JP_LOW_SPEED = 3, JP_LOW_HEIGHT = 4 };

// Item-command kinds (category CMDCAT_ITEM): 0 empty, 1 change of flows, k = 2..24 is command
// kind k + 15.
constexpr int ITEMCMD_NONE = 0;
constexpr int ITEMCMD_CHANGE_FLOW = 1;
constexpr int ITEMCMD_KIND_OFFSET = 15;
constexpr int ITEMCMD_KIND_COUNT = 25;
// The arrange item command (it applies no pending arranges before itself).
constexpr int ITEMCMD_ARRANGE = CMD_ARRANGE - ITEMCMD_KIND_OFFSET;

// Flow triggers.
enum : int {
  TRIG_ALWAYS = 0,
  TRIG_DAMAGED_SETTING,
  TRIG_DAMAGED,
  TRIG_IMPACTED_SETTING,
  TRIG_IMPACTED,
  TRIG_DEATH,
  TRIG_HIT_CHARA,
  TRIG_HIT_BLOCK_CHARA,
  TRIG_ON_BLOCK_CHARA,
  TRIG_HIT_SHOT,
  TRIG_HIT_ITEM,
  TRIG_HIT_BLOCK,
  TRIG_BLOCK_SIDE,
  TRIG_BLOCK_LEFT,
  TRIG_BLOCK_RIGHT,
  TRIG_BLOCK_VERTICAL,
  TRIG_BLOCK_TOP,
  TRIG_BLOCK_BOTTOM,
  TRIG_RIDDEN_BY_HERO,
  TRIG_RIDDEN_BY_CHARA,
  TRIG_ATTACK_DAMAGE_SETTING,
  TRIG_ATTACK_DAMAGE,
  TRIG_ATTACK_IMPACT_SETTING,
  TRIG_ATTACK_IMPACT,
  TRIG_ATTACK_HIT,
  TRIG_BEFORE_STAGE_START,
  TRIG_NONE,
  TRIG_KIND_COUNT
};

// Condition kinds (0 is the empty entry and never holds).
enum : int {
  COND_COMMON_VAR = 1,
  COND_STAGE_VAR,
  COND_CHARA_VAR,
  COND_STATUS,
  COND_STATUS2,
  COND_STATUS3,
  COND_DISTANCE
};

// Comparison operators.
enum : int { CMP_EQ = 0, CMP_NE, CMP_GE, CMP_LE, CMP_GT, CMP_LT, CMP_DIVISIBLE, CMP_NOT_DIVISIBLE };

// Value operations.
enum : int { CALC_SET = 0, CALC_ADD, CALC_SUB, CALC_MUL, CALC_DIV, CALC_MOD, CALC_PERCENT };

// An editor text with a number: for the kind tables the number of int32 parameters.
class cNamedInt {
 public:
  cNamedInt(const char* name, int32_t value) : m_strName(name ? name : ""), m_nValue(value) {}
  std::string m_strName;
  int32_t m_nValue = 0;
};

extern const cSafeVector<cNamedInt> g_CmdKindTable;
extern const cSafeVector<cNamedInt> g_ItemCmdKindTable;

// Parameter count of a command kind of the category, or -1 for a kind outside the tables.
int GetCmdParamCount(int nCategory, int nKind);

// 1 when a op b holds, else 0 (any unknown operator: 0).
int CompareByOperator(int32_t a, int32_t b, int nOperator);

// base x percent / 100 rounded half away from zero: the exact product scaled by 0.01 in double,
// then value + 0.5 (value - 0.5 below zero) truncated. Shared by every percentage of the flows.
int64_t PercentRound(int64_t nBase, int64_t nPercent);

// Applies the value operation to *v, then clamps it to [nMin, nMax]. Division and modulo by 0
// leave *v as it is before the clamp; an overflowing product gives nMax or nMin.
void OperateValue(int32_t* v, int32_t nOperand, int nOperation, int32_t nMin, int32_t nMax);
