#include "persist/user_records.h"

#include <algorithm>

#include "platform/present/display.h"
#include "platform/system_info.h"

namespace {

int s_nScreenWidth = 0;
int s_nScreenHeight = 0;

constexpr int LARGEST_WINDOW_WIDTH = t4::platform::SCREEN_WIDTH * 5;
constexpr int LARGEST_WINDOW_HEIGHT = t4::platform::SCREEN_HEIGHT * 5;

void GetScreenSize(int* pnWidth, int* pnHeight) {
  if (s_nScreenWidth > 0 && s_nScreenHeight > 0) {
    *pnWidth = s_nScreenWidth;
    *pnHeight = s_nScreenHeight;
    return;
  }
  t4::platform::DisplaySize display = t4::platform::GetDisplaySize();
  bool bKnown = display.width > 0 && display.height > 0;
  *pnWidth = bKnown ? display.width : LARGEST_WINDOW_WIDTH;
  *pnHeight = bKnown ? display.height : LARGEST_WINDOW_HEIGHT;
}

}  // namespace

void SetWindowDataScreenSize(int nWidth, int nHeight) {
  s_nScreenWidth = nWidth;
  s_nScreenHeight = nHeight;
}

int cCheckedUserRecord::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  Validate();
  return ok;
}

void cCheckedUserRecord::Save(FILE* fp) {
  Validate();
  cRecord::Save(fp);
}

cOptionData::cOptionData() {
  Register(DATA_VERSION);
  Clear();
  m_bBgm = 1;
  m_nSoundVolume = 7;
  m_strFixedRankingName = "aaa";
}

void cOptionData::Register(int) {
  ClearMemberTables();
  AddMember4(&m_nColourVariation, 1);
  AddMember4(&m_bBgm, 1);
  AddMember4(&m_nSoundVolume, 1);
  AddMember4(&m_nRankingMode, 1);
  AddString(&m_strFixedRankingName);
}

void cOptionData::Validate() {
  // The volume indexes a table and the variation names a file: neither may leave its range. A
  // value that is out of range is damaged, so it goes back to the new-game default.
  if (m_nColourVariation < 0 || m_nColourVariation > COLOUR_VARIATION_MAX) m_nColourVariation = 0;
  m_bBgm = m_bBgm ? 1 : 0;
  if (m_nSoundVolume < 0 || m_nSoundVolume > SOUND_VOLUME_MAX) m_nSoundVolume = 7;
  if (m_nRankingMode < 0 || m_nRankingMode > RANKING_MODE_MAX) m_nRankingMode = 0;
}

cBootData::cBootData() {
  Register(DATA_VERSION);
  Clear();
  m_bNoBootDialog = 0;
  m_nDrawMode = DRAW_MODE_DIRECT3D;
}

void cBootData::Register(int) {
  ClearMemberTables();
  AddMember4(&m_nDrawMode, 1);
  AddMember4(&m_bNoBootDialog, 1);
}

void cBootData::Validate() {
  // The start-up dialog shows the mode as one of two buttons.
  if (m_nDrawMode != DRAW_MODE_DIRECTDRAW) m_nDrawMode = DRAW_MODE_DIRECT3D;
  m_bNoBootDialog = m_bNoBootDialog ? 1 : 0;
}

cWindowData::cWindowData() {
  Register(DATA_VERSION);
  Clear();
}

void cWindowData::Register(int) {
  ClearMemberTables();
  AddMember4(&m_nX, 1);
  AddMember4(&m_nY, 1);
  AddMember4(&m_nWidth, 1);
  AddMember4(&m_nHeight, 1);
  AddMember4(&m_bMaximised, 1);
}

int cWindowData::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  int nScreenWidth = 0;
  int nScreenHeight = 0;
  GetScreenSize(&nScreenWidth, &nScreenHeight);
  m_nX = std::clamp(m_nX, 0, nScreenWidth);
  m_nY = std::clamp(m_nY, 0, nScreenHeight);
  m_nWidth = std::clamp(m_nWidth, MIN_WIDTH, std::max(MIN_WIDTH, nScreenWidth));
  m_nHeight = std::clamp(m_nHeight, MIN_HEIGHT, std::max(MIN_HEIGHT, nScreenHeight));
  return ok;
}

void cWindowData::Set(int32_t x, int32_t y, int32_t width, int32_t height, int32_t bMaximised) {
  m_nX = x;
  m_nY = y;
  m_nWidth = width;
  m_nHeight = height;
  m_bMaximised = bMaximised;
}
