// What the validation of flows, commands and shot records needs from the loaded database and
// palettes, which are loaded later in start-up and built elsewhere. The database and palette
// owners install an implementation with SetDataRefs; without one, the reference checks are skipped
// (nothing to check against), so records keep their values.
#pragma once

#include <cstdint>

// Database lists that commands and shot records refer to by index.
enum : int {
  DBLIST_ANIME = 0,    // Anime.dat
  DBLIST_ANIMESET,     // AnimeSet.dat
  DBLIST_SOUND,        // Sound.dat
  DBLIST_BGM,          // Bgm.dat
  DBLIST_EFFECT,       // Effect.dat
  DBLIST_CHARAEFFECT,  // CharaEffect.dat
  DBLIST_SCREFFECT,    // ScrEffect.dat
  DBLIST_PICTURE,      // Picture.dat
  DBLIST_SWORDTYPE,    // SwordType.dat
  DBLIST_CHARAEXC,     // Bmp_CharaExc.dat
  DBLIST_COUNT
};

// Palettes as commands name them: 0 the common palette, 1 the stage palette.
constexpr int PALETTE_COMMON = 0;
constexpr int PALETTE_STAGE = 1;
// Definition lists of a palette.
enum : int { PALLIST_BLOCK = 0, PALLIST_CHARA, PALLIST_ITEM };

class cDataRefs {
 public:
  virtual ~cDataRefs() = default;
  // Number of entries of a database list.
  virtual int GetDatabaseCount(int nList) const = 0;
  // Entries of sword type `nType` and the duration of one of them (tenths of a second).
  virtual int GetSwordEntryCount(int nType) const = 0;
  virtual int32_t GetSwordEntryDuration(int nType, int nEntry) const = 0;
  // Number of definitions in a palette's list; -1 when that palette is not loaded (no check).
  virtual int GetPaletteCount(int nPalette, int nList) const = 0;
  // System data's switch that keeps test-play-only flows outside a test play.
  virtual int KeepTestFlows() const = 0;
};

// Installs the lookups (null removes them). The object must outlive its use.
void SetDataRefs(const cDataRefs* refs);
const cDataRefs* GetDataRefs();

// Set by start-up when the editor started a test play, before any definition is read.
extern int32_t g_bTestPlay;

// Whether the loaders keep flows marked test-play-only.
bool KeepTestPlayFlows();

// True when `index` is outside a database list (unsigned comparison: negative is outside).
// False when no lookups are installed.
bool IsOutsideDatabase(int nList, int32_t index);
