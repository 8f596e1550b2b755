// The database: the project-wide lists of animations, animation sets, exclusive bitmaps, sword
// types, effects, character and screen effects, pictures, sounds and music, each read from its
// own file, and the frame lists derived from it at start-up.
#pragma once

#include <cstdint>

#include "core/safe_containers.h"
#include "data/anime.h"
#include "data/db_records.h"
#include "data/record.h"

constexpr int DATABASE_FILE_COUNT = 10;

// The files in load order, relative to the project folder.
extern const char* const DATABASE_FILES[DATABASE_FILE_COUNT];

class cDatabase : public cRecord {
 public:
  cDatabase();

  void Register(int nVersion) override;
  // The record form of the base is never used: the database is read list by list.
  using cRecord::Load;

  void SetDefault();
  // Reads the ten files in order; 1 on success, 0 after reporting the first file that is
  // missing, too new or damaged. A failed file leaves its list as it was.
  int Load();

  cSafeVector<cAnimeSet> m_AnimeSets;
  cSafeVector<cAnimeData> m_Animes;
  cSafeVector<cBmpCharaExc> m_CharaExcs;
  cSafeVector<cSwordType> m_SwordTypes;
  cSafeVector<cEffectDef> m_Effects;
  cSafeVector<cCharaEffectDef> m_CharaEffects;
  cSafeVector<cScrEffectDef> m_ScrEffects;
  cSafeVector<cPictureDef> m_Pictures;
  cSafeVector<cSoundDef> m_Sounds;
  cSafeVector<cBgmDef> m_Bgms;
  // Copies of the two effect lists that backward effects prepare from; filled at start-up.
  cSafeVector<cCharaEffectDef> m_CharaEffectsBack;
  cSafeVector<cScrEffectDef> m_ScrEffectsBack;
};

extern cDatabase g_Database;

// One entry of a frame list: a pattern shown for a number of frames, with its hold flag. A
// negative pattern ends the list: -4 after an animation that plays through, -2 (hold 1) after
// the empty animation 0.
struct ANIMEFRAME {
  int32_t nPattern = 0;
  int32_t nFrames = 0;
  int32_t nHold = 0;
};
using ANIMEFRAMELIST = cSafeVector<ANIMEFRAME>;

constexpr int32_t ANIME_END_PLAYED = -4;
constexpr int32_t ANIME_END_EMPTY = -2;
// Frames of one tenth of a second.
constexpr int32_t FRAMES_PER_TENTH = 6;

extern cSafeVector<ANIMEFRAMELIST> g_AnimeTable;
extern cSafeVector<ANIMEFRAMELIST> g_EffectAnimeTable;

void BuildAnimeTables(cSafeVector<ANIMEFRAMELIST>& table);
void BuildEffectTables(cSafeVector<ANIMEFRAMELIST>& table);

// Prepared effect states live with the effect code; it supplies the state type (with its
// Prepare (definition number, reversed)) and these fill one state per definition, forward and
// reversed.
template <class STATE>
void BuildEffectStates(int count, cSafeVector<STATE>& forward, cSafeVector<STATE>& reversed) {
  forward.resize(static_cast<size_t>(count));
  reversed.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    forward.At(i).Prepare(i, 0);
    reversed.At(i).Prepare(i, 1);
  }
}

template <class STATE>
void BuildCharaEffectStates(cSafeVector<STATE>& forward, cSafeVector<STATE>& reversed) {
  BuildEffectStates(static_cast<int>(g_Database.m_CharaEffects.size()), forward, reversed);
}

template <class STATE>
void BuildScrEffectStates(cSafeVector<STATE>& forward, cSafeVector<STATE>& reversed) {
  BuildEffectStates(static_cast<int>(g_Database.m_ScrEffects.size()), forward, reversed);
}
