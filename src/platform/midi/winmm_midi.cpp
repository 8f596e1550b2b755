#include "platform/midi/winmm_midi.h"

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>

namespace t4::platform {

namespace {

std::atomic<MidiOutDevice*> g_device{nullptr};

// The open streams by handle, so that a stale or foreign handle is refused instead of used.
std::mutex g_streamsMutex;
std::map<HMIDISTRM, std::shared_ptr<MidiStream>> g_streams;

std::shared_ptr<MidiStream> Find(HMIDISTRM handle) {
  std::lock_guard lock(g_streamsMutex);
  auto it = g_streams.find(handle);
  return it == g_streams.end() ? nullptr : it->second;
}

}  // namespace

void SetMidiOutDevice(MidiOutDevice* device) { g_device.store(device); }

MMRESULT midiStreamOpen(HMIDISTRM* stream, UINT* deviceId, DWORD streams, uintptr_t callback, uintptr_t, DWORD flags) {
  if (!stream) return MMSYSERR_INVALPARAM;
  *stream = nullptr;
  if (streams != 1 || (deviceId && *deviceId != MIDI_MAPPER && *deviceId != 0)) return MMSYSERR_INVALPARAM;
  if ((flags & 0x00070000) != CALLBACK_THREAD) return MMSYSERR_INVALFLAG;
  MidiOutDevice* device = g_device.load();
  if (!device) return MIDIERR_NODEVICE;
  {
    std::lock_guard lock(g_streamsMutex);
    if (!g_streams.empty()) return MMSYSERR_ALLOCATED;
  }
  std::shared_ptr<MidiSynth> synth = device->Synth();
  if (!synth) return MIDIERR_NODEVICE;
  auto created = std::make_shared<MidiStream>(std::move(synth), static_cast<DWORD>(callback));
  {
    std::lock_guard lock(g_streamsMutex);
    if (!g_streams.empty()) return MMSYSERR_ALLOCATED;
    g_streams[created.get()] = created;
  }
  if (!device->Attach(created)) {
    std::lock_guard lock(g_streamsMutex);
    g_streams.erase(created.get());
    return MIDIERR_NODEVICE;
  }
  *stream = created.get();
  return MMSYSERR_NOERROR;
}

MMRESULT midiStreamProperty(HMIDISTRM handle, BYTE* data, DWORD property) {
  auto stream = Find(handle);
  if (!stream) return MMSYSERR_INVALHANDLE;
  if (!data) return MMSYSERR_INVALPARAM;
  const bool set = (property & MIDIPROP_SET) != 0;
  if (set == ((property & MIDIPROP_GET) != 0)) return MMSYSERR_INVALFLAG;
  // Both property records are a size and one value.
  DWORD* value = reinterpret_cast<DWORD*>(data) + 1;
  switch (property & ~(MIDIPROP_SET | MIDIPROP_GET)) {
    case MIDIPROP_TIMEDIV:
      if (!set) {
        *value = stream->TimeDivision();
        return MMSYSERR_NOERROR;
      }
      return stream->SetTimeDivision(*value);
    case MIDIPROP_TEMPO:
      if (!set) {
        *value = stream->Tempo();
        return MMSYSERR_NOERROR;
      }
      return stream->SetTempo(*value);
    default: return MMSYSERR_INVALPARAM;
  }
}

MMRESULT midiOutPrepareHeader(HMIDISTRM handle, MIDIHDR* header, UINT size) {
  if (!Find(handle)) return MMSYSERR_INVALHANDLE;
  if (!header || size < sizeof(MIDIHDR) || !header->lpData) return MMSYSERR_INVALPARAM;
  StoreHeaderFlags(header, LoadHeaderFlags(header) | MHDR_PREPARED);
  return MMSYSERR_NOERROR;
}

MMRESULT midiOutUnprepareHeader(HMIDISTRM handle, MIDIHDR* header, UINT size) {
  auto stream = Find(handle);
  if (!stream) return MMSYSERR_INVALHANDLE;
  if (!header || size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
  if (stream->IsQueued(header)) return MIDIERR_STILLPLAYING;
  StoreHeaderFlags(header, LoadHeaderFlags(header) & ~MHDR_PREPARED);
  return MMSYSERR_NOERROR;
}

MMRESULT midiStreamOut(HMIDISTRM handle, MIDIHDR* header, UINT size) {
  auto stream = Find(handle);
  if (!stream) return MMSYSERR_INVALHANDLE;
  if (size < sizeof(MIDIHDR)) return MMSYSERR_INVALPARAM;
  return stream->Out(header);
}

MMRESULT midiStreamRestart(HMIDISTRM handle) {
  auto stream = Find(handle);
  return stream ? stream->Restart() : MMSYSERR_INVALHANDLE;
}

MMRESULT midiStreamPause(HMIDISTRM handle) {
  auto stream = Find(handle);
  return stream ? stream->Pause() : MMSYSERR_INVALHANDLE;
}

MMRESULT midiStreamStop(HMIDISTRM handle) {
  auto stream = Find(handle);
  return stream ? stream->Stop() : MMSYSERR_INVALHANDLE;
}

MMRESULT midiOutReset(HMIDISTRM handle) {
  auto stream = Find(handle);
  return stream ? stream->Reset() : MMSYSERR_INVALHANDLE;
}

MMRESULT midiStreamClose(HMIDISTRM handle) {
  std::shared_ptr<MidiStream> stream;
  {
    std::lock_guard lock(g_streamsMutex);
    auto it = g_streams.find(handle);
    if (it == g_streams.end()) return MMSYSERR_INVALHANDLE;
    stream = std::move(it->second);
    g_streams.erase(it);
  }
  stream->Close();
  if (MidiOutDevice* device = g_device.load()) device->Detach(stream.get());
  return MMSYSERR_NOERROR;
}

BOOL mciGetErrorStringA(MMRESULT error, char* text, UINT size) {
  const char* message = nullptr;
  switch (error) {
    case MMSYSERR_NOERROR: message = "The specified command was carried out."; break;
    case MMSYSERR_ERROR: message = "Undefined external error."; break;
    case MMSYSERR_ALLOCATED: message = "The specified device is already in use."; break;
    case MMSYSERR_INVALHANDLE: message = "The device handle is invalid."; break;
    case MMSYSERR_INVALFLAG: message = "An invalid flag was passed."; break;
    case MMSYSERR_INVALPARAM: message = "An invalid parameter was passed."; break;
    case MIDIERR_UNPREPARED: message = "The buffer was not prepared."; break;
    case MIDIERR_STILLPLAYING: message = "The buffer is still queued."; break;
    case MIDIERR_NODEVICE: message = "No MIDI output device is available."; break;
    default: break;
  }
  if (text && size > 0) std::snprintf(text, size, "%s", message ? message : "");
  return message ? TRUE : FALSE;
}

}  // namespace t4::platform
