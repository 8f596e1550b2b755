// Where the mixer's output goes. Chosen once at start-up: the SDL backend plays it on the sound
// device; the headless backend never opens a device and renders the mix on demand.
#pragma once

#include <cstdint>
#include <span>

#include "platform/audio/mixer.h"

namespace t4::platform {

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // True when there is a sound device to open.
  virtual bool HasDevice() = 0;
  // Starts taking the mixer's output; false when no device could be opened.
  virtual bool Open(Mixer& mixer) = 0;
  // Stops taking output; the mixer is no longer used once this returns.
  virtual void Close() = 0;
};

class HeadlessAudioOutput final : public AudioOutput {
 public:
  // `hasDevice` false stands for a machine without any sound device.
  explicit HeadlessAudioOutput(bool hasDevice = true) : m_hasDevice(hasDevice) {}
  bool HasDevice() override { return m_hasDevice; }
  bool Open(Mixer& mixer) override;
  void Close() override { m_mixer = nullptr; }
  bool IsOpen() const { return m_mixer != nullptr; }
  // The next stretch of output in the primary format; silence while not open.
  void Render(std::span<uint8_t> out);
  void RenderFloat(std::span<float> out);
  // The same as the device would play it: interleaved floats at `rate` with 1 or 2 channels.
  void RenderFloat(std::span<float> out, int channels, uint32_t rate);

 private:
  bool m_hasDevice;
  Mixer* m_mixer = nullptr;
};

class SdlAudioOutput final : public AudioOutput {
 public:
  SdlAudioOutput() = default;
  ~SdlAudioOutput() override;
  SdlAudioOutput(const SdlAudioOutput&) = delete;
  SdlAudioOutput& operator=(const SdlAudioOutput&) = delete;
  bool HasDevice() override;
  // Opens the default device in OutputFormat(); SDL converts to what the device takes.
  bool Open(Mixer& mixer) override;
  void Close() override;

 private:
  bool InitSubsystem();
  void QuitSubsystem();

  bool m_subsystemUp = false;
  uint32_t m_device = 0;
  Mixer* m_mixer = nullptr;
};

// Installs the output for the whole process (start-up does this once); null restores the default,
// a headless output with a device, so tests and tools never touch a real device by accident.
void SetAudioOutput(AudioOutput* output);
AudioOutput& GetAudioOutput();

}  // namespace t4::platform
