// Target and owner links between characters and the back-links that keep them safe, and the basic
// animation set of a character.
#include <climits>

#include "core/report_log.h"
#include "data/database.h"
#include "stage/chara_base.h"
#include "stage/chara_links.h"
#include "stage/game.h"
#include "stage/scene_play.h"
#include "stage/shot.h"

namespace {

// The entry a finished running animation stops on.
constexpr int32_t ANIME_END = -4;

void RemoveBackLink(cCharaBase* from, const TARGETLINK& link) {
  auto& v = from->m_BackLinks;
  for (auto it = v.begin(); it != v.end();) it = EqualLink(*it, link) ? v.erase(it) : it + 1;
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
  // Nor may a hit list keep this address: a character made later in its place would be taken as
  // already hit, and a piercing shot or a sword would pass through it.
  if (g_lpScenePlay)
    for (cShot& shot : g_lpScenePlay->m_Shots) shot.m_HitList.remove(this);
}

void cCharaBase::SetAnimeSet(int set, int force) {
  if (!force && set == m_Def.m_sAnimeSet) return;
  m_Def.m_sAnimeSet = static_cast<int16_t>(set);
  cSafeVector<ANIMEFRAMELIST> table;
  auto& sets = g_Database.m_AnimeSets;
  if (sets.empty()) {
    // No set 0 to fall back on: the player stays without animations (its pattern is 0).
    DebugLogf("err anime set %d of 0", set);
  } else {
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
  // A set with fewer animations than the one shown falls back to its first rather than indexing
  // past its end at the next update.
  m_Anime.m_nAnime = current >= 0 && current < static_cast<int>(table.size()) ? current : 0;
  m_Anime.m_nFrame = 0;
  m_Anime.m_nTick = 0;
}

void ClearShotLink(cShot* shot, int kind) {
  if (!shot) return;
  if (kind == SHOTLINK_TARGET) shot->m_pTarget = nullptr;
  if (kind == SHOTLINK_SHOOTER) shot->m_pShooter = nullptr;
}

void cCharaBase::RemoveAnimeOfFlow(int serial) {
  m_RunningAnimes.remove_if([serial](const RUNNINGANIME& a) { return a.m_nFlowSerial == serial; });
}

void cCharaBase::RemoveAnime(int anime) {
  m_RunningAnimes.remove_if([anime](const RUNNINGANIME& a) { return a.m_nAnime == anime; });
}

void cCharaBase::PauseAnimeOfFlow(int serial) {
  for (auto it = m_RunningAnimes.begin(); it != m_RunningAnimes.end();) {
    if (it->m_nFlowSerial != serial) {
      ++it;
    } else if (static_cast<int64_t>(it->m_nHold) + it->m_nWait - 1 < 0) {
      // Nothing of it would be left to show after a pause.
      it = m_RunningAnimes.erase(it);
    } else {
      it->m_bPaused = 1;
      ++it;
    }
  }
}

void cCharaBase::ResumeAnimeOfFlow(int serial) {
  for (RUNNINGANIME& a : m_RunningAnimes)
    if (a.m_nFlowSerial == serial) a.m_bPaused = 0;
}

int cCharaBase::GetCurrentPattern(int noAdvance) {
  if (!noAdvance) {
    m_Anime.Update();
    for (auto it = m_RunningAnimes.begin(); it != m_RunningAnimes.end();) {
      if (it->m_bPaused) {
        ++it;
      } else if (it->m_Anime.Update() == ANIME_END) {
        it = m_RunningAnimes.erase(it);
      } else {
        --it->m_nWait;
        ++it;
      }
    }
  }
  if (m_RunningAnimes.empty()) return m_Anime.GetPattern();
  // A scheduled cue whose count ran out wins over the others; among the rest the smallest count,
  // and an animation of the play command only when nothing else is chosen.
  int best = INT_MAX;
  const RUNNINGANIME* chosen = nullptr;
  bool z = false;
  for (const RUNNINGANIME& a : m_RunningAnimes) {
    if (a.m_bPaused) continue;
    if (z) {
      if (a.m_nWait <= 0 && best <= 0 && a.m_nWait > best) {
        chosen = &a;
        best = a.m_nWait;
      }
    } else if (a.m_bScheduled) {
      if (a.m_nWait <= 0 && best <= 0) {
        chosen = &a;
        best = a.m_nWait;
        z = true;
      } else if (a.m_nWait < best) {
        chosen = &a;
        best = a.m_nWait;
      }
    } else if (!chosen) {
      chosen = &a;
      best = INT_MAX;
    }
  }
  return chosen ? chosen->m_Anime.GetPattern() : m_Anime.GetPattern();
}
