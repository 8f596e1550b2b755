#include "persist/replay.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "core/globals.h"
#include "data/stage.h"
#include "persist/save_data.h"
#include "platform/messages.h"
#include "support/le_writer.h"
#include "support/scoped_value.h"
#include "support/temp_dir.h"

namespace t4::test {
namespace {

using Frame = std::pair<int16_t, int16_t>;

void RecordAll(cReplay& replay, const std::vector<Frame>& frames) {
  for (const Frame& f : frames) {
    const int16_t words[2] = {f.first, f.second};
    replay.Record(words);
  }
}

std::vector<Frame> PlayAll(cReplay& replay) {
  std::vector<Frame> frames;
  int16_t words[2] = {-1, -1};
  while (replay.Play(words) == 0) frames.emplace_back(words[0], words[1]);
  return frames;
}

TEST(ReplayTest, StreamsAreRunLengthCodedIndependently) {
  cReplay replay;
  int16_t words[2] = {9, 9};
  EXPECT_EQ(replay.Play(words), 1);  // empty: over at once, words untouched
  EXPECT_EQ(words[0], 9);

  const std::vector<Frame> frames = {{0, 1}, {0, 1}, {2, 1}};
  RecordAll(replay, frames);
  EXPECT_EQ(replay.m_DirValues, (cSafeVector<int16_t>{0, 2}));
  EXPECT_EQ(replay.m_DirRuns, (cSafeVector<int32_t>{2, 1}));
  EXPECT_EQ(replay.m_ButtonValues, (cSafeVector<int16_t>{1}));
  EXPECT_EQ(replay.m_ButtonRuns, (cSafeVector<int32_t>{3}));
  EXPECT_EQ(PlayAll(replay), frames);
  replay.Rewind();
  EXPECT_EQ(PlayAll(replay), frames);  // a restart plays the same frames again
}

TEST(ReplayTest, LongAndAlternatingStreamsRoundTripThroughTheRecord) {
  std::vector<Frame> longRun(70000, Frame{8, 0});
  longRun.emplace_back(int16_t{-32768}, int16_t{0x7F});
  std::vector<Frame> alternating;
  for (int i = 0; i < 3000; ++i)
    alternating.emplace_back(static_cast<int16_t>(i % 2), static_cast<int16_t>(i % 3 == 0));

  for (const auto& frames : {longRun, alternating}) {
    cReplay replay;
    replay.m_nSeed = 12345;
    RecordAll(replay, frames);
    TempDir dir;
    std::string path = (dir.Path() / "r.dat").string();
    ASSERT_EQ(replay.SaveToFile(path.c_str()), 1);
    cReplay loaded;
    ASSERT_EQ(loaded.LoadFromFile(path.c_str()), 1);
    EXPECT_EQ(loaded.m_nSeed, 12345);
    EXPECT_EQ(loaded.m_DirRuns, replay.m_DirRuns);
    EXPECT_EQ(PlayAll(loaded), frames);
  }
  cReplay replay;
  RecordAll(replay, longRun);
  EXPECT_EQ(replay.m_DirRuns.At(0), 70000);  // past the 16-bit range in one run
  EXPECT_EQ(replay.m_DirValues.size(), 2u);
}

TEST(ReplayTest, AssignAndClear) {
  cReplay a;
  a.m_nSeed = 7;
  RecordAll(a, {{1, 2}, {3, 4}});
  int16_t words[2];
  a.Play(words);
  a.m_nFileVersion = 781;
  cReplay b;
  b.Assign(a);
  EXPECT_EQ(b.m_nSeed, 7);
  EXPECT_EQ(b.m_nFileVersion, 781) << "the rules of the file it came from";
  EXPECT_EQ(b.m_nDirIndex, 0);  // positions are not copied
  EXPECT_EQ(PlayAll(b), (std::vector<Frame>{{1, 2}, {3, 4}}));
  a.Clear();
  EXPECT_EQ(a.m_nSeed, 0);
  EXPECT_EQ(a.m_nFileVersion, DATA_VERSION);
  EXPECT_TRUE(a.m_DirValues.empty() && a.m_ButtonRuns.empty());
  EXPECT_EQ(a.m_nDirIndex, 0);
}

class ReplayFileTest : public ::testing::Test {
 protected:
  static cStage PlayableStage() {
    cStage stage;
    stage.m_nWidth = 20;
    stage.m_nHeight = 15;
    stage.Normalize();  // as a loaded stage is
    return stage;
  }
  std::string PathOf(const char* name) const { return (m_dir.Path() / name).string(); }

