// The software renderer's full-screen cases against memcpy of the same bytes: textured quads of the
// render path, copies and fills of the blit path, frame conversion and an empty frame.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "platform/present/display.h"
#include "platform/raster/blit.h"
#include "platform/raster/device.h"
#include "platform/raster/quad.h"
#include "ratio_reporter.h"

namespace {

using namespace t4::platform::raster;

constexpr int W = 640;
constexpr int H = 480;

int64_t FrameBytes(PixelFormat f) { return int64_t{W} * H * BytesPerPixel(f); }

// A picture of the format: a colour ramp in 0xAARRGGBB with the alpha the case asks for.
enum class Alpha { Opaque, Keyed, Ramp };
Surface Picture(PixelFormat f, Alpha alpha) {
  Surface s(W, H, f);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      uint32_t a = 255;
      if (alpha == Alpha::Keyed && x % 8 == 0) a = 0;
      if (alpha == Alpha::Ramp) a = static_cast<uint32_t>(x & 255);
      s.SetPixel(x, y, FromArgb(f, a << 24 | (static_cast<uint32_t>(x * 7 + y * 3) * 0x010203u & 0xFFFFFFu)));
    }
  return s;
}

StageState Modulate() { return StageState{}; }
StageState DiffuseOnly() {
  StageState st;
  st.colorOp = TOP_SELECTARG2;
  st.alphaOp = TOP_SELECTARG2;
  return st;
}
StageState HalfModulate() {
  StageState st;
  st.alphaOp = TOP_MODULATE;
  return st;
}

void Count(benchmark::State& state, PixelFormat target) {
  state.counters["frame_bytes"] = static_cast<double>(FrameBytes(target));
}

// One full-screen quad per iteration; `scale` 2 draws a quarter of the picture doubled.
void Quad(benchmark::State& state, PixelFormat texFormat, PixelFormat targetFormat, Alpha alpha, bool textured,
          uint32_t diffuse, StageState st, int scale = 1) {
  const Surface tex = Picture(texFormat, alpha);
  Surface target = Picture(targetFormat, Alpha::Opaque);
  for (auto _ : state) {
    DrawRectQuad(target, 0, 0, W, H, textured ? &tex : nullptr, 0, 0, W / scale, H / scale, diffuse, st);
    benchmark::DoNotOptimize(target.Bits());
    benchmark::ClobberMemory();
  }
  Count(state, targetFormat);
}

constexpr PixelFormat T32 = PixelFormat::A8R8G8B8, B32 = PixelFormat::X8R8G8B8;
constexpr PixelFormat T16 = PixelFormat::A1R5G5B5, B16 = PixelFormat::R5G6B5;

void BM_Quad32_Opaque(benchmark::State& s) { Quad(s, T32, B32, Alpha::Opaque, true, 0xFFFFFFFF, Modulate()); }
void BM_Quad32_Keyed(benchmark::State& s) { Quad(s, T32, B32, Alpha::Keyed, true, 0xFFFFFFFF, Modulate()); }
void BM_Quad32_Fill(benchmark::State& s) { Quad(s, T32, B32, Alpha::Opaque, false, 0xFF123456, DiffuseOnly()); }
void BM_Quad32_Half(benchmark::State& s) { Quad(s, T32, B32, Alpha::Opaque, true, 0x80FFFFFF, HalfModulate()); }
void BM_Quad32_Alpha(benchmark::State& s) { Quad(s, T32, B32, Alpha::Ramp, true, 0xFFFFFFFF, Modulate()); }
void BM_Quad32_Scaled(benchmark::State& s) { Quad(s, T32, B32, Alpha::Keyed, true, 0xFFFFFFFF, Modulate(), 2); }
void BM_Quad32_Tinted(benchmark::State& s) { Quad(s, T32, B32, Alpha::Keyed, true, 0xFF8040C0, Modulate()); }
void BM_Quad16_Opaque(benchmark::State& s) { Quad(s, T16, B16, Alpha::Opaque, true, 0xFFFFFFFF, Modulate()); }
void BM_Quad16_Keyed(benchmark::State& s) { Quad(s, T16, B16, Alpha::Keyed, true, 0xFFFFFFFF, Modulate()); }
void BM_Quad16_Fill(benchmark::State& s) { Quad(s, T16, B16, Alpha::Opaque, false, 0xFF123456, DiffuseOnly()); }
void BM_Quad16_Half(benchmark::State& s) { Quad(s, T16, B16, Alpha::Opaque, true, 0x80FFFFFF, HalfModulate()); }
void BM_Quad16_Scaled(benchmark::State& s) { Quad(s, T16, B16, Alpha::Keyed, true, 0xFFFFFFFF, Modulate(), 2); }

