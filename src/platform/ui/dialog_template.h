// A dialog as a description: its caption, font and size and the controls in it, in dialog units
// (a quarter of the font's average character width across, an eighth of its height down), and the
// conversion of those units to pixels with the metrics of the dialog's font.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace t4::platform::text {
class Face;
}

namespace t4::platform::ui {

enum class ControlKind {
  Static,     // a text label
  Picture,    // an empty picture frame; never drawn and never focused
  GroupBox,   // a frame with a title
  Edit,       // a one-line text box
  Button,     // a push button
  DefButton,  // the default push button: Enter presses it
  Check,      // an automatic check box
  Radio,      // an automatic radio button; neighbouring radio buttons form one group
  List,       // a list box of lines, one of them selected
};

struct Rect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;
  bool Contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

struct ControlTemplate {
  int id = 0;
  ControlKind kind = ControlKind::Static;
  std::string text;  // Shift-JIS
  Rect dlu;
};

struct DialogTemplate {
  int resourceId = 0;
  std::string caption;  // Shift-JIS
  bool hasCaption = false;
  std::string fontFace;  // Shift-JIS, as a project or resource names it
  int pointSize = 9;
  int width = 0;  // dialog units
  int height = 0;
  std::vector<ControlTemplate> controls;
};

// Horizontal and vertical dialog base units in pixels.
struct BaseUnits {
  int x = 6;
  int y = 12;
};

// The base units of a font: the average width of the 52 Latin letters, rounded, and the cell height.
BaseUnits BaseUnitsOf(text::Face& face);
// A rectangle in dialog units to pixels (each value scaled and rounded on its own).
Rect DluToPixels(const Rect& dlu, BaseUnits units);
// The requested character height of a font of `points` on a 96 dpi screen (negative: a character
// height, as the dialog fonts are asked for).
int FontHeightForPoints(int points);

// The dialog's font, as the text rasteriser opens it; null when no face can be found.
std::unique_ptr<text::Face> OpenDialogFont(const DialogTemplate& tmpl);
// The base units of the dialog's font; the default units when no face can be found.
BaseUnits DialogBaseUnits(const DialogTemplate& tmpl);

// Pixels around the client area of a dialog window: border on every side and the caption bar.
constexpr int DIALOG_BORDER = 3;
constexpr int DIALOG_CAPTION = 18;

}  // namespace t4::platform::ui
