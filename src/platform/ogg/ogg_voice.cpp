#include "platform/ogg/ogg_voice.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "platform/files.h"

namespace t4::platform {

namespace {

// A broken stream gives errors without end; this many in a row end the song.
constexpr int MAX_DECODE_ERRORS = 32;

}  // namespace

struct OggVoice::Song {
  std::vector<uint8_t> bytes;
  size_t position = 0;
  OggVorbis_File file{};
  bool open = false;
  int channels = 0;
  uint32_t rate = 0;
  float** pcm = nullptr;
  long count = 0;  // decoded frames in pcm
  long index = 0;  // next of them

  ~Song() {
    if (open) ov_clear(&file);
  }

  static size_t Read(void* out, size_t size, size_t count, void* source) {
    auto* song = static_cast<Song*>(source);
    if (size == 0) return 0;
    const size_t n = std::min(count, (song->bytes.size() - song->position) / size);
    std::memcpy(out, song->bytes.data() + song->position, n * size);
    song->position += n * size;
    return n;
  }
  static int Seek(void* source, ogg_int64_t offset, int whence) {
    auto* song = static_cast<Song*>(source);
    ogg_int64_t base = whence == SEEK_SET   ? 0
                       : whence == SEEK_CUR ? static_cast<ogg_int64_t>(song->position)
                                            : static_cast<ogg_int64_t>(song->bytes.size());
    const ogg_int64_t to = base + offset;
    if (to < 0 || to > static_cast<ogg_int64_t>(song->bytes.size())) return -1;
    song->position = static_cast<size_t>(to);
    return 0;
  }
  static long Tell(void* source) { return static_cast<long>(static_cast<Song*>(source)->position); }
};

OggVoice::OggVoice() = default;
OggVoice::~OggVoice() = default;

bool OggVoice::Load(const char* file) {
  Unload();
  auto song = std::make_unique<Song>();
  // Read and open outside the lock: the mixer keeps pulling meanwhile.
  FILE* fp = OpenFile(file ? file : "", "rb");
  if (!fp) return false;
  uint8_t block[65536];
  size_t got = 0;
  while ((got = std::fread(block, 1, sizeof(block), fp)) > 0 && song->bytes.size() <= OGG_FILE_LIMIT) {
    song->bytes.insert(song->bytes.end(), block, block + got);
  }
  std::fclose(fp);
  if (song->bytes.size() > OGG_FILE_LIMIT) return false;
  const ov_callbacks callbacks{&Song::Read, &Song::Seek, nullptr, &Song::Tell};
  if (ov_open_callbacks(song.get(), &song->file, nullptr, 0, callbacks) != 0) return false;
  song->open = true;
  const vorbis_info* info = ov_info(&song->file, -1);
  if (!info || info->channels < 1 || info->rate < 1 || info->rate > 1000000) return false;
  song->channels = info->channels;
  song->rate = static_cast<uint32_t>(info->rate);
  std::lock_guard lock(m_mutex);
  m_song = std::move(song);
  m_playing = false;
  return true;
}

void OggVoice::Unload() {
  std::unique_ptr<Song> old;
  std::lock_guard lock(m_mutex);
  m_playing = false;
  old = std::move(m_song);
}

void OggVoice::Reset() {
  Unload();
  std::lock_guard lock(m_mutex);
  m_volume = 1.0f;
}

void OggVoice::Play() {
  std::lock_guard lock(m_mutex);
  if (!m_song) return;
  ov_pcm_seek(&m_song->file, 0);
  m_song->count = m_song->index = 0;
  m_loopsLeft = m_loopCount;
  m_prev[0] = m_prev[1] = m_next[0] = m_next[1] = 0.0f;
  m_phase = 2.0;  // the first output frame is the first source frame
  m_ending = false;
  m_playing = true;
}

void OggVoice::Stop() {
  std::lock_guard lock(m_mutex);
  m_playing = false;
}

void OggVoice::SetLoopCount(int32_t count) {
  std::lock_guard lock(m_mutex);
  m_loopCount = std::max(count, 0);
  m_loopsLeft = m_loopCount;
}

void OggVoice::SetVolume(float volume) {
  std::lock_guard lock(m_mutex);
  m_volume = std::clamp(volume, 0.0f, 1.0f);
}

bool OggVoice::IsPlaying() const {
  std::lock_guard lock(m_mutex);
  return m_playing;
}

float OggVoice::Volume() const {
  std::lock_guard lock(m_mutex);
  return m_volume;
}

bool OggVoice::PullFrameLocked() {
  if (m_ending) return false;
  Song& s = *m_song;
  int errors = 0;
  bool restarted = false;
  while (s.index >= s.count) {
    int section = 0;
    const long n = ov_read_float(&s.file, &s.pcm, 4096, &section);
    if (n > 0) {
      s.count = n;
      s.index = 0;
      break;
    }
    if (n < 0) {
      if (++errors >= MAX_DECODE_ERRORS) return false;
      continue;
    }
    // The end of the song: start again while loops are left (an empty song never restarts twice).
    if (m_loopsLeft <= 0 || restarted) return false;
    if (m_loopsLeft != OGG_LOOP_FOREVER) --m_loopsLeft;
    if (ov_pcm_seek(&s.file, 0) != 0) return false;
    restarted = true;
  }
  m_prev[0] = m_next[0];
  m_prev[1] = m_next[1];
  m_next[0] = s.pcm[0][s.index];
  m_next[1] = s.channels > 1 ? s.pcm[1][s.index] : m_next[0];
  ++s.index;
  return true;
}

void OggVoice::Mix(std::span<float> out, int channels, uint32_t rate) {
  if ((channels != 1 && channels != 2) || rate == 0) return;
  std::lock_guard lock(m_mutex);
  if (!m_playing || !m_song) return;
  const double step = static_cast<double>(m_song->rate) / rate;
  const size_t frames = out.size() / static_cast<size_t>(channels);
  for (size_t f = 0; f < frames; ++f) {
    while (m_phase >= 1.0) {
      if (!PullFrameLocked()) {
        // The output lags one source frame behind: the last one still sounds for one source
        // frame's time, held, before the song ends.
        if (m_ending) {
          m_playing = false;
          return;
        }
        m_ending = true;
        m_prev[0] = m_next[0];
        m_prev[1] = m_next[1];
      }
      m_phase -= 1.0;
    }
    const float t = static_cast<float>(m_phase);
    const float left = (m_prev[0] + (m_next[0] - m_prev[0]) * t) * m_volume;
    const float right = (m_prev[1] + (m_next[1] - m_prev[1]) * t) * m_volume;
    if (channels == 2) {
      out[2 * f] += left;
      out[2 * f + 1] += right;
    } else {
      out[f] += (left + right) * 0.5f;
    }
    m_phase += step;
  }
}

}  // namespace t4::platform
