// Story-mode save slots (user_data\story\Story01.dat to Story99.dat) with the list the title and
// the world-map menu show, and the challenge record (user_data\challenge\Challenge.dat). Each is
// a data file holding one save-data record.
#pragma once

#include <string>

#include "core/safe_containers.h"
#include "data/record.h"
#include "persist/save_data.h"
#include "platform/win_types.h"

constexpr int STORY_SLOT_COUNT = 99;

struct DDSURFACEDATA;

// One entry of the slot list; never written to a file.
class cSlotInfo : public cRecord {
 public:
  cSlotInfo();

  void Register(int nVersion) override;
  // Marks the entry used with the save time of `data`.
  void Set(const cSaveData& data);
  // The save time of a used entry (story_slots_draw.cpp).
  void DrawTime(DDSURFACEDATA* lpSD, int x, int y) const;

  int32_t m_bUsed = 0;
  SYSTEMTIME m_Time;
};

extern cSafeVector<cSlotInfo> g_StorySlots;

// The slot's file name (slot 0 is Story01.dat) into a buffer of MAX_PATH bytes.
void GetSlotPath(char* path, int slot);
// Refreshes every entry from its slot file: used with the file's save time when the file reads
// whole, free otherwise (missing, newer than this program, or damaged).
void ScanStorySlots(cSafeVector<cSlotInfo>& slots);

// `rows` lines of the slot list from entry `first` on, in a box of the full height: number and
// save time of each entry, a separator under every line but the last.
void DrawStorySlots(DDSURFACEDATA* lpSD, int x, int y, const cSafeVector<cSlotInfo>& slots, int first, int rows);

// The local calendar time, as save times and replay names take it.
SYSTEMTIME GetLocalSaveTime();
