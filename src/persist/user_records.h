// The player's own settings, one small record per file under user_data\: the options screen's
// choices (Option.dat), the start-up choice of drawing mode (Boot.dat) and the window placement
// (Window.dat). Values that a damaged file holds out of range are pulled back on load.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "data/record.h"

// A user record whose values are brought into their ranges after every load and before every
// save.
class cCheckedUserRecord : public cRecord {
 public:
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

 protected:
  virtual void Validate() = 0;
};

class cOptionData : public cCheckedUserRecord {
 public:
  static constexpr int32_t COLOUR_VARIATION_MAX = 23;
  static constexpr int32_t SOUND_VOLUME_MAX = 10;
  static constexpr int32_t RANKING_MODE_MAX = 3;

  cOptionData();

  void Register(int nVersion) override;

  // In file order.
  int32_t m_nColourVariation = 0;  // 0-23: palette variation of 256-colour mode
  int32_t m_bBgm = 0;              // music on
  int32_t m_nSoundVolume = 0;      // 0-10: sound-effect volume step
  int32_t m_nRankingMode = 0;      // 0-3: manual/automatic entry, with name entry or the fixed name
  std::string m_strFixedRankingName;

 protected:
  void Validate() override;
};

class cBootData : public cCheckedUserRecord {
 public:
  static constexpr int32_t DRAW_MODE_DIRECTDRAW = 0;
  static constexpr int32_t DRAW_MODE_DIRECT3D = 1;

  cBootData();

  void Register(int nVersion) override;

  // In file order.
  int32_t m_nDrawMode = 0;      // 1 Direct3D, 0 DirectDraw
  int32_t m_bNoBootDialog = 0;  // the stored drawing mode applies without asking

 protected:
  void Validate() override;
};

class cWindowData : public cRecord {
 public:
  // Smallest client area that a stored size may give the window.
  static constexpr int32_t MIN_WIDTH = 160;
  static constexpr int32_t MIN_HEIGHT = 120;

  cWindowData();

  void Register(int nVersion) override;
  // Pulls the stored placement back onto the screen: the position into the screen area, the size
  // between the smallest window and the screen.
  int Load(FILE* fp) override;

  void Set(int32_t x, int32_t y, int32_t width, int32_t height, int32_t bMaximised);

  // In file order.
  int32_t m_nX = 0;
  int32_t m_nY = 0;
  int32_t m_nWidth = 0;  // client area
  int32_t m_nHeight = 0;
  int32_t m_bMaximised = 0;
};

// The screen area that Window.dat is pulled back into. The shell sets it from the desktop once
// the display is known; until then (and after 0, 0) the display's size is asked, or, without a
// display, the largest window the game makes (500% of 640 x 480) is assumed.
void SetWindowDataScreenSize(int nWidth, int nHeight);

extern cOptionData g_OptionData;
extern cBootData g_BootData;
extern cWindowData g_WindowData;
