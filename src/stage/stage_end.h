// What the stage end shares: the ranking worker and the extra-life notice.
#pragma once

#include <cstdint>

class cScenePlay;

// Body of the ranking thread: shows the rankings until button 1; returns 1.
int RankingThreadProc(cScenePlay* scene);

// The rising life icon over the hero while the extra-life notice runs (a message window; its
// serial is returned), and its removal.
uint32_t ShowExtraLifeNotice(cScenePlay& scene, int heroId);
void HideExtraLifeNotice(cScenePlay& scene, uint32_t serial);
