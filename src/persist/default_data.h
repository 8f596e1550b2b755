// Filling a missing data\ folder from the project's default\ folder at start-up.
#pragma once

#include "platform/win_types.h"

// 1 when data\ exists or was made from default\ (after the user agreed), 0 otherwise. The copy is
// made into a temporary folder beside data\ and renamed into place, so that a copy that fails
// half-way leaves no data\ folder behind.
int CreateDefaultData(HWND hOwner);