  TempDir m_dir;
};

TEST_F(ReplayFileTest, AReplayFileHoldsStageKeyStreamsAndSaveData) {
  cStage stage = PlayableStage();
  stage.m_nTimeLimit = 321;
  stage.m_nAutoScrollX = 1;
  cStage settings;
  settings.CopySettingsFrom(stage);
  settings.ClearDefinitionLists();
  settings.m_nAutoScrollX = 0;  // a command changed the live stage; the file takes the settings
  cSaveData start;
  start.m_nLives = 4;
  start.m_CommonVars.At(1000) = 5;
  cReplay replay;
  replay.m_nSeed = 99;
  RecordAll(replay, {{1, 0}, {1, 0}, {4, 2}});
  ASSERT_EQ(replay.SaveReplayFile(PathOf("a.rpl4_902").c_str(), stage, settings, start), 1);

  cStage loadedStage, loadedSettings;
  loadedSettings.m_nTimeLimit = 1;
  cSaveData loadedSave;
  cReplay loaded;
  ASSERT_EQ(loaded.LoadReplayFile(PathOf("a.rpl4_902").c_str(), loadedStage, loadedSettings, loadedSave), 1);
  EXPECT_EQ(loaded.m_nSeed, 99);
  EXPECT_EQ(PlayAll(loaded), (std::vector<Frame>{{1, 0}, {1, 0}, {4, 2}}));
  EXPECT_EQ(loadedStage.m_nTimeLimit, 321);
  EXPECT_EQ(loadedStage.m_nAutoScrollX, 0);
  EXPECT_EQ(loadedStage.m_CharaPlaces.size(), stage.m_CharaPlaces.size());
  EXPECT_EQ(loadedSettings.m_nTimeLimit, 321);
  EXPECT_TRUE(loadedSettings.m_CharaPlaces.empty());
  EXPECT_EQ(loadedSave.m_nLives, 4);
  EXPECT_EQ(loadedSave.CommonVar(1000), 5);

  // Saved again from what was loaded, the file is the same.
  ASSERT_EQ(loaded.SaveReplayFile(PathOf("b.rpl4_902").c_str(), loadedStage, loadedSettings, loadedSave), 1);
  EXPECT_TRUE(m_dir.ReadFile("b.rpl4_902") == m_dir.ReadFile("a.rpl4_902"));
}

TEST_F(ReplayFileTest, ALoadedReplayKeepsTheVersionItsFileCarries) {
  cStage stage = PlayableStage();
  cStage settings;
  settings.CopySettingsFrom(stage);
  cSaveData start;
  cReplay replay;
  RecordAll(replay, {{1, 0}});
  ASSERT_EQ(replay.SaveReplayFile(PathOf("new").c_str(), stage, settings, start), 1);
  const std::string file = m_dir.ReadFile("new");
  // Patched in the header only: older versions than these also stored the stage differently.
  for (int32_t version : {DATA_VERSION, 895}) {
    SCOPED_TRACE(version);
    m_dir.WriteFile("old", LeWriter().I32(version).Bytes() + file.substr(4));
    cStage target, targetSettings;
    cSaveData targetSave;
    cReplay loaded;
    ASSERT_EQ(loaded.LoadReplayFile(PathOf("old").c_str(), target, targetSettings, targetSave), 1);
    EXPECT_EQ(loaded.m_nFileVersion, version);
  }
}

TEST_F(ReplayFileTest, DamagedOrNewerFilesAreRefusedAndChangeNothing) {
  cStage stage = PlayableStage();
  cStage settings;
  settings.CopySettingsFrom(stage);
  cSaveData start;
  cReplay replay;
  RecordAll(replay, {{1, 0}, {2, 0}});
  ASSERT_EQ(replay.SaveReplayFile(PathOf("good").c_str(), stage, settings, start), 1);
  const std::string good = m_dir.ReadFile("good");
  {
    cStage target, targetSettings;
    cSaveData targetSave;
    ASSERT_EQ(cReplay().LoadReplayFile(PathOf("good").c_str(), target, targetSettings, targetSave), 1);
  }

  // The replay record sits between the stage body and the save data; find its direction runs.
  cReplay probe;
  RecordAll(probe, {{1, 0}, {2, 0}});
  LeWriter streams;
  streams.I32(1).I32(0).I32(0).I32(2).I16(1).I16(2).I32(1).I16(0).I32(2).I32(1).I32(1).I32(1).I32(2);
  const size_t at = good.find(streams.Bytes());
  ASSERT_NE(at, std::string::npos);
  const size_t dirRuns = at + streams.Size() - 4 * 4 - 4;  // count of the direction runs

  auto patched = [&](size_t offset, const std::string& bytes) {
    std::string s = good;
    s.replace(offset, bytes.size(), bytes);
    return s;
  };
  const std::pair<const char*, std::string> cases[] = {
      {"newer", patched(0, LeWriter().I32(903).Bytes())},
      {"truncated", good.substr(0, good.size() - 7)},
      {"fewer runs than values", patched(dirRuns, LeWriter().I32(1).Bytes())},
      {"a run of 0", patched(dirRuns + 4, LeWriter().I32(0).Bytes())},
      {"a negative run", patched(dirRuns + 8, LeWriter().I32(-3).Bytes())},
      {"a huge count", patched(dirRuns, LeWriter().I32(0x7FFFFFFF).Bytes())},
  };
  for (const auto& [what, bytes] : cases) {
    SCOPED_TRACE(what);
    m_dir.WriteFile("bad", bytes);
    cStage target;
    target.m_nTimeLimit = 77;
    cStage targetSettings;
    cSaveData targetSave;
    targetSave.m_nLives = 6;
    cReplay loaded;
    loaded.m_nSeed = 5;
    EXPECT_EQ(loaded.LoadReplayFile(PathOf("bad").c_str(), target, targetSettings, targetSave), 0);
    EXPECT_EQ(loaded.m_nSeed, 5);
    EXPECT_TRUE(loaded.m_DirValues.empty());
    EXPECT_EQ(target.m_nTimeLimit, 77);
    EXPECT_EQ(targetSave.m_nLives, 6);
  }
}

TEST_F(ReplayFileTest, DefaultNamesCarryTheTimeAndAreNumbered) {
  ScopedCurrentDir cwd(m_dir.Path());
  std::filesystem::create_directories(m_dir.Path() / "user_data" / "rpl4");
  SYSTEMTIME time;
  time.wYear = 2024;
  time.wMonth = 3;
  time.wDay = 9;
  time.wHour = 7;
  time.wMinute = 5;
  ScopedRestore<cSaveData> saveData(g_SaveData);
  g_SaveData.m_bVarSet = 1;
  g_SaveData.m_nVarIndex = 5;
  g_SaveData.m_nVarValue = 2;
  std::string name;
  EXPECT_EQ(MakeReplayNameAt(name, "data\\stg4\\Castle.", time), 1);
  const std::string expected = "\\user_data\\rpl4\\Castle_c005_2__2024__03_09__07_05.rpl4_902";
  ASSERT_GE(name.size(), expected.size());
  EXPECT_EQ(name.substr(name.size() - expected.size()), expected);
  g_SaveData.m_bVarSet = 0;  // the plain stage name from here on

  EXPECT_EQ(MakeReplayNameAt(name, "Castle.", time), 1);
  m_dir.WriteFile("user_data/rpl4/Castle__2024__03_09__07_05.rpl4_902", "x");
  m_dir.WriteFile("user_data/rpl4/Castle__2024__03_09__07_05 (2).rpl4_902", "x");
  EXPECT_EQ(MakeReplayNameAt(name, "Castle.", time), 1);
  EXPECT_TRUE(name.ends_with("\\Castle__2024__03_09__07_05 (3).rpl4_902")) << name;

  // No stage, or one whose name cannot make a path: the folder is offered.
  EXPECT_EQ(MakeReplayNameAt(name, "", time), 1);
  EXPECT_TRUE(name.ends_with("\\")) << name;
  EXPECT_EQ(MakeReplayNameAt(name, std::string(300, 'a').append(".").c_str(), time), 1);
  EXPECT_TRUE(name.ends_with("\\")) << name;
}

// A main window on the test thread that answers the replay requests.
class ReplayKeyTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t4::platform::ResetMessageLayerForTests();
    s_received.clear();
    g_hWnd = t4::platform::CreateMessageWindow(&ReplayKeyTest::MainProc, nullptr);
    g_Replay.Clear();
    g_ReplayLast.Clear();
  }
  void TearDown() override {
    g_hWnd = nullptr;
    t4::platform::ResetMessageLayerForTests();
    g_Replay.Clear();
    g_ReplayLast.Clear();
  }

