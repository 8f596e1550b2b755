// The record base: every record stored in a data file registers which of its members go to the
// file, in file order, for a given data version. Load reads the layout of the file's version,
// Save always writes the current one, and the class's own lists follow the registered part.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/data_file.h"

// Members dropped from the file layout are still registered for old versions, pointed here, so
// that their bytes are read and thrown away.
extern int32_t g_nDummyMember;

// One registered member: where it lies inside its record (so that a copied record's table refers
// to the copy's own members), element count and element size (1, 2, 4 or 8 bytes).
struct RECORDMEMBER {
  ptrdiff_t nOffset = 0;  // from the record's base; DUMMY_OFFSET for a discarded member
  int32_t nCount = 0;
  BYTE cSize = 0;

  static constexpr ptrdiff_t DUMMY_OFFSET = -1;
  int32_t GetBytes() const { return nCount * cSize; }
};

// A stored byte that the file defines as unsigned but that is held in an int8_t member: upgrades
// and range checks compare it through this, so that 128 to 255 are not taken for negatives.
constexpr int StoredByte(int8_t c) { return static_cast<uint8_t>(c); }

struct RECORDSTRING {
  ptrdiff_t nOffset = 0;
};

class cRecord {
 public:
  cRecord() = default;
  cRecord(const cRecord&) = default;
  cRecord& operator=(const cRecord&) = default;
  virtual ~cRecord() = default;

  // Called on the source of an assignment; no record needs it.
  virtual void OnCopySource(int nVersion);
  // Rebuilds both tables for the layout of `nVersion` (each class starts with ClearMemberTables).
  virtual void Register(int nVersion);
  // Reads a record body of g_nFileVersion's layout; 0 when the file is short or damaged, in which
  // case the record keeps a usable state and the tables describe the current layout again.
  virtual int Load(FILE* fp);
  // Writes the record body in the current layout. Write errors stay in the stream's error flag,
  // which CloseDataFile reports.
  virtual void Save(FILE* fp);

  void AddMember1(void* field, int count);
  void AddMember2(void* field, int count);
  void AddMember4(void* field, int count);
  void AddMember8(void* field, int count);
  void AddString(std::string* text);
  void ClearMemberTables();

  int LoadStrings(FILE* fp);
  void SaveStrings(FILE* fp);

  // Zeroes every registered member (all elements) and empties every registered string.
  void Clear();
  // Copies the registered members and strings (not the lists) of a record of the same class.
  void CopyMembersFrom(const cRecord& src);
  // Removes every CR byte from the strings of the table as it stands.
  void StripCR();

  int LoadFromFile(const char* path);
  int SaveToFile(const char* path);

  int GetMemberCount() const { return static_cast<int>(m_Members.size()); }
  int GetStringCount() const { return static_cast<int>(m_Strings.size()); }
  // Total bytes of the registered members (the member part of a body, without the count).
  int GetMemberBytes() const;

 protected:
  void* MemberAddress(const RECORDMEMBER& member);
  std::string& StringAt(const RECORDSTRING& entry);

 private:
  void AddMember(void* field, int count, int size);

  cSafeVector<RECORDMEMBER> m_Members;
  cSafeVector<RECORDSTRING> m_Strings;
};

// Smallest body a record can have: its member count and its string count.
constexpr size_t MIN_RECORD_BODY_BYTES = 8;

// Replaces the list by `n` elements, each a copy of `prototype` appended only when it is read by
// `load(element)`: a count the file cannot back never makes the list take more memory than the
// elements actually read (a stored record can be far smaller than the object it becomes).
template <class T, class Load>
int LoadGrowing(cSafeVector<T>& list, int32_t n, const T& prototype, Load load) {
  list.clear();
  for (int32_t i = 0; i < n; ++i) {
    list.push_back(prototype);
    if (!load(list.back())) return 0;
  }
  return 1;
}

// Reads a counted list of records: the int32 count (refused when negative or more than the rest
// of the file can hold at `minElementBytes` each), the old elements replaced by copies of
// `prototype`, then each element's Load in order. 0 on a damaged file.
template <class T>
int LoadRecordVector(cSafeVector<T>& list, FILE* fp, const T& prototype,
                     size_t minElementBytes = MIN_RECORD_BODY_BYTES) {
  int32_t n = 0;
  if (!ReadCount(fp, &n, minElementBytes)) return 0;
  return LoadGrowing(list, n, prototype, [fp](T& element) { return element.Load(fp) != 0; });
}

// Writes the int32 count and each element's Save.
template <class T>
void SaveRecordVector(cSafeVector<T>& list, FILE* fp) {
  WriteInt32(fp, static_cast<int32_t>(list.size()));
  for (T& element : list) element.Save(fp);
}
