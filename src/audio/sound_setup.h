// Start-up of the sound effects and the handler of the sound requests (WM_USER+5).
//
// The sound list's file names come from System.dat (the 17 system sounds) and from the database's
// Sound.dat records; this layer takes them as plain lists so that it does not depend on those
// records.
#pragma once

#include <string>
#include <vector>

#include "audio/sound_effects.h"
#include "platform/win_types.h"

// Sizes both lists to max(17, record count + 16) fresh entries: entries 0..16 take the system-sound
// names (missing names stay empty), entry i >= 17 the file of Sound.dat record i - 16 (record 0
// stands for "no sound" and is not loaded). Every entry gets 1 buffer, volume 0 and flag 1.
void BuildSoundInfoList(cSafeVector<DSSOUNDDATA>& sounds, cSafeVector<DSSOUNDINFO>& infos,
                        const std::vector<std::string>& systemSoundFiles,
                        const std::vector<std::string>& soundRecordFiles);

// The sound step of start-up: builds g_SoundList / g_SoundInfoList, starts the sound layer at
// 22050 Hz, 8 bits, mono (a failure is logged and the game goes on silent) and loads every sound at
// the volume step of the options' level (0..10; a level outside is taken as the nearest one).
void SetupSounds(HWND hWnd, const std::vector<std::string>& systemSoundFiles,
                 const std::vector<std::string>& soundRecordFiles, int nVolumeLevel);

// WM_USER+5: plays entry `id` of g_SoundList. A bad id takes the checked-access path (logged, the
// program is asked to close) and plays entry 0 meanwhile.
void PlaySoundListEntry(int id);
