#include "persist/system_data_records.h"

#include "persist/list_io.h"

cStatusItem::cStatusItem() {
  Register(DATA_VERSION);
  Clear();
}

void cStatusItem::Register(int nVersion) {
  ClearMemberTables();
  AddMember4(&m_bShown, 1);
  AddMember4(&m_bIcon, 1);
  AddString(&m_strLabel);
  AddMember4(&m_nDigits, 1);
  if (nVersion >= 204) AddMember4(&m_bGaugeValue, 1);
  if (nVersion >= 587) {
    AddMember4(&m_nLowLevel, 1);
    AddMember4(&m_bLowPercent, 1);
  }
}

int cStatusItem::Load(FILE* fp) {
  int ok = cRecord::Load(fp);
  // The number over the gauge was always drawn before it became a choice.
  if (g_nFileVersion < 204) m_bGaugeValue = 1;
  return ok;
}

cRankingRule::cRankingRule() {
  Register(DATA_VERSION);
  Clear();
}

void cRankingRule::Register(int) {
  ClearMemberTables();
  AddMember4(&m_bEnabled, 1);
}

int cRankingRule::Load(FILE* fp) {
  if (!cRecord::Load(fp)) return 0;
  return LoadByteList(fp, m_Kinds) ? 1 : 0;
}

void cRankingRule::Save(FILE* fp) {
  cRecord::Save(fp);
  SaveByteList(fp, m_Kinds);
}

cIniKey::cIniKey() {
  Register(DATA_VERSION);
  Clear();
}

void cIniKey::Register(int) {
  ClearMemberTables();
  AddMember4(&m_nKind, 1);
  AddString(&m_strKey);
  AddMember4(&m_nValue, 1);
  AddString(&m_strText);
}

void cIniKey::SetNumber(const char* name, int32_t value) {
  m_strKey = name;
  m_nKind = KIND_NUMBER;
  m_nValue = value;
}

void cIniKey::SetText(const char* name, const char* text) {
  m_strKey = name;
  m_nKind = KIND_TEXT;
  m_strText = text;
}

cIniKey cIniKey::MakeNumber(const char* name, int32_t value) {
  cIniKey key;
  key.SetNumber(name, value);
  return key;
}

cIniKey cIniKey::MakeText(const char* name, const char* text) {
  cIniKey key;
  key.SetText(name, text);
  return key;
}
