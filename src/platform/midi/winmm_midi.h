// The MIDI stream functions the music player calls, over the MIDI stream device of this layer.
//
// Streams open on the process's MIDI out device (installed once at start-up, or by a test): it
// supplies the synthesiser and makes the mixer pull the stream. Without a device, opening fails
// with MIDIERR_NODEVICE. The device is one port: one stream is open at a time.
#pragma once

#include <memory>

#include "platform/midi/midi_stream.h"
#include "platform/scoped_backend.h"

namespace t4::platform {

using HMIDISTRM = MidiStream*;

constexpr UINT MIDI_MAPPER = 0xFFFFFFFF;
constexpr DWORD CALLBACK_THREAD = 0x00020000;
constexpr DWORD MIDIPROP_SET = 0x80000000;
constexpr DWORD MIDIPROP_GET = 0x40000000;
constexpr DWORD MIDIPROP_TIMEDIV = 0x00000001;
constexpr DWORD MIDIPROP_TEMPO = 0x00000002;

struct MIDIPROPTIMEDIV {
  DWORD cbStruct = sizeof(MIDIPROPTIMEDIV);
  DWORD dwTimeDiv = 0;
};
struct MIDIPROPTEMPO {
  DWORD cbStruct = sizeof(MIDIPROPTEMPO);
  DWORD dwTempo = 0;
};

class MidiOutDevice {
 public:
  virtual ~MidiOutDevice() = default;
  // The synthesiser streams play into; null when there is none.
  virtual std::shared_ptr<MidiSynth> Synth() = 0;
  // Starts and stops pulling a stream's sound. Detach returns once the stream is no longer mixed.
  virtual bool Attach(std::shared_ptr<MixerStream> stream) = 0;
  virtual void Detach(const MixerStream* stream) = 0;
};

// Null removes the device (open then fails).
void SetMidiOutDevice(MidiOutDevice* device);
using ScopedMidiOutDevice = ScopedBackend<MidiOutDevice, SetMidiOutDevice>;

// Opens a paused stream on the device whose position callbacks go to thread `callback` (only
// CALLBACK_THREAD is supported).
MMRESULT midiStreamOpen(HMIDISTRM* stream, UINT* deviceId, DWORD streams, uintptr_t callback, uintptr_t instance,
                        DWORD flags);
MMRESULT midiStreamProperty(HMIDISTRM stream, BYTE* data, DWORD property);
MMRESULT midiOutPrepareHeader(HMIDISTRM stream, MIDIHDR* header, UINT size);
MMRESULT midiOutUnprepareHeader(HMIDISTRM stream, MIDIHDR* header, UINT size);
MMRESULT midiStreamOut(HMIDISTRM stream, MIDIHDR* header, UINT size);
MMRESULT midiStreamRestart(HMIDISTRM stream);
MMRESULT midiStreamPause(HMIDISTRM stream);
MMRESULT midiStreamStop(HMIDISTRM stream);
MMRESULT midiOutReset(HMIDISTRM stream);
MMRESULT midiStreamClose(HMIDISTRM stream);
// The text of an error code, cut to fit `size` bytes; false for an unknown code.
BOOL mciGetErrorStringA(MMRESULT error, char* text, UINT size);

}  // namespace t4::platform
