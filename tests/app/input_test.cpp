#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "stage/input.h"
#include "platform/window/input_devices.h"
#include "support/le_writer.h"
#include "support/temp_dir.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    t4::platform::ResetInputDevices();
    SetDefaultKeyConfig(&g_KeyConfig);
    in.SetRepeat(18, 6);
    in.SetJoyButtons();
  }
  void TearDown() override {
    t4::platform::ResetInputDevices();
    SetDefaultKeyConfig(&g_KeyConfig);
  }
  cInput in;
};

TEST_F(InputTest, HeldDirectionRepeatsAfterTheFirstDelayThenEveryInterval) {
  std::vector<int> passed;
  for (int frame = 0; frame < 40; ++frame) {
    in.m_sDir = INPUT_LEFT;
    in.RepeatDir();
    if (in.m_sDir & INPUT_LEFT) passed.push_back(frame);
  }
  EXPECT_EQ(passed, (std::vector<int>{0, 18, 24, 30, 36}));
  // Pressed on alternate frames: every press passes.
  int presses = 0;
  for (int frame = 0; frame < 10; ++frame) {
    in.m_sDir = frame % 2 ? 0 : INPUT_RIGHT;
    in.RepeatDir();
    presses += (in.m_sDir & INPUT_RIGHT) ? 1 : 0;
  }
  EXPECT_EQ(presses, 5);
}

TEST_F(InputTest, EachAxisKeepsItsOwnRepeatTiming) {
  // LEFT held from frame 0, UP added at frame 10 and held too: UP starts its own delay, and
  // LEFT keeps the rhythm it had, as if UP had never come.
  std::vector<int> left, up;
  for (int frame = 0; frame <= 40; ++frame) {
    in.m_sDir = static_cast<int16_t>(INPUT_LEFT | (frame >= 10 ? INPUT_UP : 0));
    in.RepeatDir();
    if (in.m_sDir & INPUT_LEFT) left.push_back(frame);
    if (in.m_sDir & INPUT_UP) up.push_back(frame);
  }
  EXPECT_EQ(left, (std::vector<int>{0, 18, 24, 30, 36}));
  EXPECT_EQ(up, (std::vector<int>{10, 28, 34, 40}));
}

TEST_F(InputTest, LatchLetsOneButtonActUntilAllAreReleased) {
  struct Step {
    int16_t down;
    int16_t passed;
  } steps[] = {{1, 1}, {1, 0}, {3, 0}, {2, 0}, {0, 0}, {2, 2}};
  for (const Step& s : steps) {
    in.m_sButton = s.down;
    in.LatchButton(3);
    EXPECT_EQ(in.m_sButton, s.passed) << "down " << s.down;
  }
}

TEST_F(InputTest, HistoryCountsHeldFrames) {
  for (int i = 0; i < 3; ++i) {
    in.m_sDir = INPUT_UP;
    in.UpdateHistory();
  }
  for (int i = 0; i < 5; ++i) {
    in.m_sDir = INPUT_DOWN;
    in.UpdateHistory();
  }
  EXPECT_EQ(in.GetHistory(0, 0), INPUT_DOWN);
  EXPECT_EQ(in.GetHistory(0, 4), INPUT_DOWN);
  EXPECT_EQ(in.GetHistory(0, 5), INPUT_UP);
  EXPECT_EQ(in.GetHistory(0, 7), INPUT_UP);
  EXPECT_EQ(in.GetHistory(0, 8), 0);  // before the first frame
}

TEST_F(InputTest, HistoryBeforeTheFirstFrameIsNoInput) {
  in.ClearHistory();
  in.m_sButton = 1;
  in.UpdateHistory();
  EXPECT_EQ(in.GetHistory(1, 0), 1);
  EXPECT_EQ(in.GetHistory(1, 1), 0);
  EXPECT_EQ(in.GetHistory(1, 31), 0);
}

TEST_F(InputTest, PatternRunsStartANewRunOnChangeAndKeep32) {
  for (int i = 0; i < 40; ++i) {
    in.m_sDir = i % 2 ? INPUT_LEFT : 0;
    in.m_sButton = 0;
    in.UpdateEventLists();
  }
  const auto& left = in.m_DirRuns.At(1);
  ASSERT_EQ(left.size(), 32u);
  EXPECT_EQ(left.At(0).bOn, 1);
  EXPECT_EQ(left.At(0).nFrames, 1);
  EXPECT_EQ(in.m_ButtonRuns.At(0).At(0).nFrames, 40);  // no button for 40 frames
}

