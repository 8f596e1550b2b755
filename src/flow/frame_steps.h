// The sub-steps of one frame as the flow commands count them: a whole number, at least 1.
#pragma once

#include "data/stage_file.h"

inline int FrameSubSteps() { return g_Stage.m_nSubSteps > 0 ? g_Stage.m_nSubSteps : 1; }
