// Starting a stage file at once as free play: the free-play dialog, the FreeStage setting and the
// editor's test play.
#pragma once

// 1 when the stage was loaded and the progress set up for it; 0 after the loader reported why not.
// `bCloseOnDamage` 0: a damaged file or one without a hero does not close the program (a file the
// player chose in the free-play dialog).
int StartStageFile(const char* path, int nResolve, int bCloseOnDamage = 1);
