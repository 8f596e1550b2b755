// A headless run whose stage holds the game thread in a presentation from its first frame: the
// frames the presentation shows count toward --frames, and the close that the limit sends ends
// the presentation and the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "data/flow_kinds.h"
#include "data/stage.h"
#include "program_runner.h"

namespace t4::test {
namespace {

// Item-command kinds of the game wait and the message.
constexpr int8_t ITEM_GAME_WAIT = CMD_GAME_WAIT - CMD_STAGE_CLEAR + 2;
constexpr int8_t ITEM_MESSAGE = CMD_MESSAGE - CMD_STAGE_CLEAR + 2;
// Message parameters: duration 0 waits for a key; 8 is the freeze switch.
constexpr int MESSAGE_FREEZE = 8;

class CloseDuringPresentation : public ProgramRun {
 protected:
  // The demo's signpost moved onto the hero's start, its command replaced by `kind` with `params`:
  // the hero touches it on the first frame of play.
  void WriteStage(int8_t kind, std::vector<int32_t> params) {
    cStage stage;
    ASSERT_TRUE(stage.LoadFromFile((project.Path() / "data/stg4/demo3-1.stg4_001").string().c_str()));
    const cCharaDef* hero = nullptr;
    for (const cCharaDef& c : stage.m_CharaPlaces)
      if (c.m_cController == 0) hero = &c;
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
  std::vector<int32_t> message(19, 0);
  message[MESSAGE_FREEZE] = 1;
  const struct {
    const char* name;
    int8_t kind;
    std::vector<int32_t> params;
  } cases[] = {
      {"a message waiting for a key", ITEM_MESSAGE, message},
      {"a game wait of a whole day", ITEM_GAME_WAIT, {24 * 60 * 60 * 10}},
  };
  for (const auto& c : cases) {
    WriteStage(c.kind, c.params);
    // Bounded: before the frames of the wait were counted, the run never ended.
    EXPECT_EQ(Run("--headless --test-play data/stg4/hold.stg4_001 --frames 90", "timeout -s KILL 30"), 0)
        << c.name << "\n" << Stderr();
  }
}

}  // namespace
}  // namespace t4::test
