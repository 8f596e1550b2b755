// The running stage's sub-steps per frame and the auto-scroll speed an object riding an axis takes.
#pragma once

#include "data/stage_file.h"
#include "stage/scroll.h"

inline double SubSteps() { return g_Stage.m_dSubSteps; }

// An axis stopped at its scroll limit carries nothing.
inline double RideSpeed(const cScroll& axis) { return axis.m_bAtEdge ? 0.0 : axis.m_dAutoSpeed; }
