// The outside MIDI library binding against a stand-in library that records its calls: what is
// looked up, called and in which order, and the fallback when the library is missing.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "audio/bgm.h"
#include "audio/ggs_player.h"
#include "recording_bgm_backend.h"

namespace {

struct FakeLibrary {
  std::vector<std::string> calls;
  std::vector<std::string> lookups;
  std::string loadedPath;
  bool present = true;
  int openResult = 0;
  int addResult = 0;
  bool withPause = true;
};
FakeLibrary g_Fake;

int FakeOpen(int device, HWND) {
  g_Fake.calls.push_back("OpenDevice " + std::to_string(device));
  return g_Fake.openResult;
}
void FakeClose() { g_Fake.calls.push_back("CloseDevice"); }
int FakePlay(int option, int id, int skip, int fade, int key) {
  g_Fake.calls.push_back("Play " + std::to_string(option) + " " + std::to_string(id) + " " + std::to_string(skip) +
                         " " + std::to_string(fade) + " " + std::to_string(key));
  return 0;
}
void FakeStop(int fade) { g_Fake.calls.push_back("Stop " + std::to_string(fade)); }
void FakePause() { g_Fake.calls.push_back("Pause"); }
void FakeVolume(int volume) { g_Fake.calls.push_back("SetMasterVolume " + std::to_string(volume)); }
void FakeStatus(void*, int size) { g_Fake.calls.push_back("GetPlayerStatus " + std::to_string(size)); }
int FakeAdd(const char* file, int option, int id) {
  g_Fake.calls.push_back(std::string("AddListFromFileA ") + file + " " + std::to_string(option) + " " +
                         std::to_string(id));
  return g_Fake.addResult;
}

const GGS4LIBRARYLOADER FAKE_LOADER{
    [](const char* path) -> void* {
      g_Fake.loadedPath = path;
      return g_Fake.present ? &g_Fake : nullptr;
    },
    [](void*, const char* name) -> void* {
      g_Fake.lookups.push_back(name);
      const std::map<std::string, void*> exports = {
          {"GGS4OpenDevice", reinterpret_cast<void*>(&FakeOpen)},
          {"GGS4CloseDevice", reinterpret_cast<void*>(&FakeClose)},
          {"GGS4Play", reinterpret_cast<void*>(&FakePlay)},
          {"GGS4Stop", reinterpret_cast<void*>(&FakeStop)},
          {"GGS4Pause", g_Fake.withPause ? reinterpret_cast<void*>(&FakePause) : nullptr},
          {"GGS4SetMasterVolume", reinterpret_cast<void*>(&FakeVolume)},
          {"GGS4GetPlayerStatus", reinterpret_cast<void*>(&FakeStatus)},
          {"GGS4AddListFromFileA", reinterpret_cast<void*>(&FakeAdd)},
      };
      auto it = exports.find(name);
      return it == exports.end() ? nullptr : it->second;
    },
    [](void*) { g_Fake.calls.push_back("FreeLibrary"); }};

class GgsPlayerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_Fake = FakeLibrary{};
    SetGgsLibraryLoader(&FAKE_LOADER);
  }
  void TearDown() override {
    cGGS4::Release();
    SetGgsLibraryLoader(nullptr);
  }
  cGgsPlayer m_player;
};

TEST_F(GgsPlayerTest, LoadsFromTheExecutablesFolderAndLooksUpEveryExportInOrder) {
  ASSERT_TRUE(m_player.Init(true));
  EXPECT_EQ(g_Fake.loadedPath, cGGS4::LibraryPath());
  EXPECT_NE(g_Fake.loadedPath.find("/GuruGuruSMF4.dll"), std::string::npos);
  const std::vector<std::string> exportsInOrder = {"GGS4OpenDevice",
                                                   "GGS4CloseDevice",
                                                   "GGS4AddDlsW",
                                                   "GGS4AddDlsA",
                                                   "GGS4Play",
                                                   "GGS4Stop",
                                                   "GGS4Pause",
                                                   "GGS4Restart",
                                                   "GGS4SetMasterTempo",
                                                   "GGS4SetMasterVolume",
                                                   "GGS4SetMasterPitch",
                                                   "GGS4GetPlayerStatus",
                                                   "GGS4AddListFromFileW",
                                                   "GGS4AddListFromFileA",
                                                   "GGS4AddListFromMemory",
                                                   "GGS4DeleteListItem",
                                                   "GGS4ClearList",
                                                   "GGS4EnumList",
                                                   "GGS4GetSmfInformation"};
  EXPECT_EQ(g_Fake.lookups, exportsInOrder);
  EXPECT_EQ(g_Fake.calls, std::vector<std::string>{"OpenDevice -1100"});
  // A second Init keeps the library and opens the device again.
  g_Fake.lookups.clear();
  ASSERT_TRUE(m_player.Init(false));
  EXPECT_TRUE(g_Fake.lookups.empty());
  EXPECT_EQ(g_Fake.calls.back(), "OpenDevice -1");
  m_player.Release();
  EXPECT_EQ(std::vector<std::string>(g_Fake.calls.end() - 2, g_Fake.calls.end()),
            (std::vector<std::string>{"CloseDevice", "FreeLibrary"}));
  EXPECT_FALSE(cGGS4::IsLoaded());
}

