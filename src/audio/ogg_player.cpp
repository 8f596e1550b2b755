#include "audio/ogg_player.h"

#include <algorithm>

#include "audio/sound_effects.h"
#include "core/message_box.h"

namespace {

std::shared_ptr<VOXOBJECT> CreateVox() { return std::make_shared<VOXOBJECT>(); }

}  // namespace

CREATEVOX LoadVoxLibrary() { return CreateVox; }

cOggPlayer::~cOggPlayer() { FreeObjects(); }

bool cOggPlayer::Init() {
  m_lpCreateVox = m_lpLoader ? m_lpLoader() : nullptr;
  if (!m_lpCreateVox) {
    ErrorBoxf("oggの初期化に失敗！");
    return false;
  }
  return true;
}

bool cOggPlayer::SetChannels(int nChannels) {
  FreeObjects();
  m_nChannels = std::max(nChannels, 0);
  if (!m_lpCreateVox) return false;
  for (int i = 0; i < m_nChannels; ++i) {
    std::shared_ptr<VOXOBJECT> object = m_lpCreateVox();
    if (!object) {
      OutOfMemoryClose();
      return false;
    }
    m_Objects.push_back(std::move(object));
  }
  return true;
}

VOXOBJECT* cOggPlayer::GetObject(int nChannel) const {
  if (nChannel < 0 || nChannel >= static_cast<int>(m_Objects.size())) return nullptr;
  return m_Objects[static_cast<size_t>(nChannel)].get();
}

bool cOggPlayer::Play(int nChannel, const BGMOGGSLOT* lpSlot, bool bLoop, int nVolume) {
  if (!lpSlot || lpSlot->szFile[0] == '\0') return false;
  Stop();
  // Only channel 0 is used; another one has no object to play on.
  VOXOBJECT* object = GetObject(nChannel);
  if (!object) return false;
  object->Reset();
  if (!object->Load(lpSlot->szFile)) {
    m_nPlayingChannel = -1;
    return false;
  }
  if (nVolume < 100) SetVolume(nChannel, static_cast<float>(nVolume * 0.01));
  object->SetLoopCount(bLoop ? t4::platform::OGG_LOOP_FOREVER : 0);
  // The object sounds through the sound effects' output (without a device, silently).
  std::shared_ptr<VOXOBJECT> shared = m_Objects[static_cast<size_t>(nChannel)];
  DS_RemoveStream(shared.get());
  DS_AddStream(shared);
  object->Play();
  m_nPlayingChannel = nChannel;
  return true;
}

void cOggPlayer::Stop() {
  if (VOXOBJECT* object = GetObject(m_nPlayingChannel)) object->Stop();
  m_nPlayingChannel = -1;
}

void cOggPlayer::SetVolume(int nChannel, float fVolume) {
  // A negative volume from the music list would otherwise invert the wave.
  if (VOXOBJECT* object = GetObject(nChannel)) object->SetVolume(std::clamp(fVolume, 0.0f, 1.0f));
}

void cOggPlayer::FreeObjects() {
  for (const auto& object : m_Objects) {
    object->Stop();
    DS_RemoveStream(object.get());
  }
  m_Objects.clear();
  m_nPlayingChannel = -1;
}

void cOggPlayer::Release() {
  FreeObjects();
  m_lpCreateVox = nullptr;
}
