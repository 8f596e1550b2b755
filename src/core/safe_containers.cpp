#include "core/safe_containers.h"

#include <string>

#include "core/globals.h"
#include "core/report_log.h"
#include "platform/messages.h"

void ReportBadIndex(char kind, int index, int count, int elementSize) {
  std::string text;
  FormatString(text, kind == 'L' ? "err L[%d] ( %d , %d )" : "err V[%d] ( %d , %d )", index, count, elementSize);
  WriteDebugLog(text.c_str());
  WriteReportLog(text.c_str());
  PostCloseToMainWindow();
}
