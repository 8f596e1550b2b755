// Sound files from a project: parse any bytes as a WAV file, and play whatever is accepted
// through the mixer for a short stretch, in several primary formats.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "platform/audio/mixer.h"
#include "platform/audio/wav_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace t4::platform;
  WavData wav = ParseWav(std::span<const uint8_t>(data, size));
  if (wav.status != WavStatus::Ok) return 0;
  for (const WAVEFORMATEX& primary : {MakePcmFormat(22050, 8, 1), MakePcmFormat(44100, 16, 2)}) {
    Mixer mixer;
    mixer.SetFormat(primary);
    SoundBufferId id = mixer.CreateBuffer(wav.format, wav.samples);
    if (id == 0) return 0;
    SoundBufferId copy = mixer.DuplicateBuffer(id);
    mixer.SetVolume(copy, -600);
    mixer.Play(id, false);
    mixer.Play(copy, true);
    std::vector<uint8_t> out(1024);
    mixer.Render(out);
    mixer.Render(out);
  }
  return 0;
}
