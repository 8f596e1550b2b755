// The report log ("Report_Game.txt"), the debug log (switched off for the whole run) and the two
// printf-style string builders used for log lines, captions and file names everywhere.
#pragma once

#include <string>

#include "platform/win_types.h"

#define T4_PRINTF(fmtIndex, firstArg) __attribute__((format(printf, fmtIndex, firstArg)))

// Formatted texts are cut at these sizes (with the terminating NUL) instead of overflowing.
constexpr int FORMAT_BUFFER_SIZE = 5120;
constexpr int LOG_BOX_BUFFER_SIZE = 1024;

void FormatString(std::string& out, const char* format, ...) T4_PRINTF(2, 3);
std::string& AppendFormat(std::string& out, const char* format, ...) T4_PRINTF(2, 3);

int InitReportLog(const char* path);
// A single argument is a finished text and is written unchanged, percent signs included.
int WriteReportLog(const char* text);
int WriteReportLog(const char* format, ...) T4_PRINTF(1, 2);
int WriteReportLogAndDebugLog(const char* text);
int WriteReportLogAndDebugLog(const char* format, ...) T4_PRINTF(1, 2);
int WriteReportLogAndErrorBox(const char* text);
int WriteReportLogAndErrorBox(const char* format, ...) T4_PRINTF(1, 2);

void InitDebugLog(bool bEnable, const char* path);
bool IsDebugLogEnabled();
void WriteDebugLog(const char* text);
void WriteDebugLogMsg(const char* text);
void DebugLogf(const char* format, ...) T4_PRINTF(1, 2);
void DebugLogfAndClose(HWND hWnd, const char* format, ...) T4_PRINTF(2, 3);
