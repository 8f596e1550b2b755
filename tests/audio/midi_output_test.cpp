// The program's MIDI out device: a synthesiser loaded ahead of the first song is the one that song
// gets, and a soundfont changed meanwhile is not overtaken by the earlier load.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "audio/midi_output.h"
#include "core/report_log.h"
#include "platform/clock.h"
#include "platform/midi/midi_synth.h"
#include "support/temp_dir.h"

namespace {

class MidiOutputPreload : public ::testing::Test {
 protected:
  void TearDown() override {
    g_MidiOutput.SetSynthMaker(nullptr);
    g_MidiOutput.SetSoundFont(nullptr);
  }
  // A maker that counts its loads and remembers the last soundfont asked for.
  void CountingMaker() {
    g_MidiOutput.SetSynthMaker([this](const std::string& soundFont) -> std::shared_ptr<t4::platform::MidiSynth> {
      ++m_loads;
      m_lastFont = soundFont;
      return std::make_shared<t4::platform::RecordingMidiSynth>();
    });
  }
  std::atomic<int> m_loads{0};
  std::string m_lastFont;
};

TEST_F(MidiOutputPreload, TheFirstSongGetsThePreloadedSynthesiserWithoutASecondLoad) {
  CountingMaker();
  g_MidiOutput.PreloadSynth();
  g_MidiOutput.PreloadSynth();  // already on its way
  const auto first = g_MidiOutput.Synth();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(g_MidiOutput.Synth(), first);
  EXPECT_EQ(m_loads.load(), 1);
}

TEST_F(MidiOutputPreload, ASoundfontChosenAfterThePreloadIsLoadedInstead) {
  CountingMaker();
  g_MidiOutput.PreloadSynth();
  const std::filesystem::path font = std::filesystem::temp_directory_path() / "t4_midi_output_test.sf2";
  { std::ofstream(font) << "x"; }
  g_MidiOutput.SetSoundFont(font.string().c_str());
  ASSERT_NE(g_MidiOutput.Synth(), nullptr);
  EXPECT_EQ(m_lastFont, font.string());
  EXPECT_EQ(m_loads.load(), 2);
  std::filesystem::remove(font);
}

TEST_F(MidiOutputPreload, AFailedPreloadIsReportedOnceWhenTheFirstSongAsks) {
  t4::test::TempDir dir;
  ASSERT_TRUE(InitReportLog((dir.Path() / "Report_Game.txt").string().c_str()));
  std::atomic<bool> tried{false};
  g_MidiOutput.SetSynthMaker([&tried](const std::string&) -> std::shared_ptr<t4::platform::MidiSynth> {
    tried = true;
    return nullptr;
  });
  g_MidiOutput.PreloadSynth();
  for (int i = 0; i < 1000 && !tried; ++i) t4::platform::SleepReal(2);
  ASSERT_TRUE(tried);
  // The load failed on its own thread, but the report log has its line only where the song asks.
  EXPECT_EQ(dir.ReadFile("Report_Game.txt").find("Midi SoundFont"), std::string::npos);
  EXPECT_EQ(g_MidiOutput.Synth(), nullptr);
  EXPECT_EQ(g_MidiOutput.Synth(), nullptr);
  const std::string log = dir.ReadFile("Report_Game.txt");
  const size_t at = log.find("Midi SoundFont");
  EXPECT_NE(at, std::string::npos);
  EXPECT_EQ(log.find("Midi SoundFont", at + 1), std::string::npos);
}

}  // namespace
