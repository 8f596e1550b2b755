// Effect, character-effect, screen-effect, screen-colour, background, sound and music commands.
#include "flow/cmd_effect.h"

#include <algorithm>

#include "core/globals.h"
#include "core/report_log.h"
#include "core/sound_request.h"
#include "data/database.h"
#include "data/flow_command.h"
#include "flow/cmd_params.h"
#include "data/stage_file.h"
#include "gfx/dd.h"
#include "stage/chara_base.h"
#include "stage/effect_obj.h"
#include "stage/game.h"
#include "stage/hero.h"
#include "stage/picture_obj.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

constexpr int32_t BORDER_BLOCKS = GRID_BORDER_TILES;

cScenePlay* Scene() { return g_lpScenePlay; }

// Frames of an effect's whole animation: its frame times in tenths of a second, times 6.
int32_t EffectFrames(const cEffectDef& def) {
  int64_t tenths = 0;
  for (const cEffectFrame& f : def.m_Frames) tenths = std::clamp<int64_t>(tenths + f.m_nTime, INT32_MIN, INT32_MAX);
  return TenthsToFrames(tenths);
}

}  // namespace

bool CalcEffectPosition(double* x, double* y, int32_t w, int32_t h, cCharaBase* c, int32_t placement, int32_t unit,
                        int32_t X, int32_t Y, int32_t ox, int32_t oy) {
  cScenePlay* scene = Scene();
  const double sx = scene ? scene->m_ScrollX.m_dPos : 0.0;
  const double sy = scene ? scene->m_ScrollY.m_dPos : 0.0;
  const int32_t w2 = w >> 1, h2 = h >> 1;
  const int64_t bx = BORDER_BLOCKS, by = BORDER_BLOCKS;
  if (placement >= 3 && placement <= 6 && unit != 0 && unit != 1) return false;
  switch (placement) {
    case 0:
      *x = sx + 320 - w2 + ox;
      *y = sy + 240 - h2 + oy;
      return true;
    case 1:
    case 2: {
      cCharaBase* anchor = placement == 1 ? c : (g_Heroes.empty() ? nullptr : &g_Heroes.At(0));
      if (!anchor) return false;
      const int32_t cx = anchor->m_rcScreen[0] + (anchor->m_nDrawWidth >> 1);
      const int32_t cy = anchor->m_rcScreen[1] + (anchor->m_nDrawHeight >> 1);
      *x = cx + sx - w2 + ox;
      *y = cy + sy - h2 + oy;
      return true;
    }
    case 3:
      *x = unit == 0 ? sx + 32.0 * X + ox : sx + X + ox;
      *y = unit == 0 ? sy + 32.0 * Y + oy : sy + Y + oy;
      return true;
    case 4:
      *x = unit == 0 ? sx + 32.0 * X + 16 - w2 + ox : sx + X - w2 + ox;
      *y = unit == 0 ? sy + 32.0 * Y + 16 - h2 + oy : sy + Y - h2 + oy;
      return true;
    case 5:
      *x = static_cast<double>(unit == 0 ? 32 * (X + bx) + ox : X + 32 * bx + ox);
      *y = static_cast<double>(unit == 0 ? 32 * (Y + by) + oy : Y + 32 * by + oy);
      return true;
    case 6:
      *x = static_cast<double>(unit == 0 ? 32 * (X + bx) + 16 - w2 + ox : X + 32 * bx - w2 + ox);
      *y = static_cast<double>(unit == 0 ? 32 * (Y + by) + 16 - h2 + oy : Y + 32 * by - h2 + oy);
      return true;
    default: return false;
  }
}

