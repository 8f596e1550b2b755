// A song played once sounds every frame its stream holds, up to the last one.
#include <gtest/gtest.h>

#include <vector>

#include "ogg_writer.h"
#include "platform/ogg/ogg_voice.h"
#include "support/temp_dir.h"

namespace {

namespace t4p = t4::platform;

// Output frames the voice gives, pulled one at a time at the song's own rate, before it ends.
int FramesPlayed(t4p::OggVoice& voice, uint32_t rate) {
  int frames = 0;
  float out[2];
  while (voice.IsPlaying() && frames < 1000000) {
    out[0] = out[1] = 0.0f;
    voice.Mix(out, 2, rate);
    if (voice.IsPlaying()) ++frames;
  }
  return frames;
}

TEST(OggVoiceEnd, EveryFrameOfTheStreamIsPlayed) {
  struct Case {
    uint32_t frames;
    int channels;
    int32_t loops;
  };
  const Case cases[] = {{1000, 1, 0}, {4097, 2, 0}, {300, 1, 1}, {300, 2, 2}};
  t4::test::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.frames << " frames, " << c.channels << " channels, loops " << c.loops);
    const auto file = dir.WriteFile("song.ogg", t4::test::MakeOggSine(22050, c.channels, c.frames, 300.0, 0.5));
    t4p::OggVoice voice;
    ASSERT_TRUE(voice.Load(file.string().c_str()));
    voice.SetLoopCount(c.loops);
    voice.Play();
    EXPECT_EQ(FramesPlayed(voice, 22050), static_cast<int>(c.frames) * (c.loops + 1));
  }
}

}  // namespace
