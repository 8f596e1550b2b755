// Character positions in the three coordinate systems of the status operations: relative to a
// viewer (0), absolute in the stage (1) and on the screen (2).
#pragma once

#include <cstdint>

#include "flow/flow_stage.h"

constexpr int POS_MODE_RELATIVE = 0;
constexpr int POS_MODE_ABSOLUTE = 1;
constexpr int POS_MODE_SCREEN = 2;

// Y points: the centre, the bottom centre, or the bottom centre only while walking.
constexpr int Y_POINT_CENTRE = 0;
constexpr int Y_POINT_FOOT = 1;
constexpr int Y_POINT_FOOT_WHEN_WALKING = 2;

// 1 and *out set on success; 0 for a null character, or a null viewer in the relative mode.
// Other modes succeed without writing *out.
int GetStatusX(cFlowStage& stage, int32_t* out, cCharaBase* c, int mode, cCharaBase* viewer);
int GetStatusY(cFlowStage& stage, int32_t* out, cCharaBase* c, int mode, int point, cCharaBase* viewer);

// Moves the character there through the warp command's body (value clamped to +-16384).
void SetStatusX(cFlowStage& stage, int32_t value, cCharaBase* c, int mode);
void SetStatusY(cFlowStage& stage, int32_t value, cCharaBase* c, int mode, int point);
