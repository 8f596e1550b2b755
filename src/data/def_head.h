// What blocks, items and characters share: the graphic kinds and limits their graphic members
// use, and the head of their stored form after the record body (the placement tile, a
// character's extra placement word, the inheritance flags). One definition, so that the three
// loaders cannot drift apart.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "data/data_file.h"

// The graphic sheets a definition's m_cGraphicKind names.
constexpr int8_t GRAPHIC_KIND_SHOT = 3;
constexpr int8_t GRAPHIC_KIND_CHARAEXC = 4;
// The highest cell of a graphic sheet.
constexpr int16_t GRAPHIC_NO_MAX = 119;
// The data version whose shot sheet gained a first empty cell.
constexpr int SHOT_SHEET_SHIFT_VERSION = 219;

// Reads the head. A count of zero keeps the flags as they are (the defaults of a new definition).
// Failures are left on the stream's sticky flag for the caller to check once.
template <class DEF>
void LoadDefHead(FILE* fp, DEF& def) {
  ReadData(fp, &def.m_sBlockX, sizeof(def.m_sBlockX));
  ReadData(fp, &def.m_sBlockY, sizeof(def.m_sBlockY));
  if constexpr (requires { def.m_nPlaceExtra; }) ReadInt32(fp, &def.m_nPlaceExtra);
  int32_t n = 0;
  if (ReadCount(fp, &n, 1) && n > 0) {
    def.m_InheritFlags.assign(static_cast<size_t>(n), 0);
    ReadData(fp, def.m_InheritFlags.data(), def.m_InheritFlags.size());
  }
}

template <class DEF>
void SaveDefHead(FILE* fp, const DEF& def) {
  WriteData(fp, &def.m_sBlockX, sizeof(def.m_sBlockX));
  WriteData(fp, &def.m_sBlockY, sizeof(def.m_sBlockY));
  if constexpr (requires { def.m_nPlaceExtra; }) WriteInt32(fp, def.m_nPlaceExtra);
  WriteInt32(fp, static_cast<int32_t>(def.m_InheritFlags.size()));
  WriteData(fp, def.m_InheritFlags.data(), def.m_InheritFlags.size());
}

// A file older than the shot sheet's first empty cell numbers its shot graphics one lower.
template <class DEF>
void UpgradeShotGraphic(DEF& def, int nFileVersion) {
  if (nFileVersion < SHOT_SHEET_SHIFT_VERSION && def.m_cGraphicKind == GRAPHIC_KIND_SHOT) {
    def.m_sGraphicNo = static_cast<int16_t>(std::min<int>(def.m_sGraphicNo + 1, GRAPHIC_NO_MAX));
  }
}
