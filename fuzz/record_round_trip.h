// Shared by the fuzz targets of whole records: load arbitrary bytes as a data file; a record that
// loads must save, load again and save to the same bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/data_file.h"

namespace t4::fuzz {

template <class Record>
int LoadRecordImage(Record& record, std::string image) {
  // fmemopen refuses an empty buffer; an empty file is a failed open anyway.
  if (image.empty()) return 0;
  FILE* fp = fmemopen(image.data(), image.size(), "rb");
  if (!fp) return 0;
  int ok = 0;
  if (BeginDataFileRead(fp, "fuzz")) ok = record.Load(fp) && !IsDataReadFailed(fp);
  CloseDataFile(fp);
  return ok;
}

template <class Record>
std::string SaveRecordImage(Record& record) {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* fp = open_memstream(&buffer, &size);
  int32_t version = g_nDataVersion;
  std::fwrite(&version, sizeof(version), 1, fp);
  record.Save(fp);
  std::fclose(fp);
  std::string bytes(buffer, size);
  std::free(buffer);
  return bytes;
}

template <class Record>
void CheckRecordRoundTrip(const uint8_t* data, size_t size) {
  Record first;
  if (!LoadRecordImage(first, std::string(reinterpret_cast<const char*>(data), size))) return;
  std::string saved = SaveRecordImage(first);
  Record second;
  if (!LoadRecordImage(second, saved)) std::abort();
  if (SaveRecordImage(second) != saved) std::abort();
}

}  // namespace t4::fuzz
