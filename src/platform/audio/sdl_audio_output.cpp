#include <SDL2/SDL.h>

#include "platform/audio/audio_output.h"

namespace t4::platform {

namespace {

void AudioCallback(void* userData, Uint8* stream, int len) {
  static const WAVEFORMATEX format = OutputFormat();
  static_cast<Mixer*>(userData)->Render(std::span<uint8_t>(stream, static_cast<size_t>(len)), format);
}

}  // namespace

SdlAudioOutput::~SdlAudioOutput() {
  Close();
  QuitSubsystem();
}

bool SdlAudioOutput::InitSubsystem() {
  if (m_subsystemUp) return true;
  m_subsystemUp = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
  return m_subsystemUp;
}

void SdlAudioOutput::QuitSubsystem() {
  if (!m_subsystemUp) return;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  m_subsystemUp = false;
}

void SdlAudioOutput::EnumerateDevices(AudioDeviceProc proc, void* context) {
  if (!InitSubsystem() || !proc(nullptr, DEFAULT_AUDIO_DEVICE_NAME, "", context)) return;
  const int count = SDL_GetNumAudioDevices(0);
  if (count < 0) {
    // The driver cannot list its devices; its default one may still open.
    const int32_t id = 0;
    proc(&id, "SDL default device", "", context);
    return;
  }
  for (int32_t i = 0; i < count; ++i) {
    const char* name = SDL_GetAudioDeviceName(i, 0);
    if (!proc(&i, name && *name ? name : "SDL audio device", "", context)) return;
  }
}

bool SdlAudioOutput::Open(Mixer& mixer) {
  Close();
  if (!InitSubsystem()) return false;
  // The device plays full quality whatever primary format the sound layer recorded.
  const WAVEFORMATEX format = OutputFormat();
  SDL_AudioSpec want{};
  want.freq = static_cast<int>(format.nSamplesPerSec);
  want.format = format.wBitsPerSample == 8 ? AUDIO_U8 : AUDIO_S16LSB;
  want.channels = static_cast<Uint8>(format.nChannels);
  want.samples = 1024;
  want.callback = AudioCallback;
  want.userdata = &mixer;
  SDL_AudioSpec have{};
  // No allowed changes: SDL converts our output format to whatever the device plays.
  m_device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (m_device == 0) return false;
  m_mixer = &mixer;
  SDL_PauseAudioDevice(m_device, 0);
  return true;
}

void SdlAudioOutput::Close() {
  if (m_device != 0) {
    // Closing waits for a running callback, so the mixer is free afterwards.
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
  }
  m_mixer = nullptr;
}

}  // namespace t4::platform
