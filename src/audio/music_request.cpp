#include "audio/music_request.h"

namespace {

// The record of a music number; null (logged) when the list is empty and there is no entry 0.
const BGMDEF* FindMusic(const cSafeVector<BGMDEF>& music, int nNumber) {
  if (music.empty()) {
    ReportBadIndex('V', nNumber, 0, static_cast<int>(sizeof(BGMDEF)));
    return nullptr;
  }
  return &music.At(nNumber);
}

}  // namespace

void PlayMusicRequest(cBgm& bgm, const cSafeVector<BGMDEF>& music, int nSlot, int nNumber, bool bLoop) {
  if (nSlot >= BGM_SLOT_TITLE && nSlot <= BGM_SLOT_OPTION) {
    if (nNumber == 0) {
      bgm.Stop();
      return;
    }
    const BGMDEF* def = FindMusic(music, nNumber);
    if (!def) {
      bgm.Stop();
      return;
    }
    bgm.SetFile(nSlot, def->strFile.c_str(), def->nVolume);
    bgm.Play(0, nSlot, bLoop, false, true);
    return;
  }
  if (nSlot == BGM_SLOT_STAGE) {
    const BGMDEF* def = FindMusic(music, nNumber);
    if (def) bgm.SetFile(BGM_SLOT_STAGE, def->strFile.c_str(), def->nVolume);
    if (nNumber == 0 || !def) {
      bgm.Stop();
      return;
    }
    bgm.Play(0, BGM_SLOT_STAGE, bLoop, false, true);
  }
}
