// The status line across the top of the stage, the time limit under it and the notice at the
// bottom of a test play or free start.
#include <algorithm>
#include <string>

#include "core/globals.h"
#include "core/sjis_text.h"
#include "core/sound_request.h"
#include "data/data_refs.h"
#include "core/timing.h"
#include "data/stage_file.h"
#include "gfx/font.h"
#include "gfx/frames_digits.h"
#include "gfx/image_slots.h"
#include "persist/save_data.h"
#include "persist/system_data.h"
#include "stage/graphic_source.h"
#include "stage/hero.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"

namespace {

constexpr int GAUGE_WIDTH = 50;
constexpr int TIME_WARNING_SOUND = 13;

cFont& Font10() { return g_Fonts[0]; }
cFont& Font16() { return g_Fonts[1]; }
DDSURFACEDATA* Accessory() { return &g_SurfaceTable[IMAGE_ACCESSORY_SHEET]; }

bool IsGauge(int i) { return i == 2 || i == 3; }

int ItemWidth(int i, const cStatusItem& item) {
  int w = item.m_bIcon ? 16 : 16 * CountChars(item.m_strLabel.c_str());
  w += IsGauge(i) ? GAUGE_WIDTH : 16 * item.m_nDigits;
  return w;
}

void DrawCaption(DDSURFACEDATA* dst, int i, const cStatusItem& item, int& x) {
  if (item.m_bIcon) {
    DDBlt(dst, x, 3, 16, 16, Accessory(), 16 * i, 32, BLT_TRANSPARENT);
    x += 16;
  } else {
    Font16().Draw(dst, x, 3, item.m_strLabel.c_str());
    x += 16 * CountChars(item.m_strLabel.c_str());
  }
}

void DrawGaugeItem(DDSURFACEDATA* dst, int i, const cStatusItem& item, int x, int value, int maxValue) {
  DrawCaption(dst, i, item, x);
  const int sx = i == 2 ? 0 : 64;
  DDBlt(dst, x, 3, GAUGE_WIDTH, 16, Accessory(), sx, 128, BLT_TRANSPARENT);
  // A maximum of nothing shows an empty gauge; values outside 0..maximum fill nothing or all.
  const long long fill =
      maxValue > 0 ? static_cast<long long>(std::clamp(value, 0, maxValue)) * GAUGE_WIDTH / maxValue : 0;
  if (fill > 0) {
    const int row = g_SystemData.CheckGaugeLevel(i, value, maxValue) ? 160 : 144;
    DDBlt(dst, x, 3, static_cast<int>(fill), 16, Accessory(), sx, row, BLT_TRANSPARENT);
  }
  if (item.m_bGaugeValue) Font10().DrawF(dst, x, 6, "%d", value);
}

void DrawNumberItem(DDSURFACEDATA* dst, int i, const cStatusItem& item, int x, int value, bool infinite) {
  if (item.m_bIcon) {
    DDBlt(dst, x, 3, 16, 16, Accessory(), 16 * i, 32, BLT_TRANSPARENT);
    if (infinite)
      Font16().Draw(dst, x + 16, 3, "-");
    else
      Font16().DrawF(dst, x + 16, 3, "%d", value);
  } else if (infinite) {
    Font16().DrawF(dst, x, 3, "%s-", item.m_strLabel.c_str());
  } else {
    Font16().DrawF(dst, x, 3, "%s%d", item.m_strLabel.c_str(), value);
  }
}

}  // namespace

void cScenePlay::DrawStatusLine(DDSURFACEDATA* dst) {
  if (!g_Stage.m_nShowStatus || g_Heroes.empty()) return;
  const auto& items = g_SystemData.m_StatusItems;
  const int count = std::min(STATUS_ITEM_COUNT, static_cast<int>(items.size()));
  int sum = 0, shown = 0;
  for (int i = 0; i < count; ++i) {
    const cStatusItem& item = items[static_cast<size_t>(i)];
    if (!item.m_bShown) continue;
    sum += ItemWidth(i, item);
    ++shown;
  }
  if (shown == 0) return;
  const int gap = (638 - sum) / (shown + 1);
  DDBlt(dst, 0, 0, 640, 20, &g_SurfaceTable[IMAGE_STATUS_PICTURE], 0, 0, BLT_TRANSPARENT);
  const cHero& hero = g_Heroes.At(0);
  int x = gap;
  for (int i = 0; i < count; ++i) {
    const cStatusItem& item = items[static_cast<size_t>(i)];
    if (!item.m_bShown) continue;
    switch (i) {
      case 0: DrawNumberItem(dst, i, item, x, g_SaveData.m_nResultScore, false); break;
      case 1: DrawNumberItem(dst, i, item, x, g_SaveData.m_nStageScore, false); break;
      case 2: DrawGaugeItem(dst, i, item, x, hero.m_nHp, hero.m_Def.m_nMaxHp); break;
      case 3: DrawGaugeItem(dst, i, item, x, hero.m_nSp, hero.m_Def.m_nMaxSp); break;
      default: DrawNumberItem(dst, i, item, x, g_SaveData.m_nLives, g_SaveData.m_nLives == INFINITE_LIVES); break;
    }
    x += ItemWidth(i, item) + gap;
  }
}

void cScenePlay::DrawTimeLimit(DDSURFACEDATA* dst, int warningSound) {
  if (m_bNoTimeLimit || !g_Stage.m_nTimeLimitOn) return;
  DDDrawNumber(dst, 272, 24, 32, 32, &g_SurfaceTable[IMAGE_WORD_SHEET], 0, 160, BLT_TRANSPARENT, m_nTimeLeft, 3, true);
  if (m_nTimeLeft >= 1 && m_nTimeLeft <= g_Stage.m_nTimeWarning && CountFrameTick(2, 0) && warningSound)
    PlaySystemSound(TIME_WARNING_SOUND);
}

void cScenePlay::DrawNotice(DDSURFACEDATA* dst) {
  const int text = g_bFreeStageStart ? 27 : g_bTestPlay ? 26 : -1;
  if (text < 0 || text >= static_cast<int>(g_SystemData.m_Texts.size())) return;
  const char* s = g_SystemData.m_Texts[static_cast<size_t>(text)].c_str();
  Font16().Draw(dst, 320 - (CountChars(s) * 16) / 2, 456, s);
}
