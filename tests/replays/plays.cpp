#include "replays/plays.h"

#include <boost/make_shared.hpp>

#include "data/stage.h"

namespace t4::test {

namespace {

// Runs on with `rounds` rounds of a shot, a jump and a stretch of walking in `dir`.
void RunAndGun(std::vector<Step>& steps, int rounds, int16_t dir) {
  for (int i = 0; i < rounds; ++i) {
    steps.push_back(Hold(1, dir, SHOT));
    steps.push_back(Hold(9 + i % 4, dir));
    steps.push_back(Hold(6 + i % 3, dir, JUMP));
    steps.push_back(Hold(14 + i % 5, dir));
  }
}

// Walks in `dir` with a shot every 12 frames.
void Shoot(std::vector<Step>& steps, int shots, int16_t dir) {
  for (int i = 0; i < shots; ++i) {
    steps.push_back(Hold(1, dir, SHOT));
    steps.push_back(Hold(11, dir));
  }
}

// The demo draws no random number; this variant of a stage scatters every shot's direction, so
// that what the play does hangs on the random numbers: the hero's shots and the knights' throws.
void ScatterShots(cStage& stage) {
  for (cCharaDef& c : stage.m_CharaPlaces)
    for (cFlow& flow : c.m_Flows)
      for (cFlowCommand& cmd : flow.m_Cmds)
        if (cmd.m_pShot) {
          cmd.m_pShot = boost::make_shared<cEdShot>(*cmd.m_pShot);
          cmd.m_pShot->m_sSpread = 30;
        }
}

std::vector<Play> MakePlays() {
  std::vector<Play> plays;
  {
    // Falls into the spikes, starts again, pauses and plays on with scattered shots.
    Play p{"demo1-1_retry", "data\\stg4\\demo1-1.stg4", 1000, &ScatterShots, true, {}};
    RunAndGun(p.steps, 2, RIGHT);
    p.steps.push_back(UntilRetry(600, RIGHT));
    p.steps.push_back(Save("demo1-1_fall", true));
    RunAndGun(p.steps, 2, RIGHT);
    p.steps.push_back(Pause(24));
    RunAndGun(p.steps, 2, LEFT);
    RunAndGun(p.steps, 2, RIGHT);
    RunAndGun(p.steps, 1, LEFT);
    p.steps.push_back(Hold(30, 0));
    p.steps.push_back(Save("demo1-1_pause"));
    p.recheck = true;
    plays.push_back(p);
  }
  {
    // Back and forth on the first stretch of ground, before its spikes.
    Play p{"demo1-2", "data\\stg4\\demo1-2.stg4", 4321, nullptr, false, {}};
    for (int i = 0; i < 6; ++i) {
      RunAndGun(p.steps, 1, RIGHT);
      RunAndGun(p.steps, 1, LEFT);
    }
    p.steps.push_back(Save("demo1-2"));
    plays.push_back(p);
  }
  {
    // Over the bricks in the cave and back.
    Play p{"demo2-1", "data\\stg4\\demo2-1.stg4", 4321, nullptr, false, {}};
    RunAndGun(p.steps, 3, RIGHT);
    for (int i = 0; i < 4; ++i) {
      RunAndGun(p.steps, 1, LEFT);
      RunAndGun(p.steps, 1, RIGHT);
    }
    p.steps.push_back(Save("demo2-1"));
    plays.push_back(p);
  }
  {
    // The coin meadow from start to star: two jumps over spikes, shooting the slimes on the way.
    Play p{"c01-1", "data\\stg4\\c01-1.stg4", 2500, nullptr, false, {}};
    Shoot(p.steps, 10, RIGHT);
    p.steps.push_back(Hold(30, RIGHT, JUMP));
    p.steps.push_back(Hold(20, RIGHT));
    Shoot(p.steps, 9, RIGHT);
    p.steps.push_back(Hold(4, RIGHT));
    p.steps.push_back(Hold(30, RIGHT, JUMP));
    p.steps.push_back(Hold(20, RIGHT));
    // Up against the brick under the star, then up and over onto it.
    Shoot(p.steps, 5, RIGHT);
    p.steps.push_back(Hold(8, RIGHT, JUMP));
    p.steps.push_back(UntilClear(200, RIGHT));
    p.steps.push_back(Save("c01-1"));
    p.recheck = true;
    plays.push_back(p);
  }
  {
    // The boss hall: into the middle, then shooting while the boss speaks, paces, hops and throws.
    Play p{"c03-1", "data\\stg4\\c03-1.stg4", 7777, nullptr, false, {}};
    Shoot(p.steps, 13, RIGHT);
    Shoot(p.steps, 30, 0);
    p.steps.push_back(Save("c03-1"));
    plays.push_back(p);
  }
  {
    // The garden over the clouds: past the signpost to the lift, onto it and over the spikes.
    Play p{"demo3-1", "data\\stg4\\demo3-1.stg4", 31337, nullptr, false, {}};
    Shoot(p.steps, 7, RIGHT);
    p.steps.push_back(Hold(210, 0));
    p.steps.push_back(Hold(14, RIGHT));
    p.steps.push_back(Hold(140, 0));
    p.steps.push_back(Hold(16, RIGHT, JUMP));
    p.steps.push_back(Hold(30, RIGHT));
    Shoot(p.steps, 6, 0);
    p.steps.push_back(Save("demo3-1"));
    plays.push_back(p);
  }
  {
    // The castle: past its signpost to the edge before the lift and back, shooting at the slime.
    Play p{"demo4-1", "data\\stg4\\demo4-1.stg4", 4004, nullptr, false, {}};
    Shoot(p.steps, 9, RIGHT);
    Shoot(p.steps, 6, LEFT);
    Shoot(p.steps, 10, 0);
    p.steps.push_back(Save("demo4-1"));
    plays.push_back(p);
  }
  return plays;
}

}  // namespace

Step Hold(int frames, int16_t dir, int16_t buttons) { return Step{Step::HOLD, frames, dir, buttons, false, ""}; }
Step UntilRetry(int limit, int16_t dir, int16_t buttons) {
  return Step{Step::UNTIL_RETRY, limit, dir, buttons, false, ""};
}
Step UntilClear(int limit, int16_t dir, int16_t buttons) {
  return Step{Step::UNTIL_CLEAR, limit, dir, buttons, false, ""};
}
Step Pause(int menuFrames) { return Step{Step::PAUSE, menuFrames, 0, 0, false, ""}; }
Step Save(const std::string& file, bool previous) { return Step{Step::SAVE, 0, 0, 0, previous, file}; }

const std::vector<Play>& SuitePlays() {
  static const std::vector<Play> plays = MakePlays();
  return plays;
}

std::vector<std::string> SuiteReplays() {
  std::vector<std::string> names;
  for (const Play& p : SuitePlays())
    for (const Step& s : p.steps)
      if (s.kind == Step::SAVE) names.push_back(s.file);
  return names;
}

}  // namespace t4::test
