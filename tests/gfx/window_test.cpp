// End to end: the drawing layer in a real SDL window on a private X server, checked through a
// screenshot of the X display at 100% and 200% window size.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace {

constexpr int SCREEN_W = 1600;
constexpr int SCREEN_H = 1200;

bool HaveProgram(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

// A private X server on a display number it picks itself.
class Xvfb {
 public:
  Xvfb() {
    int fds[2];
    if (pipe(fds) != 0) return;
    m_pid = fork();
    if (m_pid == 0) {
      close(fds[0]);
      const std::string fd = std::to_string(fds[1]);
      const std::string screen = std::to_string(SCREEN_W) + "x" + std::to_string(SCREEN_H) + "x24";
      execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
             static_cast<char*>(nullptr));
      _exit(127);
    }
    close(fds[1]);
    char buf[32] = {};
    const ssize_t n = read(fds[0], buf, sizeof(buf) - 1);
    close(fds[0]);
    if (n > 0) m_display = ":" + std::string(buf, static_cast<size_t>(n - (buf[n - 1] == '\n' ? 1 : 0)));
  }
  ~Xvfb() {
    if (m_pid > 0) {
      kill(m_pid, SIGTERM);
      waitpid(m_pid, nullptr, 0);
    }
  }
  const std::string& Display() const { return m_display; }

 private:
  pid_t m_pid = -1;
  std::string m_display;
};

struct Rgb {
  int r, g, b;
};

TEST(WindowTest, PatternShowsAtOneAndTwoTimesSize) {
  if (!HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  ASSERT_TRUE(HaveProgram("import")) << "imagemagick's import is needed for the screenshot";
  Xvfb x;
  ASSERT_FALSE(x.Display().empty());
  t4::test::TempDir dir;
  for (int scale : {1, 2}) {
    const std::string done = dir.Str() + "/done" + std::to_string(scale);
    const std::string shot = dir.Str() + "/shot" + std::to_string(scale) + ".rgb";
    const std::string cmd = "DISPLAY=" + x.Display() + " SDL_AUDIODRIVER=dummy exec " + T4_WINDOW_DEMO + " " +
                            std::to_string(scale) + " " + done;
    FILE* demo = popen(cmd.c_str(), "r");
    ASSERT_NE(demo, nullptr);
    char line[64] = {};
    const bool ready = std::fgets(line, sizeof(line), demo) && std::string(line).rfind("READY", 0) == 0;
    if (ready)
      std::system(("import -display " + x.Display() + " -window root -depth 8 rgb:" + shot).c_str());
    std::ofstream(done).put('x');
    pclose(demo);
    ASSERT_TRUE(ready) << "scale " << scale;
    std::ifstream in(shot, std::ios::binary);
    std::vector<unsigned char> px((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_EQ(px.size(), static_cast<size_t>(SCREEN_W) * SCREEN_H * 3) << "scale " << scale;
    auto at = [&](int sx, int sy) {
      const size_t i = (static_cast<size_t>(sy) * SCREEN_W + sx) * 3;
      return Rgb{px[i], px[i + 1], px[i + 2]};
    };
    struct Probe {
      int x, y;
      Rgb rgb;
    };
    const int s = scale;
    const Probe probes[] = {
        {10 * s, 10 * s, {255, 0, 0}},           {400 * s, 10 * s, {0, 255, 0}},
        {10 * s, 300 * s, {0, 0, 255}},          {400 * s, 300 * s, {255, 255, 255}},
        {100 * s, 100 * s, {255, 0, 255}},       {100 * s + s - 1, 100 * s + s - 1, {255, 0, 255}},
        {101 * s, 100 * s, {255, 0, 0}},         {639 * s + s - 1, 479 * s + s - 1, {255, 255, 255}},
        {640 * s + 1, 10, {0, 0, 0}},
    };
    for (const Probe& p : probes) {
      const Rgb got = at(p.x, p.y);
      EXPECT_TRUE(got.r == p.rgb.r && got.g == p.rgb.g && got.b == p.rgb.b)
          << "scale " << s << " at " << p.x << "," << p.y << ": " << got.r << " " << got.g << " " << got.b;
    }
  }
}

}  // namespace
