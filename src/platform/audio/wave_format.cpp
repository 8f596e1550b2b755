#include "platform/audio/wave_format.h"

namespace t4::platform {

bool IsPlayablePcmFormat(const WAVEFORMATEX& format) {
  if (format.wFormatTag != WAVE_FORMAT_PCM) return false;
  if (format.nChannels < 1 || format.nChannels > 2) return false;
  if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) return false;
  if (format.nSamplesPerSec < 100 || format.nSamplesPerSec > 200000) return false;
  return format.nBlockAlign == format.nChannels * format.wBitsPerSample / 8;
}

WAVEFORMATEX MakePcmFormat(uint32_t rate, uint16_t bits, uint16_t channels) {
  WAVEFORMATEX format;
  format.wFormatTag = WAVE_FORMAT_PCM;
  format.nChannels = channels;
  format.nSamplesPerSec = rate;
  format.wBitsPerSample = bits;
  format.nBlockAlign = static_cast<uint16_t>(bits / 8 * channels);
  format.nAvgBytesPerSec = rate * format.nBlockAlign;
  return format;
}

}  // namespace t4::platform
