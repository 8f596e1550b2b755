// The music manager observed through recording back-ends: slot kinds, the back-end chosen for
// each request, once and looped plays, stop, release and set-up, scene and stage requests.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>

#include "audio/music_request.h"
#include "core/report_log.h"
#include "recording_bgm_backend.h"
#include "support/temp_dir.h"

namespace {

using Calls = std::vector<std::string>;

class BgmTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(InitReportLog((m_dir.Path() / "Report_Game.txt").string().c_str()));
    std::memcpy(m_ogg, g_BgmOggSlots, sizeof(m_ogg));
    std::memcpy(m_midi, g_BgmMidiSlots, sizeof(m_midi));
    t4::test::InstallRecordingBackends(m_bgm, m_script);
  }
  // Init, then forget the calls it made.
  void Start() {
    m_bgm.Init(1, m_ogg, m_midi, BGM_SLOT_COUNT, false);
    m_script.calls.clear();
  }
  Calls TakeCalls() { return std::exchange(m_script.calls, {}); }

  t4::test::TempDir m_dir;
  BGMOGGSLOT m_ogg[BGM_SLOT_COUNT];
  BGMMIDISLOT m_midi[BGM_SLOT_COUNT];
  t4::test::BgmScript m_script;
  cBgm m_bgm;
};

