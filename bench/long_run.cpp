// One hour of play (216,000 frames at 60 per second), headless and unpaced, on a stage whose
// characters are summoned and removed every few frames. The resident memory is sampled along the
// run; after the first tenth (which settles the allocator and the caches) it must not grow by more
// than the allowed bound. Exit status 0 when it held, 1 when it grew or the stage stopped playing.
//
//   t4_long_run [--frames N] [--samples N] [--bound-kib N]
#include <unistd.h>

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
  long settled = 0, highest = 0;
  size_t mostCharas = 0;
  std::printf("%9s %10s %10s %12s\n", "frame", "RSS KiB", "characters", "summoned");
  for (int i = 1; i <= frames; ++i) {
    int16_t dir = 0, buttons = 0;
    t4::bench::PlayerInput(i, dir, buttons);
    h.Frame(dir, buttons);
    if (g_CharaList.size() > mostCharas) mostCharas = g_CharaList.size();
    if (h.State() != PLAY_PLAY) {
      std::fprintf(stderr, "frame %d: the stage left play (state %d)\n", i, h.State());
      return 1;
    }
    if (i == settle) settled = RssKiB();
    if (i % (frames / samples) == 0 || i == settle) {
      const long rss = RssKiB();
      if (i > settle && rss > highest) highest = rss;
      std::printf("%9d %10ld %10zu %12d\n", i, rss, g_CharaList.size(), h.Scene().m_nCharaIdCount - firstId);
      std::fflush(stdout);
    }
  }
  const long growth = highest - settled;
  std::printf(
      "characters summoned %d, at most %zu at once; RSS after settling %ld KiB, highest later %ld KiB, growth %ld KiB "
      "(bound %ld)\n",
      h.Scene().m_nCharaIdCount - firstId, mostCharas, settled, highest, growth, boundKiB);
  if (growth > boundKiB) {
    std::printf("FAILED: memory grew\n");
    return 1;
  }
  std::printf("passed\n");
  return 0;
}
