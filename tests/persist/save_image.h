// Save-data images as the versions of the editor wrote them, built independently of the loader:
// the member layout is described here row by row with the version that added each member.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "support/le_writer.h"

namespace t4::test {

struct SaveImage {
  int32_t nVersion = 902;
  // Registered members by name without prefix ("Lives", "MapX"); members not given are 0.
  std::map<std::string, int32_t> members;
  std::string stageName;
  std::string playName;  // written from version 724
  std::string rankingName = "aaa";
  std::vector<int32_t> marks = std::vector<int32_t>(25, 0);  // written from version 501
  // Counts of the three record lists, written without elements.
  int32_t nStatusCount = 0;
  int32_t nResultCount = 0;
  int32_t nChallengeCount = 0;
  std::vector<int32_t> worldFlags = std::vector<int32_t>(1000, 0);
  std::vector<int32_t> commonVars = std::vector<int32_t>(1001, 0);

  // The body after the version header.
  LeWriter Body() const;
  // Version header and body: a whole slot file.
  std::string File() const;
};

}  // namespace t4::test
