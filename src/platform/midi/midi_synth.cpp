#include "platform/midi/midi_synth.h"

#include <filesystem>
#include <system_error>

namespace t4::platform {

std::string ChooseSoundFont(const std::string& preferred) {
  const auto isFile = [](const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
  };
  if (isFile(preferred)) return preferred;
  for (const char* path : {SOUNDFONT_LARGE, SOUNDFONT_SMALL}) {
    if (isFile(path)) return path;
  }
  return {};
}

void RecordingMidiSynth::ShortMessage(uint32_t message) {
  const uint8_t status = static_cast<uint8_t>(message & 0xFF);
  std::vector<uint8_t> bytes{status, static_cast<uint8_t>((message >> 8) & 0xFF)};
  // Program change and channel pressure carry one data byte.
  if (status < 0xC0 || status >= 0xE0) bytes.push_back(static_cast<uint8_t>((message >> 16) & 0xFF));
  Add(Kind::Short, std::move(bytes));
}

void RecordingMidiSynth::LongMessage(std::span<const uint8_t> bytes) {
  Add(Kind::Long, std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

void RecordingMidiSynth::Render(std::span<float> out, int channels, uint32_t) {
  std::lock_guard lock(m_mutex);
  if (channels > 0) m_frame += out.size() / static_cast<size_t>(channels);
}

std::vector<RecordingMidiSynth::Event> RecordingMidiSynth::Events() const {
  std::lock_guard lock(m_mutex);
  return m_events;
}

void RecordingMidiSynth::ClearEvents() {
  std::lock_guard lock(m_mutex);
  m_events.clear();
}

uint64_t RecordingMidiSynth::Frame() const {
  std::lock_guard lock(m_mutex);
  return m_frame;
}

void RecordingMidiSynth::Add(Kind kind, std::vector<uint8_t> bytes) {
  std::lock_guard lock(m_mutex);
  m_events.push_back(Event{m_frame, kind, std::move(bytes)});
}

}  // namespace t4::platform
