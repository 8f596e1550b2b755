#include "core/path_helpers.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "platform/files.h"
#include "support/temp_dir.h"

namespace {

// A 260-byte buffer holding `text`, as the in-place functions expect.
struct PathBuffer {
  explicit PathBuffer(const std::string& text) { std::strncpy(m_sz, text.c_str(), sizeof m_sz - 1); }
  char m_sz[MAX_PATH] = {};
};

TEST(PathHelpers, StripDirectory) {
  struct Case {
    const char* path;
    const char* name;
  };
  const Case cases[] = {
      {"dir\\name", "name"}, {"dir\\name\\", "name\\"}, {"a\\b\\c.txt", "c.txt"},
      {"表\\file", "file"},  // 表 ends in 0x5C: only the real backslash separates
      {"表", "表"},          {"ソ表.dat", "ソ表.dat"},  {"x", "x"},
      {"\\", "\\"},
  };
  for (const Case& c : cases) {
    PathBuffer p(c.path);
    StripDirectory(p.m_sz);
    EXPECT_STREQ(p.m_sz, c.name) << c.path;
  }
}

TEST(PathHelpers, Extensions) {
  struct Case {
    const char* src;
    const char* ext;
    int result;
    std::string dst;
  };
  const std::string longName = std::string(250, 'a') + ".a";
  const Case cases[] = {
      {"a.b\\c", "x", 1, "a.x"},  // the last dot of the whole path counts
      {"data\\stage.stg4", nullptr, 1, "data\\stage"},
      {"data\\stage.stg4", "rpl4_902", 1, "data\\stage.rpl4_902"},
      {"noext", "x", 0, "noext"},
      {"", "x", 0, ""},
      {longName.c_str(), "0123456789", 0, ""},  // would pass 259 characters
  };
  for (const Case& c : cases) {
    char dst[MAX_PATH] = "junk";
    EXPECT_EQ(ChangeExtension(dst, c.src, c.ext), c.result) << c.src;
    EXPECT_EQ(std::string(dst), c.dst) << c.src;
  }

  PathBuffer p("data\\stage.stg4");
  EXPECT_EQ(RemoveExtension(p.m_sz), 1);
  EXPECT_STREQ(p.m_sz, "data\\stage");
  PathBuffer q("data\\stage");
  EXPECT_EQ(RemoveExtension(q.m_sz), 0);
  EXPECT_STREQ(q.m_sz, "data\\stage");

  std::string s = "a.b.c";
  EXPECT_EQ(RemoveExtensionStr(s), 1);
  EXPECT_EQ(s, "a.b");
  s = "abc";
  EXPECT_EQ(RemoveExtensionStr(s), 0);
  EXPECT_EQ(s, "abc");

  char ext[MAX_PATH] = "keep";
  EXPECT_EQ(GetExtension(ext, "noext"), 0);
  EXPECT_STREQ(ext, "keep");
  EXPECT_EQ(GetExtension(ext, "a.txt"), 1);
  EXPECT_STREQ(ext, "txt");
}

TEST(PathHelpers, NumberedFileName) {
  char dst[MAX_PATH] = {};
  EXPECT_EQ(MakeNumberedFileName(dst, "a.txt", 2), 1);
  EXPECT_STREQ(dst, "a (2).txt");
  EXPECT_EQ(MakeNumberedFileName(dst, "rpl4\\ステージ.rpl4_902", 10), 1);
  EXPECT_STREQ(dst, "rpl4\\ステージ (10).rpl4_902");
  const std::string longExt = "a." + std::string(40, 'e');  // longer than the old 32-byte buffer
  EXPECT_EQ(MakeNumberedFileName(dst, longExt.c_str(), 1), 1);
  EXPECT_EQ(std::string(dst), "a (1)." + std::string(40, 'e'));
  EXPECT_EQ(MakeNumberedFileName(dst, "noext", 1), 0);
  EXPECT_EQ(MakeNumberedFileName(dst, (std::string(250, 'a') + ".txt").c_str(), 1000), 0);
}

class PathsInFolder : public ::testing::Test {
 protected:
  static std::filesystem::path MakeGame(const t4::test::TempDir& dir) {
    dir.WriteFile("Game/data/stg4/s.stg4_001", "");
    return dir.Path() / "Game";
  }
  t4::test::TempDir m_dir;
  t4::test::ScopedCurrentDir m_cwd{MakeGame(m_dir)};
  std::string m_game = *t4::platform::GetCurrentDirectory();
};

TEST_F(PathsInFolder, AbsoluteAndRelative) {
  struct Case {
    std::string path;
    std::string absolute;
  };
  const std::string parent = m_game.substr(0, m_game.rfind('\\'));
  const Case cases[] = {
      {"Report_Game.txt", m_game + "\\Report_Game.txt"},
      {"data\\..\\x.txt", m_game + "\\x.txt"},
      {".\\data\\", m_game + "\\data\\"},
      {"..\\other", parent + "\\other"},
      {m_game + "\\a", m_game + "\\a"},  // already absolute: unchanged
  };
  for (const Case& c : cases) {
    PathBuffer p(c.path);
    EXPECT_EQ(MakeAbsolutePath(p.m_sz), 1) << c.path;
    EXPECT_EQ(std::string(p.m_sz), c.absolute) << c.path;
  }

  const Case relatives[] = {
      {m_game + "\\data\\a.txt", ".\\data\\a.txt"},
      {parent + "\\other\\b.txt", "..\\other\\b.txt"},
      {"data\\a.txt", "data\\a.txt"},  // relative already: unchanged
  };
  for (const Case& c : relatives) {
    PathBuffer p(c.path);
    EXPECT_EQ(MakeRelativePath(p.m_sz), 1) << c.path;
    EXPECT_EQ(std::string(p.m_sz), c.absolute) << c.path;
  }
  std::string upper = m_game + "\\DATA\\A.TXT";
  for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  EXPECT_EQ(MakeRelativePathStr(upper), 1);  // names compare without regard to case
  EXPECT_EQ(upper, ".\\DATA\\A.TXT");

  PathBuffer tooLong(std::string(255, 'a'));  // fits alone, not behind the folder
  EXPECT_EQ(MakeAbsolutePath(tooLong.m_sz), 0);
  EXPECT_EQ(std::string(tooLong.m_sz), std::string(255, 'a'));
}

TEST_F(PathsInFolder, FindLastNumberedFileTakesTheHighestNumber) {
  char out[MAX_PATH] = "unchanged";
  EXPECT_EQ(FindLastNumberedFile(out, "data\\stg4\\S.txt", "stg4"), 1);
  EXPECT_STREQ(out, "data\\stg4\\S.stg4_001");

  m_dir.WriteFile("Game/data/stg4/s.stg4_010", "");
  std::string found;
  EXPECT_EQ(FindLastNumberedFileStr(found, "data\\stg4\\s.stg4", "stg4"), 1);
  EXPECT_EQ(found, "data\\stg4\\s.stg4_010");

  std::string none = "unchanged";
  EXPECT_EQ(FindLastNumberedFileStr(none, "data\\stg4\\t.stg4", "stg4"), 0);
  EXPECT_EQ(none, "unchanged");
}

// Every answer of the lookup as it was when each number was tried in turn, from 999 down.
TEST_F(PathsInFolder, FindLastNumberedFileAnswersAsTryingEveryNumberInTurn) {
  const char* const files[] = {
      "Mix.STG4_003", "mix.stg4_002",                                      // names match without regard to case
      "g.stg4_000",   "g.stg4_007",        "g.stg4_500",                   // gaps
      "l.stg4_004",   "l.stg4_05",         "l.stg4_1000",  "l.stg4_0999",  // only three digits count
      "l.stg4_99x",   "l.stg4_998.bak",    "l.stg4-997",   "L.stg4_ 12",   // look-alikes
      "k.stg4_05",    "k.stg4_1000",       "k.stg4_12a",                   // look-alikes only
      "d.stg4_001",   "d.stg4_009/inside", "sym.stg4_002", "plain_012",    // d.stg4_009 is a folder
  };
  for (const char* f : files) m_dir.WriteFile(std::string("Game/data/stg4/") + f, "");
  m_dir.WriteFile(reinterpret_cast<const char*>(u8"Game/data/stg4/表.stg4_003"), "");
  m_dir.WriteFile(reinterpret_cast<const char*>(u8"Game/data/stg4/bad＼123"), "");  // CP932 0x81 0x5F
  m_dir.WriteFile("Game/top.stg4_020", "");
  std::filesystem::create_symlink("nowhere", m_dir.Path() / "Game/data/stg4/sym.stg4_008");

  struct Case {
    std::string path;
    const char* ext;
    std::string found;  // empty: nothing found
  };
  const Case cases[] = {
      {"data\\stg4\\MIX.stg4", "stg4", "data\\stg4\\MIX.stg4_003"},  // the name as asked, not as stored
      {"DATA\\STG4\\S.TXT", "stg4", "DATA\\STG4\\S.stg4_001"},
      {"data\\stg4\\g.stg4", "stg4", "data\\stg4\\g.stg4_500"},
      {"data\\stg4\\l.stg4", "stg4", "data\\stg4\\l.stg4_004"},
      {"data\\stg4\\k.stg4", "stg4", ""},
      {"data\\stg4\\d.stg4", "stg4", "data\\stg4\\d.stg4_009"},      // a folder answers too
      {"data\\stg4\\sym.stg4", "stg4", "data\\stg4\\sym.stg4_002"},  // a broken link does not
      {"data\\stg4\\plain.txt", nullptr, "data\\stg4\\plain_012"},
      {"data\\stg4\\plain", "stg4", "data\\stg4\\plain_012"},  // no extension to replace
      {"data\\stg4\\表.stg4", "stg4", "data\\stg4\\表.stg4_003"},
      {"data\\Stg4\\表.STG4", "stg4", "data\\Stg4\\表.stg4_003"},
      {"data\\stg4\\bad\x81", "stg4", "data\\stg4\\bad\x81_123"},  // the lead byte takes the '_'
      {"top.stg4", "stg4", "top.stg4_020"},
      {"C:top.stg4", "stg4", "C:top.stg4_020"},
      {m_game + "\\data\\stg4\\g.stg4", "stg4", m_game + "\\data\\stg4\\g.stg4_500"},
      {"data\\stg4\\none.stg4", "stg4", ""},
      {"data\\gone\\s.stg4", "stg4", ""},
      {"gone\\deeper\\s.stg4", "stg4", ""},
      {"data\\stg4\\s.stg4_001\\x.stg4", "stg4", ""},  // the folder is a file
  };
  for (const Case& c : cases) {
    std::string out = "unchanged";
    EXPECT_EQ(FindLastNumberedFileStr(out, c.path, c.ext), c.found.empty() ? 0 : 1) << c.path;
    EXPECT_EQ(out, c.found.empty() ? "unchanged" : c.found) << c.path;
  }
}

}  // namespace
