// Feeds arbitrary bytes to the flow-command list reader and to a whole flow record tree (flow,
// conditions, key conditions, commands with their movement, shot and condition-list records and
// nested flows), as a data file of any version. A load that succeeds must save and load again to
// the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "data/flow.h"
#include "data/flow_command.h"
#include "record_round_trip.h"

namespace {

template <class Record, class LoadFn, class SaveFn>
void RoundTrip(const std::string& input, LoadFn load, SaveFn save) {
  using t4::fuzz::LoadImageWith;
  using t4::fuzz::SaveImageWith;
  Record first;
  if (!LoadImageWith(input, [&](FILE* fp) { return load(first, fp); })) return;
  std::string saved = SaveImageWith([&](FILE* fp) { save(first, fp); });

  Record second;
  if (!LoadImageWith(saved, [&](FILE* fp) { return load(second, fp); })) std::abort();
  if (SaveImageWith([&](FILE* fp) { save(second, fp); }) != saved) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  std::string input(reinterpret_cast<const char*>(data + 1), size - 1);
  if (data[0] & 1) {
    RoundTrip<cSafeVector<cFlowCommand>>(
        input, [](cSafeVector<cFlowCommand>& cmds, FILE* fp) { return LoadFlowCommandVector(cmds, fp); },
        [](cSafeVector<cFlowCommand>& cmds, FILE* fp) { SaveFlowCommandVector(cmds, fp); });
  } else {
    RoundTrip<cFlow>(
        input, [](cFlow& flow, FILE* fp) { return flow.Load(fp); }, [](cFlow& flow, FILE* fp) { flow.Save(fp); });
  }
  return 0;
}
