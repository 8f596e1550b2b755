// Records every play of the replay suite anew into the source folder, for a change that is meant
// to alter play. A program of its own, not a test, so that ctest lists no test that only records.
#include <cstdio>
#include <string>

#include "replays/plays.h"
#include "replays/replay_session.h"

int main() {
  int failures = 0;
  for (const t4::test::Play& p : t4::test::SuitePlays()) {
    const std::string error = t4::test::RecordPlay(p, T4_REPLAY_DIR);
    if (!error.empty()) {
      std::fprintf(stderr, "record_replays: %s\n", error.c_str());
      ++failures;
    }
  }
  return failures == 0 ? 0 : 1;
}