void ExecEffect(cCharaBase* c, cFlowCommand& cmd) {
  cScenePlay* scene = Scene();
  if (!scene || scene->m_bClosing.load()) return;
  const int16_t n = static_cast<int16_t>(CmdParam(cmd, 0));
  if (n == 0) {
    scene->m_Effects.clear();
    return;
  }
  // Numbers that name no effect (0 and below are none) start nothing and are logged, rather than
  // taking the checked-access path that closes the program: a careless number loses one effect,
  // not the game.
  if (!IsEffectNumber(n)) {
    WriteReportLog("effect %d does not exist", n);
    return;
  }
  const cEffectDef& def = g_Database.m_Effects[static_cast<size_t>(n)];
  const int32_t scale = CmdParam(cmd, 6);
  const int32_t w = ScaledSize(def.m_nFrameWidth, scale);
  const int32_t h = ScaledSize(def.m_nFrameHeight, scale);
  double x = 0.0, y = 0.0;
  // A placement or unit outside the tables has no position: no effect.
  if (!CalcEffectPosition(&x, &y, w, h, c, CmdParam(cmd, 1), CmdParam(cmd, 8), CmdParam(cmd, 2), CmdParam(cmd, 3),
                          CmdParam(cmd, 4), CmdParam(cmd, 5)))
    return;
  const int32_t freeze = CmdParam(cmd, 7);
  scene->m_Effects.emplace_back(n, x, y, w, h, freeze);
  if (!freeze) return;
  scene->m_Wait.Set(WAIT_EFFECT, 0, EffectFrames(def), 0);
  scene->RunPauseThread(0);
  if (scene->m_bClosing.load()) PostCloseToMainWindow();
}

void ExecCharaEffect(cCharaBase* c, cFlowCommand& cmd) {
  if (!c) return;
  c->m_Effect.Start(static_cast<int16_t>(CmdParam(cmd, 0)), CmdParam(cmd, 1), CmdParam(cmd, 2));
}

void ExecScrEffect(cCharaBase*, cFlowCommand& cmd) {
  cScenePlay* scene = Scene();
  if (!scene) return;
  cScrEffect& e = scene->m_Draw.m_ScrEffect;
  e.Start(static_cast<int16_t>(CmdParam(cmd, 0)), CmdParam(cmd, 1), CmdParam(cmd, 2));
  if (e.m_nEffect == 0 && g_bUseD3D && lpDTCon && lpDTCon->bVirtualBackBuffer) DDSetVirtualBackBuffer(false);
}

void ExecScreenColor(cCharaBase*, cFlowCommand& cmd) {
  cScenePlay* scene = Scene();
  if (!scene) return;
  int32_t p[8];
  for (int i = 0; i < 8; ++i) p[i] = CmdParam(cmd, i);
  // The duration counts frames (tenths x 6): kept where that product fits.
  constexpr int32_t LONGEST = INT32_MAX / FRAMES_PER_TENTH;
  p[5] = std::clamp(p[5], -LONGEST, LONGEST);
  scene->m_Draw.m_ScreenColor.Set(p);
}

void ExecBackground(cCharaBase*, cFlowCommand& cmd) {
  const int32_t n = CmdParam(cmd, 0);
  if (n < 1 || n > static_cast<int32_t>(g_Stage.m_Backgrounds.size())) return;
  int32_t& shown = g_Stage.m_Backgrounds[static_cast<size_t>(n - 1)].m_nVisible;
  switch (CmdParam(cmd, 1)) {
    case 0: shown = 1; break;
    case 1: shown = 0; break;
    case 2: shown = shown ? 0 : 1; break;
    default: break;
  }
}

void ExecSound(cFlowCommand& cmd, cCharaBase* c) {
  if (cmd.m_cSoundOnScreen == 0 || (c && c->m_bOnScreen)) PlayUserSound(static_cast<int16_t>(CmdParam(cmd, 0)));
}

void ExecBgm(cFlowCommand& cmd) {
  if (cScenePlay* scene = Scene()) scene->PlayBgm(CmdParam(cmd, 0), CmdParam(cmd, 1));
}

void CmdEffect(cCharaBase* c, cFlowCommandState* s) { ExecEffect(c, *s->m_pCommand); }
void CmdCharaEffect(cCharaBase* c, cFlowCommandState* s) { ExecCharaEffect(c, *s->m_pCommand); }
void CmdScreenEffect(cCharaBase* c, cFlowCommandState* s) { ExecScrEffect(c, *s->m_pCommand); }
void CmdPicture(cCharaBase* c, cFlowCommandState* s) { ExecPicture(c, *s->m_pCommand); }
void CmdScreenColor(cCharaBase* c, cFlowCommandState* s) { ExecScreenColor(c, *s->m_pCommand); }
void CmdBackground(cCharaBase* c, cFlowCommandState* s) { ExecBackground(c, *s->m_pCommand); }
void CmdSound(cCharaBase* c, cFlowCommandState* s) { ExecSound(*s->m_pCommand, c); }
void CmdBgm(cCharaBase*, cFlowCommandState* s) { ExecBgm(*s->m_pCommand); }
