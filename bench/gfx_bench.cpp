// Full-screen 32-bit blits and fills of the drawing layer against memcpy of the same bytes.
// The "ratio" counter of each case is its time over the memcpy time measured in the same run.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "gfx/dd.h"

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

BENCHMARK(BM_Memcpy);
BENCHMARK(BM_OpaqueBlit);
BENCHMARK(BM_TransparentBlit);
BENCHMARK(BM_Fill);

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
