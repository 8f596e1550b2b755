// Stage files: the stage record's stored form with its lists and end marker, the integrity check,
// and the loader that reads a stage on the stage-load thread while the caller keeps pumping its
// messages.
#pragma once

#include <cstdint>

#include "data/chara_def.h"
#include "data/stage.h"

// The last int32 of every stage file from version 173 on.
constexpr int32_t STAGE_END_MARKER = 123456789;
// Files of this version and later are checked for the end marker before they are read.
constexpr int32_t STAGE_MARKER_CHECK_VERSION = 174;
// Stage files are named "<name>.stg4_NNN"; the loader takes the highest number.
constexpr const char* STAGE_FILE_EXT = "stg4";

// The stage as loaded and played, and the copy of its settings made by the loader.
extern cStage g_Stage;
extern cStage g_StageSettings;
// A copy of the player placement's definition, made by the loader.
extern cCharaDef g_PlayerCharaDef;

// 1 when the file may be loaded; 0 after reporting a file of version 174 or later that does not
// end with the end marker (the main window is then asked to close, unless `bCloseOnDamage` is 0).
int CheckStageFile(const char* path, int bCloseOnDamage = 1);
// Loads a stage into g_Stage; 1 on success, 0 on any failure (reported, except a missing
// numbered file and a WM_QUIT that arrives while loading). A damaged file or one without a hero
// closes the program, except for a file the player picked himself (`bCloseOnDamage` 0): he is
// told and may pick another.
int LoadStageInGame(const char* name, int resolveNumbered, cStage* settingsOut, cCharaDef* playerOut,
                    int bCloseOnDamage = 1);
// Body of thStageLoad: reads g_Stage from its m_strPath.
unsigned StageLoadThreadProc(void* param);
