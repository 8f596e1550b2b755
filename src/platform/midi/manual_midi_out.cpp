#include "platform/midi/manual_midi_out.h"

#include <algorithm>
#include <vector>

namespace t4::platform {

bool ManualMidiOutDevice::Attach(std::shared_ptr<MixerStream> stream) {
  std::lock_guard lock(m_mutex);
  m_stream = std::move(stream);
  return true;
}

void ManualMidiOutDevice::Detach(const MixerStream* stream) {
  std::lock_guard lock(m_mutex);
  if (m_stream.get() == stream) m_stream.reset();
}

void ManualMidiOutDevice::Render(std::span<float> out, int channels, uint32_t rate) {
  std::lock_guard lock(m_mutex);
  if (m_stream) {
    m_stream->Mix(out, channels, rate);
  } else if (m_synth) {
    m_synth->Render(out, channels, rate);
  }
}

void ManualMidiOutDevice::Advance(size_t frames) {
  std::vector<float> scratch(4096);
  while (frames > 0) {
    const size_t n = std::min(frames, scratch.size() / OUTPUT_CHANNELS);
    std::fill(scratch.begin(), scratch.end(), 0.0f);
    Render(std::span<float>(scratch).first(n * OUTPUT_CHANNELS));
    frames -= n;
  }
}

bool ManualMidiOutDevice::HasStream() const {
  std::lock_guard lock(m_mutex);
  return m_stream != nullptr;
}

}  // namespace t4::platform
