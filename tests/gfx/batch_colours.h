// The plain colours the sprite batch tests paint their pictures with and read back, as 0xRRGGBB.
#pragma once

#include <cstdint>

namespace t4::test {

constexpr uint32_t RED = 0xFF0000, GREEN = 0x00FF00, BLUE = 0x0000FF;

}  // namespace t4::test
