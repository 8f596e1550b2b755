#include "data/project_refs.h"

#include "data/database.h"
#include "data/palette.h"

cProjectDataRefs g_ProjectDataRefs;

int cProjectDataRefs::GetDatabaseCount(int nList) const {
  const cDatabase& db = g_Database;
  switch (nList) {
    case DBLIST_ANIME: return static_cast<int>(db.m_Animes.size());
    case DBLIST_ANIMESET: return static_cast<int>(db.m_AnimeSets.size());
    case DBLIST_SOUND: return static_cast<int>(db.m_Sounds.size());
    case DBLIST_BGM: return static_cast<int>(db.m_Bgms.size());
    case DBLIST_EFFECT: return static_cast<int>(db.m_Effects.size());
    case DBLIST_CHARAEFFECT: return static_cast<int>(db.m_CharaEffects.size());
    case DBLIST_SCREFFECT: return static_cast<int>(db.m_ScrEffects.size());
    case DBLIST_PICTURE: return static_cast<int>(db.m_Pictures.size());
    case DBLIST_SWORDTYPE: return static_cast<int>(db.m_SwordTypes.size());
    case DBLIST_CHARAEXC: return static_cast<int>(db.m_CharaExcs.size());
    default: return 0;
  }
}

int cProjectDataRefs::GetSwordEntryCount(int nType) const {
  const cSafeVector<cSwordType>& types = g_Database.m_SwordTypes;
  if (IsOutsideList(nType, types.size())) return 0;
  return static_cast<int>(types[static_cast<size_t>(nType)].m_Entries.size());
}

int32_t cProjectDataRefs::GetSwordEntryDuration(int nType, int nEntry) const {
  if (IsOutsideList(nEntry, static_cast<size_t>(GetSwordEntryCount(nType)))) return 0;
  return g_Database.m_SwordTypes[static_cast<size_t>(nType)].m_Entries[static_cast<size_t>(nEntry)].m_nTime;
}

int cProjectDataRefs::GetPaletteCount(int nPalette, int nList) const {
  // Commands number the palettes from 0; definitions name them by kind from 1.
  const cPalette& palette = nPalette == PALETTE_COMMON ? g_CommonPalette : GetStagePalette();
  if (nPalette != PALETTE_COMMON && nPalette != PALETTE_STAGE) return -1;
  switch (nList) {
    case PALLIST_BLOCK: return static_cast<int>(palette.m_Blocks.size());
    case PALLIST_CHARA: return static_cast<int>(palette.m_Charas.size());
    case PALLIST_ITEM: return static_cast<int>(palette.m_Items.size());
    default: return -1;
  }
}
