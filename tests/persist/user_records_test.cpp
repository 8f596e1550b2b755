#include "persist/user_records.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/le_writer.h"
#include "support/temp_dir.h"

namespace t4::test {
namespace {

class UserRecordsTest : public ::testing::Test {
 protected:
  ~UserRecordsTest() override { SetWindowDataScreenSize(0, 0); }

  std::string PathOf(const char* name) const { return (m_dir.Path() / name).string(); }
  // A data file of version 902 whose body holds the given int32 members and strings.
  std::string Write(const char* name, const std::vector<int32_t>& members,
                    const std::vector<std::string>& strings = {}) {
    LeWriter w;
    w.I32(902).I32(static_cast<int64_t>(members.size()));
    for (int32_t value : members) w.I32(value);
    w.I32(static_cast<int64_t>(strings.size()));
    for (const std::string& text : strings) w.Str(text);
    return m_dir.WriteFile(name, w.Bytes()).string();
  }

  TempDir m_dir;
};

TEST_F(UserRecordsTest, FreshRunDefaults) {
  cOptionData option;
  cBootData boot;
  EXPECT_EQ(option.LoadFromFile(PathOf("Option.dat").c_str()), 0);
  EXPECT_EQ(boot.LoadFromFile(PathOf("Boot.dat").c_str()), 0);
  EXPECT_EQ(option.m_bBgm, 1);
  EXPECT_EQ(option.m_nSoundVolume, 7);
  EXPECT_EQ(option.m_nRankingMode, 0);
  EXPECT_EQ(option.m_strFixedRankingName, "aaa");
  EXPECT_EQ(boot.m_nDrawMode, cBootData::DRAW_MODE_DIRECT3D);
  EXPECT_EQ(boot.m_bNoBootDialog, 0);
}

TEST_F(UserRecordsTest, RecordsRoundTripThroughTheirFiles) {
  SetWindowDataScreenSize(1920, 1080);
  cOptionData option;
  option.m_nColourVariation = 23;
  option.m_bBgm = 0;
  option.m_nSoundVolume = 10;
  option.m_nRankingMode = 3;
  option.m_strFixedRankingName = "ＡＢ";
  cBootData boot;
  boot.m_nDrawMode = cBootData::DRAW_MODE_DIRECTDRAW;
  boot.m_bNoBootDialog = 1;
  cWindowData window;
  window.Set(100, 50, 1280, 960, 1);
  ASSERT_EQ(option.SaveToFile(PathOf("Option.dat").c_str()), 1);
  ASSERT_EQ(boot.SaveToFile(PathOf("Boot.dat").c_str()), 1);
  ASSERT_EQ(window.SaveToFile(PathOf("Window.dat").c_str()), 1);
  // Saved through a temporary file that is renamed into place.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.Path()), std::filesystem::directory_iterator()), 3);

  cOptionData option2;
  cBootData boot2;
  cWindowData window2;
  ASSERT_EQ(option2.LoadFromFile(PathOf("Option.dat").c_str()), 1);
  ASSERT_EQ(boot2.LoadFromFile(PathOf("Boot.dat").c_str()), 1);
  ASSERT_EQ(window2.LoadFromFile(PathOf("Window.dat").c_str()), 1);
  EXPECT_EQ(option2.m_nColourVariation, 23);
  EXPECT_EQ(option2.m_bBgm, 0);
  EXPECT_EQ(option2.m_nSoundVolume, 10);
  EXPECT_EQ(option2.m_nRankingMode, 3);
  EXPECT_EQ(option2.m_strFixedRankingName, "ＡＢ");
  EXPECT_EQ(boot2.m_nDrawMode, cBootData::DRAW_MODE_DIRECTDRAW);
  EXPECT_EQ(boot2.m_bNoBootDialog, 1);
  EXPECT_EQ(
      (std::vector<int32_t>{window2.m_nX, window2.m_nY, window2.m_nWidth, window2.m_nHeight, window2.m_bMaximised}),
      (std::vector<int32_t>{100, 50, 1280, 960, 1}));
}

TEST_F(UserRecordsTest, OutOfRangeValuesAreCorrectedOnLoad) {
  cOptionData option;
  // Out of range: back to the defaults (variation 0, volume 7, ranking mode 0); music on or off.
  ASSERT_EQ(option.LoadFromFile(Write("Option.dat", {99, 5, -3, 7}, {"abc"}).c_str()), 1);
  EXPECT_EQ(
      (std::vector<int32_t>{option.m_nColourVariation, option.m_bBgm, option.m_nSoundVolume, option.m_nRankingMode}),
      (std::vector<int32_t>{0, 1, 7, 0}));
  ASSERT_EQ(option.LoadFromFile(Write("Option.dat", {23, 0, 10, 3}, {"abc"}).c_str()), 1);
  EXPECT_EQ(
      (std::vector<int32_t>{option.m_nColourVariation, option.m_bBgm, option.m_nSoundVolume, option.m_nRankingMode}),
      (std::vector<int32_t>{23, 0, 10, 3}));
  EXPECT_EQ(option.m_strFixedRankingName, "abc");

  cBootData boot;
  ASSERT_EQ(boot.LoadFromFile(Write("Boot.dat", {5, 2}).c_str()), 1);
  EXPECT_EQ(boot.m_nDrawMode, cBootData::DRAW_MODE_DIRECT3D);
  EXPECT_EQ(boot.m_bNoBootDialog, 1);

  SetWindowDataScreenSize(1024, 768);
  cWindowData window;
  ASSERT_EQ(window.LoadFromFile(Write("Window.dat", {-50, 5000, -7, 99999, 0}).c_str()), 1);
  EXPECT_EQ((std::vector<int32_t>{window.m_nX, window.m_nY, window.m_nWidth, window.m_nHeight}),
            (std::vector<int32_t>{0, 768, cWindowData::MIN_WIDTH, 768}));
}

TEST_F(UserRecordsTest, DamagedFileKeepsUsableValues) {
  // The file ends inside the volume.
  cOptionData option;
  std::string path = m_dir.WriteFile("Option.dat", LeWriter().I32(902).I32(4).I32(0).I32(1).I16(500).Bytes()).string();
  EXPECT_EQ(option.LoadFromFile(path.c_str()), 0);
  EXPECT_LE(option.m_nSoundVolume, cOptionData::SOUND_VOLUME_MAX);
  EXPECT_GE(option.m_nSoundVolume, 0);
}

}  // namespace
}  // namespace t4::test
