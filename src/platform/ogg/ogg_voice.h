// An Ogg Vorbis player object: one song at a time, decoded while the mixer pulls it, played once
// or looped a number of times, at a volume of 0 to 1.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/audio/mixer.h"

namespace t4::platform {

// Loop count that never runs out.
constexpr int32_t OGG_LOOP_FOREVER = 0x7FFFFFFF;
// Files larger than this are not read.
constexpr size_t OGG_FILE_LIMIT = 256u * 1024u * 1024u;

class OggVoice final : public MixerStream {
 public:
  OggVoice();
  ~OggVoice() override;
  OggVoice(const OggVoice&) = delete;
  OggVoice& operator=(const OggVoice&) = delete;

  // Reads and opens the file (a game path, resolved like every file of the game); false when it
  // cannot be read or is not Ogg Vorbis. The song loaded before is dropped either way.
  bool Load(const char* file);
  // Drops the loaded song (stopping it).
  void Unload();
  // Unload, and the volume back to full: done before every new song.
  void Reset();
  // Starts the loaded song from its beginning.
  void Play();
  void Stop();
  // How many times the song starts again after its end (OGG_LOOP_FOREVER: until stopped).
  void SetLoopCount(int32_t count);
  // Linear gain, clamped to 0 .. 1.
  void SetVolume(float volume);
  bool IsPlaying() const;
  float Volume() const;

  void Mix(std::span<float> out, int channels, uint32_t rate) override;

 private:
  struct Song;
  // Decodes the next source frame into m_next; false at the end of the song or on a broken stream.
  bool PullFrameLocked();

  mutable std::mutex m_mutex;
  std::unique_ptr<Song> m_song;
  bool m_playing = false;
  int32_t m_loopCount = 0;
  int32_t m_loopsLeft = 0;
  float m_volume = 1.0f;
  // Conversion of the song's rate to the mixer's: the two source frames around the output position.
  float m_prev[2] = {0.0f, 0.0f};
  float m_next[2] = {0.0f, 0.0f};
  double m_phase = 0.0;
  bool m_ending = false;  // the last source frame has been taken
};

}  // namespace t4::platform
