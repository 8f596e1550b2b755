// The single-instance lock makes its folder when it is missing, and says so when it cannot have
// a lock at all instead of letting a copy run unguarded.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/window/instance_lock.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

TEST(InstanceLockFolder, MissingFolderIsCreatedAndAnImpossibleOneIsReported) {
  t4::test::TempDir dir;
  dir.WriteFile("plain-file", "x");
  struct Case {
    fs::path folder;
    bool acquired;
  };
  for (const Case& c : {Case{dir.Path() / "a" / "b", true}, Case{dir.Path() / "plain-file" / "sub", false}}) {
    SCOPED_TRACE(c.folder.string());
    t4::platform::InstanceLock lock("game", c.folder.string());
    EXPECT_EQ(lock.TryAcquire(), c.acquired);
    EXPECT_EQ(lock.Unavailable(), !c.acquired);
    EXPECT_EQ(lock.AcquireWithin(50), c.acquired);
    EXPECT_EQ(fs::exists(lock.Path()), c.acquired);
    if (c.acquired) {
      // A second holder in the same folder is refused, but the lock itself is there.
      t4::platform::InstanceLock other("game", c.folder.string());
      EXPECT_FALSE(other.TryAcquire());
      EXPECT_FALSE(other.Unavailable());
    }
  }
}

}  // namespace