// The blit path: copies (opaque and keyed), fills and a doubling stretch at each pixel size.
PixelFormat BlitFormat(int bits) {
  return bits == 8 ? PixelFormat::P8 : bits == 16 ? PixelFormat::R5G6B5 : PixelFormat::X8R8G8B8;
}
enum class BlitKind { Opaque, Keyed, Fill, Stretch };
void Blit(benchmark::State& state, BlitKind kind) {
  const PixelFormat f = BlitFormat(static_cast<int>(state.range(0)));
  Surface src(W, H, f), dst(W, H, f);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) src.SetPixel(x, y, x % 8 == 0 ? 0u : static_cast<uint32_t>(x * 7 + y * 3 + 1));
  for (auto _ : state) {
    switch (kind) {
      case BlitKind::Opaque: CopyRect(dst, 0, 0, src, 0, 0, W, H, std::nullopt); break;
      case BlitKind::Keyed: CopyRect(dst, 0, 0, src, 0, 0, W, H, 0u); break;
      case BlitKind::Fill: FillRect(dst, 0, 0, W, H, 0x12345678u); break;
      case BlitKind::Stretch: StretchRect(dst, 0, 0, W, H, src, 0, 0, W / 2, H / 2, 0u); break;
    }
    benchmark::DoNotOptimize(dst.Bits());
    benchmark::ClobberMemory();
  }
  Count(state, f);
}
void BM_BlitOpaque(benchmark::State& s) { Blit(s, BlitKind::Opaque); }
void BM_BlitKeyed(benchmark::State& s) { Blit(s, BlitKind::Keyed); }
void BM_BlitFill(benchmark::State& s) { Blit(s, BlitKind::Fill); }
void BM_BlitStretch(benchmark::State& s) { Blit(s, BlitKind::Stretch); }

// The screen to the display's frame (0x00RRGGBB), measured against memcpy of the frame's bytes.
void BM_FrameConversion(benchmark::State& state) {
  const PixelFormat f = BlitFormat(static_cast<int>(state.range(0)));
  const Surface screen = Picture(f, Alpha::Opaque);
  HardwarePalette palette;
  for (int i = 0; i < 256; ++i) palette.entries[i] = {static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), 7, 0};
  t4::platform::Frame frame;
  for (auto _ : state) {
    ConvertFrame(screen, &palette, frame);
    benchmark::DoNotOptimize(frame.pixels.data());
    benchmark::ClobberMemory();
  }
  state.counters["frame_bytes"] = static_cast<double>(FrameBytes(PixelFormat::X8R8G8B8));
}

// Present of the render device on the headless display (after a clear when `clear`), against one
// memcpy of the frame.
void DevicePresent(benchmark::State& state, bool clear) {
  t4::platform::HeadlessDisplay display;
  GraphicsSystem system(display);
  PresentParams params;
  params.width = W;
  params.height = H;
  params.format = state.range(0) == 16 ? B16 : B32;
  RenderDevice device(system, params);
  device.Clear(nullptr, 0xFF102030);
  for (auto _ : state) {
    if (clear) device.Clear(nullptr, 0xFF000000);
    device.Present();
    benchmark::ClobberMemory();
  }
  state.counters["frame_bytes"] = static_cast<double>(FrameBytes(PixelFormat::X8R8G8B8));
}
void BM_EmptyFrame(benchmark::State& s) { DevicePresent(s, true); }
void BM_Present(benchmark::State& s) { DevicePresent(s, false); }

BENCHMARK(t4::bench::MemcpyCase)->Name("BM_Memcpy")->Arg(W* H)->Arg(W* H * 2)->Arg(W* H * 4);
BENCHMARK(BM_Quad32_Opaque);
BENCHMARK(BM_Quad32_Keyed);
BENCHMARK(BM_Quad32_Fill);
BENCHMARK(BM_Quad32_Half);
BENCHMARK(BM_Quad32_Alpha);
BENCHMARK(BM_Quad32_Scaled);
BENCHMARK(BM_Quad32_Tinted);
BENCHMARK(BM_Quad16_Opaque);
BENCHMARK(BM_Quad16_Keyed);
BENCHMARK(BM_Quad16_Fill);
BENCHMARK(BM_Quad16_Half);
BENCHMARK(BM_Quad16_Scaled);
BENCHMARK(BM_BlitOpaque)->Arg(8)->Arg(16)->Arg(32);
BENCHMARK(BM_BlitKeyed)->Arg(8)->Arg(16)->Arg(32);
BENCHMARK(BM_BlitFill)->Arg(8)->Arg(16)->Arg(32);
BENCHMARK(BM_BlitStretch)->Arg(8)->Arg(16)->Arg(32);
BENCHMARK(BM_FrameConversion)->Arg(8)->Arg(16)->Arg(32);
BENCHMARK(BM_EmptyFrame)->Arg(16)->Arg(32);
BENCHMARK(BM_Present)->Arg(16)->Arg(32);

}  // namespace

int main(int argc, char** argv) {
  return t4::bench::RunWithRatios(argc, argv,
                                  {
                                      {"BM_Quad16_Half", "render path 16-bit translucent quad", false, 5},
                                      {"BM_Quad16_Opaque", "render path 16-bit opaque quad", false, 2},
                                      {"BM_Quad32_Opaque", "render path 32-bit opaque quad", false, 2},
                                      {"BM_Present/16", "render path 16-bit present (32-bit frame)", false, 3},
                                      {"BM_Present/32", "render path 32-bit present", false, 3},
                                      {"BM_FrameConversion/8", "blit path 8-bit present (32-bit frame)", false, 3},
                                      {"BM_FrameConversion/16", "blit path 16-bit present (32-bit frame)", false, 3},
                                      {"BM_FrameConversion/32", "blit path 32-bit present", false, 3},
                                  });
}
