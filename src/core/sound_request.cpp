#include "core/sound_request.h"

#include "core/globals.h"
#include "platform/messages.h"

LRESULT PlaySystemSound(int id) { return t4::platform::SendMessage(g_hWnd, WM_PLAY_SOUND, static_cast<WPARAM>(id), 0); }

void PlayUserSound(int16_t n) {
  if (n == 0) return;
  PlaySystemSound(n + 16);
}
