// Data files: a 32-bit version header and the body of one record (or a counted list of records),
// little-endian, no padding. Readers check every count and length against what the file can
// still hold, so that no file content makes them allocate without bound or read past the end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "platform/win_types.h"

constexpr int32_t DATA_VERSION = 902;

// The version this program writes and registers for after loading. A constant initialiser, so
// that records built before start-up register for the right version whatever the order of static
// construction.
extern int32_t g_nDataVersion;
// Header version of the file most recently opened for reading (loads never overlap).
extern int32_t g_nFileVersion;
// 1 after a file was refused because it is newer than g_nDataVersion, 0 after one was accepted.
extern int32_t g_bFileTooNew;
// When set, every text read from a data file loses its CR bytes.
extern int32_t g_bStripCR;

// Opens a data file, reads its header into g_nFileVersion and refuses a newer one (unsigned
// comparison) before any body byte is read. Null when the file is missing, too short to hold its
// header, or newer.
FILE* OpenDataFileForRead(const char* path);
// The same check on a stream that is already open (positioned at the header); `name` is used in
// report-log lines. On refusal the stream is left open and null is returned.
FILE* BeginDataFileRead(FILE* fp, const char* name);
// Opens a temporary file beside `path` and writes the header; CloseDataFile puts it in place.
FILE* OpenDataFileForWrite(const char* path);
// Closes the file. For a file opened by OpenDataFileForWrite the temporary file replaces the
// target only when every write and the close succeeded; otherwise it is removed and the old file
// stays. Returns 1 on success, 0 when a write, the close or the rename failed.
int CloseDataFile(FILE* fp);

// Reading primitives shared by every record. Each returns false once the stream is short or
// damaged; the first failure of a stream writes one report-log line naming the file, and every
// later read of that stream fails at once.
bool ReadData(FILE* fp, void* dst, size_t size);
bool ReadInt32(FILE* fp, int32_t* value);
// Reads a list count and refuses a negative one or one that the rest of the file cannot hold
// with at least `minElementBytes` per element.
bool ReadCount(FILE* fp, int32_t* count, size_t minElementBytes);
// Reads and discards `size` bytes.
bool SkipData(FILE* fp, size_t size);
// Marks the stream as damaged (for checks made by a record itself) and logs `reason` once.
void FailDataRead(FILE* fp, const char* reason);
bool IsDataReadFailed(FILE* fp);
// Bytes left between the read position and the end of the stream.
size_t RemainingBytes(FILE* fp);

void WriteData(FILE* fp, const void* src, size_t size);
void WriteInt32(FILE* fp, int32_t value);
