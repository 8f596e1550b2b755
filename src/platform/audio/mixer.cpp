#include "platform/audio/mixer.h"

#include <algorithm>
#include <cmath>

namespace t4::platform {

namespace {

float ReadSample(const uint8_t* pcm, uint32_t frame, int channel, const WAVEFORMATEX& format) {
  const uint8_t* p = pcm + static_cast<size_t>(frame) * format.nBlockAlign;
  if (format.wBitsPerSample == 8) return (static_cast<int>(p[channel]) - 128) / 128.0f;
  const uint8_t* s = p + channel * 2;
  int16_t value = static_cast<int16_t>(static_cast<uint16_t>(s[0] | (s[1] << 8)));
  return value / 32768.0f;
}

// One frame of the source as seen by an output of `outChannels`: stereo to mono averages,
// mono to stereo repeats.
void ReadFrame(const uint8_t* pcm, uint32_t frame, const WAVEFORMATEX& format, int outChannels, float* out) {
  float left = ReadSample(pcm, frame, 0, format);
  float right = format.nChannels == 2 ? ReadSample(pcm, frame, 1, format) : left;
  if (outChannels == 1) {
    out[0] = format.nChannels == 2 ? (left + right) * 0.5f : left;
  } else {
    out[0] = left;
    out[1] = right;
  }
}

}  // namespace

WAVEFORMATEX OutputFormat() { return MakePcmFormat(OUTPUT_RATE, OUTPUT_BITS, OUTPUT_CHANNELS); }

float VolumeToGain(int32_t volume) {
  if (volume <= VOLUME_SILENT) return 0.0f;
  if (volume >= VOLUME_FULL) return 1.0f;
  return static_cast<float>(std::pow(10.0, volume / 2000.0));
}

Mixer::Mixer() : m_format(MakePcmFormat(22050, 8, 1)) {}

bool Mixer::SetFormat(const WAVEFORMATEX& format) {
  if (!IsPlayablePcmFormat(format)) return false;
  std::lock_guard lock(m_mutex);
  m_format = format;
  return true;
}

WAVEFORMATEX Mixer::Format() const {
  std::lock_guard lock(m_mutex);
  return m_format;
}

SoundBufferId Mixer::CreateBuffer(const WAVEFORMATEX& format, std::span<const uint8_t> pcm) {
  if (!IsPlayablePcmFormat(format)) return 0;
  const uint32_t frames = static_cast<uint32_t>(std::min<size_t>(pcm.size() / format.nBlockAlign, UINT32_MAX));
  if (frames == 0 || static_cast<uint64_t>(frames) * format.nBlockAlign > MAX_BUFFER_BYTES) return 0;
  auto samples = std::make_shared<Samples>();
  samples->format = format;
  samples->frames = frames;
  samples->pcm.assign(pcm.begin(), pcm.begin() + static_cast<std::ptrdiff_t>(frames) * format.nBlockAlign);
  std::lock_guard lock(m_mutex);
  SoundBufferId id = m_nextId++;
  m_voices[id].samples = std::move(samples);
  return id;
}

SoundBufferId Mixer::DuplicateBuffer(SoundBufferId source) {
  std::lock_guard lock(m_mutex);
  auto it = m_voices.find(source);
  if (it == m_voices.end()) return 0;
  SoundBufferId id = m_nextId++;
  m_voices[id].samples = it->second.samples;
  return id;
}

void Mixer::ReleaseBuffer(SoundBufferId id) {
  std::lock_guard lock(m_mutex);
  m_voices.erase(id);
}

int Mixer::BufferCount() const {
  std::lock_guard lock(m_mutex);
  return static_cast<int>(m_voices.size());
}

bool Mixer::Play(SoundBufferId id, bool loop) {
  std::lock_guard lock(m_mutex);
  auto it = m_voices.find(id);
  if (it == m_voices.end()) return false;
  it->second.position = 0;
  it->second.loop = loop;
  it->second.playing = true;
  return true;
}

bool Mixer::Stop(SoundBufferId id) {
  std::lock_guard lock(m_mutex);
  auto it = m_voices.find(id);
  if (it == m_voices.end()) return false;
  it->second.playing = false;
  return true;
}

bool Mixer::IsPlaying(SoundBufferId id) const {
  std::lock_guard lock(m_mutex);
  auto it = m_voices.find(id);
  return it != m_voices.end() && it->second.playing;
}

bool Mixer::SetVolume(SoundBufferId id, int32_t volume) {
  std::lock_guard lock(m_mutex);
  auto it = m_voices.find(id);
  if (it == m_voices.end()) return false;
  it->second.volume = std::clamp(volume, VOLUME_SILENT, VOLUME_FULL);
  it->second.gain = VolumeToGain(it->second.volume);
  return true;
}

std::optional<int32_t> Mixer::GetVolume(SoundBufferId id) const {
  std::lock_guard lock(m_mutex);
  auto it = m_voices.find(id);
  if (it == m_voices.end()) return std::nullopt;
  return it->second.volume;
}

void Mixer::AddStream(std::shared_ptr<MixerStream> stream) {
  if (!stream) return;
  std::lock_guard lock(m_mutex);
  m_streams.push_back(std::move(stream));
}

void Mixer::RemoveStream(const MixerStream* stream) {
  std::lock_guard lock(m_mutex);
  std::erase_if(m_streams, [stream](const auto& s) { return s.get() == stream; });
}

void Mixer::RenderFloat(std::span<float> out, int channels, uint32_t rate) {
  std::fill(out.begin(), out.end(), 0.0f);
  if ((channels != 1 && channels != 2) || rate == 0) return;
  std::lock_guard lock(m_mutex);
  MixLocked(out.first(out.size() - out.size() % static_cast<size_t>(channels)), channels, rate);
}

void Mixer::RenderFloat(std::span<float> out) {
  const WAVEFORMATEX format = Format();
  RenderFloat(out, format.nChannels, format.nSamplesPerSec);
}

void Mixer::Render(std::span<uint8_t> out, const WAVEFORMATEX& format) {
  const bool playable = IsPlayablePcmFormat(format);
  const uint8_t silence = playable && format.wBitsPerSample == 8 ? 128 : 0;
  if (!playable) {
    std::fill(out.begin(), out.end(), silence);
    return;
  }
  std::lock_guard lock(m_mutex);
  const size_t frames = out.size() / format.nBlockAlign;
  const int channels = format.nChannels;
  m_scratch.assign(frames * static_cast<size_t>(channels), 0.0f);
  MixLocked(m_scratch, channels, format.nSamplesPerSec);
  size_t o = 0;
  if (format.wBitsPerSample == 8) {
    for (float x : m_scratch) {
      long v = std::lround(x * 128.0f) + 128;
      out[o++] = static_cast<uint8_t>(std::clamp(v, 0L, 255L));
    }
  } else {
    for (float x : m_scratch) {
      long v = std::clamp(std::lround(x * 32768.0f), -32768L, 32767L);
      uint16_t u = static_cast<uint16_t>(static_cast<int16_t>(v));
      out[o++] = static_cast<uint8_t>(u & 0xFF);
      out[o++] = static_cast<uint8_t>(u >> 8);
    }
  }
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(o), out.end(), silence);
}

