// Sound effects: every sound the game plays is one entry of g_SoundList (ids 0-16 the system
// sounds, id n + 16 database sound n), made once from a PCM WAV file into one or more static
// buffers of the mixer. A play restarts the entry's next buffer from the beginning, so n buffers
// give n overlapping plays in turn. Without a sound device every operation succeeds silently.
//
// DS_Play runs on the window thread and on the game thread, DS_SetVolume on the game thread:
// all operations are serialised by one lock.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/safe_containers.h"
#include "platform/audio/mixer.h"
#include "platform/audio/wave_format.h"
#include "platform/win_types.h"

using WAVEFORMATEX = t4::platform::WAVEFORMATEX;
using SOUNDBUFFER = t4::platform::SoundBufferId;

// Play flag: repeat until stopped (the game always plays once).
constexpr DWORD DSBPLAY_LOOPING = 0x00000001;

// The options' sound volume levels 0..10, in hundredths of a decibel.
constexpr int SE_VOLUME_LEVEL_COUNT = 11;
constexpr int32_t SE_VOLUME_STEPS[SE_VOLUME_LEVEL_COUNT] = {-10000, -3000, -2000, -1300, -800, -500,
                                                            -300,   -150,  -80,   -30,   0};

// One playable sound.
struct DSSOUNDDATA {
  char szFile[MAX_PATH] = {};
  std::vector<SOUNDBUFFER> Buffers;  // empty: not created
  int32_t nBufferCount = 0;
  int32_t nNext = 0;  // the buffer the next play uses
};

// One sound definition, parallel to the sound list.
struct DSSOUNDINFO {
  char szFile[MAX_PATH] = {};  // WAV path relative to the project folder
  int32_t nBufferCount = 0;
  int32_t nVolume = 0;  // hundredths of a decibel; 0 leaves the buffers at full volume
  int32_t nFlag = 0;
};

// A decoded WAV file, alive while one buffer is made from it.
struct DSWAVEDATA {
  WAVEFORMATEX Format;
  uint32_t nFormatBytes = 0;  // declared size of the file's "fmt " chunk
  std::vector<BYTE> Samples;
};

extern cSafeVector<DSSOUNDDATA> g_SoundList;
extern cSafeVector<DSSOUNDINFO> g_SoundInfoList;

bool DS_Init(HWND hWnd, int nRate, int nBits, int nChannels);
// The device enumeration callback of DS_Init: notes a device that has both an id and a
// description (the default entry has no id). Always goes on.
bool DS_EnumProc(const int32_t* lpId, const char* lpDescription, const char* lpModule, void* lpContext);
bool DS_ReadWave(const char* lpFile, DSWAVEDATA* lpWave);
void DS_FreeWave(DSWAVEDATA* lpWave);
bool DS_CreateBuffer(SOUNDBUFFER* lpBuffer, const char* lpFile);
bool DS_DuplicateBuffer(SOUNDBUFFER* lpBuffer, SOUNDBUFFER source);
bool DS_CreateSound(DSSOUNDDATA* lpSound, const char* lpFile, int nCount, int nVolume);
int DS_LoadSounds(cSafeVector<DSSOUNDDATA>& sounds, cSafeVector<DSSOUNDINFO>& infos, int nVolume);
void DS_Play(DSSOUNDDATA* lpSound, DWORD dwFlags);
int DS_SetVolume(DSSOUNDDATA* lpSound, int nBuffer, int nVolume, bool bRelative);
int DS_GetVolume(DSSOUNDDATA* lpSound, int nBuffer);
void DS_ReleaseSound(DSSOUNDDATA* lpSound);
void DS_Release();

// Music players mix into the same device as the sound effects. False (not added) without a sound
// device; DS_Release drops every stream.
bool DS_AddStream(std::shared_ptr<t4::platform::MixerStream> stream);
// True while there is a sound device to add streams to.
bool DS_HasOutput();
void DS_RemoveStream(const t4::platform::MixerStream* stream);
