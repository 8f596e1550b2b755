#include "data/anime.h"

namespace {
// Smallest stored bodies: the record's member and string counts, plus the frame count.
constexpr size_t MIN_FRAME_BYTES = 8;
constexpr size_t MIN_ANIME_BYTES = 12;

const char* const BASIC_ANIME_NAMES[ANIMESET_BASIC_COUNT] = {"立ち", "立ち移動", "飛行", "飛行移動"};
}  // namespace

cAnimeFrameData::cAnimeFrameData() {
  Register(DATA_VERSION);
  Clear();
}

void cAnimeFrameData::Register(int) {
  ClearMemberTables();
  AddMember4(&m_nPattern, 1);
  AddMember4(&m_nTime, 1);
  AddMember4(&m_nEndFlag, 1);
}

cAnimeData::cAnimeData() {
  Register(DATA_VERSION);
  SetDefault();
}

void cAnimeData::Register(int v) {
  ClearMemberTables();
  if (v >= 55) {
    AddMember2(&m_sValueA, 1);
    AddMember1(&m_cValueB, 1);
    AddMember2(&m_sValueC, 1);
  }
  AddString(&m_strName);
}

void cAnimeData::SetDefault() {
  Clear();
  m_Frames.assign(1, cAnimeFrameData());
  m_cValueB = 1;
}

int cAnimeData::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  int32_t n = 0;
  if (ok) ok = ReadCount(fp, &n, MIN_FRAME_BYTES);
  if (!ok) return 0;
  return LoadGrowing(m_Frames, n, cAnimeFrameData(), [fp](cAnimeFrameData& frame) { return frame.Load(fp) != 0; });
}

void cAnimeData::Save(FILE* fp) {
  cRecord::Save(fp);
  WriteInt32(fp, static_cast<int32_t>(m_Frames.size()));
  for (cAnimeFrameData& frame : m_Frames) frame.Save(fp);
}

int LoadAnimeVector(cSafeVector<cAnimeData>& animes, FILE* fp) {
  int32_t n = 0;
  if (!ReadCount(fp, &n, MIN_ANIME_BYTES)) return 0;
  return LoadGrowing(animes, n, cAnimeData(), [fp](cAnimeData& anime) { return anime.Load(fp) != 0; });
}

cAnimeSet::cAnimeSet() {
  Register(DATA_VERSION);
  Clear();
  m_nInvincibleOfs = 4;
  m_nBlockOfs = 8;
  m_nFlyOfs = 0;
  m_Animes.clear();
  ResizeAnimes(ANIMESET_BASIC_COUNT);
  for (int i = 0; i < ANIMESET_BASIC_COUNT; ++i) m_Animes.At(i).m_strName = BASIC_ANIME_NAMES[i];
}

void cAnimeSet::Register(int v) {
  ClearMemberTables();
  AddMember4(&m_nInvincibleOfs, 1);
  AddMember4(&m_nBlockOfs, 1);
  if (v >= 119) AddMember4(&m_nFlyOfs, 1);
  AddString(&m_strName);
}

void cAnimeSet::ResizeAnimes(size_t count) { m_Animes.resize(count, cAnimeData()); }

int cAnimeSet::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  if (ok) ok = LoadAnimeVector(m_Animes, fp);
  if (g_nFileVersion < 119) ResizeAnimes(ANIMESET_BASIC_COUNT);
  if (g_nFileVersion < 128) {
    ResizeAnimes(ANIMESET_BASIC_COUNT);
    m_Animes.At(2).m_strName = BASIC_ANIME_NAMES[2];
    m_Animes.At(3).m_strName = BASIC_ANIME_NAMES[3];
  }
  // Characters look up the basic animations by number; a set stored with fewer (only a damaged
  // or foreign file has them) gets fresh ones in their places.
  for (size_t i = m_Animes.size(); i < ANIMESET_BASIC_COUNT; ++i) {
    m_Animes.push_back(cAnimeData());
    m_Animes.back().m_strName = BASIC_ANIME_NAMES[i];
  }
  return ok;
}

void cAnimeSet::Save(FILE* fp) {
  cRecord::Save(fp);
  WriteInt32(fp, static_cast<int32_t>(m_Animes.size()));
  for (cAnimeData& anime : m_Animes) anime.Save(fp);
}
