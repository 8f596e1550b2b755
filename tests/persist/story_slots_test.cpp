#include "persist/story_slots.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "persist/save_data.h"
#include "persist/system_data.h"
#include "save_image.h"
#include "support/file_size_limit.h"
#include "support/le_writer.h"
#include "support/temp_dir.h"

namespace t4::test {
namespace {

// A project folder as the current folder, with the user_data tree, a fresh slot list and the
// project's lives settings restored afterwards.
class StorySlotsTest : public ::testing::Test {
 protected:
  StorySlotsTest() : m_cwd(m_dir.Path()) {
    std::filesystem::create_directories(m_dir.Path() / "user_data" / "story");
    std::filesystem::create_directories(m_dir.Path() / "user_data" / "challenge");
    m_systemData = g_SystemData;
    g_StorySlots.assign(STORY_SLOT_COUNT, cSlotInfo());
  }
  ~StorySlotsTest() override {
    g_SystemData = m_systemData;
    g_StorySlots.assign(STORY_SLOT_COUNT, cSlotInfo());
  }

  std::string Slot(const char* name) const { return std::string("user_data/story/") + name; }

  TempDir m_dir;
  ScopedCurrentDir m_cwd;
  cSystemData m_systemData;
};

TEST_F(StorySlotsTest, SlotFileNames) {
  char path[MAX_PATH];
  GetSlotPath(path, 0);
  EXPECT_STREQ(path, "user_data\\story\\Story01.dat");
  GetSlotPath(path, 98);
  EXPECT_STREQ(path, "user_data\\story\\Story99.dat");
}

TEST_F(StorySlotsTest, SaveScanAndLoadASlot) {
  cSaveData data;
  data.m_nLives = 3;
  data.m_nSlot = 4;
  data.m_CommonVars.At(12) = 34;
  ASSERT_EQ(data.SaveSlot(4), 1);
  EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / Slot("Story05.dat")));
  EXPECT_EQ(g_StorySlots.At(4).m_bUsed, 1);
  EXPECT_NE(g_StorySlots.At(4).m_Time.wYear, 0);

  // A slot of a newer program and a damaged slot are not offered.
  m_dir.WriteFile(Slot("Story01.dat"), LeWriter().I32(903).I32(0).Bytes());
  m_dir.WriteFile(Slot("Story02.dat"), LeWriter().I32(902).I32(40).Bytes());
  cSafeVector<cSlotInfo> slots(STORY_SLOT_COUNT);
  slots.At(0).m_bUsed = 1;
  ScanStorySlots(slots);
  for (int i = 0; i < STORY_SLOT_COUNT; ++i) EXPECT_EQ(slots.At(i).m_bUsed, i == 4 ? 1 : 0) << i;
  EXPECT_EQ(slots.At(4).m_Time.wMinute, data.m_SaveTime.wMinute);
  EXPECT_EQ(slots.At(4).m_Time.wDay, data.m_SaveTime.wDay);

  cSaveData loaded;
  ASSERT_EQ(loaded.LoadSlot(4), 1);
  EXPECT_EQ(loaded.m_nSlot, 4);
  EXPECT_EQ(loaded.m_CommonVars.At(12), 34);
}

TEST_F(StorySlotsTest, ASaveThatCannotBeWrittenKeepsTheOldSlot) {
  cSaveData first;
  first.m_CommonVars.At(12) = 34;
  ASSERT_EQ(first.SaveSlot(2), 1);
  const std::string before = m_dir.ReadFile(Slot("Story03.dat"));
  g_StorySlots.At(2).m_Time.wYear = 1999;  // a successful save would list its own time

  // The disk is full: the second save fails, and neither the file nor the list entry changes.
  cSaveData second;
  second.m_CommonVars.At(12) = 56;
  {
    ScopedFileSizeLimit full(64);
    ASSERT_TRUE(full.Active());
    EXPECT_EQ(second.SaveSlot(2), 0);
  }
  EXPECT_EQ(m_dir.ReadFile(Slot("Story03.dat")), before);
  EXPECT_EQ(g_StorySlots.At(2).m_Time.wYear, 1999);
  cSaveData loaded;
  ASSERT_EQ(loaded.LoadSlot(2), 1);
  EXPECT_EQ(loaded.m_CommonVars.At(12), 34);
}

