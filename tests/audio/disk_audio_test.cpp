// End to end through SDL: with SDL's disk audio driver the device output lands in a file, which
// must carry the sound that was played.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/clock.h"
#include "sound_fixture.h"

namespace {

class DiskAudioTest : public t4::test::SoundFixture {
 protected:
  void SetUp() override {
    SoundFixture::SetUp();
    m_rawPath = (m_dir.Path() / "device.raw").string();
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", m_rawPath.c_str(), 1);
  }
  void TearDown() override {
    SoundFixture::TearDown();
    unsetenv("SDL_AUDIODRIVER");
    unsetenv("SDL_DISKAUDIOFILE");
  }
  std::string DeviceBytes() const {
    std::ifstream in(m_rawPath, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  std::string m_rawPath;
  t4::platform::SdlAudioOutput m_sdl;
  // Over the fixture's headless output; the device opens only when the test starts the sound.
  t4::platform::ScopedAudioOutput m_installedSdl{m_sdl};
};

TEST_F(DiskAudioTest, PlayedSoundReachesTheDeviceOutput) {
  ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1));
  DSSOUNDDATA sound;
  ASSERT_TRUE(DS_CreateSound(&sound, ConstantWave("beep.wav", 200, 4410).c_str(), 1, 0));
  DS_Play(&sound, 0);
  // The device plays 16-bit output whatever the primary format: the 8-bit value 200 (+0.5625 of
  // full scale) arrives as the sample 0x4800. The driver writes in real time; wait (bounded)
  // until the sound shows up in the file.
  const std::string sample("\x00\x48", 2);
  bool heard = false;
  for (int i = 0; i < 300 && !heard; ++i) {
    t4::platform::SleepReal(10);
    heard = DeviceBytes().find(sample) != std::string::npos;
  }
  DS_ReleaseSound(&sound);
  DS_Release();
  EXPECT_TRUE(heard);
}

}  // namespace
