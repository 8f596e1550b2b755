#include "data/data_file.h"

#include <bit>
#include <climits>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "core/report_log.h"
#include "platform/files.h"

static_assert(std::endian::native == std::endian::little, "data files are little-endian images of memory");

int32_t g_nDataVersion = DATA_VERSION;
int32_t g_nFileVersion = DATA_VERSION;
int32_t g_bFileTooNew = 0;
int32_t g_bStripCR = 1;

namespace {

// What the reader knows about the stream it is reading. One stream is read at a time per thread;
// a read from another stream starts a fresh state.
struct ReadState {
  FILE* fp = nullptr;
  std::string name;
  long size = -1;
  bool failed = false;
};
thread_local ReadState t_read;

ReadState& StateFor(FILE* fp) {
  if (t_read.fp != fp) {
    t_read = ReadState{};
    t_read.fp = fp;
  }
  return t_read;
}

long StreamSize(FILE* fp) {
  long pos = std::ftell(fp);
  if (pos < 0 || std::fseek(fp, 0, SEEK_END) != 0) return -1;
  long end = std::ftell(fp);
  std::fseek(fp, pos, SEEK_SET);
  return end;
}

// Files being written: the temporary file and the target it replaces when closed.
struct PendingWrite {
  FILE* fp = nullptr;
  std::string tempPath;
  std::string targetPath;
};
std::mutex g_pendingMutex;
std::vector<PendingWrite> g_pendingWrites;

}  // namespace

void FailDataRead(FILE* fp, const char* reason) {
  ReadState& state = StateFor(fp);
  if (state.failed) return;
  state.failed = true;
  long pos = std::ftell(fp);
  WriteReportLog("%s の読み込みに失敗しました！（%s、位置 %ld）",
                 state.name.empty() ? "データファイル" : state.name.c_str(), reason, pos);
}

bool IsDataReadFailed(FILE* fp) { return StateFor(fp).failed; }

size_t RemainingBytes(FILE* fp) {
  ReadState& state = StateFor(fp);
  if (state.size < 0) state.size = StreamSize(fp);
  long pos = std::ftell(fp);
  if (state.size < 0 || pos < 0 || pos > state.size) return 0;
  return static_cast<size_t>(state.size - pos);
}

bool ReadData(FILE* fp, void* dst, size_t size) {
  if (StateFor(fp).failed) return false;
  if (size == 0) return true;
  if (std::fread(dst, 1, size, fp) != size) {
    FailDataRead(fp, "ファイルが途中で終わっています");
    return false;
  }
  return true;
}

bool ReadInt32(FILE* fp, int32_t* value) { return ReadData(fp, value, sizeof(int32_t)); }

bool ReadCount(FILE* fp, int32_t* count, size_t minElementBytes) {
  int32_t n = 0;
  if (!ReadInt32(fp, &n)) return false;
  if (n < 0 || (n > 0 && static_cast<size_t>(n) > RemainingBytes(fp) / (minElementBytes ? minElementBytes : 1))) {
    FailDataRead(fp, "件数が不正です");
    return false;
  }
  *count = n;
  return true;
}

bool SkipData(FILE* fp, size_t size) {
  char buffer[256];
  while (size > 0) {
    size_t chunk = size < sizeof(buffer) ? size : sizeof(buffer);
    if (!ReadData(fp, buffer, chunk)) return false;
    size -= chunk;
  }
  return true;
}

void WriteData(FILE* fp, const void* src, size_t size) {
  if (size != 0) std::fwrite(src, 1, size, fp);
}

void WriteInt32(FILE* fp, int32_t value) { WriteData(fp, &value, sizeof(value)); }

FILE* BeginDataFileRead(FILE* fp, const char* name) {
  if (!fp) return nullptr;
  t_read = ReadState{};
  t_read.fp = fp;
  t_read.name = name ? name : "";
  int32_t version = 0;
  if (std::fread(&version, 1, sizeof(version), fp) != sizeof(version)) {
    // Too short for its header: a failed open, the version globals stay as they were.
    WriteReportLog("%s の読み込みに失敗しました！（ヘッダーがありません）", t_read.name.c_str());
    t_read = ReadState{};
    return nullptr;
  }
  g_nFileVersion = version;
  if (static_cast<uint32_t>(version) > static_cast<uint32_t>(g_nDataVersion)) {
    g_bFileTooNew = 1;
    t_read = ReadState{};
    return nullptr;
  }
  g_bFileTooNew = 0;
  return fp;
}

FILE* OpenDataFileForRead(const char* path) {
  std::string name = (path && *path) ? path : "err";
  FILE* fp = t4::platform::OpenFile(name, "rb");
  if (!fp) return nullptr;
  if (!BeginDataFileRead(fp, name.c_str())) {
    std::fclose(fp);
    return nullptr;
  }
  return fp;
}

FILE* OpenDataFileForWrite(const char* path) {
  if (!path || !*path) return nullptr;
  PendingWrite pending;
  pending.targetPath = path;
  pending.tempPath = pending.targetPath + ".tmp";
  pending.fp = t4::platform::OpenFile(pending.tempPath, "wb");
  if (!pending.fp) {
    WriteReportLogAndStderrF("%s の書き込みに失敗しました！", path);
    return nullptr;
  }
  WriteInt32(pending.fp, g_nDataVersion);
  std::lock_guard lock(g_pendingMutex);
  g_pendingWrites.push_back(std::move(pending));
  return g_pendingWrites.back().fp;
}

int CloseDataFile(FILE* fp) {
  if (!fp) return 0;
  if (t_read.fp == fp) t_read = ReadState{};
  PendingWrite pending;
  {
    std::lock_guard lock(g_pendingMutex);
    for (auto it = g_pendingWrites.begin(); it != g_pendingWrites.end(); ++it) {
      if (it->fp == fp) {
        pending = std::move(*it);
        g_pendingWrites.erase(it);
        break;
      }
    }
  }
  bool ok = std::ferror(fp) == 0;
  // The new file is on the disk before it takes the old one's name.
  if (pending.fp) ok = t4::platform::FlushToDisk(fp) && ok;
  ok = std::fclose(fp) == 0 && ok;
  if (!pending.fp) return ok ? 1 : 0;
  if (ok && t4::platform::ReplaceFile(pending.tempPath, pending.targetPath)) return 1;
  t4::platform::RemoveFile(pending.tempPath);
  WriteReportLogAndStderrF("%s の書き込みに失敗しました！", pending.targetPath.c_str());
  return 0;
}
