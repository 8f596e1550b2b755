#include "platform/ui/dialog_template.h"

#include "platform/text/rasterizer.h"

namespace t4::platform::ui {

namespace {

// Rounded a * b / c for non-negative b and c, as the window system scales dialog units.
int MulDivRound(int a, int b, int c) {
  if (c == 0) return 0;
  const long long p = static_cast<long long>(a) * b;
  return static_cast<int>(p >= 0 ? (p + c / 2) / c : -((-p + c / 2) / c));
}

}  // namespace

BaseUnits BaseUnitsOf(text::Face& face) {
  int sum = 0;
  for (char c = 'A'; c <= 'Z'; ++c) sum += face.Advance(static_cast<text::CharCode>(c));
  for (char c = 'a'; c <= 'z'; ++c) sum += face.Advance(static_cast<text::CharCode>(c));
  BaseUnits units;
  units.x = (sum + 26) / 52;
  units.y = face.CellHeight();
  if (units.x <= 0) units.x = 1;
  if (units.y <= 0) units.y = 1;
  return units;
}

Rect DluToPixels(const Rect& dlu, BaseUnits units) {
  return Rect{MulDivRound(dlu.x, units.x, 4), MulDivRound(dlu.y, units.y, 8), MulDivRound(dlu.w, units.x, 4),
              MulDivRound(dlu.h, units.y, 8)};
}

std::unique_ptr<text::Face> OpenDialogFont(const DialogTemplate& tmpl) {
  return text::GetRasterizer().Open(tmpl.fontFace, 0, FontHeightForPoints(tmpl.pointSize));
}

BaseUnits DialogBaseUnits(const DialogTemplate& tmpl) {
  std::unique_ptr<text::Face> face = OpenDialogFont(tmpl);
  return face ? BaseUnitsOf(*face) : BaseUnits{};
}

int FontHeightForPoints(int points) { return -MulDivRound(points, 96, 72); }

}  // namespace t4::platform::ui
