#include <gtest/gtest.h>

#include <vector>

#include "platform/ui/file_browser.h"
#include "support/temp_dir.h"

namespace t4::platform::ui {
namespace {

TEST(UiFileBrowser, PatternsMatchWithoutRegardToCase) {
  struct Case {
    const char* name;
    const char* patterns;
    bool match;
  } cases[] = {
      {"stage1.stg4_902", "*.stg4_*;*.rpl4_*", true},
      {"STAGE1.STG4_902", "*.stg4_*;*.rpl4_*", true},
      {"run.rpl4_902", "*.stg4_*;*.rpl4_*", true},
      {"stage1.stg4", "*.stg4_*", false},
      {"notes.txt", "*.stg4_*;*.rpl4_*", false},
      {"a.rpl4_902", "*.rpl4_902", true},
      {"a.rpl4_901", "*.rpl4_902", false},
      {"ab", "a?", true},
      {"a", "a?", false},
      // A double-byte character is one '?' and its trail byte is never a wildcard's business.
      {"ステージ.stg4_1", "????.stg4_?", true},
      {"x", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(MatchPatternList(c.name, c.patterns), c.match) << c.name << " " << c.patterns;
}

TEST(UiFileBrowser, PathsStayInsideTheProject) {
  EXPECT_EQ(TrimFolder("data\\stg4\\"), "data\\stg4");
  EXPECT_EQ(ParentFolder("data\\stg4"), "data");
  EXPECT_EQ(ParentFolder("data"), "");
  EXPECT_EQ(EntryPath("", "a.stg4_902"), "a.stg4_902");
  EXPECT_EQ(EntryPath("user_data\\rpl4\\", "b.rpl4_902"), "user_data\\rpl4\\b.rpl4_902");
  // A trail byte 0x5C ("表" is 95 5C) is not a separator.
  EXPECT_EQ(ParentFolder("data\\表"), "data");
  struct Case {
    const char* name;
    bool plain;
  } cases[] = {{"ok.rpl4_902", true}, {"表.rpl4_902", true}, {"", false},         {"..", false},
               {"a\\b", false},       {"a/b", false},        {"c:x", false},      {"a*b", false},
               {"a?", false},         {"a\"b", false},       {"tab\there", false}};
  for (const Case& c : cases) EXPECT_EQ(IsPlainFileName(c.name), c.plain) << c.name;
}

TEST(UiFileBrowser, ListsFoldersFirstThenMatchingFilesByName) {
  test::TempDir dir;
  test::ScopedCurrentDir cd(dir.Path());
  dir.WriteFile("data/stg4/b.stg4_902", "x");
  dir.WriteFile("data/stg4/A.STG4_902", "x");
  dir.WriteFile("data/stg4/c.rpl4_902", "x");
  dir.WriteFile("data/stg4/readme.txt", "x");
  dir.WriteFile("data/stg4/zsub/inner.stg4_902", "x");
  dir.WriteFile("data/stg4/asub/.keep", "x");
  std::vector<BrowserEntry> entries;
  ASSERT_TRUE(ListFolder("data\\stg4\\", "*.stg4_*;*.rpl4_*", entries));
  std::vector<std::string> names;
  for (const BrowserEntry& e : entries) names.push_back((e.folder ? "/" : "") + e.nameSjis);
  EXPECT_EQ(names, (std::vector<std::string>{"/..", "/asub", "/zsub", "A.STG4_902", "b.stg4_902", "c.rpl4_902"}));
  // The project folder itself is the top: no way up from it.
  ASSERT_TRUE(ListFolder("", "*.none", entries));
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].nameSjis, "data");
  EXPECT_FALSE(ListFolder("user_data\\rpl4", "*", entries));
}

}  // namespace
}  // namespace t4::platform::ui
