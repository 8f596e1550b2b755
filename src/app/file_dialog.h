// The file selection: pick a stage file to play, a replay to watch, or the name a replay is saved
// under. The dialog's own window stays hidden and opens the file browser of the UI kit over the
// project's folders.
#pragma once

#include <cstdint>
#include <string>

#include "app/dialog.h"
#include "platform/win_types.h"

constexpr int32_t FILE_MODE_LOAD_STAGE = 0;
constexpr int32_t FILE_MODE_LOAD_REPLAY = 1;
constexpr int32_t FILE_MODE_SAVE_REPLAY = 2;

class cFileDialog : public cDialog {
 public:
  cFileDialog(std::string* lpPath, int32_t nMode);
  ~cFileDialog() override;
  int OnInitDialog(WPARAM wParam, LPARAM lParam) override;

  static cFileDialog* s_lpInstance;
  std::string* m_lpPath;
  int32_t m_nMode;
};

// The browsers. `filter` is a list of description and pattern strings ended by an empty string;
// the chosen path (relative to the project folder, with backslashes) goes into `buffer`. True
// when a file was chosen. The save browser proposes the buffer's text when `bKeep` is set, adds
// `ext` to a name without an extension and asks before replacing a file; it does not require the
// file to exist.
bool OpenFileDialog(HWND hOwner, char* buffer, int nSize, const char* folder, const char* title, const char* filter,
                    const char* ext);
bool SaveFileDialog(HWND hOwner, char* buffer, const char* folder, const char* title, const char* filter,
                    const char* ext, bool bKeep);
