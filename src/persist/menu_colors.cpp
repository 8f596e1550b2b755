#include "persist/menu_colors.h"

#include "gfx/dd.h"
#include "gfx/dd_effects.h"
#include "persist/system_data.h"

PULSECOLOR g_PulseColors[PULSE_COLOR_COUNT];

namespace {

constexpr int PULSE_COUNT = 9;
int s_Pulse[PULSE_COUNT] = {};
int s_PulseDir[PULSE_COUNT] = {};
int s_nHue = 0;
int s_nCycleCount = 0;

D3DCOLOR Argb(int r, int g, int b) {
  return 0xFF000000u | (static_cast<D3DCOLOR>(r) << 16) | (static_cast<D3DCOLOR>(g) << 8) | static_cast<D3DCOLOR>(b);
}

}  // namespace

bool StepPulse(int& value, int& direction, int step, int min, int max) {
  if (direction == 0) {
    value += step;
    if (value >= max) {
      value -= step;
      direction = 1;
    }
    return false;
  }
  value -= step;
  if (value <= min) {
    value += step;
    direction = 0;
    return true;
  }
  return false;
}

void AnimateMenuColors() {
  if (lpDTCon) {
    const int step = g_SystemData.m_nMenuPulseStep > 0 ? g_SystemData.m_nMenuPulseStep : 16;
    int v[PULSE_COUNT];
    bool bottom[PULSE_COUNT];
    for (int i = 0; i < PULSE_COUNT; ++i) {
      v[i] = s_Pulse[i];
      bottom[i] = StepPulse(s_Pulse[i], s_PulseDir[i], step, 0, 255);
    }
    g_PulseColors[1] = {Argb(v[0], v[0], v[0]), D3DTOP_ADD};
    g_PulseColors[2] = {Argb(v[1], v[1], v[1]), D3DTOP_SUBTRACT};
    g_PulseColors[3] = {Argb(v[2], 0, 0), D3DTOP_ADD};
    g_PulseColors[4] = {Argb(0, v[3], 0), D3DTOP_ADD};
    g_PulseColors[5] = {Argb(0, 0, v[4]), D3DTOP_ADD};
    g_PulseColors[6] = {Argb(v[5], v[5], 0), D3DTOP_ADD};
    g_PulseColors[7] = {Argb(v[6], 0, v[6] / 4), D3DTOP_ADD};
    g_PulseColors[8] = {Argb(v[7] / 4, 0, v[7]), D3DTOP_ADD};
    static const int HUES[4][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}, {1, 1, 0}};
    const int* h = HUES[s_nHue];
    g_PulseColors[9] = {Argb(v[8] * h[0], v[8] * h[1], v[8] * h[2]), D3DTOP_ADD};
    if (bottom[8]) s_nHue = (s_nHue + 1) % 4;
    return;
  }
  if (!g_lpDDCon || !g_SystemData.m_bPaletteCycling || g_nBpp != 8) return;
  if (++s_nCycleCount < 6) return;
  s_nCycleCount = 0;
  for (int first = 208; first < 240; first += 4) DDRotatePalette(g_PaletteWork, first, first + 3, 1, 1, g_PaletteWork);
  DDSetPaletteEntries(208, 32, g_PaletteWork + 208);
}
