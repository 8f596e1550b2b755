// Rectangles of the block-character passes: boxes, one-dot lines and overlap extents.
#pragma once

#include "stage/chara.h"

namespace contacts {

// A limit no contact has set yet.
constexpr double UNSET = -1.0;

// Four doubles with inclusive edges.
struct Rect {
  double l, t, r, b;
};

// Touching edges overlap.
inline bool Overlap(const Rect& a, const Rect& b) { return a.l <= b.r && a.r >= b.l && a.t <= b.b && a.b >= b.t; }
inline Rect BoxOf(const cStageObject& o) { return {o.m_dX, o.m_dY, o.m_dRight, o.m_dBottom}; }
inline Rect PrevBoxOf(const cCharaBase& o) { return {o.m_dPrevX, o.m_dPrevY, o.m_dPrevRight, o.m_dPrevBottom}; }
inline bool Touches(const cChara& k, const Rect& line) { return k.OverlapsRect(line.l, line.t, line.r, line.b) != 0; }
// A block character that takes part: live and not `other` itself.
inline bool LiveBlockChara(const cChara& k, const cStageObject& other) {
  return &k != &other && k.m_Def.m_cBlockChara && !k.m_bDead && k.m_bActive;
}
// Overlap extent + 1 along one axis, measured from whichever edge of the other box lies inside.
inline double Extent(double lo, double hi, double klo, double khi) {
  return (klo >= lo && klo <= hi) ? hi - klo + 1 : khi - lo + 1;
}

}  // namespace contacts
