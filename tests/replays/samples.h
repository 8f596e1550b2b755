// Samples of a play and their golden files: one line per frame of the play, "<frame> <state>"
// with the state digest in hex, and on every PICTURE_EVERY-th frame " <picture>" too.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace t4::test {

class StageHarness;

struct Sample {
  int32_t frame = 0;
  uint64_t state = 0;
  std::optional<uint64_t> picture;
  bool operator==(const Sample&) const = default;
};
using Samples = std::vector<Sample>;

// Watches the harness's frames. A frame is sampled when it advanced the play by exactly one input
// frame and set nothing up again: these are the frames a replay records and plays back, so a
// recording and its playback give the same samples. A frame that set the stage up again (a retry,
// a death shown, a replay that started over) ends the current attempt.
class SampleTaker {
 public:
  void Before(StageHarness& h);
  // The sample of the frame just run, if it is one.
  std::optional<Sample> After(StageHarness& h);
  // The frame set the stage up again.
  bool NewAttempt() const { return m_bNewAttempt; }

 private:
  int32_t m_nPlayFrame = 0;
  int32_t m_nSetups = 0;
  bool m_bNewAttempt = false;
};

bool WriteSamples(const std::filesystem::path& path, const std::string& heading, const Samples& samples);
// Empty with `error` set when the file cannot be read or a line is not a sample.
Samples ReadSamples(const std::filesystem::path& path, std::string& error);
// "" when equal; otherwise the first difference in words.
std::string FirstDifference(const Samples& expected, const Samples& actual);

}  // namespace t4::test
