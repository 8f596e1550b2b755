// The three music back-ends behind cBgm. cBgm decides which one plays a slot's file; the players
// themselves (Ogg, the outside MIDI library, the program's own stream MIDI players) implement
// these interfaces. A back-end that is not installed counts as one that cannot play.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

// An Ogg slot: the file (relative to the project folder) and the volume in percent (100 = the
// file's own level).
struct BGMOGGSLOT {
  char szFile[MAX_PATH];
  int32_t nVolume;
};

// A MIDI slot; the reserved value is 0 in the tables and nothing reads it.
struct BGMMIDISLOT {
  char szFile[MAX_PATH];
  int32_t nReserved;
  int32_t nVolume;
};

// The Ogg player.
class cBgmOggBackend {
 public:
  virtual ~cBgmOggBackend() = default;
  // False when Ogg cannot be played at all (the player shows its own error).
  virtual bool Init() = 0;
  virtual bool SetChannels(int nChannels) = 0;
  // Stops the song that plays, then loads and starts the slot's file; false when it did not start.
  virtual bool Play(int nChannel, const BGMOGGSLOT* lpSlot, bool bLoop, int nVolume) = 0;
  virtual void Stop() = 0;
  virtual void Release() = 0;
};

// The outside MIDI library; when its Init fails the stream players take the MIDI music.
class cBgmGgsBackend {
 public:
  virtual ~cBgmGgsBackend() = default;
  virtual bool Init(bool bDirectMusic) = 0;
  virtual bool Play(int nId, const char* lpFile, bool bLoop, int nVolume) = 0;
  // Pauses (bPause) or stops the song that plays.
  virtual void Stop(bool bPause) = 0;
  virtual void Release() = 0;
};

// The program's own stream MIDI players, one per channel.
class cBgmMidiBackend {
 public:
  virtual ~cBgmMidiBackend() = default;
  // Sizes the player list to n channels (new channels without a player).
  virtual void SetChannels(int nChannels) = 0;
  virtual bool Play(int nChannel, const char* lpFile, bool bLoop) = 0;
  virtual void StopAll(bool bPause) = 0;
  // Deletes every player and empties the list.
  virtual void Clear() = 0;
};
