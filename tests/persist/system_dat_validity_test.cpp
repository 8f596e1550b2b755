// A System.dat that does not hold a settings record is refused with a line in the report log,
// instead of loading as a record whose every list is empty.
#include <gtest/gtest.h>

#include <string>

#include "core/report_log.h"
#include "persist/system_data.h"
#include "support/le_writer.h"
#include "support/temp_dir.h"
#include "system_dat_image.h"

namespace t4::test {
namespace {

TEST(SystemDatValidity, FilesWithoutASettingsRecordAreRefusedAndReported) {
  SystemDatImage versionZero;
  versionZero.nVersion = 0;
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"zero-filled, 4 KiB", std::string(4096, '\0')},
      {"zero-filled, 8 bytes", std::string(8, '\0')},
      {"version 0", versionZero.Bytes()},
      {"version 902, zeros after it", LeWriter().I32(902).Bytes() + std::string(4092, '\0')},
  };
  for (const auto& c : cases) {
    TempDir dir;
    ASSERT_EQ(InitReportLog((dir.Path() / "Report_Game.txt").string().c_str()), 1);
    const std::string path = dir.WriteFile("System.dat", c.bytes).string();
    cSystemData sd;
    EXPECT_EQ(sd.LoadFromFile(path.c_str()), 0) << c.name;
    EXPECT_NE(dir.ReadFile("Report_Game.txt").find("System.dat"), std::string::npos) << c.name;
  }
  // The well-formed file still loads.
  TempDir dir;
  cSystemData sd;
  EXPECT_EQ(sd.LoadFromFile(dir.WriteFile("System.dat", SystemDatImage().Bytes()).string().c_str()), 1);
}

}  // namespace
}  // namespace t4::test
