// Full-screen fade step, translucent blit and lens of the blit mode at 32 bits, against memcpy of
// one frame; each case's time is also printed as a multiple of memcpy's from the same run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "gfx/dd_effects.h"

namespace {

constexpr int W = 640;
constexpr int H = 480;
constexpr size_t BYTES = static_cast<size_t>(W) * H * 4;

double g_dMemcpyNs = 0;

struct Layer {
  t4::platform::HeadlessDisplay display;
  t4::platform::raster::GraphicsSystem system{display};
  DDSURFACEDATA table[72];
  IMAGESLOT slots[72];
  DDSURFACEDATA source;
  Layer() {
    t4::platform::raster::SetGraphicsSystem(&system);
    DDInit(FALSE, nullptr, W, H, 32, FALSE, 0, 1, 60, FALSE, table, slots, 72);
    DDSetTransmit(255, 0, 255);
    DDCreateSurface(&source, W, H, TRUE, 1, 0, nullptr);
    cSurfaceLock lock;
    lock.Lock(&source);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) lock.Set(x, y, x % 8 == 0 ? g_dwColorKey : static_cast<uint32_t>(x * y) & 0xFFFFFF);
  }
  ~Layer() {
    DDReleaseSurface(&source);
    DDRelease();
    t4::platform::raster::SetGraphicsSystem(nullptr);
  }
};

void BM_Memcpy(benchmark::State& state) {
  std::vector<uint8_t> a(BYTES, 1), b(BYTES);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), BYTES);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BYTES));
}

template <typename F>
void Timed(benchmark::State& state, F draw) {
  Layer layer;
  for (auto _ : state) {
    draw(layer);
    benchmark::ClobberMemory();
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BYTES));
}

void BM_FadeStep(benchmark::State& state) {
  // The middle of a fade: every step rebuilds the frame from the copy taken at the first one.
  Timed(state, [](Layer&) { DDFade_UnPal(&BackBuffer, 128, 0, 0, 0, &g_ScreenCopySD); });
}
void BM_TranslucentBlit(benchmark::State& state) {
  Timed(state, [](Layer& l) { DDBltHalfTrans(&BackBuffer, 0, 0, W, H, &l.source, 0, 0, BLT_TRANSPARENT, g_HbtTable); });
}
void BM_Lens(benchmark::State& state) {
  // The screen effect's lens from the centre: radius sqrt(2) x 320 covers the whole screen.
  Timed(state, [](Layer& l) { DDBltLens(&BackBuffer, 320, 240, 452, 200, &l.source, 320, 240, 0, false, nullptr); });
}

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_FadeStep);
BENCHMARK(BM_TranslucentBlit);
BENCHMARK(BM_Lens);

// Adds each effect's time over the memcpy time of this run to the console output.
class EffectRatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.benchmark_name() == "BM_Memcpy")
        g_dMemcpyNs = run.GetAdjustedRealTime();
      else if (g_dMemcpyNs > 0)
        std::printf("  ratio %-20s %.2f\n", run.benchmark_name().c_str(), run.GetAdjustedRealTime() / g_dMemcpyNs);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  EffectRatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
