// The report log ("Report_Game.txt"), the debug log (switched off for the whole run) and the two
// printf-style string builders used for log lines, captions and file names everywhere.
#pragma once

#include <cstdio>
#include <string>

#include "platform/win_types.h"

#define T4_PRINTF(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))

// Formatted texts are cut at these sizes (with the terminating NUL) instead of overflowing.
constexpr int FORMAT_BUFFER_SIZE = 5120;
constexpr int LOG_BOX_BUFFER_SIZE = 1024;

void FormatString(std::string& out, const char* format, ...) T4_PRINTF(2, 3);
std::string& AppendFormat(std::string& out, const char* format, ...) T4_PRINTF(2, 3);

int InitReportLog(const char* path);
// A single argument is a finished text and is written unchanged, percent signs included; with
// further arguments the first is a printf format.
int WriteReportLog(const char* text);
int WriteReportLogF(const char* format, ...) T4_PRINTF(1, 2);
template <class A, class... R>
int WriteReportLog(const char* format, A a, R... rest) {
  return WriteReportLogF(format, a, rest...);
}
// Report log and debug log; the text is cut at 1023 bytes.
int WriteReportLogAndDebugLog(const char* text);
int WriteReportLogAndDebugLogF(const char* format, ...) T4_PRINTF(1, 2);
template <class A, class... R>
int WriteReportLogAndDebugLog(const char* format, A a, R... rest) {
  return WriteReportLogAndDebugLogF(format, a, rest...);
}
// As WriteReportLogAndDebugLog, then the same text in the error box.
int WriteReportLogAndErrorBox(const char* text);
int WriteReportLogAndErrorBoxF(const char* format, ...) T4_PRINTF(1, 2);
template <class A, class... R>
int WriteReportLogAndErrorBox(const char* format, A a, R... rest) {
  return WriteReportLogAndErrorBoxF(format, a, rest...);
}

// A failure the user must learn of even without a box: the report log and stderr (as UTF-8,
// prefixed "tarnwick4: ").
int WriteReportLogAndStderrF(const char* format, ...) T4_PRINTF(1, 2);

void InitDebugLog(bool bEnable, const char* path);
bool IsDebugLogEnabled();
void WriteDebugLog(const char* text);
void WriteDebugLogMsg(const char* text);
void DebugLogf(const char* format, ...) T4_PRINTF(1, 2);
void DebugLogfAndClose(HWND hWnd, const char* format, ...) T4_PRINTF(2, 3);

// Writes `text` as a Windows text file would: each line feed as CR LF.
void WriteTextMode(FILE* f, const char* text);
// Opens the report log for several lines at once (the system report); null when it cannot be
// opened. Other writers wait until CloseReportLog.
FILE* OpenReportLog();
void CloseReportLog(FILE* f);
