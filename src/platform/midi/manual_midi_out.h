// A MIDI out device whose clock runs only when it is asked for sound: Render mixes the open
// stream at the given rate, so tests step a song by exact numbers of frames. With a
// RecordingMidiSynth it is the recording device; with a real synthesiser it renders music into
// a buffer without any mixer.
#pragma once

#include <memory>
#include <mutex>
#include <span>

#include "platform/midi/winmm_midi.h"

namespace t4::platform {

class ManualMidiOutDevice final : public MidiOutDevice {
 public:
  explicit ManualMidiOutDevice(std::shared_ptr<MidiSynth> synth) : m_synth(std::move(synth)) {}

  std::shared_ptr<MidiSynth> Synth() override { return m_synth; }
  bool Attach(std::shared_ptr<MixerStream> stream) override;
  void Detach(const MixerStream* stream) override;

  // Advances the clock by out.size() / channels frames, adding the stream's sound to `out`
  // (the synthesiser alone while no stream is open).
  void Render(std::span<float> out, int channels = OUTPUT_CHANNELS, uint32_t rate = OUTPUT_RATE);
  // Advances by `frames` frames at the output rate, discarding the sound.
  void Advance(size_t frames);
  bool HasStream() const;

 private:
  std::shared_ptr<MidiSynth> m_synth;
  mutable std::mutex m_mutex;
  std::shared_ptr<MixerStream> m_stream;
};

}  // namespace t4::platform
