// A MIDI stream device: queued buffers of timed event records played against the audio clock.
//
// The stream renders as a music stream of the mixer, so its clock is the sound output itself: the
// events of its buffers are sent to the synthesiser at their sample, between the stretches of sound
// the synthesiser renders. A record with the callback flag posts MOM_POSITIONCB to the callback
// thread when it plays (lParam: its header, dwOffset: the record's offset). Tests drive the clock
// by calling Mix themselves.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>

#include "platform/audio/mixer.h"
#include "platform/midi/midi_synth.h"
#include "platform/win_types.h"

namespace t4::platform {

using MMRESULT = UINT;
constexpr MMRESULT MMSYSERR_NOERROR = 0;
constexpr MMRESULT MMSYSERR_ERROR = 1;
constexpr MMRESULT MMSYSERR_ALLOCATED = 4;
constexpr MMRESULT MMSYSERR_INVALHANDLE = 5;
constexpr MMRESULT MMSYSERR_INVALFLAG = 10;
constexpr MMRESULT MMSYSERR_INVALPARAM = 11;
constexpr MMRESULT MIDIERR_UNPREPARED = 64;
constexpr MMRESULT MIDIERR_STILLPLAYING = 65;
constexpr MMRESULT MIDIERR_NODEVICE = 68;

// A buffer of stream records.
struct MIDIHDR {
  char* lpData = nullptr;
  DWORD dwBufferLength = 0;
  DWORD dwBytesRecorded = 0;
  uintptr_t dwUser = 0;
  DWORD dwFlags = 0;
  MIDIHDR* lpNext = nullptr;
  uintptr_t reserved = 0;
  DWORD dwOffset = 0;  // offset of the record that posted the last position callback
  uintptr_t dwReserved[8] = {};
};

constexpr DWORD MHDR_DONE = 0x00000001;
constexpr DWORD MHDR_PREPARED = 0x00000002;
constexpr DWORD MHDR_INQUEUE = 0x00000004;

// The flags of a header are changed by the audio thread while the player's threads look at them.
inline DWORD LoadHeaderFlags(const MIDIHDR* header) {
  return std::atomic_ref<DWORD>(const_cast<MIDIHDR*>(header)->dwFlags).load();
}
inline void StoreHeaderFlags(MIDIHDR* header, DWORD flags) { std::atomic_ref<DWORD>(header->dwFlags).store(flags); }

// Event words of the records: the top byte is the type (with the flags), the low 24 bits the data.
constexpr DWORD MEVT_F_SHORT = 0x00000000;
constexpr DWORD MEVT_F_LONG = 0x80000000;
constexpr DWORD MEVT_F_CALLBACK = 0x40000000;
constexpr BYTE MEVT_SHORTMSG = 0x00;
constexpr BYTE MEVT_TEMPO = 0x01;
constexpr BYTE MEVT_NOP = 0x02;
constexpr BYTE MEVT_LONGMSG = 0x80;
constexpr DWORD MIDI_RECORD_HEADER_BYTES = 12;  // delta, stream id, event word

// Posted to the callback thread (wParam: the stream, lParam: the header).
constexpr UINT MOM_POSITIONCB = 0x3CA;

// Before a time division is set: 96 ticks per quarter note at 120 beats per minute.
constexpr DWORD MIDI_DEFAULT_DIVISION = 96;
constexpr DWORD MIDI_DEFAULT_TEMPO = 500000;

class MidiStream final : public MixerStream {
 public:
  MidiStream(std::shared_ptr<MidiSynth> synth, DWORD callbackThread);

  // Ticks per quarter note, or an SMPTE division (top bit set: -frames per second, ticks per frame).
  MMRESULT SetTimeDivision(DWORD division);
  DWORD TimeDivision() const;
  // Microseconds per quarter note.
  MMRESULT SetTempo(DWORD tempo);
  DWORD Tempo() const;

  // Queues a prepared buffer behind the others.
  MMRESULT Out(MIDIHDR* header);
  // The stream opens paused; Restart plays, Pause holds the clock.
  MMRESULT Restart();
  MMRESULT Pause();
  // Pauses, hands back every queued buffer (done, no longer queued) and releases sounding notes;
  // the next buffer starts with its first record.
  MMRESULT Stop();
  // Stop, and the synthesiser back to its power-on state.
  MMRESULT Reset();
  // Stop; afterwards nothing is played or posted any more.
  void Close();
  // True while the header is queued here (buffers must not be unprepared then).
  bool IsQueued(const MIDIHDR* header) const;
  // Position callbacks posted so far (tests wait until the callback thread has taken them all).
  uint32_t PostedCallbacks() const;

  void Mix(std::span<float> out, int channels, uint32_t rate) override;

 private:
  // Sends every record that is due, loading the wait of the record after it.
  void DispatchDueLocked(uint32_t rate);
  bool LoadNextLocked(uint32_t rate);
  void PlayRecordLocked(MIDIHDR* header, DWORD offset, DWORD word);
  void ReturnBuffersLocked();
  // Time units: one tick is TickUnits(), one output frame FrameUnits().
  __int128 TickUnits(uint32_t rate) const;
  __int128 FrameUnits() const;

  mutable std::mutex m_mutex;
  std::shared_ptr<MidiSynth> m_synth;
  DWORD m_callbackThread;
  DWORD m_division = MIDI_DEFAULT_DIVISION;
  DWORD m_tempo = MIDI_DEFAULT_TEMPO;
  bool m_playing = false;
  bool m_closed = false;
  std::deque<MIDIHDR*> m_queue;
  DWORD m_offset = 0;         // next record in the front buffer
  bool m_waitLoaded = false;  // m_wait holds the delay of the record at m_offset
  __int128 m_wait = 0;        // time units until that record is due
  uint32_t m_posted = 0;
};

}  // namespace t4::platform
