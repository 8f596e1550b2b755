// Where the mixer's output goes. Chosen once at start-up: the SDL backend plays it on the sound
// device; the headless backend never opens a device and renders the mix on demand.
#pragma once

#include <cstdint>
#include <span>

#include "platform/audio/mixer.h"
#include "platform/scoped_backend.h"

namespace t4::platform {

// One entry of a sound-device enumeration: `id` is null for the default entry, which stands for
// whichever device is current; the others carry the device's number and its name. Returning false
// ends the enumeration.
using AudioDeviceProc = bool (*)(const int32_t* id, const char* description, const char* module, void* context);

// The description of the default entry of an enumeration.
constexpr const char* DEFAULT_AUDIO_DEVICE_NAME = "default output";

class AudioOutput {
 public:
  virtual ~AudioOutput() = default;
  // Reports the default entry, then every sound device there is to open.
  virtual void EnumerateDevices(AudioDeviceProc proc, void* context) = 0;
  // Starts taking the mixer's output; false when no device could be opened.
  virtual bool Open(Mixer& mixer) = 0;
  // Stops taking output; the mixer is no longer used once this returns.
  virtual void Close() = 0;
};

class HeadlessAudioOutput final : public AudioOutput {
 public:
  // `hasDevice` false stands for a machine without any sound device.
  explicit HeadlessAudioOutput(bool hasDevice = true) : m_hasDevice(hasDevice) {}
  // One device ("headless output") unless built without one.
  void EnumerateDevices(AudioDeviceProc proc, void* context) override;
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
  void EnumerateDevices(AudioDeviceProc proc, void* context) override;
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
using ScopedAudioOutput = ScopedBackend<AudioOutput, SetAudioOutput>;
AudioOutput& GetAudioOutput();

}  // namespace t4::platform
