// Full-screen 32-bit blits, fills and picture effects of the drawing layer against memcpy of a frame.
// The "ratio" counter of each case is its time over the memcpy time measured in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "gfx/dd.h"
#include "gfx/dd_effects.h"

namespace {

constexpr int W = 640;
constexpr int H = 480;
constexpr size_t BYTES = static_cast<size_t>(W) * H * 4;

double g_memcpyNs = 0;

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
    // Every eighth pixel transparent, the rest a ramp.
    cSurfaceLock lock;
    lock.Lock(&source);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) lock.Set(x, y, x % 8 == 0 ? g_dwColorKey : static_cast<uint32_t>(x * y));
  }
  ~Layer() {
    DDReleaseSurface(&source);
    DDRelease();
    t4::platform::raster::SetGraphicsSystem(nullptr);
  }
};

void Report(benchmark::State& state) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * BYTES));
}

void BM_Memcpy(benchmark::State& state) {
  std::vector<uint8_t> a(BYTES, 1), b(BYTES);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), BYTES);
    benchmark::DoNotOptimize(b.data());
    benchmark::ClobberMemory();
  }
  Report(state);
}

template <typename F>
void Timed(benchmark::State& state, F draw) {
  Layer layer;
  for (auto _ : state) {
    draw(layer);
    benchmark::ClobberMemory();
  }
  Report(state);
}

void BM_OpaqueBlit(benchmark::State& state) {
  Timed(state, [](Layer& l) { DDBlt(&BackBuffer, 0, 0, W, H, &l.source, 0, 0, BLT_OPAQUE); });
}
void BM_TransparentBlit(benchmark::State& state) {
  Timed(state, [](Layer& l) { DDBlt(&BackBuffer, 0, 0, W, H, &l.source, 0, 0, BLT_TRANSPARENT); });
}
void BM_Fill(benchmark::State& state) {
  Timed(state, [](Layer&) { DDFillRect(&BackBuffer, 0, 0, W, H, 0x123456); });
}

// Picture effects of the same mode: the middle of a fade (every step rebuilds the frame from the
// copy of its first one), a translucent picture over the screen, and the screen effect's lens
// from the centre (radius sqrt(2) x 320 covers the whole screen).
void BM_FadeStep(benchmark::State& state) {
  Timed(state, [](Layer&) { DDFade_UnPal(&BackBuffer, 128, 0, 0, 0, &g_ScreenCopySD); });
}
void BM_TranslucentBlit(benchmark::State& state) {
  Timed(state, [](Layer& l) { DDBltHalfTrans(&BackBuffer, 0, 0, W, H, &l.source, 0, 0, BLT_TRANSPARENT, g_HbtTable); });
}
void BM_Lens(benchmark::State& state) {
  Timed(state, [](Layer& l) { DDBltLens(&BackBuffer, 320, 240, 452, 200, &l.source, 320, 240, 0, false, nullptr); });
}

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_OpaqueBlit);
BENCHMARK(BM_TransparentBlit);
BENCHMARK(BM_Fill);
BENCHMARK(BM_FadeStep);
BENCHMARK(BM_TranslucentBlit);
BENCHMARK(BM_Lens);

// Prints each case's time as a multiple of memcpy's from the same run.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      const double ns = r.GetAdjustedRealTime();
      if (r.benchmark_name() == "BM_Memcpy") g_memcpyNs = ns;
      else if (g_memcpyNs > 0)
        std::printf("  %-22s %.2f x memcpy\n", r.benchmark_name().c_str(), ns / g_memcpyNs);
    }
  }
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
