// Helper of the end-to-end menu test under a private X server.
//
//   t4_menu_keys prepare PROJECT_DIR
//     Makes the copy of the demo quick to play through: the meadow's first stage and the first
//     challenge stage become that stage with its star on the hero's own cell and without captions
//     or result display, so it is cleared on its first frame of play and leaves by itself; the
//     meadow's second stage is removed, so the series ends there. The challenge record gets the
//     second stage cleared with 1200.
//
//   t4_menu_keys caption PROJECT_DIR TEXT
//     Gives the first item of the project's title menu the caption TEXT.
//
//   t4_menu_keys drive WINDOW_ID STEP...
//     Sends keys to the game's window and waits for the screen to answer each one, reading the
//     window's pixels directly (a capture takes milliseconds). Steps:
//       Up Down Left Right       the arrow is tapped (held for a few frames) and the picture must
//                                change; it is tapped again only when no answer comes in a long
//                                while
//       z x                      the button is held until the picture changes, then let go; one
//                                without an answer for long is let go and pressed again (a
//                                release the game never saw makes the next press read as held)
//       settle                   waits until the picture has stayed the same for a while
//       mask=X,Y,W,H | mask=     leaves a rectangle out of every comparison (the world map's
//                                walker steps in place on its own)
//       hash=X,Y,W,H             prints "hash X,Y,W,H VALUE" of that rectangle
//     Before every key the screen is left to settle. Keys go through xdotool (the X test
//     extension). A step that times out ends the run with 1.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <ctime>
#include <vector>

#include "data/stage.h"
#include "persist/project_layout.h"
#include "persist/save_data.h"
#include "persist/system_data.h"

extern char** environ;

namespace {

// Milliseconds on the monotonic clock.
int64_t NowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<int64_t>(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

void SleepMs(int ms) { usleep(static_cast<useconds_t>(ms) * 1000); }

// The picture counts as settled after this long without a change: longer than a stalled frame on
// a busy machine, so a fade is not taken for a still screen.
constexpr int STILL_MS = 2000;
constexpr int SETTLE_LIMIT_MS = 120000;
// An arrow is held this long: long enough for a frame of a busy game to see it, too short for the
// key repeat (18 frames at most 60 a second). A press the game missed gets no answer and is sent
// again after ARROW_ANSWER_MS; a button is held until the screen answers, for at most
// BUTTON_ANSWER_MS before it is let go and pressed again (its release may not have been seen).
constexpr int ARROW_HOLD_MS = 100;
constexpr int ARROW_ANSWER_MS = 8000;
constexpr int BUTTON_ANSWER_MS = 15000;
constexpr int PRESS_TRIES = 4;

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  bool Contains(int px, int py) const { return w > 0 && px >= x && px < x + w && py >= y && py < y + h; }
};

bool ParseRect(const char* text, Rect& r) { return std::sscanf(text, "%d,%d,%d,%d", &r.x, &r.y, &r.w, &r.h) == 4; }

// X errors (a window read while it is being remapped) fail the one call instead of ending the run.
int OnXError(Display*, XErrorEvent* e) {
  std::fprintf(stderr, "t4_menu_keys: X error %d (request %d)\n", e->error_code, e->request_code);
  return 0;
}

class Screen {
 public:
  explicit Screen(Window window) : m_Window(window) {
    XSetErrorHandler(OnXError);
    m_lpDisplay = XOpenDisplay(nullptr);
  }
  ~Screen() {
    if (m_lpDisplay) XCloseDisplay(m_lpDisplay);
  }
  bool Open() const { return m_lpDisplay != nullptr; }

