// The Ogg player over the sound output: a file encoded by the test plays once or looped, at the
// slot's volume, and the music manager drives MIDI and Ogg through the same output.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "audio/bgm.h"
#include "audio/midi_output.h"
#include "audio/ogg_player.h"
#include "ogg_writer.h"
#include "platform/message_box.h"
#include "platform/midi/fluid_midi_synth.h"
#include "sound_fixture.h"
#include "support/smf_writer.h"

namespace {

using namespace t4::test;
namespace t4p = t4::platform;

constexpr uint32_t RATE = 44100;

class OggPlayerTest : public SoundFixture {
 protected:
  void SetUp() override {
    SoundFixture::SetUp();
    ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
    // A quarter of a second of 440 Hz at half scale.
    m_dir.WriteFile("bgm/tone.ogg", MakeOggSine(RATE, 1, RATE / 4, 440.0, 0.5));
    m_dir.WriteFile("bgm/noise.ogg", "OggS but not really");
  }
  void TearDown() override {
    t4p::SetMidiOutDevice(nullptr);
    g_MidiOutput.SetSynthMaker(nullptr);
    SoundFixture::TearDown();
  }

  // Root mean square of the next `seconds` of the device's output (left channel).
  float Rms(double seconds) {
    std::vector<float> out(2 * static_cast<size_t>(seconds * RATE));
    m_output.RenderFloat(out, 2, RATE);
    double sum = 0.0;
    for (size_t i = 0; i < out.size(); i += 2) sum += out[i] * out[i];
    return static_cast<float>(std::sqrt(sum / (out.size() / 2)));
  }
  static BGMOGGSLOT Slot(const char* file, int volume) {
    BGMOGGSLOT slot{};
    std::snprintf(slot.szFile, sizeof(slot.szFile), "%s", file);
    slot.nVolume = volume;
    return slot;
  }

