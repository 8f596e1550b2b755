// The PCM wave format record of sound files and sound buffers (the 18-byte layout of a WAV file's
// "fmt " chunk, little-endian on disk).
#pragma once

#include <cstdint>

namespace t4::platform {

constexpr uint16_t WAVE_FORMAT_PCM = 1;

struct WAVEFORMATEX {
  uint16_t wFormatTag = 0;
  uint16_t nChannels = 0;
  uint32_t nSamplesPerSec = 0;
  uint32_t nAvgBytesPerSec = 0;
  uint16_t nBlockAlign = 0;
  uint16_t wBitsPerSample = 0;
  uint16_t cbSize = 0;
};

// The formats the mixer plays: PCM, 1 or 2 channels, 8 or 16 bits, 100 to 200000 samples a second,
// and a block align that matches. Anything else would make the mixer divide by zero or read past
// the samples.
bool IsPlayablePcmFormat(const WAVEFORMATEX& format);

// Builds the format of plain PCM with the given rate, bits and channels (block align and bytes per
// second derived).
WAVEFORMATEX MakePcmFormat(uint32_t rate, uint16_t bits, uint16_t channels);

}  // namespace t4::platform
