// Values the played-stage suites share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace t4::test {

// The first button's bit in the key stream.
inline constexpr int16_t BUTTON_1 = 1;

// The hero stands over a hole and falls out of the stage.
inline const std::vector<std::string> PIT = {
    "....................",
    ".....H..............",
    "####....############",
};

}  // namespace t4::test
