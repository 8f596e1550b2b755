#include "replays/samples.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "replays/replay_digest.h"
#include "stage/scene_play.h"
#include "support/stage_harness.h"

namespace t4::test {

void SampleTaker::Before(StageHarness& h) {
  m_nPlayFrame = h.Scene().m_nPlayFrame;
  m_nSetups = h.Scene().m_nSetStageCount;
  m_bNewAttempt = false;
}

std::optional<Sample> SampleTaker::After(StageHarness& h) {
  cScenePlay& s = h.Scene();
  m_bNewAttempt = s.m_nSetStageCount != m_nSetups;
  if (m_bNewAttempt || s.m_nPlayFrame != m_nPlayFrame + 1) return std::nullopt;
  Sample sample;
  sample.frame = s.m_nPlayFrame;
  sample.state = StateDigest(h);
  if (sample.frame % PICTURE_EVERY == 0) sample.picture = PictureDigest();
  return sample;
}

bool WriteSamples(const std::filesystem::path& path, const std::string& heading, const Samples& samples) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "# " << heading << "\n";
  char line[64];
  for (const Sample& s : samples) {
    if (s.picture)
      std::snprintf(line, sizeof line, "%d %016" PRIx64 " %016" PRIx64 "\n", s.frame, s.state, *s.picture);
    else
      std::snprintf(line, sizeof line, "%d %016" PRIx64 "\n", s.frame, s.state);
    out << line;
  }
  return static_cast<bool>(out.flush());
}

Samples ReadSamples(const std::filesystem::path& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path.string();
    return {};
  }
  Samples samples;
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    if (line.empty() || line[0] == '#') continue;
    std::istringstream words(line);
    Sample s;
    std::string state, picture;
    if (!(words >> s.frame >> state)) {
      error = path.string() + ":" + std::to_string(number) + ": not a sample";
      return {};
    }
    s.state = std::stoull(state, nullptr, 16);
    if (words >> picture) s.picture = std::stoull(picture, nullptr, 16);
    samples.push_back(s);
  }
  if (samples.empty()) error = path.string() + " holds no sample";
  return samples;
}

namespace {

std::string Hex(uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016" PRIx64, value);
  return text;
}

}  // namespace

std::string FirstDifference(const Samples& expected, const Samples& actual) {
  const size_t n = std::min(expected.size(), actual.size());
  for (size_t i = 0; i < n; ++i) {
    const Sample& e = expected[i];
    const Sample& a = actual[i];
    if (e.frame != a.frame)
      return "sample " + std::to_string(i) + " is of frame " + std::to_string(a.frame) + ", expected frame " +
             std::to_string(e.frame);
    if (e.state != a.state)
      return "the state differs from frame " + std::to_string(e.frame) + " on (" + Hex(a.state) + ", expected " +
             Hex(e.state) + ")";
    if (e.picture != a.picture) return "the picture of frame " + std::to_string(e.frame) + " differs";
  }
  if (expected.size() != actual.size())
    return std::to_string(actual.size()) + " frames played, expected " + std::to_string(expected.size());
  return "";
}

}  // namespace t4::test
