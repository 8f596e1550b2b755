#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "platform/message_box.h"

namespace t4::platform {
namespace {

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
