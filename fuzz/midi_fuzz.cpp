// MIDI music from a project: read any bytes as a Standard MIDI File, then convert whatever image
// comes out into stream records (in full and in tiny buffers) and play them through a stream
// device into a recording synthesiser.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "audio/midi_file.h"
#include "audio/midi_stream_player.h"
#include "platform/midi/midi_stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace t4::platform;
  if (size > 1 << 20) return 0;
  cSmf smf("fuzz.mid", data, static_cast<uint32_t>(size));
  const BYTE* image = smf.GetImage();
  if (!image) return 0;
  auto synth = std::make_shared<RecordingMidiSynth>();
  MidiStream stream(synth, 0);
  stream.SetTimeDivision((static_cast<DWORD>(image[12]) << 8) | image[13]);
  stream.Restart();
  for (uint32_t bufferSize : {MIDI_BUFFER_SIZE, 40u}) {
    std::vector<BYTE> buffer(bufferSize);
    uint32_t position = SMF_IMAGE_HEADER_BYTES;
    for (int pieces = 0; position < smf.GetImageSize() && pieces < 100000; ++pieces) {
      const MIDICONVERT c =
          cMidiStreamPlayer::ConvertEvents(image, smf.GetImageSize(), position, buffer.data(), bufferSize, "fuzz.mid");
      if (c.nConsumed == 0) break;
      position += c.nConsumed;
      if (bufferSize != MIDI_BUFFER_SIZE || pieces > 4) continue;
      MIDIHDR header;
      header.lpData = reinterpret_cast<char*>(buffer.data());
      header.dwBufferLength = bufferSize;
      header.dwBytesRecorded = c.nWritten;
      header.dwFlags = MHDR_PREPARED;
      if (stream.Out(&header) != MMSYSERR_NOERROR) continue;
      std::vector<float> out(2 * 512);
      for (int i = 0; i < 4; ++i) stream.Mix(out, 2, OUTPUT_RATE);
      stream.Stop();
      stream.Restart();
    }
  }
  stream.Close();
  return 0;
}
