// Writer of small RIFF WAVE files for tests, including damaged and foreign ones.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace t4::test {

struct WavSpec {
  uint16_t formatTag = 1;  // 1 = PCM
  uint16_t channels = 1;
  uint32_t rate = 22050;
  uint16_t bits = 8;
  std::optional<uint16_t> blockAlign;  // default channels x bits / 8
  uint32_t fmtBytes = 16;              // 16, 18 or 40 (bytes past the 16 are zero); 14 cuts it
  bool withFmt = true;
  bool withData = true;
  std::string samples;                        // the "data" bytes
  std::optional<uint32_t> declaredDataBytes;  // the data chunk's size field, if not the real size
  std::optional<uint32_t> declaredRiffBytes;  // the RIFF size field, if not the real size
  std::string chunksBeforeFmt;                // raw chunks placed between "WAVE" and "fmt "
};

std::string MakeWav(const WavSpec& spec);

// One raw chunk: id, little-endian size, body, pad byte for odd sizes.
std::string MakeChunk(const char id[4], const std::string& body);

// Sample bytes: 8-bit unsigned values, 16-bit signed values (little-endian).
std::string Pcm8(const std::vector<int>& values);
std::string Pcm16(const std::vector<int>& values);

}  // namespace t4::test
