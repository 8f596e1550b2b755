#include "audio/bgm.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "audio/file_name.h"
#include "core/path_helpers.h"

cBgm g_Bgm;

BGMOGGSLOT g_BgmOggSlots[BGM_SLOT_COUNT] = {
    {"bgm\\Title.ogg", 0},  {"bgm\\WorldMap.ogg", 0}, {"bgm\\Challenge.ogg", 0},
    {"bgm\\Option.ogg", 0}, {"bgm\\Stage.ogg", 0},
};

BGMMIDISLOT g_BgmMidiSlots[BGM_SLOT_COUNT] = {
    {"bgm\\Title.mid", 0, 0},  {"bgm\\WorldMap.mid", 0, 0}, {"bgm\\Challenge.mid", 0, 0},
    {"bgm\\Option.mid", 0, 0}, {"bgm\\Stage.mid", 0, 0},
};

cBgm::cBgm() = default;

cBgm::~cBgm() { Release(); }

void cBgm::SetBackends(std::unique_ptr<cBgmOggBackend> lpOgg, std::unique_ptr<cBgmGgsBackend> lpGgs,
                       std::unique_ptr<cBgmMidiBackend> lpMidi) {
  std::lock_guard lock(m_Mutex);
  ReleaseLocked();
  m_lpOgg = std::move(lpOgg);
  m_lpGgs = std::move(lpGgs);
  m_lpMidi = std::move(lpMidi);
}

bool cBgm::Init(int nChannels, BGMOGGSLOT* lpOggTable, BGMMIDISLOT* lpMidiTable, int nSlots, bool bDirectMusic) {
  std::lock_guard lock(m_Mutex);
  m_bInitialised = 1;
  m_bUseGgs = (m_lpGgs && m_lpGgs->Init(bDirectMusic)) ? 1 : 0;
  if (!m_bUseGgs && m_lpMidi) m_lpMidi->Clear();
  // Without Ogg the manager still gets its channels and slot kinds, so MIDI keeps playing and an
  // Ogg request simply fails; the result tells start-up that Ogg is missing.
  m_bOggUsable = (m_lpOgg && m_lpOgg->Init()) ? 1 : 0;
  SetChannelsLocked(nChannels);
  m_lpOggTable = lpOggTable;
  m_lpMidiTable = lpMidiTable;
  m_SlotKinds.assign(static_cast<size_t>(nSlots > 0 ? nSlots : 0), BGMKIND_UNKNOWN);
  return m_bOggUsable != 0;
}

bool cBgm::SetChannels(int nChannels) {
  std::lock_guard lock(m_Mutex);
  return SetChannelsLocked(nChannels);
}

bool cBgm::SetChannelsLocked(int nChannels) {
  if (!m_bInitialised) return true;
  if (!m_bUseGgs && m_lpMidi) m_lpMidi->SetChannels(nChannels);
  if (m_bOggUsable) m_lpOgg->SetChannels(nChannels);
  return true;
}

bool cBgm::SlotInRange(int nSlot) const {
  if (nSlot >= 0 && nSlot < static_cast<int>(m_SlotKinds.size())) return true;
  // The slot tables hold only these slots: log like every checked access, never write past them.
  ReportBadIndex('V', nSlot, static_cast<int>(m_SlotKinds.size()), static_cast<int>(sizeof(int32_t)));
  return false;
}

bool cBgm::SetFile(int nSlot, const char* lpFile, int nVolume) {
  std::lock_guard lock(m_Mutex);
  if (!m_bInitialised) return true;
  if (!SlotInRange(nSlot) || !m_lpOggTable || !m_lpMidiTable) return false;
  const char* file = lpFile ? lpFile : "";
  BGMOGGSLOT& ogg = m_lpOggTable[nSlot];
  BGMMIDISLOT& midi = m_lpMidiTable[nSlot];
  char szExt[MAX_PATH] = {};
  if (!GetExtension(szExt, file)) {
    CopyFileName(ogg.szFile, "");
    ogg.nVolume = 0;
    CopyFileName(midi.szFile, "");
    midi.nVolume = 0;
    m_SlotKinds.At(nSlot) = BGMKIND_UNKNOWN;
    return false;
  }
  const std::string ext = szExt;
  if (ext == "mid" || ext == "MID") {
    ChangeExtension(midi.szFile, file, "mid");
    midi.nVolume = nVolume;
    m_SlotKinds.At(nSlot) = BGMKIND_MIDI;
    return true;
  }
  if (ext == "ogg" || ext == "OGG") {
    CopyFileName(ogg.szFile, file);
    ogg.nVolume = nVolume;
    m_SlotKinds.At(nSlot) = BGMKIND_OGG;
    return true;
  }
  CopyFileName(ogg.szFile, file);
  ogg.nVolume = nVolume;
  CopyFileName(midi.szFile, file);
  midi.nVolume = nVolume;
  m_SlotKinds.At(nSlot) = BGMKIND_UNKNOWN;
  return false;
}

