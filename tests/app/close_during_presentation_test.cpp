// Runs whose stage holds the game thread in a presentation from its first frame. Headless: the
// frames the presentation shows count toward --frames, and the close that the limit sends ends
// the presentation and the program. In a window: Escape does the same.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/flow_kinds.h"
#include "data/stage.h"
#include "program_runner.h"
#include "support/xvfb.h"

namespace t4::test {
namespace {

// Item-command kinds of the game wait and the message.
constexpr int8_t ITEM_GAME_WAIT = CMD_GAME_WAIT - CMD_STAGE_CLEAR + 2;
constexpr int8_t ITEM_MESSAGE = CMD_MESSAGE - CMD_STAGE_CLEAR + 2;
// Message parameters: duration 0 waits for a key; 8 is the freeze switch.
constexpr int MESSAGE_FREEZE = 8;

std::vector<int32_t> MessageWaitingForAKey() {
  std::vector<int32_t> params(19, 0);
  params[MESSAGE_FREEZE] = 1;
  return params;
}

// The presentations a stage can hold the game thread in from its first frame of play.
struct Presentation {
  const char* name;
  int8_t kind;
  std::vector<int32_t> params;
};
std::vector<Presentation> Presentations() {
  return {{"a message waiting for a key", ITEM_MESSAGE, MessageWaitingForAKey()},
          {"a game wait of a whole day", ITEM_GAME_WAIT, {24 * 60 * 60 * 10}}};
}

class CloseDuringPresentation : public ProgramRun {
 protected:
  // The demo's signpost moved onto the hero's start, its command replaced by `kind` with `params`:
  // the hero touches it on the first frame of play.
  void WriteStage(int8_t kind, std::vector<int32_t> params) {
    cStage stage;
    const cCharaDef* hero = LoadSignpostStage(stage);
    ASSERT_NE(hero, nullptr);
    bool placed = false;
    for (cItemDef& item : stage.m_ItemPlaces) {
      if (placed || item.m_Cmds.empty() || item.m_Cmds.At(0).m_strText.empty()) continue;
      cFlowCommand& cmd = item.m_Cmds.At(0);
      cmd.m_cKind = kind;
      cmd.m_Params.assign(params.begin(), params.end());
      item.m_sBlockX = hero->m_sBlockX;
      item.m_sBlockY = hero->m_sBlockY;
      placed = true;
    }
    ASSERT_TRUE(placed);
    ASSERT_TRUE(stage.SaveToFile((project.Path() / "data/stg4/hold.stg4_001").string().c_str()));
  }
};

TEST_F(CloseDuringPresentation, TheFrameLimitEndsAWaitThatWouldNeverEnd) {
  for (const Presentation& c : Presentations()) {
    WriteStage(c.kind, c.params);
    // Bounded: before the frames of the wait were counted, the run never ended.
    EXPECT_EQ(Run("--headless --test-play data/stg4/hold.stg4_001 --frames 90", "timeout -s KILL 30"), 0)
        << c.name << "\n"
        << Stderr();
  }
}

TEST_F(CloseDuringPresentation, OneEscapeInAWindowEndsTheProgramDuringAPresentation) {
  if (std::system("command -v Xvfb > /dev/null && command -v xdotool > /dev/null") != 0)
    GTEST_SKIP() << "Xvfb or xdotool is not installed";
  Xvfb x(800, 600);
  ASSERT_FALSE(x.Display().empty()) << x.Status();
  const std::string dir = project.Path().string();
  // Once the presentation has had time to start (the hero stands on the signpost from the first
  // frame of play), one Escape goes to the focused window through the X test extension: it alone
  // must end the program. A close that only ends the presentation leaves the stage running,
  // killed after a minute. Only a shown window is taken, and it is looked up again until the key
  // reaches it: a busy machine can show a window found early under another id by then.
  const std::string script =
      "p=$1; d=$2; SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 timeout -s KILL 60 \"$p\" "
      "--test-play data/stg4/hold.stg4_001 \"$d\" 2> \"$d/stderr.txt\" > /dev/null & pid=$!; "
      "look() { id=$(xdotool search --onlyvisible --class tarnwick4 2> /dev/null | head -n 1); }; "
      "for i in $(seq 120); do look; [ -n \"$id\" ] && break; kill -0 $pid 2> /dev/null || break; sleep 0.25; done; "
      "sleep 4; "
      "for i in $(seq 40); do "
      "  look; [ -n \"$id\" ] && xdotool windowfocus \"$id\" key Escape 2> /dev/null && break; "
      "  kill -0 $pid 2> /dev/null || break; sleep 0.25; "
      "done; "
      "wait $pid";
  const std::string command = "DISPLAY=" + x.Display() + " TARNWICK4_LOCK_DIR='" + dir + "' sh -c '" + script +
                              "' sh '" T4_PROGRAM "' '" + dir + "'";
  for (const Presentation& c : Presentations()) {
    WriteStage(c.kind, c.params);
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << c.name << ": status " << status << "\n" << Stderr();
  }
}

}  // namespace
}  // namespace t4::test
