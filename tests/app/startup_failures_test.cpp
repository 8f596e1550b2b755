// Start-up that cannot go on says why, on stderr and in the report log, and ends with status 1;
// start-up that can go on draws with the project's own palette in every drawing mode.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>

#include "program_runner.h"

namespace fs = std::filesystem;
using t4::test::ProgramRun;

namespace {

class StartupFailures : public ProgramRun {};

TEST_F(StartupFailures, WindowWithoutADisplayIsRefusedWithTheReason) {
  EXPECT_EQ(Run("--frames 5", "env -u DISPLAY -u WAYLAND_DISPLAY"), 1);
  EXPECT_NE(Stderr().find("no display: set DISPLAY or use --headless"), std::string::npos) << Stderr();
  EXPECT_NE(Log().find("no display"), std::string::npos) << Log();
}

TEST_F(StartupFailures, DamagedPaletteBitmapNamesTheFile) {
  const fs::path palette = project.Path() / "bmp" / "plt" / "Palette.bmp";
  struct Case {
    const char* name;
    std::function<void()> damage;
    const char* named;
  };
  const Case cases[] = {
      {"missing", [&] { fs::remove(palette); }, "Palette.bmp"},
      {"zero length", [&] { std::ofstream(palette, std::ios::trunc); }, "Palette.bmp"},
      {"truncated header", [&] { fs::resize_file(palette, 30); }, "Palette.bmp"},
      {"folder in its place",
       [&] {
         fs::remove(palette);
         fs::create_directory(palette);
       },
       "Palette.bmp"},
      {"no bmp folder", [&] { fs::remove_all(project.Path() / "bmp"); }, "Palette.bmp"},
  };
  const fs::path pristine = project.Path().parent_path() / (project.Path().filename().string() + "-bmp");
  fs::copy(project.Path() / "bmp", pristine, fs::copy_options::recursive);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    fs::remove_all(project.Path() / "bmp");
    fs::copy(pristine, project.Path() / "bmp", fs::copy_options::recursive);
    c.damage();
    EXPECT_EQ(Run("--headless --frames 5"), 1);
    EXPECT_NE(Stderr().find(c.named), std::string::npos) << Stderr();
    EXPECT_NE(Log().find("start-up failed"), std::string::npos) << Log();
  }
  fs::remove_all(pristine);
}

// The colour of palette entry `index` as the bitmap stores it (B, G, R, 0 after a 54-byte header).
uint32_t PaletteEntry(const std::string& bmp, int index) {
  const auto at = [&](size_t i) { return static_cast<uint32_t>(static_cast<uint8_t>(bmp.at(i))); };
  const size_t offset = 14 + at(14) + 4u * static_cast<size_t>(index);
  return at(offset + 2) << 16 | at(offset + 1) << 8 | at(offset);
}

TEST_F(StartupFailures, DirectDrawAtFullColourDrawsThePalettesOwnColours) {
  if (std::system("command -v convert > /dev/null 2>&1") != 0) GTEST_SKIP() << "imagemagick is not installed";
  // Palette entry 240 frames the title's menu, drawn from the palette, not from a bitmap.
  const uint32_t expected = PaletteEntry(Read("bmp/plt/Palette.bmp"), 240);
  ASSERT_NE(expected, 0u) << "the demo's menu frame colour must not be black for this test";
  for (const char* direct3D : {"Direct3D=0", "Direct3D=1"}) {
    SCOPED_TRACE(direct3D);
    std::ofstream(project.Path() / "System.ini", std::ios::trunc) << direct3D << "\r\nWindowMode=1\r\nExit\r\n";
    const std::string shot = (project.Path() / "shot.png").string();
    ASSERT_EQ(Run("--headless --frames 10 --screenshot '" + shot + "'"), 0) << Stderr();
    // One pixel of the title's menu frame once the title has faded in, read by an outside tool.
    const std::string raw = (project.Path() / "pixel.rgb").string();
    ASSERT_EQ(std::system(("convert '" + shot + "' -crop 1x1+320+240 -depth 8 rgb:'" + raw + "'").c_str()), 0);
    const std::string rgb = Read("pixel.rgb");
    ASSERT_EQ(rgb.size(), 3u);
    const uint32_t got = static_cast<uint32_t>(static_cast<uint8_t>(rgb[0])) << 16 |
                         static_cast<uint32_t>(static_cast<uint8_t>(rgb[1])) << 8 | static_cast<uint8_t>(rgb[2]);
    EXPECT_EQ(got, expected) << std::hex << got << " vs " << expected;
  }
}

}  // namespace
