#include "core/report_log.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

#include "core/globals.h"
#include "core/message_box.h"
#include "platform/files.h"
#include "platform/text_codec.h"
#include "platform/messages.h"

namespace {

std::mutex g_reportMutex;  // one writer at a time: lines from two threads never interleave
std::string g_reportLogPath;

std::mutex g_debugMutex;
bool g_bDebugLogEnabled = false;
std::string g_debugLogPath;
bool g_bDebugLogStarted = false;

// printf-style formatting cut to `limit` bytes including the NUL, so an over-long text is
// shortened instead of overflowing.
std::string FormatBounded(size_t limit, const char* format, va_list args) {
  std::vector<char> buffer(limit);
  int n = vsnprintf(buffer.data(), buffer.size(), format, args);
  if (n < 0) return std::string();
  return std::string(buffer.data());
}

// Unbounded formatting, for the writers that have no fixed buffer.
std::string FormatAll(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  int n = vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (n < 0) return std::string();
  std::vector<char> buffer(static_cast<size_t>(n) + 1);
  vsnprintf(buffer.data(), buffer.size(), format, args);
  return std::string(buffer.data());
}

FILE* OpenReportLogLocked() {
  if (g_reportLogPath.empty()) return nullptr;
  // "r+": the file must still exist; a removed log is not made again.
  FILE* f = t4::platform::OpenFile(g_reportLogPath.c_str(), "r+b");
  if (f) fseek(f, 0, SEEK_END);
  return f;
}

int WriteReportLine(const std::string& text, bool bDebugToo) {
  std::lock_guard lock(g_reportMutex);
  FILE* f = OpenReportLogLocked();
  if (!f) return 0;
  WriteTextMode(f, text.c_str());
  WriteTextMode(f, "\n");
  fclose(f);
  if (bDebugToo) WriteDebugLog(text.c_str());
  return 1;
}

}  // namespace

void FormatString(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  out = FormatBounded(FORMAT_BUFFER_SIZE, format, args);
  va_end(args);
}

std::string& AppendFormat(std::string& out, const char* format, ...) {
  va_list args;
  va_start(args, format);
  out += FormatBounded(FORMAT_BUFFER_SIZE, format, args);
  va_end(args);
  return out;
}

void WriteTextMode(FILE* f, const char* text) {
  // The log is a Windows text file: every line feed is written as CR LF.
  for (const char* p = text; *p; ++p) {
    if (*p == '\n') fputc('\r', f);
    fputc(*p, f);
  }
}

FILE* OpenReportLog() {
  g_reportMutex.lock();
  FILE* f = OpenReportLogLocked();
  if (!f) g_reportMutex.unlock();
  return f;
}

void CloseReportLog(FILE* f) {
  if (!f) return;
  fclose(f);
  g_reportMutex.unlock();
}

int InitReportLog(const char* path) {
  std::lock_guard lock(g_reportMutex);
  FILE* f = t4::platform::OpenFile(path, "wb");
  if (!f) return 0;
  fclose(f);
  g_reportLogPath = path;
  return 1;
}

int WriteReportLog(const char* text) { return WriteReportLine(text, false); }

int WriteReportLogF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatAll(format, args);
  va_end(args);
  return WriteReportLine(text, false);
}

int WriteReportLogAndDebugLog(const char* text) {
  std::string cut(text);
  if (cut.size() > LOG_BOX_BUFFER_SIZE - 1) cut.resize(LOG_BOX_BUFFER_SIZE - 1);
  return WriteReportLine(cut, true);
}

int WriteReportLogAndDebugLogF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatBounded(LOG_BOX_BUFFER_SIZE, format, args);
  va_end(args);
  return WriteReportLine(text, true);
}

int WriteReportLogAndErrorBox(const char* text) {
  std::string cut(text);
  if (cut.size() > LOG_BOX_BUFFER_SIZE - 1) cut.resize(LOG_BOX_BUFFER_SIZE - 1);
  // The line is on disk before the box waits for the user, and no lock is held meanwhile.
  if (!WriteReportLine(cut, true)) return 0;
  ErrorBox(cut.c_str());
  return 1;
}

int WriteReportLogAndErrorBoxF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatBounded(LOG_BOX_BUFFER_SIZE, format, args);
  va_end(args);
  return WriteReportLogAndErrorBox(text.c_str());
}

int WriteReportLogAndStderrF(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatBounded(LOG_BOX_BUFFER_SIZE, format, args);
  va_end(args);
  std::fprintf(stderr, "tarnwick4: %s\n", t4::platform::Cp932ToUtf8Lossy(text).c_str());
  return WriteReportLine(text, false);
}

void InitDebugLog(bool bEnable, const char* path) {
  std::lock_guard lock(g_debugMutex);
  g_bDebugLogEnabled = bEnable;
  g_debugLogPath = path ? path : "";
  g_bDebugLogStarted = false;
}

bool IsDebugLogEnabled() {
  std::lock_guard lock(g_debugMutex);
  return g_bDebugLogEnabled;
}

void WriteDebugLog(const char* text) {
  std::lock_guard lock(g_debugMutex);
  if (!g_bDebugLogEnabled) return;
  // The first line of the run starts the file afresh, later lines append.
  FILE* f = t4::platform::OpenFile(g_debugLogPath.c_str(), g_bDebugLogStarted ? "ab" : "wb");
  if (!f) return;
  g_bDebugLogStarted = true;
  WriteTextMode(f, text);
  WriteTextMode(f, "\n");
  fclose(f);
}

void WriteDebugLogMsg(const char* text) { WriteDebugLog(text); }

void DebugLogf(const char* format, ...) {
  if (!IsDebugLogEnabled()) return;
  va_list args;
  va_start(args, format);
  std::string text = FormatAll(format, args);
  va_end(args);
  WriteDebugLog(text.c_str());
}

void DebugLogfAndClose(HWND hWnd, const char* format, ...) {
  if (IsDebugLogEnabled()) {
    va_list args;
    va_start(args, format);
    std::string text = FormatAll(format, args);
    va_end(args);
    WriteDebugLog(text.c_str());
  }
  if (hWnd) t4::platform::PostMessage(hWnd, WM_CLOSE, 0, 0);
}
