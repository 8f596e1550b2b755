// Replays: player 0's key input of one play, recorded frame by frame as two run-length coded
// streams (direction word and button word) with the random seed the play started from; and the
// replay file that bundles the stage, the replay and the save data the play started with.
#pragma once

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <string>

#include "core/safe_containers.h"
#include "data/data_file.h"
#include "data/record.h"
#include "platform/win_types.h"

class cStage;
class cSaveData;

// Requests of the game thread to the main window: load a replay file (argument 0), save one
// (argument 0 the current play, 1 the previous one).
constexpr UINT WM_LOAD_REPLAY = WM_USER + 3;
constexpr UINT WM_SAVE_REPLAY = WM_USER + 4;

// Completion and result of the main window's file requests: the requester clears the first and
// polls it, the window procedure sets both.
extern std::atomic<int32_t> g_bFileRequestDone;
extern std::atomic<int32_t> g_bFileRequestOk;

class cReplay : public cRecord {
 public:
  cReplay();

  void Register(int nVersion) override;
  // Refuses a record whose streams break their coding (a values list and its runs list of
  // different lengths, or a run below 1): playback indexes them in step.
  int Load(FILE* fp) override;
  void Save(FILE* fp) override;

  // Appends one frame: words[0] the direction word, words[1] the button word.
  void Record(const int16_t words[2]);
  // 0 with the next frame's two words, or 1 (words unchanged) when the replay is over.
  int Play(int16_t words[2]);
  void Clear();
  // Copies the streams, the seed and the file version, not the play positions.
  void Assign(const cReplay& other);
  // Back to the first frame.
  void Rewind();

  // 1 written; 0 when the file cannot be created or written (the old file then stays).
  int SaveReplayFile(const char* path, cStage& stage, cStage& settings, cSaveData& saveData);
  // 1 read; 0 when the file is missing, newer than this program or damaged, in which case this
  // record, the stage, the settings and the save data are left as they were.
  int LoadReplayFile(const char* path, cStage& stage, cStage& settings, cSaveData& saveData);

  cSafeVector<int16_t> m_DirValues;
  cSafeVector<int16_t> m_ButtonValues;
  cSafeVector<int32_t> m_DirRuns;
  cSafeVector<int32_t> m_ButtonRuns;
  int32_t m_nSeed = 0;
  int32_t m_nDirIndex = 0;
  int32_t m_nButtonIndex = 0;
  int32_t m_nDirPos = 0;
  int32_t m_nButtonPos = 0;
  // The version of the file the replay was loaded from (this program's own for one it recorded):
  // while it plays, the rules its version played by apply again.
  int32_t m_nFileVersion = DATA_VERSION;
};

extern cReplay g_Replay;
extern cReplay g_ReplayLast;

// The save dialog's default name: user_data\rpl4\<stage>__YYYY__MM_DD__hh_mm.rpl4_902 made
// absolute, numbered " (2)" to " (999)" while the name exists. Always 1; an empty stage name (or
// one too long for a path) offers the current folder.
int MakeReplayName(std::string& out, const char* stageName);
int MakeReplayNameAt(std::string& out, const char* stageName, const SYSTEMTIME& time);

// The F1 / F2 check of the play scene, once per frame: F1 saves the current play, F2 the
// previous one, through the main window's save dialog. `bPlayback` is set while a replay plays;
// the key states come from the caller's input. 1 when a save was requested.
int SaveReplayKey(bool bPlayback, bool bF1Held, bool bF2Held);
// Frames until an empty record's refusal sound may play again (counts down in SaveReplayKey).
extern int g_nReplayKeyCooldown;
// The title's replay item: asks the main window to choose and load a replay file; 1 when one was
// loaded.
int OpenReplayDialog();
