// One step of a flow's key-input condition against the input's key histories: the three ways its
// keys combine (all of them, any of them, exactly one), both for the history match and for the
// check of this frame alone, and mirrored directions for a character facing left.
#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "data/flow.h"
#include "flow/flow_trigger.h"
#include "stage/chara_base.h"
#include "stage/input.h"

namespace t4::test {
namespace {

constexpr int8_t MODE_ALL = 0, MODE_ANY = 1, MODE_ONE = 2;
// Key patterns: 1 left, 2 right, 3 up, 4 down, 5 up-left, 6 down-left, 7 up-right, 8 down-right,
// 11 and 12 buttons 1 and 2.
constexpr int KEY_BUTTON_1 = 11, KEY_BUTTON_2 = 12;

// The input after `frames` frames of (direction word, button word).
cInput InputAfter(const std::vector<std::pair<int16_t, int16_t>>& frames) {
  cInput input;
  for (const auto& [dir, buttons] : frames) {
    input.m_sDir = dir;
    input.m_sButton = buttons;
    input.UpdateEventLists();
  }
  return input;
}

// Every pattern's cursor at the end of its latest run, where a match of the last step starts.
std::vector<KEYCURSOR> LatestRuns(const cInput& input) {
  std::vector<KEYCURSOR> cursors(KEY_PATTERN_COUNT);
  for (int k = 0; k < KEY_PATTERN_COUNT; ++k) {
    const auto& runs = k < DIR_PATTERN_COUNT ? input.m_DirRuns.At(k) : input.m_ButtonRuns.At(k - DIR_PATTERN_COUNT);
    cursors[k] = KEYCURSOR{0, runs.At(0).nFrames};
  }
  return cursors;
}

// Keys held for any length.
cKeyCond Held(std::vector<int> keys, int8_t mode, int8_t mirror = 0) {
  cKeyCond k;
  ResizeKeyList(k);
  for (int key : keys) k.m_Keys.At(key) = 1;
  k.m_cAnyLength = 1;
  k.m_cMode = mode;
  k.m_cMirror = mirror;
  return k;
}

int MatchStep(const cKeyCond& k, const cInput& input, bool facingRight = true) {
  cCharaBase chara;
  chara.m_bRight = facingRight ? 1 : 0;
  int32_t held = 0;
  return MatchKeyStep(chara, k, LatestRuns(input).data(), &held, input);
}

TEST(KeyConditionModes, AllAnyAndExactlyOneCountTheHeldKeys) {
  // The condition asks for buttons 1 and 2; the player holds none, one or both for three frames.
  struct Case {
    int8_t mode;
    int16_t buttons;
    int matched;
  };
  const Case cases[] = {
      {MODE_ALL, 0, 0}, {MODE_ALL, 1, 0}, {MODE_ALL, 2, 0}, {MODE_ALL, 3, 1}, {MODE_ANY, 0, 0}, {MODE_ANY, 1, 1},
      {MODE_ANY, 2, 1}, {MODE_ANY, 3, 1}, {MODE_ONE, 0, 0}, {MODE_ONE, 1, 1}, {MODE_ONE, 2, 1}, {MODE_ONE, 3, 0},
  };
  for (const Case& c : cases) {
    const cKeyCond k = Held({KEY_BUTTON_1, KEY_BUTTON_2}, c.mode);
    const cInput input = InputAfter({{0, c.buttons}, {0, c.buttons}, {0, c.buttons}});
    EXPECT_EQ(MatchStep(k, input), c.matched) << "history, mode " << int{c.mode} << ", buttons " << c.buttons;
    EXPECT_EQ(CheckKeyCondNow(&input, k), c.matched) << "now, mode " << int{c.mode} << ", buttons " << c.buttons;
  }
}

TEST(KeyConditionModes, AReleasedKeyCountsAsMatchingInEachMode) {
  // Button 1 held, button 2 released: "button 1 released, button 2 released" has one key matching.
  cKeyCond k = Held({}, MODE_ALL);
  k.m_Keys.At(KEY_BUTTON_1) = 2;
  k.m_Keys.At(KEY_BUTTON_2) = 2;
  const cInput input = InputAfter({{0, 0}, {0, 1}, {0, 1}});
  for (const auto& [mode, matched] : {std::pair{MODE_ALL, 0}, std::pair{MODE_ANY, 1}, std::pair{MODE_ONE, 1}}) {
    k.m_cMode = mode;
    EXPECT_EQ(MatchStep(k, input), matched) << "history, mode " << int{mode};
    EXPECT_EQ(CheckKeyCondNow(&input, k), matched) << "now, mode " << int{mode};
  }
}

TEST(KeyConditionModes, MirroredDirectionsTradeLeftAndRightForACharacterFacingLeft) {
  // The direction word each pattern stands for, and the pattern it becomes facing left.
  struct Case {
    int pattern;
    int16_t word;
    int mirrored;
  };
  const Case cases[] = {{1, INPUT_LEFT, 2},
                        {2, INPUT_RIGHT, 1},
                        {3, INPUT_UP, 3},
                        {4, INPUT_DOWN, 4},
                        {5, INPUT_UP | INPUT_LEFT, 7},
                        {6, INPUT_DOWN | INPUT_LEFT, 8},
                        {7, INPUT_UP | INPUT_RIGHT, 5},
                        {8, INPUT_DOWN | INPUT_RIGHT, 6}};
  auto wordOf = [&](int pattern) {
    for (const Case& c : cases)
      if (c.pattern == pattern) return c.word;
    return int16_t{0};
  };
  for (const Case& c : cases) {
    for (const Case& held : cases) {
      const cInput input = InputAfter({{held.word, 0}, {held.word, 0}});
      const bool own = held.word == c.word;
      const bool traded = held.word == wordOf(c.mirrored);
      // Without the mirror, or facing right, the pattern means what it says; mirrored and facing
      // left it means its mirror image.
      EXPECT_EQ(MatchStep(Held({c.pattern}, MODE_ALL, 0), input, false), own) << c.pattern << " held " << held.word;
      EXPECT_EQ(MatchStep(Held({c.pattern}, MODE_ALL, 1), input, true), own) << c.pattern << " held " << held.word;
      EXPECT_EQ(MatchStep(Held({c.pattern}, MODE_ALL, 1), input, false), traded)
          << "mirrored " << c.pattern << " facing left, held " << held.word;
    }
  }
  // Buttons are never mirrored.
  const cInput button = InputAfter({{0, 1}});
  EXPECT_EQ(MatchStep(Held({KEY_BUTTON_1}, MODE_ALL, 1), button, false), 1);
}

}  // namespace
}  // namespace t4::test
