// The long-lived data objects of the persistence layer, constructed before the program starts in
// the order written here (one translation unit, so the order is fixed) and destroyed after it
// ends in the reverse order. Each constructor only sets its own defaults: none reads another
// object, so nothing depends on the order in which the libraries' objects are built. The objects
// of the lower layer (common palette, database and its derived tables, the stage records, the
// player definition copy, the world map) are defined with their classes in the data library.
#include "persist/ranking.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "persist/story_slots.h"
#include "persist/system_data.h"
#include "persist/system_ini.h"
#include "persist/user_records.h"

int32_t g_bFreeStageStart = 0;
std::atomic<int32_t> g_bFileRequestDone{0};
std::atomic<int32_t> g_bFileRequestOk{0};

cSystemData g_SystemData;
cSystemIni g_SystemIni;
cReplay g_Replay;
cReplay g_ReplayLast;
cSaveData g_SaveData;
cSaveData g_SaveDataStart;
cSaveData g_SaveDataPrev;
cOptionData g_OptionData;
cBootData g_BootData;
cWindowData g_WindowData;
cSafeVector<cSlotInfo> g_StorySlots(STORY_SLOT_COUNT);
cRanking g_Ranking;
