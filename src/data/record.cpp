#include "data/record.h"

#include <algorithm>
#include <cassert>
#include <cstring>

int32_t g_nDummyMember = 0;

void cRecord::OnCopySource(int) {}

void cRecord::Register(int) { ClearMemberTables(); }

void cRecord::ClearMemberTables() {
  m_Members.clear();
  m_Strings.clear();
}

void cRecord::AddMember(void* field, int count, int size) {
  RECORDMEMBER member;
  if (field == &g_nDummyMember) {
    member.nOffset = RECORDMEMBER::DUMMY_OFFSET;
  } else {
    member.nOffset = static_cast<char*>(field) - reinterpret_cast<char*>(this);
    assert(member.nOffset >= 0);
  }
  member.nCount = count;
  member.cSize = static_cast<BYTE>(size);
  m_Members.push_back(member);
}

void cRecord::AddMember1(void* field, int count) { AddMember(field, count, 1); }
void cRecord::AddMember2(void* field, int count) { AddMember(field, count, 2); }
void cRecord::AddMember4(void* field, int count) { AddMember(field, count, 4); }
void cRecord::AddMember8(void* field, int count) { AddMember(field, count, 8); }

void cRecord::AddString(std::string* text) {
  RECORDSTRING entry;
  entry.nOffset = reinterpret_cast<char*>(text) - reinterpret_cast<char*>(this);
  assert(entry.nOffset >= 0);
  m_Strings.push_back(entry);
}

void* cRecord::MemberAddress(const RECORDMEMBER& member) {
  if (member.nOffset == RECORDMEMBER::DUMMY_OFFSET) return nullptr;
  return reinterpret_cast<char*>(this) + member.nOffset;
}

std::string& cRecord::StringAt(const RECORDSTRING& entry) {
  return *reinterpret_cast<std::string*>(reinterpret_cast<char*>(this) + entry.nOffset);
}

int cRecord::GetMemberBytes() const {
  int total = 0;
  for (const RECORDMEMBER& member : m_Members) total += member.GetBytes();
  return total;
}

int cRecord::Load(FILE* fp) {
  Register(g_nFileVersion);
  bool ok = true;
  int32_t n = 0;
  // Each stored member takes at least one byte.
  ok = ReadCount(fp, &n, 1);
  int tableSize = GetMemberCount();
  for (int i = 0; ok && i < n && i < tableSize; ++i) {
    const RECORDMEMBER& member = m_Members.At(i);
    void* field = MemberAddress(member);
    ok = field ? ReadData(fp, field, static_cast<size_t>(member.GetBytes()))
               : SkipData(fp, static_cast<size_t>(member.GetBytes()));
  }
  if (ok && n > tableSize) {
    // A damaged or foreign file: the surplus has no member to go to. Reported once, with the
    // close request of a bad index, and the load fails instead of writing into another member.
    ReportBadIndex('V', tableSize, tableSize, static_cast<int>(sizeof(RECORDMEMBER)));
    FailDataRead(fp, "メンバー数が多すぎます");
    ok = false;
  }
  if (ok) ok = LoadStrings(fp) != 0;
  if (g_nDataVersion != g_nFileVersion) Register(g_nDataVersion);
  return ok ? 1 : 0;
}

int cRecord::LoadStrings(FILE* fp) {
  int32_t m = 0;
  // Each stored string takes at least its length.
  if (!ReadCount(fp, &m, 4)) return 0;
  int tableSize = GetStringCount();
  bool ok = true;
  for (int i = 0; ok && i < m && i < tableSize; ++i) {
    int32_t length = 0;
    if (!ReadInt32(fp, &length)) {
      ok = false;
      break;
    }
    std::string& text = StringAt(m_Strings.At(i));
    if (length == 0 || length == 1) {
      // 0 is never written; both mean an empty text with no bytes following.
      text.clear();
      continue;
    }
    if (length < 0 || static_cast<size_t>(length) > RemainingBytes(fp)) {
      FailDataRead(fp, "文字列の長さが不正です");
      ok = false;
      break;
    }
    std::string buffer(static_cast<size_t>(length), '\0');
    ok = ReadData(fp, buffer.data(), buffer.size());
    if (ok) text.assign(buffer.c_str());
  }
  if (ok && m > tableSize) {
    ReportBadIndex('V', tableSize, tableSize, static_cast<int>(sizeof(RECORDSTRING)));
    FailDataRead(fp, "文字列の数が多すぎます");
    ok = false;
  }
  if (g_bStripCR) StripCR();
  return ok ? 1 : 0;
}

void cRecord::Save(FILE* fp) {
  Register(g_nDataVersion);
  WriteInt32(fp, GetMemberCount());
  for (int i = 0; i < GetMemberCount(); ++i) {
    const RECORDMEMBER& member = m_Members.At(i);
    const void* field = MemberAddress(member);
    if (field) {
      WriteData(fp, field, static_cast<size_t>(member.GetBytes()));
    } else {
      // Dropped members are never registered for the current version; keep the layout anyway.
      std::vector<char> zeros(static_cast<size_t>(member.GetBytes()), 0);
      WriteData(fp, zeros.data(), zeros.size());
    }
  }
  SaveStrings(fp);
}

void cRecord::SaveStrings(FILE* fp) {
  WriteInt32(fp, GetStringCount());
  for (int i = 0; i < GetStringCount(); ++i) {
    std::string& text = StringAt(m_Strings.At(i));
    // The stored text ends at its first NUL, and so does the text in memory from now on.
    size_t nul = text.find('\0');
    if (nul != std::string::npos) text.resize(nul);
    WriteInt32(fp, static_cast<int32_t>(text.size() + 1));
    if (!text.empty()) WriteData(fp, text.c_str(), text.size() + 1);
  }
}

void cRecord::Clear() {
  Register(g_nDataVersion);
  for (const RECORDMEMBER& member : m_Members) {
    if (void* field = MemberAddress(member)) std::memset(field, 0, static_cast<size_t>(member.GetBytes()));
  }
  for (const RECORDSTRING& entry : m_Strings) StringAt(entry).clear();
}

void cRecord::CopyMembersFrom(const cRecord& src) {
  cRecord& source = const_cast<cRecord&>(src);
  Register(g_nDataVersion);
  source.Register(g_nDataVersion);
  int members = std::min(GetMemberCount(), source.GetMemberCount());
  for (int i = 0; i < members; ++i) {
    const RECORDMEMBER& mine = m_Members.At(i);
    const RECORDMEMBER& theirs = source.m_Members.At(i);
    void* to = MemberAddress(mine);
    const void* from = source.MemberAddress(theirs);
    if (to && from) std::memcpy(to, from, static_cast<size_t>(std::min(mine.GetBytes(), theirs.GetBytes())));
  }
  int strings = std::min(GetStringCount(), source.GetStringCount());
  for (int i = 0; i < strings; ++i) StringAt(m_Strings.At(i)) = source.StringAt(source.m_Strings.At(i));
}

void cRecord::StripCR() {
  for (const RECORDSTRING& entry : m_Strings) {
    std::string& text = StringAt(entry);
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  }
}

int cRecord::LoadFromFile(const char* path) {
  FILE* fp = OpenDataFileForRead(path);
  if (!fp) return 0;
  int ok = Load(fp);
  if (ok && IsDataReadFailed(fp)) ok = 0;
  CloseDataFile(fp);
  return ok;
}

int cRecord::SaveToFile(const char* path) {
  FILE* fp = OpenDataFileForWrite(path);
  if (!fp) return 0;
  Save(fp);
  return CloseDataFile(fp);
}
