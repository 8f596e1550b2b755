// What a MIDI stream plays into: a synthesiser that turns MIDI messages into sound, or, for tests,
// a recorder of the messages it was sent.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>
#include <string>
#include <vector>

namespace t4::platform {

// The soundfonts tried when none is named: the larger General MIDI set first.
constexpr const char* SOUNDFONT_LARGE = "/usr/share/sounds/sf2/FluidR3_GM.sf2";
constexpr const char* SOUNDFONT_SMALL = "/usr/share/sounds/sf2/TimGM6mb.sf2";

// `preferred` when it names an existing file, else the first installed of the two above; empty
// when there is none.
std::string ChooseSoundFont(const std::string& preferred);

class MidiSynth {
 public:
  virtual ~MidiSynth() = default;
  // A channel message: status in the low byte, then the first and second data byte.
  virtual void ShortMessage(uint32_t message) = 0;
  // A system-exclusive message, its F0 (or F7) status byte included.
  virtual void LongMessage(std::span<const uint8_t> bytes) = 0;
  // Every sounding note released (a stream stop).
  virtual void AllNotesOff() = 0;
  // Silence at once and every channel back to its power-on state (a port reset).
  virtual void Reset() = 0;
  // Adds the next out.size() / channels frames of sound at `rate` to `out` (1 or 2 channels).
  virtual void Render(std::span<float> out, int channels, uint32_t rate) = 0;
};

// Records every message with the frame of the render clock at which it arrived; renders silence.
class RecordingMidiSynth final : public MidiSynth {
 public:
  enum class Kind { Short, Long, NotesOff, Reset };
  struct Event {
    uint64_t frame = 0;
    Kind kind = Kind::Short;
    std::vector<uint8_t> bytes;  // the message as it goes over the wire
  };

  void ShortMessage(uint32_t message) override;
  void LongMessage(std::span<const uint8_t> bytes) override;
  void AllNotesOff() override { Add(Kind::NotesOff, {}); }
  void Reset() override { Add(Kind::Reset, {}); }
  void Render(std::span<float> out, int channels, uint32_t rate) override;

  std::vector<Event> Events() const;
  void ClearEvents();
  uint64_t Frame() const;

 private:
  void Add(Kind kind, std::vector<uint8_t> bytes);

  mutable std::mutex m_mutex;
  uint64_t m_frame = 0;
  std::vector<Event> m_events;
};

}  // namespace t4::platform
