#include "persist/replay.h"

#include <climits>
#include <cstring>

#include "core/globals.h"
#include "core/path_helpers.h"
#include "core/report_log.h"
#include "core/sound_request.h"
#include "data/stage.h"
#include "persist/list_io.h"
#include "persist/save_data.h"
#include "persist/story_slots.h"
#include "persist/system_data.h"
#include "platform/files.h"
#include "platform/winapi.h"

namespace {

// Replay files up to this version end after the replay record.
constexpr int32_t REPLAY_NO_SAVE_DATA_VERSION = 172;
constexpr const char* REPLAY_FOLDER = "user_data\\rpl4\\";
constexpr int SOUND_REPLAY_SAVE = 1;
constexpr int SOUND_REPLAY_EMPTY = 3;
constexpr int REPLAY_EMPTY_COOLDOWN = 60;

template <class T>
bool LoadStream(FILE* fp, cSafeVector<T>& list) {
  int32_t n = 0;
  if (!ReadListCount(fp, &n, sizeof(T))) return false;
  if (n <= 0) return true;
  list.assign(static_cast<size_t>(n), T{});
  return ReadData(fp, list.data(), list.size() * sizeof(T));
}

template <class T>
void SaveStream(FILE* fp, const cSafeVector<T>& list) {
  WriteInt32(fp, static_cast<int32_t>(list.size()));
  WriteData(fp, list.data(), list.size() * sizeof(T));
}

bool IsWellCoded(const cSafeVector<int16_t>& values, const cSafeVector<int32_t>& runs) {
  if (values.size() != runs.size()) return false;
  for (int32_t run : runs) {
    if (run < 1) return false;
  }
  return true;
}

void RecordStream(int16_t word, cSafeVector<int16_t>& values, cSafeVector<int32_t>& runs) {
  // A run that reached the int32 limit goes on as a new run of the same value.
  if (!values.empty() && values.back() == word && runs.back() < INT32_MAX) {
    ++runs.back();
    return;
  }
  values.push_back(word);
  runs.push_back(1);
}

void PlayStream(int16_t& word, cSafeVector<int16_t>& values, cSafeVector<int32_t>& runs, int32_t& index, int32_t& pos) {
  word = values.At(index);
  ++pos;
  if (pos >= runs.At(index)) {
    pos = 0;
    ++index;
  }
}

// Sends a file request to the main window and waits for its completion flag. A send refused
// during shutdown never completes: the wait ends then too.
void RequestFromMainWindow(UINT msg, WPARAM arg) {
  g_bFileRequestDone = 0;
  SendMessage(g_hWnd, msg, arg, 0);
  while (!g_bFileRequestDone && !t4::platform::IsShuttingDown()) Sleep(1);
}

}  // namespace

int g_nReplayKeyCooldown = 0;

cReplay::cReplay() {
  Register(DATA_VERSION);
  Clear();
}

void cReplay::Register(int) {
  ClearMemberTables();
  AddMember4(&m_nSeed, 1);
}

int cReplay::Load(FILE* fp) {
  bool ok = cRecord::Load(fp) && LoadStream(fp, m_DirValues) && LoadStream(fp, m_ButtonValues) &&
            LoadStream(fp, m_DirRuns) && LoadStream(fp, m_ButtonRuns);
  if (ok && (!IsWellCoded(m_DirValues, m_DirRuns) || !IsWellCoded(m_ButtonValues, m_ButtonRuns))) {
    FailDataRead(fp, "リプレイの入力データが壊れています");
    ok = false;
  }
  return ok ? 1 : 0;
}

void cReplay::Save(FILE* fp) {
  cRecord::Save(fp);
  SaveStream(fp, m_DirValues);
  SaveStream(fp, m_ButtonValues);
  SaveStream(fp, m_DirRuns);
  SaveStream(fp, m_ButtonRuns);
}

void cReplay::Record(const int16_t words[2]) {
  RecordStream(words[0], m_DirValues, m_DirRuns);
  RecordStream(words[1], m_ButtonValues, m_ButtonRuns);
}

int cReplay::Play(int16_t words[2]) {
  if (static_cast<uint32_t>(m_nDirIndex) >= m_DirValues.size() ||
      static_cast<uint32_t>(m_nButtonIndex) >= m_ButtonValues.size()) {
    return 1;
  }
  PlayStream(words[0], m_DirValues, m_DirRuns, m_nDirIndex, m_nDirPos);
  PlayStream(words[1], m_ButtonValues, m_ButtonRuns, m_nButtonIndex, m_nButtonPos);
  return 0;
}

