// Start-up's music set-up: music switched on later from the options must find its players even
// when the game started with music off.
#include <gtest/gtest.h>

#include <cstring>

#include "audio/midi_output.h"
#include "core/report_log.h"
#include "support/temp_dir.h"

namespace {

TEST(MusicSetup, PlayersAreInstalledWhateverTheOptionSays) {
  t4::test::TempDir dir;
  ASSERT_TRUE(InitReportLog((dir.Path() / "Report_Game.txt").string().c_str()));
  BGMOGGSLOT ogg[BGM_SLOT_COUNT];
  BGMMIDISLOT midi[BGM_SLOT_COUNT];
  std::memcpy(ogg, g_BgmOggSlots, sizeof(ogg));
  std::memcpy(midi, g_BgmMidiSlots, sizeof(midi));
  for (bool musicOn : {false, true}) {
    SCOPED_TRACE(musicOn);
    cBgm bgm;
    SetUpMusic(bgm, musicOn, ogg, midi, BGM_SLOT_COUNT, false);
    EXPECT_EQ(bgm.IsInitialised(), musicOn);
    // What the options scene does when the player switches music on: the Ogg player is there.
    bgm.Release();
    EXPECT_TRUE(bgm.Init(1, ogg, midi, BGM_SLOT_COUNT, false));
    EXPECT_TRUE(bgm.IsInitialised());
    EXPECT_TRUE(bgm.SetFile(BGM_SLOT_TITLE, "bgm\\title.mid", 100));
    EXPECT_EQ(bgm.GetSlotKind(BGM_SLOT_TITLE), BGMKIND_MIDI);
    bgm.Release();
  }
}

}  // namespace
