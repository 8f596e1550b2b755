// cBgm, the background-music manager: one slot per scene that has music, each with the file to
// play and its format, and the choice of back-end for every request. The window thread and the
// game thread both call it, so every operation is serialised.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "audio/bgm_backend.h"
#include "core/safe_containers.h"

// The kind of a slot's file.
using BGMKIND = int32_t;
constexpr BGMKIND BGMKIND_UNKNOWN = 0;  // no or another extension: try Ogg, then MIDI
constexpr BGMKIND BGMKIND_OGG = 1;
constexpr BGMKIND BGMKIND_MIDI = 2;

constexpr int BGM_SLOT_TITLE = 0;
constexpr int BGM_SLOT_WORLDMAP = 1;  // the world map and its menu
constexpr int BGM_SLOT_CHALLENGE = 2;
constexpr int BGM_SLOT_OPTION = 3;
constexpr int BGM_SLOT_STAGE = 4;
constexpr int BGM_SLOT_COUNT = 5;

class cBgm {
 public:
  cBgm();
  ~cBgm();
  cBgm(const cBgm&) = delete;
  cBgm& operator=(const cBgm&) = delete;

  // Installs the players (done once at start-up, before Init). A null one cannot play.
  void SetBackends(std::unique_ptr<cBgmOggBackend> lpOgg, std::unique_ptr<cBgmGgsBackend> lpGgs,
                   std::unique_ptr<cBgmMidiBackend> lpMidi);

  bool Init(int nChannels, BGMOGGSLOT* lpOggTable, BGMMIDISLOT* lpMidiTable, int nSlots, bool bDirectMusic);
  bool SetChannels(int nChannels);
  bool SetFile(int nSlot, const char* lpFile, int nVolume);
  bool Play(int nChannel, int nSlot, bool bLoop, bool bPauseMidi, bool bForce);
  void Stop();
  void Release();

  bool IsInitialised() const;
  int GetCurrentSlot() const;
  // BGMKIND_* of the slot; -1 outside the slot table.
  int GetSlotKind(int nSlot) const;

 private:
  bool SetChannelsLocked(int nChannels);
  bool SlotInRange(int nSlot) const;
  bool PlayOgg(int nChannel, int nSlot, bool bLoop);
  void StopOgg();
  bool StartMidi(int nChannel, int nSlot, bool bLoop);
  void StopMidi(bool bPause);
  void ReleaseLocked();

  mutable std::mutex m_Mutex;
  int32_t m_bInitialised = 0;
  std::unique_ptr<cBgmOggBackend> m_lpOgg;
  // 0 after an Ogg player that could not start: Ogg requests then fail and MIDI still plays.
  int32_t m_bOggUsable = 0;
  BGMOGGSLOT* m_lpOggTable = nullptr;
  int32_t m_bUseGgs = 0;
  std::unique_ptr<cBgmGgsBackend> m_lpGgs;
  std::unique_ptr<cBgmMidiBackend> m_lpMidi;
  BGMMIDISLOT* m_lpMidiTable = nullptr;
  int32_t m_nCurrentSlot = -1;
  cSafeVector<BGMKIND> m_SlotKinds;
};

extern cBgm g_Bgm;
// The slot tables handed to Init; every request overwrites its slot before playing.
extern BGMOGGSLOT g_BgmOggSlots[BGM_SLOT_COUNT];
extern BGMMIDISLOT g_BgmMidiSlots[BGM_SLOT_COUNT];
