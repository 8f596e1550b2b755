// A small stage made in code for the object, collision and character suites: a map grid of a
// given size with blocks put in by hand, both scroll axes, the sub-step values of a collision
// level and every old-rule switch off.
#pragma once

#include <gtest/gtest.h>

#include "data/block.h"
#include "data/stage_file.h"
#include "persist/system_data.h"
#include "stage/chara.h"
#include "stage/hero.h"
#include "stage/stage_globals.h"

namespace t4::test {

class CharaStage : public ::testing::Test {
 protected:
  // W x H stage tiles, gravity G per frame squared, collision level L.
  void MakeStage(int w, int h, double gravity, int level) {
    g_CharaList.clear();
    g_Heroes.clear();
    g_SystemData = cSystemData();
    g_Stage.m_nWidth = w;
    g_Stage.m_nHeight = h;
    g_Stage.m_dGravity = gravity;
    g_Stage.SetCollisionLevel(level);
    int k = 0;
    for (unsigned v = static_cast<unsigned>(w + 19); v; v >>= 1) ++k;
    ScrollX() = cScroll();
    ScrollY() = cScroll();
    ScrollX().Setup(0, w, w * 32, k);
    ScrollY().Setup(1, h, h * 32, 0);
    ScrollX().SetLimits(0, 0, 0, 0);
    ScrollY().SetLimits(0, 0, 0, 0);
    ScrollX().SetAutoScroll(0, 0);
    ScrollY().SetAutoScroll(0, 0);
    ScrollX().m_dPos = 320;
    ScrollY().m_dPos = 320;
    cMapCell empty;
    empty.SetDefault();
    empty.m_cHit = 0;
    g_MapGrid.assign(static_cast<size_t>((h + 20) << k), empty);
    // Walking / flying bodies and boxes: 24 x 28 bottom-aligned, 16 x 16 shot box.
    for (int i = 0; i < 4; i += 2) {
      g_Stage.m_CharaBoxA[i] = 24;
      g_Stage.m_CharaBoxA[i + 1] = 28;
      g_Stage.m_CharaBoxB[i] = 24;
      g_Stage.m_CharaBoxB[i + 1] = 28;
      g_Stage.m_HeroBoxA[i] = 24;
      g_Stage.m_HeroBoxA[i + 1] = 28;
      g_Stage.m_HeroBoxB[i] = 24;
      g_Stage.m_HeroBoxB[i + 1] = 28;
    }
    g_Stage.m_CharaBoxAAlign[0] = g_Stage.m_CharaBoxAAlign[1] = 1;
    g_Stage.m_HeroBoxAAlign[0] = g_Stage.m_HeroBoxAAlign[1] = 1;
    g_Stage.m_CharaBoxC[0] = g_Stage.m_CharaBoxC[1] = 16;
    g_Stage.m_HeroBoxC[0] = 12;
    g_Stage.m_HeroBoxC[1] = 8;
    g_Stage.m_HeroBoxC[2] = g_Stage.m_HeroBoxC[3] = 16;
  }

  // The cell of stage tile (tx, ty).
  static cMapCell& Cell(int tx, int ty) { return g_MapGrid.At((tx + 10) + ((ty + 10) << ScrollX().m_nPitchShift)); }
  static void PutBlock(int tx, int ty, int hit) { Cell(tx, ty).m_cHit = static_cast<int8_t>(hit); }
  // A floor of `hit` blocks along stage row ty.
  static void PutRow(int ty, int hit, int from = 0, int to = -1) {
    if (to < 0) to = g_Stage.m_nWidth - 1;
    for (int x = from; x <= to; ++x) PutBlock(x, ty, hit);
  }

  static cCharaDef WalkerDef(int side = 1) {
    cCharaDef def;
    def.m_cController = static_cast<int8_t>(side);
    def.m_cLayer = 1;
    def.m_sGraphicNo = 1;
    def.m_cFlight = 0;
    def.m_cSize = 1;
    return def;
  }

  // A character standing with its hit box's top-left corner at grid dots (x, y).
  static cChara& AddChara(const cCharaDef& def, double x, double y) {
    g_CharaList.emplace_back();
    cChara& c = g_CharaList.back();
    cCharaDef copy = def;
    c.Setup(static_cast<int>(g_CharaList.size()), &copy, nullptr, x, y, 0, nullptr);
    c.m_dX = x;
    c.m_dY = y;
    c.CheckBoundsX(9);
    c.CheckBoundsY(9);
    return c;
  }

  static cHero& AddHero(const cCharaDef& def, double x, double y) {
    g_Heroes.emplace_back();
    cHero& h = g_Heroes.back();
    cCharaDef copy = def;
    h.Setup(0, &copy, x, y, nullptr);
    h.m_dX = x;
    h.m_dY = y;
    h.CheckBoundsX(9);
    h.CheckBoundsY(9);
    return h;
  }

  void TearDown() override {
    g_CharaList.clear();
    g_Heroes.clear();
    g_MapGrid.clear();
    g_SystemData = cSystemData();
    SetBlockCondCheck(nullptr);
  }
};

// Grid dots of stage tile t's first dot.
constexpr double TileDot(int t) { return (t + 10) * 32.0; }

}  // namespace t4::test
