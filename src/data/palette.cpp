#include "data/palette.h"

namespace {

// Smallest stored forms: a record body (member and string counts) plus what each class adds.
constexpr size_t MIN_BLOCK_BYTES = 8 + 4 + 4 + 4;
constexpr size_t MIN_CHARA_BYTES = 8 + 8 + 4 + 4 + 4;
constexpr size_t MIN_ITEM_BYTES = 8 + 4 + 4 + 4 + 4;
constexpr size_t MIN_PALETTE_ENTRIES = 2;

cPalette* g_pStagePalette = nullptr;

template <class T>
int LoadList(cSafeVector<T>& list, FILE* fp, size_t minBytes) {
  int32_t n = 0;
  if (!ReadCount(fp, &n, minBytes)) return 0;
  return LoadGrowing(list, n, T(), [fp](T& element) { return element.Load(fp) != 0; });
}

template <class T>
void SaveList(cSafeVector<T>& list, FILE* fp) {
  WriteInt32(fp, static_cast<int32_t>(list.size()));
  for (T& element : list) element.Save(fp);
}

template <class T>
void FillUp(cSafeVector<T>& list) {
  if (list.size() < MIN_PALETTE_ENTRIES) list.resize(MIN_PALETTE_ENTRIES);
}

template <class T>
void ClearInheritFlags(cSafeVector<T>& list) {
  for (T& element : list) element.m_InheritFlags.Fill(0);
}

cPalette& DefaultStagePalette() {
  static cPalette palette;
  return palette;
}

}  // namespace

cPalette g_CommonPalette;

cPalette::cPalette() : m_Blocks(1), m_Charas(1), m_Items(1) { Register(DATA_VERSION); }

void cPalette::Register(int) { ClearMemberTables(); }

int cPalette::LoadBlocks(cSafeVector<cBlock>& blocks, FILE* fp) { return LoadList(blocks, fp, MIN_BLOCK_BYTES); }
int cPalette::LoadCharas(cSafeVector<cCharaDef>& charas, FILE* fp) { return LoadList(charas, fp, MIN_CHARA_BYTES); }
int cPalette::LoadItems(cSafeVector<cItemDef>& items, FILE* fp) { return LoadList(items, fp, MIN_ITEM_BYTES); }

int cPalette::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  if (ok) ok = LoadBlocks(m_Blocks, fp);
  if (ok) ok = LoadCharas(m_Charas, fp);
  if (ok) ok = LoadItems(m_Items, fp);
  // Even a damaged file leaves a palette that follows the rules.
  if (!m_Blocks.empty()) m_Blocks.front().SetDefault();
  if (!m_Charas.empty()) m_Charas.front().SetDefault();
  if (!m_Items.empty()) m_Items.front().SetDefault();
  // The definitions keep what they took from their templates while loading, but from now on no
  // longer name groups to inherit.
  ClearInheritFlags(m_Blocks);
  ClearInheritFlags(m_Charas);
  ClearInheritFlags(m_Items);
  Normalize();
  return ok;
}

void cPalette::Save(FILE* fp) {
  Normalize();
  cRecord::Save(fp);
  SaveList(m_Blocks, fp);
  SaveList(m_Charas, fp);
  SaveList(m_Items, fp);
}

int cPalette::Normalize() {
  FillUp(m_Blocks);
  FillUp(m_Charas);
  FillUp(m_Items);
  for (cBlock& block : m_Blocks) {
    block.ValidatePalette();
    block.ValidateItem();
  }
  for (cCharaDef& chara : m_Charas) {
    chara.Validate();
    chara.ValidateFlows();
  }
  for (cItemDef& item : m_Items) {
    item.ValidatePalette();
    item.ValidateCommands();
  }
  return 1;
}

void SetStagePalette(cPalette* palette) { g_pStagePalette = palette; }

cPalette& GetStagePalette() { return g_pStagePalette ? *g_pStagePalette : DefaultStagePalette(); }

namespace {
cPalette* PaletteOfKind(int kind) {
  if (kind == PALKIND_COMMON) return &g_CommonPalette;
  if (kind == PALKIND_STAGE) return &GetStagePalette();
  return nullptr;
}
}  // namespace

cSafeVector<cBlock>* GetPaletteBlocks(int kind) {
  cPalette* palette = PaletteOfKind(kind);
  return palette ? &palette->m_Blocks : nullptr;
}

cSafeVector<cCharaDef>* GetPaletteCharas(int kind) {
  cPalette* palette = PaletteOfKind(kind);
  return palette ? &palette->m_Charas : nullptr;
}

cSafeVector<cItemDef>* GetPaletteItems(int kind) {
  cPalette* palette = PaletteOfKind(kind);
  return palette ? &palette->m_Items : nullptr;
}

cItemDef* GetPaletteItemDef(int8_t paletteType, int16_t index) {
  cSafeVector<cItemDef>* items = GetPaletteItems(paletteType);
  if (!items || IsOutsideList(index, items->size())) return nullptr;
  return &(*items)[static_cast<size_t>(index)];
}
