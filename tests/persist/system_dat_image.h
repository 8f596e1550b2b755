// System.dat images as the versions of the editor wrote them, built independently of the loader:
// the member layout is described here row by row with the version that added each member.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/le_writer.h"

namespace t4::test {

struct IniKeySpec {
  int32_t nKind = 0;
  std::string key;
  int32_t nValue = 0;
  std::string text;
};

struct CmdSpec {
  int32_t bEnabled = 1;
  std::string caption;
};

struct SystemDatImage {
  int32_t nVersion = 902;
  std::string title = "Title";
  // Registered members by their row number (1-based, the discarded value of versions 221 to 259
  // is row 33); members not given are 0.
  std::map<int, int64_t> members;
  std::vector<int> carryFlags = std::vector<int>(25, 0);
  std::vector<int> carryResetFlags = std::vector<int>(25, 0);
  int statusItemCount = 5;
  std::vector<int32_t> initialLives = {3, 3, 3, 3};
  std::vector<int32_t> infiniteLives = {0, 0, 0, 0};
  std::vector<std::vector<int>> rankingRules = {{1, 1, 1, 1, 1, 1}, {1, 1, 0, 1, 0, 1}, {0}, {0}};  // enabled, kinds...
  std::vector<std::string> texts = std::vector<std::string>(29, "t");
  std::vector<std::string> sounds = std::vector<std::string>(17, "");
  std::vector<int32_t> sceneBgm = {1, 2, 3, 4};
  std::vector<int> sceneBgmLoop = {0, 1, 0, 1};
  std::vector<CmdSpec> titleMenu = std::vector<CmdSpec>(7);
  std::vector<CmdSpec> mapMenu = std::vector<CmdSpec>(4);
  std::vector<CmdSpec> optionMenu = std::vector<CmdSpec>(6);
  std::vector<std::string> rankingModeNames = {"m0", "m1", "m2", "m3"};
  std::vector<IniKeySpec> iniKeys;

  // The whole file: header, record body, lists under the gates of nVersion.
  std::string Bytes() const;
};

}  // namespace t4::test
