// Feeds arbitrary bytes to the flow-command list reader and to a whole flow record tree (flow,
// conditions, key conditions, commands with their movement, shot and condition-list records and
// nested flows), as a data file of any version. A load that succeeds must save and load again to
// the same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "data/data_file.h"
#include "data/flow.h"
#include "data/flow_command.h"

namespace {

FILE* OpenImage(std::string& image) {
  // fmemopen refuses an empty buffer; an empty file is a failed open anyway.
  if (image.empty()) return nullptr;
  return fmemopen(image.data(), image.size(), "rb");
}

template <class T>
std::string SaveImage(T& save) {
  char* buffer = nullptr;
  size_t size = 0;
  FILE* fp = open_memstream(&buffer, &size);
  int32_t version = g_nDataVersion;
  std::fwrite(&version, sizeof(version), 1, fp);
  save(fp);
  std::fclose(fp);
  std::string bytes(buffer, size);
  std::free(buffer);
  return bytes;
}

// Loads `image` with `load`; 1 when it succeeded and consumed what it read without failure.
template <class T>
int LoadImage(std::string image, T& load) {
  FILE* fp = OpenImage(image);
  if (!fp) return 0;
  int ok = 0;
  if (BeginDataFileRead(fp, "fuzz")) ok = load(fp) && !IsDataReadFailed(fp);
  CloseDataFile(fp);
  return ok;
}

template <class Record, class LoadFn, class SaveFn>
void RoundTrip(const std::string& input, LoadFn load, SaveFn save) {
  Record first;
  auto loadFirst = [&](FILE* fp) { return load(first, fp); };
  if (!LoadImage(input, loadFirst)) return;
  auto saveFirst = [&](FILE* fp) { save(first, fp); };
  std::string saved = SaveImage(saveFirst);

  Record second;
  auto loadSecond = [&](FILE* fp) { return load(second, fp); };
  if (!LoadImage(saved, loadSecond)) std::abort();
  auto saveSecond = [&](FILE* fp) { save(second, fp); };
  if (SaveImage(saveSecond) != saved) std::abort();
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
