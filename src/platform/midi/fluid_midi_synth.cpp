#include "platform/midi/fluid_midi_synth.h"

#include <fluidsynth.h>

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace t4::platform {

namespace {

bool IsFile(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

// The synthesiser's own messages would go to stderr; a soundfont that does not load is reported by
// Create's result instead.
void QuietFluidLog() {
  static const bool once = [] {
    for (int level : {FLUID_PANIC, FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG}) {
      fluid_set_log_function(level, nullptr, nullptr);
    }
    return true;
  }();
  (void)once;
}

constexpr size_t SYNTH_BLOCK = 512;

}  // namespace

std::unique_ptr<FluidMidiSynth> FluidMidiSynth::Create(const std::string& soundFont, uint32_t rate) {
  if (!IsFile(soundFont) || rate == 0) return nullptr;
  QuietFluidLog();
  std::unique_ptr<FluidMidiSynth> synth(new FluidMidiSynth());
  synth->m_rate = rate;
  synth->m_settings = new_fluid_settings();
  if (!synth->m_settings) return nullptr;
  fluid_settings_setnum(synth->m_settings, "synth.sample-rate", static_cast<double>(rate));
  // The game's music was made for a General MIDI module: a moderate gain keeps full songs unclipped.
  fluid_settings_setnum(synth->m_settings, "synth.gain", 0.4);
  synth->m_synth = new_fluid_synth(synth->m_settings);
  if (!synth->m_synth) return nullptr;
  if (fluid_synth_sfload(synth->m_synth, soundFont.c_str(), 1) == FLUID_FAILED) return nullptr;
  return synth;
}

FluidMidiSynth::~FluidMidiSynth() {
  if (m_synth) delete_fluid_synth(m_synth);
  if (m_settings) delete_fluid_settings(m_settings);
}

void FluidMidiSynth::ShortMessage(uint32_t message) {
  const int status = static_cast<int>(message & 0xF0);
  const int channel = static_cast<int>(message & 0x0F);
  const int data1 = static_cast<int>((message >> 8) & 0x7F);
  const int data2 = static_cast<int>((message >> 16) & 0x7F);
  std::lock_guard lock(m_mutex);
  switch (status) {
    case 0x80: fluid_synth_noteoff(m_synth, channel, data1); break;
    case 0x90:
      if (data2 == 0) {
        fluid_synth_noteoff(m_synth, channel, data1);
      } else {
        fluid_synth_noteon(m_synth, channel, data1, data2);
      }
      break;
    case 0xA0: fluid_synth_key_pressure(m_synth, channel, data1, data2); break;
    case 0xB0: fluid_synth_cc(m_synth, channel, data1, data2); break;
    case 0xC0: fluid_synth_program_change(m_synth, channel, data1); break;
    case 0xD0: fluid_synth_channel_pressure(m_synth, channel, data1); break;
    case 0xE0: fluid_synth_pitch_bend(m_synth, channel, data1 | (data2 << 7)); break;
    default: break;
  }
}

void FluidMidiSynth::LongMessage(std::span<const uint8_t> bytes) {
  // FluidSynth takes the body: without the leading F0 and the closing F7.
  if (bytes.size() < 2 || bytes[0] != 0xF0) return;
  size_t length = bytes.size() - 1;
  if (bytes.back() == 0xF7) --length;
  if (length == 0) return;
  std::lock_guard lock(m_mutex);
  fluid_synth_sysex(m_synth, reinterpret_cast<const char*>(bytes.data() + 1), static_cast<int>(length), nullptr,
                    nullptr, nullptr, 0);
}

void FluidMidiSynth::AllNotesOff() {
  std::lock_guard lock(m_mutex);
  fluid_synth_all_notes_off(m_synth, -1);
}

void FluidMidiSynth::Reset() {
  std::lock_guard lock(m_mutex);
  fluid_synth_system_reset(m_synth);
}

void FluidMidiSynth::Synthesise(size_t frames) {
  m_left.resize(frames);
  m_right.resize(frames);
  fluid_synth_write_float(m_synth, static_cast<int>(frames), m_left.data(), 0, 1, m_right.data(), 0, 1);
  m_read = 0;
}

void FluidMidiSynth::Render(std::span<float> out, int channels, uint32_t rate) {
  if ((channels != 1 && channels != 2) || rate == 0) return;
  std::lock_guard lock(m_mutex);
  const size_t frames = out.size() / static_cast<size_t>(channels);
  auto put = [&](size_t f, float l, float r) {
    if (channels == 2) {
      out[2 * f] += l;
      out[2 * f + 1] += r;
    } else {
      out[f] += (l + r) * 0.5f;
    }
  };
  if (rate == m_rate) {
    for (size_t done = 0; done < frames;) {
      const size_t n = std::min(frames - done, SYNTH_BLOCK);
      Synthesise(n);
      for (size_t i = 0; i < n; ++i) put(done + i, m_left[i], m_right[i]);
      done += n;
    }
    return;
  }
  const double step = static_cast<double>(m_rate) / rate;
  for (size_t f = 0; f < frames; ++f) {
    while (m_phase >= 1.0) {
      if (m_read >= m_left.size()) Synthesise(SYNTH_BLOCK);
      m_prev[0] = m_next[0];
      m_prev[1] = m_next[1];
      m_next[0] = m_left[m_read];
      m_next[1] = m_right[m_read];
      ++m_read;
      m_phase -= 1.0;
    }
    const float t = static_cast<float>(m_phase);
    put(f, m_prev[0] + (m_next[0] - m_prev[0]) * t, m_prev[1] + (m_next[1] - m_prev[1]) * t);
    m_phase += step;
  }
}

}  // namespace t4::platform
