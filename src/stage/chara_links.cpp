// Target and owner links between characters and the back-links that keep them safe, and the basic
// animation set of a character.
#include "data/database.h"
#include "stage/chara_base.h"
#include "stage/chara_links.h"

namespace {

void RemoveBackLink(cCharaBase* from, const TARGETLINK& link) {
  auto& v = from->m_BackLinks;
  for (auto it = v.begin(); it != v.end();)
    it = EqualLink(*it, link) ? v.erase(it) : it + 1;
}

}  // namespace

bool cCharaBase::IsLinked() const {
  if (m_pOwner || !m_BackLinks.empty() || !m_ShotLinks.empty()) return true;
  for (const cCharaBase* target : m_Targets)
    if (target) return true;
  return false;
}

void cCharaBase::DetachLinks() {
  for (const TARGETLINK& link : m_BackLinks) {
    if (link.nSlot >= 0 && link.nSlot <= 3)
      link.pChara->m_Targets.At(link.nSlot) = nullptr;
    else if (link.nSlot == 4)
      link.pChara->m_pOwner = nullptr;
  }
  m_BackLinks.clear();
  for (int j = 0; j < static_cast<int>(m_Targets.size()); ++j) {
    cCharaBase* target = m_Targets.At(j);
    if (!target) continue;
    RemoveBackLink(target, TARGETLINK{this, j});
    m_Targets.At(j) = nullptr;
  }
  if (m_pOwner) {
    RemoveBackLink(m_pOwner, TARGETLINK{this, 4});
    m_pOwner = nullptr;
  }
  for (const SHOTLINK& link : m_ShotLinks) ClearShotLink(link.pShot, link.nKind);
  m_ShotLinks.clear();
}

void cCharaBase::SetAnimeSet(int set, int force) {
  if (!force && set == m_Def.m_sAnimeSet) return;
  m_Def.m_sAnimeSet = static_cast<int16_t>(set);
  cSafeVector<ANIMEFRAMELIST> table;
  auto& sets = g_Database.m_AnimeSets;
  if (!sets.empty()) {
    // A bad set number is reported and set 0 is used.
    const cAnimeSet& s = sets.At(set);
    for (const cAnimeData& anime : s.m_Animes) {
      ANIMEFRAMELIST list;
      for (const cAnimeFrameData& f : anime.m_Frames)
        list.push_back(ANIMEFRAME{f.m_nPattern, f.m_nTime * FRAMES_PER_TENTH, 1});
      list.push_back(ANIMEFRAME{ANIME_LOOP, 0, 1});
      table.push_back(list);
    }
  }
  const int current = m_Anime.m_nAnime;
  m_Anime.SetTable(table);
  m_Anime.m_nAnime = current;
  m_Anime.m_nFrame = 0;
  m_Anime.m_nTick = 0;
}

void ClearShotLink(cShot*, int) {}
