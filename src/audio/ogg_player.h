// cOggPlayer: Ogg music through player objects made by the Ogg library's CreateVox, one object
// per channel; one song plays at a time. Our library is the built-in Ogg Vorbis decoder, whose
// objects stream into the sound effects' output.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "audio/bgm_backend.h"
#include "platform/ogg/ogg_voice.h"

using VOXOBJECT = t4::platform::OggVoice;
// Makes a new player object, or null.
using CREATEVOX = std::shared_ptr<VOXOBJECT> (*)();
// Finds the library's CreateVox; null when the library or the export is missing.
using VOXLIBRARYLOADER = CREATEVOX (*)();

// The built-in library.
CREATEVOX LoadVoxLibrary();

class cOggPlayer final : public cBgmOggBackend {
 public:
  explicit cOggPlayer(VOXLIBRARYLOADER lpLoader = LoadVoxLibrary) : m_lpLoader(lpLoader) {}
  ~cOggPlayer() override;

  bool Init() override;
  bool SetChannels(int nChannels) override;
  bool Play(int nChannel, const BGMOGGSLOT* lpSlot, bool bLoop, int nVolume) override;
  void Stop() override;
  // Volume 0 .. 1 (clamped) of the channel's object.
  void SetVolume(int nChannel, float fVolume);
  void Release() override;

  // The channel's object, or null.
  VOXOBJECT* GetObject(int nChannel) const;
  int GetPlayingChannel() const { return m_nPlayingChannel; }

 private:
  void FreeObjects();

  VOXLIBRARYLOADER m_lpLoader;
  std::vector<std::shared_ptr<VOXOBJECT>> m_Objects;
  int32_t m_nChannels = 0;
  int32_t m_nPlayingChannel = -1;
  CREATEVOX m_lpCreateVox = nullptr;
};
