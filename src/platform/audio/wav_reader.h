// Reader of RIFF WAVE files held in memory: finds the "fmt " and "data" chunks the way the
// multimedia file functions search them, with every size checked against the bytes that exist.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/audio/wave_format.h"

namespace t4::platform {

// Results in the order the checks are made; the sound layer turns them into its messages.
enum class WavStatus {
  Ok,
  NotRiffWave,     // no RIFF chunk of form type "WAVE"
  NoFormat,        // no "fmt " chunk inside it
  FormatTooLarge,  // a "fmt " chunk of more than 18 bytes (extensible formats)
  FormatCut,       // the "fmt " chunk holds fewer bytes than it declares
  NotPcm,          // a format tag other than PCM
  NoData,          // no "data" chunk after "fmt ", or one of size 0
  EmptyData,       // a "data" chunk with no complete sample frame in the file
};

struct WavData {
  WavStatus status = WavStatus::NotRiffWave;
  WAVEFORMATEX format;           // the bytes of the "fmt " chunk; fields it does not hold stay 0
  uint32_t formatBytes = 0;      // the declared size of the "fmt " chunk
  std::vector<uint8_t> samples;  // the "data" bytes present in the file, whole frames only
};

// The largest "fmt " chunk that is read into the format record.
constexpr uint32_t WAV_MAX_FORMAT_BYTES = 18;

WavData ParseWav(std::span<const uint8_t> file);

}  // namespace t4::platform
