// End to end: the drawing layer in a real SDL window on a private X server, checked through a
// screenshot of the X display at 100% and 200% window size.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "support/xvfb.h"

namespace {

using t4::test::Xvfb;

constexpr int SCREEN_W = 1600;
constexpr int SCREEN_H = 1200;

bool HaveProgram(const char* name) {
  return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

struct Rgb {
  int r, g, b;
};

TEST(WindowTest, PatternShowsAtOneAndTwoTimesSize) {
  if (!HaveProgram("Xvfb")) GTEST_SKIP() << "Xvfb is not installed";
  ASSERT_TRUE(HaveProgram("import")) << "imagemagick's import is needed for the screenshot";
  Xvfb x(SCREEN_W, SCREEN_H);
  ASSERT_FALSE(x.Display().empty()) << "no private X server: " << x.Status();
  t4::test::TempDir dir;
  for (int scale : {1, 2}) {
    const std::string done = dir.Str() + "/done" + std::to_string(scale);
    const std::string shot = dir.Str() + "/shot" + std::to_string(scale) + ".rgb";
    const std::string cmd = "DISPLAY=" + x.Display() + " SDL_AUDIODRIVER=dummy ASAN_OPTIONS=detect_leaks=0 exec " +
                            T4_WINDOW_DEMO + " " + std::to_string(scale) + " " + done;
    FILE* demo = popen(cmd.c_str(), "r");
    ASSERT_NE(demo, nullptr);
    char line[64] = {};
    const bool ready = std::fgets(line, sizeof(line), demo) && std::string(line).rfind("READY", 0) == 0;
    int importStatus = -1;
    // A busy X server occasionally refuses the grab; try again a few times.
    for (int attempt = 0; ready && importStatus != 0 && attempt < 5; ++attempt, usleep(200000))
      importStatus = std::system(
          ("import -display " + x.Display() + " -window root -depth 8 rgb:" + shot + " 2>" + shot + ".err").c_str());
    std::ofstream(done).put('x');
    pclose(demo);
    ASSERT_TRUE(ready) << "scale " << scale;
    ASSERT_EQ(importStatus, 0) << "scale " << scale << " (" << x.Status() << "): "
                               << std::string(
                                      (std::istreambuf_iterator<char>(*std::make_unique<std::ifstream>(shot + ".err"))),
                                      std::istreambuf_iterator<char>());
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
        {10 * s, 10 * s, {255, 0, 0}},     {400 * s, 10 * s, {0, 255, 0}},
        {10 * s, 300 * s, {0, 0, 255}},    {400 * s, 300 * s, {255, 255, 255}},
        {100 * s, 100 * s, {255, 0, 255}}, {100 * s + s - 1, 100 * s + s - 1, {255, 0, 255}},
        {101 * s, 100 * s, {255, 0, 0}},   {639 * s + s - 1, 479 * s + s - 1, {255, 255, 255}},
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