  // A hash of the window's pixels inside `area` (the whole window when empty), without the mask.
  bool Hash(const Rect& area, uint64_t& out) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(m_lpDisplay, m_Window, &a)) {
      std::fprintf(stderr, "t4_menu_keys: the window cannot be read\n");
      return false;
    }
    XImage* image = XGetImage(m_lpDisplay, m_Window, 0, 0, static_cast<unsigned>(a.width),
                              static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (!image) {
      std::fprintf(stderr, "t4_menu_keys: no picture of the window\n");
      return false;
    }
    const Rect all{0, 0, a.width, a.height};
    const Rect& r = area.w > 0 ? area : all;
    uint64_t h = 14695981039346656037ull;
    for (int y = r.y; y < r.y + r.h && y < a.height; ++y) {
      for (int x = r.x; x < r.x + r.w && x < a.width; ++x) {
        if (m_Mask.Contains(x, y)) continue;
        h = (h ^ XGetPixel(image, x, y)) * 1099511628211ull;
      }
    }
    XDestroyImage(image);
    out = h;
    return true;
  }
  bool Hash(uint64_t& out) { return Hash(Rect{}, out); }

  // Waits until the picture differs from `before`, for at most `limit`.
  bool WaitChange(uint64_t before, int limitMs) {
    const int64_t end = NowMs() + limitMs;
    uint64_t now = before;
    while (NowMs() < end) {
      if (Hash(now) && now != before) return true;
      SleepMs(5);
    }
    return false;
  }

  // Waits until the picture has not changed for STILL_MS; the settled hash in `out`.
  bool Settle(uint64_t& out) {
    const int64_t end = NowMs() + SETTLE_LIMIT_MS;
    uint64_t last = 0;
    if (!Hash(last)) return false;
    int64_t since = NowMs();
    while (NowMs() < end) {
      SleepMs(10);
      uint64_t now = 0;
      if (!Hash(now)) return false;
      if (now != last) {
        last = now;
        since = NowMs();
      } else if (NowMs() - since >= STILL_MS) {
        out = last;
        return true;
      }
    }
    std::fprintf(stderr, "t4_menu_keys: the picture kept changing for %d s\n", SETTLE_LIMIT_MS / 1000);
    return false;
  }

  void SetMask(const Rect& r) { m_Mask = r; }

  bool Focused() {
    Window focus = 0;
    int revert = 0;
    XGetInputFocus(m_lpDisplay, &focus, &revert);
    return focus == m_Window;
  }

 private:
  Display* m_lpDisplay = nullptr;
  Window m_Window;
  Rect m_Mask;
};

