// Surfaces owned by the scenes and the stage rather than by the fixed image table: each container
// of surface records has a parallel container of load records. Filled with DDAddSurface,
// DDAddSurfaceToList, DDInsertSurfaceToList and DDCreateSurfaceFromFile; emptied here.
#pragma once

#include <list>
#include <vector>

#include "gfx/dd.h"

extern std::vector<DDSURFACEDATA> Off_CharaExc;
extern std::vector<IMAGESLOT> g_CharaExcSlots;
extern std::vector<DDSURFACEDATA> Off_Sword;
extern std::vector<IMAGESLOT> g_SwordSlots;
// Two surfaces per Effect.dat definition n: the image at 2n - 2, its stretch twin at 2n - 1.
extern std::vector<DDSURFACEDATA> Off_Effect;
extern std::vector<IMAGESLOT> g_EffectSlots;
// The menu scenes' pictures.
extern std::vector<DDSURFACEDATA> Off_Scene;
extern std::vector<IMAGESLOT> g_SceneSlots;
// Index-parallel to the play scene's picture list.
extern std::list<DDSURFACEDATA> Off_Picture;
extern std::list<IMAGESLOT> g_PictureSlots;
extern std::list<DDSURFACEDATA> Off_Msg;
extern std::list<IMAGESLOT> g_MsgSlots;

// Releases every surface of the pair and empties both containers.
void DDReleaseSurfacePair(std::vector<DDSURFACEDATA>& surfaces, std::vector<IMAGESLOT>& slots);
void DDReleaseSurfacePair(std::list<DDSURFACEDATA>& surfaces, std::list<IMAGESLOT>& slots);
// Every pair above, at exit.
void ReleaseSceneSurfaces();

// Blit mode, after DDRestore: restores the lost surfaces of the pairs in the order
// Off_CharaExc, Off_Effect, Off_Sword, Off_Picture, Off_Scene, Off_Msg, stopping with 0 at the
// first picture that cannot be reloaded; then redraws the lost digit strips from their fonts.
int RestoreSceneSurfaces();
