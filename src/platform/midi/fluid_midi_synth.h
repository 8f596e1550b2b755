// The General MIDI synthesiser over FluidSynth.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/mixer.h"
#include "platform/midi/midi_synth.h"

struct _fluid_hashtable_t;
struct _fluid_synth_t;

namespace t4::platform {

class FluidMidiSynth final : public MidiSynth {
 public:
  // Null when the synthesiser cannot start or the soundfont does not load.
  static std::unique_ptr<FluidMidiSynth> Create(const std::string& soundFont, uint32_t rate = OUTPUT_RATE);
  ~FluidMidiSynth() override;
  FluidMidiSynth(const FluidMidiSynth&) = delete;
  FluidMidiSynth& operator=(const FluidMidiSynth&) = delete;

  void ShortMessage(uint32_t message) override;
  void LongMessage(std::span<const uint8_t> bytes) override;
  void AllNotesOff() override;
  void Reset() override;
  // Renders at the synthesiser's own rate; another rate is reached by linear interpolation.
  void Render(std::span<float> out, int channels, uint32_t rate) override;

 private:
  FluidMidiSynth() = default;
  // `frames` frames at the synthesiser's rate into m_left / m_right.
  void Synthesise(size_t frames);

  std::mutex m_mutex;
  _fluid_hashtable_t* m_settings = nullptr;
  _fluid_synth_t* m_synth = nullptr;
  uint32_t m_rate = OUTPUT_RATE;
  std::vector<float> m_left;
  std::vector<float> m_right;
  size_t m_read = 0;  // next unread frame of m_left / m_right
  // Conversion to another rate: the two source frames around the output position.
  float m_prev[2] = {0.0f, 0.0f};
  float m_next[2] = {0.0f, 0.0f};
  double m_phase = 0.0;
};

}  // namespace t4::platform