bool Xdotool(const char* verb, const std::string& key) {
  const char* argv[] = {"xdotool", verb, key.c_str(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return false;
  int status = 0;
  return waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool IsArrow(const std::string& key) { return key == "Up" || key == "Down" || key == "Left" || key == "Right"; }

// Sends `key` and waits for the screen to answer; a key that got no answer is sent again.
bool Press(Screen& screen, const std::string& key) {
  uint64_t before = 0;
  if (!screen.Settle(before)) {
    std::fprintf(stderr, "t4_menu_keys: the screen did not settle before %s\n", key.c_str());
    return false;
  }
  const bool arrow = IsArrow(key);
  for (int attempt = 1; attempt <= PRESS_TRIES; ++attempt) {
    if (!Xdotool("keydown", key)) return false;
    bool answered = false;
    if (arrow) {
      // Held for fewer frames than the menus' key repeat needs, however fast the game catches up
      // on a late frame, then let go before the answer is looked for.
      SleepMs(ARROW_HOLD_MS);
      Xdotool("keyup", key);
      answered = screen.WaitChange(before, ARROW_ANSWER_MS);
    } else {
      // A button acts once however long it is held: held until the screen answers.
      answered = screen.WaitChange(before, BUTTON_ANSWER_MS);
      Xdotool("keyup", key);
      // An answer that came as the key was let go counts.
      answered = answered || screen.WaitChange(before, 500);
    }
    if (answered) return true;
    std::fprintf(stderr, "t4_menu_keys: no answer to %s (try %d; %s)\n", key.c_str(), attempt,
                 screen.Focused() ? "the window has the focus" : "the window has lost the focus");
  }
  return false;
}

int Drive(Window window, int argc, char** argv) {
  Screen screen(window);
  if (!screen.Open()) {
    std::fprintf(stderr, "t4_menu_keys: no X display\n");
    return 1;
  }
  for (int i = 0; i < argc; ++i) {
    const std::string step = argv[i];
    if (step == "settle") {
      uint64_t h = 0;
      if (!screen.Settle(h)) {
        std::fprintf(stderr, "t4_menu_keys: the screen did not settle (step %d)\n", i + 1);
        return 1;
      }
    } else if (step.rfind("mask=", 0) == 0) {
      Rect r;
      if (step.size() > 5 && !ParseRect(step.c_str() + 5, r)) return 2;
      screen.SetMask(r);
    } else if (step.rfind("hash=", 0) == 0) {
      Rect r;
      uint64_t settled = 0;
      uint64_t h = 0;
      if (!ParseRect(step.c_str() + 5, r) || !screen.Settle(settled) || !screen.Hash(r, h)) return 1;
      std::printf("hash %s %016llx\n", step.c_str() + 5, static_cast<unsigned long long>(h));
      std::fflush(stdout);
    } else if (!Press(screen, step)) {
      std::fprintf(stderr, "t4_menu_keys: step %d (%s) got no answer\n", i + 1, step.c_str());
      return 1;
    }
  }
  uint64_t h = 0;
  return screen.Settle(h) ? 0 : 1;
}

// The stage file `from` saved as `to`: the star on the hero's cell, no captions, no result display.
bool WriteQuickStage(const char* from, const char* to) {
  cStage stage;
  if (!stage.LoadFromFile(from)) return false;
  const int hero = stage.FindPlayerPlacement();
  if (hero < 0 || stage.m_ItemPlaces.empty()) return false;
  // The star is the last item placed; the first is what the characters carry.
  cItemDef& star = stage.m_ItemPlaces.At(static_cast<int>(stage.m_ItemPlaces.size()) - 1);
  star.m_sBlockX = stage.m_CharaPlaces.At(hero).m_sBlockX;
  star.m_sBlockY = stage.m_CharaPlaces.At(hero).m_sBlockY;
  stage.m_nShowStageCaption = 0;
  stage.m_nShowStartCaption = 0;
  stage.m_nShowClearCaption = 0;
  stage.m_nAutoEnd = 1;
  return stage.SaveToFile(to) != 0;
}

int Prepare(const char* dir) {
  if (chdir(dir) != 0) return 1;
  const char* meadow = "data\\stg4\\demo1-1.stg4_001";
  if (!WriteQuickStage(meadow, "data\\stg4\\c01-1.stg4_001") || !WriteQuickStage(meadow, meadow)) {
    std::fprintf(stderr, "t4_menu_keys: the stage files could not be written\n");
    return 1;
  }
  std::error_code ec;
  std::filesystem::remove("data/stg4/demo1-2.stg4_001", ec);
  std::filesystem::create_directories("user_data/challenge", ec);
  if (!g_SystemData.LoadFromFile(g_Paths[PATH_SYSTEM_DATA])) return 1;
  cSaveData records;
  records.Reset(g_SystemData.m_nChallengeCount);
  records.m_ChallengeResults.At(1).m_bCleared = 1;
  records.m_ChallengeResults.At(1).m_nBest = 1200;
  records.m_nWorldTotal = 1200;
  records.m_nChallengeOpen = 2;
  return records.SaveChallenge() ? 0 : 1;
}

int Caption(const char* dir, const char* text) {
  if (chdir(dir) != 0 || !g_SystemData.LoadFromFile(g_Paths[PATH_SYSTEM_DATA])) return 1;
  if (g_SystemData.m_TitleMenu.empty()) return 1;
  g_SystemData.m_TitleMenu.At(0).m_strCaption = text;
  return g_SystemData.SaveToFile(g_Paths[PATH_SYSTEM_DATA]) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "prepare") == 0) return Prepare(argv[2]);
  if (argc == 4 && std::strcmp(argv[1], "caption") == 0) return Caption(argv[2], argv[3]);
  if (argc >= 3 && std::strcmp(argv[1], "drive") == 0)
    return Drive(static_cast<Window>(std::strtoul(argv[2], nullptr, 0)), argc - 3, argv + 3);
  std::fprintf(stderr,
               "usage: t4_menu_keys prepare PROJECT_DIR | caption PROJECT_DIR TEXT | drive WINDOW_ID STEP...\n");
  return 2;
}