  cOggPlayer m_player;
};

constexpr float TONE_RMS = 0.5f / 1.41421356f;

TEST_F(OggPlayerTest, PlaysOnceOrLoopedThroughTheSoundOutput) {
  ASSERT_TRUE(m_player.Init());
  ASSERT_TRUE(m_player.SetChannels(1));
  const BGMOGGSLOT slot = Slot("bgm\\Tone.ogg", 100);

  ASSERT_TRUE(m_player.Play(0, &slot, false, slot.nVolume));
  EXPECT_EQ(m_player.GetPlayingChannel(), 0);
  EXPECT_NEAR(Rms(0.2), TONE_RMS, 0.03f);
  Rms(0.1);
  EXPECT_EQ(Rms(0.2), 0.0f);
  EXPECT_FALSE(m_player.GetObject(0)->IsPlaying());

  ASSERT_TRUE(m_player.Play(0, &slot, true, slot.nVolume));
  for (int i = 0; i < 20; ++i) EXPECT_NEAR(Rms(0.05), TONE_RMS, 0.05f) << i;
  EXPECT_TRUE(m_player.GetObject(0)->IsPlaying());
  m_player.Stop();
  EXPECT_EQ(m_player.GetPlayingChannel(), -1);
  EXPECT_EQ(Rms(0.05), 0.0f);
}

TEST_F(OggPlayerTest, VolumeIsSetBelowOneHundredPercentAndClamped) {
  ASSERT_TRUE(m_player.Init());
  ASSERT_TRUE(m_player.SetChannels(1));
  struct Case {
    int volume;
    float expected;
  };
  // At 100 and above the object keeps its own level, which every new song starts from.
  for (const Case& c : {Case{50, 0.5f}, Case{100, 1.0f}, Case{0, 0.0f}, Case{150, 1.0f}, Case{-20, 0.0f}}) {
    const BGMOGGSLOT slot = Slot("bgm\\tone.ogg", c.volume);
    ASSERT_TRUE(m_player.Play(0, &slot, true, slot.nVolume));
    EXPECT_FLOAT_EQ(m_player.GetObject(0)->Volume(), c.expected) << c.volume;
    EXPECT_NEAR(Rms(0.1), TONE_RMS * c.expected, 0.05f) << c.volume;
  }
}

TEST_F(OggPlayerTest, FilesThatDoNotPlayAndAMissingLibrary) {
  ASSERT_TRUE(m_player.Init());
  ASSERT_TRUE(m_player.SetChannels(1));
  const BGMOGGSLOT tone = Slot("bgm\\tone.ogg", 100);
  ASSERT_TRUE(m_player.Play(0, &tone, true, 100));
  // An empty name is refused before anything changes: the song goes on.
  const BGMOGGSLOT empty = Slot("", 100);
  EXPECT_FALSE(m_player.Play(0, &empty, true, 100));
  EXPECT_FALSE(m_player.Play(0, nullptr, true, 100));
  EXPECT_GT(Rms(0.05), 0.2f);
  // A file that does not load stops the song before it; so does a channel without an object.
  for (const char* file : {"bgm\\noise.ogg", "bgm\\missing.ogg"}) {
    const BGMOGGSLOT bad = Slot(file, 100);
    ASSERT_TRUE(m_player.Play(0, &tone, true, 100));
    EXPECT_FALSE(m_player.Play(0, &bad, true, 100)) << file;
    EXPECT_EQ(m_player.GetPlayingChannel(), -1);
    EXPECT_EQ(Rms(0.05), 0.0f);
  }
  EXPECT_FALSE(m_player.Play(1, &tone, true, 100));
  m_player.Release();
  EXPECT_EQ(m_player.GetObject(0), nullptr);

  t4p::ScriptedMessageBoxBackend boxes;
  {
    t4p::ScopedMessageBoxBackend installed(boxes);
    cOggPlayer missing([]() -> CREATEVOX { return nullptr; });
    EXPECT_FALSE(missing.Init());
  }
  ASSERT_EQ(boxes.Boxes().size(), 1u);
  EXPECT_EQ(boxes.Boxes()[0].text, "oggの初期化に失敗！");
}

TEST_F(OggPlayerTest, MusicManagerPlaysMidiAndOggThroughTheSoundOutput) {
  m_dir.WriteFile(
      "bgm/song.mid",
      MakeSmf({0, 96, {Event(0, {0xC0, 0}) + Event(0, {0x90, 64, 110}) + Event(960, {0x80, 64, 0}) + EndOfTrack(0)}}));
  BGMOGGSLOT oggSlots[BGM_SLOT_COUNT] = {};
  BGMMIDISLOT midiSlots[BGM_SLOT_COUNT] = {};
  {
    cBgm bgm;
    g_MidiOutput.SetSynthMaker([](const std::string& soundFont) { return t4p::FluidMidiSynth::Create(soundFont); });
    InstallMusicPlayers(bgm);
    // Without the outside MIDI library the stream players take the MIDI music.
    ASSERT_TRUE(bgm.Init(1, oggSlots, midiSlots, BGM_SLOT_COUNT, false));
    ASSERT_TRUE(bgm.SetFile(BGM_SLOT_TITLE, "bgm\\song.MID", 100));
    ASSERT_TRUE(bgm.Play(0, BGM_SLOT_TITLE, true, false, true));
    if (t4p::ChooseSoundFont("").empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
    EXPECT_GT(Rms(0.3), 0.005f);
    ASSERT_TRUE(bgm.SetFile(BGM_SLOT_STAGE, "bgm\\tone.ogg", 100));
    ASSERT_TRUE(bgm.Play(0, BGM_SLOT_STAGE, true, false, true));
    Rms(1.0);  // the MIDI song's last sound dies away
    EXPECT_NEAR(Rms(0.2), TONE_RMS, 0.05f);
    bgm.Stop();
    Rms(2.0);
    EXPECT_LT(Rms(0.1), 1e-4f);
    bgm.Release();
  }
}

}  // namespace
