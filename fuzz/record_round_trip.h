// Shared by the fuzz targets of whole records: load arbitrary bytes as a data file; a record that
// loads must save, load again and save to the same bytes.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "data/data_file.h"

namespace t4::fuzz {

// Runs `load` on `image` as an open data file; 1 when the header was accepted, the load succeeded
// and the stream saw no failure.
template <class LoadFn>
int LoadImageWith(std::string image, LoadFn load) {
  // fmemopen refuses an empty buffer; an empty file is a failed open anyway.
  if (image.empty()) return 0;
  FILE* fp = fmemopen(image.data(), image.size(), "rb");
  if (!fp) return 0;
  int ok = 0;
  if (BeginDataFileRead(fp, "fuzz")) ok = load(fp) && !IsDataReadFailed(fp);
  CloseDataFile(fp);
  return ok;
}

// The bytes of a data file whose body `save` writes after the current version header.
template <class SaveFn>
std::string SaveImageWith(SaveFn save) {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* fp = open_memstream(&buffer, &size);
  int32_t version = g_nDataVersion;
  std::fwrite(&version, sizeof(version), 1, fp);
  save(fp);
  std::fclose(fp);
  std::string bytes(buffer, size);
  std::free(buffer);
  return bytes;
}

template <class Record>
int LoadRecordImage(Record& record, std::string image) {
  return LoadImageWith(std::move(image), [&](FILE* fp) { return record.Load(fp); });
}

template <class Record>
std::string SaveRecordImage(Record& record) {
  return SaveImageWith([&](FILE* fp) { record.Save(fp); });
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
