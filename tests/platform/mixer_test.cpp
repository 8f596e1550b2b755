// The mixer on its own: volume law, restart, overlap, end of a sound, conversion to the primary
// format and refused formats.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/audio/mixer.h"
#include "support/wav_writer.h"

namespace {

using t4::platform::MakePcmFormat;
using t4::platform::Mixer;
using t4::platform::SoundBufferId;
using t4::platform::WAVEFORMATEX;

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

// A buffer of `frames` frames of one 8-bit value at the primary format (22050 Hz mono).
SoundBufferId Constant8(Mixer& mixer, int value, int frames) {
  return mixer.CreateBuffer(MakePcmFormat(22050, 8, 1), Bytes(t4::test::Pcm8(std::vector<int>(frames, value))));
}

std::vector<uint8_t> Render(Mixer& mixer, size_t bytes) {
  std::vector<uint8_t> out(bytes);
  mixer.Render(out);
  return out;
}

TEST(MixerTest, VolumeScalesAFullScaleWaveByTheDecibelLaw) {
  // 16-bit full scale through the 8-bit primary format: within one step of rounding.
  struct Case {
    int32_t volume;
    double gain;
  };
  for (const Case& c :
       {Case{0, 1.0}, Case{-600, std::pow(10.0, -0.3)}, Case{-2000, 0.1}, Case{-150, std::pow(10.0, -0.075)}}) {
    Mixer mixer;
    SoundBufferId id =
        mixer.CreateBuffer(MakePcmFormat(22050, 16, 1), Bytes(t4::test::Pcm16(std::vector<int>(64, 32767))));
    ASSERT_NE(id, 0);
    ASSERT_TRUE(mixer.SetVolume(id, c.volume));
    mixer.Play(id, false);
    auto out = Render(mixer, 32);
    const double expected = 128 + 127.996 * c.gain;
    for (uint8_t b : out) EXPECT_NEAR(b, expected, 1.0) << "volume " << c.volume;
  }
}

TEST(MixerTest, SilentVolumeIsExactSilenceAndVolumesAreClamped) {
  Mixer mixer;
  SoundBufferId id = Constant8(mixer, 255, 64);
  mixer.SetVolume(id, -20000);
  EXPECT_EQ(mixer.GetVolume(id), -10000);
  mixer.Play(id, false);
  std::vector<float> out(32);
  mixer.RenderFloat(out);
  for (float x : out) EXPECT_EQ(x, 0.0f);
  mixer.SetVolume(id, 50);
  EXPECT_EQ(mixer.GetVolume(id), 0);
}

TEST(MixerTest, SecondPlayRestartsFromTheFirstFrame) {
  Mixer mixer;
  std::vector<int> ramp;
  for (int i = 0; i < 100; ++i) ramp.push_back(128 + i);
  SoundBufferId id = mixer.CreateBuffer(MakePcmFormat(22050, 8, 1), Bytes(t4::test::Pcm8(ramp)));
  mixer.Play(id, false);
  auto first = Render(mixer, 10);
  EXPECT_EQ(first[9], 128 + 9);
  mixer.Play(id, false);
  auto again = Render(mixer, 3);
  EXPECT_EQ(again, (std::vector<uint8_t>{128, 129, 130}));
}

TEST(MixerTest, DuplicatesShareSamplesAndOverlappingPlaysAddUp) {
  Mixer mixer;
  SoundBufferId a = Constant8(mixer, 160, 64);  // +0.25
  SoundBufferId b = mixer.DuplicateBuffer(a);
  ASSERT_NE(b, 0);
  mixer.Play(a, false);
  EXPECT_EQ(Render(mixer, 4), std::vector<uint8_t>(4, 160));
  mixer.Play(b, false);
  EXPECT_EQ(Render(mixer, 4), std::vector<uint8_t>(4, 192));
  // The duplicate keeps its samples when the original goes.
  mixer.ReleaseBuffer(a);
  EXPECT_EQ(Render(mixer, 4), std::vector<uint8_t>(4, 160));
  EXPECT_EQ(mixer.DuplicateBuffer(a), 0);
}

TEST(MixerTest, SoundEndsAfterItsLastFrameUnlessLooping) {
  Mixer mixer;
  SoundBufferId once = Constant8(mixer, 160, 5);
  mixer.Play(once, false);
  auto out = Render(mixer, 8);
  EXPECT_EQ(out, (std::vector<uint8_t>{160, 160, 160, 160, 160, 128, 128, 128}));
  EXPECT_FALSE(mixer.IsPlaying(once));

  SoundBufferId looped = Constant8(mixer, 160, 5);
  mixer.Play(looped, true);
  EXPECT_EQ(Render(mixer, 12), std::vector<uint8_t>(12, 160));
  EXPECT_TRUE(mixer.IsPlaying(looped));
  mixer.Stop(looped);
  EXPECT_EQ(Render(mixer, 2), std::vector<uint8_t>(2, 128));
}

TEST(MixerTest, ConvertsRateAndChannelsToThePrimaryFormat) {
  Mixer mixer;
  // 44100 Hz stereo, left +0.5 and right +0.25: a 22050 Hz mono output takes every other frame,
  // averaged, and the sound lasts half as many output frames.
  std::vector<int> frames;
  for (int i = 0; i < 20; ++i) frames.insert(frames.end(), {16384, 8192});
  SoundBufferId id = mixer.CreateBuffer(MakePcmFormat(44100, 16, 2), Bytes(t4::test::Pcm16(frames)));
  ASSERT_NE(id, 0);
  mixer.Play(id, false);
  std::vector<float> out(12);
  mixer.RenderFloat(out);
  for (int i = 0; i < 10; ++i) EXPECT_FLOAT_EQ(out[i], 0.375f) << i;
  EXPECT_EQ(out[10], 0.0f);

  // A 16-bit stereo primary format gets both channels, little-endian.
  ASSERT_TRUE(mixer.SetFormat(MakePcmFormat(44100, 16, 2)));
  mixer.Play(id, false);
  auto bytes = Render(mixer, 8);
  EXPECT_EQ(bytes, (std::vector<uint8_t>{0x00, 0x40, 0x00, 0x20, 0x00, 0x40, 0x00, 0x20}));
}

TEST(MixerTest, SixteenBitOutputSaturatesInsteadOfWrapping) {
  // Three voices of +0.75 (or -0.75) sum to 2.25 full scales: the output holds at the end of the
  // range; a wrap would turn it into a loud click of the other sign.
  struct Case {
    int sample;
    uint8_t lo, hi;
  };
  for (const Case& c : {Case{24576, 0xFF, 0x7F}, Case{-24576, 0x00, 0x80}}) {
    SCOPED_TRACE(c.sample);
    Mixer mixer;
    ASSERT_TRUE(mixer.SetFormat(MakePcmFormat(22050, 16, 1)));
    for (int i = 0; i < 3; ++i) {
      SoundBufferId id =
          mixer.CreateBuffer(MakePcmFormat(22050, 16, 1), Bytes(t4::test::Pcm16(std::vector<int>(16, c.sample))));
      ASSERT_NE(id, 0);
      mixer.Play(id, false);
    }
    auto out = Render(mixer, 8);
    EXPECT_EQ(out, (std::vector<uint8_t>{c.lo, c.hi, c.lo, c.hi, c.lo, c.hi, c.lo, c.hi}));
  }
}

TEST(MixerTest, ASoundAtHalfTheOutputRateIsInterpolatedBetweenItsFrames) {
  // 11025 Hz ramp 128, 136, 144, 152 into 22050 Hz: every other output frame lies halfway.
  Mixer mixer;
  SoundBufferId id = mixer.CreateBuffer(MakePcmFormat(11025, 8, 1), Bytes(t4::test::Pcm8({128, 136, 144, 152})));
  ASSERT_NE(id, 0);
  mixer.Play(id, false);
  EXPECT_EQ(Render(mixer, 7), (std::vector<uint8_t>{128, 132, 136, 140, 144, 148, 152}));
}

TEST(MixerTest, RefusesFormatsItCannotPlay) {
  const std::vector<uint8_t> pcm(64, 0x80);
  auto with = [](auto change) {
    WAVEFORMATEX f = MakePcmFormat(22050, 8, 1);
    change(f);
    return f;
  };
  const WAVEFORMATEX bad[] = {
      with([](WAVEFORMATEX& f) { f.wFormatTag = 3; }),
      with([](WAVEFORMATEX& f) { f.nChannels = 0; }),
      with([](WAVEFORMATEX& f) {
        f.nChannels = 3;
        f.nBlockAlign = 3;
      }),
      with([](WAVEFORMATEX& f) { f.wBitsPerSample = 12; }),
      with([](WAVEFORMATEX& f) { f.nSamplesPerSec = 0; }),
      with([](WAVEFORMATEX& f) { f.nBlockAlign = 0; }),
      with([](WAVEFORMATEX& f) { f.nBlockAlign = 4; }),
  };
  Mixer mixer;
  for (const WAVEFORMATEX& f : bad) {
    EXPECT_EQ(mixer.CreateBuffer(f, pcm), 0);
    EXPECT_FALSE(mixer.SetFormat(f));
  }
  // Not one whole frame.
  EXPECT_EQ(mixer.CreateBuffer(MakePcmFormat(22050, 16, 2), std::vector<uint8_t>(3, 0)), 0);
  EXPECT_EQ(mixer.BufferCount(), 0);
}

}  // namespace
