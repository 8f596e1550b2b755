#include "data/db_records.h"

namespace {

// Smallest stored bodies: the record's member and string counts (and a list count).
constexpr size_t MIN_RECORD_BYTES = 8;

// The int32 every list gained in version 151 (152 for exclusive bitmaps) held values that
// versions before 153 no longer mean; they read as 0.
int LoadWithResetBefore153(cRecord& record, int32_t& value, FILE* fp) {
  int ok = record.cRecord::Load(fp);
  if (g_nFileVersion < 153) value = 0;
  return ok;
}

template <class T>
int LoadRecordList(cSafeVector<T>& list, FILE* fp) {
  int32_t n = 0;
  if (!ReadCount(fp, &n, MIN_RECORD_BYTES)) return 0;
  return LoadGrowing(list, n, T(), [fp](T& element) { return element.Load(fp) != 0; });
}

template <class T>
void SaveRecordList(cSafeVector<T>& list, FILE* fp) {
  WriteInt32(fp, static_cast<int32_t>(list.size()));
  for (T& element : list) element.Save(fp);
}

// Parameters that files up to version 510 lack, with the editor's defaults: {kind, parameter, value}.
struct ParamDefault {
  int32_t nKind;
  int nParam;
  int32_t nValue;
};
constexpr ParamDefault CHARA_EFFECT_PARAM_DEFAULTS[] = {{4, 4, 2}, {5, 4, 2}, {10, 3, 2}};
constexpr ParamDefault SCR_EFFECT_PARAM_DEFAULTS[] = {{6, 4, 8}, {7, 4, 10}, {10, 3, 8}};

template <size_t N>
int LoadEffectParams(cEffectParamDef& def, FILE* fp, const ParamDefault (&defaults)[N]) {
  int ok = def.cEffectParamDef::Load(fp);
  if (g_nFileVersion <= 510) {
    for (const ParamDefault& entry : defaults) {
      if (def.m_nKind == entry.nKind) def.m_nParam[entry.nParam] = entry.nValue;
    }
  }
  return ok;
}

}  // namespace

cBmpCharaExc::cBmpCharaExc() {
  Register(DATA_VERSION);
  Clear();
}

void cBmpCharaExc::Register(int v) {
  ClearMemberTables();
  if (v >= 152) AddMember4(&m_nValue152, 1);
  if (v >= 172) {
    AddMember4(&m_nCellSizeFlag, 1);
    AddMember4(&m_nCellSize, 1);
  }
  AddString(&m_strName);
  AddString(&m_strFile);
}

int cBmpCharaExc::Load(FILE* fp) { return LoadWithResetBefore153(*this, m_nValue152, fp); }

cSwordTypeEntry::cSwordTypeEntry() {
  Register(DATA_VERSION);
  Clear();
}

void cSwordTypeEntry::Register(int v) {
  ClearMemberTables();
  AddMember4(&m_nOfsX, 1);
  AddMember4(&m_nOfsY, 1);
  if (v >= 138) {
    AddMember4(&m_nMirrorX, 1);
    AddMember4(&m_nMirrorY, 1);
  }
  AddMember4(&m_nPosKind, 1);
  AddMember4(&m_nImageX, 1);
  AddMember4(&m_nImageY, 1);
  AddMember4(&m_nWidth, 1);
  AddMember4(&m_nHeight, 1);
  AddMember4(&m_nTime, 1);
}

cSwordType::cSwordType() {
  Register(DATA_VERSION);
  Clear();
  m_Entries.assign(1, cSwordTypeEntry());
  m_Entries.front().m_nMirrorX = 1;
  m_Entries.front().m_nTime = 1;
}

void cSwordType::Register(int v) {
  ClearMemberTables();
  if (v >= 151) AddMember4(&m_nValue151, 1);
  AddString(&m_strName);
  AddString(&m_strText2);
  AddString(&m_strText3);
}

int cSwordType::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  if (ok) ok = LoadRecordList(m_Entries, fp);
  if (g_nFileVersion < 153) m_nValue151 = 0;
  return ok;
}

void cSwordType::Save(FILE* fp) {
  cRecord::Save(fp);
  SaveRecordList(m_Entries, fp);
}

cEffectFrame::cEffectFrame() {
  Register(DATA_VERSION);
  Clear();
}

void cEffectFrame::Register(int) {
  ClearMemberTables();
  AddMember4(&m_nPattern, 1);
  AddMember4(&m_nTime, 1);
}

cEffectDef::cEffectDef() {
  Register(DATA_VERSION);
  Clear();
  m_nFrameWidth = 32;
  m_nFrameHeight = 32;
  m_nScaleWithAttacker = 0;
  m_Frames.assign(1, cEffectFrame());
}

void cEffectDef::Register(int v) {
  ClearMemberTables();
  if (v >= 151) AddMember4(&m_nValue151, 1);
  AddMember4(&m_nFrameWidth, 1);
  AddMember4(&m_nFrameHeight, 1);
  AddMember4(&m_nScaleWithAttacker, 1);
  AddString(&m_strName);
  AddString(&m_strFile);
}

int cEffectDef::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  if (ok) ok = LoadRecordList(m_Frames, fp);
  if (g_nFileVersion < 153) m_nValue151 = 0;
  return ok;
}

void cEffectDef::Save(FILE* fp) {
  cRecord::Save(fp);
  SaveRecordList(m_Frames, fp);
}

cEffectParamDef::cEffectParamDef() {
  Register(DATA_VERSION);
  Clear();
}

void cEffectParamDef::Register(int) {
  ClearMemberTables();
  AddMember4(&m_nKind, 1);
  for (int32_t& param : m_nParam) AddMember4(&param, 1);
  AddString(&m_strName);
}

int cCharaEffectDef::Load(FILE* fp) { return LoadEffectParams(*this, fp, CHARA_EFFECT_PARAM_DEFAULTS); }

int cScrEffectDef::Load(FILE* fp) { return LoadEffectParams(*this, fp, SCR_EFFECT_PARAM_DEFAULTS); }

cPictureDef::cPictureDef() {
  Register(DATA_VERSION);
  Clear();
}

void cPictureDef::Register(int v) {
  ClearMemberTables();
  if (v >= 151) AddMember4(&m_nValue151, 1);
  AddString(&m_strName);
  AddString(&m_strFile);
}

int cPictureDef::Load(FILE* fp) { return LoadWithResetBefore153(*this, m_nValue151, fp); }

cSoundDef::cSoundDef() {
  Register(DATA_VERSION);
  Clear();
}

void cSoundDef::Register(int v) {
  ClearMemberTables();
  if (v >= 151) AddMember4(&m_nValue151, 1);
  AddString(&m_strName);
  AddString(&m_strFile);
}

int cSoundDef::Load(FILE* fp) { return LoadWithResetBefore153(*this, m_nValue151, fp); }

cBgmDef::cBgmDef() {
  Register(DATA_VERSION);
  Clear();
  m_nVolume = 100;
}

void cBgmDef::Register(int v) {
  ClearMemberTables();
  if (v >= 151) AddMember4(&m_nValue151, 1);
  if (v >= 814) AddMember4(&m_nVolume, 1);
  AddString(&m_strName);
  AddString(&m_strFile);
}

int cBgmDef::Load(FILE* fp) { return LoadWithResetBefore153(*this, m_nValue151, fp); }
