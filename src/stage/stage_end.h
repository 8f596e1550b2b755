// What the stage end shares: the ranking worker and the extra-life notice.
#pragma once

class cScenePlay;

// Body of the ranking thread: shows the rankings until button 1; returns 1.
int RankingThreadProc(cScenePlay* scene);

// The rising life icon over the hero while the extra-life notice runs, and its removal; the
// message windows supply them, until then nothing is shown.
void ShowExtraLifeNotice(cScenePlay& scene, int heroId);
void HideExtraLifeNotice(cScenePlay& scene);
