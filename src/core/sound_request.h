// Sound effects are played on the window thread, which owns the sound device; other threads ask
// for them by sending WM_USER+5 to the main window and go on once the sound has started.
#pragma once

#include <cstdint>

#include "platform/win_types.h"

constexpr UINT WM_PLAY_SOUND = WM_USER + 5;
// Ids 0..16 are the system sounds; database sound n is id n + 16.
constexpr int SYSTEM_SOUND_COUNT = 17;

LRESULT PlaySystemSound(int id);
void PlayUserSound(int16_t n);
