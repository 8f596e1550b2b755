#include "stage/anime_player.h"

#include "core/report_log.h"

namespace {

bool IsEndPattern(int32_t pattern) {
  return pattern < 0 && pattern != ANIME_STEP_BACK && pattern != ANIME_LOOP && pattern != ANIME_CHAIN;
}

}  // namespace

void cAnime::Clear() {
  m_Table.clear();
  m_nAnime = 0;
  m_nFrame = 0;
  m_nTick = 0;
}

void cAnime::SetTable(const ANIMESRC* const* source) {
  if (!source) return;
  Clear();
  for (; *source; ++source) {
    const ANIMESRC* entries = *source;
    ANIMEFRAMELIST list;
    int m = 0;
    if (entries[0].nPattern >= 0) {
      m = 1;
      while (entries[m].nPattern >= 0) ++m;
    }
    for (int i = 0; i <= m; ++i) list.push_back(ANIMEFRAME{entries[i].nPattern, entries[i].nFrames, entries[i].cHold});
    m_Table.push_back(std::move(list));
  }
}

void cAnime::SetTable(const cSafeVector<ANIMEFRAMELIST>& table) {
  m_Table = table;
  m_nAnime = 0;
  m_nFrame = 0;
  m_nTick = 0;
}

const ANIMEFRAMELIST& cAnime::Current() const {
  // A number the table does not hold (a short animation set of the project) shows animation 0.
  const bool inside = m_nAnime >= 0 && m_nAnime < static_cast<int32_t>(m_Table.size());
  return m_Table.At(inside ? m_nAnime : 0);
}

bool cAnime::HeldNow() const {
  // Nothing is running before a table is installed, so nothing can hold.
  if (m_Table.empty()) return false;
  const ANIMEFRAMELIST& list = Current();
  if (list.empty()) return false;
  return list.At(m_nFrame).nHold != 0;
}

int cAnime::Set(int nAnime, int bForce) {
  if (!bForce && HeldNow()) return 0;
  if (!m_Table.empty() && (nAnime < 0 || nAnime >= static_cast<int>(m_Table.size())))
    WriteReportLogF("err anime %d of %d", nAnime, static_cast<int>(m_Table.size()));
  m_nAnime = nAnime;
  m_nFrame = 0;
  m_nTick = 0;
  return 1;
}

int cAnime::Change(int nAnime, int bForce) {
  if (nAnime == m_nAnime) return 1;
  return Set(nAnime, bForce);
}

int cAnime::Update() {
  if (m_Table.empty()) return 0;
  const ANIMEFRAMELIST* list = &Current();
  if (list->empty()) return 0;
  const ANIMEFRAME& current = list->At(m_nFrame);
  // An ended animation stays on its end entry however often it is updated.
  if (IsEndPattern(current.nPattern)) return current.nPattern;
  if (++m_nTick >= current.nFrames) {
    m_nTick = 0;
    const int32_t previous = m_nFrame;
    const int32_t last = static_cast<int32_t>(list->size()) - 1;
    // A list without a closing entry holds its last picture instead of running off its end.
    m_nFrame = previous < last ? previous + 1 : last;
    const ANIMEFRAME& next = list->At(m_nFrame);
    if (next.nPattern == ANIME_CHAIN) {
      // A chain to an animation that is not in the table keeps the picture it had.
      if (next.nFrames >= 0 && next.nFrames < static_cast<int32_t>(m_Table.size()) &&
          !m_Table.At(next.nFrames).empty()) {
        Set(next.nFrames, 1);
        list = &Current();
      } else {
        m_nFrame = previous;
      }
    } else if (next.nPattern == ANIME_LOOP) {
      m_nFrame = 0;
    } else if (next.nPattern == ANIME_STEP_BACK) {
      m_nFrame = m_nFrame > 0 ? m_nFrame - 1 : 0;
    }
  }
  return list->At(m_nFrame).nPattern;
}

int cAnime::GetPattern() const {
  if (m_Table.empty()) return 0;
  const ANIMEFRAMELIST& list = Current();
  if (list.empty()) return 0;
  return list.At(m_nFrame).nPattern;
}
