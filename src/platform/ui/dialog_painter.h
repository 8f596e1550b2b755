// Draws a dialog of the UI kit into a frame, in the plain look of the system's classic dialogs:
// a grey face, raised buttons, sunken edit and list boxes, the caption bar, the focus marks, the
// edit caret and the IME composition.
#pragma once

#include <string_view>

#include "platform/present/display.h"
#include "platform/ui/dialog_model.h"

namespace t4::platform::text {
class Face;
}

namespace t4::platform::ui {

// Draws `model` at its place in `frame` (pixels outside the frame are left out). `face` is the
// dialog's font.
void PaintDialog(const DialogModel& model, text::Face& face, Frame& frame);

// Draws one line of Shift-JIS text with its cell's top-left at (x, y), clipped to `clip`;
// returns the pen position after it.
int PaintText(Frame& frame, text::Face& face, int x, int y, std::string_view textSjis, uint32_t rgb, const Rect& clip);

}  // namespace t4::platform::ui
