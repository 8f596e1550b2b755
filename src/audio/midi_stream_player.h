// The program's own MIDI music: cMidiStreamPlayer plays one song's format-0 image through a MIDI
// stream, converting it piece by piece into stream records in two alternating buffers; its
// message thread refills them on the stream's position callbacks and restarts a looping song.
// cMidiPlayerList holds one player per channel and makes a new player for every song.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "audio/bgm_backend.h"
#include "audio/midi_file.h"
#include "core/safe_containers.h"
#include "platform/midi/winmm_midi.h"

using t4::platform::HMIDISTRM;
using t4::platform::MIDIHDR;
using t4::platform::MMRESULT;

constexpr int32_t MIDI_BUFFER_COUNT = 2;
constexpr uint32_t MIDI_BUFFER_SIZE = 24000;

constexpr int32_t MIDISTATE_STOPPED = 0;
constexpr int32_t MIDISTATE_PLAYING = 1;
constexpr int32_t MIDISTATE_PAUSED = 2;

// The result of converting image events into one buffer.
struct MIDICONVERT {
  uint32_t nConsumed = 0;  // image bytes, delta times included
  uint32_t nWritten = 0;   // buffer bytes
};

class cMidiStreamPlayer : public cSmf {
 public:
  explicit cMidiStreamPlayer(const char* lpFile);
  // Stops the stream, ends the message thread (joined here) and frees the buffers.
  ~cMidiStreamPlayer() override;

  void Play(bool bLoop);
  void Stop(bool bPause);
  // Plays the song again from its beginning as a new player of it would: the synthesiser reset,
  // the tempo back to the stream's default, the song rewound, then Play. Nothing without an image.
  void Restart(bool bLoop);
  void FillBuffer();

  int32_t GetState() const;
  uint32_t GetPosition() const;
  uint32_t GetEnd() const { return m_dwEnd; }
  HMIDISTRM GetStream() const { return m_hStream; }
  // Position callbacks the message thread has taken (acted on or not).
  uint32_t GetHandledCallbacks() const;

  // Converts the image events from `nPosition` on into stream records in `lpBuffer`, up to and
  // including the end record or until the next record does not fit; the last record of a full
  // buffer gets the callback flag. Events whose record is larger than a whole buffer are dropped
  // with a log line naming `lpFile`.
  static MIDICONVERT ConvertEvents(const BYTE* lpImage, uint32_t nImageSize, uint32_t nPosition, BYTE* lpBuffer,
                                   uint32_t nBufferSize, const char* lpFile);
  // Each takes the image event at `lpEvent` (its status byte, `nAvail` image bytes from there on)
  // and writes its record behind the `*lpnWritten` bytes of `lpBuffer` when the record fits in
  // `nBufferSize`, adding the record's size to *lpnWritten. They return the image bytes of the
  // event (status and data, not its delta), or 0 when the record does not fit or the event is cut
  // off by the end of the image.
  // A channel or system message of one or two data bytes.
  static uint32_t PutShortEvent(DWORD dwDelta, const BYTE* lpEvent, uint32_t nAvail, BYTE* lpBuffer,
                                uint32_t nBufferSize, uint32_t* lpnWritten);
  // A system-exclusive message (F0 or F7); one larger than a whole buffer writes no record and is
  // passed over (its bytes are returned).
  static uint32_t PutLongEvent(DWORD dwDelta, const BYTE* lpEvent, uint32_t nAvail, BYTE* lpBuffer,
                               uint32_t nBufferSize, uint32_t* lpnWritten);
  // A meta event: FF 51 with three data bytes becomes a tempo record; every other one writes no
  // record and is passed over.
  static uint32_t PutMetaEvent(DWORD dwDelta, const BYTE* lpEvent, uint32_t nAvail, BYTE* lpBuffer,
                               uint32_t nBufferSize, uint32_t* lpnWritten);
  // The end of the track, FF 2F 00: a short record FF 2F 00 carrying the callback flag.
  static uint32_t PutEndEvent(DWORD dwDelta, const BYTE* lpEvent, uint32_t nAvail, BYTE* lpBuffer, uint32_t nBufferSize,
                              uint32_t* lpnWritten);
  static const char* GetErrorText(MMRESULT result);

  // The message thread's handler of one position callback.
  void OnPosition(const MIDIHDR* lpHeader);

 private:
  void Open();
  void PlayLocked(bool bLoop);
  void StopLocked(bool bPause);
  void FillBufferLocked();
  void Log(const char* lpStep, MMRESULT result) const;

  mutable std::mutex m_Mutex;  // the window thread and the message thread take turns
  int32_t m_nNextBuffer = 0;
  HMIDISTRM m_hStream = nullptr;
  std::vector<MIDIHDR> m_Headers;
  std::vector<std::vector<char>> m_Buffers;
  uint8_t m_cBufferCount = MIDI_BUFFER_COUNT;
  uint32_t m_dwBufferSize = MIDI_BUFFER_SIZE;
  uint32_t m_dwPosition = SMF_IMAGE_HEADER_BYTES;
  uint32_t m_dwEnd = SMF_IMAGE_HEADER_BYTES;
  int32_t m_nState = MIDISTATE_STOPPED;
  HANDLE m_hThread = nullptr;
  DWORD m_dwThreadId = 0;
  int32_t m_bLoop = 0;
  int32_t m_bClosing = 0;
  uint32_t m_dwHandled = 0;
};

unsigned MidiThreadProc(void* lpParam);

class cMidiPlayerList final : public cBgmMidiBackend {
 public:
  // `outputReady` tells whether a stream can be heard at all (a synthesiser and a sound device):
  // without one a song is refused at once, before a player and its thread are made. None: always.
  explicit cMidiPlayerList(std::function<bool()> outputReady = {}) : m_OutputReady(std::move(outputReady)) {}
  ~cMidiPlayerList() override;
  void SetChannels(int nChannels) override;
  bool Play(int nChannel, const char* lpFile, bool bLoop) override;
  void StopAll(bool bPause) override;
  void Clear() override;

  // The channel's player, or null (also outside the list).
  cMidiStreamPlayer* GetPlayer(int nChannel) const;
  // The channel's slot; outside the list the standard out-of-range error (callers have checked
  // and logged the index before).
  cMidiStreamPlayer*& At(int nChannel);

 private:
  cSafeVector<cMidiStreamPlayer*> m_Players;
  std::function<bool()> m_OutputReady;
};
