// Runs the built program on a private copy of the demo project and collects what it said.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "data/stage.h"
#include "support/temp_dir.h"

namespace t4::test {

class ProgramRun : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::copy(T4_DEMO_DIR, project.Path(),
                          std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
  }
  // `env` goes before the program (e.g. "env -u DISPLAY"); status -1 when it did not exit.
  int Run(const std::string& args, const std::string& env = "") {
    const std::string dir = project.Path().string();
    // The lock folder comes first so that `env` can replace it.
    const std::string command = "TARNWICK4_LOCK_DIR='" + dir + "' " + env + " '" T4_PROGRAM "' " + args + " '" + dir +
                                "' 2> '" + dir + "/stderr.txt' > /dev/null < /dev/null";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string Read(const std::string& relative) { return project.ReadFile(relative); }
  // Loads the copy's stage with the signpost (demo3-1) into `stage`: the hero's placement, or null
  // when the stage or its hero is missing.
  const cCharaDef* LoadSignpostStage(cStage& stage) {
    if (!stage.LoadFromFile((project.Path() / "data/stg4/demo3-1.stg4_001").string().c_str())) return nullptr;
    for (const cCharaDef& c : stage.m_CharaPlaces)
      if (c.m_cController == 0) return &c;
    return nullptr;
  }
  std::string Log() { return Read("Report_Game.txt"); }
  std::string Stderr() { return Read("stderr.txt"); }
  TempDir project;
};

}  // namespace t4::test