bool cBgm::PlayOgg(int nChannel, int nSlot, bool bLoop) {
  if (!m_bOggUsable) return false;
  const BGMOGGSLOT& slot = m_lpOggTable[nSlot];
  return m_lpOgg->Play(nChannel, &slot, bLoop, slot.nVolume);
}

void cBgm::StopOgg() {
  if (m_bOggUsable) m_lpOgg->Stop();
}

bool cBgm::StartMidi(int nChannel, int nSlot, bool bLoop) {
  const BGMMIDISLOT& slot = m_lpMidiTable[nSlot];
  if (m_bUseGgs) return m_lpGgs->Play(nChannel, slot.szFile, bLoop, slot.nVolume);
  return m_lpMidi && m_lpMidi->Play(nChannel, slot.szFile, bLoop);
}

void cBgm::StopMidi(bool bPause) {
  if (m_bUseGgs) {
    m_lpGgs->Stop(bPause);
  } else if (m_lpMidi) {
    m_lpMidi->StopAll(bPause);
  }
}

bool cBgm::Play(int nChannel, int nSlot, bool bLoop, bool bPauseMidi, bool bForce) {
  std::lock_guard lock(m_Mutex);
  if (!m_bInitialised) return true;
  if (nSlot == m_nCurrentSlot && !bForce) return true;
  if (!SlotInRange(nSlot) || !m_lpOggTable || !m_lpMidiTable) return false;
  m_nCurrentSlot = nSlot;
  switch (m_SlotKinds.At(nSlot)) {
    case BGMKIND_UNKNOWN:
      if (PlayOgg(nChannel, nSlot, bLoop)) {
        StopMidi(bPauseMidi);
        return true;
      }
      if (StartMidi(nChannel, nSlot, bLoop)) {
        StopOgg();
        return true;
      }
      break;
    case BGMKIND_OGG:
      if (PlayOgg(nChannel, nSlot, bLoop)) {
        StopMidi(false);
        return true;
      }
      break;
    case BGMKIND_MIDI:
      if (StartMidi(nChannel, nSlot, bLoop)) {
        StopOgg();
        return true;
      }
      break;
    default: break;
  }
  // Nothing started: leave both back-ends silent.
  m_nCurrentSlot = -1;
  StopOgg();
  StopMidi(false);
  return false;
}

void cBgm::Stop() {
  std::lock_guard lock(m_Mutex);
  if (!m_bInitialised) return;
  StopMidi(false);
  StopOgg();
}

void cBgm::Release() {
  std::lock_guard lock(m_Mutex);
  ReleaseLocked();
}

void cBgm::ReleaseLocked() {
  if (!m_bInitialised) return;
  // Even an Ogg player that failed to start may hold its library.
  if (m_lpOgg) m_lpOgg->Release();
  if (m_bUseGgs) {
    m_lpGgs->Release();
  } else if (m_lpMidi) {
    m_lpMidi->Clear();
  }
  m_bOggUsable = 0;
  m_bInitialised = 0;
}

bool cBgm::IsInitialised() const {
  std::lock_guard lock(m_Mutex);
  return m_bInitialised != 0;
}

int cBgm::GetCurrentSlot() const {
  std::lock_guard lock(m_Mutex);
  return m_nCurrentSlot;
}

int cBgm::GetSlotKind(int nSlot) const {
  std::lock_guard lock(m_Mutex);
  if (nSlot < 0 || nSlot >= static_cast<int>(m_SlotKinds.size())) return -1;
  return m_SlotKinds[static_cast<size_t>(nSlot)];
}
