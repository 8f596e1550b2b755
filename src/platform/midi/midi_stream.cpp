#include "platform/midi/midi_stream.h"

#include <cstring>

#include "platform/messages.h"

namespace t4::platform {

namespace {

DWORD ReadDword(const MIDIHDR* header, DWORD offset) {
  DWORD value = 0;
  std::memcpy(&value, header->lpData + offset, sizeof(value));
  return value;
}

// Hands a buffer back: done, no longer queued.
void Retire(MIDIHDR* header) { StoreHeaderFlags(header, (LoadHeaderFlags(header) & ~MHDR_INQUEUE) | MHDR_DONE); }

// Bytes a record takes, or 0 when it does not fit in what the buffer holds.
DWORD RecordSize(const MIDIHDR* header, DWORD offset, DWORD word) {
  uint64_t size = MIDI_RECORD_HEADER_BYTES;
  if (word & MEVT_F_LONG) size += ((word & 0x00FFFFFFu) + 3u) & ~3u;
  if (offset + size > header->dwBytesRecorded) return 0;
  return static_cast<DWORD>(size);
}

}  // namespace

MidiStream::MidiStream(std::shared_ptr<MidiSynth> synth, DWORD callbackThread)
    : m_synth(std::move(synth)), m_callbackThread(callbackThread) {}

MMRESULT MidiStream::SetTimeDivision(DWORD division) {
  if (division == 0 || division > 0xFFFF) return MMSYSERR_INVALPARAM;
  if (division & 0x8000) {
    const int fps = -static_cast<int8_t>(division >> 8);
    if ((fps != 24 && fps != 25 && fps != 29 && fps != 30) || (division & 0xFF) == 0) return MMSYSERR_INVALPARAM;
  }
  std::lock_guard lock(m_mutex);
  m_division = division;
  return MMSYSERR_NOERROR;
}

DWORD MidiStream::TimeDivision() const {
  std::lock_guard lock(m_mutex);
  return m_division;
}

MMRESULT MidiStream::SetTempo(DWORD tempo) {
  if (tempo == 0 || tempo > 0x00FFFFFF) return MMSYSERR_INVALPARAM;
  std::lock_guard lock(m_mutex);
  m_tempo = tempo;
  return MMSYSERR_NOERROR;
}

DWORD MidiStream::Tempo() const {
  std::lock_guard lock(m_mutex);
  return m_tempo;
}

MMRESULT MidiStream::Out(MIDIHDR* header) {
  if (!header || !header->lpData || header->dwBytesRecorded > header->dwBufferLength) return MMSYSERR_INVALPARAM;
  std::lock_guard lock(m_mutex);
  if (m_closed) return MMSYSERR_INVALHANDLE;
  const DWORD flags = LoadHeaderFlags(header);
  if (!(flags & MHDR_PREPARED)) return MIDIERR_UNPREPARED;
  if (flags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
  StoreHeaderFlags(header, (flags & ~MHDR_DONE) | MHDR_INQUEUE);
  m_queue.push_back(header);
  return MMSYSERR_NOERROR;
}

MMRESULT MidiStream::Restart() {
  std::lock_guard lock(m_mutex);
  if (m_closed) return MMSYSERR_INVALHANDLE;
  m_playing = true;
  return MMSYSERR_NOERROR;
}

MMRESULT MidiStream::Pause() {
  std::lock_guard lock(m_mutex);
  if (m_closed) return MMSYSERR_INVALHANDLE;
  m_playing = false;
  return MMSYSERR_NOERROR;
}

MMRESULT MidiStream::Stop() {
  std::lock_guard lock(m_mutex);
  if (m_closed) return MMSYSERR_INVALHANDLE;
  m_playing = false;
  ReturnBuffersLocked();
  m_synth->AllNotesOff();
  return MMSYSERR_NOERROR;
}

MMRESULT MidiStream::Reset() {
  std::lock_guard lock(m_mutex);
  if (m_closed) return MMSYSERR_INVALHANDLE;
  m_playing = false;
  ReturnBuffersLocked();
  m_synth->Reset();
  return MMSYSERR_NOERROR;
}

void MidiStream::Close() {
  std::lock_guard lock(m_mutex);
  if (m_closed) return;
  m_playing = false;
  ReturnBuffersLocked();
  m_synth->AllNotesOff();
  m_closed = true;
}

bool MidiStream::IsQueued(const MIDIHDR* header) const {
  std::lock_guard lock(m_mutex);
  for (const MIDIHDR* h : m_queue) {
    if (h == header) return true;
  }
  return false;
}

uint32_t MidiStream::PostedCallbacks() const {
  std::lock_guard lock(m_mutex);
  return m_posted;
}

void MidiStream::ReturnBuffersLocked() {
  for (MIDIHDR* h : m_queue) Retire(h);
  m_queue.clear();
  m_offset = 0;
  m_waitLoaded = false;
  m_wait = 0;
}

__int128 MidiStream::TickUnits(uint32_t rate) const {
  if (m_division & 0x8000) return static_cast<__int128>(rate) * 100;
  return static_cast<__int128>(m_tempo) * rate;
}

__int128 MidiStream::FrameUnits() const {
  if (m_division & 0x8000) {
    const int fps = -static_cast<int8_t>(m_division >> 8);
    const __int128 fps100 = fps == 29 ? 2997 : fps * 100;
    return fps100 * (m_division & 0xFF);
  }
  return static_cast<__int128>(m_division) * 1000000;
}

bool MidiStream::LoadNextLocked(uint32_t rate) {
  while (!m_queue.empty()) {
    MIDIHDR* header = m_queue.front();
    if (m_offset + MIDI_RECORD_HEADER_BYTES <= header->dwBytesRecorded) {
      m_wait += static_cast<__int128>(ReadDword(header, m_offset)) * TickUnits(rate);
      m_waitLoaded = true;
      return true;
    }
    // Played out (or what is left is no whole record): hand the buffer back.
    Retire(header);
    m_queue.pop_front();
    m_offset = 0;
  }
  return false;
}

void MidiStream::DispatchDueLocked(uint32_t rate) {
  while (true) {
    if (!m_waitLoaded && !LoadNextLocked(rate)) return;
    if (m_wait > 0) return;
    MIDIHDR* header = m_queue.front();
    const DWORD offset = m_offset;
    const DWORD word = ReadDword(header, offset + 8);
    const DWORD size = RecordSize(header, offset, word);
    m_waitLoaded = false;
    if (size == 0) {
      // A record cut off by the end of the data: the buffer ends before it.
      m_offset = header->dwBytesRecorded;
      continue;
    }
    m_offset += size;
    PlayRecordLocked(header, offset, word);
  }
}

void MidiStream::PlayRecordLocked(MIDIHDR* header, DWORD offset, DWORD word) {
  const BYTE type = static_cast<BYTE>((word >> 24) & ~(MEVT_F_CALLBACK >> 24));
  if (type == MEVT_SHORTMSG) {
    // System messages (an end-of-track marker written as FF 2F 00 among them) are not sent: FF
    // on the wire would reset the synthesiser.
    if ((word & 0xFF) >= 0x80 && (word & 0xFF) < 0xF0) m_synth->ShortMessage(word & 0x00FFFFFF);
  } else if (type == MEVT_TEMPO) {
    if ((word & 0x00FFFFFF) != 0) m_tempo = word & 0x00FFFFFF;
  } else if (type == MEVT_LONGMSG) {
    const auto* data = reinterpret_cast<const uint8_t*>(header->lpData + offset + MIDI_RECORD_HEADER_BYTES);
    m_synth->LongMessage(std::span<const uint8_t>(data, word & 0x00FFFFFF));
  }
  // A buffer whose last record has played is handed back before its callback is posted, so the
  // thread that refills finds it free.
  if (m_offset + MIDI_RECORD_HEADER_BYTES > header->dwBytesRecorded) {
    Retire(header);
    m_queue.pop_front();
    m_offset = 0;
  }
  if (word & MEVT_F_CALLBACK) {
    header->dwOffset = offset;
    ++m_posted;
    PostThreadMessage(m_callbackThread, MOM_POSITIONCB, reinterpret_cast<WPARAM>(this),
                      reinterpret_cast<LPARAM>(header));
  }
}

void MidiStream::Mix(std::span<float> out, int channels, uint32_t rate) {
  if (channels <= 0 || rate == 0) return;
  std::lock_guard lock(m_mutex);
  if (m_closed) return;
  const size_t frames = out.size() / static_cast<size_t>(channels);
  const __int128 frameUnits = FrameUnits();
  size_t done = 0;
  while (done < frames) {
    size_t n = frames - done;
    if (m_playing) {
      DispatchDueLocked(rate);
      if (m_waitLoaded) {
        const __int128 due = (m_wait + frameUnits - 1) / frameUnits;
        if (due < static_cast<__int128>(n)) n = static_cast<size_t>(due);
      }
    }
    m_synth->Render(out.subspan(done * static_cast<size_t>(channels), n * static_cast<size_t>(channels)), channels,
                    rate);
    if (m_playing && m_waitLoaded) m_wait -= static_cast<__int128>(n) * frameUnits;
    done += n;
  }
}

}  // namespace t4::platform
