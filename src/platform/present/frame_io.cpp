#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "platform/present/display.h"

namespace t4::platform {

uint64_t HashFrame(const Frame& frame) {
  uint64_t h = 1469598103934665603ull;
  auto mix = [&h](uint32_t v) {
    for (int i = 0; i < 4; ++i) {
      h ^= (v >> (8 * i)) & 0xFF;
      h *= 1099511628211ull;
    }
  };
  mix(static_cast<uint32_t>(frame.width));
  mix(static_cast<uint32_t>(frame.height));
  for (uint32_t p : frame.pixels) mix(p & 0xFFFFFF);
  return h;
}

namespace {

uint32_t Crc32(const uint8_t* data, size_t n, uint32_t crc = 0) {
  static const std::array<uint32_t, 256> table = [] {
    std::array<uint32_t, 256> t{};
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

void PutBe(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void Chunk(std::vector<uint8_t>& out, const char* type, const std::vector<uint8_t>& data) {
  PutBe(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBe(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

// Stored (uncompressed) deflate blocks keep the encoder tiny; screenshots are rare.
bool WritePng(const Frame& frame, const std::string& path) {
  if (frame.width <= 0 || frame.height <= 0 || frame.pixels.size() != static_cast<size_t>(frame.width) * frame.height)
    return false;
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(frame.height) * (1 + 3 * static_cast<size_t>(frame.width)));
  for (int y = 0; y < frame.height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < frame.width; ++x) {
      const uint32_t p = frame.At(x, y);
      raw.push_back(static_cast<uint8_t>(p >> 16));
      raw.push_back(static_cast<uint8_t>(p >> 8));
      raw.push_back(static_cast<uint8_t>(p));
    }
  }
  std::vector<uint8_t> z = {0x78, 0x01};
  uint32_t a = 1, b = 0;
  for (uint8_t c : raw) {
    a = (a + c) % 65521;
    b = (b + a) % 65521;
  }
  for (size_t at = 0; at < raw.size() || at == 0; at += 65535) {
    const size_t n = std::min<size_t>(65535, raw.size() - at);
    z.push_back(at + n >= raw.size() ? 1 : 0);
    z.push_back(static_cast<uint8_t>(n));
    z.push_back(static_cast<uint8_t>(n >> 8));
    z.push_back(static_cast<uint8_t>(~n));
    z.push_back(static_cast<uint8_t>(~n >> 8));
    z.insert(z.end(), raw.begin() + static_cast<ptrdiff_t>(at), raw.begin() + static_cast<ptrdiff_t>(at + n));
    if (raw.empty()) break;
  }
  PutBe(z, b << 16 | a);
  std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> ihdr;
  PutBe(ihdr, static_cast<uint32_t>(frame.width));
  PutBe(ihdr, static_cast<uint32_t>(frame.height));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
  Chunk(png, "IHDR", ihdr);
  Chunk(png, "IDAT", z);
  Chunk(png, "IEND", {});
  std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!f) return false;
  return std::fwrite(png.data(), 1, png.size(), f.get()) == png.size();
}

}  // namespace t4::platform
