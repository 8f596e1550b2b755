// Entry point of the runtime.
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/program.h"
#include "data/data_file.h"

namespace {

void PrintUsage(FILE* out) {
  fprintf(out,
          "Usage: tarnwick4 [options] [PROJECT_DIR]\n"
          "Plays the game in PROJECT_DIR (default: the current folder).\n"
          "\n"
          "Options:\n"
          "  --window               play in a window\n"
          "  --fullscreen           play full screen\n"
          "  --scale N              window size 1-5 (100%% to 500%%)\n"
          "  --test-play STAGE_FILE play one stage at once (the kit's test play)\n"
          "  --editor-socket PATH   send the test play's start and end to this Unix datagram socket\n"
          "  --headless             no window and no sound device\n"
          "  --frames N             stop after N frames\n"
          "  --screenshot FILE.png  write the last frame at exit\n"
          "  --soundfont FILE       General MIDI soundfont for MIDI music\n"
          "  --version              show the version and exit\n"
          "  --help                 show this help and exit\n");
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--version") == 0) {
      printf("tarnwick4 %s (data version %d)\n", T4_VERSION, DATA_VERSION);
      return 0;
    }
    if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
      PrintUsage(stdout);
      return 0;
    }
  }
  RUNOPTIONS options;
  std::string error;
  if (!ParseRunOptions(argc, argv, options, error)) {
    fprintf(stderr, "tarnwick4: %s\n", error.c_str());
    PrintUsage(stderr);
    return 2;
  }
  if (!options.strProjectDir.empty() && chdir(options.strProjectDir.c_str()) != 0) {
    fprintf(stderr, "tarnwick4: cannot enter the project folder %s\n", options.strProjectDir.c_str());
    return 1;
  }
  return RunProgram(options);
}