TEST_F(InputTest, JoystickHidesKeyboardAndAMissingOneIsRetriedAfter120Frames) {
  t4::platform::SetKeyDown(VK_RIGHT, true);
  t4::platform::SetKeyDown('X', true);
  // No joystick: the keyboard works and the joystick is not asked again for 120 frames.
  ASSERT_EQ(in.Poll(0, 3, 60), 1);
  EXPECT_EQ(in.m_sDir, INPUT_RIGHT);
  EXPECT_EQ(in.m_sButton, 2);
  EXPECT_EQ(in.m_nJoyRetry, 120);
  t4::platform::SetJoystickAttached(0, true);
  t4::platform::SetJoystickAxis(0, 0, 0);
  for (int i = 0; i < 120; ++i) in.Poll(0, 3, 60);
  EXPECT_EQ(in.m_sDir, INPUT_RIGHT);
  in.Poll(0, 3, 60);
  EXPECT_EQ(in.m_sDir, INPUT_LEFT);
  EXPECT_EQ(in.m_nDirNum, 4);
  EXPECT_EQ(in.m_sButton, 2);  // no joystick button: the keyboard's buttons
}

TEST_F(InputTest, ConfiguredEntriesReadKeysAxesAndButtons) {
  g_KeyConfig.m_bCustom = 1;
  g_KeyConfig.m_nJoyCount = 1;
  g_KeyConfig.m_Entries[0] = {0, JOYCODE_LEFT};
  g_KeyConfig.m_Entries[4] = {KEYDEVICE_KEYBOARD, VK_SPACE};
  g_KeyConfig.m_Entries[5] = {0, 4};  // joystick button 3
  g_KeyConfig.m_Entries[6] = {7, 1};  // a joystick that is not configured: never down
  t4::platform::SetJoystickAttached(0, true);
  t4::platform::SetJoystickAxis(0, 0, 5000);
  t4::platform::SetJoystickButton(0, 2, true);
  t4::platform::SetKeyDown(VK_SPACE, true);
  EXPECT_EQ(in.Poll(0, 3, 60), 0);
  ASSERT_EQ(in.PollConfig(1, 60), 1);
  EXPECT_EQ(in.m_sDir, INPUT_LEFT);
  EXPECT_EQ(in.m_sButton, 1 | 2);
}

std::string KeyConfigFile(int32_t entries, int32_t joys, int32_t custom, size_t cut = 108) {
  t4::test::LeWriter w;
  for (int i = 0; i < 12; ++i) w.I32(KEYDEVICE_KEYBOARD).I16(0x41 + i).I16(0);
  w.I32(entries).I32(joys).I32(custom);
  return w.Bytes().substr(0, cut);
}

TEST(KeyConfigTest, FileIsReadAndCountsAreKeptInRange) {
  struct Case {
    const char* name;
    std::string bytes;
    int32_t entries, joys, custom;
    int16_t lastCode;
  } cases[] = {
      {"whole file", KeyConfigFile(12, 2, 1), 12, 2, 1, 0x4C},
      {"huge counts", KeyConfigFile(100000, 1 << 30, 1), 12, 16, 1, 0x4C},
      {"negative counts", KeyConfigFile(-5, -1, 1), 4, 0, 1, 0x4C},
      {"short file", KeyConfigFile(12, 1, 1, 50), 12, 1, 0, 0x46},
  };
  for (const Case& c : cases) {
    t4::test::TempDir dir;
    const std::string path = dir.WriteFile("KeyConfig.dat", c.bytes).string();
    cKeyConfig config;
    SetDefaultKeyConfig(&config);
    ASSERT_EQ(LoadKeyConfig(path.c_str(), &config), 1) << c.name;
    EXPECT_EQ(config.m_nEntryCount, c.entries) << c.name;
    EXPECT_EQ(config.m_nJoyCount, c.joys) << c.name;
    EXPECT_EQ(config.m_bCustom, c.custom) << c.name;
    EXPECT_EQ(config.m_Entries[0].sCode, 0x41) << c.name;
    EXPECT_EQ(config.m_Entries[11].sCode, c.lastCode) << c.name;
  }
  cKeyConfig untouched;
  untouched.m_nJoyCount = 9;
  EXPECT_EQ(LoadKeyConfig("no such file", &untouched), 0);
  EXPECT_EQ(untouched.m_nJoyCount, 9);
}

TEST(KeyMappingTest, KeysOfTheKeyboardGiveTheirVirtualKeyCodes) {
  EXPECT_EQ(t4::platform::VirtualKeyFromSdlKey('z'), 'Z');
  EXPECT_EQ(t4::platform::VirtualKeyFromSdlKey('5'), '5');
  EXPECT_EQ(t4::platform::VirtualKeyFromSdlKey(27), VK_ESCAPE);
  EXPECT_EQ(t4::platform::VirtualKeyFromSdlKey(0x4000004F), VK_RIGHT);  // SDLK_RIGHT
}

}  // namespace
