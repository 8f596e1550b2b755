// Picture files from a project: parse any bytes as a bitmap (every depth, bit fields, RLE8 and
// RLE4), and feed the same bytes straight to the run-length decoder with a small picture size
// taken from the first bytes, so that the decoder is reached without a well-formed header.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "platform/raster/bmp_reader.h"
#include "platform/raster/bmp_rle.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace t4::platform::raster;
  std::span<const uint8_t> bytes(data, size);
  std::string error;
  if (auto bitmap = ReadBmp(bytes, &error)) {
    // An accepted picture is whole: one colour per pixel, one index per pixel when indexed.
    const size_t pixels = static_cast<size_t>(bitmap->width) * static_cast<size_t>(bitmap->height);
    if (bitmap->width <= 0 || bitmap->height <= 0 || bitmap->rgb.size() != pixels) abort();
    if (bitmap->bitCount <= 8 && bitmap->indexes.size() != pixels) abort();
  } else if (error.empty()) {
    abort();  // a refusal always says why
  }
  if (size >= 3) {
    const int bitCount = (data[0] & 1) ? 4 : 8;
    const int width = data[1] % 64 + 1;
    const int height = data[2] % 64 + 1;
    std::vector<uint8_t> indexes;
    std::string rleError;
    if (DecodeBmpRle(bytes.subspan(3), bitCount, width, height, indexes, &rleError)) {
      if (indexes.size() != static_cast<size_t>(width) * height) abort();
    } else if (rleError.empty()) {
      abort();
    }
  }
  return 0;
}
