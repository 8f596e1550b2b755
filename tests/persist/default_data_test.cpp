#include "persist/default_data.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "persist/project_layout.h"
#include "platform/files.h"
#include "platform/message_box.h"
#include "support/temp_dir.h"

namespace t4::test {
namespace {

namespace fs = std::filesystem;

class DefaultDataTest : public ::testing::Test {
 protected:
  DefaultDataTest() : m_cwd(m_dir.Path()) {}

  void MakeDefaultFolder() {
    m_dir.WriteFile("default/System.dat", "sys");
    m_dir.WriteFile("default/database/Bgm.dat", "bgm");
    m_dir.WriteFile("default/stg4/Stage01.stg4", "stage");
  }
  // Everything below the project folder, as relative paths.
  std::string Tree() const {
    std::string tree;
    for (const auto& entry : fs::recursive_directory_iterator(m_dir.Path())) {
      tree += fs::relative(entry.path(), m_dir.Path()).generic_string() + "\n";
    }
    return tree;
  }

  TempDir m_dir;
  ScopedCurrentDir m_cwd;
  t4::platform::ScriptedMessageBoxBackend m_boxes;
  t4::platform::ScopedMessageBoxBackend m_installedBoxes{m_boxes};
};

TEST_F(DefaultDataTest, ExistingDataIsKeptWithoutAsking) {
  MakeDefaultFolder();
  m_dir.WriteFile("data/System.dat", "mine");
  EXPECT_EQ(CreateDefaultData(nullptr), 1);
  EXPECT_TRUE(m_boxes.Boxes().empty());
  EXPECT_EQ(m_dir.ReadFile("data/System.dat"), "mine");
}

TEST_F(DefaultDataTest, NoDataAndNoDefaultFails) {
  EXPECT_EQ(CreateDefaultData(nullptr), 0);
  EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(DefaultDataTest, DecliningLeavesTheTreeUntouched) {
  MakeDefaultFolder();
  std::string before = Tree();
  m_boxes.QueueAnswer(IDNO);
  EXPECT_EQ(CreateDefaultData(nullptr), 0);
  ASSERT_EQ(m_boxes.Boxes().size(), 1u);
  EXPECT_EQ(m_boxes.Boxes()[0].caption, "デフォルトデータ作成の確認");
  EXPECT_EQ(m_boxes.Boxes()[0].type, MB_YESNO);
  EXPECT_EQ(Tree(), before);
}

TEST_F(DefaultDataTest, CopiesTheDefaultFolderIntoData) {
  MakeDefaultFolder();
  // Left behind by a copy that was interrupted.
  m_dir.WriteFile("data.copying/partial.dat", "x");
  m_boxes.QueueAnswer(IDYES);
  EXPECT_EQ(CreateDefaultData(nullptr), 1);
  EXPECT_EQ(m_dir.ReadFile("data/System.dat"), "sys");
  EXPECT_EQ(m_dir.ReadFile("data/database/Bgm.dat"), "bgm");
  EXPECT_EQ(m_dir.ReadFile("data/stg4/Stage01.stg4"), "stage");
  EXPECT_FALSE(fs::exists(m_dir.Path() / "data.copying"));
  EXPECT_FALSE(fs::exists(m_dir.Path() / "data/partial.dat"));
}

TEST_F(DefaultDataTest, FailedCopyLeavesNoDataFolder) {
  MakeDefaultFolder();
  // Something that cannot be copied as a file, late in the tree.
  ASSERT_EQ(mkfifo((m_dir.Path() / "default/stg4/pipe").c_str(), 0600), 0);
  m_boxes.QueueAnswer(IDYES);
  EXPECT_EQ(CreateDefaultData(nullptr), 0);
  EXPECT_FALSE(fs::exists(m_dir.Path() / "data"));
  EXPECT_FALSE(fs::exists(m_dir.Path() / "data.copying"));
}

TEST_F(DefaultDataTest, ProjectFoldersAreMadeAndExistingOnesKept) {
  m_dir.WriteFile("data/System.dat", "mine");
  EXPECT_EQ(CreateProjectFolders(), 0);
  for (int i = 0; i < PROJECT_FOLDER_COUNT; ++i) {
    EXPECT_TRUE(t4::platform::IsDirectory(g_ProjectFolders[i])) << g_ProjectFolders[i];
  }
  EXPECT_EQ(m_dir.ReadFile("data/System.dat"), "mine");
}

}  // namespace
}  // namespace t4::test
