#include "platform/present/letterbox.h"

#include <algorithm>
#include <cstdint>

#include "platform/present/display.h"

namespace t4::platform {

PictureRect LetterboxRect(int clientWidth, int clientHeight, bool wholeMultiples) {
  if (clientWidth <= 0 || clientHeight <= 0) return {};
  PictureRect r;
  if (wholeMultiples) {
    const int k = std::max(1, std::min(clientWidth / SCREEN_WIDTH, clientHeight / SCREEN_HEIGHT));
    r.w = SCREEN_WIDTH * k;
    r.h = SCREEN_HEIGHT * k;
  } else if (int64_t{clientWidth} * SCREEN_HEIGHT <= int64_t{clientHeight} * SCREEN_WIDTH) {
    // Narrower than 4:3: full width, bands above and below. Rounded down so it always fits.
    r.w = clientWidth;
    r.h = static_cast<int>(int64_t{clientWidth} * SCREEN_HEIGHT / SCREEN_WIDTH);
  } else {
    r.h = clientHeight;
    r.w = static_cast<int>(int64_t{clientHeight} * SCREEN_WIDTH / SCREEN_HEIGHT);
  }
  // Odd leftovers put the extra pixel on the right or at the bottom; negative when cropping.
  r.x = (clientWidth - r.w) / 2;
  r.y = (clientHeight - r.h) / 2;
  return r;
}

}  // namespace t4::platform
