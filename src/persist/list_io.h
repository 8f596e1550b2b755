// The lists that follow a record body in System.dat and its sub-records: byte, int, text and
// record lists, each an int32 count followed by the elements. Every count and length is checked
// against what the file can still hold before anything is allocated.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/data_file.h"
#include "data/record.h"
#include "platform/win_types.h"

// One text of a text list: int32 length with the NUL (1, or 0, for an empty text with no bytes
// following), then the bytes; the text ends at its first NUL. False on a damaged file.
bool ReadCountedString(FILE* fp, std::string& text);
void WriteCountedString(FILE* fp, const std::string& text);

// Reads a list count; false when the rest of the file cannot hold that many elements of at least
// `minElementBytes`. A negative count is returned as it stands (the callers decide what it means).
bool ReadListCount(FILE* fp, int32_t* count, size_t minElementBytes);

// Byte and int lists: a count above 0 replaces the list, 0 or less keeps what it held.
bool LoadByteList(FILE* fp, cSafeVector<BYTE>& list);
bool LoadIntList(FILE* fp, cSafeVector<int32_t>& list);
// Text lists take exactly the stored count (a negative one as 0); CRs are kept.
bool LoadTextList(FILE* fp, cSafeVector<std::string>& list);

void SaveByteList(FILE* fp, const cSafeVector<BYTE>& list);
void SaveIntList(FILE* fp, const cSafeVector<int32_t>& list);
void SaveTextList(FILE* fp, const cSafeVector<std::string>& list);

// Record lists take exactly the stored count (a negative one as 0, where LoadRecordVector refuses
// the file); every element is a new record of T that reads its own body. Written with
// SaveRecordVector.
template <class T>
bool LoadRecordList(FILE* fp, cSafeVector<T>& list) {
  int32_t n = 0;
  if (!ReadListCount(fp, &n, MIN_RECORD_BODY_BYTES)) return false;
  if (n < 0) n = 0;
  list.assign(static_cast<size_t>(n), T());
  for (T& element : list) {
    if (!element.Load(fp)) return false;
  }
  return true;
}
