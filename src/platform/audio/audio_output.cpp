#include "platform/audio/audio_output.h"

#include <algorithm>
#include <atomic>

namespace t4::platform {

namespace {

std::atomic<AudioOutput*> g_output{nullptr};

}  // namespace

void HeadlessAudioOutput::EnumerateDevices(AudioDeviceProc proc, void* context) {
  if (!proc(nullptr, DEFAULT_AUDIO_DEVICE_NAME, "", context) || !m_hasDevice) return;
  const int32_t id = 0;
  proc(&id, "headless output", "", context);
}

bool HeadlessAudioOutput::Open(Mixer& mixer) {
  if (!m_hasDevice) return false;
  m_mixer = &mixer;
  return true;
}

void HeadlessAudioOutput::Render(std::span<uint8_t> out) {
  if (m_mixer) {
    m_mixer->Render(out);
    return;
  }
  std::fill(out.begin(), out.end(), uint8_t{128});
}

void HeadlessAudioOutput::RenderFloat(std::span<float> out) {
  if (m_mixer) {
    m_mixer->RenderFloat(out);
    return;
  }
  std::fill(out.begin(), out.end(), 0.0f);
}

void HeadlessAudioOutput::RenderFloat(std::span<float> out, int channels, uint32_t rate) {
  if (m_mixer) {
    m_mixer->RenderFloat(out, channels, rate);
    return;
  }
  std::fill(out.begin(), out.end(), 0.0f);
}

void SetAudioOutput(AudioOutput* output) { g_output.store(output); }

AudioOutput& GetAudioOutput() {
  static HeadlessAudioOutput fallback;
  AudioOutput* output = g_output.load();
  return output ? *output : fallback;
}

}  // namespace t4::platform