void cReplay::Clear() {
  cRecord::Clear();
  m_DirValues.clear();
  m_ButtonValues.clear();
  m_DirRuns.clear();
  m_ButtonRuns.clear();
  m_nFileVersion = DATA_VERSION;
  Rewind();
}

void cReplay::Rewind() {
  m_nDirIndex = m_nButtonIndex = 0;
  m_nDirPos = m_nButtonPos = 0;
}

void cReplay::Assign(const cReplay& other) {
  if (&other == this) return;
  m_DirValues = other.m_DirValues;
  m_ButtonValues = other.m_ButtonValues;
  m_DirRuns = other.m_DirRuns;
  m_ButtonRuns = other.m_ButtonRuns;
  m_nSeed = other.m_nSeed;
  m_nFileVersion = other.m_nFileVersion;
}

int cReplay::SaveReplayFile(const char* path, cStage& stage, cStage& settings, cSaveData& saveData) {
  FILE* fp = OpenDataFileForWrite(path);
  if (!fp) return 0;
  stage.SaveForReplay(fp, settings);
  Save(fp);
  saveData.Save(fp);
  return CloseDataFile(fp);
}

int cReplay::LoadReplayFile(const char* path, cStage& stage, cStage& settings, cSaveData& saveData) {
  FILE* fp = OpenDataFileForRead(path);
  if (!fp) return 0;
  const int32_t v = g_nFileVersion;
  // Everything is read into copies first: a damaged file must not leave a half-loaded stage or
  // replay behind.
  cStage loadedStage;
  cReplay loaded;
  cSaveData loadedSave = saveData;
  loaded.m_nFileVersion = v;
  bool ok = loadedStage.Load(fp) && loaded.Load(fp);
  if (ok && v > REPLAY_NO_SAVE_DATA_VERSION) ok = loadedSave.Load(fp) != 0;
  ok = ok && !IsDataReadFailed(fp);
  CloseDataFile(fp);
  if (!ok) {
    WriteReportLog("リプレイファイル %s の読み込みに失敗しました！", path);
    return 0;
  }
  stage = loadedStage;
  settings.CopySettingsFrom(stage);
  settings.ClearDefinitionLists();
  Assign(loaded);
  Rewind();
  saveData = loadedSave;
  return 1;
}

int MakeReplayName(std::string& out, const char* stageName) {
  return MakeReplayNameAt(out, stageName, GetLocalSaveTime());
}

int MakeReplayNameAt(std::string& out, const char* stageName, const SYSTEMTIME& time) {
  std::string ext;
  FormatString(ext, "rpl4_%d", static_cast<int>(g_nDataVersion));
  char name[MAX_PATH] = "";
  if (stageName && *stageName && std::strlen(stageName) < MAX_PATH) {
    char stage[MAX_PATH];
    std::strcpy(stage, stageName);
    StripDirectory(stage);
    std::string file = stage;
    AppendStageSuffix(file, g_SaveData.m_bVarSet, g_SaveData.m_nVarIndex, g_SaveData.m_nVarValue);
    std::string base = REPLAY_FOLDER + file;
    RemoveExtensionStr(base);
    AppendFormat(base, "__%04d__%02d_%02d__%02d_%02d.", time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute);
    base += ext;
    // A name that no longer fits a path offers the folder instead of a cut name.
    if (base.size() < MAX_PATH) {
      std::strcpy(name, base.c_str());
      for (int i = 2; i <= 999 && t4::platform::FileExists(name); ++i) {
        if (!MakeNumberedFileName(name, base.c_str(), i)) {
          name[0] = '\0';
          break;
        }
      }
    }
  }
  MakeAbsolutePath(name);
  out = name;
  return 1;
}

int SaveReplayKey(bool bPlayback, bool bF1Held, bool bF2Held) {
  if (bPlayback || !g_SystemData.m_bReplay) return 0;
  if (g_nReplayKeyCooldown > 0) --g_nReplayKeyCooldown;
  const cReplay* replay = nullptr;
  WPARAM arg = 0;
  if (bF1Held) {
    replay = &g_Replay;
  } else if (bF2Held) {
    replay = &g_ReplayLast;
    arg = 1;
  } else {
    return 0;
  }
  if (replay->m_DirValues.empty()) {
    if (g_nReplayKeyCooldown <= 0) {
      PlaySystemSound(SOUND_REPLAY_EMPTY);
      g_nReplayKeyCooldown = REPLAY_EMPTY_COOLDOWN;
    }
    return 0;
  }
  PlaySystemSound(SOUND_REPLAY_SAVE);
  RequestFromMainWindow(WM_SAVE_REPLAY, arg);
  return 1;
}

int OpenReplayDialog() {
  RequestFromMainWindow(WM_LOAD_REPLAY, 0);
  return g_bFileRequestOk ? 1 : 0;
}
