// Feeds arbitrary bytes to the replay-file reader (stage body, key streams, save data). A replay
// that loads must play; its record must save and load again to the same bytes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/stage.h"
#include "persist/replay.h"
#include "persist/save_data.h"
#include "record_round_trip.h"

namespace {

// Replay files are read by path.
const std::string& ScratchPath() {
  static const std::string path = "/tmp/t4_replay_fuzz_" + std::to_string(getpid()) + ".rpl4_902";
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FILE* fp = std::fopen(ScratchPath().c_str(), "wb");
  if (!fp) return 0;
  std::fwrite(data, 1, size, fp);
  std::fclose(fp);

  cStage stage, settings;
  cSaveData saveData;
  cReplay replay;
  if (replay.LoadReplayFile(ScratchPath().c_str(), stage, settings, saveData)) {
    // Runs may be billions of frames long; the first frames reach every index check already.
    int16_t words[2] = {0, 0};
    for (int frame = 0; frame < 4096 && replay.Play(words) == 0; ++frame) {
    }
  }
  std::remove(ScratchPath().c_str());
  t4::fuzz::CheckRecordRoundTrip<cReplay>(data, size);
  return 0;
}
