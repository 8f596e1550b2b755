#include "persist/story_slots.h"

#include <algorithm>
#include <ctime>

#include "core/sjis_text.h"
#include "persist/project_layout.h"
#include "persist/system_data.h"

cSlotInfo::cSlotInfo() {
  Register(DATA_VERSION);
  Clear();
}

void cSlotInfo::Register(int) {
  ClearMemberTables();
  AddMember4(&m_bUsed, 1);
}

void cSlotInfo::Set(const cSaveData& data) {
  m_bUsed = 1;
  m_Time = data.m_SaveTime;
}

void GetSlotPath(char* path, int slot) {
  std::string number;
  FormatNumber(number, slot + 1, 2, true, false);
  std::string out = std::string(g_Paths[PATH_STORY_SLOT]) + number + ".dat";
  out.copy(path, MAX_PATH - 1);
  path[std::min<size_t>(out.size(), MAX_PATH - 1)] = '\0';
}

SYSTEMTIME GetLocalSaveTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  SYSTEMTIME time;
  time.wYear = static_cast<WORD>(local.tm_year + 1900);
  time.wMonth = static_cast<WORD>(local.tm_mon + 1);
  time.wDayOfWeek = static_cast<WORD>(local.tm_wday);
  time.wDay = static_cast<WORD>(local.tm_mday);
  time.wHour = static_cast<WORD>(local.tm_hour);
  time.wMinute = static_cast<WORD>(local.tm_min);
  time.wSecond = static_cast<WORD>(local.tm_sec);
  return time;
}

void ScanStorySlots(cSafeVector<cSlotInfo>& slots) {
  cSaveData temp;
  for (int i = 0; i < static_cast<int>(slots.size()); ++i) {
    char path[MAX_PATH];
    GetSlotPath(path, i);
    // A slot that cannot be continued is not offered as used.
    if (temp.LoadFromFile(path)) {
      slots.At(i).Set(temp);
    } else {
      slots.At(i).m_bUsed = 0;
    }
  }
}

namespace {

bool IsStorySlot(int slot) { return slot >= 0 && slot < STORY_SLOT_COUNT; }

// Reads a save-data file whole into a copy, so that a missing, newer or damaged file leaves
// `data` as it was.
int LoadWhole(cSaveData& data, const char* path) {
  cSaveData loaded;
  if (!loaded.LoadFromFile(path)) return 0;
  data = loaded;
  return 1;
}

// Lives of a continued game follow the project as it is now, not as it was when saved.
void ApplyModeLives(cSaveData& data, int mode) {
  if (g_SystemData.m_InfiniteLives.At(mode)) {
    data.m_nLivesAtStart = data.m_nLives = LIVES_INFINITE;
  } else if (data.m_nLives == LIVES_INFINITE) {
    data.m_nLives = g_SystemData.m_InitialLives.At(mode);
  }
}

}  // namespace

int cSaveData::SaveSlot(int slot) {
  if (!IsStorySlot(slot)) {
    // Reports the bad index (and asks to close) instead of writing a file of another name.
    g_StorySlots.At(slot);
    return 0;
  }
  m_SaveTime = GetLocalSaveTime();
  char path[MAX_PATH];
  GetSlotPath(path, slot);
  // A failed write keeps the old file and the list entry as they were.
  if (!SaveToFile(path)) return 0;
  g_StorySlots.At(slot).Set(*this);
  return 1;
}

int cSaveData::LoadSlot(int slot) {
  if (!IsStorySlot(slot)) {
    g_StorySlots.At(slot);
    return 0;
  }
  char path[MAX_PATH];
  GetSlotPath(path, slot);
  if (!LoadWhole(*this, path)) return 0;
  ApplyModeLives(*this, GAME_MODE_STORY);
  return 1;
}

int cSaveData::LoadChallenge() {
  if (!LoadWhole(*this, g_Paths[PATH_CHALLENGE_RECORD])) return 0;
  ApplyModeLives(*this, GAME_MODE_CHALLENGE);
  return 1;
}

int cSaveData::SaveChallenge() { return SaveToFile(g_Paths[PATH_CHALLENGE_RECORD]); }
