// The music requests (WM_USER+6) as the window thread serves them. The music list is a plain list
// of the database's Bgm.dat records as far as music needs them, so this layer does not depend on
// the records themselves.
#pragma once

#include <cstdint>
#include <string>

#include "audio/bgm.h"
#include "core/safe_containers.h"

// One Bgm.dat record: the music file (relative to the project folder) and its volume in percent.
struct BGMDEF {
  std::string strFile;
  int32_t nVolume = 100;
};

// Plays music `nNumber` of `music` in `nSlot`:
// - slots 0..3 (title, world map, challenge select, options; number and loop flag from System.dat's
//   scene music): number 0 stops the music; any other number sets the slot's file and plays it;
// - slot 4 (the stage; number and loop flag as the play scene asked): the slot's file is always
//   set, then number 0 stops the music and any other number plays it;
// - other slots are ignored.
// Every play is forced, so a repeated request restarts the song. A number outside the list takes
// the checked-access path and uses entry 0.
void PlayMusicRequest(cBgm& bgm, const cSafeVector<BGMDEF>& music, int nSlot, int nNumber, bool bLoop);
