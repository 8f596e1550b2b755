// The report of a data file that could not be read, worded by whether it was refused as newer.
#pragma once

// Report log and error box: "<name> の読み込みに失敗しました！", with the newer-version sentence
// when the last open refused the file as newer than this program.
void ReportLoadFailure(const char* name);
