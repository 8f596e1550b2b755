// The sound mixer: static sound buffers made from PCM data, duplicates that share the samples,
// per-buffer volume in hundredths of a decibel, play from the start, stop, and any number of music
// streams, all mixed at float precision.
//
// The primary format is the sound layer's recorded setting (what the game asks the device for);
// the device itself always plays OUTPUT_FORMAT, so that sound effects keep the quality of their
// files and music is synthesised and decoded at full quality. Render and RenderFloat take the
// format they render in; without one they render in the primary format (tests and tools).
//
// Every operation takes one lock, so buffers can be played from several threads while the audio
// device pulls samples with Render. Render works the same without any device: tests and headless
// runs call it to get the output on demand.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

#include "platform/audio/wave_format.h"

namespace t4::platform {

// Identifies one sound buffer of a mixer; 0 is never a buffer.
using SoundBufferId = int32_t;

constexpr int32_t VOLUME_SILENT = -10000;  // hundredths of a decibel
constexpr int32_t VOLUME_FULL = 0;
// The largest sound buffer, in bytes of its own format.
constexpr uint32_t MAX_BUFFER_BYTES = 0x0FFFFFFF;

// What the device plays and the music streams are mixed in.
constexpr uint32_t OUTPUT_RATE = 44100;
constexpr uint16_t OUTPUT_BITS = 16;
constexpr uint16_t OUTPUT_CHANNELS = 2;
WAVEFORMATEX OutputFormat();

// Linear gain of a volume in hundredths of a decibel: 10^(v / 2000); the silent end is exactly 0.
float VolumeToGain(int32_t volume);

// A source of continuous sound mixed with the buffers (the music players). Mix adds `frames`
// interleaved frames at the given rate and channel count into `out`. It runs under the mixer's
// lock (possibly on the audio thread): it must not call back into the mixer and must not block.
class MixerStream {
 public:
  virtual ~MixerStream() = default;
  virtual void Mix(std::span<float> out, int channels, uint32_t rate) = 0;
};

class Mixer {
 public:
  Mixer();
  Mixer(const Mixer&) = delete;
  Mixer& operator=(const Mixer&) = delete;

  // The primary format: the recorded setting of the sound layer. False (format unchanged) when it
  // is not playable.
  bool SetFormat(const WAVEFORMATEX& format);
  WAVEFORMATEX Format() const;

  // A stopped buffer at full volume holding a copy of the PCM frames; 0 when the format is not
  // playable, or there is not one whole frame, or more than MAX_BUFFER_BYTES.
  SoundBufferId CreateBuffer(const WAVEFORMATEX& format, std::span<const uint8_t> pcm);
  // A new buffer over the same samples, stopped, at full volume; 0 when the source does not exist.
  SoundBufferId DuplicateBuffer(SoundBufferId source);
  void ReleaseBuffer(SoundBufferId id);
  int BufferCount() const;

  // Starts the buffer from its first frame (cutting off a play in progress).
  bool Play(SoundBufferId id, bool loop);
  bool Stop(SoundBufferId id);
  bool IsPlaying(SoundBufferId id) const;
  // Clamps to VOLUME_SILENT .. VOLUME_FULL; returns false when the buffer does not exist.
  bool SetVolume(SoundBufferId id, int32_t volume);
  std::optional<int32_t> GetVolume(SoundBufferId id) const;

  void AddStream(std::shared_ptr<MixerStream> stream);
  void RemoveStream(const MixerStream* stream);

  // Mixes the next out.size() / channels frames at `rate` as floats (full scale is -1 .. 1, not
  // clipped); channels is 1 or 2. Without a rate and channel count: the primary format's.
  void RenderFloat(std::span<float> out, int channels, uint32_t rate);
  void RenderFloat(std::span<float> out);
  // Mixes the next whole frames that fit in `out` in `format` (8-bit unsigned or 16-bit signed
  // little-endian), clipped; a trailing partial frame is filled with silence. A format that is not
  // playable renders silence. Without a format: the primary format.
  void Render(std::span<uint8_t> out, const WAVEFORMATEX& format);
  void Render(std::span<uint8_t> out);

 private:
  struct Samples {
    WAVEFORMATEX format;
    std::vector<uint8_t> pcm;
    uint32_t frames = 0;
  };
  struct Voice {
    std::shared_ptr<const Samples> samples;
    int32_t volume = VOLUME_FULL;
    float gain = 1.0f;
    bool playing = false;
    bool loop = false;
    uint64_t position = 0;  // source frames, 32.32 fixed point
  };

  void MixLocked(std::span<float> out, int channels, uint32_t rate);
  void MixVoice(Voice& voice, std::span<float> out, int channels, uint32_t rate);

  mutable std::mutex m_mutex;
  WAVEFORMATEX m_format;
  std::map<SoundBufferId, Voice> m_voices;  // played in id order, so a mix is reproducible
  SoundBufferId m_nextId = 1;
  std::vector<std::shared_ptr<MixerStream>> m_streams;
  std::vector<float> m_scratch;
};

}  // namespace t4::platform
