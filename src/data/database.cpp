#include "data/database.h"

#include <algorithm>
#include <limits>

#include "data/load_failure.h"

namespace {

// Every stored record body holds at least its member and string counts.
constexpr size_t MIN_BODY_BYTES = 8;
// Sword types beyond this many were unusable before version 828.
constexpr size_t OLD_SWORD_TYPE_LIMIT = 128;

// Reads one database file into `list`. The file's records are read into a copy, so that a file
// that proves damaged half-way leaves the list as it was. 0 after reporting a failure.
template <class T>
int LoadDatabaseList(cSafeVector<T>& list, const char* path, int32_t* pnVersion) {
  FILE* fp = OpenDataFileForRead(path);
  if (!fp) {
    ReportLoadFailure(path);
    return 0;
  }
  *pnVersion = g_nFileVersion;
  int32_t n = 0;
  bool ok = ReadInt32(fp, &n);
  // A count of 0 or less keeps the list as it stands.
  if (ok && n > 0) {
    if (static_cast<size_t>(n) > RemainingBytes(fp) / MIN_BODY_BYTES) {
      FailDataRead(fp, "件数が不正です");
      ok = false;
    } else {
      // Entries past the old list's length start as new records; the first ones keep their
      // old values for the members an older file does not store.
      cSafeVector<T> loaded;
      size_t i = 0;
      ok = LoadGrowing(loaded, n, T(), [&](T& element) {
        if (i < list.size()) element = list[i];
        ++i;
        return element.Load(fp) != 0;
      });
      if (ok) list.swap(loaded);
    }
  }
  if (IsDataReadFailed(fp)) ok = false;
  CloseDataFile(fp);
  if (!ok) {
    ReportLoadFailure(path);
    return 0;
  }
  return 1;
}

// A stored duration in tenths of a second as frames. Durations no project uses saturate instead
// of overflowing.
int32_t TenthsToFrames(int32_t tenths) {
  const int64_t frames = static_cast<int64_t>(tenths) * FRAMES_PER_TENTH;
  return static_cast<int32_t>(
      std::clamp<int64_t>(frames, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

template <class T>
void ResetList(cSafeVector<T>& list, size_t count) {
  list.clear();
  list.resize(count);
}

// Frame list of one animation or effect: {pattern, frames, hold} per frame, then the end entry.
// Entry 0 of either list is "none": its frames last no time and the list ends held.
template <class FRAME, class HOLD>
void BuildFrameList(ANIMEFRAMELIST& out, const cSafeVector<FRAME>& frames, bool bEmpty, HOLD holdOf) {
  out.clear();
  int32_t hold = 0;
  for (const FRAME& frame : frames) {
    hold = bEmpty ? 1 : holdOf(frame, hold);
    out.push_back(ANIMEFRAME{frame.m_nPattern, bEmpty ? 0 : TenthsToFrames(frame.m_nTime), hold});
  }
  out.push_back(bEmpty ? ANIMEFRAME{ANIME_END_EMPTY, 0, 1} : ANIMEFRAME{ANIME_END_PLAYED, 0, 0});
}

}  // namespace

const char* const DATABASE_FILES[DATABASE_FILE_COUNT] = {
    "data\\database\\AnimeSet.dat",  "data\\database\\Anime.dat",   "data\\database\\Bmp_CharaExc.dat",
    "data\\database\\SwordType.dat", "data\\database\\Effect.dat",  "data\\database\\CharaEffect.dat",
    "data\\database\\ScrEffect.dat", "data\\database\\Picture.dat", "data\\database\\Sound.dat",
    "data\\database\\Bgm.dat",
};

cDatabase g_Database;
cSafeVector<ANIMEFRAMELIST> g_AnimeTable;
cSafeVector<ANIMEFRAMELIST> g_EffectAnimeTable;

cDatabase::cDatabase() {
  Register(DATA_VERSION);
  SetDefault();
}

void cDatabase::Register(int) { ClearMemberTables(); }

void cDatabase::SetDefault() {
  Clear();
  ResetList(m_AnimeSets, 1);
  ResetList(m_Animes, 2);
  m_Animes.At(0).m_strName = "なし";
  m_Animes.At(1).m_strName = "アクションA";
  ResetList(m_CharaExcs, 2);
  ResetList(m_SwordTypes, 1);
  ResetList(m_Effects, 2);
  ResetList(m_CharaEffects, 2);
  ResetList(m_ScrEffects, 2);
  ResetList(m_Pictures, 2);
  ResetList(m_Sounds, 2);
  ResetList(m_Bgms, 2);
}

int cDatabase::Load() {
  int32_t version = 0;
  if (!LoadDatabaseList(m_AnimeSets, DATABASE_FILES[0], &version)) return 0;
  if (!LoadDatabaseList(m_Animes, DATABASE_FILES[1], &version)) return 0;
  if (!LoadDatabaseList(m_CharaExcs, DATABASE_FILES[2], &version)) return 0;
  if (!LoadDatabaseList(m_SwordTypes, DATABASE_FILES[3], &version)) return 0;
  if (version < 828 && m_SwordTypes.size() > OLD_SWORD_TYPE_LIMIT) m_SwordTypes.resize(OLD_SWORD_TYPE_LIMIT);
  if (!LoadDatabaseList(m_Effects, DATABASE_FILES[4], &version)) return 0;
  if (!LoadDatabaseList(m_CharaEffects, DATABASE_FILES[5], &version)) return 0;
  if (!LoadDatabaseList(m_ScrEffects, DATABASE_FILES[6], &version)) return 0;
  if (!LoadDatabaseList(m_Pictures, DATABASE_FILES[7], &version)) return 0;
  if (!LoadDatabaseList(m_Sounds, DATABASE_FILES[8], &version)) return 0;
  if (!LoadDatabaseList(m_Bgms, DATABASE_FILES[9], &version)) return 0;
  // Entry 0 of the two effect lists is "no effect", whatever a file holds there.
  if (!m_CharaEffects.empty()) m_CharaEffects.At(0).m_nKind = 0;
  if (!m_ScrEffects.empty()) m_ScrEffects.At(0).m_nKind = 0;
  return 1;
}

void BuildAnimeTables(cSafeVector<ANIMEFRAMELIST>& table) {
  const cSafeVector<cAnimeData>& animes = g_Database.m_Animes;
  table.resize(animes.size());
  for (int i = 0; i < static_cast<int>(animes.size()); ++i) {
    // Every frame from the first one flagged as an end holds.
    BuildFrameList(table.At(i), animes.At(i).m_Frames, i == 0,
                   [](const cAnimeFrameData& frame, int32_t held) { return held || frame.m_nEndFlag ? 1 : 0; });
  }
}

void BuildEffectTables(cSafeVector<ANIMEFRAMELIST>& table) {
  const cSafeVector<cEffectDef>& effects = g_Database.m_Effects;
  table.resize(effects.size());
  for (int i = 0; i < static_cast<int>(effects.size()); ++i) {
    BuildFrameList(table.At(i), effects.At(i).m_Frames, i == 0, [](const cEffectFrame&, int32_t) { return 0; });
  }
}
