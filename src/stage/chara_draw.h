// Character drawing services the play scene calls besides the members of cCharaBase.
#pragma once

class cCharaBase;

// Character-effect kinds.
constexpr int CHARAEFFECT_NONE = 0;
constexpr int CHARAEFFECT_BLINK = 6;
constexpr int CHARAEFFECT_ZOOM = 11;
constexpr int CHARAEFFECT_HALF_TRANS = 14;
constexpr int CHARAEFFECT_BLUR = 16;

// One frame of the HP and SP gauges' countdown (not on frozen frames).
void CountCharaGauges(cCharaBase& c);