TEST_F(StorySlotsTest, ContinuedLivesFollowTheProjectAsItIsNow) {
  struct Case {
    int32_t storedLives;
    int32_t infinite;
    int32_t initial;
    int32_t livesAfter, startAfter;
  };
  const Case cases[] = {
      {LIVES_INFINITE, 0, 3, 3, 9},
      {5, 0, 3, 5, 9},
      {2, 1, 3, LIVES_INFINITE, LIVES_INFINITE},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.storedLives);
    SaveImage image;
    image.members = {{"Lives", c.storedLives}, {"LivesAtStart", 9}};
    m_dir.WriteFile(Slot("Story03.dat"), image.File());
    g_SystemData.m_InfiniteLives.At(GAME_MODE_STORY) = c.infinite;
    g_SystemData.m_InitialLives.At(GAME_MODE_STORY) = c.initial;
    cSaveData data;
    ASSERT_EQ(data.LoadSlot(2), 1);
    EXPECT_EQ(data.m_nLives, c.livesAfter);
    EXPECT_EQ(data.m_nLivesAtStart, c.startAfter);
  }
}

TEST_F(StorySlotsTest, AFailedLoadLeavesTheRecordAsItWas) {
  cSaveData data;
  data.m_nLives = 6;
  EXPECT_EQ(data.LoadSlot(7), 0);  // missing
  SaveImage truncated;
  truncated.members = {{"Lives", 1}};
  std::string bytes = truncated.File();
  m_dir.WriteFile(Slot("Story08.dat"), bytes.substr(0, bytes.size() - 10));
  EXPECT_EQ(data.LoadSlot(7), 0);  // damaged
  EXPECT_EQ(data.m_nLives, 6);
  EXPECT_EQ(data.LoadChallenge(), 0);
  EXPECT_EQ(data.m_nLives, 6);
}

TEST_F(StorySlotsTest, SlotsSurviveACrashInTheMiddleOfAWrite) {
  g_SystemData.m_InfiniteLives.At(GAME_MODE_STORY) = 0;
  cSaveData first;
  first.m_nLives = 3;
  ASSERT_EQ(first.SaveSlot(0), 1);
  const std::string saved = m_dir.ReadFile(Slot("Story01.dat"));

  // A crash during the next save leaves its half-written temporary file beside the slot.
  m_dir.WriteFile(Slot("Story01.dat.tmp"), saved.substr(0, saved.size() / 2));
  cSaveData loaded;
  ASSERT_EQ(loaded.LoadSlot(0), 1);
  EXPECT_EQ(loaded.m_nLives, 3);
  cSafeVector<cSlotInfo> slots(STORY_SLOT_COUNT);
  ScanStorySlots(slots);
  EXPECT_EQ(slots.At(0).m_bUsed, 1);

  // A write that fails is reported, keeps the old file and the list entry.
  std::filesystem::remove(m_dir.Path() / Slot("Story01.dat.tmp"));
  std::filesystem::create_directory(m_dir.Path() / Slot("Story01.dat.tmp"));
  cSaveData second;
  second.m_nLives = 1;
  g_StorySlots.At(0).m_Time.wYear = 1999;  // the list entry as the player last saw it
  EXPECT_EQ(second.SaveSlot(0), 0);
  EXPECT_EQ(m_dir.ReadFile(Slot("Story01.dat")), saved);
  EXPECT_EQ(g_StorySlots.At(0).m_Time.wYear, 1999);

  // The next save after the crash replaces the slot whole.
  std::filesystem::remove(m_dir.Path() / Slot("Story01.dat.tmp"));
  ASSERT_EQ(second.SaveSlot(0), 1);
  ASSERT_EQ(loaded.LoadSlot(0), 1);
  EXPECT_EQ(loaded.m_nLives, 1);
}

TEST_F(StorySlotsTest, ChallengeRecordRoundTripsWithTheChallengeLives) {
  g_SystemData.m_InfiniteLives.At(GAME_MODE_CHALLENGE) = 0;
  g_SystemData.m_InitialLives.At(GAME_MODE_CHALLENGE) = 8;
  cSaveData data;
  data.Reset(g_SystemData.m_nChallengeCount);
  data.m_nLives = LIVES_INFINITE;
  data.m_ChallengeResults.At(2).m_bCleared = 1;
  data.m_nChallengeOpen = 4;
  ASSERT_EQ(data.SaveChallenge(), 1);
  EXPECT_TRUE(std::filesystem::exists(m_dir.Path() / "user_data/challenge/Challenge.dat"));
  cSaveData loaded;
  ASSERT_EQ(loaded.LoadChallenge(), 1);
  EXPECT_EQ(loaded.m_nLives, 8);
  EXPECT_EQ(loaded.m_nChallengeOpen, 4);
  EXPECT_EQ(loaded.m_ChallengeResults.At(2).m_bCleared, 1);
}

}  // namespace
}  // namespace t4::test