void Mixer::Render(std::span<uint8_t> out) { Render(out, Format()); }

void Mixer::MixLocked(std::span<float> out, int channels, uint32_t rate) {
  for (auto& [id, voice] : m_voices) {
    if (voice.playing) MixVoice(voice, out, channels, rate);
  }
  for (auto& stream : m_streams) stream->Mix(out, channels, rate);
}

void Mixer::MixVoice(Voice& voice, std::span<float> out, int channels, uint32_t rate) {
  const Samples& s = *voice.samples;
  const uint64_t frames = s.frames;
  // Source frames per output frame, 32.32 fixed point: the buffer plays at its own rate.
  const uint64_t step = (static_cast<uint64_t>(s.format.nSamplesPerSec) << 32) / rate;
  const size_t outFrames = out.size() / static_cast<size_t>(channels);
  float a[2];
  float b[2];
  for (size_t f = 0; f < outFrames; ++f) {
    uint64_t index = voice.position >> 32;
    if (index >= frames) {
      if (!voice.loop) {
        voice.playing = false;
        voice.position = 0;
        return;
      }
      voice.position %= frames << 32;
      index = voice.position >> 32;
    }
    uint64_t nextIndex = index + 1;
    if (nextIndex >= frames) nextIndex = voice.loop ? 0 : index;
    const float frac = static_cast<float>(voice.position & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
    ReadFrame(s.pcm.data(), static_cast<uint32_t>(index), s.format, channels, a);
    ReadFrame(s.pcm.data(), static_cast<uint32_t>(nextIndex), s.format, channels, b);
    for (int c = 0; c < channels; ++c) {
      out[f * static_cast<size_t>(channels) + static_cast<size_t>(c)] += (a[c] + (b[c] - a[c]) * frac) * voice.gain;
    }
    voice.position += step;
  }
}

}  // namespace t4::platform
