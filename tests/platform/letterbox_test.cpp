#include "platform/present/letterbox.h"

#include <gtest/gtest.h>

namespace t4::platform {
namespace {

struct Case {
  int width;
  int height;
  PictureRect picture;
};

void Check(const Case* begin, const Case* end, bool wholeMultiples) {
  for (const Case* c = begin; c != end; ++c) {
    const PictureRect r = LetterboxRect(c->width, c->height, wholeMultiples);
    EXPECT_EQ(r, c->picture) << c->width << " x " << c->height << " gave " << r.x << "," << r.y << " " << r.w << " x "
                             << r.h;
  }
}

// A window the player sized: the picture keeps 4:3, touches two opposite sides, centred.
TEST(Letterbox, FreeSizeFitsTheShapeAndCentres) {
  const Case cases[] = {
      {640, 480, {0, 0, 640, 480}},      // exactly the screen
      {1280, 960, {0, 0, 1280, 960}},    // exactly twice, no bands
      {1000, 600, {100, 0, 800, 600}},   // wide: bands left and right
      {1366, 768, {171, 0, 1024, 768}},  // wide, odd leftover: the extra pixel goes right
      {700, 900, {0, 187, 700, 525}},    // tall: bands above and below
      {401, 500, {0, 100, 401, 300}},    // 300.75 rows rounded down, never past the window
      {320, 240, {0, 0, 320, 240}},      // smaller than the screen: scaled down, not cut
      {0, 0, {}},                        // minimised
      {-5, 100, {}},
  };
  Check(std::begin(cases), std::end(cases), false);
}

// The 100-500% windows and full screen: whole multiples only, centred, at least 100%.
TEST(Letterbox, WholeMultiplesCentreTheLargestThatFits) {
  const Case cases[] = {
      {640, 480, {0, 0, 640, 480}},
      {1000, 600, {180, 60, 640, 480}},      // 1.56 x 1.25: stays at 100%
      {1920, 1080, {320, 60, 1280, 960}},    // a 1080p desktop: 200%
      {3840, 2160, {640, 120, 2560, 1920}},  // 4K: height allows 4, width 6
      {1600, 1200, {160, 120, 1280, 960}},   // 2.5 x 2.5: 200%
      {600, 400, {-20, -40, 640, 480}},      // smaller desktop: the middle of the picture shows
      {0, 0, {}},
  };
  Check(std::begin(cases), std::end(cases), true);
}

}  // namespace
}  // namespace t4::platform
