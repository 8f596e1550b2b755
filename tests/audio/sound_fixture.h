// A project folder with a report log and the sound layer started over a headless output.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "audio/sound_effects.h"
#include "core/report_log.h"
#include "platform/audio/audio_output.h"
#include "support/temp_dir.h"
#include "support/wav_writer.h"

namespace t4::test {

class SoundFixture : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(InitReportLog((m_dir.Path() / "Report_Game.txt").string().c_str())); }
  void TearDown() override {
    DS_Release();
    g_SoundList.clear();
    g_SoundInfoList.clear();
  }

  void StartSound() { ASSERT_TRUE(DS_Init(nullptr, 22050, 8, 1)); }

  // Writes a WAV under wave\ and returns its game path.
  std::string Wave(const std::string& name, const std::string& bytes) {
    m_dir.WriteFile("wave/" + name, bytes);
    return "wave\\" + name;
  }
  // A 22050 Hz 8-bit mono sound of `frames` frames of one value.
  std::string ConstantWave(const std::string& name, int value, int frames) {
    WavSpec spec;
    spec.samples = Pcm8(std::vector<int>(frames, value));
    return Wave(name, MakeWav(spec));
  }

  // The report log with Windows line ends turned into '\n'.
  std::string ReportLog() const {
    std::string text = m_dir.ReadFile("Report_Game.txt");
    std::string out;
    for (char c : text) {
      if (c != '\r') out.push_back(c);
    }
    return out;
  }

  std::vector<uint8_t> Render(size_t bytes) {
    std::vector<uint8_t> out(bytes);
    m_output.Render(out);
    return out;
  }

  TempDir m_dir;
  ScopedCurrentDir m_cwd{m_dir.Path()};
  t4::platform::HeadlessAudioOutput m_output;
  t4::platform::ScopedAudioOutput m_installedOutput{m_output};
};

}  // namespace t4::test
