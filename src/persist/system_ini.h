// System.ini: the machine-dependent settings of a run. The project's System.dat decides the key
// names and their defaults (its key table); a setting is found by its key's position in that
// table, so the table must hold its eleven keys in this order.
#pragma once

#include <cstdint>
#include <cstdio>

#include "core/safe_containers.h"
#include "persist/system_data_records.h"
#include "platform/win_types.h"

// Key positions in the table.
constexpr int INI_DIRECT3D = 0;
constexpr int INI_WINDOW_MODE = 1;
constexpr int INI_BPP = 2;
constexpr int INI_VSYNC = 3;
constexpr int INI_D3D_FONT_CACHE = 4;
constexpr int INI_DD_FONT_CACHE = 5;
constexpr int INI_DD_VIDEO_STRETCH = 6;
constexpr int INI_SHOW_FPS = 7;
constexpr int INI_FREE_STAGE = 8;
constexpr int INI_ENGLISH = 9;
constexpr int INI_MIDI_DIRECT_MUSIC = 10;

// Read from the project folder (the current folder).
constexpr const char* SYSTEM_INI_PATH = "System.ini";

struct cSystemIni {
  int32_t m_nDirect3D = 0;    // 0 DirectDraw, 1 Direct3D, 2 ask at start-up
  int32_t m_nWindowMode = 0;  // 0 full screen, 1 window, 2 resizable window
  int32_t m_nBpp = 0;         // 0 automatic, else 8, 16 or 32
  int32_t m_nVSync = 0;       // 0 off, 1 on, 2 decided by the drawing mode
  int32_t m_nD3DFontCache = 0;
  int32_t m_nDDFontCache = 0;
  int32_t m_nDDVideoStretch = 0;
  int32_t m_nShowFps = 0;
  int32_t m_nEnglish = 0;
  int32_t m_nMidiDirectMusic = 0;
  char m_szFreeStage[MAX_PATH] = {};  // a stage file started directly at start-up
};

extern cSystemIni g_SystemIni;

// Gives every setting the default of its key.
void ApplyIniDefaults(cSystemIni& ini, const cSafeVector<cIniKey>& keys);
// Reads "key=value" lines over the settings. True when the file was read up to its "Exit" line
// (or a NUL byte, or 10000 lines); false when it is missing, ends early or holds a key or value
// too long to be one. The caller applies the defaults again after a failure, so that a half-read
// file leaves nothing behind.
bool ReadSystemIni(const char* path, cSystemIni& ini, const cSafeVector<cIniKey>& keys);
// The same on a stream that is open for reading; the caller closes it.
bool ReadSystemIniStream(FILE* fp, cSystemIni& ini, const cSafeVector<cIniKey>& keys);
