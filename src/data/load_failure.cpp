#include "data/load_failure.h"

#include "core/report_log.h"
#include "data/data_file.h"

void ReportLoadFailure(const char* name) {
  if (g_bFileTooNew) {
    WriteReportLogAndErrorBox(
        "%s の読み込みに失敗しました！\n実行ファイル(.exe)より上位のバージョンのファイルは使用できません。", name);
  } else {
    WriteReportLogAndErrorBox("%s の読み込みに失敗しました！", name);
  }
}
