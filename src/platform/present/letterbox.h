// Where the 640 x 480 picture goes in the window's client area. The rest of the area is black.
#pragma once

namespace t4::platform {

struct PictureRect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  bool operator==(const PictureRect&) const = default;
};

// Whole multiples (the 100-500% window sizes and full screen): the largest multiple of the screen
// that fits, never below 100%, centred; an area smaller than the screen shows its middle part.
// Otherwise (a window the player sizes freely): the largest size with the screen's 4:3 shape that
// fits, centred, so the picture is never cut or stretched out of shape. An empty area gets an
// empty rectangle.
PictureRect LetterboxRect(int clientWidth, int clientHeight, bool wholeMultiples);

}  // namespace t4::platform
