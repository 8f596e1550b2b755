// The statuses that the status command, the status conditions and the expression language read
// and change: one row per character status and per system status, with each user's own limits.
#pragma once

#include <cstdint>

#include "flow/flow_stage.h"

// Dots per step of a sight range.
constexpr int32_t HBL_DOTS = 16;

// Character status kinds (the editor's numbering).
enum : int {
  CSTAT_VAR = 0,
  CSTAT_HP,
  CSTAT_SP,
  CSTAT_MAX_HP,
  CSTAT_MAX_SP,
  CSTAT_CHARA_ID,
  CSTAT_X,
  CSTAT_Y,
  CSTAT_Z,
  CSTAT_MARK,
  CSTAT_SIGHT,
  CSTAT_BODY_POWER,
  CSTAT_BODY_IMPACT,
  CSTAT_DEFENCE,
  CSTAT_IMPACT_RESIST,
  CSTAT_STOPPING,
  CSTAT_SCORE,
  CSTAT_COUNT
};

// System status kinds.
enum : int { SSTAT_TIME = 0, SSTAT_SCROLL_X, SSTAT_SCROLL_Y, SSTAT_SCORE, SSTAT_LIVES, SSTAT_COUNT };

// Field widths in bytes.
constexpr int32_t STATUS_WIDTH_BYTE = 1;
constexpr int32_t STATUS_WIDTH_SHORT = 2;
constexpr int32_t STATUS_WIDTH_INT = 4;

struct cStatusLimits {
  int32_t nMin = 0;
  int32_t nMax = 0;
};

struct cCharaStatusInfo {
  int32_t nWidth = STATUS_WIDTH_INT;
  cStatusLimits cond;  // range of a compared percentage (conditions)
  cStatusLimits cmd;   // limits of the status command
  cStatusLimits expr;  // assignment range of the expression language (HP and SP: up to the maximum)
};

struct cSystemStatusInfo {
  cStatusLimits limits;  // the same for the command, the conditions and the expressions
};

extern const cCharaStatusInfo g_CharaStatusTable[CSTAT_COUNT];
extern const cSystemStatusInfo g_SystemStatusTable[SSTAT_COUNT];

// Where a character status is stored: a field of the given width, or null for the positions,
// which are read and written through GetStatusX / SetStatusX and their Y twins. `nVar` is the
// variable number of CSTAT_VAR (a checked access; null when the character has no variables).
struct cStatusPlace {
  void* p = nullptr;
  int32_t nWidth = STATUS_WIDTH_INT;
};
cStatusPlace CharaStatusPlace(cFlowStage& stage, cCharaBase* c, int kind, int nVar);

// Reads a stored field of the given width, sign-extended.
int32_t ReadStatusPlace(const cStatusPlace& place);
// Writes a value that already fits the field.
void WriteStatusPlace(const cStatusPlace& place, int32_t value);

// The system statuses. SystemStatusPlace gives where the value is stored (lives: 999999 when
// unlimited; null for a kind outside the table); ReadSystemStatusOperand gives the value the rules
// compare and compute with (unlimited lives read 100, or 0 with the older-version switch; with
// `bRightSide` the time reads 0 while the stage has no time limit). A kind outside the table
// reads 0.
int32_t* SystemStatusPlace(cFlowStage& stage, int kind);
int32_t ReadSystemStatusOperand(cFlowStage& stage, int kind, bool bRightSide);
// After a change of a system status: the auto-scroll speeds are handed to their scroll axes.
void AfterSystemStatusChange(cFlowStage& stage, int kind);