  static LRESULT MainProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    s_received.push_back(MSG{hWnd, msg, wParam, lParam});
    if (msg == WM_LOAD_REPLAY || msg == WM_SAVE_REPLAY) {
      g_bFileRequestOk = 1;
      g_bFileRequestDone = 1;
    }
    return 0;
  }
  static std::vector<std::pair<UINT, WPARAM>> Received() {
    std::vector<std::pair<UINT, WPARAM>> out;
    for (const MSG& m : s_received) out.emplace_back(m.message, m.wParam);
    s_received.clear();
    return out;
  }

  static inline std::vector<MSG> s_received;
  ScopedValue<int> m_cooldown{g_nReplayKeyCooldown, 0};
};

TEST_F(ReplayKeyTest, AnEmptyRecordIsRefusedWithASoundOnceEverySixtyFrames) {
  int sounds = 0;
  for (int frame = 0; frame < 121; ++frame) {
    EXPECT_EQ(SaveReplayKey(false, true, false), 0);
    for (const auto& [msg, arg] : Received()) {
      EXPECT_EQ(msg, WM_USER + 5u);
      EXPECT_EQ(arg, 3u);
      EXPECT_TRUE(frame == 0 || frame == 60 || frame == 120) << frame;
      ++sounds;
    }
  }
  EXPECT_EQ(sounds, 3);
}