TEST_F(BgmTest, SetFileTakesTheKindFromTheExtension) {
  struct Case {
    const char* file;
    bool result;
    int kind;
    const char* ogg;  // the slots afterwards
    int oggVolume;
    const char* midi;
    int midiVolume;
  };
  const Case cases[] = {
      {"bgm\\a.MID", true, BGMKIND_MIDI, "bgm\\Stage.ogg", 0, "bgm\\a.mid", 70},
      {"bgm\\a.mid", true, BGMKIND_MIDI, "bgm\\Stage.ogg", 0, "bgm\\a.mid", 70},
      {"bgm\\a.ogg", true, BGMKIND_OGG, "bgm\\a.ogg", 70, "bgm\\Stage.mid", 0},
      {"bgm\\a.OGG", true, BGMKIND_OGG, "bgm\\a.OGG", 70, "bgm\\Stage.mid", 0},
      {"bgm\\a.Ogg", false, BGMKIND_UNKNOWN, "bgm\\a.Ogg", 70, "bgm\\a.Ogg", 70},
      {"bgm\\a.wav", false, BGMKIND_UNKNOWN, "bgm\\a.wav", 70, "bgm\\a.wav", 70},
      {"bgm\\a", false, BGMKIND_UNKNOWN, "", 0, "", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    std::memcpy(m_ogg, g_BgmOggSlots, sizeof(m_ogg));
    std::memcpy(m_midi, g_BgmMidiSlots, sizeof(m_midi));
    Start();
    EXPECT_EQ(m_bgm.SetFile(BGM_SLOT_STAGE, c.file, 70), c.result);
    EXPECT_EQ(m_bgm.GetSlotKind(BGM_SLOT_STAGE), c.kind);
    EXPECT_STREQ(m_ogg[BGM_SLOT_STAGE].szFile, c.ogg);
    EXPECT_EQ(m_ogg[BGM_SLOT_STAGE].nVolume, c.oggVolume);
    EXPECT_STREQ(m_midi[BGM_SLOT_STAGE].szFile, c.midi);
    EXPECT_EQ(m_midi[BGM_SLOT_STAGE].nVolume, c.midiVolume);
    EXPECT_TRUE(TakeCalls().empty());
  }
}

TEST_F(BgmTest, PlayUsesTheBackEndOfTheSlotsKindAndLeavesTheOtherSilent) {
  struct Case {
    const char* file;
    std::set<std::string> ogg;  // what each back-end starts
    std::set<std::string> midi;
    bool pauseMidi;
    bool result;
    Calls calls;
  };
  const Case cases[] = {
      {"x.ogg", {"x.ogg"}, {}, false, true, {"ogg.Play 0 x.ogg 1 80", "midi.StopAll 0"}},
      {"x.mid", {}, {"x.mid"}, false, true, {"midi.Play 0 x.mid 1", "ogg.Stop"}},
      {"x.MID", {}, {"x.mid"}, false, true, {"midi.Play 0 x.mid 1", "ogg.Stop"}},
      // Unknown kinds try Ogg first (pausing MIDI when asked), then MIDI.
      {"x.Ogg", {"x.Ogg"}, {}, true, true, {"ogg.Play 0 x.Ogg 1 80", "midi.StopAll 1"}},
      {"x.wav", {}, {"x.wav"}, false, true, {"ogg.Play 0 x.wav 1 80", "midi.Play 0 x.wav 1", "ogg.Stop"}},
      // Nothing starts: both back-ends are stopped and no slot is current.
      {"x.ogg", {}, {}, false, false, {"ogg.Play 0 x.ogg 1 80", "ogg.Stop", "midi.StopAll 0"}},
      {"x.mid", {}, {}, false, false, {"midi.Play 0 x.mid 1", "ogg.Stop", "midi.StopAll 0"}},
      {"x", {}, {}, false, false, {"ogg.Play 0  1 0", "midi.Play 0  1", "ogg.Stop", "midi.StopAll 0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    Start();
    m_script.oggFiles = c.ogg;
    m_script.midiFiles = c.midi;
    m_bgm.SetFile(BGM_SLOT_STAGE, c.file, 80);
    EXPECT_EQ(m_bgm.Play(0, BGM_SLOT_STAGE, true, c.pauseMidi, true), c.result);
    EXPECT_EQ(TakeCalls(), c.calls);
    EXPECT_EQ(m_bgm.GetCurrentSlot(), c.result ? BGM_SLOT_STAGE : -1);
  }
}

TEST_F(BgmTest, RepeatedRequestRestartsOnlyWhenForced) {
  Start();
  m_script.oggFiles = {"t.ogg"};
  m_bgm.SetFile(BGM_SLOT_TITLE, "t.ogg", 100);
  EXPECT_TRUE(m_bgm.Play(0, BGM_SLOT_TITLE, false, false, true));
  TakeCalls();
  EXPECT_TRUE(m_bgm.Play(0, BGM_SLOT_TITLE, false, false, false));
  EXPECT_TRUE(TakeCalls().empty());
  EXPECT_TRUE(m_bgm.Play(0, BGM_SLOT_TITLE, false, false, true));
  EXPECT_EQ(TakeCalls(), (Calls{"ogg.Play 0 t.ogg 0 100", "midi.StopAll 0"}));
  m_bgm.Stop();
  EXPECT_EQ(TakeCalls(), (Calls{"midi.StopAll 0", "ogg.Stop"}));
}

TEST_F(BgmTest, MidiGoesToTheOutsideLibraryWhenItStarts) {
  struct Case {
    bool ggs;
    Calls init;
    Calls play;
    Calls release;
  };
  const Case cases[] = {
      {true,
       {"ggs.Init 1", "ogg.Init", "ogg.SetChannels 1"},
       {"ggs.Play 0 s.mid 1 60", "ogg.Stop"},
       {"ogg.Release", "ggs.Release"}},
      {false,
       {"ggs.Init 1", "midi.Clear", "ogg.Init", "midi.SetChannels 1", "ogg.SetChannels 1"},
       {"midi.Play 0 s.mid 1", "ogg.Stop"},
       {"ogg.Release", "midi.Clear"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.ggs);
    m_script.ggsInitOk = c.ggs;
    m_script.midiFiles = {"s.mid"};
    EXPECT_TRUE(m_bgm.Init(1, m_ogg, m_midi, BGM_SLOT_COUNT, true));
    EXPECT_EQ(TakeCalls(), c.init);
    m_bgm.SetFile(BGM_SLOT_STAGE, "s.mid", 60);
    EXPECT_TRUE(m_bgm.Play(0, BGM_SLOT_STAGE, true, false, true));
    EXPECT_EQ(TakeCalls(), c.play);
    m_bgm.Release();
    EXPECT_EQ(TakeCalls(), c.release);
    EXPECT_FALSE(m_bgm.IsInitialised());
  }
}

TEST_F(BgmTest, WithoutOggMidiStillPlaysAndOggRequestsFail) {
  m_script.oggInitOk = false;
  m_script.oggFiles = {"t.ogg"};
  m_script.midiFiles = {"s.mid"};
  EXPECT_FALSE(m_bgm.Init(1, m_ogg, m_midi, BGM_SLOT_COUNT, false));
  EXPECT_EQ(TakeCalls(), (Calls{"ggs.Init 0", "midi.Clear", "ogg.Init", "midi.SetChannels 1"}));
  for (int slot = 0; slot < BGM_SLOT_COUNT; ++slot) EXPECT_EQ(m_bgm.GetSlotKind(slot), BGMKIND_UNKNOWN);

  m_bgm.SetFile(BGM_SLOT_STAGE, "s.mid", 100);
  EXPECT_TRUE(m_bgm.Play(0, BGM_SLOT_STAGE, true, false, true));
  EXPECT_EQ(TakeCalls(), (Calls{"midi.Play 0 s.mid 1"}));

  m_bgm.SetFile(BGM_SLOT_TITLE, "t.ogg", 100);
  EXPECT_FALSE(m_bgm.Play(0, BGM_SLOT_TITLE, true, false, true));
  EXPECT_EQ(TakeCalls(), (Calls{"midi.StopAll 0"}));
  m_bgm.Release();
  EXPECT_EQ(TakeCalls(), (Calls{"ogg.Release", "midi.Clear"}));
}

TEST_F(BgmTest, ReleasedManagerIgnoresRequestsAndCanBeSetUpAgain) {
  EXPECT_TRUE(m_bgm.SetFile(BGM_SLOT_TITLE, "t.ogg", 100));
  EXPECT_TRUE(m_bgm.Play(0, BGM_SLOT_TITLE, true, false, true));
  m_bgm.Stop();
  m_bgm.Release();
  EXPECT_TRUE(TakeCalls().empty());
  // The options scene switches the music off and on again.
  for (int i = 0; i < 2; ++i) {
    Start();
    m_bgm.Release();
    EXPECT_EQ(TakeCalls(), (Calls{"ogg.Release", "midi.Clear"}));
    m_bgm.Stop();
    EXPECT_TRUE(TakeCalls().empty());
  }
}

TEST_F(BgmTest, SlotOutsideTheTablesIsLoggedAndNothingIsWritten) {
  Start();
  BGMOGGSLOT before[BGM_SLOT_COUNT];
  std::memcpy(before, m_ogg, sizeof(before));
  EXPECT_FALSE(m_bgm.SetFile(BGM_SLOT_COUNT, "x.ogg", 100));
  EXPECT_FALSE(m_bgm.Play(0, -1, true, false, true));
  EXPECT_EQ(std::memcmp(before, m_ogg, sizeof(before)), 0);
  EXPECT_TRUE(TakeCalls().empty());
  std::string log = m_dir.ReadFile("Report_Game.txt");
  EXPECT_NE(log.find("err V[5] ( 5 , 4 )"), std::string::npos);
  EXPECT_NE(log.find("err V[-1] ( 5 , 4 )"), std::string::npos);
}

TEST_F(BgmTest, SceneAndStageRequestsPlayStopAndLoop) {
  const cSafeVector<BGMDEF> music = {{"", 100}, {"bgm\\t.ogg", 90}, {"bgm\\s.mid", 60}};
  struct Case {
    int slot;
    int number;
    bool loop;
    Calls calls;
  };
  const Case cases[] = {
      {BGM_SLOT_TITLE, 1, true, {"ogg.Play 0 bgm\\t.ogg 1 90", "midi.StopAll 0"}},
      {BGM_SLOT_OPTION, 2, false, {"midi.Play 0 bgm\\s.mid 0", "ogg.Stop"}},
      {BGM_SLOT_WORLDMAP, 0, true, {"midi.StopAll 0", "ogg.Stop"}},
      {BGM_SLOT_STAGE, 2, true, {"midi.Play 0 bgm\\s.mid 1", "ogg.Stop"}},
      {BGM_SLOT_STAGE, 0, true, {"midi.StopAll 0", "ogg.Stop"}},
      {7, 1, true, {}},
      // A number outside the list uses entry 0 (no file): nothing plays.
      {BGM_SLOT_CHALLENGE, 9, true, {"ogg.Play 0  1 0", "midi.Play 0  1", "ogg.Stop", "midi.StopAll 0"}},
  };
  m_script.oggFiles = {"bgm\\t.ogg"};
  m_script.midiFiles = {"bgm\\s.mid"};
  Start();
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.slot << "/" << c.number);
    PlayMusicRequest(m_bgm, music, c.slot, c.number, c.loop);
    EXPECT_EQ(TakeCalls(), c.calls);
  }
  // The stage slot takes the file even when the number stops the music.
  EXPECT_EQ(m_bgm.GetSlotKind(BGM_SLOT_STAGE), BGMKIND_UNKNOWN);
  EXPECT_NE(m_dir.ReadFile("Report_Game.txt").find("err V[9] ( 3 ,"), std::string::npos);
}

TEST_F(BgmTest, OperationsFromTwoThreadsNeverOverlap) {
  m_script.midiFiles = {"s.mid"};
  Start();
  std::thread options([&] {
    for (int i = 0; i < 300; ++i) {
      m_bgm.Release();
      m_bgm.Init(1, m_ogg, m_midi, BGM_SLOT_COUNT, false);
    }
  });
  for (int i = 0; i < 300; ++i) {
    m_bgm.SetFile(BGM_SLOT_STAGE, "s.mid", 100);
    m_bgm.Play(0, BGM_SLOT_STAGE, true, false, true);
    m_bgm.Stop();
  }
  options.join();
  EXPECT_FALSE(m_script.overlapped);
}

}  // namespace
