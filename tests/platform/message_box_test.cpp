#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace t4::platform {
namespace {

TEST(ScriptedMessageBox, RecordsBoxesAndAnswersFromItsQueue) {
  ScriptedMessageBoxBackend boxes;
  boxes.QueueAnswer(IDNO);
  EXPECT_EQ(boxes.Show("終了しますか？", "確認", MB_YESNO), IDNO);
  EXPECT_EQ(boxes.Show("終了しますか？", "確認", MB_YESNO), IDYES);  // queue empty: default
  EXPECT_EQ(boxes.Show("text", "エラー", MB_OK), IDOK);

  auto shown = boxes.Boxes();
  ASSERT_EQ(shown.size(), 3u);
  EXPECT_EQ(shown[0].caption, "確認");
  EXPECT_EQ(shown[0].text, "終了しますか？");
  EXPECT_EQ(shown[0].type, MB_YESNO);
  EXPECT_EQ(shown[2].caption, "エラー");
}

TEST(ScriptedMessageBox, InstalledOnceForTheProcess) {
  ScriptedMessageBoxBackend boxes;
  MessageBoxBackend& before = GetMessageBoxBackend();
  SetMessageBoxBackend(&boxes);
  EXPECT_EQ(&GetMessageBoxBackend(), &boxes);
  SetMessageBoxBackend(nullptr);
  EXPECT_EQ(&GetMessageBoxBackend(), &before);
  EXPECT_NE(&before, &boxes);
}

// Restores an environment variable when the test ends.
class ScopedUnsetEnv {
 public:
  explicit ScopedUnsetEnv(const char* name) : m_name(name) {
    if (const char* v = std::getenv(name)) m_old = v;
    unsetenv(name);
  }
  ~ScopedUnsetEnv() {
    if (m_old) setenv(m_name, m_old->c_str(), 1);
  }

 private:
  const char* m_name;
  std::optional<std::string> m_old;
};

TEST(SdlMessageBox, WithoutADisplayWritesToStderrAndGivesTheDefault) {
  ScopedUnsetEnv display("DISPLAY");
  ScopedUnsetEnv wayland("WAYLAND_DISPLAY");
  SdlMessageBoxBackend sdl;
  ::testing::internal::CaptureStderr();
  int answer = sdl.Show("メモリが不足しています！", "エラー", MB_YESNO);
  std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(answer, IDYES);
  EXPECT_NE(err.find(reinterpret_cast<const char*>(u8"エラー: メモリが不足しています！")), std::string::npos) << err;
}

}  // namespace
}  // namespace t4::platform
