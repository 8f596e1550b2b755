// The scenes of this build by scene type.
#pragma once

#include "stage/game.h"

// Null for a type whose scene is not part of this build.
cScene* CreateScene(int nType);
