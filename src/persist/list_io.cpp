#include "persist/list_io.h"

bool ReadCountedString(FILE* fp, std::string& text) {
  int32_t length = 0;
  if (!ReadInt32(fp, &length)) return false;
  if (length == 0 || length == 1) {
    text.clear();
    return true;
  }
  if (length < 0 || static_cast<size_t>(length) > RemainingBytes(fp)) {
    FailDataRead(fp, "文字列の長さが不正です");
    return false;
  }
  std::string buffer(static_cast<size_t>(length), '\0');
  if (!ReadData(fp, buffer.data(), buffer.size())) return false;
  text.assign(buffer.c_str());
  return true;
}

void WriteCountedString(FILE* fp, const std::string& text) {
  // The stored text ends at its first NUL, whatever its length.
  size_t length = text.find('\0');
  if (length == std::string::npos) length = text.size();
  WriteInt32(fp, static_cast<int32_t>(length + 1));
  if (length == 0) return;
  WriteData(fp, text.data(), length);
  WriteData(fp, "", 1);
}

bool ReadListCount(FILE* fp, int32_t* count, size_t minElementBytes) {
  int32_t n = 0;
  if (!ReadInt32(fp, &n)) return false;
  if (n > 0 && static_cast<size_t>(n) > RemainingBytes(fp) / (minElementBytes ? minElementBytes : 1)) {
    FailDataRead(fp, "件数が不正です");
    return false;
  }
  *count = n;
  return true;
}

template <class T>
static bool LoadScalarList(FILE* fp, cSafeVector<T>& list) {
  int32_t n = 0;
  if (!ReadListCount(fp, &n, sizeof(T))) return false;
  if (n <= 0) return true;
  list.assign(static_cast<size_t>(n), T{});
  return ReadData(fp, list.data(), list.size() * sizeof(T));
}

bool LoadByteList(FILE* fp, cSafeVector<BYTE>& list) { return LoadScalarList(fp, list); }
bool LoadIntList(FILE* fp, cSafeVector<int32_t>& list) { return LoadScalarList(fp, list); }

bool LoadTextList(FILE* fp, cSafeVector<std::string>& list) {
  int32_t n = 0;
  if (!ReadListCount(fp, &n, sizeof(int32_t))) return false;
  if (n < 0) n = 0;
  list.assign(static_cast<size_t>(n), std::string());
  for (std::string& text : list) {
    if (!ReadCountedString(fp, text)) return false;
  }
  return true;
}

template <class T>
static void SaveScalarList(FILE* fp, const cSafeVector<T>& list) {
  WriteInt32(fp, static_cast<int32_t>(list.size()));
  WriteData(fp, list.data(), list.size() * sizeof(T));
}

void SaveByteList(FILE* fp, const cSafeVector<BYTE>& list) { SaveScalarList(fp, list); }
void SaveIntList(FILE* fp, const cSafeVector<int32_t>& list) { SaveScalarList(fp, list); }

void SaveTextList(FILE* fp, const cSafeVector<std::string>& list) {
  WriteInt32(fp, static_cast<int32_t>(list.size()));
  for (const std::string& text : list) WriteCountedString(fp, text);
}