TEST_F(ReplayKeyTest, F1SavesTheCurrentPlayAndF2ThePreviousOne) {
  RecordAll(g_Replay, {{1, 0}});
  RecordAll(g_ReplayLast, {{2, 0}});
  EXPECT_EQ(SaveReplayKey(false, true, true), 1);
  EXPECT_EQ(Received(), (std::vector<std::pair<UINT, WPARAM>>{{WM_USER + 5, 1}, {WM_SAVE_REPLAY, 0}}));
  EXPECT_EQ(SaveReplayKey(false, false, true), 1);
  EXPECT_EQ(Received(), (std::vector<std::pair<UINT, WPARAM>>{{WM_USER + 5, 1}, {WM_SAVE_REPLAY, 1}}));
  EXPECT_EQ(SaveReplayKey(true, true, false), 0);  // while a replay plays
  EXPECT_TRUE(Received().empty());
}

TEST_F(ReplayKeyTest, TheReplayDialogRequestEndsEvenDuringShutdown) {
  g_bFileRequestOk = 0;
  EXPECT_EQ(OpenReplayDialog(), 1);
  EXPECT_EQ(Received(), (std::vector<std::pair<UINT, WPARAM>>{{WM_LOAD_REPLAY, 0}}));
  g_bFileRequestOk = 0;
  t4::platform::BeginShutdown();
  EXPECT_EQ(OpenReplayDialog(), 0);  // the refused send never completes; the wait must not hang
}

}  // namespace
}  // namespace t4::test