TEST_F(GgsPlayerTest, PlayPausesTheSongAddsTheFileSetsTheVolumeAndPlays) {
  ASSERT_TRUE(m_player.Init(false));
  struct Case {
    int volume;
    int master;
  };
  for (const Case& c : {Case{100, 0}, Case{50, -64}, Case{0, -127}, Case{1, -126}}) {
    g_Fake.calls.clear();
    ASSERT_TRUE(m_player.Play(0, "bgm\\a.mid", c.volume % 2 == 0, c.volume));
    EXPECT_EQ(g_Fake.calls,
              (std::vector<std::string>{"GetPlayerStatus 20", "Pause", "AddListFromFileA bgm\\a.mid 0 0",
                                        "SetMasterVolume " + std::to_string(c.master),
                                        std::string("Play ") + (c.volume % 2 == 0 ? "1" : "0") + " 0 0 0 0"}))
        << c.volume;
  }
  // Only "mid": the song is paused and nothing is added.
  for (const char* file : {"bgm\\a.MID", "bgm\\a", "bgm\\a.ogg"}) {
    g_Fake.calls.clear();
    EXPECT_FALSE(m_player.Play(0, file, true, 100));
    EXPECT_EQ(g_Fake.calls, (std::vector<std::string>{"GetPlayerStatus 20", "Pause"})) << file;
  }
  g_Fake.addResult = 3;
  EXPECT_FALSE(m_player.Play(0, "bgm\\refused.mid", true, 100));
  g_Fake.calls.clear();
  m_player.Stop(false);
  EXPECT_EQ(g_Fake.calls, (std::vector<std::string>{"GetPlayerStatus 20", "Stop 0"}));
}

TEST_F(GgsPlayerTest, MissingLibraryOrDeviceLeavesMidiToTheStreamPlayers) {
  BGMOGGSLOT oggSlots[BGM_SLOT_COUNT] = {};
  BGMMIDISLOT midiSlots[BGM_SLOT_COUNT] = {};
  struct Case {
    bool present;
    int openResult;
  };
  for (const Case& c : {Case{false, 0}, Case{true, 5}}) {
    g_Fake.present = c.present;
    g_Fake.openResult = c.openResult;
    t4::test::BgmScript script;
    script.midiFiles = {"bgm\\a.mid"};
    cBgm bgm;
    bgm.SetBackends(std::make_unique<t4::test::RecordingOgg>(script), std::make_unique<cGgsPlayer>(),
                    std::make_unique<t4::test::RecordingMidi>(script));
    bgm.Init(1, oggSlots, midiSlots, BGM_SLOT_COUNT, false);
    bgm.SetFile(0, "bgm\\a.mid", 100);
    EXPECT_TRUE(bgm.Play(0, 0, true, false, true));
    EXPECT_NE(std::find(script.calls.begin(), script.calls.end(), "midi.Play 0 bgm\\a.mid 1"), script.calls.end());
    // A library whose device did not open stays loaded.
    EXPECT_EQ(cGGS4::IsLoaded(), c.present);
    bgm.Release();
    EXPECT_EQ(cGGS4::IsLoaded(), c.present);
  }
  // The platform's own loader finds no such library.
  cGGS4::Release();
  SetGgsLibraryLoader(nullptr);
  EXPECT_FALSE(m_player.Init(false));
}

}  // namespace
