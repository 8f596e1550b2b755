// Palettes: three definition lists (blocks, characters, items) that stages place from and that
// definitions take templates from. The common palette is one per project; the stage palette is
// the loaded stage's own three lists.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "core/safe_containers.h"
#include "data/block.h"
#include "data/chara_def.h"
#include "data/item_def.h"
#include "data/record.h"

// Template and item sources of the definitions.
constexpr int8_t PALKIND_NONE = 0;
constexpr int8_t PALKIND_COMMON = 1;
constexpr int8_t PALKIND_STAGE = 2;

class cPalette : public cRecord {
 public:
  cPalette();

  void Register(int nVersion) override;
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  // At least two entries in every list, every definition validated.
  int Normalize();

  // Each reads int32 n and makes the list n default records, then loads them in place: the list
  // never reallocates while it fills, because later entries look up templates in it.
  static int LoadBlocks(cSafeVector<cBlock>& blocks, FILE* fp);
  static int LoadCharas(cSafeVector<cCharaDef>& charas, FILE* fp);
  static int LoadItems(cSafeVector<cItemDef>& items, FILE* fp);

  cSafeVector<cBlock> m_Blocks;
  cSafeVector<cCharaDef> m_Charas;
  cSafeVector<cItemDef> m_Items;
};

extern cPalette g_CommonPalette;

// The stage palette: the stage record installs its lists when it is built; until then (and for
// tools and tests) a palette holding one default entry per list, as a fresh stage has, stands in.
void SetStagePalette(cPalette* palette);
cPalette& GetStagePalette();

// The list a definition names by kind (1 common, 2 stage); null for any other kind.
cSafeVector<cBlock>* GetPaletteBlocks(int kind);
cSafeVector<cCharaDef>* GetPaletteCharas(int kind);
cSafeVector<cItemDef>* GetPaletteItems(int kind);

// An item of either palette, or null for another palette type or an index outside the list.
cItemDef* GetPaletteItemDef(int8_t paletteType, int16_t index);

// True when `index` is not an element of a list of `size` entries (negative indexes included).
inline bool IsOutsideList(int32_t index, size_t size) { return static_cast<uint32_t>(index) >= size; }

// Template inheritance shared by blocks, characters and items: the template is entry
// m_sInheritIndex of `list` (the palette list that m_cInheritKind names; null for a kind that
// names the definition itself). A template outside the list (a negative index included) switches
// inheritance off; otherwise `copyGroup` (group, template) runs for every flagged group in
// increasing order, and flags past the last group name nothing.
template <class DEF, class COPY>
void ApplyPaletteTemplate(DEF& def, const cSafeVector<DEF>* list, int groupCount, COPY copyGroup) {
  if (def.m_sInheritIndex == 0 || def.m_cInheritKind == 0 || !list) return;
  if (IsOutsideList(def.m_sInheritIndex, list->size())) {
    def.m_cInheritKind = 0;
    return;
  }
  const DEF& source = (*list)[static_cast<size_t>(def.m_sInheritIndex)];
  if (&source == &def) return;
  int groups = std::min<int>(static_cast<int>(def.m_InheritFlags.size()), groupCount);
  for (int g = 0; g < groups; ++g) {
    if (def.m_InheritFlags[static_cast<size_t>(g)] != 0) copyGroup(g, source);
  }
}

// Drops a template reference that is not in the palette list its kind names.
template <class DEF>
void ResetOutsideTemplate(DEF& def, const cSafeVector<DEF>* list) {
  if (list && IsOutsideList(def.m_sInheritIndex, list->size())) {
    def.m_cInheritKind = 0;
    def.m_sInheritIndex = 0;
  }
}
