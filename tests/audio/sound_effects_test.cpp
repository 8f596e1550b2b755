// The sound-effect layer: silent running without a device, volume steps and clamping, round-robin
// buffers, loading past bad files, the sound list of start-up and the sound requests.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "audio/sound_setup.h"
#include "core/globals.h"
#include "core/sound_request.h"
#include "platform/messages.h"
#include "sound_fixture.h"

namespace {

using t4::test::MakeWav;
using t4::test::Pcm8;
using t4::test::WavSpec;

class SoundEffectsTest : public t4::test::SoundFixture {
 protected:
  // Fills the program's own lists (the layer keeps the lists it loaded until DS_Release) with one
  // one-buffer definition per file.
  void DefineSounds(const std::vector<std::string>& files) {
    g_SoundList.assign(files.size(), DSSOUNDDATA{});
    g_SoundInfoList.assign(files.size(), DSSOUNDINFO{});
    for (size_t i = 0; i < files.size(); ++i) {
      std::snprintf(g_SoundInfoList[i].szFile, MAX_PATH, "%s", files[i].c_str());
      g_SoundInfoList[i].nBufferCount = 1;
    }
  }
  std::vector<std::string> SystemNames(const std::string& first) {
    std::vector<std::string> names(17);
    names[0] = first;
    return names;
  }
};

TEST_F(SoundEffectsTest, WithoutADeviceEverythingSucceedsSilently) {
  t4::platform::HeadlessAudioOutput none(false);
  t4::platform::ScopedAudioOutput installed(none);
  SetupSounds(nullptr, SystemNames(ConstantWave("a.wav", 255, 64)), {}, 7);
  EXPECT_EQ(ReportLog(), "DSInit Err\n");
  ASSERT_EQ(g_SoundList.size(), 17u);
  EXPECT_TRUE(g_SoundList[0].Buffers.empty());
  DSSOUNDDATA sound;
  EXPECT_TRUE(DS_CreateSound(&sound, "wave\\a.wav", 1, 0));
  EXPECT_TRUE(sound.Buffers.empty());
  PlaySoundListEntry(0);
  EXPECT_EQ(DS_SetVolume(&g_SoundList[0], 0, -500, false), 0);
  EXPECT_EQ(DS_GetVolume(&g_SoundList[0], 0), 0);
  DS_Release();
  EXPECT_FALSE(none.IsOpen());
}

TEST_F(SoundEffectsTest, OptionVolumeLevelsScaleEverySound) {
  // Hundredths of a decibel for option levels 0-10; the output falls by 10^(v / 2000), level 0 is silence.
  const std::vector<int32_t> steps = {-10000, -3000, -2000, -1300, -800, -500, -300, -150, -80, -30, 0};
  EXPECT_EQ(std::vector<int32_t>(std::begin(SE_VOLUME_STEPS), std::end(SE_VOLUME_STEPS)), steps);
  ASSERT_EQ(SE_VOLUME_LEVEL_COUNT, 11);
  const auto names = SystemNames(ConstantWave("full.wav", 255, 64));
  for (int level = 0; level < 11; ++level) {
    SCOPED_TRACE(level);
    SetupSounds(nullptr, names, {}, level);
    EXPECT_EQ(DS_GetVolume(&g_SoundList[0], 0), steps[static_cast<size_t>(level)]);
    PlaySoundListEntry(0);
    const double gain = level == 0 ? 0.0 : std::pow(10.0, steps[static_cast<size_t>(level)] / 2000.0);
    for (uint8_t b : Render(16)) EXPECT_NEAR(b, 128 + 127 * gain, 1.0);
  }
}

TEST_F(SoundEffectsTest, FullLevelTakesEachDefinitionsOwnVolume) {
  StartSound();
  const std::string file = ConstantWave("s.wav", 200, 8);
  DefineSounds({file, file});
  cSafeVector<DSSOUNDDATA>& sounds = g_SoundList;
  cSafeVector<DSSOUNDINFO>& infos = g_SoundInfoList;
  infos[1].nVolume = -600;
  DS_LoadSounds(sounds, infos, 0);
  EXPECT_EQ(DS_GetVolume(&sounds[0], 0), 0);
  EXPECT_EQ(DS_GetVolume(&sounds[1], 0), -600);
  DS_LoadSounds(sounds, infos, -800);  // created entries are not made again
  EXPECT_EQ(DS_GetVolume(&sounds[1], 0), -600);
}

TEST_F(SoundEffectsTest, SetVolumeClampsAndAddsToTheCurrentVolume) {
  StartSound();
  DSSOUNDDATA sound;
  ASSERT_TRUE(DS_CreateSound(&sound, ConstantWave("a.wav", 200, 8).c_str(), 1, -150));
  struct Case {
    int volume;
    bool relative;
    int expected;
  };
  for (const Case& c :
       {Case{-100, true, -250}, Case{-20000, false, -10000}, Case{50, false, 0}, Case{-30000, true, -10000}}) {
    EXPECT_EQ(DS_SetVolume(&sound, 0, c.volume, c.relative), c.expected);
    EXPECT_EQ(DS_GetVolume(&sound, 0), c.expected);
  }
  EXPECT_EQ(DS_SetVolume(&sound, 1, -100, false), 0);  // no such buffer
  DS_ReleaseSound(&sound);
  EXPECT_TRUE(sound.Buffers.empty());
}

TEST_F(SoundEffectsTest, PlaysTakeTheBuffersInTurnAndCutOffTheOldest) {
  StartSound();
  std::vector<int> ramp;
  for (int i = 0; i < 100; ++i) ramp.push_back(128 + i);
  WavSpec spec;
  spec.samples = Pcm8(ramp);
  const std::string file = Wave("ramp.wav", MakeWav(spec));

  // One buffer: a second play restarts the sound.
  DSSOUNDDATA one;
  ASSERT_TRUE(DS_CreateSound(&one, file.c_str(), 1, 0));
  DS_Play(&one, 0);
  Render(10);
  DS_Play(&one, 0);
  EXPECT_EQ(Render(1)[0], 128);
  DS_ReleaseSound(&one);

  // Three buffers: plays at frames 0, 10 and 20 sound together; the fourth restarts the first,
  // so at frame 30 the buffers stand at 0, 20 and 10 (not 30, 20 and 10).
  DSSOUNDDATA three;
  ASSERT_TRUE(DS_CreateSound(&three, file.c_str(), 3, 0));
  for (int i = 0; i < 3; ++i) {
    DS_Play(&three, 0);
    Render(10);
  }
  EXPECT_EQ(three.nNext, 0);
  DS_Play(&three, 0);
  EXPECT_EQ(Render(1)[0], 128 + 30);
  EXPECT_EQ(three.nNext, 1);
}

TEST_F(SoundEffectsTest, LoadingGoesOnPastABadFileAndLeavesItUnplayable) {
  StartSound();
  DefineSounds({ConstantWave("a.wav", 160, 64), "wave\\missing.wav", ConstantWave("c.wav", 160, 64)});
  cSafeVector<DSSOUNDDATA>& sounds = g_SoundList;
  cSafeVector<DSSOUNDINFO>& infos = g_SoundInfoList;
  EXPECT_EQ(DS_LoadSounds(sounds, infos, 0), 1);
  EXPECT_EQ(ReportLog(), "wave\\missing.wav の読み込みに失敗しました！\n");
  EXPECT_EQ(sounds[0].Buffers.size(), 1u);
  EXPECT_TRUE(sounds[1].Buffers.empty());
  EXPECT_STREQ(sounds[2].szFile, "wave\\c.wav");
  DS_Play(&sounds[1], 0);
  EXPECT_EQ(Render(2), std::vector<uint8_t>(2, 128));
  DS_Play(&sounds[2], 0);
  EXPECT_EQ(Render(2), std::vector<uint8_t>(2, 160));
}

TEST_F(SoundEffectsTest, SoundListHoldsTheSystemSoundsThenTheDatabaseSounds) {
  struct Case {
    size_t records;
    size_t entries;
  };
  // A Sound.dat without records still gets all 17 system sounds.
  for (const Case& c : {Case{0, 17}, Case{1, 17}, Case{4, 20}}) {
    std::vector<std::string> records;
    for (size_t i = 0; i < c.records; ++i) records.push_back("wave\\r" + std::to_string(i) + ".wav");
    std::vector<std::string> system;
    for (int i = 0; i < 17; ++i) system.push_back("wave\\s" + std::to_string(i) + ".wav");
    cSafeVector<DSSOUNDDATA> sounds(1);
    cSafeVector<DSSOUNDINFO> infos;
    BuildSoundInfoList(sounds, infos, system, records);
    ASSERT_EQ(infos.size(), c.entries);
    ASSERT_EQ(sounds.size(), c.entries);
    EXPECT_STREQ(infos[16].szFile, "wave\\s16.wav");
    for (size_t i = 17; i < c.entries; ++i) EXPECT_EQ(infos[i].szFile, records[i - 16]);
    for (const DSSOUNDINFO& info : infos) {
      EXPECT_EQ(info.nBufferCount, 1);
      EXPECT_EQ(info.nVolume, 0);
      EXPECT_EQ(info.nFlag, 1);
    }
  }
}

TEST_F(SoundEffectsTest, SoundRequestFromAnotherThreadPlaysOnTheWindowThread) {
  const std::string db = ConstantWave("db1.wav", 176, 64);  // +0.375
  SetupSounds(nullptr, SystemNames(ConstantWave("sys.wav", 160, 64)), {"", db}, 10);
  auto proc = [](HWND, UINT msg, WPARAM wParam, LPARAM) -> LRESULT {
    if (msg == WM_PLAY_SOUND) PlaySoundListEntry(static_cast<int>(wParam));
    return 0;
  };
  g_hWnd = t4::platform::CreateMessageWindow(proc, nullptr);
  std::atomic<bool> done{false};
  std::thread game([&] {
    PlayUserSound(1);  // database sound 1 is id 17
    done = true;
  });
  while (!done) t4::platform::WaitMessage(10);
  game.join();
  EXPECT_EQ(Render(2), std::vector<uint8_t>(2, 176));

  // A bad id takes the checked-access path and plays entry 0 meanwhile.
  PlaySoundListEntry(40);
  EXPECT_NE(ReportLog().find("err V[40] ( 18 ,"), std::string::npos);
  EXPECT_EQ(Render(1)[0], 176 + 32);
  t4::platform::DestroyWindow(g_hWnd);
  g_hWnd = nullptr;
  t4::platform::ResetMessageLayerForTests();
}

TEST_F(SoundEffectsTest, MusicStreamsMixIntoTheSameOutput) {
  struct Dc final : t4::platform::MixerStream {
    void Mix(std::span<float> out, int, uint32_t) override {
      for (float& x : out) x += 0.25f;
    }
  };
  auto stream = std::make_shared<Dc>();
  EXPECT_FALSE(DS_AddStream(stream));  // no device yet
  StartSound();
  ASSERT_TRUE(DS_AddStream(stream));
  DSSOUNDDATA sound;
  ASSERT_TRUE(DS_CreateSound(&sound, ConstantWave("a.wav", 160, 64).c_str(), 1, 0));
  DS_Play(&sound, 0);
  EXPECT_EQ(Render(2), std::vector<uint8_t>(2, 192));
  DS_RemoveStream(stream.get());
  EXPECT_EQ(Render(2), std::vector<uint8_t>(2, 160));
  DS_ReleaseSound(&sound);
}

TEST_F(SoundEffectsTest, PlaysAndVolumeChangesFromSeveralThreadsStayConsistent) {
  StartSound();
  DSSOUNDDATA sound;
  ASSERT_TRUE(DS_CreateSound(&sound, ConstantWave("a.wav", 160, 256).c_str(), 3, 0));
  constexpr int PLAYS = 3000;
  auto player = [&] {
    for (int i = 0; i < PLAYS; ++i) DS_Play(&sound, 0);
  };
  std::thread window(player);
  std::thread game(player);
  std::thread volume([&] {
    for (int i = 0; i < PLAYS; ++i) DS_SetVolume(&sound, i % 3, -(i % 100), false);
  });
  for (int i = 0; i < 200; ++i) Render(64);
  window.join();
  game.join();
  volume.join();
  // Not one play lost its turn.
  EXPECT_EQ(sound.nNext, (2 * PLAYS) % 3);
}

}  // namespace
