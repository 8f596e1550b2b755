#include "platform/audio/wav_reader.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace t4::platform {

namespace {

constexpr size_t CHUNK_HEADER_BYTES = 8;

uint32_t ReadLe32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

uint16_t ReadLe16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

bool IdIs(const uint8_t* p, const char* id) { return std::memcmp(p, id, 4) == 0; }

struct Chunk {
  size_t bodyOffset = 0;  // first byte after the chunk header
  uint32_t declaredSize = 0;
  size_t availableSize = 0;  // what the region still holds of the declared size
  size_t nextOffset = 0;     // where the following chunk starts (bodies are padded to even sizes)
};

// Walks the chunks of [offset, end) and returns the first with the given id (and, for "RIFF",
// the given form type). A chunk header that does not fit ends the search.
std::optional<Chunk> FindChunk(std::span<const uint8_t> file, size_t offset, size_t end, const char* id,
                               const char* formType) {
  while (offset + CHUNK_HEADER_BYTES <= end) {
    const uint8_t* header = file.data() + offset;
    Chunk chunk;
    chunk.bodyOffset = offset + CHUNK_HEADER_BYTES;
    chunk.declaredSize = ReadLe32(header + 4);
    chunk.availableSize = std::min<size_t>(chunk.declaredSize, end - chunk.bodyOffset);
    uint64_t next = static_cast<uint64_t>(chunk.bodyOffset) + chunk.declaredSize + (chunk.declaredSize & 1u);
    chunk.nextOffset = static_cast<size_t>(std::min<uint64_t>(next, end));
    if (IdIs(header, id)) {
      if (!formType) return chunk;
      if (chunk.availableSize >= 4 && IdIs(file.data() + chunk.bodyOffset, formType)) return chunk;
    }
    offset = chunk.nextOffset;
  }
  return std::nullopt;
}

}  // namespace

WavData ParseWav(std::span<const uint8_t> file) {
  WavData out;
  auto riff = FindChunk(file, 0, file.size(), "RIFF", "WAVE");
  if (!riff) {
    out.status = WavStatus::NotRiffWave;
    return out;
  }
  // The RIFF body is its form type followed by the sub-chunks, never beyond the file's end.
  const size_t riffEnd = riff->bodyOffset + riff->availableSize;
  auto fmt = FindChunk(file, riff->bodyOffset + 4, riffEnd, "fmt ", nullptr);
  if (!fmt) {
    out.status = WavStatus::NoFormat;
    return out;
  }
  out.formatBytes = fmt->declaredSize;
  if (fmt->declaredSize > WAV_MAX_FORMAT_BYTES) {
    out.status = WavStatus::FormatTooLarge;
    return out;
  }
  uint8_t raw[WAV_MAX_FORMAT_BYTES] = {};
  std::memcpy(raw, file.data() + fmt->bodyOffset, fmt->availableSize);
  out.format.wFormatTag = ReadLe16(raw + 0);
  out.format.nChannels = ReadLe16(raw + 2);
  out.format.nSamplesPerSec = ReadLe32(raw + 4);
  out.format.nAvgBytesPerSec = ReadLe32(raw + 8);
  out.format.nBlockAlign = ReadLe16(raw + 12);
  out.format.wBitsPerSample = ReadLe16(raw + 14);
  out.format.cbSize = ReadLe16(raw + 16);
  if (fmt->availableSize < fmt->declaredSize) {
    out.status = WavStatus::FormatCut;
    return out;
  }
  if (out.format.wFormatTag != WAVE_FORMAT_PCM) {
    out.status = WavStatus::NotPcm;
    return out;
  }
  auto data = FindChunk(file, fmt->nextOffset, riffEnd, "data", nullptr);
  if (!data || data->declaredSize == 0) {
    out.status = WavStatus::NoData;
    return out;
  }
  // A declared size beyond the file keeps only what is there, in whole sample frames, so a
  // truncated or forged file never plays memory it does not have.
  size_t bytes = std::min<size_t>(data->declaredSize, file.size() - data->bodyOffset);
  if (out.format.nBlockAlign > 0) bytes -= bytes % out.format.nBlockAlign;
  if (bytes == 0) {
    out.status = WavStatus::EmptyData;
    return out;
  }
  out.samples.assign(file.begin() + static_cast<std::ptrdiff_t>(data->bodyOffset),
                     file.begin() + static_cast<std::ptrdiff_t>(data->bodyOffset + bytes));
  out.status = WavStatus::Ok;
  return out;
}

}  // namespace t4::platform
