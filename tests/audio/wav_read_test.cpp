// Reading sound files: the forms that load, and every damaged or foreign form refused with its
// message and without reading past the file.
#include <gtest/gtest.h>

#include "sound_fixture.h"

namespace {

using t4::test::MakeChunk;
using t4::test::MakeWav;
using t4::test::Pcm16;
using t4::test::Pcm8;
using t4::test::WavSpec;

enum Message { NOT_RIFF, NOT_SUPPORTED, NOT_PCM };

std::string Text(Message m, const std::string& file) {
  switch (m) {
    case NOT_RIFF: return file + " の読み込みに失敗しました…\n不正なファイルです。\n";
    case NOT_SUPPORTED:
      return file +
             " の読み込みに失敗しました…\n対応していない形式か、不正なwavファイルです。\n本ソフトではPCM形式のみ再生で"
             "きます。\n";
    case NOT_PCM:
      return file + " の読み込みに失敗しました…\nPCM形式以外の形式です。\n本ソフトではPCM形式のみ再生できます。\n";
  }
  return {};
}

WavSpec Spec(std::string samples) {
  WavSpec spec;
  spec.samples = std::move(samples);
  return spec;
}

template <class F>
WavSpec Spec(std::string samples, F change) {
  WavSpec spec = Spec(std::move(samples));
  change(spec);
  return spec;
}

class WavReadTest : public t4::test::SoundFixture {};

TEST_F(WavReadTest, LoadsValidFormsAndRefusesDamagedOnesWithTheirMessage) {
  struct Case {
    const char* name;
    std::string bytes;
    bool ok;
    size_t sampleBytes;          // when ok
    std::vector<Message> lines;  // before the final "読み込みに失敗しました！" line when refused
  };
  const std::string pcm8 = Pcm8({128, 200, 50, 128});
  const std::string wav = MakeWav(Spec(pcm8));
  const Case cases[] = {
      {"pcm8.wav", wav, true, 4, {}},
      {"pcm16_stereo_fmt18.wav",
       MakeWav(Spec(Pcm16({1, -1, 2, -2}),
                    [](WavSpec& s) {
                      s.bits = 16;
                      s.channels = 2;
                      s.fmtBytes = 18;
                    })),
       true,
       8,
       {}},
      {"chunk_before_fmt.wav",
       MakeWav(Spec(pcm8, [](WavSpec& s) { s.chunksBeforeFmt = MakeChunk("LIST", "abc"); })),
       true,
       4,
       {}},
      {"riff_size_beyond_file.wav",
       MakeWav(Spec(pcm8, [](WavSpec& s) { s.declaredRiffBytes = 0xFFFFFFFF; })),
       true,
       4,
       {}},
      // A data size beyond the file keeps what is there, in whole frames.
      {"truncated.wav", MakeWav(Spec(pcm8, [](WavSpec& s) { s.declaredDataBytes = 1000; })), true, 4, {}},
      {"forged_size.wav", MakeWav(Spec(pcm8, [](WavSpec& s) { s.declaredDataBytes = 0xFFFFFFF0; })), true, 4, {}},
      {"partial_frame.wav",
       MakeWav(Spec(Pcm16({1, 2, 3}),
                    [](WavSpec& s) {
                      s.bits = 16;
                      s.channels = 2;
                      s.declaredDataBytes = 100;
                    })),
       true,
       4,
       {}},
      {"empty_file.wav", "", false, 0, {NOT_RIFF}},
      {"not_riff.wav", "RIFX" + wav.substr(4), false, 0, {NOT_RIFF}},
      {"not_wave.wav", wav.substr(0, 8) + "AVI " + wav.substr(12), false, 0, {NOT_RIFF}},
      {"fmt40_extensible.wav", MakeWav(Spec(pcm8, [](WavSpec& s) { s.fmtBytes = 40; })), false, 0, {NOT_SUPPORTED}},
      {"fmt_cut.wav", wav.substr(0, 30), false, 0, {NOT_SUPPORTED}},
      {"float.wav", MakeWav(Spec(pcm8, [](WavSpec& s) { s.formatTag = 3; })), false, 0, {NOT_PCM}},
      {"no_fmt.wav", MakeWav(Spec(pcm8, [](WavSpec& s) { s.withFmt = false; })), false, 0, {}},
      {"no_data.wav", MakeWav(Spec(pcm8, [](WavSpec& s) { s.withData = false; })), false, 0, {}},
      {"empty_data.wav", MakeWav(Spec("")), false, 0, {}},
      {"data_cut_before_a_frame.wav",
       MakeWav(Spec(Pcm16({7}),
                    [](WavSpec& s) {
                      s.bits = 16;
                      s.channels = 2;
                      s.declaredDataBytes = 64;
                    })),
       false,
       0,
       {}},
  };
  StartSound();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string before = ReportLog();
    const std::string file = Wave(c.name, c.bytes);
    DSWAVEDATA wave;
    EXPECT_EQ(DS_ReadWave(file.c_str(), &wave), c.ok);
    if (c.ok) {
      EXPECT_EQ(wave.Samples.size(), c.sampleBytes);
    }
    SOUNDBUFFER buffer = 0;
    EXPECT_EQ(DS_CreateBuffer(&buffer, file.c_str()), c.ok);
    EXPECT_EQ(buffer != 0, c.ok);
    std::string expected;
    if (!c.ok) {
      // DS_ReadWave wrote its line once above and once inside DS_CreateBuffer.
      for (const Message m : c.lines) expected += Text(m, file);
      for (const Message m : c.lines) expected += Text(m, file);
      expected += file + " の読み込みに失敗しました！\n";
    }
    EXPECT_EQ(ReportLog().substr(before.size()), expected);
  }
}

TEST_F(WavReadTest, MissingFileWritesOnlyTheLoadFailure) {
  StartSound();
  SOUNDBUFFER buffer = 0;
  EXPECT_FALSE(DS_CreateBuffer(&buffer, "wave\\none.wav"));
  EXPECT_EQ(ReportLog(), "wave\\none.wav の読み込みに失敗しました！\n");
}

TEST_F(WavReadTest, FormatsTheMixerCannotPlayLeaveTheSoundUnplayable) {
  // Readable files whose format would make a player divide by zero or read past the samples.
  const std::string pcm = Pcm8(std::vector<int>(16, 200));
  const WavSpec bad[] = {
      Spec(pcm, [](WavSpec& s) { s.channels = 0; }),   Spec(pcm, [](WavSpec& s) { s.channels = 3; }),
      Spec(pcm, [](WavSpec& s) { s.bits = 12; }),      Spec(pcm, [](WavSpec& s) { s.rate = 0; }),
      Spec(pcm, [](WavSpec& s) { s.blockAlign = 0; }), Spec(pcm, [](WavSpec& s) { s.blockAlign = 3; }),
      Spec(pcm, [](WavSpec& s) { s.fmtBytes = 14; }),
  };
  StartSound();
  int n = 0;
  for (const WavSpec& spec : bad) {
    SCOPED_TRACE(n);
    const std::string file = Wave("bad" + std::to_string(n++) + ".wav", MakeWav(spec));
    DSSOUNDDATA sound;
    EXPECT_FALSE(DS_CreateSound(&sound, file.c_str(), 2, 0));
    EXPECT_TRUE(sound.Buffers.empty());
    DS_Play(&sound, 0);
    DS_ReleaseSound(&sound);
  }
  EXPECT_EQ(ReportLog(), "");
  EXPECT_EQ(Render(8), std::vector<uint8_t>(8, 128));
}

}  // namespace
