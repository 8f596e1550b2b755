#include "platform/files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "support/temp_dir.h"
#include "utf8_literal.h"

namespace t4::platform {
namespace {

namespace fs = std::filesystem;
using t4::test::Utf8;

class GamePaths : public ::testing::Test {
 protected:
  GamePaths() : m_cwd(m_dir.Path()) {
    m_dir.WriteFile("Data/Stage/Map01.DAT", "m");
    m_dir.WriteFile(Utf8(u8"表示/file.txt"), "f");
    m_dir.WriteFile("Twin/A.txt", "upper");
    m_dir.WriteFile("Twin/a.txt", "lower");
  }
  t4::test::TempDir m_dir;
  t4::test::ScopedCurrentDir m_cwd;
};

TEST_F(GamePaths, ResolvesEachComponentIgnoringCase) {
  struct Case {
    const char* game;
    std::string native;
  };
  const Case cases[] = {
      {"data\\stage\\map01.dat", "Data/Stage/Map01.DAT"},
      {"DATA/Stage\\MAP01.dat", "Data/Stage/Map01.DAT"},
      {"表示\\FILE.TXT", Utf8(u8"表示/file.txt")},  // 0x5C trail byte of 表 is no separator
      {"data\\New\\x.txt", "Data/New/x.txt"},       // missing parts kept as given
      {"Twin\\a.txt", "Twin/a.txt"},                // exact match wins
      {"Twin\\A.TXT", "Twin/A.txt"},                // else the smallest name in byte order
      {"data\\", "Data/"},
  };
  for (const Case& c : cases) EXPECT_EQ(ResolvePath(c.game), c.native) << c.game;

  const std::string absolute = m_dir.Str() + "\\DATA\\stage";
  EXPECT_EQ(ResolvePath(absolute), (m_dir.Path() / "Data/Stage").string());
  EXPECT_EQ(ResolvePath("bad\x81"), std::nullopt);
  EXPECT_EQ(OpenFile("bad\x81", "wb"), nullptr);
}

TEST_F(GamePaths, FileOperations) {
  FILE* f = OpenFile("data\\stage\\new.txt", "wt");
  ASSERT_NE(f, nullptr);
  std::fputs("new", f);
  std::fclose(f);
  EXPECT_EQ(m_dir.ReadFile("Data/Stage/new.txt"), "new");

  EXPECT_TRUE(FileExists("DATA\\STAGE\\NEW.TXT"));
  EXPECT_TRUE(IsDirectory("data\\stage"));
  EXPECT_FALSE(IsDirectory("data\\stage\\new.txt"));
  EXPECT_FALSE(FileExists("data\\none.txt"));

  EXPECT_TRUE(ReplaceFile("data\\stage\\new.txt", "data\\stage\\map01.dat"));
  EXPECT_EQ(m_dir.ReadFile("Data/Stage/Map01.DAT"), "new");
  EXPECT_FALSE(FileExists("data\\stage\\new.txt"));

  EXPECT_TRUE(CreateDirectory("data\\保存"));
  EXPECT_TRUE(fs::is_directory(m_dir.Path() / Utf8(u8"Data/保存")));
  EXPECT_FALSE(CreateDirectory("DATA\\保存"));  // exists already
  EXPECT_TRUE(RemoveFile("data\\stage\\MAP01.dat"));
  EXPECT_FALSE(RemoveFile("data\\stage\\MAP01.dat"));
  EXPECT_TRUE(DiskFreeBytes().has_value());
}

TEST_F(GamePaths, ListFolderGivesTheStoredNamesOfAFolderFoundWithoutRegardToCase) {
  using Names = std::vector<std::string>;
  auto sorted = [](std::optional<Names> names) {
    if (names) std::sort(names->begin(), names->end());
    return names;
  };
  EXPECT_EQ(sorted(ListFolder("DATA\\stage")), Names{"Map01.DAT"});
  EXPECT_EQ(sorted(ListFolder("twin\\")), (Names{"A.txt", "a.txt"}));
  EXPECT_EQ(sorted(ListFolder("")), (Names{"Data", "Twin", Utf8(u8"表示")}));  // the current folder
  EXPECT_EQ(ListFolder("data\\none"), Names{});              // no folder there: nothing below it either
  EXPECT_EQ(ListFolder("data\\stage\\map01.dat"), Names{});  // a file is no folder
  EXPECT_EQ(ListFolder("bad\x81"), std::nullopt);
}

TEST_F(GamePaths, CurrentDirectoryIsAWindowsStyleShiftJisPath) {
  t4::test::ScopedCurrentDir inner(m_dir.Path() / Utf8(u8"表示"));
  std::optional<std::string> cwd = GetCurrentDirectory();
  ASSERT_TRUE(cwd.has_value());
  EXPECT_EQ(cwd->find('/'), std::string::npos);
  const std::string tail = "\\表示";
  EXPECT_EQ(cwd->substr(cwd->size() - tail.size()), tail);
  EXPECT_TRUE(IsAbsolutePath(*cwd));
  EXPECT_EQ(ResolvePath(JoinPath(*cwd, "FILE.txt")), (m_dir.Path() / Utf8(u8"表示/file.txt")).string());
}

TEST(PathText, AbsoluteFormsAndJoining) {
  struct Case {
    const char* path;
    bool absolute;
    bool endsWithSeparator;
  };
  const Case cases[] = {
      {"\\a", true, false}, {"/a", true, false},   {"C:\\a", true, false}, {"c:", true, false},  {"a\\b", false, false},
      {"", false, false},   {"1:\\", false, true}, {"dir\\", false, true}, {"表", false, false}, {"表\\", false, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsAbsolutePath(c.path), c.absolute) << c.path;
    EXPECT_EQ(EndsWithSeparator(c.path), c.endsWithSeparator) << c.path;
  }
  EXPECT_EQ(JoinPath("表", "x"), "表\\x");
  EXPECT_EQ(JoinPath("dir\\", "x"), "dir\\x");
  EXPECT_EQ(JoinPath("", "x"), "x");
}

}  // namespace
}  // namespace t4::platform
