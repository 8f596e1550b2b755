// Helper of the end-to-end menu test under a private X server.
//
//   t4_menu_keys prepare PROJECT_DIR
//     Makes the copy of the demo quick to play through: the first challenge stage becomes the
//     meadow's first stage with its star on the hero's own cell and without captions or result
//     display, so it is cleared on its first frame of play and leaves by itself. The challenge
//     record gets the second stage cleared with 1200.
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
//       rows=X,Y,W,H,PITCH,N     where the menu's cursor shows: the rectangle of row 0, and the
//                                rows below it PITCH dots apart; the row whose rectangle differs
//                                from all the others is the cursor's
//       at=R                     the cursor must be on row R
//       Up:R Down:R              arrows until the cursor is on row R: a key the game took twice
//                                (its key repeat counts frames, and a stalled game runs missed
//                                frames back to back) is undone with the other arrow
//       toggle=X,Y,W,H,KEY       KEY until that rectangle shows something other than before (a
//                                two-valued setting that went round is pressed on)
//       settle                   waits until the picture has stayed the same for a while
//       mask=X,Y,W,H | mask=     leaves a rectangle out of every comparison
//       hash=X,Y,W,H             prints "hash X,Y,W,H VALUE" of that rectangle
//     Before every key the screen is left to settle. Keys go through xdotool (the X test
//     extension). A step that fails ends the run with 1 and a line that names the step and what
//     the screen showed; a window that is gone is said so, never reported as an X error.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
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
// How often the window is looked at while waiting: often enough for a key's answer, seldom enough
// to leave the machine to the game.
constexpr int POLL_MS = 40;
// An arrow is held this long: long enough for a frame of a busy game to see it, too short for the
// key repeat (18 frames at most 60 a second) unless the game stalls meanwhile. A press the game
// missed gets no answer and is sent again after ARROW_ANSWER_MS; a button is held until the
// screen answers, for at most BUTTON_ANSWER_MS before it is let go and pressed again (its release
// may not have been seen).
constexpr int ARROW_HOLD_MS = 60;
constexpr int ARROW_ANSWER_MS = 8000;
constexpr int BUTTON_ANSWER_MS = 15000;
constexpr int PRESS_TRIES = 4;
// Arrows one cursor move may take, corrections included: a game that stalls while an arrow is
// down runs the missed frames with it held, and its key repeat may move the cursor on.
constexpr int MOVE_TRIES = 12;

struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  bool Contains(int px, int py) const { return w > 0 && px >= x && px < x + w && py >= y && py < y + h; }
};

bool ParseRect(const char* text, Rect& r) { return std::sscanf(text, "%d,%d,%d,%d", &r.x, &r.y, &r.w, &r.h) == 4; }

// The X errors of a read (a window that is gone, or being remapped) only make that read fail;
// the step that needed it says what happened.
int g_nXErrors = 0;
int OnXError(Display*, XErrorEvent*) {
  ++g_nXErrors;
  return 0;
}

// Where a menu draws its cursor: row i's rectangle is `first` moved down by i * nPitch.
struct Rows {
  Rect first;
  int nPitch = 0;
  int nCount = 0;
};

class Screen {
 public:
  explicit Screen(Window window) : m_Window(window) {
    XSetErrorHandler(OnXError);
    m_lpDisplay = XOpenDisplay(nullptr);
  }
  ~Screen() {
    if (m_lpDisplay) XCloseDisplay(m_lpDisplay);
  }
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;
  bool Open() const { return m_lpDisplay != nullptr; }
  // Why the last read failed.
  const std::string& Problem() const { return m_strProblem; }

  // A hash of the window's pixels inside `area` (the whole window when empty), without the mask.
  bool Hash(const Rect& area, uint64_t& out) {
    const std::vector<Rect> one{area};
    std::vector<uint64_t> hashes;
    if (!Hashes(one, hashes)) return false;
    out = hashes.front();
    return true;
  }
  bool Hash(uint64_t& out) { return Hash(Rect{}, out); }

