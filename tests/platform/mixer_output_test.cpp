// The device format: whatever primary format the sound layer records, the mixer renders the
// device's 44100 Hz 16-bit stereo, so 8-bit effects keep their level and music its quality.
#include <gtest/gtest.h>

#include <vector>

#include "platform/audio/mixer.h"
#include "support/wav_writer.h"

namespace {

using namespace t4::platform;

TEST(MixerOutputTest, RendersInTheFormatItIsGivenWhateverThePrimaryFormat) {
  Mixer mixer;
  ASSERT_TRUE(mixer.SetFormat(MakePcmFormat(22050, 8, 1)));
  const std::string pcm = t4::test::Pcm8(std::vector<int>(100, 192));  // +0.5
  const SoundBufferId id = mixer.CreateBuffer(MakePcmFormat(22050, 8, 1), std::vector<uint8_t>(pcm.begin(), pcm.end()));
  ASSERT_NE(id, 0);
  mixer.Play(id, false);
  std::vector<uint8_t> out(4 * 8);
  mixer.Render(out, OutputFormat());
  for (size_t i = 0; i < out.size(); i += 2) {
    EXPECT_EQ(out[i], 0x00) << i;
    EXPECT_EQ(out[i + 1], 0x40) << i;
  }
  // Twice as many output frames as the sound has at its own rate.
  std::vector<float> rest(2 * 300);
  mixer.RenderFloat(rest, 2, OUTPUT_RATE);
  EXPECT_FLOAT_EQ(rest[2 * (200 - 8 - 2)], 0.5f);
  EXPECT_EQ(rest[2 * (200 - 8 + 2)], 0.0f);
  EXPECT_EQ(mixer.Format().nSamplesPerSec, 22050u);  // the recorded setting stays as it was set
  // A format that cannot be played renders silence.
  std::vector<uint8_t> bad(8, 0x55);
  mixer.Render(bad, MakePcmFormat(0, 16, 2));
  EXPECT_EQ(bad, std::vector<uint8_t>(8, 0));
}

}  // namespace
