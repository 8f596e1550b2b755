// One hour of play (216,000 frames at 60 per second), headless and unpaced, on a stage whose
// characters are summoned and removed every few frames. The resident memory and the heap in use
// are sampled along the run; after the first tenth (which settles the allocator and the caches)
// neither may grow by more than the allowed bound. Exit status 0 when they held, 1 when one grew or
// the stage stopped playing. scripts/long-run.sh builds and runs it.
//
//   t4_long_run [--frames N] [--samples N] [--bound-kib N]
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "bench_stages.h"
#include "stage/chara.h"
#include "stage/scene_play.h"
#include "stage/stage_globals.h"
#include "support/stage_harness.h"

namespace {

// Resident set size of this process in KiB, from /proc.
long RssKiB() {
  std::ifstream in("/proc/self/statm");
  long pages = 0, resident = 0;
  in >> pages >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Bytes the allocator has handed out and not had back, in KiB: growth here is memory held, not
// only pages the allocator keeps.
long HeapInUseKiB() {
  const struct mallinfo2 m = mallinfo2();
  return static_cast<long>((m.uordblks + m.hblkhd) / 1024);
}

}  // namespace

int main(int argc, char** argv) {
  int frames = 216000, samples = 24;
  long boundKiB = 2048;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 < argc && a == "--frames") {
      frames = std::atoi(argv[++i]);
    } else if (i + 1 < argc && a == "--samples") {
      samples = std::atoi(argv[++i]);
    } else if (i + 1 < argc && a == "--bound-kib") {
      boundKiB = std::atol(argv[++i]);
    } else {
      std::fprintf(stderr, "usage: %s [--frames N] [--samples N] [--bound-kib N]\n", argv[0]);
      return 2;
    }
  }
  if (frames < samples || samples < 2) {
    std::fprintf(stderr, "need at least two samples and a frame per sample\n");
    return 2;
  }
  t4::test::StageHarness h;
  h.Start(t4::bench::ChurnStage());
  if (h.RunUntilState(PLAY_PLAY, 600) < 0) {
    std::fprintf(stderr, "the stage did not begin to play\n");
    return 1;
  }
  const int firstId = h.Scene().m_nCharaIdCount;
  const int settle = frames / 10;
  long settledRss = 0, settledHeap = 0, highestRss = 0, highestHeap = 0;
  size_t mostCharas = 0;
  std::printf("%9s %10s %12s %10s %12s\n", "frame", "RSS KiB", "in use KiB", "characters", "summoned");
  for (int i = 1; i <= frames; ++i) {
    int16_t dir = 0, buttons = 0;
    t4::bench::PlayerInput(i, dir, buttons);
    h.Frame(dir, buttons);
    if (g_CharaList.size() > mostCharas) mostCharas = g_CharaList.size();
    if (h.State() != PLAY_PLAY) {
      std::fprintf(stderr, "frame %d: the stage left play (state %d)\n", i, h.State());
      return 1;
    }
    if (i % (frames / samples) != 0 && i != settle) continue;
    const long rss = RssKiB();
    const long heap = HeapInUseKiB();
    if (i == settle) {
      settledRss = rss;
      settledHeap = heap;
    } else if (i > settle) {
      highestRss = std::max(highestRss, rss);
      highestHeap = std::max(highestHeap, heap);
    }
    std::printf("%9d %10ld %12ld %10zu %12d\n", i, rss, heap, g_CharaList.size(), h.Scene().m_nCharaIdCount - firstId);
    std::fflush(stdout);
  }
  const long growth = std::max(highestRss - settledRss, highestHeap - settledHeap);
  std::printf("characters summoned %d, at most %zu at once\n", h.Scene().m_nCharaIdCount - firstId, mostCharas);
  std::printf(
      "after settling: RSS %ld KiB, in use %ld KiB; highest later: RSS %ld KiB (%+ld), in use %ld KiB (%+ld); bound "
      "%ld KiB\n",
      settledRss, settledHeap, highestRss, highestRss - settledRss, highestHeap, highestHeap - settledHeap, boundKiB);
  if (growth > boundKiB) {
    std::printf("FAILED: memory grew\n");
    return 1;
  }
  std::printf("passed\n");
  return 0;
}