  // The hashes of several rectangles of one capture.
  bool Hashes(const std::vector<Rect>& areas, std::vector<uint64_t>& out) {
    XWindowAttributes a;
    const int errors = g_nXErrors;
    if (!XGetWindowAttributes(m_lpDisplay, m_Window, &a) || g_nXErrors != errors) {
      m_strProblem = "the window is gone (the program has closed it)";
      return false;
    }
    XImage* image = XGetImage(m_lpDisplay, m_Window, 0, 0, static_cast<unsigned>(a.width),
                              static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
    if (!image) {
      m_strProblem = "the window could not be captured (it is not mapped)";
      return false;
    }
    out.clear();
    const Rect all{0, 0, a.width, a.height};
    // The pixels are read straight from the image where they are 32-bit words: the helper runs
    // beside a busy game and must take little of the machine itself.
    const bool words = image->bits_per_pixel == 32;
    for (const Rect& area : areas) {
      const Rect& r = area.w > 0 ? area : all;
      uint64_t h = 14695981039346656037ull;
      for (int y = std::max(r.y, 0); y < r.y + r.h && y < a.height; ++y) {
        const auto* row =
            reinterpret_cast<const uint32_t*>(image->data + static_cast<ptrdiff_t>(y) * image->bytes_per_line);
        for (int x = std::max(r.x, 0); x < r.x + r.w && x < a.width; ++x) {
          if (m_Mask.Contains(x, y)) continue;
          const uint64_t pixel = words ? (row[x] & 0xFFFFFFu) : XGetPixel(image, x, y);
          h = (h ^ pixel) * 1099511628211ull;
        }
      }
      out.push_back(h);
    }
    XDestroyImage(image);
    return true;
  }

  // Waits until the picture differs from `before`, for at most `limit`.
  bool WaitChange(uint64_t before, int limitMs) {
    const int64_t end = NowMs() + limitMs;
    uint64_t now = before;
    while (NowMs() < end) {
      if (Hash(now) && now != before) return true;
      SleepMs(POLL_MS);
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
      SleepMs(POLL_MS);
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
    m_strProblem = "the picture kept changing for " + std::to_string(SETTLE_LIMIT_MS / 1000) + " s";
    return false;
  }

  // The row of the settled picture whose rectangle differs from every other row's, which all
  // look alike; -1 (and what the rows showed in Problem()) when there is no such row.
  int CursorRow(const Rows& rows, uint64_t& settled) {
    if (!Settle(settled)) return -1;
    std::vector<Rect> cells;
    for (int i = 0; i < rows.nCount; ++i)
      cells.push_back(Rect{rows.first.x, rows.first.y + rows.nPitch * i, rows.first.w, rows.first.h});
    std::vector<uint64_t> h;
    if (!Hashes(cells, h)) return -1;
    int found = -1;
    for (int i = 0; i < rows.nCount; ++i) {
      int same = 0;
      for (int j = 0; j < rows.nCount; ++j) same += j != i && h[j] == h[i];
      if (same > 0) continue;
      if (found >= 0) {
        found = -2;
        break;
      }
      found = i;
    }
    if (found >= 0) {
      // The others must agree with each other: otherwise this is not the menu.
      const uint64_t other = h[found == 0 ? 1 : 0];
      for (int j = 0; j < rows.nCount; ++j)
        if (j != found && h[j] != other) found = -2;
    }
    if (found < 0) {
      m_strProblem = "no cursor in the menu's rows (another screen shows, or the rows differ among themselves)";
      return -1;
    }
    return found;
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
  std::string m_strProblem;
};

// An xdotool that has not ended after this long is stuck (its X server gone or hung): killed, and
// the key counts as not sent.
constexpr int XDOTOOL_LIMIT_MS = 60000;

bool RunXdotool(const char* const* argv) {
  pid_t pid = 0;
  if (posix_spawnp(&pid, "xdotool", nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) return false;
  int status = 0;
  const int64_t end = NowMs() + XDOTOOL_LIMIT_MS;
  pid_t ended = 0;
  while ((ended = waitpid(pid, &status, WNOHANG)) == 0) {
    if (NowMs() >= end) {
      std::fprintf(stderr, "t4_menu_keys: xdotool %s did not end within %d s\n", argv[1], XDOTOOL_LIMIT_MS / 1000);
      kill(pid, SIGKILL);
      waitpid(pid, &status, 0);
      return false;
    }
    SleepMs(10);
  }
  return ended == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool Xdotool(const char* verb, const std::string& key) {
  const char* argv[] = {"xdotool", verb, key.c_str(), nullptr};
  return RunXdotool(argv);
}

// Presses `key` and lets it go ARROW_HOLD_MS later, both from one xdotool: starting a second
// process for the release can take seconds on a starved machine, and the game would count the
// key held all that while.
bool Tap(const std::string& key) {
  const std::string hold = std::to_string(ARROW_HOLD_MS / 1000.0);
  const char* argv[] = {"xdotool", "keydown", key.c_str(), "sleep", hold.c_str(), "keyup", key.c_str(), nullptr};
  return RunXdotool(argv);
}

bool IsArrow(const std::string& key) { return key == "Up" || key == "Down" || key == "Left" || key == "Right"; }

// Sends `key` and waits for the screen to answer; a key that got no answer is sent again. False
// with the reason in `why`. `settled`: the hash of the screen just seen settled, or null when the
// screen is first to settle.
bool Press(Screen& screen, const std::string& key, std::string& why, const uint64_t* settled = nullptr) {
  uint64_t before = settled ? *settled : 0;
  if (!settled && !screen.Settle(before)) {
    why = "before " + key + ": " + screen.Problem();
    return false;
  }
  const bool arrow = IsArrow(key);
  for (int attempt = 1; attempt <= PRESS_TRIES; ++attempt) {
    if (!(arrow ? Tap(key) : Xdotool("keydown", key))) {
      why = "xdotool could not press " + key;
      return false;
    }
    bool answered = false;
    if (arrow) {
      // Held for fewer frames than the menus' key repeat needs, and let go before the answer is
      // looked for.
      answered = screen.WaitChange(before, ARROW_ANSWER_MS);
    } else {
      // A button acts once however long it is held: held until the screen answers.
      answered = screen.WaitChange(before, BUTTON_ANSWER_MS);
      Xdotool("keyup", key);
      // An answer that came as the key was let go counts.
      answered = answered || screen.WaitChange(before, 500);
    }
    if (answered) return true;
    uint64_t now = 0;
    if (!screen.Hash(now)) {
      why = screen.Problem();
      return false;
    }
    std::fprintf(stderr, "t4_menu_keys: no answer to %s (try %d; %s)\n", key.c_str(), attempt,
                 screen.Focused() ? "the window has the focus" : "the window has lost the focus");
  }
  why = "the screen did not change after " + std::to_string(PRESS_TRIES) + " presses of " + key;
  return false;
}

// Arrows until the cursor is on row `target`; every move is checked, one too far is undone.
bool MoveTo(Screen& screen, const Rows& rows, int target, std::string& why) {
  if (rows.nCount < 3 || target < 0 || target >= rows.nCount) {
    why = "no rows= step before it, or row " + std::to_string(target) + " is not one of them";
    return false;
  }
  int last = 0;  // the arrow pressed last: 1 down, -1 up
  for (int presses = 0;; ++presses) {
    uint64_t settled = 0;
    const int row = screen.CursorRow(rows, settled);
    if (row < 0) {
      why = screen.Problem();
      return false;
    }
    if (row == target) return true;
    if (presses == MOVE_TRIES) {
      why = "the cursor is on row " + std::to_string(row) + " after " + std::to_string(presses) + " arrows";
      return false;
    }
    if ((last > 0 && row > target) || (last < 0 && row < target))
      std::fprintf(stderr, "t4_menu_keys: the cursor went past row %d to row %d; taken back\n", target, row);
    last = row < target ? 1 : -1;
    if (!Press(screen, last > 0 ? "Down" : "Up", why, &settled)) return false;
  }
}

// KEY until `area` shows something other than it did before the first press.
bool Toggle(Screen& screen, const Rect& area, const std::string& key, std::string& why) {
  uint64_t settled = 0;
  uint64_t before = 0;
  if (!screen.Settle(settled) || !screen.Hash(area, before)) {
    why = screen.Problem();
    return false;
  }
  for (int presses = 0; presses < MOVE_TRIES; ++presses) {
    uint64_t now = 0;
    if (!Press(screen, key, why, &settled) || !screen.Settle(settled) || !screen.Hash(area, now)) {
      if (why.empty()) why = screen.Problem();
      return false;
    }
    if (now != before) return true;
    std::fprintf(stderr, "t4_menu_keys: the value went round after %s; pressed again\n", key.c_str());
  }
  why = "the value shows as before after " + std::to_string(MOVE_TRIES) + " presses of " + key;
  return false;
}

// One step of a drive; false with the reason in `why`.
bool Step(Screen& screen, Rows& rows, const std::string& step, std::string& why) {
  uint64_t settled = 0;
  if (step == "settle") {
    if (screen.Settle(settled)) return true;
    why = screen.Problem();
    return false;
  }
  if (step.rfind("mask=", 0) == 0) {
    Rect r;
    if (step.size() > 5 && !ParseRect(step.c_str() + 5, r)) {
      why = "a mask is X,Y,W,H";
      return false;
    }
    screen.SetMask(r);
    return true;
  }
  if (step.rfind("hash=", 0) == 0) {
    Rect r;
    uint64_t h = 0;
    if (!ParseRect(step.c_str() + 5, r)) {
      why = "a hash rectangle is X,Y,W,H";
      return false;
    }
    if (!screen.Settle(settled) || !screen.Hash(r, h)) {
      why = screen.Problem();
      return false;
    }
    std::printf("hash %s %016llx\n", step.c_str() + 5, static_cast<unsigned long long>(h));
    std::fflush(stdout);
    return true;
  }
  if (step.rfind("rows=", 0) == 0) {
    Rect& f = rows.first;
    if (std::sscanf(step.c_str() + 5, "%d,%d,%d,%d,%d,%d", &f.x, &f.y, &f.w, &f.h, &rows.nPitch, &rows.nCount) == 6)
      return true;
    why = "rows are X,Y,W,H,PITCH,COUNT";
    return false;
  }
  if (step.rfind("at=", 0) == 0) return MoveTo(screen, rows, std::atoi(step.c_str() + 3), why);
  if (step.rfind("Up:", 0) == 0 || step.rfind("Down:", 0) == 0)
    return MoveTo(screen, rows, std::atoi(step.c_str() + step.find(':') + 1), why);
  if (step.rfind("toggle=", 0) == 0) {
    Rect r;
    char key[32] = "";
    if (std::sscanf(step.c_str() + 7, "%d,%d,%d,%d,%31s", &r.x, &r.y, &r.w, &r.h, key) != 5) {
      why = "a toggle is X,Y,W,H,KEY";
      return false;
    }
    return Toggle(screen, r, key, why);
  }
  return Press(screen, step, why);
}

int Drive(Window window, int argc, char** argv) {
  Screen screen(window);
  if (!screen.Open()) {
    std::fprintf(stderr, "t4_menu_keys: no X display\n");
    return 1;
  }
  Rows rows;
  for (int i = 0; i < argc; ++i) {
    std::string why;
    if (!Step(screen, rows, argv[i], why)) {
      std::fprintf(stderr, "t4_menu_keys: step %d (%s): %s\n", i + 1, argv[i], why.c_str());
      return 1;
    }
  }
  uint64_t h = 0;
  if (screen.Settle(h)) return 0;
  std::fprintf(stderr, "t4_menu_keys: after the last step: %s\n", screen.Problem().c_str());
  return 1;
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
  if (!WriteQuickStage("data\\stg4\\demo1-1.stg4_001", "data\\stg4\\c01-1.stg4_001")) {
    std::fprintf(stderr, "t4_menu_keys: the stage file could not be written\n");
    return 1;
  }
  std::error_code ec;
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

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "prepare") == 0) return Prepare(argv[2]);
  if (argc >= 3 && std::strcmp(argv[1], "drive") == 0)
    return Drive(static_cast<Window>(std::strtoul(argv[2], nullptr, 0)), argc - 3, argv + 3);
  std::fprintf(stderr, "usage: t4_menu_keys prepare PROJECT_DIR | drive WINDOW_ID STEP...\n");
  return 2;
}
